// The clipboard and undo commands of the editor, with their enabling. Cut,
// paste, delete, undo and redo put the item into edit state before they
// change the text.

#include "document/document_window.h"

#include "document/editor_commands.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"
#include "platform/idle_updates.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

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

void DocumentWindow::aclEditUpdate()
{
    if (!m_editor)
        return;
    const bool selected = m_editor->textCursor().hasSelection();
    const QMimeData *clipboard = QApplication::clipboard()->mimeData();
    const dataset::ClientDataSet &table = cdsCommon();
    using State = dataset::ClientDataSet::State;
    const bool changeable =
        table.isActive() && (table.state() == State::Edit || table.state() == State::Insert ||
                             (table.canModify() && !table.isEmpty()));
    action(QStringLiteral("actEditUndo"))->setEnabled(changeable && m_editor->canUndo());
    action(QStringLiteral("actEditRedo"))->setEnabled(changeable && m_editor->canRedo());
    action(QStringLiteral("actEditCut"))->setEnabled(selected);
    action(QStringLiteral("actEditCopy"))->setEnabled(selected);
    action(QStringLiteral("actEditDelete"))->setEnabled(selected);
    action(QStringLiteral("actEditPaste"))->setEnabled(clipboard && clipboard->hasText());
    action(QStringLiteral("actEditSelectAll"))->setEnabled(m_editor->textLength() > 0);
    if (m_editorCommands)
        m_editorCommands->aclEditUpdate();
}

} // namespace bw::notes
