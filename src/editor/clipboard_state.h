#pragma once
// What the clipboard holds, as the enabling of Paste and Paste Special asks
// about it at every idle update of every window: read once after each change
// of the clipboard and kept. Asking is a round trip to the program that owns
// the clipboard (copied files, a picture), so it is done once per change.

#include <QObject>
#include <QStringList>

#include <optional>

class QClipboard;
class QMimeData;

namespace bw {

class ClipboardState : public QObject
{
    Q_OBJECT
public:
    struct Contents
    {
        bool hasText = false;  // text, or a list of files (QMimeData::hasText)
        bool canPaste = false; // something the editor can insert
        QStringList pasteSpecialFormats;
    };

    // The state of the application's clipboard; made at the first call and
    // kept by the clipboard.
    static ClipboardState &instance();

    // The clipboard as it is now, read at the first call after it changed.
    const Contents &contents();

private:
    explicit ClipboardState(QClipboard *clipboard);

    QClipboard *m_clipboard;
    std::optional<Contents> m_contents;
};

} // namespace bw
