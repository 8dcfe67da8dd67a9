// The item commands of a document window, driven through its commands and
// keys: move up, delete with its confirmation, the keys that follow the
// focus, insert while editing, the last item deleted and the history.

#include "document/delete_msg_dialog.h"
#include "document/document_window.h"
#include "document/item_commands.h"
#include "document/standalone_frame_services.h"
#include "editor/rich_edit.h"
#include "folder_tree_helpers.h"
#include "notes/notes_table.h"
#include "scripted_prompt_service.h"
#include "settings/registry.h"
#include "tree/folder_tree_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace bw;
using namespace bw::notes;
using State = dataset::ClientDataSet::State;
using settings::Key;

namespace {
const QString kRoot = QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0");
constexpr int kVersion = 4040;
constexpr int kNoNode = FolderTreeModel::kNoNode;
} // namespace

class tst_ItemCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void insertWithEmptyTable();
    void moveUpByDepth_data();
    void moveUpByDepth();
    void deleteConfirmation_data();
    void deleteConfirmation();
    void deleteKeyFollowsFocus();
    void insertWhileEditingDoesNothing();
    void lastItemDeleted();
    void deleteMakesNextItemCurrent_data();
    void deleteMakesNextItemCurrent();
    void backAndForward();
    void backSelectsFirstNodeWithSameHistoryText();

private:
    void openWindow();
    int node(const QString &text) const;
    int addItem(int parent, const QString &name);
    void run(int number) { m_commands->aclRecordExecute(number); }
    QAction *command(const char *name) { return m_window->action(QString::fromLatin1(name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<test::ScriptedPromptService> m_prompts;
    std::unique_ptr<StandaloneFrameServices> m_frame;
    DocumentWindow *m_window = nullptr;
    ItemCommands *m_commands = nullptr;
};

void tst_ItemCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_registry = std::make_unique<settings::Registry>(m_dir->filePath("registry.ini"));
    m_prompts = std::make_unique<test::ScriptedPromptService>();
    m_frame = std::make_unique<StandaloneFrameServices>(*m_prompts, *m_registry, kRoot, kVersion);
}

void tst_ItemCommands::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_frame.reset();
    m_prompts.reset();
    m_registry.reset();
    m_dir.reset();
}

void tst_ItemCommands::openWindow()
{
    m_window = new DocumentWindow(*m_frame, QStringLiteral("NoName1"));
    m_frame->addWindow(m_window);
    m_window->resize(900, 600);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    m_commands = ItemCommands::of(m_window);
    QVERIFY(m_commands);
}

int tst_ItemCommands::node(const QString &text) const
{
    return test::nodeWithText(m_commands->link().model(), text);
}

int tst_ItemCommands::addItem(int parent, const QString &name)
{
    return test::addNamedItem(m_commands->link(), parent, name);
}

void tst_ItemCommands::insertWithEmptyTable()
{
    openWindow();
    FolderTreeLink &link = m_commands->link();
    link.deleteNode(link.selectedNode());
    link.buildPass();
    QVERIFY(m_window->cdsCommon().isEmpty());
    run(ItemCommands::Insert);
    dataset::ClientDataSet &t = m_window->cdsCommon();
    QCOMPARE(t.asInteger(kFieldId), 0);
    QCOMPARE(t.asInteger(kFieldParent), 0);
    QCOMPARE(t.asString(kFieldName), QStringLiteral("New Item"));
    // The new node is being renamed.
    QVERIFY(m_commands->dbTreeView()->isRenaming());
    QCOMPARE(t.state(), State::Edit);
}

void tst_ItemCommands::moveUpByDepth_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("newParentName"); // "" for the top level
    QTest::newRow("depth 3") << "Grandchild" << true << "Root";
    QTest::newRow("depth 2") << "Child" << true << "";
    QTest::newRow("depth 1") << "Root" << false << "";
}

void tst_ItemCommands::moveUpByDepth()
{
    QFETCH(QString, item);
    QFETCH(bool, enabled);
    QFETCH(QString, newParentName);
    openWindow();
    const int root = node(QStringLiteral("This Is Your First Item"));
    m_commands->link().endRename(root, QStringLiteral("Root"));
    const int child = addItem(root, QStringLiteral("Child"));
    addItem(child, QStringLiteral("Grandchild"));
    addItem(root, QStringLiteral("Sibling"));
    FolderTreeLink &link = m_commands->link();
    const int moved = node(item);
    link.selectNode(moved);
    m_commands->aclRecordUpdate();
    QCOMPARE(command("actRecordMoveUp")->isEnabled(), enabled);
    command("actRecordMoveUp")->trigger();
    if (!enabled) {
        QCOMPARE(link.model().node(moved).parent, kNoNode);
        return;
    }
    const int newParent = newParentName.isEmpty() ? kNoNode : node(newParentName);
    QCOMPARE(link.model().node(moved).parent, newParent);
    QCOMPARE(int(link.model().children(newParent).back()), moved); // last among its siblings
    dataset::ClientDataSet &t = m_window->cdsCommon();
    QVERIFY(t.locate(kFieldId, link.model().node(moved).key));
    const qint32 expected =
        newParent == kNoNode ? link.model().node(moved).key : link.model().node(newParent).key;
    QCOMPARE(t.asInteger(kFieldParent), expected);
}

void tst_ItemCommands::deleteConfirmation_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QString>("setting");
    QTest::newRow("yes, ticked") << int(DeleteMessageDialog::ResultYes) << true << true << "False";
    QTest::newRow("yes") << int(DeleteMessageDialog::ResultYes) << false << true << "True";
    QTest::newRow("no, ticked") << int(DeleteMessageDialog::ResultNo) << true << false << "False";
    QTest::newRow("no") << int(DeleteMessageDialog::ResultNo) << false << false << "True";
}

void tst_ItemCommands::deleteConfirmation()
{
    QFETCH(int, answer);
    QFETCH(bool, ticked);
    QFETCH(bool, deleted);
    QFETCH(QString, setting);
    m_frame->writeOption(Key::ChildDisplayDeleteConfirm_Checked, QStringLiteral("True"));
    openWindow();
    const int root = node(QStringLiteral("This Is Your First Item"));
    const int child = addItem(root, QStringLiteral("Child"));
    addItem(child, QStringLiteral("Grandchild"));
    m_commands->link().selectNode(child);
    QString shown;
    m_prompts->answerDialog([&](QDialog *dialog) {
        auto *msg = qobject_cast<DeleteMessageDialog *>(dialog);
        shown = msg->lbMsgText->text();
        msg->cbDontShowThisMsgAgain->setChecked(ticked);
        return answer;
    });
    run(ItemCommands::Delete);
    QCOMPARE(shown, QStringLiteral("Do you want to delete the item \"Child\""));
    QCOMPARE(m_window->cdsCommon().recordCount(), deleted ? 1 : 3);
    QCOMPARE(node(QStringLiteral("Grandchild")) == kNoNode, deleted);
    QCOMPARE(m_frame->optionText(Key::ChildDisplayDeleteConfirm_Checked), setting);
    // The dialog is reused: its check box keeps its state for the next showing.
    QCOMPARE(m_commands->deleteMsg().cbDontShowThisMsgAgain->isChecked(), ticked);
    // With confirmation off, the next delete asks nothing.
    m_prompts->clear();
    m_commands->link().selectNode(node(QStringLiteral("This Is Your First Item")));
    addItem(m_commands->link().selectedNode(), QStringLiteral("Another"));
    if (!ticked) // still asking: this time the dialog is closed unanswered
        m_prompts->answerDialog([](QDialog *) { return int(QDialog::Rejected); });
    run(ItemCommands::Delete);
    QCOMPARE(m_prompts->count(QStringLiteral("exec")), ticked ? 0 : 1);
}

void tst_ItemCommands::deleteKeyFollowsFocus()
{
    m_frame->writeOption(Key::ChildDisplayDeleteConfirm_Checked, QStringLiteral("False"));
    openWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    const int root = node(QStringLiteral("This Is Your First Item"));
    const int child = addItem(root, QStringLiteral("Child"));
    m_commands->link().selectNode(child);
    // The editor has the focus: Del edits the document, the item stays.
    RichEdit *editor = m_window->editor();
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("abc"));
    editor->moveCursor(QTextCursor::Start);
    m_commands->aclRecordUpdate();
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->toPlainText(), QStringLiteral("bc"));
    QCOMPARE(m_commands->link().model().nodeCount(), 2);
    m_window->cdsCommon().post();
    // The tree has the focus: Del deletes the selected item.
    FolderTreeView *tree = m_commands->dbTreeView();
    tree->setFocus();
    m_commands->link().selectNode(child);
    m_commands->aclRecordUpdate();
    QTest::keyClick(tree, Qt::Key_Delete);
    QCOMPARE(m_commands->link().model().nodeCount(), 1);
    QCOMPARE(m_window->cdsCommon().recordCount(), 1);
}

void tst_ItemCommands::insertWhileEditingDoesNothing()
{
    openWindow();
    dataset::ClientDataSet &t = m_window->cdsCommon();
    t.edit();
    m_commands->aclRecordUpdate();
    QVERIFY(command("actRecordInsert")->isEnabled());
    run(ItemCommands::Insert);
    run(ItemCommands::InsertChild);
    QCOMPARE(t.recordCount(), 1);
    t.cancel();
    run(ItemCommands::InsertChild);
    QCOMPARE(t.recordCount(), 2);
}

void tst_ItemCommands::lastItemDeleted()
{
    m_frame->writeOption(Key::ChildDisplayDeleteConfirm_Checked, QStringLiteral("False"));
    openWindow();
    run(ItemCommands::Delete);
    QVERIFY(m_window->cdsCommon().isEmpty());
    m_commands->aclRecordUpdate();
    QVERIFY(!command("actRecordDelete")->isEnabled());
    QVERIFY(!command("actRecordGoUp")->isEnabled());
    QVERIFY(command("actRecordInsert")->isEnabled());
    run(ItemCommands::MoveUp); // nothing selected: nothing happens
    run(ItemCommands::Insert);
    QCOMPARE(m_commands->link().model().nodeCount(), 1);
    QCOMPARE(m_commands->link().model().node(m_commands->link().selectedNode()).parent, kNoNode);
}

void tst_ItemCommands::deleteMakesNextItemCurrent_data()
{
    // Items in stored order; "A1<A" is A1, a child of A.
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QString>("current");
    QTest::newRow("first of three") << QStringList{"A", "B", "X"} << "A"
                                    << "B";
    QTest::newRow("middle") << QStringList{"A", "B", "X"} << "B"
                            << "X";
    QTest::newRow("last: the one before") << QStringList{"A", "B", "X"} << "X"
                                          << "B";
    QTest::newRow("with a child stored later") << QStringList{"A", "B", "X", "A1<A"} << "A"
                                               << "X";
    QTest::newRow("with a child stored next") << QStringList{"A", "A1<A", "B", "X"} << "A"
                                              << "B";
}

void tst_ItemCommands::deleteMakesNextItemCurrent()
{
    // Given top-level items in stored order, when one is deleted (without
    // confirmation), then the record after the deleted ones is current and
    // its node selected, so a second Del never hits an unrelated item.
    QFETCH(QStringList, items);
    QFETCH(QString, deleted);
    QFETCH(QString, current);
    m_frame->writeOption(Key::ChildDisplayDeleteConfirm_Checked, QStringLiteral("False"));
    openWindow();
    FolderTreeLink &link = m_commands->link();
    link.deleteNode(link.selectedNode());
    link.buildPass();
    for (const QString &item : items) {
        const QStringList parts = item.split('<');
        addItem(parts.size() > 1 ? node(parts[1]) : kNoNode, parts[0]);
    }
    link.selectNode(node(deleted));
    m_commands->aclRecordUpdate();
    run(ItemCommands::Delete);
    QCOMPARE(m_window->cdsCommon().asString(kFieldName), current);
    QCOMPARE(link.selectedNode(), node(current));
    QCOMPARE(link.model().node(link.selectedNode()).text, current);
}

void tst_ItemCommands::backAndForward()
{
    openWindow();
    FolderTreeLink &link = m_commands->link();
    const int first = node(QStringLiteral("This Is Your First Item"));
    for (const char *name : {"A", "B", "C", "D"})
        addItem(kNoNode, QString::fromLatin1(name));
    link.selectNode(first);
    link.selectNode(node("A"));
    link.selectNode(node("B"));
    link.selectNode(node("C"));
    run(ItemCommands::Back);
    run(ItemCommands::Back);
    QCOMPARE(link.selectedNode(), node("A"));
    m_commands->aclRecordUpdate();
    QVERIFY(command("actRecordForward")->isEnabled());
    link.selectNode(node("D"));
    const QStringList tail = m_commands->history().entries().mid(
        m_commands->history().entries().indexOf(QStringLiteral("A0")));
    QCOMPARE(tail, (QStringList{"A0", "D3"}));
    m_commands->aclRecordUpdate();
    QVERIFY(!command("actRecordForward")->isEnabled());
    run(ItemCommands::Back);
    QCOMPARE(link.selectedNode(), node("A"));
    run(ItemCommands::GoUp); // top level: nothing
    QCOMPARE(link.selectedNode(), node("A"));
}

void tst_ItemCommands::backSelectsFirstNodeWithSameHistoryText()
{
    openWindow();
    FolderTreeLink &link = m_commands->link();
    const int first = node(QStringLiteral("This Is Your First Item"));
    link.endRename(first, QStringLiteral("A"));
    addItem(kNoNode, QStringLiteral("B"));
    addItem(kNoNode, QStringLiteral("C"));
    addItem(kNoNode, QStringLiteral("Item12"));          // position 3
    const int z = addItem(kNoNode, QStringLiteral("Z")); // position 4
    for (int i = 1; i <= 18; ++i)
        addItem(z, QStringLiteral("H%1").arg(i, 2, 10, QLatin1Char('0'))); // 5 to 22
    const int item1 = addItem(z, QStringLiteral("Item1"));                 // 23
    link.buildPass();
    QCOMPARE(link.model().displayPosition(node("Item12")), 3);
    QCOMPARE(link.model().displayPosition(item1), 23);
    link.selectNode(node("B"));
    link.selectNode(item1);
    link.selectNode(node("A"));
    QCOMPARE(m_commands->history().entries().mid(m_commands->history().position() - 1),
             (QStringList{"Item123", "A0"}));
    run(ItemCommands::Back);
    QCOMPARE(link.selectedNode(), node("Item12"));
}

QTEST_MAIN(tst_ItemCommands)
#include "tst_item_commands.moc"
