// Every entry from the event loop into the document window is guarded: a
// command that throws from an action, the automatic-save timer, a connected
// signal (the tree's selection, the table's notifications) or an event filter
// reports its error and the program goes on with its documents. The issue's
// case: a file whose first item's description the editor cannot load.

#include "document/document_window.h"
#include "document/item_commands.h"
#include "document/standalone_frame_services.h"
#include "editor/rich_edit.h"
#include "notes/notes_strings.h"
#include "platform/guarded_dispatch.h"
#include "scripted_prompt_service.h"
#include "settings/registry.h"
#include "tree/folder_tree_view.h"
#include "window_test_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace bw;
using namespace bw::notes;

namespace {
const QString kRoot = QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0");
constexpr int kVersion = 4040;
const QString kLoadFailed = QStringLiteral("Failed to Load Stream");
} // namespace

class tst_GuardedEntries : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void undecodableFirstItemShowsMessage_data();
    void undecodableFirstItemShowsMessage();
    void undecodableLaterItemShowsMessage();
    void throwingActionKeepsDocuments();
    void throwingFormatCommandKeepsDocuments();
    void throwingTimerKeepsDocuments();
    void throwingEventFilterKeepsDocuments();

private:
    DocumentWindow *open(const QString &name);
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // A notes file of two items; the first (or second) has the description given.
    void writeFile(const QString &file, const QByteArray &first, const QByteArray &second = {});
    // A window of another file with text typed and not saved.
    DocumentWindow *openTypedDocument();
    void checkTypedDocument();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<test::ScriptedPromptService> m_prompts;
    std::unique_ptr<StandaloneFrameServices> m_frame;
    std::unique_ptr<ExceptionHandlerScope> m_scope;
    QStringList m_errors;
    QList<QPointer<DocumentWindow>> m_windows;
    QPointer<DocumentWindow> m_typed;
};

void tst_GuardedEntries::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_registry = std::make_unique<settings::Registry>(m_dir->filePath("registry.ini"));
    m_prompts = std::make_unique<test::ScriptedPromptService>();
    m_frame = std::make_unique<StandaloneFrameServices>(*m_prompts, *m_registry, kRoot, kVersion);
    m_errors.clear();
    // The main window installs its error box here; the test records instead.
    m_scope = std::make_unique<ExceptionHandlerScope>(
        [this](std::exception_ptr error) { m_errors.append(exceptionText(error)); });
}

void tst_GuardedEntries::cleanup()
{
    for (const auto &window : m_windows)
        delete window.data();
    m_windows.clear();
    m_scope.reset();
    m_frame.reset();
    m_prompts.reset();
    m_registry.reset();
    m_dir.reset();
}

DocumentWindow *tst_GuardedEntries::open(const QString &name)
{
    auto *window = new DocumentWindow(*m_frame, name);
    m_windows.append(window);
    m_frame->addWindow(window);
    window->resize(900, 600);
    window->show();
    return window;
}

void tst_GuardedEntries::writeFile(const QString &file, const QByteArray &first,
                                   const QByteArray &second)
{
    NotesTable table;
    table.createNewContent();
    dataset::ClientDataSet &cds = table.cdsCommon();
    cds.first();
    cds.edit();
    cds.setBytes(kFieldDescription, first);
    cds.post();
    cds.append();
    cds.setFieldValue(kFieldId, 2);
    cds.setFieldValue(kFieldParent, 2);
    cds.setFieldValue(kFieldName, QStringLiteral("Second"));
    cds.setBytes(kFieldDescription, second);
    cds.post();
    cds.saveToFile(file, dataset::ClientDataSet::FileFormat::Binary);
}

DocumentWindow *tst_GuardedEntries::openTypedDocument()
{
    writeFile(path("typed.cds"), "plain first");
    m_typed = open(path("typed.cds"));
    m_typed->editor()->setFocus();
    m_typed->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(m_typed->editor(), " typed");
    return m_typed;
}

void tst_GuardedEntries::checkTypedDocument()
{
    QVERIFY(m_typed);
    QVERIFY(m_typed->editor()->toPlainText().endsWith(" typed"));
    QVERIFY(m_typed->cdsCommon().isActive());
}

void tst_GuardedEntries::undecodableFirstItemShowsMessage_data()
{
    QTest::addColumn<QByteArray>("description");
    QTest::newRow("one NUL byte") << QByteArray(1, '\0');
    QTest::newRow("binary bytes") << QByteArray("\xff\xfe\x00\x01\x80\x81\xc0", 7);
    QByteArray big(20 * 1024 * 1024, '\0');
    big[0] = '\x80';
    QTest::newRow("20 MB") << big;
}

void tst_GuardedEntries::undecodableFirstItemShowsMessage()
{
    // Before: std::terminate, from the destructor of the table's
    // ControlsDisabler during openTable. Now the message shows, the table is
    // open with both items, and the other document keeps its typed text.
    QFETCH(QByteArray, description);
    openTypedDocument();
    writeFile(path("bad.cds"), description);
    DocumentWindow *window = open(path("bad.cds"));
    QCOMPARE(m_errors, QStringList{kLoadFailed});
    QVERIFY(window->cdsCommon().isActive());
    QCOMPARE(window->cdsCommon().recordCount(), 2);
    QVERIFY(!window->closeRequested());
    checkTypedDocument();
    // The item shows empty and cannot be typed into: its stored bytes stay.
    QCOMPARE(window->editor()->toPlainText(), QString());
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "x");
    QCOMPARE(window->editor()->toPlainText(), QString());
    QCOMPARE(window->cdsCommon().asBytes(kFieldDescription), description);
    // A refresh (a resize) does not ask again.
    window->resize(700, 500);
    QCOMPARE(m_errors.size(), 1);
    // The window works on: the second item loads and takes typing.
    window->cdsCommon().last();
    QCOMPARE(window->editor()->toPlainText(), QString());
    QTest::keyClicks(window->editor(), "ok");
    QCOMPARE(window->editor()->toPlainText(), QStringLiteral("ok"));
}

void tst_GuardedEntries::undecodableLaterItemShowsMessage()
{
    openTypedDocument();
    writeFile(path("later.cds"), "fine", QByteArray(1, '\0'));
    DocumentWindow *window = open(path("later.cds"));
    QVERIFY(m_errors.isEmpty());
    // The user selects the second item in the tree (a Qt signal).
    auto *tree = window->findChild<FolderTreeView *>();
    QVERIFY(tree);
    const QModelIndexList found =
        tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("Second"),
                             1, Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(found.size(), 1);
    const QModelIndex second = found.first();
    tree->setCurrentIndex(second);
    QCOMPARE(window->cdsCommon().asString(kFieldName), QStringLiteral("Second"));
    QCOMPARE(m_errors, QStringList{kLoadFailed});
    QCOMPARE(window->cdsCommon().asString(kFieldName), QStringLiteral("Second"));
    checkTypedDocument();
}

void tst_GuardedEntries::throwingActionKeepsDocuments()
{
    // Save onto a folder that has vanished: the action's handler throws.
    QVERIFY(QDir().mkpath(path("sub")));
    writeFile(path("sub/a.cds"), "first");
    DocumentWindow *window = open(path("sub/a.cds"));
    openTypedDocument();
    window->editor()->setFocus();
    window->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->editor(), " unsaved");
    QVERIFY(QDir(path("sub")).removeRecursively());
    window->action(QStringLiteral("actFileCDSSave"))->trigger();
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors.first().contains(path("sub/a.cds")));
    QVERIFY(window->editor()->toPlainText().endsWith(" unsaved"));
    QVERIFY(window->cdsCommon().changeCount() > 0);
    checkTypedDocument();
}

void tst_GuardedEntries::throwingFormatCommandKeepsDocuments()
{
    // The format commands' actions were connected without a guard: the
    // paragraph dialog failing escaped through the action's trigger.
    DocumentWindow *window = openTypedDocument();
    m_prompts->answerDialog([](QDialog *) -> int { throw std::runtime_error("dialog failed"); });
    // The format commands work on the editor that has the focus.
    window->activateWindow();
    window->editor()->setFocus();
    QTRY_VERIFY(window->editor()->hasFocus());
    window->action(QStringLiteral("actFormatParagraph"))->trigger();
    QCOMPARE(m_prompts->count("exec"), 1);
    QCOMPARE(m_errors, QStringList{"dialog failed"});
    checkTypedDocument();
}

void tst_GuardedEntries::throwingTimerKeepsDocuments()
{
    m_frame->writeOption(settings::Key::ChildAutoSave_Checked, "True");
    QVERIFY(QDir().mkpath(path("sub")));
    writeFile(path("sub/t.cds"), "first");
    DocumentWindow *window = open(path("sub/t.cds"));
    openTypedDocument();
    QVERIFY(test::autoSaveTimer(window).isActive());
    window->editor()->setFocus();
    window->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->editor(), " unsaved");
    QVERIFY(QDir(path("sub")).removeRecursively());
    // A real tick from the event loop.
    test::autoSaveTimer(window).setInterval(1);
    test::autoSaveTimer(window).start();
    QTRY_COMPARE(m_errors.size(), 1);
    QVERIFY(m_errors.first().contains("Automatic save of this file is paused"));
    QVERIFY(!test::autoSaveTimer(window).isActive());
    QVERIFY(window->editor()->toPlainText().endsWith(" unsaved"));
    checkTypedDocument();
}

void tst_GuardedEntries::throwingEventFilterKeepsDocuments()
{
    // The window's editor filter stores the document when the editor loses
    // the focus; a filter of the same kind that throws is reported and the
    // key goes nowhere.
    class Throwing : public QObject
    {
    protected:
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() != QEvent::KeyPress)
                return false;
            return guardedOr(true, []() -> bool { throw std::runtime_error("filter failed"); });
        }
    };
    DocumentWindow *window = openTypedDocument();
    Throwing filter;
    window->editor()->installEventFilter(&filter);
    QTest::keyClicks(window->editor(), "x");
    window->editor()->removeEventFilter(&filter);
    QCOMPARE(m_errors, QStringList{"filter failed"});
    checkTypedDocument();
    // The window's own filter keeps working: typing and focus loss store.
    QTest::keyClicks(window->editor(), "!");
    QVERIFY(window->editor()->toPlainText().endsWith(" typed!"));
}

QTEST_MAIN(tst_GuardedEntries)
#include "tst_guarded_entries.moc"
