// The frame's windows as a user meets them under a window manager: exact
// captions, the name a window takes when it is saved under one, the frame coming back from the tray
// or a drop in the state it had, the Options dialog's help mode, where new and stored windows are
// placed, placements that come back to the same pixel, the keys that switch
// document windows, the icon of a window that opens minimised, a new
// window beside maximised ones, the colours and icons of a dark desktop, and
// the one error box that a failing command of the frame or of a document
// window shows.

#include "app/mru_file_list.h"
#include "document/document_bars.h"
#include "document/document_window.h"
#include "editor/rich_edit.h"
#include "main_window_fixture.h"
#include "notes/notes_table.h"
#include "options/help_popup.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QWhatsThis>

#include <optional>
#include <stdexcept>

using namespace bw;
using notes::DocumentWindow;

class tst_FrameWindows : public QObject, private test::MainWindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void captionsAreExact();
    void savedUntitledWindowShowsItsFile_data();
    void savedUntitledWindowShowsItsFile();
    void restoredInTheStateItHad_data();
    void restoredInTheStateItHad();
    void helpModeEndsAfterOnePopup();
    void optionsCentredThenWhereLeft();
    void documentWindowComesBackToTheSamePixel();
    void frameComesBackToTheSamePixel();
    void storedPlacementOutsideIsMovedIntoView();
    void newWindowShowsItsBarsInsideTheFrame_data();
    void newWindowShowsItsBarsInsideTheFrame();
    void switchKeys_data();
    void switchKeys();
    void switchGivesBackTheFocus();
    void minimisedNewWindowInIconRow();
    void newWindowBesideMaximisedOnes_data();
    void newWindowBesideMaximisedOnes();
    void colorsFollowTheDesktopPalette_data();
    void colorsFollowTheDesktopPalette();
    void commandErrorsReachOneHandler_data();
    void commandErrorsReachOneHandler();

private:
    void run(const char *command);
    DocumentWindow *newFile();
    static QMdiSubWindow *sub(const DocumentWindow *window);
    DocumentWindow *active() const;
    void closeAllWithoutSaving();
    void rebuildFrame();
    // Opens the Options dialog through its command; seen gets its geometry
    // while it shows; move, when set, is where the user drags it.
    void openOptions(QRect *seen, std::optional<QPoint> move = std::nullopt);
    void writeChildPlacement(const QString &normPos, const QString &showCmd);
    // Opens a document window as File > New, File > Open or File > Reopen does.
    DocumentWindow *openBy(const QString &how);
};

void tst_FrameWindows::init()
{
    buildMainWindow(nullptr);
    if (QTest::currentTestFailed())
        return;
    m_options->writeImmediate(settings::Key::CommonDisplayExitConfirm_Checked, "False");
    m_main->setGeometry(20, 20, 760, 540);
    showMainWindow();
    if (QTest::currentTestFailed())
        return;
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    m_prompts->clear();
}

void tst_FrameWindows::cleanup()
{
    // Windows left open close without their questions.
    if (m_main)
        for (QMdiSubWindow *window : m_main->mdiArea()->subWindowList())
            delete window;
    destroyMainWindow();
}

void tst_FrameWindows::run(const char *command)
{
    m_main->updateCommands();
    QAction *action = m_main->findCommand(QString::fromLatin1(command));
    QVERIFY2(action, command);
    action->trigger();
}

DocumentWindow *tst_FrameWindows::newFile()
{
    run("actFileCDSNew");
    return active();
}

QMdiSubWindow *tst_FrameWindows::sub(const DocumentWindow *window)
{
    return window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr;
}

DocumentWindow *tst_FrameWindows::active() const
{
    return qobject_cast<DocumentWindow *>(m_main->activeDocumentWindow());
}

void tst_FrameWindows::closeAllWithoutSaving()
{
    for (int i = 0; i < m_main->documentWindowList().size(); ++i)
        m_prompts->answerMessage(PromptService::No);
    run("actWindowCloseAll");
    QVERIFY(m_main->documentWindowList().isEmpty());
}

// A new frame on the same settings, as at the next start of the program.
void tst_FrameWindows::rebuildFrame()
{
    m_main.reset();
    m_main = std::make_unique<MainWindow>(*m_dataModule, *m_prompts);
    m_main->setOptionsDialog(m_options.get());
    showMainWindow();
}

void tst_FrameWindows::openOptions(QRect *seen, std::optional<QPoint> move)
{
    m_prompts->answerDialog([seen, move](QDialog *dialog) {
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog))
            return int(QDialog::Rejected);
        *seen = dialog->geometry();
        if (move) {
            dialog->move(*move); // the user drags the window's frame
            *seen = dialog->geometry();
        }
        dialog->reject();
        return int(QDialog::Rejected);
    });
    run("actToolsOptions");
}

void tst_FrameWindows::writeChildPlacement(const QString &normPos, const QString &showCmd)
{
    const QString key = QString::fromLatin1(kRoot) + QStringLiteral("\\Child");
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QString size =
        QStringLiteral("(%1x%2)").arg(screen->geometry().width()).arg(screen->geometry().height());
    m_registry->write(key, QStringLiteral("FormVersion"), QStringLiteral("4040"));
    m_registry->write(key, QStringLiteral("PixelsPerInch"),
                      QString::number(qRound(screen->logicalDotsPerInch())));
    m_registry->write(key, QStringLiteral("NormPos"), normPos);
    m_registry->write(key, QStringLiteral("NormPos") + size, normPos);
    m_registry->write(key, QStringLiteral("ShowCmd"), showCmd);
}

DocumentWindow *tst_FrameWindows::openBy(const QString &how)
{
    if (how == QLatin1String("new"))
        return newFile();
    const QString path = m_dir->filePath(how + QStringLiteral(".cds"));
    if (how == QLatin1String("open")) {
        notes::NotesTable table;
        table.createNewContent();
        table.cdsCommon().saveToFile(path, dataset::ClientDataSet::FileFormat::Binary);
        m_prompts->answerFile(path);
        run("actFileCDSOpen");
    } else {
        m_main->mruFileList()->add(path);
        const QList<QAction *> items = m_main->mruFileList()->reopenMenu()->actions();
        const auto item = std::find_if(items.cbegin(), items.cend(),
                                       [&](const QAction *a) { return a->data() == path; });
        if (item == items.cend())
            return nullptr;
        (*item)->trigger();
    }
    return active();
}

// Qt appends the application's display name to every caption it is given:
// the program sets none, so each caption is the program's own text.
void tst_FrameWindows::captionsAreExact()
{
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    QCOMPARE(m_main->windowTitle(), QStringLiteral("Bramblewick 2000"));
    DocumentWindow *window = newFile();
    sub(window)->showMaximized();
    QCOMPARE(m_main->windowTitle(), QStringLiteral("Bramblewick 2000 - [NoName1]"));
    QCOMPARE(m_options->windowTitle(), QStringLiteral("Options"));
    QString tipCaption;
    m_prompts->answerDialog([&](QDialog *dialog) {
        tipCaption = dialog->windowTitle();
        return int(QDialog::Rejected);
    });
    run("actHelpTipsOfTheDay");
    QCOMPARE(tipCaption, QStringLiteral("Tip of the Day"));
    m_prompts->answerMessage(PromptService::No);
    run("actFileCDSClose");
    QCOMPARE(m_prompts->asked.last().caption, QStringLiteral("Confirm"));
}

void tst_FrameWindows::savedUntitledWindowShowsItsFile_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("name");
    QTest::newRow("Save As, binary") << "actFileCDSSaveAs" << QString::fromUtf8("Zürich.cds");
    QTest::newRow("Save, XML") << "actFileCDSSave" << QStringLiteral("notes.xml");
}

void tst_FrameWindows::savedUntitledWindowShowsItsFile()
{
    // Given the untitled window NoName1, when it is saved through the save
    // dialog, then the frame shows it by the file's path as an opened file
    // (caption, maximised frame caption, Window menu), finds it by that path,
    // lists the path first among the recent files and hands out NoName1 again.
    QFETCH(QString, command);
    QFETCH(QString, name);
    const QString path = m_dir->filePath(name);
    DocumentWindow *window = newFile();
    QVERIFY(window);
    sub(window)->showMaximized();
    m_prompts->answerFile(path);
    run(command.toLatin1().constData());
    QVERIFY(QFile::exists(path));
    QCOMPARE(window->windowTitle(), path);
    QCOMPARE(sub(window)->windowTitle(), path);
    QCOMPARE(m_main->windowTitle(), QStringLiteral("Bramblewick 2000 - [%1]").arg(path));
    QCOMPARE(m_main->findDocumentWindow(path), window);
    QVERIFY(!m_main->findDocumentWindow(QStringLiteral("NoName1")));
    QCOMPARE(m_main->mruFileList()->items().value(0), path);
    QMenu *windowMenu = m_main->findChild<QMenu *>(QStringLiteral("miWindow"));
    QVERIFY(windowMenu);
    emit windowMenu->aboutToShow();
    QStringList items;
    for (QAction *item : windowMenu->actions())
        items << item->text();
    QVERIFY2(items.contains(QStringLiteral("&1 %1").arg(path)), qPrintable(items.join(", ")));

    // Open File on that path brings this window to the front.
    DocumentWindow *other = newFile();
    QCOMPARE(other->windowTitle(), QStringLiteral("NoName1"));
    m_prompts->answerFile(path);
    run("actFileCDSOpen");
    QCOMPARE(active(), window);
    QCOMPARE(m_main->documentWindowList().size(), 2);
}

void tst_FrameWindows::restoredInTheStateItHad_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<bool>("inTray"); // minimised to the tray: hidden
    QTest::newRow("tray Show, maximised") << "tray" << true << true;
    QTest::newRow("tray Show, normal") << "tray" << false << true;
    QTest::newRow("tray Show from the taskbar") << "tray" << true << false;
    QTest::newRow("drop, maximised") << "drop" << true << false;
    QTest::newRow("drop, normal") << "drop" << false << false;
}

void tst_FrameWindows::restoredInTheStateItHad()
{
    QFETCH(QString, how);
    QFETCH(bool, maximized);
    QFETCH(bool, inTray);
    m_main->showNormal();
    QTRY_VERIFY(!m_main->isMaximized());
    const QRect normal = m_main->geometry();
    if (maximized)
        m_main->showMaximized();
    QTRY_COMPARE(m_main->isMaximized(), maximized);
    m_main->showMinimized();
    QTRY_VERIFY(m_main->isMinimized());
    if (inTray)
        m_main->hide();
    if (how == QLatin1String("tray"))
        run("actTrayIconShow");
    else
        m_main->filesDropped({m_dir->filePath("dropped.txt")});
    QTRY_VERIFY(m_main->isVisible());
    QTRY_VERIFY(!m_main->isMinimized());
    QCOMPARE(m_main->isMaximized(), maximized);
    if (!maximized)
        QCOMPARE(m_main->geometry(), normal);
}

// Given help mode from Shift+F1 and one popup, when the user clicks on, then
// the next input closes the popup and the one after works the control again.
void tst_FrameWindows::helpModeEndsAfterOnePopup()
{
    HelpPopup popup(QStringLiteral("Bramblewick 2000"));
    m_options->setHelpPopup(&popup);
    m_main->setHelpPopup(&popup);
    const auto release = qScopeGuard([&] {
        m_main->setHelpPopup(nullptr);
        m_options->setHelpPopup(nullptr);
        popup.release();
        m_options->hide();
    });
    m_options->show();
    m_options->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_options.get()));
    auto *check = m_options->findChild<QCheckBox *>(QStringLiteral("DisplayTipOfTheDayAtStartup"));
    QVERIFY(check && check->isVisible());
    const bool before = check->isChecked();

    QTest::keyClick(m_options.get(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(popup.isVisible());
    QVERIFY(popup.helpText().startsWith(QStringLiteral("Check this option")));
    QVERIFY(!QWhatsThis::inWhatsThisMode());
    QCOMPARE(check->isChecked(), before);

    QTest::mouseClick(check, Qt::LeftButton); // closes the popup
    QVERIFY(!popup.isVisible());
    QCOMPARE(check->isChecked(), before);
    QTest::mouseClick(check, Qt::LeftButton); // works the check box
    QCOMPARE(check->isChecked(), !before);
    QVERIFY(!popup.isVisible());
    auto *cancel = m_options->findChild<QPushButton *>(QStringLiteral("btnCancel"));
    QVERIFY(cancel);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(!m_options->isVisible());
    QVERIFY(!popup.isVisible());
}

// The first time the dialog opens over the frame's middle; moved by the user,
// it comes back exactly there at every later opening.
void tst_FrameWindows::optionsCentredThenWhereLeft()
{
    QRect seen;
    openOptions(&seen);
    QVERIFY(!seen.isNull());
    QVERIFY2((seen.center() - m_main->geometry().center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(seen.x()).arg(seen.y())));
    QRect left;
    openOptions(&left, QPoint(37, 45));
    for (int round = 0; round < 3; ++round) {
        QRect again;
        openOptions(&again);
        QCOMPARE(again, left);
    }
}

// Given a window the user placed and closed, when new windows open and close
// three times, then each comes back to the same pixel.
void tst_FrameWindows::documentWindowComesBackToTheSamePixel()
{
    const QRect placed(23, 17, 610, 430);
    DocumentWindow *window = newFile();
    sub(window)->setGeometry(placed);
    closeAllWithoutSaving();
    for (int round = 0; round < 3; ++round) {
        window = newFile();
        QVERIFY(window);
        QCOMPARE(sub(window)->geometry(), placed);
        QVERIFY(window->placementRestored());
        closeAllWithoutSaving();
    }
}

void tst_FrameWindows::frameComesBackToTheSamePixel()
{
    m_main->move(61, 43); // the user drags the frame
    QTRY_COMPARE(m_main->pos(), QPoint(61, 43));
    const QRect placed = m_main->geometry();
    for (int round = 0; round < 3; ++round) {
        QVERIFY(m_main->close());
        rebuildFrame();
        QCOMPARE(m_main->geometry(), placed);
        QVERIFY(!m_main->isMaximized());
    }
}

void tst_FrameWindows::storedPlacementOutsideIsMovedIntoView()
{
    // A document window stored far beyond the frame's right and bottom edges.
    writeChildPlacement(QStringLiteral("3000,2500,3400,2800"), QStringLiteral("1"));
    DocumentWindow *window = newFile();
    const QRect area = m_main->mdiArea()->viewport()->rect();
    QCOMPARE(sub(window)->size(), QSize(400, 300));
    QVERIFY(area.contains(sub(window)->geometry()));
    // A window half inside stays where it was put.
    closeAllWithoutSaving();
    const QRect half(area.width() - 200, 10, 300, 200);
    writeChildPlacement(QStringLiteral("%1,10,%2,210").arg(half.left()).arg(half.right() + 1),
                        QStringLiteral("1"));
    window = newFile();
    QCOMPARE(sub(window)->geometry(), half);

    // The Options dialog stored beyond the screen.
    const QString options = QString::fromLatin1(kRoot) + QStringLiteral("\\Options");
    QRect seen;
    openOptions(&seen, QPoint(40, 40));
    m_registry->write(options, QStringLiteral("NormPos"), QStringLiteral("9000,9000,9600,9470"));
    const QScreen *screen = QGuiApplication::primaryScreen();
    m_registry->write(options,
                      QStringLiteral("NormPos(%1x%2)")
                          .arg(screen->geometry().width())
                          .arg(screen->geometry().height()),
                      QStringLiteral("9000,9000,9600,9470"));
    openOptions(&seen);
    const QRect shown = seen.intersected(screen->availableGeometry());
    QVERIFY2(2 * shown.width() * shown.height() >= seen.width() * seen.height(),
             qPrintable(QStringLiteral("%1,%2").arg(seen.x()).arg(seen.y())));
}

void tst_FrameWindows::newWindowShowsItsBarsInsideTheFrame_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::newRow("1280 x 1024") << QSize(1280, 1024);
    QTest::newRow("small frame") << QSize(640, 480);
}

// With no stored placement, a new window is wide enough for every bar (no
// overflow button) where the frame allows it, and lies inside the frame.
void tst_FrameWindows::newWindowShowsItsBarsInsideTheFrame()
{
    QFETCH(QSize, frame);
    m_main->setGeometry(QRect(QPoint(0, 0), frame));
    QTRY_COMPARE(m_main->size(), frame);
    DocumentWindow *window = newFile();
    QVERIFY(!window->placementRestored());
    const QRect area = m_main->mdiArea()->viewport()->rect();
    QVERIFY2(area.contains(sub(window)->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                    .arg(sub(window)->x())
                                                                    .arg(sub(window)->y())
                                                                    .arg(sub(window)->width())
                                                                    .arg(sub(window)->height())));
    QVERIFY(sub(window)->width() >= area.width() * 2 / 3);
    if (frame.width() < 1280)
        return;
    for (const QToolBar *bar : window->findChildren<QToolBar *>()) {
        if (!bar->isVisible())
            continue;
        const auto *overflow =
            bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
        QVERIFY2(overflow && !overflow->isVisible(), qPrintable(bar->objectName()));
    }
}

void tst_FrameWindows::switchKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("tree") << "tree";
    QTest::newRow("editor") << "editor";
    QTest::newRow("font box") << "font box";
    QTest::newRow("after Cascade") << "cascade";
    QTest::newRow("frame") << "frame";
}

// Ctrl+Tab and Ctrl+F6 go to the next window, Ctrl+Shift+Tab and
// Ctrl+Shift+F6 to the previous one, wherever the focus is in the frame.
void tst_FrameWindows::switchKeys()
{
    QFETCH(QString, focus);
    DocumentWindow *a = newFile();
    DocumentWindow *b = newFile();
    DocumentWindow *c = newFile();
    QCOMPARE(active(), c);
    if (focus == QLatin1String("tree"))
        c->treePane()->focusProxy()->setFocus();
    else if (focus == QLatin1String("editor"))
        c->editor()->setFocus();
    else if (focus == QLatin1String("font box"))
        c->bars()->btnFormatFontName->setFocus();
    else if (focus == QLatin1String("cascade"))
        run("actWindowCascade");
    else
        m_main->setFocus();
    const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : m_main.get(), key, modifiers);
    };
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(active(), a);
    press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(active(), b);
    press(Qt::Key_Backtab, ctrlShift);
    QCOMPARE(active(), a);
    press(Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(active(), b);
    press(Qt::Key_F6, ctrlShift);
    QCOMPARE(active(), a);
    press(Qt::Key_F6, ctrlShift);
    QCOMPARE(active(), c);
}

void tst_FrameWindows::switchGivesBackTheFocus()
{
    DocumentWindow *a = newFile();
    a->editor()->setFocus();
    DocumentWindow *b = newFile();
    QWidget *bTree = b->treePane()->focusProxy();
    bTree->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(active(), a);
    QCOMPARE(QApplication::focusWidget(), a->editor());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(active(), b);
    QCOMPARE(QApplication::focusWidget(), bTree);
}

// After Minimize All and Close All the next windows open minimised, each in
// the next place of the icon row at the frame's bottom-left.
void tst_FrameWindows::minimisedNewWindowInIconRow()
{
    newFile();
    run("actWindowMinimizeAll");
    closeAllWithoutSaving();
    const QRect area = m_main->mdiArea()->viewport()->rect();
    QMdiSubWindow *first = sub(newFile());
    QVERIFY(first && first->isMinimized());
    QCOMPARE(first->geometry().bottom(), area.bottom());
    QCOMPARE(first->x(), area.left());
    QMdiSubWindow *second = sub(newFile());
    QVERIFY(second && second->isMinimized());
    QCOMPARE(second->geometry().bottom(), area.bottom());
    QCOMPARE(second->x(), first->geometry().right() + 1);
}

void tst_FrameWindows::newWindowBesideMaximisedOnes_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("storedShowCmd"); // of the window closed last; empty: none
    for (const char *how : {"new", "open", "reopen"}) {
        QTest::addRow("%s", how) << how << QString();
        QTest::addRow("%s, a normal window stored", how) << how << QStringLiteral("1");
    }
    QTest::addRow("new, a maximised window stored") << "new" << QStringLiteral("3");
}

// Given two windows, one maximised, when a file is opened by New, Open or
// Reopen, then its window opens maximised and active in the caption, fills
// the frame, and the others stay in the frame and come up maximised too.
void tst_FrameWindows::newWindowBesideMaximisedOnes()
{
    QFETCH(QString, how);
    QFETCH(QString, storedShowCmd);
    const QRect stored(30, 20, 430, 300);
    if (!storedShowCmd.isEmpty())
        writeChildPlacement(QStringLiteral("30,20,460,320"), storedShowCmd);
    DocumentWindow *first = newFile();
    DocumentWindow *second = newFile();
    sub(second)->showMaximized();
    QVERIFY(sub(second)->isMaximized());

    DocumentWindow *opened = openBy(how);
    QVERIFY(opened && opened != first && opened != second);
    QMdiArea *area = m_main->mdiArea();
    const QRect full = area->viewport()->rect();
    QCOMPARE(area->activeSubWindow(), sub(opened));
    QVERIFY(sub(opened)->isMaximized());
    QCOMPARE(sub(opened)->geometry(), full);
    QCOMPARE(m_main->windowTitle(),
             QStringLiteral("Bramblewick 2000 - [%1]").arg(opened->windowTitle()));
    QCOMPARE(area->subWindowList().size(), 3);
    for (DocumentWindow *other : {first, second})
        QVERIFY(area->subWindowList().contains(sub(other)) && !sub(other)->isHidden());

    // Ctrl+Tab reaches the others, maximised in their turn.
    for (DocumentWindow *next : {first, second}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(active(), next);
        QVERIFY(sub(next)->isMaximized());
        QCOMPARE(sub(next)->geometry(), full);
    }
    // Restored, the new window takes the place it would have had.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(active(), opened);
    sub(opened)->showNormal();
    QVERIFY(!sub(opened)->isMaximized());
    QVERIFY(sub(opened)->geometry() != full);
    if (storedShowCmd == QLatin1String("1"))
        QCOMPARE(sub(opened)->geometry(), stored);
}

void tst_FrameWindows::colorsFollowTheDesktopPalette_data()
{
    QTest::addColumn<QString>("stored"); // the stored font colours; empty: the defaults
    QTest::addColumn<bool>("follows");
    QTest::newRow("defaults") << QString() << true;
    QTest::newRow("window text") << QStringLiteral("-2147483640") << true;
    QTest::newRow("black chosen") << QStringLiteral("0") << false;
    QTest::newRow("red chosen") << QStringLiteral("255") << false;
}

// Given the desktop turning dark and light again, then the default tree and
// editor colours and the frame's background follow it, colours the user chose
// stay, and the toolbar icons come from the theme drawn for that background.
void tst_FrameWindows::colorsFollowTheDesktopPalette()
{
    QFETCH(QString, stored);
    QFETCH(bool, follows);
    if (!stored.isEmpty()) {
        m_options->writeImmediate(settings::Key::TreeViewFontColor_Color, stored);
        m_options->writeImmediate(settings::Key::RichEditFontColor_Color, stored);
    }
    DocumentWindow *window = newFile();
    QWidget *tree = window->treePane()->focusProxy();
    QWidget *editor = window->editor();
    QVERIFY(tree && editor);
    const QColor chosen =
        stored.isEmpty() ? QColor() : QColor::fromRgb(stored.toInt() & 0xFF, 0, 0);
    const auto lightnessOf = [](const QIcon &icon) {
        const QImage image = icon.pixmap(16, 16).toImage();
        int sum = 0;
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QColor c = image.pixelColor(x, y); c.alpha() > 128) {
                    sum += c.lightness();
                    ++count;
                }
        return count ? sum / count : -1;
    };
    const QAction *newFileCommand = m_main->findCommand(QStringLiteral("actFileCDSNew"));
    const int lightIcon = lightnessOf(newFileCommand->icon());

    const QPalette original = QGuiApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(original); });
    const QColor text(0xfc, 0xfc, 0xfc);
    const QColor base(0x1b, 0x1e, 0x20);
    const QColor face(0x31, 0x36, 0x3b);
    QPalette dark(text, face, face.lighter(), face.darker(), face, text, Qt::white, base,
                  QColor(0x2a, 0x2e, 0x32));
    dark.setColor(QPalette::ToolTipBase, QColor(0x31, 0x36, 0x3b));
    dark.setColor(QPalette::ToolTipText, text);
    QApplication::setPalette(dark);
    for (int round = 0; round < 2; ++round) {
        QCoreApplication::processEvents(); // the windows' palette changes are posted
        const QPalette now = QGuiApplication::palette();
        for (QWidget *w : {tree, editor}) {
            QCOMPARE(w->palette().color(QPalette::Text),
                     follows ? now.color(QPalette::Text) : chosen);
            QCOMPARE(w->palette().color(QPalette::Inactive, QPalette::Text),
                     w->palette().color(QPalette::Active, QPalette::Text));
            QCOMPARE(w->palette().color(QPalette::Base), now.color(QPalette::Base));
        }
        QCOMPARE(m_main->mdiArea()->background().color(), now.color(QPalette::Button));
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase),
                 now.color(QPalette::ToolTipBase));
        QCOMPARE(QIcon::themeName(), QLatin1String(round == 0 ? "breeze-dark" : "breeze"));
        if (round == 0)
            QVERIFY2(lightnessOf(newFileCommand->icon()) > lightIcon + 64,
                     qPrintable(QStringLiteral("%1 / %2")
                                    .arg(lightnessOf(newFileCommand->icon()))
                                    .arg(lightIcon)));
        else
            QCOMPARE(lightnessOf(newFileCommand->icon()), lightIcon);
        QApplication::setPalette(original);
    }
}

void tst_FrameWindows::commandErrorsReachOneHandler_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("ofDocument");
    QTest::newRow("frame command") << "actFileCDSOpen" << false;
}

// Given a file dialog that fails, when a command of the frame or of a document
// window asks it, then the one error box shows the same text (read as UTF-8)
// and the document stays open.
void tst_FrameWindows::commandErrorsReachOneHandler()
{
    QFETCH(QString, command);
    QFETCH(bool, ofDocument);
    DocumentWindow *window = newFile();
    QVERIFY(window);
    // The document's search commands work on the editor that has the focus.
    window->editor()->setFocus();
    QTRY_VERIFY(window->editor()->hasFocus());
    m_prompts->clear();
    const auto strict = m_prompts->reportViolation;
    const auto restore = qScopeGuard([&] { m_prompts->reportViolation = strict; });
    m_prompts->reportViolation = [](const QString &) {
        throw std::runtime_error("Datei \xc3\xa4 fehlt");
    };
    m_prompts->answerMessage(PromptService::Ok);
    m_main->updateCommands();
    QAction *action = ofDocument ? window->action(command) : m_main->findCommand(command);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(m_prompts->messages(), QStringList{QString::fromUtf8("Datei \xc3\xa4 fehlt.")});
    QCOMPARE(m_prompts->asked.last().caption, QStringLiteral("Bramblewick 2000"));
    QCOMPARE(m_prompts->asked.last().icon, PromptService::Icon::Error);
    QCOMPARE(m_main->documentWindowList().size(), 1);
    QVERIFY(window->cdsCommon().isActive());
}

QTEST_MAIN(tst_FrameWindows)
#include "tst_frame_windows.moc"
