#include "app/main_window.h"

#include "app/app_strings.h"
#include "app/application.h"
#include "app/command_dispatcher.h"
#include "app/data_module.h"
#include "app/error_box.h"
#include "app/help_commands.h"
#include "app/message_hook.h"
#include "app/mru_file_list.h"
#include "app/options_access.h"
#include "app/plugin_host.h"
#include "app/tip_dialog.h"
#include "app/window_switch_keys.h"
#include "commands/command_menus.h"
#include "options/help_popup.h"
#include "options/options_dialog.h"
#include "options/palette_color_binding.h"
#include "options/registry_rxl.h"
#include "platform/guarded_dispatch.h"
#include "settings/encodings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>

namespace bw {

namespace {

constexpr int kStatusPanel0InitialWidth = 300;
// Short dates read day.month.year without leading zeros: 8.12.2003.
constexpr char kShortDateFormat[] = "d.M.yyyy";
constexpr char kDateSeparator[] = ".";

} // namespace

MainWindow::MainWindow(DataModule &dataModule, PromptService &prompts,
                       std::unique_ptr<DocumentWindowFactory> factory, QStringList arguments,
                       QWidget *parent)
    : QMainWindow(parent), m_dataModule(dataModule), m_prompts(prompts),
      m_factory(factory ? std::move(factory) : notesWindowFactory()),
      m_arguments(std::move(arguments))
{
    setObjectName(QStringLiteral("frmMain"));
    setupWindow();
}

MainWindow::~MainWindow()
{
    // The document windows go with the frame; their going must not rebuild
    // the menu bar of a frame being destroyed.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
        disconnect(sub, nullptr, this, nullptr);
    // The plug-in libraries are freed with the frame; the recent files are
    // saved as the list goes. A destructor never throws.
    guarded([this] {
        if (m_plugins)
            m_plugins->unloadPlugins();
        m_mruFileList.reset();
    });
}

void MainWindow::setupWindow()
{
    createSettingsStore();
    createCommands();
    createRecentFiles();
    // The application title is only the frame's caption: as the display
    // name, Qt would append it to the caption of every window.
    const QString title = m_dataModule.productName();
    setWindowTitle(title);
    m_trayIcon->setToolTip(title);
    m_cursors.load();
    m_ownUrlOpener = std::make_unique<DesktopUrlOpener>();
    m_urlOpener = m_ownUrlOpener.get();
    setDateFormat();
    // The font dialog's Apply formats the active document window's editor.
    m_dataModule.setFontApplyHandler(
        [this](const PromptService::FontAnswer &font) { return applyDialogFont(font); });
    loadPlugins();

    m_hook = new MessageHook(this);
    m_hook->setDropHandling(
        [this](const QObject *receiver) {
            return documentWindowList().isEmpty() && receiver == m_mdiArea->viewport();
        },
        [this](const QStringList &paths) { filesDropped(paths); });
    // While the main window exists, every guarded entry's error shows its box.
    m_errorScope = std::make_unique<ExceptionHandlerScope>(
        [this](std::exception_ptr error) { handleException(error); });
}

void MainWindow::loadPlugins()
{
    m_plugins = std::make_unique<PluginHost>();
    m_plugins->loadPlugins(PluginHost::defaultFolders());
    m_plugins->buildPluginMenu(findChild<QMenu *>(QStringLiteral("miToolsPlugins")),
                               [this](QAction *item, std::function<void()> click) {
                                   m_dispatcher->connectCommand(item, std::move(click));
                               });
    m_plugins->loadPluginImages(m_dataModule.imlPlugins());
}

void MainWindow::createSettingsStore()
{
    m_store = std::make_unique<RegistryRXL>(this, &registry());
    m_store->setRoot(m_dataModule.registryRoot());
    m_store->setVersion(m_dataModule.storageVersion());
    m_store->bindSection(settings::Section::Main);
    m_store->setPlacement(RegistryRXL::Placement::Main);
    guardedConnect(m_store.get(), &RegistryRXL::restored, this,
                   &MainWindow::registryRxlRestorePlacement);
    guardedConnect(m_store.get(), &RegistryRXL::saved, this, &MainWindow::registryRxlSavePlacement);
}

QIcon MainWindow::commandIcon(int index) const
{
    return m_dataModule.imlCommon().icon(index);
}

void MainWindow::createCommands()
{
    const IconSource icons = [this](int index) { return commandIcon(index); };
    m_actions = bw::createCommands(CommandScope::Main, this, icons);
    // The frame holds every command, so each shortcut works wherever its
    // menu item or button is out of sight.
    addActions(m_actions.values());
    m_dispatcher = new CommandDispatcher(this);
    createFrame();
    createMainBar();
    createStatusBar();
    createTray();
    auto *plugins = findChild<QMenu *>(QStringLiteral("miToolsPlugins"));
    setupMainActions(m_actions, plugins ? plugins->menuAction() : nullptr);
    connectCommands();
}

void MainWindow::createFrame()
{
    m_mdiArea = new QMdiArea(this);
    m_documents.setArea(m_mdiArea);
    m_mdiArea->setObjectName(QStringLiteral("ClientArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->viewport()->setAcceptDrops(true);
    // The background behind the document windows; a system colour follows
    // the desktop's palette.
    m_areaColors =
        new PaletteColorBinding(m_mdiArea, [this](QPalette::ColorRole, const QColor &color) {
            m_mdiArea->setBackground(color);
            m_mdiArea->viewport()->update();
        });
    setCentralWidget(m_mdiArea);
    guardedConnect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::subWindowActivated);
    new WindowSwitchKeys(this, m_mdiArea);
    const IconSource icons = [this](int index) { return commandIcon(index); };
    m_ownMenus = buildMenuBar(QLatin1String(kMainMenu), lookupIn({m_actions}), this, icons);
    m_windowMenu = findChild<QMenu *>(QStringLiteral("miWindow"));
    guardedConnect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);
    mergeMenus();
}

void MainWindow::createMainBar()
{
    m_barMain = addToolBar(QStringLiteral("Main Bar"));
    m_barMain->setObjectName(QStringLiteral("Bar_MainMain"));
    m_barMain->setMovable(false);
    m_barMain->setIconSize(QSize(16, 16));
    m_barMain->addAction(m_actions.value(QStringLiteral("actFileCDSNew")));
    m_barMain->addAction(m_actions.value(QStringLiteral("actFileCDSOpen")));
    m_barMain->addSeparator();
    m_barMain->addAction(m_actions.value(QStringLiteral("actToolsOptions")));
}

void MainWindow::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("Bar_MainStatus"));
    m_panel0 = new QLabel(bar);
    m_panel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_panel0->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel0->setFixedWidth(kStatusPanel0InitialWidth);
    m_panel1 = new QLabel(bar);
    m_panel1->setObjectName(QStringLiteral("StatusPanel1"));
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel1->setFixedWidth(kStatusPanel1Width);
    bar->addWidget(m_panel0);
    bar->addWidget(m_panel1);
}

QLabel *MainWindow::statusPanel(int index) const
{
    return index == 0 ? m_panel0 : index == 1 ? m_panel1 : nullptr;
}

void MainWindow::createRecentFiles()
{
    QMenu *file = m_ownMenus.value(0);
    QAction *separator = nullptr;
    for (QAction *item : file->actions())
        if (item->objectName() == QLatin1String("miFileMRUSeparator"))
            separator = item;
    m_mruFileList = std::make_unique<MRUFileList>(file, separator, registry());
    guardedConnect(m_mruFileList.get(), &MRUFileList::mruFileListCreateMruItem, this,
                   &MainWindow::mruFileListCreateMruItem);
    guardedConnect(m_mruFileList.get(), &MRUFileList::mruFileListMruItemClick, this,
                   // A copy: the click may rebuild the list that sent it.
                   [this](QString path) { mruFileListMruItemClick(path); });
    m_mruFileList->setRoot(m_dataModule.registryRoot());
}

void MainWindow::setDateFormat()
{
    // The program's short date format, read by whatever inserts dates.
    qApp->setProperty("bwDateSeparator", QString::fromLatin1(kDateSeparator));
    qApp->setProperty("bwShortDateFormat", QString::fromLatin1(kShortDateFormat));
}

void MainWindow::setOptionsDialog(OptionsDialog *options)
{
    m_options = options;
    m_ownOptionsAccess.reset(options ? new OptionsDialogAccess(*options) : nullptr);
    if (options)
        options->setMainTarget(this);
}

void MainWindow::setHelpPopup(HelpPopup *popup)
{
    m_hook->setHelpPopup(popup);
}

bool MainWindow::helpPopupArmed() const
{
    return m_hook->helpPopupArmed();
}

void MainWindow::setHelpPopupArmed(bool armed)
{
    m_hook->setHelpPopupArmed(armed);
}

OptionsAccess *MainWindow::optionsAccess() const
{
    return m_ownOptionsAccess.get();
}

bool MainWindow::optionChecked(settings::Key key, bool fallback) const
{
    return m_options ? m_options->isChecked(key) : fallback;
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Runs once the frame has appeared, so the tip of the day and a file
    // from the command line come up over a painted window.
    QMetaObject::invokeMethod(this, guard([this] { onShow(); }), Qt::QueuedConnection);
}

// The settings store restores the placement before the window first
// appears; without a stored placement the frame opens maximised.
void MainWindow::setVisible(bool visible)
{
    // Qt calls this from its own code too: an unreadable placement is
    // reported and the window shows all the same.
    if (visible && !m_shown && !m_placementRestored) {
        m_placementRestored = true;
        if (!guardedOr(false, [this] { return m_store->restore(); }))
            setWindowState(windowState() | Qt::WindowMaximized);
    }
    QMainWindow::setVisible(visible);
}

void MainWindow::onShow()
{
    if (m_dataModule.firstTime())
        firstTimeSave();
    if (m_options) {
        m_options->loadOptions();
        m_options->applyOptions();
        m_options->saveOptions();
    }
    if (optionsAccess() && optionChecked(settings::Key::DisplayTipOfTheDayAtStartup_Checked, false))
        showTipOfTheDay(m_prompts, this, *optionsAccess());
    openCommandLineFile();
    offerRecoveryCopies();
    adjustStatusPanels();
}

// A new settings root receives every default at the first start.
void MainWindow::firstTimeSave()
{
    m_dataModule.setFirstTime(false);
    m_store->save();
    if (m_options)
        m_options->saveOptions();
    m_dataModule.settingsStore().save();
}

void MainWindow::openCommandLineFile()
{
    if (m_arguments.isEmpty())
        return;
    const QString path = m_arguments.first();
    if (!QFileInfo(path).isFile())
        return;
    // The caption is the absolute name, as the open dialog gives it.
    openOrActivate(QFileInfo(path).absoluteFilePath(), false);
}

void MainWindow::adjustStatusPanels()
{
    m_panel0->setFixedWidth(width() / 4 * 3);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    guarded([this] { adjustStatusPanels(); });
}

bool MainWindow::event(QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        if (event->type() == QEvent::StatusTip) {
            applicationEventsHint(static_cast<QStatusTipEvent *>(event)->tip());
            return true;
        }
        return QMainWindow::event(event);
    });
}

void MainWindow::applicationEventsHint(const QString &hint)
{
    if (m_options && m_options->isVisible())
        return;
    if (!optionChecked(settings::Key::CommonDisplayToolTips_Checked, true))
        return;
    m_panel0->setText(longHint(hint));
}

void MainWindow::registryRxlRestorePlacement()
{
    if (!m_options)
        return;
    m_options->loadOptions();
    m_options->applyOptions();
}

void MainWindow::registryRxlSavePlacement()
{
    if (m_options)
        m_options->saveOptions();
}

void MainWindow::handleException(std::exception_ptr error)
{
    applicationEventsException(exceptionText(error));
}

// The error is reported and the program goes on: every window keeps its
// data, so an operation that failed never costs the user unsaved changes.
void MainWindow::applicationEventsException(const QString &message)
{
    showErrorBox(m_prompts, this, m_dataModule.productName(), message);
}

void MainWindow::applyMainOptions(const OptionsDialog &options)
{
    const int taskBar = options.taskBarType();
    if (taskBar == 1 && QSystemTrayIcon::isSystemTrayAvailable())
        m_trayIcon->show();
    else if (taskBar == 0)
        m_trayIcon->hide();
    m_areaColors->bind(QPalette::Window, options.mainBackgroundColor());
    const bool flat = options.commonDisplayFlatToolBars();
    for (QToolButton *button : m_barMain->findChildren<QToolButton *>())
        button->setAutoRaise(flat);
    m_actions.value(QStringLiteral("actViewBar_MainMain"))->setChecked(options.viewBarMainMain());
    m_barMain->setVisible(options.viewBarMainMain());
    m_actions.value(QStringLiteral("actViewBar_MainStatus"))
        ->setChecked(options.viewBarMainStatus());
    statusBar()->setVisible(options.viewBarMainStatus());
    m_hook->setToolTipsEnabled(options.commonDisplayToolTips());
}

settings::Registry &MainWindow::registry()
{
    return m_dataModule.settingsStore().registry();
}

QString MainWindow::settingsRoot() const
{
    return m_dataModule.registryRoot();
}

int MainWindow::storageVersion() const
{
    return m_dataModule.storageVersion();
}

QString MainWindow::productName() const
{
    return m_dataModule.productName();
}

QString MainWindow::optionText(settings::Key key) const
{
    return m_options ? m_options->optionText(key) : settings::defaultText(key);
}

void MainWindow::writeOption(settings::Key key, const QString &text)
{
    if (m_options)
        m_options->writeImmediate(key, text);
}

void MainWindow::loadAndApplyOptions()
{
    if (!m_options)
        return;
    m_options->loadOptions();
    m_options->applyOptions();
}

namespace {

std::optional<QString> runFileDialog(FileDialog *dialog, QWidget *parent,
                                     const PromptService::FileRequest &request)
{
    dialog->setTitle(request.caption);
    dialog->setFileName(request.fileName);
    dialog->setFilter(request.filter);
    dialog->setFilterIndex(request.filterIndex);
    dialog->setDefaultExt(request.defaultExt);
    if (!request.initialDir.isEmpty())
        dialog->setInitialDir(request.initialDir);
    if (!dialog->execute(parent))
        return std::nullopt;
    return dialog->fileName();
}

} // namespace

std::optional<QString> MainWindow::executeSaveDialog(QWidget *parent,
                                                     const PromptService::FileRequest &request)
{
    return runFileDialog(m_dataModule.saveDialog(), parent, request);
}

std::optional<QString> MainWindow::executeOpenDialog(QWidget *parent,
                                                     const PromptService::FileRequest &request)
{
    return runFileDialog(m_dataModule.openDialog(), parent, request);
}

QPixmap MainWindow::statusBarImage(int index) const
{
    return m_dataModule.imlStatusBar().pixmap(index);
}

QIcon MainWindow::treeImage(int index) const
{
    return m_dataModule.imlTreeView().icon(index);
}

} // namespace bw
