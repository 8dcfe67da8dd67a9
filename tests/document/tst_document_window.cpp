// The document window: new and loaded files, saving, closing, the editor bound
// to the current item, the status bar, the View commands and dropped files.

#include "commands/command_catalogue.h"
#include "document/document_bars.h"
#include "document/document_strings.h"
#include "document/document_window.h"
#include "document/document_window_splitter.h"
#include "document/editor_commands.h"
#include "document/item_commands.h"
#include "document/ruler.h"
#include "document/status_bar.h"
#include "editor/rich_edit.h"
#include "notes/notes_strings.h"
#include "platform/guarded_dispatch.h"
#include "tree/folder_tree_view.h"
#include "window_test_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <memory>

using namespace bw;
using namespace bw::notes;
using State = dataset::ClientDataSet::State;

namespace {

QString saveQuestion(const QString &name)
{
    return QStringLiteral("Do you want to save changes to \"%1\"?").arg(name);
}

} // namespace

class tst_DocumentWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newUntitledWindowHoldsFirstItem();
    void closingAsksAboutChanges_data();
    void closingAsksAboutChanges();
    void yesWithCancelledSaveDialogKeepsWindow();
    void savingUntitledTakesTheFileName();
    void saveAsMovesWindowToTheNewFile();
    void xmlNameSavesXmlForm();
    void saveAllShowsOneDialogForOneUntitledWindow();
    void failedSaveKeepsWindowModified_data();
    void failedSaveKeepsWindowModified();
    void savingOntoFileOfAnotherWindowIsRefused();
    void fileChangedOnDiskIsOverwrittenOnlyWhenConfirmed();
    void unreadableFileLeavesInertWindow();
    void typingEditsAndPostStoresRtf();
    void escapeKeepsTypedText();
    void keysThatChangeTextStartEditing_data();
    void keysThatChangeTextStartEditing();
    void headerButtonCollapsesTreePane();
    void undoLastAndAllChanges();
    void autoSaveFollowsSettings();
    void failedAutoSaveReportsOnceAndKeepsChanges();
    void statusBarTexts();
    void optionsApplyToEditorAndBars();
    void applyingOptionsKeepsTypedText();
    void treeRebuildKeepsTypedText();
    void recordChangeReplacesProtectedText();
    void undoCaptionsFollowEditor();
    void clipboardCommandsStartEditing();
    void viewCommandHidesOwnBarOnly();
    void dropAsksAboutPendingChanges_data();
    void dropAsksAboutPendingChanges();
    void dropOntoEditorReachesFrame();
    void splitterPositionSharedThroughSection();
    void failedSaveWhileClosingKeepsWindowOpen();
    void unknownCommandNameFailsLoudly();
    void treeViewKeyWorksAnywhereInWindow();
    void popupsComeFromCommandCatalogue();
    void editorPopupShowsWindowCommands();

private:
    DocumentWindow *open(const QString &name)
    {
        return m_fixture->open(name, test::DocumentWindowFixture::Show::Plain);
    }
    QString path(const QString &name) const { return m_fixture->path(name); }
    void writeOption(settings::Key key, const QString &text);
    void typeInto(DocumentWindow *window, const QString &text);
    bool closeWindow(DocumentWindow *window);
    QString descriptionText(DocumentWindow *window);
    QString loadedFirstDescription(const QString &file);
    void writeNewFile(const QString &file);

    std::unique_ptr<test::DocumentWindowFixture> m_fixture;
    test::ScriptedPromptService *m_prompts = nullptr;
    StandaloneFrameServices *m_frame = nullptr;
};

void tst_DocumentWindow::init()
{
    m_fixture = std::make_unique<test::DocumentWindowFixture>();
    m_prompts = &m_fixture->prompts;
    m_frame = &m_fixture->frame();
}

void tst_DocumentWindow::cleanup()
{
    m_prompts = nullptr;
    m_frame = nullptr;
    m_fixture.reset();
}

void tst_DocumentWindow::writeOption(settings::Key key, const QString &text)
{
    m_frame->writeOption(key, text);
}

void tst_DocumentWindow::typeInto(DocumentWindow *window, const QString &text)
{
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), text);
}

bool tst_DocumentWindow::closeWindow(DocumentWindow *window)
{
    return window->close();
}

QString tst_DocumentWindow::descriptionText(DocumentWindow *window)
{
    return window->cdsCommon().asString(kFieldDescription);
}

QString tst_DocumentWindow::loadedFirstDescription(const QString &file)
{
    NotesTable table;
    table.loadFromFile(file);
    table.cdsCommon().first();
    return table.cdsCommon().asString(kFieldDescription);
}

// The one-item file of a new document, written as a first save writes it.
void tst_DocumentWindow::writeNewFile(const QString &file)
{
    NotesTable table;
    table.createNewContent();
    table.cdsCommon().saveToFile(file, dataset::ClientDataSet::FileFormat::Binary);
}

void tst_DocumentWindow::newUntitledWindowHoldsFirstItem()
{
    DocumentWindow *window = open("NoName1");
    QCOMPARE(window->caption(), QStringLiteral("NoName1"));
    QCOMPARE(window->windowTitle(), QStringLiteral("NoName1"));
    dataset::ClientDataSet &table = window->cdsCommon();
    QVERIFY(table.isActive());
    QCOMPARE(table.recordCount(), 1);
    QCOMPARE(table.asString(kFieldName), kFirstItemName);
    QCOMPARE(table.changeCount(), 1);
    QVERIFY(window->editor()->toPlainText().contains("This is a description for your first item."));
    QVERIFY(window->editor()->isReadOnly());
    QCOMPARE(window->ruler()->caption(), QStringLiteral("\t|").repeated(100));
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTRY_VERIFY(window->itemCommands()->dbTreeView()->hasFocus());
}

void tst_DocumentWindow::closingAsksAboutChanges_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QList<int>>("released");
    QTest::newRow("No closes, frees 1")
        << "NoName1" << int(PromptService::No) << true << QList<int>{1};
    QTest::newRow("No closes, frees 7")
        << "NoName7" << int(PromptService::No) << true << QList<int>{7};
    QTest::newRow("Cancel stays") << "NoName3" << int(PromptService::Cancel) << false
                                  << QList<int>{};
    // A name that only starts like an untitled one frees nothing.
    QTest::newRow("NoNameList.cds frees nothing")
        << "NoNameList.cds" << int(PromptService::No) << true << QList<int>{};
}

void tst_DocumentWindow::closingAsksAboutChanges()
{
    QFETCH(QString, name);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(QList<int>, released);
    DocumentWindow *window = open(name);
    m_prompts->answerMessage(answer);
    QCOMPARE(closeWindow(window), closes);
    QCOMPARE(m_prompts->messages(), QStringList{saveQuestion(name)});
    QCOMPARE(m_prompts->asked.first().caption, kConfirmCaption);
    QCOMPARE(m_prompts->asked.first().buttons,
             PromptService::Yes | PromptService::No | PromptService::Cancel);
    const QSet<int> expected(released.begin(), released.end());
    QCOMPARE(m_frame->releasedNumbers(), expected);
}

void tst_DocumentWindow::yesWithCancelledSaveDialogKeepsWindow()
{
    // Given an untitled window, when Yes is answered and the save dialog
    // cancelled, then the window stays open with its change.
    DocumentWindow *window = open("NoName1");
    m_prompts->answerMessage(PromptService::Yes);
    m_prompts->cancelFile();
    QVERIFY(!closeWindow(window));
    QCOMPARE(window->cdsCommon().changeCount(), 1);
    QVERIFY(m_frame->releasedNumbers().isEmpty());

    m_prompts->answerMessage(PromptService::Yes);
    m_prompts->answerFile(path("kept.cds"));
    QVERIFY(closeWindow(window));
    QVERIFY(QFile::exists(path("kept.cds")));
    QCOMPARE(m_frame->releasedNumbers(), QSet<int>{1});
}

void tst_DocumentWindow::savingUntitledTakesTheFileName()
{
    // Given the untitled window NoName2, when it is saved through the save
    // dialog as a.cds, then it is a.cds's window: its caption names the file,
    // its number is free, and the next save writes a.cds without a dialog.
    DocumentWindow *window = open("NoName2");
    m_prompts->answerFile(path("a.cds"));
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(QFile::exists(path("a.cds")));
    QCOMPARE(window->caption(), path("a.cds"));
    QCOMPARE(window->windowTitle(), path("a.cds"));
    QCOMPARE(window->cdsCommon().changeCount(), 0);
    QCOMPARE(m_frame->releasedNumbers(), QSet<int>{2});

    const test::Asked &asked = m_prompts->asked.last();
    QCOMPARE(asked.kind, QStringLiteral("save"));
    QCOMPARE(asked.file.defaultExt, QStringLiteral("cds"));
    QCOMPARE(asked.file.filter, QStringLiteral("Client DataSet (*.cds)|*.cds|All Files (*.*)|*.*"));
    QCOMPARE(asked.file.filterIndex, 1);
    QCOMPARE(asked.file.fileName, QStringLiteral("NoName2"));

    typeInto(window, "second ");
    window->cdsCommon().post();
    window->action("actFileCDSSave")->trigger();
    QCOMPARE(m_prompts->count("save"), 1);
    QVERIFY(loadedFirstDescription(path("a.cds")).contains("second"));

    // Closing it asks about its file by that name and frees no number again.
    typeInto(window, "third ");
    window->cdsCommon().post();
    m_prompts->answerMessage(PromptService::No);
    QVERIFY(closeWindow(window));
    QCOMPARE(m_prompts->messages().last(), saveQuestion(path("a.cds")));
    QCOMPARE(m_frame->releasedNumbers(), QSet<int>{2});
}

void tst_DocumentWindow::saveAsMovesWindowToTheNewFile()
{
    {
        DocumentWindow *untitled = open("NoName1");
        m_prompts->answerFile(path("a.cds"));
        QVERIFY(untitled->doTableCommand(DocumentWindow::TableCommand::Save));
        delete untitled;
    }
    DocumentWindow *window = open(path("a.cds"));
    QCOMPARE(window->cdsCommon().changeCount(), 0);
    typeInto(window, "alpha ");
    window->cdsCommon().post();
    m_prompts->answerFile(path("b.cds"));
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::SaveAs));
    QVERIFY(loadedFirstDescription(path("b.cds")).contains("alpha"));
    QVERIFY(!loadedFirstDescription(path("a.cds")).contains("alpha"));
    QCOMPARE(window->caption(), path("b.cds"));
    QCOMPARE(window->windowTitle(), path("b.cds"));

    // The next save writes b.cds, as for a window that opened it.
    typeInto(window, "beta ");
    window->cdsCommon().post();
    const int dialogs = m_prompts->count("save");
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    QCOMPARE(m_prompts->count("save"), dialogs);
    QVERIFY(loadedFirstDescription(path("b.cds")).contains("beta"));
    QVERIFY(!loadedFirstDescription(path("a.cds")).contains("beta"));
}

void tst_DocumentWindow::xmlNameSavesXmlForm()
{
    DocumentWindow *window = open("NoName1");
    m_prompts->answerFile(path("items.xml"));
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::SaveAs));
    QFile file(path("items.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("<DATAPACKET"));
}

void tst_DocumentWindow::saveAllShowsOneDialogForOneUntitledWindow()
{
    for (const char *name : {"one.cds", "two.cds"}) {
        DocumentWindow *w = open("NoName9");
        m_prompts->answerFile(path(name));
        QVERIFY(w->doTableCommand(DocumentWindow::TableCommand::Save));
        delete w;
    }
    m_prompts->clear();
    DocumentWindow *one = open(path("one.cds"));
    DocumentWindow *untitled = open("NoName1");
    DocumentWindow *two = open(path("two.cds"));
    for (DocumentWindow *w : {one, two}) {
        typeInto(w, "saved by all ");
        w->cdsCommon().post();
    }
    m_prompts->answerFile(path("three.cds"));
    two->action("actFileCDSSaveAll")->trigger();
    QCOMPARE(m_prompts->count("save"), 1);
    QVERIFY(QFile::exists(path("three.cds")));
    QVERIFY(loadedFirstDescription(path("one.cds")).contains("saved by all"));
    QVERIFY(loadedFirstDescription(path("two.cds")).contains("saved by all"));
    // The untitled window is three.cds's window now: the next save all
    // shows no dialog.
    QCOMPARE(untitled->caption(), path("three.cds"));

    // A window that cannot be written does not keep the next from saving.
    typeInto(one, " one again");
    typeInto(two, " two again");
    QVERIFY(QFile::remove(path("one.cds")));
    QVERIFY(QDir().mkpath(path("one.cds")));
    QVERIFY_THROWS_EXCEPTION(dataset::FileAccessError, two->saveAll());
    QCOMPARE(m_prompts->count("save"), 1);
    QVERIFY(loadedFirstDescription(path("two.cds")).contains("two again"));
    QVERIFY(one->cdsCommon().changeCount() > 0);
}

void tst_DocumentWindow::failedSaveKeepsWindowModified_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::newRow("folder vanished since opening") << "vanished";
    QTest::newRow("a folder took the file's name") << "folder";
    QTest::newRow("file made read-only") << "read-only";
}

void tst_DocumentWindow::failedSaveKeepsWindowModified()
{
    // Given text typed into a file's window, when the save cannot write the
    // file, then the error is raised, the window stays modified (closing
    // asks) and a later save elsewhere holds the text.
    QFETCH(QString, blocker);
    QVERIFY(QDir().mkpath(path("sub")));
    const QString file = path("sub/a.cds");
    writeNewFile(file);
    DocumentWindow *window = open(file);
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " unsaved words");
    if (blocker == "vanished") {
        QVERIFY(QDir(path("sub")).removeRecursively());
    } else if (blocker == "folder") {
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkpath(file));
    } else {
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    }
    QVERIFY_THROWS_EXCEPTION(dataset::FileAccessError,
                             window->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(window->cdsCommon().changeCount() > 0);
    QVERIFY(window->editor()->toPlainText().endsWith(" unsaved words"));

    m_prompts->clear();
    m_prompts->answerMessage(PromptService::Cancel);
    QVERIFY(!closeWindow(window));
    QCOMPARE(m_prompts->messages(), QStringList{saveQuestion(file)});

    m_prompts->answerFile(path("good.cds"));
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::SaveAs));
    QVERIFY(loadedFirstDescription(path("good.cds")).contains("unsaved words"));
    QCOMPARE(window->cdsCommon().changeCount(), 0);
}

void tst_DocumentWindow::savingOntoFileOfAnotherWindowIsRefused()
{
    // Given b.cds open in a window, when another window is saved as b.cds
    // (under any name of it), then nothing is written, a message names the
    // file and the saving window keeps its changes.
    writeNewFile(path("a.cds"));
    writeNewFile(path("b.cds"));
    QVERIFY(QFile::link(path("b.cds"), path("link-to-b.cds")));
    DocumentWindow *a = open(path("a.cds"));
    open(path("b.cds"));
    DocumentWindow *untitled = open("NoName1");
    a->editor()->moveCursor(QTextCursor::End);
    typeInto(a, " only in a");
    QFile b(path("b.cds"));
    QVERIFY(b.open(QIODevice::ReadOnly));
    const QByteArray before = b.readAll();
    b.close();

    const QStringList names{path("b.cds"), path("link-to-b.cds"), m_fixture->folder() + "/./b.cds"};
    for (const QString &name : names) {
        m_prompts->clear();
        m_prompts->answerFile(name);
        m_prompts->answerMessage(PromptService::Ok);
        QVERIFY(!a->doTableCommand(DocumentWindow::TableCommand::SaveAs));
        QCOMPARE(m_prompts->messages(),
                 QStringList{name + "\nThis file is open in another window.\n"
                                    "Close that window or choose another name."});
        QCOMPARE(m_prompts->asked.last().caption, kErrorCaption);
    }
    m_prompts->answerFile(path("b.cds"));
    m_prompts->answerMessage(PromptService::Ok);
    QVERIFY(!untitled->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), before);
    QCOMPARE(a->cdsCommon().state(), State::Edit);
    QVERIFY(a->editor()->toPlainText().endsWith(" only in a"));
}

void tst_DocumentWindow::fileChangedOnDiskIsOverwrittenOnlyWhenConfirmed()
{
    // Given a window whose file another program replaced, when it is saved,
    // then the user is asked first: No writes nothing, Yes overwrites. The
    // window's own saves, and a file deleted meanwhile, ask nothing.
    const QString file = path("x.cds");
    writeNewFile(file);
    DocumentWindow *window = open(file);
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " mine");
    {
        NotesTable other;
        other.createNewContent();
        other.cdsCommon().edit();
        other.cdsCommon().setFieldValue(kFieldDescription, QByteArray("from another program"));
        other.cdsCommon().post();
        other.cdsCommon().saveToFile(file, dataset::ClientDataSet::FileFormat::Binary);
    }
    const QString question = file + "\nThis file was changed by another program.\n"
                                    "Do you want to overwrite it with this window's items?";
    m_prompts->answerMessage(PromptService::No);
    QVERIFY(!window->doTableCommand(DocumentWindow::TableCommand::Save));
    QCOMPARE(m_prompts->messages(), QStringList{question});
    QCOMPARE(m_prompts->asked.last().buttons, PromptService::Yes | PromptService::No);
    QCOMPARE(loadedFirstDescription(file), QStringLiteral("from another program"));
    QVERIFY(window->editor()->toPlainText().endsWith(" mine"));

    m_prompts->clear();
    m_prompts->answerMessage(PromptService::Yes);
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    QCOMPARE(m_prompts->messages(), QStringList{question});
    QVERIFY(loadedFirstDescription(file).contains(" mine"));

    m_prompts->clear();
    typeInto(window, " again");
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(QFile::remove(file));
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(m_prompts->messages().isEmpty());
    QVERIFY(loadedFirstDescription(file).contains(" again"));
}

void tst_DocumentWindow::unreadableFileLeavesInertWindow()
{
    QFile bad(path("bad.cds"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("this is no notes file");
    bad.close();
    m_prompts->answerMessage(PromptService::Ok);
    DocumentWindow *window = open(path("bad.cds"));
    QCOMPARE(m_prompts->messages(), QStringList{kCannotReadWriteFile});
    QCOMPARE(m_prompts->asked.first().icon, PromptService::Icon::Error);
    QCOMPARE(m_prompts->asked.first().buttons, PromptService::Buttons(PromptService::Ok));
    QVERIFY(!window->cdsCommon().isActive());
    QVERIFY(!window->closeRequested());

    QVERIFY(!window->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(!window->doTableCommand(DocumentWindow::TableCommand::UndoAllChanges));
    for (int panel = 0; panel < StatusBar::kPanelCount; ++panel)
        QCOMPARE(window->statusText(panel), QString());
    m_prompts->clear();
    QVERIFY(closeWindow(window));
    QCOMPARE(m_prompts->asked.size(), 0);
}

void tst_DocumentWindow::typingEditsAndPostStoresRtf()
{
    DocumentWindow *window = open("NoName1");
    QCOMPARE(window->cdsCommon().state(), State::Browse);
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " Typed words");
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QVERIFY(!window->editor()->isReadOnly());
    QCOMPARE(window->statusText(1), QStringLiteral("State: Edit"));
    QVERIFY(window->editor()->toPlainText().endsWith("Typed words"));

    window->cdsCommon().post();
    QCOMPARE(window->cdsCommon().state(), State::Browse);
    QCOMPARE(window->statusText(1), QStringLiteral("State: Browse"));
    QVERIFY(window->editor()->isReadOnly());
    const QString stored = descriptionText(window);
    QVERIFY(stored.startsWith("{\\rtf"));
    QVERIFY(stored.contains("Typed words"));
    QCOMPARE(window->cdsCommon().changeCount(), 2);
}

void tst_DocumentWindow::escapeKeepsTypedText()
{
    DocumentWindow *window = open("NoName1");
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, "abc");
    QTest::keyClick(window->editor(), Qt::Key_Escape);
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QVERIFY(window->editor()->toPlainText().endsWith("abc"));
}

void tst_DocumentWindow::keysThatChangeTextStartEditing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("edits");
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << true;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << true;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << true;
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier) << true;
    QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << true;
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << false;
    QTest::newRow("Right") << int(Qt::Key_Right) << int(Qt::NoModifier) << false;
    QTest::newRow("Home") << int(Qt::Key_Home) << int(Qt::NoModifier) << false;
}

void tst_DocumentWindow::keysThatChangeTextStartEditing()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, edits);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    DocumentWindow *window = open("NoName1");
    window->editor()->setFocus();
    window->editor()->setSelection(0, 4); // "This"
    QTest::keyClick(window->editor(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window->cdsCommon().state(), edits ? State::Edit : State::Browse);
    // Browsing keys leave the document as it was.
    if (!edits)
        QVERIFY(window->editor()->toPlainText().startsWith("This is a description"));
    else
        QVERIFY(!window->editor()->toPlainText().startsWith("This is a description"));
}

void tst_DocumentWindow::headerButtonCollapsesTreePane()
{
    DocumentWindow *window = open("NoName1");
    window->splitter()->setSizes({200, 700});
    auto *close = window->findChild<QToolButton *>("btnTreeViewHeader");
    QVERIFY(close);
    close->click();
    QCOMPARE(window->splitter()->sizes().value(0), 0);
    auto *restore = window->findChild<QToolButton *>("SplitterMainButton");
    QVERIFY(restore);
    restore->click();
    QCOMPARE(window->splitter()->sizes().value(0), 200);
}

void tst_DocumentWindow::undoLastAndAllChanges()
{
    DocumentWindow *window = open("NoName1");
    m_prompts->answerFile(path("u.cds"));
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " one");
    window->cdsCommon().post();
    typeInto(window, " two");
    window->cdsCommon().post();
    QCOMPARE(window->cdsCommon().changeCount(), 2);

    // Through the Folders menu's commands, after the idle update enabled them.
    window->itemCommands()->aclRecordUpdate();
    window->action("actRecordUndoLastChange")->trigger();
    QCOMPARE(window->cdsCommon().changeCount(), 1);
    QVERIFY(window->editor()->toPlainText().endsWith(" one"));
    QVERIFY(!descriptionText(window).contains(" two"));

    window->itemCommands()->aclRecordUpdate();
    window->action("actRecordUndoAllChanges")->trigger();
    QCOMPARE(window->cdsCommon().changeCount(), 0);
    QVERIFY(window->editor()->toPlainText().endsWith("for your first item."));
}

void tst_DocumentWindow::autoSaveFollowsSettings()
{
    writeOption(settings::Key::ChildAutoSave_Checked, "True");
    writeOption(settings::Key::ChildAutoSaveMinutes_Text, "abc");
    DocumentWindow *untitled = open("NoName1");
    m_prompts->answerFile(path("auto.cds"));
    QVERIFY(untitled->doTableCommand(DocumentWindow::TableCommand::Save));
    delete untitled;
    DocumentWindow *window = open(path("auto.cds"));
    QVERIFY(test::autoSaveTimer(window).isActive());
    QCOMPARE(test::autoSaveTimer(window).interval(), 5 * 60000);

    writeOption(settings::Key::ChildAutoSaveMinutes_Text, "15");
    m_frame->loadAndApplyOptions();
    QCOMPARE(test::autoSaveTimer(window).interval(), 15 * 60000);

    // Each tick saves, whether or not anything changed.
    typeInto(window, "ticked ");
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    test::autoSaveTimer(window).setInterval(10);
    QTRY_VERIFY(loadedFirstDescription(path("auto.cds")).contains("ticked"));

    writeOption(settings::Key::ChildAutoSave_Checked, "False");
    m_frame->loadAndApplyOptions();
    QVERIFY(!test::autoSaveTimer(window).isActive());
}

void tst_DocumentWindow::failedAutoSaveReportsOnceAndKeepsChanges()
{
    // Given automatic save on and a file made read-only, when a tick fails,
    // then the error says the automatic save is paused, no further tick
    // comes (not even after the options are applied again), the window keeps
    // its changes, and a save that succeeds starts the ticks again.
    writeOption(settings::Key::ChildAutoSave_Checked, "True");
    writeNewFile(path("ro.cds"));
    QVERIFY(QFile::setPermissions(path("ro.cds"), QFile::ReadOwner | QFile::ReadGroup));
    DocumentWindow *window = open(path("ro.cds"));
    QVERIFY(test::autoSaveTimer(window).isActive());
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " kept by the window");

    // The tick is guarded: its error goes to the installed handler.
    QStringList errors;
    {
        ExceptionHandlerScope scope(
            [&errors](std::exception_ptr error) { errors.append(exceptionText(error)); });
        QMetaObject::invokeMethod(&test::autoSaveTimer(window), "timeout", Qt::DirectConnection);
    }
    QCOMPARE(errors.size(), 1);
    const QString reported = errors.value(0);
    QCOMPARE(reported, QStringLiteral("Cannot write the file %1: Permission denied.\n"
                                      "Automatic save of this file is paused until it is saved.")
                           .arg(path("ro.cds")));
    QVERIFY(!test::autoSaveTimer(window).isActive());
    m_frame->loadAndApplyOptions();
    QVERIFY(!test::autoSaveTimer(window).isActive());
    QVERIFY(window->cdsCommon().changeCount() > 0);

    QVERIFY(QFile::setPermissions(path("ro.cds"), QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(test::autoSaveTimer(window).isActive());
    QVERIFY(loadedFirstDescription(path("ro.cds")).contains("kept by the window"));
}

void tst_DocumentWindow::statusBarTexts()
{
    DocumentWindow *window = open("NoName1");
    QCOMPARE(window->statusText(0), QStringLiteral("Items: 1"));
    QCOMPARE(window->statusText(1), QStringLiteral("State: Browse"));
    QCOMPARE(window->statusText(2), QString());
    window->editor()->moveCursor(QTextCursor::Start);
    QCOMPARE(window->statusText(3), QStringLiteral("Line:   1  Col:   1"));
    window->editor()->moveCursor(QTextCursor::Right);
    window->editor()->moveCursor(QTextCursor::Right);
    QCOMPARE(window->statusText(3), QStringLiteral("Line:   1  Col:   3"));

    dataset::ClientDataSet &table = window->cdsCommon();
    {
        dataset::ControlsDisabler disabled(table);
        for (int i = 1; i < 1234; ++i) {
            table.append();
            table.setFieldValue(kFieldParent, -1);
            table.setFieldValue(kFieldName, QStringLiteral("Item %1").arg(i));
            table.post();
        }
    }
    QCOMPARE(window->statusText(0), QStringLiteral("Items: 1234"));

    table.setKey();
    QCOMPARE(window->statusText(1), QStringLiteral("State: ..."));
    table.cancel();
    QCOMPARE(window->statusText(1), QStringLiteral("State: Browse"));
}

void tst_DocumentWindow::optionsApplyToEditorAndBars()
{
    DocumentWindow *window = open("NoName1");
    QVERIFY(window->editor()->wordWrap());
    QVERIFY(window->editor()->wantTabs());
    writeOption(settings::Key::RichEditWordWrap_Checked, "False");
    writeOption(settings::Key::RichEditUseTabCharacter_Checked, "False");
    // An installed font (one that is not is replaced by the desktop's, see
    // tst_FormatCommands::newTextUsesAnInstalledFont).
    writeOption(settings::Key::RichEditFontName_FontName, "Liberation Serif");
    writeOption(settings::Key::RichEditFontSize_Text, "abc");
    writeOption(settings::Key::RichEditFontBold_Checked, "True");
    writeOption(settings::Key::CommonDisplayFlatToolBars_Checked, "False");
    writeOption(settings::Key::ViewBar_ChildRuler_Checked, "False");
    m_frame->loadAndApplyOptions();

    QVERIFY(!window->editor()->wordWrap());
    QVERIFY(!window->editor()->wantTabs());
    QCOMPARE(window->editor()->defaultFont().family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(window->editor()->defaultFont().pointSize(), 8);
    QVERIFY(window->editor()->defaultFont().bold());
    const auto buttons = window->bars()->Bar_ChildEdit->findChildren<QToolButton *>();
    QVERIFY(!buttons.isEmpty());
    for (const QToolButton *button : buttons)
        QVERIFY(!button->autoRaise());
    QVERIFY(!window->ruler()->isVisible());
    QVERIFY(!window->action("actViewBar_ChildRuler")->isChecked());
}

void tst_DocumentWindow::applyingOptionsKeepsTypedText()
{
    // Given text typed but not posted, when the options are applied (another
    // window opens), then the text stays in the editor and in the item.
    DocumentWindow *window = open("NoName1");
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " unposted");
    open("NoName2");
    QVERIFY(window->editor()->toPlainText().endsWith(" unposted"));
    // The tree's rebuild may have posted the edit; either way the item has it.
    window->cdsCommon().checkBrowseMode();
    QVERIFY(descriptionText(window).contains("unposted"));
}

void tst_DocumentWindow::treeRebuildKeepsTypedText()
{
    // Given text typed in the editor, when the tree is rebuilt (Refresh),
    // then the walk of the table posts the text instead of dropping it.
    DocumentWindow *window = open("NoName1");
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " kept");
    window->itemCommands()->aclRecordExecute(ItemCommands::Refresh);
    QVERIFY(window->editor()->toPlainText().endsWith(" kept"));
    window->cdsCommon().checkBrowseMode();
    QVERIFY(descriptionText(window).contains(" kept"));
}

void tst_DocumentWindow::recordChangeReplacesProtectedText()
{
    // Given an item whose document is protected text, when another item
    // becomes current, then its document replaces the protected one.
    DocumentWindow *window = open("NoName1");
    dataset::ClientDataSet &table = window->cdsCommon();
    table.edit();
    table.setBytes(kFieldDescription, "{\\rtf1\\ansi {\\protect Locked text}\\par}");
    table.post();
    table.append();
    table.setFieldValue(kFieldParent, -1);
    table.setFieldValue(kFieldName, QStringLiteral("Second"));
    table.setBytes(kFieldDescription, "Second item text");
    table.post();
    QVERIFY(table.locate(kFieldId, 0));
    QVERIFY(window->editor()->toPlainText().startsWith("Locked text"));
    QVERIFY(!window->isMoving());
    QVERIFY(table.locate(kFieldId, 1));
    QCOMPARE(window->editor()->toPlainText(), QStringLiteral("Second item text"));
    QVERIFY(!window->isMoving());
}

void tst_DocumentWindow::undoCaptionsFollowEditor()
{
    DocumentWindow *window = open("NoName1");
    QAction *undo = window->action("actEditUndo");
    QCOMPARE(undo->text(), QStringLiteral("&Undo "));
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, "two words");
    QCOMPARE(undo->text(), QStringLiteral("&Undo typing"));
    while (window->editor()->canUndo())
        undo->trigger();
    QCOMPARE(undo->text(), QStringLiteral("&Undo "));
    QCOMPARE(window->action("actEditRedo")->text(), QStringLiteral("&Redo typing"));
}

void tst_DocumentWindow::clipboardCommandsStartEditing()
{
    DocumentWindow *window = open("NoName1");
    window->editor()->setSelection(0, 0);
    window->aclEditUpdate();
    QVERIFY(!window->action("actEditCut")->isEnabled());
    QVERIFY(!window->action("actEditDelete")->isEnabled());
    QVERIFY(window->action("actEditSelectAll")->isEnabled());

    window->editor()->setSelection(0, 5); // "This "
    window->aclEditUpdate();              // as the idle update does before a click
    window->action("actEditCut")->trigger();
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("This "));
    QVERIFY(window->editor()->toPlainText().startsWith("is a description"));
    window->aclEditUpdate();
    window->action("actEditPaste")->trigger();
    QVERIFY(window->editor()->toPlainText().startsWith("This is a description"));
    window->cdsCommon().post();

    // Delete in browse state edits the item first, too.
    window->editor()->setSelection(0, 5);
    window->aclEditUpdate();
    window->action("actEditDelete")->trigger();
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QVERIFY(window->editor()->toPlainText().startsWith("is a description"));
}

void tst_DocumentWindow::viewCommandHidesOwnBarOnly()
{
    DocumentWindow *first = open("NoName1");
    DocumentWindow *second = open("NoName2");
    QVERIFY(first->bars()->Bar_ChildFormat1->isVisible());
    QAction *view = first->action("actViewBar_ChildFormat1");
    QVERIFY(view->isChecked());
    view->trigger();
    QVERIFY(!first->bars()->Bar_ChildFormat1->isVisible());
    QVERIFY(second->bars()->Bar_ChildFormat1->isVisible());
    QCOMPARE(m_frame->optionText(settings::Key::ViewBar_ChildFormat1_Checked),
             QStringLiteral("False"));

    // The next window shown applies the settings to every window.
    open("NoName3");
    QVERIFY(!second->bars()->Bar_ChildFormat1->isVisible());
    QVERIFY(!second->action("actViewBar_ChildFormat1")->isChecked());

    // The view pop-up names the record bar in its own words.
    QMenu *pmView = first->bars()->pmView;
    QCOMPARE(pmView->actions().first()->text(), QStringLiteral("&Folderbar bar"));
    pmView->actions().first()->trigger();
    QVERIFY(!first->bars()->Bar_ChildRecord1->isVisible());
    QVERIFY(!first->action("actViewBar_ChildRecord1")->isChecked());
    QCOMPARE(m_frame->optionText(settings::Key::ViewBar_ChildRecord1_Checked),
             QStringLiteral("False"));

    first->action("actViewBar_ChildStatus")->trigger();
    QVERIFY(!first->statusBar()->isVisible());
    QCOMPARE(m_frame->optionText(settings::Key::ViewBar_ChildStatus_Checked),
             QStringLiteral("False"));
}

void tst_DocumentWindow::dropAsksAboutPendingChanges_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("typedKeptInRecord");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("Yes posts, then loads") << int(PromptService::Yes) << true << true;
    QTest::newRow("No cancels, then loads") << int(PromptService::No) << false << true;
    QTest::newRow("Cancel leaves all") << int(PromptService::Cancel) << false << false;
}

void tst_DocumentWindow::dropAsksAboutPendingChanges()
{
    QFETCH(int, answer);
    QFETCH(bool, typedKeptInRecord);
    QFETCH(bool, loaded);
    QFile dropped(path("dropped.txt"));
    QVERIFY(dropped.open(QIODevice::WriteOnly));
    dropped.write("Dropped file text");
    dropped.close();

    DocumentWindow *window = open("NoName1");
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " pending");
    m_prompts->answerMessage(answer);
    m_frame->filesDropped({path("dropped.txt"), path("ignored.txt")});
    QCOMPARE(m_prompts->messages(), QStringList{saveQuestion(kFirstItemName)});

    QCOMPARE(window->editor()->toPlainText() == QLatin1String("Dropped file text"), loaded);
    // The loaded document waits for a post.
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    if (!loaded)
        QVERIFY(window->editor()->toPlainText().endsWith(" pending"));
    // Cancelling the pending edit shows what the item holds.
    window->cdsCommon().cancel();
    QCOMPARE(descriptionText(window).contains("pending"), typedKeptInRecord);
    QVERIFY(!descriptionText(window).contains("Dropped file text"));
    QCOMPARE(window->editor()->toPlainText().contains("pending"), typedKeptInRecord);
}

void tst_DocumentWindow::dropOntoEditorReachesFrame()
{
    QFile dropped(path("note.txt"));
    QVERIFY(dropped.open(QIODevice::WriteOnly));
    dropped.write("From a drop");
    dropped.close();
    DocumentWindow *window = open("NoName1");
    QVERIFY(window->editor()->acceptDrops());
    emit window->editor()->filesDropped({path("note.txt")});
    QCOMPARE(m_prompts->asked.size(), 0); // browse state: nothing to ask
    QCOMPARE(window->editor()->toPlainText(), QStringLiteral("From a drop"));
    QCOMPARE(window->cdsCommon().state(), State::Edit);
}

void tst_DocumentWindow::splitterPositionSharedThroughSection()
{
    DocumentWindow *first = open("NoName1");
    first->splitter()->setSizes({150, 750});
    m_prompts->answerMessage(PromptService::No);
    QVERIFY(closeWindow(first));
    const QString child = settings::Registry::subKey(m_fixture->registryRoot(), "Child");
    QCOMPARE(
        m_fixture->registry().read(child, settings::valueName(settings::Key::SplitterMain_Left)),
        std::optional<QString>("150"));
    DocumentWindow *second = open("NoName2");
    QCOMPARE(second->splitter()->sizes().value(0), 150);
}

void tst_DocumentWindow::failedSaveWhileClosingKeepsWindowOpen()
{
    // Given typed text in a file's window whose file a folder has replaced,
    // when closing is answered Yes and the save fails, then the error is
    // reported, the window stays open and keeps the text and its changes.
    const QString file = path("a.cds");
    writeNewFile(file);
    QPointer<DocumentWindow> window = open(file);
    window->editor()->moveCursor(QTextCursor::End);
    typeInto(window, " kept words");
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir().mkpath(file));
    m_prompts->clear();
    m_prompts->answerMessage(PromptService::Yes);
    QStringList errors;
    {
        ExceptionHandlerScope scope(
            [&errors](std::exception_ptr error) { errors.append(exceptionText(error)); });
        QVERIFY(!closeWindow(window));
    }
    QVERIFY(window && window->isVisible());
    QCOMPARE(m_prompts->messages(), QStringList{saveQuestion(file)});
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith("Cannot write the file " + file),
             qPrintable(errors.first()));
    QVERIFY(window->cdsCommon().changeCount() > 0);
    QVERIFY(window->editor()->toPlainText().endsWith(" kept words"));
    // The next close asks again; No lets it go.
    m_prompts->answerMessage(PromptService::No);
    QVERIFY(closeWindow(window));
}

void tst_DocumentWindow::unknownCommandNameFailsLoudly()
{
    // Given a window, when a command is asked for by a name the catalogue
    // does not have, then that fails instead of making a dead command.
    DocumentWindow *window = open("NoName1");
    const qsizetype before = window->findChildren<QAction *>().size();
    QVERIFY_THROWS_EXCEPTION(std::logic_error, window->action("actEditUndoo"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, window->action("actFileCDSNew")); // the frame's
    QCOMPARE(window->findChildren<QAction *>().size(), before);
    QVERIFY(window->action("actEditUndo"));
}

void tst_DocumentWindow::treeViewKeyWorksAnywhereInWindow()
{
    // Given a window with its commands set up, when Shift+Ctrl+E is pressed
    // in the editor or the tree, then Tree View toggles although no menu
    // item shows it, and Del and Enter in the editor still edit the text.
    DocumentWindow *window = open("NoName1");
    bw::setupChildActions(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QAction *treeView = window->action("actViewTreeView");
    QVERIFY(treeView->isChecked());
    QCOMPARE(treeView->shortcut(), QKeySequence("Shift+Ctrl+E"));
    RichEdit *editor = window->editor();
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_E, Qt::ShiftModifier | Qt::ControlModifier);
    QVERIFY(!treeView->isChecked());
    FolderTreeView *tree = window->itemCommands()->dbTreeView();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_E, Qt::ShiftModifier | Qt::ControlModifier);
    QVERIFY(treeView->isChecked());

    editor->setFocus();
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(editor->toPlainText(), QStringLiteral("\n"));
    QCOMPARE(window->cdsCommon().recordCount(), 1);
    QCOMPARE(window->cdsCommon().state(), State::Edit);
}

namespace {

// The texts of a menu's items as a user sees them: hidden items left out,
// "-" for a separator.
QStringList shownItems(const QMenu *menu)
{
    QStringList items;
    for (const QAction *item : menu->actions())
        if (item->isVisible())
            items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return items;
}

} // namespace

void tst_DocumentWindow::popupsComeFromCommandCatalogue()
{
    // Given a window, then its view and tree popups show the catalogue's
    // items: the view popup hides Record bar2 and Tree View, the tree popup
    // shows Edit as Rename, and both follow their commands.
    DocumentWindow *window = open("NoName1");
    const QMenu *pmView = window->bars()->pmView;
    QCOMPARE(pmView->objectName(), QStringLiteral("pmView"));
    QCOMPARE(shownItems(pmView), QStringList({"&Folderbar bar", "&Edit bar", "For&mat bar1",
                                              "Form&at bar2", "St&atus bar", "&Ruler"}));
    const QMenu *pmTreeView = window->itemCommands()->treeMenu();
    QCOMPARE(pmTreeView->objectName(), QStringLiteral("pmTreeView"));
    QCOMPARE(shownItems(pmTreeView),
             QStringList({"&Insert", "Insert &Child", "-", "&Move Up", "&Delete", "&Rename"}));
    QAction *edit = window->action("actRecordEdit");
    QAction *rename = pmTreeView->actions().last();
    edit->setEnabled(false);
    QVERIFY(!rename->isEnabled());
    edit->setEnabled(true);
    QSignalSpy editRuns(edit, &QAction::triggered);
    rename->trigger();
    QCOMPARE(editRuns.size(), 1);
    QCOMPARE(shownItems(window->bars()->pmFont), QStringList{"&Font..."});
}

void tst_DocumentWindow::editorPopupShowsWindowCommands()
{
    // Given a window whose editor is read-only, when its popup is asked for,
    // then it holds the window's own edit commands with their enabling; with
    // text selected, Delete from the popup puts the item into edit state.
    DocumentWindow *window = open("NoName1");
    QVERIFY(QTest::qWaitForWindowActive(window));
    RichEdit *editor = window->editor();
    QVERIFY(editor->isReadOnly());
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5),
                              editor->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(editor->viewport(), &request);
    QMenu *popup = window->editorCommands()->popupMenu();
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(popup->objectName(), QStringLiteral("pmRichEdit"));
    const QList<QAction *> items = popup->actions();
    const QStringList commands{"actEditUndo",   "actEditRedo",     "",
                               "actEditCut",    "actEditCopy",     "actEditPaste",
                               "actEditDelete", "actEditSelectAll"};
    QCOMPARE(items.size(), commands.size());
    for (int i = 0; i < items.size(); ++i) {
        if (commands[i].isEmpty())
            QVERIFY(items[i]->isSeparator());
        else
            QCOMPARE(items[i], window->action(commands[i]));
    }
    QVERIFY(!items.at(6)->isEnabled()); // nothing selected
    QVERIFY(items.at(7)->isEnabled());
    popup->close();

    editor->selectAll();
    QApplication::sendEvent(editor->viewport(), &request);
    QTRY_VERIFY(popup->isVisible());
    QAction *del = popup->actions().at(6);
    QVERIFY(del->isEnabled());
    popup->close();
    del->trigger();
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QVERIFY(editor->toPlainText().isEmpty());
}

QTEST_MAIN(tst_DocumentWindow)
#include "tst_document_window.moc"
