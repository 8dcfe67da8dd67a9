// The main window, headless: untitled numbers, opening a file twice, closing
// in order, the window arrangements, menu merging, the close query with the
// exit confirmation, the status-bar hint, the view commands, the help popup's
// input rule and an exception in a command.

#include "app/exit_msg_dialog.h"
#include "app/main_window.h"
#include "app/message_hook.h"
#include "app/mru_file_list.h"
#include "app/window_arranger.h"
#include "commands/command_menus.h"
#include "document/delete_msg_dialog.h"
#include "document/document_window.h"
#include "document/item_commands.h"
#include "editor/rich_edit.h"
#include "main_window_fixture.h"
#include "notes/notes_table.h"
#include "options/help_popup.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <stdexcept>

using namespace bw;

namespace {

// A document window as small as the frame's contract allows: its caption is
// its file name, it frees its untitled number when it closes, and it may
// refuse to close as a window with unsaved changes whose user cancels.
class TestDocument : public QWidget
{
public:
    TestDocument(notes::FrameServices &frame, const QString &name) : m_frame(frame)
    {
        setWindowTitle(name);
    }
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (refuseClose) {
            event->ignore();
            return;
        }
        closedOrder().append(windowTitle());
        bool ok = false;
        const int number = windowTitle().mid(6).toInt(&ok);
        if (windowTitle().startsWith("NoName") && ok && number <= 255)
            m_frame.releaseUntitledNumber(number);
        event->accept();
    }

public:
    static QStringList &closedOrder()
    {
        static QStringList order;
        return order;
    }

private:
    notes::FrameServices &m_frame;
};

class TestFactory : public DocumentWindowFactory
{
public:
    QWidget *createDocumentWindow(notes::FrameServices &frame, const QString &name) override
    {
        if (!failure.isEmpty())
            throw std::runtime_error(failure.toStdString());
        auto *window = new TestDocument(frame, name);
        frame.createChildCommands(window);
        return window;
    }
    bool closeQuery(QWidget *window) override
    {
        return !static_cast<TestDocument *>(window)->refuseClose;
    }
    void loadDroppedFile(QWidget *window, const QString &path) override
    {
        dropped << window->windowTitle() + " <- " + path;
    }
    QString failure;
    QStringList dropped;
};

QStringList menuTitles(const QMenuBar *bar)
{
    QStringList titles;
    for (const QAction *action : bar->actions())
        titles << action->text();
    return titles;
}

} // namespace

class tst_MainWindow : public QObject, private test::MainWindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void untitledNumbers();
    void allUntitledNumbersTaken();
    void openSamePathTwice();
    void commandLineFile();
    void fileOpensOnceUnderAnyName();
    void closeAllInActivationOrder();
    void commandStatesFollowTheWindows();
    void sharedShortcutClosesOnce();
    void arrangementGeometry_data();
    void arrangementGeometry();
    void arrangementCommands();
    void menuMerging();
    void exitConfirmation_data();
    void exitConfirmation();
    void dontShowExitQuestionAgain();
    void closeQueryBeforeExit_data();
    void closeQueryBeforeExit();
    void failedSaveWhileClosingKeepsProgramOpen();
    void statusBarHint_data();
    void statusBarHint();
    void statusPanelWidth();
    void viewCommandsWriteAtOnce();
    void helpPopupInputRule();
    void exceptionInCommandIsReported();
    void dropWithoutDocumentWindow();
    void notesDocumentWindow();
    void sharedDeleteConfirmation();
    void minimiseWithoutTray();

private:
    QList<QMdiSubWindow *> subWindows() const;
    QStringList captions() const;
    QWidget *newFile();

    TestFactory *m_factory = nullptr;
};

void tst_MainWindow::init()
{
    auto factory = std::make_unique<TestFactory>();
    m_factory = factory.get();
    // No tip of the day at start, so tests begin with an empty question log.
    buildMainWindow(std::move(factory));
    if (QTest::currentTestFailed())
        return;
    showMainWindow();
    if (QTest::currentTestFailed())
        return;
    QCoreApplication::processEvents(); // the first-show handling
    m_prompts->clear();
    TestDocument::closedOrder().clear();
}

void tst_MainWindow::cleanup()
{
    m_options->writeImmediate(settings::Key::CommonDisplayExitConfirm_Checked, "False");
    destroyMainWindow();
}

QList<QMdiSubWindow *> tst_MainWindow::subWindows() const
{
    return m_main->mdiArea()->subWindowList(QMdiArea::CreationOrder);
}

QStringList tst_MainWindow::captions() const
{
    QStringList out;
    for (const QMdiSubWindow *sub : subWindows())
        out << sub->widget()->windowTitle();
    return out;
}

QWidget *tst_MainWindow::newFile()
{
    m_main->action("actFileCDSNew")->trigger();
    return m_main->activeDocumentWindow();
}

void tst_MainWindow::untitledNumbers()
{
    newFile();
    newFile();
    newFile();
    QCOMPARE(captions(), (QStringList{"NoName1", "NoName2", "NoName3"}));
    QCOMPARE(m_main->pendingFileName(), QStringLiteral("NoName3"));
    m_main->findDocumentWindow("NoName2")->parentWidget()->close();
    QVERIFY(!m_main->documents().untitledNumberTaken(2));
    newFile();
    QCOMPARE(captions(), (QStringList{"NoName1", "NoName3", "NoName2"}));
    QVERIFY(!m_main->documents().untitledNumberTaken(0)); // 0 is never handed out
}

void tst_MainWindow::allUntitledNumbersTaken()
{
    for (int n = 1; n <= 255; ++n)
        QCOMPARE(m_main->documents().takeUntitledNumber(), n);
    newFile();
    QCOMPARE(captions(), QStringList{"NoName1"});
    QCOMPARE(m_main->documents().untitledNumbersTaken(), 255);
}

void tst_MainWindow::openSamePathTwice()
{
    const QString path = m_dir->path() + "/Plans.cds";
    const QString otherCase = m_dir->path() + "/plans.cds";
    for (const QString &file : {path, otherCase}) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    m_prompts->answerFile(path);
    m_main->action("actFileCDSOpen")->trigger();
    QCOMPARE(m_prompts->asked.last().file.filter,
             QStringLiteral("Client DataSet (*.cds)|*.cds|All Files (*.*)|*.*"));
    QCOMPARE(m_prompts->asked.last().file.filterIndex, 1);
    QCOMPARE(m_prompts->asked.last().file.fileName, QString());
    newFile();
    QCOMPARE(m_main->activeDocumentWindow()->windowTitle(), QStringLiteral("NoName1"));
    // The same path again: the first window comes to the front.
    m_prompts->answerFile(path);
    m_main->action("actFileCDSOpen")->trigger();
    QCOMPARE(captions(), (QStringList{path, "NoName1"}));
    QCOMPARE(m_main->activeDocumentWindow()->windowTitle(), path);
    // The same file spelled in another case is another caption.
    m_prompts->answerFile(otherCase);
    m_main->action("actFileCDSOpen")->trigger();
    QCOMPARE(captions(), (QStringList{path, "NoName1", otherCase}));
    // The recent-files list itself ignores letter case.
    QCOMPARE(m_main->mruFileList()->items(), QStringList{otherCase});
    // Cancelling the dialog opens nothing.
    m_prompts->cancelFile();
    m_main->action("actFileCDSOpen")->trigger();
    QCOMPARE(subWindows().size(), 3);
}

void tst_MainWindow::commandLineFile()
{
    const QString path = m_dir->path() + "/Start.cds";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    for (const QStringList &arguments :
         {QStringList{path, "ignored"}, QStringList{m_dir->path() + "/missing.cds"}}) {
        auto factory = std::make_unique<TestFactory>();
        MainWindow frame(*m_dataModule, *m_prompts, std::move(factory), arguments);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QTRY_COMPARE(frame.documentWindowList().size(), arguments.size() == 2 ? 1 : 0);
        if (arguments.size() == 2)
            QCOMPARE(frame.activeDocumentWindow()->windowTitle(), path);
        QVERIFY(frame.mruFileList()->items().isEmpty()); // not a recent file
    }
}

void tst_MainWindow::fileOpensOnceUnderAnyName()
{
    // Given a file opened from the command line by a relative name, when it
    // is opened again by its absolute name or through a link, then its one
    // window comes to the front: two windows would overwrite each other.
    const QString path = m_dir->path() + "/Start.cds";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(QFile::link(path, m_dir->path() + "/link.cds"));
    const QString start = QDir::currentPath();
    const auto restore = qScopeGuard([&start] { QDir::setCurrent(start); });
    QVERIFY(QDir::setCurrent(m_dir->path()));
    MainWindow frame(*m_dataModule, *m_prompts, std::make_unique<TestFactory>(),
                     QStringList{"Start.cds"});
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_COMPARE(frame.documentWindowList().size(), 1);
    QDir::setCurrent(start);
    QCOMPARE(frame.activeDocumentWindow()->windowTitle(), path);
    for (const QString &name : {path, m_dir->path() + "/link.cds"}) {
        m_prompts->answerFile(name);
        frame.action("actFileCDSOpen")->trigger();
        QCOMPARE(frame.documentWindowList().size(), 1);
    }
}

void tst_MainWindow::closeAllInActivationOrder()
{
    QWidget *first = newFile();
    newFile();
    QWidget *third = newFile();
    m_main->bringToFront(first); // order of use now: 2, 3, 1
    static_cast<TestDocument *>(third)->refuseClose = true;
    m_main->action("actFileCDSCloseAll")->trigger();
    QCOMPARE(TestDocument::closedOrder(), (QStringList{"NoName2", "NoName1"}));
    QCOMPARE(captions(), QStringList{"NoName3"});
    static_cast<TestDocument *>(third)->refuseClose = false;
    m_main->action("actWindowClose")->trigger();
    QVERIFY(subWindows().isEmpty());
}

void tst_MainWindow::commandStatesFollowTheWindows()
{
    const QStringList withActive{
        "actFileCDSClose",       "actFileCDSCloseAll",    "actWindowClose",
        "actWindowCloseAll",     "actWindowCascade",      "actWindowTileHorizontal",
        "actWindowTileVertical", "actWindowArrangeIcons", "actWindowMinimizeAll"};
    m_main->updateCommands();
    for (const QString &name : withActive)
        QVERIFY2(!m_main->action(name)->isEnabled(), qPrintable(name));
    QVERIFY(m_main->action("actToolsOptions")->isEnabled());
    QVERIFY(m_main->action("actToolsSearch")->isEnabled());
    newFile();
    m_main->updateCommands();
    for (const QString &name : withActive)
        QVERIFY2(m_main->action(name)->isEnabled(), qPrintable(name));
    // The event loop's idle time runs the update handlers by itself.
    m_main->action("actFileCDSClose")->trigger();
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    QVERIFY(!m_main->action("actFileCDSClose")->isEnabled());
}

void tst_MainWindow::sharedShortcutClosesOnce()
{
    // Ctrl+F4 belongs to Close File and Window Close alike: one key press
    // closes exactly the active window.
    newFile();
    QWidget *second = newFile();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    second->setFocus();
    m_main->updateCommands();
    QTest::keyClick(second, Qt::Key_F4, Qt::ControlModifier);
    QTRY_COMPARE(captions(), QStringList{"NoName1"});
    QCOMPARE(TestDocument::closedOrder(), QStringList{"NoName2"});
}

void tst_MainWindow::arrangementGeometry_data()
{
    QTest::addColumn<bool>("stacked");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QList<QRect>>("expected");
    QTest::newRow("stacked thirds")
        << true << QRect(0, 0, 300, 100)
        << QList<QRect>{QRect(0, 0, 300, 33), QRect(0, 33, 300, 33), QRect(0, 66, 300, 34)};
    QTest::newRow("side by side halves")
        << false << QRect(10, 20, 201, 50)
        << QList<QRect>{QRect(10, 20, 100, 50), QRect(110, 20, 101, 50)};
    QTest::newRow("one window fills the area")
        << true << QRect(0, 0, 640, 480) << QList<QRect>{QRect(0, 0, 640, 480)};
    QTest::newRow("no window") << false << QRect(0, 0, 640, 480) << QList<QRect>{};
}

void tst_MainWindow::arrangementGeometry()
{
    QFETCH(bool, stacked);
    QFETCH(QRect, area);
    QFETCH(QList<QRect>, expected);
    const QList<QRect> rects = stacked ? stackedRects(area, int(expected.size()))
                                       : sideBySideRects(area, int(expected.size()));
    QCOMPARE(rects, expected);
    // Icons fill rows from the bottom-left corner upward.
    QCOMPARE(
        iconRects(QRect(0, 0, 250, 300), QSize(100, 20), 3),
        (QList<QRect>{QRect(0, 280, 100, 20), QRect(100, 280, 100, 20), QRect(0, 260, 100, 20)}));
}

void tst_MainWindow::arrangementCommands()
{
    newFile();
    newFile();
    newFile(); // NoName3 is active and is placed first
    const QRect area = m_main->mdiArea()->viewport()->rect();
    auto geometries = [this] {
        QList<QRect> out;
        for (const char *name : {"NoName3", "NoName2", "NoName1"})
            out << m_main->findDocumentWindow(name)->parentWidget()->geometry();
        return out;
    };
    m_main->action("actWindowTileHorizontal")->trigger();
    QCOMPARE(geometries(), stackedRects(area, 3));
    m_main->action("actWindowTileVertical")->trigger();
    QCOMPARE(geometries(), sideBySideRects(area, 3));
    m_main->action("actWindowCascade")->trigger();
    const QList<QRect> cascaded = geometries();
    QVERIFY(cascaded[0].topLeft() != cascaded[1].topLeft());
    // Minimize All, then Arrange Icons lines them up along the bottom.
    m_main->action("actWindowMinimizeAll")->trigger();
    for (QMdiSubWindow *sub : subWindows())
        QVERIFY(sub->isMinimized());
    QCOMPARE(m_main->mdiArea()->currentSubWindow()->widget()->windowTitle(),
             QStringLiteral("NoName3"));
    m_main->action("actWindowArrangeIcons")->trigger();
    const QSize icon = subWindows().first()->size();
    const QList<QRect> icons = iconRects(area, icon, 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(subWindows()[i]->geometry().topLeft(), icons[i].topLeft());
}

void tst_MainWindow::menuMerging()
{
    const QStringList frame{"&File", "&Tools", "&View", "&Window", "&Help"};
    QCOMPARE(menuTitles(m_main->menuBar()), frame);
    const QString path = m_dir->path() + "/Recent.cds";
    m_main->mruFileList()->add(path);
    QVERIFY(m_main->mruFileList()->reopenMenu());
    QCOMPARE(m_main->mruFileList()->reopenMenu()->menuAction()->statusTip(),
             QStringLiteral("Reopens a file from the most recently used file list."));
    QWidget *document = newFile();
    QCOMPARE(menuTitles(m_main->menuBar()),
             (QStringList{"&File", "&Folders", "&Edit", "&Insert", "&Search", "For&mat", "&Tools",
                          "&View", "&Window", "&Help"}));
    // The File menu is the document window's: no Reopen in it.
    QMenu *file = m_main->menuBar()->actions().first()->menu();
    QCOMPARE(file->parent(), document);
    QVERIFY(!file->actions().contains(m_main->mruFileList()->reopenMenu()->menuAction()));
    QVERIFY(m_main->menuBar()->actions()[6]->menu()->parent() == m_main.get());
    // The document window's commands are set up once it is open.
    QCOMPARE(findCommands(CommandScope::Child, document).value("actRecordInsert")->shortcut(),
             QKeySequence("Alt+Ins"));
    document->parentWidget()->close();
    QTRY_COMPARE(menuTitles(m_main->menuBar()), frame);
    QVERIFY(m_main->menuBar()->actions().first()->menu()->actions().contains(
        m_main->mruFileList()->reopenMenu()->menuAction()));
}

void tst_MainWindow::exitConfirmation_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("yes") << int(ExitMessageDialog::ResultYes) << true;
    QTest::newRow("no") << int(ExitMessageDialog::ResultNo) << false;
    QTest::newRow("window closed otherwise") << int(QDialog::Rejected) << true;
}

void tst_MainWindow::exitConfirmation()
{
    QFETCH(int, answer);
    QFETCH(bool, closes);
    m_options->writeImmediate(settings::Key::CommonDisplayExitConfirm_Checked, "True");
    newFile();
    m_prompts->answerDialog([answer](QDialog *) { return answer; });
    m_main->action("actFileExit")->trigger();
    QCOMPARE(m_prompts->count("exec"), 1);
    QCOMPARE(m_prompts->asked.last().caption, QStringLiteral("Confirm"));
    QCOMPARE(m_main->isVisible(), !closes);
    // The document windows close only once the exit is confirmed.
    QCOMPARE(TestDocument::closedOrder(), closes ? QStringList{"NoName1"} : QStringList{});
    QCOMPARE(captions(), closes ? QStringList{} : QStringList{"NoName1"});
}

void tst_MainWindow::dontShowExitQuestionAgain()
{
    m_options->writeImmediate(settings::Key::CommonDisplayExitConfirm_Checked, "True");
    QWidget *document = newFile();
    static_cast<TestDocument *>(document)->refuseClose = true;
    // A document window that will not close keeps the program running unasked.
    QVERIFY(!m_main->close());
    QCOMPARE(m_prompts->count("exec"), 0);
    static_cast<TestDocument *>(document)->refuseClose = false;
    m_prompts->answerDialog([](QDialog *dialog) {
        dialog->findChild<QCheckBox *>()->setChecked(true);
        return int(ExitMessageDialog::ResultNo);
    });
    QVERIFY(!m_main->close());
    QVERIFY(m_main->isVisible());
    QVERIFY(!m_options->isChecked(settings::Key::CommonDisplayExitConfirm_Checked));
    QCOMPARE(m_registry->read(QString(kRoot) + "\\Options", "CommonDisplayExitConfirm_Checked", {}),
             QStringLiteral("False"));
    QVERIFY(m_main->close()); // no question this time
    QCOMPARE(m_prompts->count("exec"), 1);
}

void tst_MainWindow::closeQueryBeforeExit_data()
{
    QTest::addColumn<QList<int>>("saveAnswers"); // one per window, oldest first
    QTest::addColumn<int>("exitAnswer");         // -1: the exit question never comes
    QTest::addColumn<bool>("closes");
    const int no = PromptService::No;
    QTest::newRow("don't save, exit no")
        << QList<int>{no} << int(ExitMessageDialog::ResultNo) << false;
    QTest::newRow("cancel in the second window")
        << QList<int>{no, int(PromptService::Cancel)} << -1 << false;
    QTest::newRow("don't save, exit yes")
        << QList<int>{no, no} << int(ExitMessageDialog::ResultYes) << true;
    QTest::newRow("save, exit yes")
        << QList<int>{int(PromptService::Yes)} << int(ExitMessageDialog::ResultYes) << true;
}

void tst_MainWindow::closeQueryBeforeExit()
{
    // Given unsaved document windows, when the program closes, then each
    // window asks about its changes first, then the exit question comes, and
    // only when both agree do the windows close, asking nothing again.
    QFETCH(QList<int>, saveAnswers);
    QFETCH(int, exitAnswer);
    QFETCH(bool, closes);
    m_options->writeImmediate(settings::Key::CommonDisplayExitConfirm_Checked, "True");
    MainWindow frame(*m_dataModule, *m_prompts);
    frame.setOptionsDialog(m_options.get());
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QStringList questions;
    for (int n = 1; n <= saveAnswers.size(); ++n) {
        frame.action("actFileCDSNew")->trigger();
        questions << QString("Do you want to save changes to \"NoName%1\"?").arg(n);
    }
    m_prompts->clear();
    for (int answer : saveAnswers)
        m_prompts->answerMessage(answer);
    const QString path = m_dir->path() + "/Kept.cds";
    if (saveAnswers.first() == PromptService::Yes)
        m_prompts->answerFile(path);
    if (exitAnswer >= 0)
        m_prompts->answerDialog([exitAnswer](QDialog *) { return exitAnswer; });
    QCOMPARE(frame.close(), closes);
    QCOMPARE(m_prompts->messages(), questions);
    QCOMPARE(m_prompts->count("exec"), exitAnswer >= 0 ? 1 : 0);
    QCOMPARE(QFileInfo::exists(path), saveAnswers.first() == PromptService::Yes);
    QCOMPARE(frame.isVisible(), !closes);
    QTRY_COMPARE(frame.documentWindows().size(), closes ? 0 : int(saveAnswers.size()));
    if (closes)
        return;
    // The windows kept their changes, and the answer given for the refused
    // exit holds no more: closing a window asks again.
    notes::DocumentWindow *first = frame.documentWindows().first();
    QVERIFY(first->cdsCommon().changeCount() > 0);
    m_prompts->answerMessage(PromptService::No);
    first->closeWindow();
    QCOMPARE(m_prompts->messages().size(), questions.size() + 1);
    QCOMPARE(m_prompts->messages().last(), questions.first());
}

void tst_MainWindow::failedSaveWhileClosingKeepsProgramOpen()
{
    // Given a notes window with typed text whose file a folder has replaced,
    // when the program closes and its save question is answered Yes, then the
    // failed save shows its error, and the frame and the window stay open
    // with the text and its changes.
    m_options->writeImmediate(settings::Key::CommonDisplayExitConfirm_Checked, "False");
    const QString file = m_dir->path() + "/a.cds";
    {
        notes::NotesTable table;
        table.createNewContent();
        table.cdsCommon().saveToFile(file, dataset::ClientDataSet::FileFormat::Binary);
    }
    MainWindow frame(*m_dataModule, *m_prompts);
    frame.setOptionsDialog(m_options.get());
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.openDocumentWindow(file);
    QCOMPARE(frame.documentWindows().size(), 1);
    notes::DocumentWindow *window = frame.documentWindows().first();
    window->editor()->setFocus();
    window->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->editor(), " kept words");
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir().mkpath(file));
    m_prompts->clear();
    m_prompts->answerMessage(PromptService::Yes);
    m_prompts->answerMessage(PromptService::Ok);
    QVERIFY(!frame.close());
    QVERIFY(frame.isVisible());
    QCOMPARE(frame.documentWindows(), QList<notes::DocumentWindow *>{window});
    const QStringList messages = m_prompts->messages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.first(), QString("Do you want to save changes to \"%1\"?").arg(file));
    QVERIFY2(messages.last().startsWith("Cannot write the file " + file),
             qPrintable(messages.last()));
    QCOMPARE(m_prompts->asked.last().icon, PromptService::Icon::Error);
    QVERIFY(window->cdsCommon().changeCount() > 0);
    QVERIFY(window->editor()->toPlainText().endsWith(" kept words"));
    // Nothing was agreed: the next close asks again, and No closes it.
    m_prompts->answerMessage(PromptService::No);
    QVERIFY(frame.close());
}

void tst_MainWindow::statusBarHint_data()
{
    QTest::addColumn<QString>("toolTips");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tool tips on") << "True"
                                  << "Opens an existing file.";
    QTest::newRow("tool tips off") << "False"
                                   << "";
}

void tst_MainWindow::statusBarHint()
{
    QFETCH(QString, toolTips);
    QFETCH(QString, expected);
    m_options->writeImmediate(settings::Key::CommonDisplayToolTips_Checked, toolTips);
    m_options->applyOptions();
    QWidget *button = m_main->mainBar()->widgetForAction(m_main->action("actFileCDSOpen"));
    QCOMPARE(button->toolTip(), QStringLiteral("Open File"));
    // Pointing at the button sends its status text up to the frame.
    QStatusTipEvent tip(button->statusTip());
    QCoreApplication::sendEvent(button, &tip);
    QCOMPARE(m_main->statusPanel(0)->text(), expected);
    QCOMPARE(m_main->messageHook()->toolTipsEnabled(), toolTips == "True");
}

void tst_MainWindow::statusPanelWidth()
{
    m_main->showNormal();
    m_main->resize(801, 400);
    QTRY_COMPARE(m_main->width(), 801);
    QCOMPARE(m_main->statusPanel(0)->width(), 600);
    QCOMPARE(m_main->statusPanel(1)->width(), 50);
}

void tst_MainWindow::viewCommandsWriteAtOnce()
{
    const QString section = QString(kRoot) + "\\Options";
    m_main->action("actViewBar_MainMain")->trigger();
    QVERIFY(!m_main->action("actViewBar_MainMain")->isChecked());
    QVERIFY(m_main->mainBar()->isHidden());
    QVERIFY(!m_options->isChecked(settings::Key::ViewBar_MainMain_Checked));
    QCOMPARE(m_registry->read(section, "ViewBar_MainMain_Checked", {}), QStringLiteral("False"));
    m_main->action("actViewBar_MainStatus")->trigger();
    QVERIFY(m_main->statusBar()->isHidden());
    QCOMPARE(m_registry->read(section, "ViewBar_MainStatus_Checked", {}), QStringLiteral("False"));
    m_main->action("actViewBar_MainStatus")->trigger();
    QVERIFY(!m_main->statusBar()->isHidden());
    QCOMPARE(m_registry->read(section, "ViewBar_MainStatus_Checked", {}), QStringLiteral("True"));
}

void tst_MainWindow::helpPopupInputRule()
{
    HelpPopup popup("Bramblewick 2000");
    popup.setHelpText("Shows or hides the main bar in main window.", Qt::yellow);
    popup.show();
    struct Target : QWidget
    {
        int inputs = 0;
        void keyPressEvent(QKeyEvent *) override { ++inputs; }
        void mouseReleaseEvent(QMouseEvent *) override { ++inputs; }
    } target;
    m_main->setHelpPopup(&popup);
    m_main->setHelpPopupArmed(false);
    auto send = [&](QEvent::Type type) {
        if (type == QEvent::KeyPress) {
            QKeyEvent key(type, Qt::Key_A, Qt::NoModifier, "a");
            return QCoreApplication::sendEvent(&target, &key);
        }
        QMouseEvent mouse(type, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        return QCoreApplication::sendEvent(&target, &mouse);
    };
    send(QEvent::MouseMove); // plain moves do not count
    QVERIFY(!m_main->helpPopupArmed());
    QVERIFY(popup.isVisible());
    send(QEvent::MouseButtonRelease); // the first input is swallowed
    QVERIFY(m_main->helpPopupArmed());
    QVERIFY(popup.isVisible());
    send(QEvent::KeyPress); // the next one closes the popup
    QVERIFY(!popup.isVisible());
    QCOMPARE(target.inputs, 0);
    // Without the popup input passes unchanged.
    send(QEvent::KeyPress);
    QCOMPARE(target.inputs, 1);
    m_main->setHelpPopup(nullptr);
}

void tst_MainWindow::exceptionInCommandIsReported()
{
    newFile();
    m_factory->failure = "Cannot open the notes file";
    m_prompts->answerMessage(PromptService::Ok);
    m_main->action("actFileCDSNew")->trigger();
    QCOMPARE(m_prompts->messages(), QStringList{"Cannot open the notes file."});
    QCOMPARE(m_prompts->asked.last().caption, QStringLiteral("Bramblewick 2000"));
    QCOMPARE(m_prompts->asked.last().icon, PromptService::Icon::Error);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr); // the hourglass is gone
    // The program goes on with its windows and their data.
    QVERIFY(m_main->isVisible());
    QCOMPARE(captions(), QStringList{"NoName1"});
    m_factory->failure.clear();
    // The number of the window that never came is free again.
    newFile();
    QCOMPARE(captions(), (QStringList{"NoName1", "NoName2"}));
}

void tst_MainWindow::dropWithoutDocumentWindow()
{
    m_main->showMinimized();
    m_main->filesDropped({m_dir->path() + "/a.txt", m_dir->path() + "/b.txt"});
    QVERIFY(!m_main->isMinimized());
    QVERIFY(m_factory->dropped.isEmpty());
    newFile();
    m_main->filesDropped({m_dir->path() + "/a.txt", m_dir->path() + "/b.txt"});
    QCOMPARE(m_factory->dropped, QStringList{"NoName1 <- " + m_dir->path() + "/a.txt"});
}

void tst_MainWindow::notesDocumentWindow()
{
    // The program's own document windows, as start-up makes the frame.
    MainWindow frame(*m_dataModule, *m_prompts);
    frame.setOptionsDialog(m_options.get());
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.action("actFileCDSNew")->trigger();
    QCOMPARE(frame.documentWindows().size(), 1);
    notes::DocumentWindow *child = frame.documentWindows().first();
    QCOMPARE(frame.activeDocumentWindow()->windowTitle(), QStringLiteral("NoName1"));
    QCOMPARE(menuTitles(frame.menuBar()),
             (QStringList{"&File", "&Folders", "&Edit", "&Insert", "&Search", "For&mat", "&Tools",
                          "&View", "&Window", "&Help"}));
    QAction *insert = findCommands(CommandScope::Child, child).value("actRecordInsert");
    QCOMPARE(commandTag(insert), 1);
    QCOMPARE(insert->statusTip(), QStringLiteral("Inserts new item."));
    m_prompts->answerMessage(PromptService::No);
    frame.updateCommands(); // as the idle time before the user's next command does
    frame.action("actFileCDSClose")->trigger();
    QCOMPARE(m_prompts->messages(), QStringList{"Do you want to save changes to \"NoName1\"?"});
    QTRY_VERIFY(frame.documentWindowList().isEmpty());
    QVERIFY(!frame.documents().untitledNumberTaken(1));
    QTRY_COMPARE(menuTitles(frame.menuBar()),
                 (QStringList{"&File", "&Tools", "&View", "&Window", "&Help"}));
}

void tst_MainWindow::sharedDeleteConfirmation()
{
    // Given the frame's one delete confirmation, when an item is deleted in
    // each of two document windows, then both show that dialog and the box
    // ticked in the first is still ticked in the second.
    notes::DeleteMessageDialog shared;
    MainWindow frame(*m_dataModule, *m_prompts);
    frame.setOptionsDialog(m_options.get());
    frame.setDeleteConfirmation(&shared);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.action("actFileCDSNew")->trigger();
    frame.action("actFileCDSNew")->trigger();
    QList<QDialog *> shown;
    QList<bool> tickedWhenShown;
    for (notes::DocumentWindow *window : frame.documentWindows()) {
        frame.writeOption(settings::Key::ChildDisplayDeleteConfirm_Checked, "True");
        m_prompts->answerDialog([&](QDialog *dialog) {
            auto *box = dialog->findChild<QCheckBox *>();
            shown << dialog;
            tickedWhenShown << box->isChecked();
            box->setChecked(true);
            return int(notes::DeleteMessageDialog::ResultNo);
        });
        notes::ItemCommands::of(window)->aclRecordExecute(notes::ItemCommands::Delete);
    }
    QCOMPARE(shown, (QList<QDialog *>{&shared, &shared}));
    QCOMPARE(tickedWhenShown, (QList<bool>{false, true}));
    // The folder trees draw with the data module's tree images.
    QCOMPARE(frame.treeImage(2).cacheKey(), m_dataModule->imlTreeView().icon(2).cacheKey());
    QVERIFY(!frame.treeImage(2).isNull());
}

void tst_MainWindow::minimiseWithoutTray()
{
    // "System Tray" on a desktop without a tray: no icon, and minimising
    // keeps the window reachable on the taskbar.
    m_options->writeImmediate(settings::Key::TaskBarType_ItemIndex, "1");
    m_options->loadOptions();
    m_options->applyOptions();
    QCOMPARE(m_main->trayIcon()->isVisible(), QSystemTrayIcon::isSystemTrayAvailable());
    m_main->showMinimized();
    QTest::qWait(50);
    QCOMPARE(m_main->isHidden(), QSystemTrayIcon::isSystemTrayAvailable());
    m_main->action("actTrayIconShow")->trigger();
    QVERIFY(m_main->isVisible());
    QVERIFY(!m_main->isMinimized());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_main_window.moc"
