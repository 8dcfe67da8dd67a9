#pragma once
// The rich-text box bound to one field of the search window's table: shows
// the current record's document (rich text, or plain text as the import
// stores it), puts the record into edit state when the user changes the
// text, and writes the document back into the field before the record is
// posted. Its pop-up menu `pmRichEdit` offers the rich-text commands and the
// full editor window.

#include "editor/rich_edit.h"

#include <QPointer>
#include <functional>

class QMenu;

namespace bw {
class PromptService;
}
namespace bw::dataset {
class ClientDataSet;
}

namespace bw::search {

class RichTextActions;

class BoundRichEdit : public RichEdit
{
    Q_OBJECT
public:
    using Guard = std::function<void(const std::function<void()> &)>;

    BoundRichEdit(dataset::ClientDataSet &table, const QString &field, PromptService &prompts,
                  Guard guard, QWidget *parent = nullptr);

    QMenu *popupMenu() const { return m_pmRichEdit; }
    RichTextActions *commands() const { return m_commands; }
    bool documentModified() const { return m_modified; }

    // Reloads the field of the current record into the box.
    void loadFromRecord();
    // Writes the box's document into the field (the record is in edit state).
    void storeIntoRecord();
    // Puts the record into edit state; false when the table cannot change.
    bool ensureEdit();
    // Whether ensureEdit would succeed: the table is open and writable, and
    // a record is shown (browsed, edited or inserted). Without one the box
    // is read-only and its commands that change the text are disabled.
    bool hasRecordToChange() const;
    // The editor window: edits a copy of the document; "Save and Exit"
    // brings it back into the box and the record.
    void openEditorWindow();

    // The field's stored bytes as a document the box can load.
    static void loadBytes(RichEdit &editor, const QByteArray &bytes);
    static QByteArray documentBytes(const RichEdit &editor);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void connectTable();
    void updateReadOnly();

    dataset::ClientDataSet &m_table;
    QString m_field;
    PromptService &m_prompts;
    Guard m_guard;
    QMenu *m_pmRichEdit = nullptr;
    RichTextActions *m_commands = nullptr;
    bool m_loading = false;
    bool m_modified = false;
    QByteArray m_loadedBytes;
    quint64 m_loadedRecord = 0;
};

} // namespace bw::search
