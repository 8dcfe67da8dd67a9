// The item commands' one execute handler and their update handler.

#include "document/delete_msg_dialog.h"
#include "document/document_context.h"
#include "document/frame_services.h"
#include "document/import_export_commands.h"
#include "document/item_commands.h"
#include "editor/rich_edit.h"
#include "notes/notes_table.h"
#include "settings/encodings.h"
#include "tree/folder_tree_view.h"

#include <QAction>
#include <QCheckBox>

namespace bw::notes {

namespace {
using State = dataset::ClientDataSet::State;
using TableCommand = DocumentContext::TableCommand;
using settings::Key;
} // namespace

void ItemCommands::aclRecordExecute(int number)
{
    if (!m_window.cdsCommon().isActive())
        return;
    switch (number) {
    case Insert:
        insertItem(false);
        break;
    case InsertChild:
        insertItem(true);
        break;
    case MoveUp:
        moveUp();
        break;
    case Delete:
        deleteItem();
        break;
    case Edit:
        editItem();
        break;
    case Post:
        postChanges();
        break;
    case Cancel:
        cancelChanges();
        break;
    case Refresh:
        m_link.buildPass();
        break;
    case SaveChanges:
        m_window.doTableCommand(TableCommand::Save);
        break;
    case UndoLastChange:
        m_window.doTableCommand(TableCommand::UndoLastChange);
        break;
    case UndoAllChanges:
        m_window.doTableCommand(TableCommand::UndoAllChanges);
        break;
    case Back:
        goToHistory(m_history.backEntry());
        break;
    case Forward:
        goToHistory(m_history.forwardEntry());
        break;
    case GoUp:
        goUp();
        break;
    case Import:
        ImportExportCommands(m_window, m_frame, m_link).importCsv();
        break;
    case ExportNodes:
        ImportExportCommands(m_window, m_frame, m_link).exportNodes();
        break;
    case ExportHtmlGrid:
        ImportExportCommands(m_window, m_frame, m_link).exportHtmlGrid();
        break;
    case ExportHtmlTree:
        ImportExportCommands(m_window, m_frame, m_link).exportHtmlTree();
        break;
    case ExportXmlData:
        ImportExportCommands(m_window, m_frame, m_link).exportXmlData();
        break;
    default:
        break;
    }
}

void ItemCommands::insertItem(bool asChild)
{
    if (!canModify() || isEditing())
        return;
    const int selected = m_link.selectedNode();
    int parent = FolderTreeLink::kNoNode;
    if (selected != FolderTreeLink::kNoNode)
        parent = asChild ? selected : m_link.model().node(selected).parent;
    const int id = m_link.insertItem(parent, QStringLiteral("New Item"));
    if (parent != FolderTreeLink::kNoNode)
        m_view->expand(m_link.model().indexOf(parent));
    // The new item's document starts empty, in the editor's font.
    RichEdit *editor = m_window.editor();
    editor->document()->setModified(false);
    editor->setCurrentFont(editor->defaultFont());
    m_link.selectNode(id);
    m_view->setFocus();
    m_view->startRename();
}

void ItemCommands::moveUp()
{
    const int selected = m_link.selectedNode();
    if (selected == FolderTreeLink::kNoNode)
        return;
    const int parent = m_link.model().node(selected).parent;
    if (parent == FolderTreeLink::kNoNode)
        return;
    m_link.moveNode(selected, m_link.model().node(parent).parent);
    m_view->scrollTo(m_link.model().indexOf(selected));
}

void ItemCommands::deleteItem()
{
    const int selected = m_link.selectedNode();
    if (selected == FolderTreeLink::kNoNode)
        return;
    const Key key = Key::ChildDisplayDeleteConfirm_Checked;
    if (!settings::decodeBool(m_frame.optionText(key)).value_or(true)) {
        m_link.deleteNode(selected);
        m_link.buildPass();
        return;
    }
    DeleteMessageDialog &dialog = deleteMsg();
    dialog.setItemText(m_link.model().node(selected).text);
    const int result = m_frame.prompts().exec(&dialog);
    // The check box is written back also when the deletion fails.
    struct WriteBack
    {
        FrameServices &frame;
        DeleteMessageDialog &dialog;
        ~WriteBack()
        {
            frame.writeOption(Key::ChildDisplayDeleteConfirm_Checked,
                              settings::encodeBool(!dialog.cbDontShowThisMsgAgain->isChecked()));
        }
    } writeBack{m_frame, dialog};
    if (result == DeleteMessageDialog::ResultYes) {
        m_link.deleteNode(selected);
        m_link.buildPass();
    }
}

void ItemCommands::editItem()
{
    if (m_link.selectedNode() == FolderTreeLink::kNoNode)
        return;
    if (m_view->hasFocus())
        m_view->startRename();
    else if (m_window.editor()->hasFocus())
        m_window.ensureEditState();
}

void ItemCommands::postChanges()
{
    if (!canModify() || !isEditing())
        return;
    if (!m_window.editor()->hasFocus())
        m_view->endRenaming(true);
    dataset::ClientDataSet &table = m_window.cdsCommon();
    if (table.state() == State::Edit || table.state() == State::Insert)
        table.post();
}

void ItemCommands::cancelChanges()
{
    if (!canModify() || !isEditing())
        return;
    m_view->endRenaming(false);
    m_window.cdsCommon().cancel();
}

// Back and forward select the first node, in display order, whose history
// text is the entry exactly.
void ItemCommands::goToHistory(const std::optional<QString> &entry)
{
    if (!entry)
        return;
    const FolderTreeModel &model = m_link.model();
    int found = FolderTreeLink::kNoNode;
    model.forEachInDisplayOrder([&](int id, int position) {
        if (NavigationHistory::entryText(model.node(id).text, position) != *entry)
            return true;
        found = id;
        return false;
    });
    if (found != FolderTreeLink::kNoNode)
        m_link.selectNode(found);
}

void ItemCommands::goUp()
{
    const int selected = m_link.selectedNode();
    if (selected != FolderTreeLink::kNoNode &&
        m_link.model().node(selected).parent != FolderTreeLink::kNoNode)
        m_link.selectNode(m_link.model().node(selected).parent);
}

void ItemCommands::aclRecordUpdate()
{
    const dataset::ClientDataSet &table = m_window.cdsCommon();
    updateShortcuts(m_view->hasFocus());
    const bool modifiable = table.isActive() && table.canModify();
    const bool editing = isEditing();
    const int selected = m_link.selectedNode();
    const bool belowTop = selected != FolderTreeLink::kNoNode &&
                          m_link.model().node(selected).parent != FolderTreeLink::kNoNode;
    for (int number : {Insert, InsertChild, Refresh})
        command(number)->setEnabled(modifiable);
    command(Delete)->setEnabled(modifiable && !table.isEmpty());
    for (int number : {Edit, Import, ExportNodes, ExportHtmlGrid, ExportHtmlTree, ExportXmlData})
        command(number)->setEnabled(modifiable && !editing);
    for (int number : {Post, Cancel})
        command(number)->setEnabled(modifiable && editing);
    for (int number : {SaveChanges, UndoLastChange, UndoAllChanges})
        command(number)->setEnabled(modifiable && table.changeCount() > 0);
    // With no node selected, Move Up keeps the state it had.
    if (selected != FolderTreeLink::kNoNode)
        command(MoveUp)->setEnabled(modifiable && belowTop);
    command(GoUp)->setEnabled(belowTop);
    command(Back)->setEnabled(m_history.canGoBack());
    command(Forward)->setEnabled(m_history.canGoForward());
}

void ItemCommands::updateShortcuts(bool treeFocused)
{
    for (int number : {Delete, Post, Cancel}) {
        const QList<QKeySequence> wanted = treeFocused ? focusKeys(number) : QList<QKeySequence>();
        QAction *action = command(number);
        if (action->shortcuts() != wanted)
            action->setShortcuts(wanted);
    }
}

} // namespace bw::notes
