#pragma once
// The word-processor keys of a document window's editor: Ctrl+B, Ctrl+I and
// Ctrl+U for the styles, Ctrl+L, Ctrl+E, Ctrl+R and Ctrl+J for alignment,
// Ctrl+Shift+= and Ctrl+= for the scripts, Ctrl+] and Ctrl+[ for the size
// steps, Ctrl+1, Ctrl+2 and Ctrl+5 for line spacing. A key runs the format
// command its button runs, so it puts the item into edit state, leaves
// protected text alone, is one undo step and moves the check marks. A key
// that a command of the catalogue has as its shortcut stays the catalogue's.

#include "commands/command_catalogue.h"

#include <QKeyCombination>
#include <QList>
#include <QObject>

#include <span>

class QKeyEvent;

namespace bw::notes {

class FormatCommands;
class DocumentContext;

struct EditorFormatKey
{
    QKeyCombination key;
    const char *command; // the format command the key runs; null for line spacing
    int lineSpacingRule; // ParaFormat::SpacingRule of a line-spacing key, else -1
};

// The editor's keys that no command of `rows` has as its shortcut.
QList<EditorFormatKey> editorFormatKeys(std::span<const CommandRow> rows = commandRows());

class EditorFormatKeys : public QObject
{
    Q_OBJECT
public:
    EditorFormatKeys(DocumentContext &window, FormatCommands &commands);

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    const EditorFormatKey *find(const QKeyEvent *event) const;
    void run(const EditorFormatKey &key);
    void setLineSpacing(int rule);

    DocumentContext &m_window;
    FormatCommands &m_commands;
    QList<EditorFormatKey> m_keys;
};

} // namespace bw::notes
