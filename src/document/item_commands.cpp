#include "document/item_commands.h"

#include "commands/command_catalogue.h"
#include "commands/command_menus.h"
#include "document/delete_msg_dialog.h"
#include "document/document_context.h"
#include "document/frame_services.h"
#include "editor/rich_edit.h"
#include "notes/notes_table.h"
#include "options/system_colors.h"
#include "platform/guarded_dispatch.h"
#include "platform/idle_updates.h"
#include "settings/encodings.h"
#include "tree/folder_tree_view.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QVBoxLayout>

namespace bw::notes {

namespace {

using State = dataset::ClientDataSet::State;
using settings::Key;

struct CommandName
{
    int number;
    const char *name;
};

const CommandName kCommands[] = {
    {ItemCommands::Insert, "actRecordInsert"},
    {ItemCommands::InsertChild, "actRecordInsertChild"},
    {ItemCommands::MoveUp, "actRecordMoveUp"},
    {ItemCommands::Delete, "actRecordDelete"},
    {ItemCommands::Edit, "actRecordEdit"},
    {ItemCommands::Post, "actRecordPost"},
    {ItemCommands::Cancel, "actRecordCancel"},
    {ItemCommands::Refresh, "actRecordRefresh"},
    {ItemCommands::SaveChanges, "actRecordSaveChanges"},
    {ItemCommands::UndoLastChange, "actRecordUndoLastChange"},
    {ItemCommands::UndoAllChanges, "actRecordUndoAllChanges"},
    {ItemCommands::Import, "actRecordImport"},
    {ItemCommands::ExportNodes, "actRecordExportNodes"},
    {ItemCommands::ExportHtmlGrid, "actRecordExportHtmlGrid"},
    {ItemCommands::ExportHtmlTree, "actRecordExportHtmlTree"},
    {ItemCommands::ExportXmlData, "actRecordExportXmlData"},
    {ItemCommands::Back, "actRecordBack"},
    {ItemCommands::Forward, "actRecordForward"},
    {ItemCommands::GoUp, "actRecordGoUp"},
};

// The keys that belong to the tree's commands only while the tree has the focus.
} // namespace

QList<QKeySequence> ItemCommands::focusKeys(int number)
{
    switch (number) {
    case ItemCommands::Delete:
        return {QKeySequence(Qt::Key_Delete)};
    case ItemCommands::Post:
        return {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)};
    case ItemCommands::Cancel:
        return {QKeySequence(Qt::Key_Escape)};
    default:
        return {};
    }
}

namespace {

constexpr int kFocusCommands[] = {ItemCommands::Delete, ItemCommands::Post, ItemCommands::Cancel};

// The catalogue keeps a command's tag in this property.

} // namespace

ItemCommands::ItemCommands(DocumentContext &window, FrameServices &frame, QWidget *treePane)
    : QObject(window.widget()), m_window(window), m_frame(frame), m_link(window.cdsCommon())
{
    setObjectName(QStringLiteral("aclRecord"));
    m_view = new FolderTreeView(m_link, treePane);
    if (QLayout *layout = treePane->layout())
        layout->addWidget(m_view);
    treePane->setFocusProxy(m_view);
    guardedConnect(&m_link, &FolderTreeLink::selectionChanging, this,
                   &ItemCommands::dbTreeViewChanging);
    connectCommands();
    buildTreeMenu();
    updateWhenIdle(this, [this] { aclRecordUpdate(); });
    applyOptions();
}

ItemCommands::~ItemCommands()
{
    delete m_ownDeleteMsg;
}

ItemCommands *ItemCommands::of(const QWidget *window)
{
    return window ? window->findChild<ItemCommands *>(QStringLiteral("aclRecord"),
                                                      Qt::FindDirectChildrenOnly)
                  : nullptr;
}

int ItemCommands::commandNumber(const QAction *action)
{
    const int tag = bw::commandTag(action);
    if (tag != 0)
        return tag;
    for (const CommandName &entry : kCommands)
        if (action->objectName() == QLatin1String(entry.name))
            return entry.number;
    return 0;
}

QAction *ItemCommands::command(int number) const
{
    for (const CommandName &entry : kCommands)
        if (entry.number == number)
            return m_window.action(QString::fromLatin1(entry.name));
    return nullptr;
}

void ItemCommands::connectCommands()
{
    for (const CommandName &entry : kCommands) {
        QAction *action = m_window.action(QString::fromLatin1(entry.name));
        guardedConnect(action, &QAction::triggered, this, [this, action] {
            aclRecordUpdate();
            if (action->isEnabled())
                aclRecordExecute(commandNumber(action));
        });
    }
    // Del, Enter and Esc work inside the tree only.
    for (int number : kFocusCommands) {
        QAction *action = command(number);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_view->addAction(action);
    }
}

void ItemCommands::buildTreeMenu()
{
    m_pmTreeView = buildPopupMenu(
        QLatin1String(kTreeViewMenu), [this](const QString &name) { return m_window.action(name); },
        m_view);
    guardedConnect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        aclRecordUpdate();
        m_pmTreeView->popup(m_view->viewport()->mapToGlobal(pos));
    });
}

DeleteMessageDialog &ItemCommands::deleteMsg()
{
    if (DeleteMessageDialog *shared = m_frame.deleteConfirmation())
        return *shared;
    if (!m_ownDeleteMsg)
        m_ownDeleteMsg = new DeleteMessageDialog();
    return *m_ownDeleteMsg;
}

bool ItemCommands::canModify() const
{
    return m_window.cdsCommon().canModify();
}

bool ItemCommands::isEditing() const
{
    const State state = m_window.cdsCommon().state();
    return state == State::Edit || state == State::Insert || state == State::SetKey;
}

// dbTreeViewChanging: the node about to be selected enters the history.
void ItemCommands::dbTreeViewChanging(int id)
{
    const FolderTreeModel &model = m_link.model();
    if (!model.isNode(id))
        return;
    m_history.visit(NavigationHistory::entryText(model.node(id).text, model.displayPosition(id)));
}

void ItemCommands::applyOptions()
{
    auto option = [this](Key key) { return m_frame.optionText(key); };
    auto flag = [&option](Key key) { return settings::decodeBool(option(key)).value_or(false); };
    TreeLook look;
    look.autoExpand = flag(Key::TreeViewAutoExpand_Checked);
    look.hotTrack = flag(Key::TreeViewHotTrack_Checked);
    look.iconIndex = settings::numberOr(option(Key::TreeViewIcon_Text), 0);
    look.font.setFamily(option(Key::TreeViewFontName_FontName));
    look.font.setPointSize(settings::numberOr(option(Key::TreeViewFontSize_Text), 8));
    look.font.setBold(flag(Key::TreeViewFontBold_Checked));
    look.font.setItalic(flag(Key::TreeViewFontItalic_Checked));
    look.color = ColorValue::fromText(option(Key::TreeViewFontColor_Color));
    look.background = ColorValue::fromText(option(Key::TreeViewBackgroundColor_Selected));
    m_view->applyLook(look, [this](int index) { return m_frame.treeImage(index); });
}

void ItemCommands::endTreeRenaming()
{
    m_view->endRenaming(true);
}

void ItemCommands::collapseTree()
{
    m_view->collapseAllNodes();
}

} // namespace bw::notes
