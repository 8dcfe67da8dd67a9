// The clipboard and undo commands of the editor, with their enabling. Cut,
// paste, delete, undo and redo put the item into edit state before they
// change the text.

#include "document/document_window.h"

#include "document/editor_commands.h"
#include "editor/clipboard_state.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"
#include "platform/idle_updates.h"

#include <QAction>

namespace bw::notes {

void DocumentWindow::setupEditCommands()
{
    auto on = [this](const char *name, auto handler) {
        QAction *command = action(QString::fromLatin1(name));
        guardedConnect(command, &QAction::triggered, this, [this, command, handler] {
            aclEditUpdate();
            if (command->isEnabled())
                handler();
        });
    };
    on("actEditUndo", [this] { runUndo(false); });
    on("actEditRedo", [this] { runUndo(true); });
    on("actEditCut", [this] {
        if (ensureEditState())
            m_editor->cut();
    });
    on("actEditCopy", [this] { m_editor->copy(); });
    on("actEditPaste", [this] {
        if (ensureEditState())
            m_editor->paste();
    });
    on("actEditDelete", [this] {
        if (ensureEditState())
            m_editor->deleteSelection();
    });
    on("actEditSelectAll", [this] { m_editor->selectAll(); });
    updateWhenIdle(this, [this] { aclEditUpdate(); });
}

void DocumentWindow::runUndo(bool redo)
{
    // The item holds what the editor shows: the undone text is an edit too.
    if (!ensureEditState())
        return;
    if (redo)
        m_editor->redo();
    else
        m_editor->undo();
    editorChange();
    editorSelectionChange();
}

// Cut, Paste, Delete, Undo and Redo change the document: disabled while it
// cannot change (canChangeDocument), as Paste Special and the format commands
// are. The clipboard is asked through its cache, read once per change.
void DocumentWindow::aclEditUpdate()
{
    if (!m_editor)
        return;
    const bool selected = m_editor->textCursor().hasSelection();
    const bool changeable = canChangeDocument();
    action(QStringLiteral("actEditUndo"))->setEnabled(changeable && m_editor->canUndo());
    action(QStringLiteral("actEditRedo"))->setEnabled(changeable && m_editor->canRedo());
    action(QStringLiteral("actEditCut"))->setEnabled(changeable && selected);
    action(QStringLiteral("actEditCopy"))->setEnabled(selected);
    action(QStringLiteral("actEditDelete"))->setEnabled(changeable && selected);
    action(QStringLiteral("actEditPaste"))
        ->setEnabled(changeable && ClipboardState::instance().contents().hasText);
    action(QStringLiteral("actEditSelectAll"))->setEnabled(m_editor->textLength() > 0);
    if (m_editorCommands)
        m_editorCommands->aclEditUpdate();
}

} // namespace bw::notes
