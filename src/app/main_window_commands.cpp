// The main window's commands: their handlers, their update handlers, the
// close query, minimising and the tray icon.

#include "app/main_window.h"

#include "app/command_dispatcher.h"
#include "app/data_module.h"
#include "app/exit_msg_dialog.h"
#include "app/help_commands.h"
#include "app/options_access.h"
#include "app/tip_dialog.h"
#include "app/window_arranger.h"
#include "options/options_dialog.h"
#include "options/registry_rxl.h"
#include "platform/guarded_dispatch.h"
#include "search/search_window.h"
#include "settings/encodings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>

namespace bw {

void MainWindow::connectCommands()
{
    m_dispatcher->addUpdateHandler([this] { aclFileUpdate(); });
    m_dispatcher->addUpdateHandler([this] { aclToolsUpdate(); });
    m_dispatcher->addUpdateHandler([this] { aclWindowUpdate(); });
    connectFileCommands();
    connectWindowCommands();
    connectOtherCommands();
}

void MainWindow::connectFileCommands()
{
    auto on = [this](const char *name, CommandDispatcher::Handler handler) {
        m_dispatcher->connectCommand(m_actions.value(QLatin1String(name)), std::move(handler));
    };
    on("actFileCDSNew", [this] { actFileCDSNewExecute(); });
    on("actFileCDSOpen", [this] { actFileCDSOpenExecute(); });
    on("actFileCDSClose", [this] { actFileCDSCloseExecute(); });
    on("actFileCDSCloseAll", [this] { actFileCDSCloseAllExecute(); });
    on("actFilePrintSetup", [this] { actFilePrintSetupExecute(); });
    on("actFileExit", [this] { actFileExitExecute(); });
}

void MainWindow::connectWindowCommands()
{
    auto on = [this](const char *name, CommandDispatcher::Handler handler) {
        m_dispatcher->connectCommand(m_actions.value(QLatin1String(name)), std::move(handler));
    };
    on("actWindowCascade", [this] { m_mdiArea->cascadeSubWindows(); });
    on("actWindowTileHorizontal", [this] { tileStacked(m_mdiArea); });
    on("actWindowTileVertical", [this] { tileSideBySide(m_mdiArea); });
    on("actWindowArrangeIcons", [this] { arrangeIcons(m_mdiArea); });
    on("actWindowMinimizeAll", [this] { minimizeAll(m_mdiArea); });
    on("actWindowClose", [this] { actFileCDSCloseExecute(); });
    on("actWindowCloseAll", [this] { actFileCDSCloseAllExecute(); });
}

void MainWindow::connectOtherCommands()
{
    auto on = [this](const char *name, CommandDispatcher::Handler handler) {
        m_dispatcher->connectCommand(m_actions.value(QLatin1String(name)), std::move(handler));
    };
    on("actToolsOptions", [this] { actToolsOptionsExecute(); });
    on("actToolsSearch", [this] { actToolsSearchExecute(); });
    QAction *mainBar = m_actions.value(QStringLiteral("actViewBar_MainMain"));
    on("actViewBar_MainMain", [this, mainBar] {
        actViewBarExecute(mainBar, m_barMain, settings::Key::ViewBar_MainMain_Checked);
    });
    QAction *statusBarCommand = m_actions.value(QStringLiteral("actViewBar_MainStatus"));
    on("actViewBar_MainStatus", [this, statusBarCommand] {
        actViewBarExecute(statusBarCommand, statusBar(), settings::Key::ViewBar_MainStatus_Checked);
    });
    on("actTrayIconShow", [this] { actTrayIconShowExecute(); });
    on("actHelpTipsOfTheDay", [this] { actHelpTipsOfTheDayExecute(); });
    on("actHelpAbout", [this] { actHelpAboutExecute(); });
    on("actHelpEmail", [this] {
        if (m_urlOpener)
            actHelpEmailExecute(*m_urlOpener, m_dataModule.productName());
    });
    on("actHelpHomePage", [this] {
        if (m_urlOpener)
            actHelpHomePageExecute(*m_urlOpener);
    });
    // The menu heads and the help-file commands (there is no help file) do
    // nothing when run; Reopen, Clear and Remove Obsolete lend their image
    // and hint to the recent-files items, which run the list's own handlers.
}

void MainWindow::updateCommands()
{
    m_dispatcher->runUpdates();
}

void MainWindow::aclFileUpdate()
{
    const bool active = activeDocumentWindow() != nullptr;
    m_actions.value(QStringLiteral("actFileCDSClose"))->setEnabled(active);
    m_actions.value(QStringLiteral("actFileCDSCloseAll"))->setEnabled(active);
}

void MainWindow::aclToolsUpdate()
{
    m_actions.value(QStringLiteral("actToolsOptions"))->setEnabled(!m_options.isNull());
    m_actions.value(QStringLiteral("actToolsSearch"))->setEnabled(true);
}

void MainWindow::aclWindowUpdate()
{
    const bool any = !m_mdiArea->subWindowList().isEmpty();
    for (const char *name : {"actWindowCascade", "actWindowTileHorizontal", "actWindowTileVertical",
                             "actWindowArrangeIcons", "actWindowMinimizeAll"})
        m_actions.value(QLatin1String(name))->setEnabled(any);
    const bool active = activeDocumentWindow() != nullptr;
    m_actions.value(QStringLiteral("actWindowClose"))->setEnabled(active);
    m_actions.value(QStringLiteral("actWindowCloseAll"))->setEnabled(active);
}

void MainWindow::actFilePrintSetupExecute()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    m_dataModule.printerSetupDialogExecute(this, m_printer.get());
}

void MainWindow::actFileExitExecute()
{
    close();
}

void MainWindow::actToolsOptionsExecute()
{
    m_panel0->clear();
    if (!m_options)
        return;
    // Until the dialog has a place of its own it opens over the frame's middle.
    if (!m_options->settingsStore().placementRestored()) {
        QRect place(QPoint(0, 0), m_options->size());
        place.moveCenter(geometry().center());
        m_options->setGeometry(place);
    }
    m_prompts.exec(m_options);
}

void MainWindow::setSearchWindow(search::SearchWindow *search)
{
    m_search = search;
}

void MainWindow::actToolsSearchExecute()
{
    if (!m_search)
        return;
    m_search->show();
    m_search->raise();
}

// An auto-check command: its checked state has already changed.
void MainWindow::actViewBarExecute(QAction *command, QWidget *bar, settings::Key key)
{
    const bool visible = command->isChecked();
    bar->setVisible(visible);
    writeOption(key, settings::encodeBool(visible));
}

void MainWindow::actTrayIconShowExecute()
{
    restoreFromMinimized();
}

// Brings the frame back from the taskbar or the tray in the state it had
// before it was minimised: a maximised frame comes back maximised.
void MainWindow::restoreFromMinimized()
{
    if (isMinimized() || isHidden()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
    }
    raise();
    activateWindow();
}

void MainWindow::actHelpTipsOfTheDayExecute()
{
    if (OptionsAccess *options = optionsAccess())
        showTipOfTheDay(m_prompts, this, *options);
}

void MainWindow::actHelpAboutExecute()
{
    const VersionFields version{m_dataModule.companyName(),  m_dataModule.productName(),
                                m_dataModule.fileVersion(),  m_dataModule.legalCopyright(),
                                m_dataModule.registryRoot(), m_dataModule.storageVersion()};
    DesktopUrlOpener desktop;
    bw::actHelpAboutExecute(m_prompts, this, version, m_urlOpener ? *m_urlOpener : desktop);
}

bool MainWindow::canClose()
{
    OptionsAccess *options = optionsAccess();
    if (!options)
        return true;
    return confirmExit(m_prompts, this, *options);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    bool mayClose = false;
    guarded([this, &mayClose] { mayClose = closeQueryAll(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    m_closing = true;
    guarded([this] { m_store->save(); });
    m_trayIcon->hide();
    QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        guarded([this] { applicationEventsMinimize(); });
}

// With "System Tray" the minimised program keeps only its tray icon; where
// the desktop has no tray it stays on the taskbar, so it can be reached.
void MainWindow::applicationEventsMinimize()
{
    if (!m_options || m_options->taskBarType() != 1)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    QTimer::singleShot(0, this, guard([this] {
                           if (isMinimized())
                               hide();
                       }));
}

} // namespace bw
