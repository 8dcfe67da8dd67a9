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
#include "platform/guarded_dispatch.h"
#include "settings/core/encodings.h"
#include "settings/help_popup.h"
#include "settings/options_dialog.h"
#include "settings/palette_color_binding.h"
#include "settings/registry_rxl.h"

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

TfrmMain::TfrmMain(TfrmDataModule &dataModule, PromptService &prompts,
                   std::unique_ptr<DocumentWindowFactory> factory, QStringList arguments,
                   QWidget *parent)
    : QMainWindow(parent), m_dataModule(dataModule), m_prompts(prompts),
      m_factory(factory ? std::move(factory) : notesWindowFactory()),
      m_arguments(std::move(arguments))
{
    setObjectName(QStringLiteral("frmMain"));
    FormCreate();
}

TfrmMain::~TfrmMain()
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
            m_plugins->UnloadPlugins();
        m_mruFileList.reset();
    });
}

void TfrmMain::FormCreate()
{
    createSettingsStore();
    createCommands();
    createRecentFiles();
    // The application title is only the frame's caption: as the display
    // name, Qt would append it to the caption of every window.
    const QString title = m_dataModule.ProductName();
    setWindowTitle(title);
    m_trayIcon->setToolTip(title);
    m_untitled.reset();
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

void TfrmMain::loadPlugins()
{
    m_plugins = std::make_unique<PluginHost>();
    m_plugins->LoadPlugins(PluginHost::defaultFolders());
    m_plugins->BuildPluginMenu(findChild<QMenu *>(QStringLiteral("miToolsPlugins")),
                               [this](QAction *item, std::function<void()> click) {
                                   m_dispatcher->connectCommand(item, std::move(click));
                               });
    m_plugins->LoadPluginImages(m_dataModule.imlPlugins());
}

void TfrmMain::createSettingsStore()
{
    m_store = std::make_unique<RegistryRXL>(this, &registry());
    m_store->setRoot(m_dataModule.RegistryRoot());
    m_store->setVersion(m_dataModule.StorageVersion());
    m_store->bindSection(settings::Section::Main);
    m_store->setPlacement(RegistryRXL::Placement::Main);
    guardedConnect(m_store.get(), &RegistryRXL::restored, this,
                   &TfrmMain::RegistryRXLRestorePlacement);
    guardedConnect(m_store.get(), &RegistryRXL::saved, this, &TfrmMain::RegistryRXLSavePlacement);
}

QIcon TfrmMain::commandIcon(int index) const
{
    return m_dataModule.imlCommon().icon(index);
}

void TfrmMain::createCommands()
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
    SetupMainActions(m_actions, plugins ? plugins->menuAction() : nullptr);
    connectCommands();
}

void TfrmMain::createFrame()
{
    m_mdiArea = new QMdiArea(this);
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
    guardedConnect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TfrmMain::subWindowActivated);
    new WindowSwitchKeys(this, m_mdiArea);
    const IconSource icons = [this](int index) { return commandIcon(index); };
    m_ownMenus = buildMenuBar(QLatin1String(kMainMenu), lookupIn({m_actions}), this, icons);
    m_windowMenu = findChild<QMenu *>(QStringLiteral("miWindow"));
    guardedConnect(m_windowMenu, &QMenu::aboutToShow, this, &TfrmMain::fillWindowMenu);
    mergeMenus();
}

void TfrmMain::createMainBar()
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

void TfrmMain::createStatusBar()
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

QLabel *TfrmMain::statusPanel(int index) const
{
    return index == 0 ? m_panel0 : index == 1 ? m_panel1 : nullptr;
}

void TfrmMain::createRecentFiles()
{
    QMenu *file = m_ownMenus.value(0);
    QAction *separator = nullptr;
    for (QAction *item : file->actions())
        if (item->objectName() == QLatin1String("miFileMRUSeparator"))
            separator = item;
    m_mruFileList = std::make_unique<MRUFileList>(file, separator, registry());
    guardedConnect(m_mruFileList.get(), &MRUFileList::MRUFileListCreateMRUItem, this,
                   &TfrmMain::MRUFileListCreateMRUItem);
    guardedConnect(m_mruFileList.get(), &MRUFileList::MRUFileListMRUItemClick, this,
                   [this](const QString &path) {
                       m_dispatcher->guarded([this, path] { MRUFileListMRUItemClick(path); });
                   });
    m_mruFileList->setRoot(m_dataModule.RegistryRoot());
}

void TfrmMain::setDateFormat()
{
    // The program's short date format, read by whatever inserts dates.
    qApp->setProperty("bwDateSeparator", QString::fromLatin1(kDateSeparator));
    qApp->setProperty("bwShortDateFormat", QString::fromLatin1(kShortDateFormat));
}

void TfrmMain::setOptionsDialog(TfrmOptions *options)
{
    m_options = options;
    m_ownOptionsAccess.reset(options ? new OptionsDialogAccess(*options) : nullptr);
    if (options)
        options->setMainTarget(this);
}

void TfrmMain::setHelpPopup(TfrmHelpPopup *popup)
{
    m_hook->setHelpPopup(popup);
}

bool TfrmMain::HelpPopupArmed() const
{
    return m_hook->helpPopupArmed();
}

void TfrmMain::setHelpPopupArmed(bool armed)
{
    m_hook->setHelpPopupArmed(armed);
}

OptionsAccess *TfrmMain::optionsAccess() const
{
    return m_ownOptionsAccess.get();
}

bool TfrmMain::optionChecked(settings::Key key, bool fallback) const
{
    return m_options ? m_options->isChecked(key) : fallback;
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Runs once the frame has appeared, so the tip of the day and a file
    // from the command line come up over a painted window.
    QMetaObject::invokeMethod(
        this, [this] { m_dispatcher->guarded([this] { FormShow(); }); }, Qt::QueuedConnection);
}

// The settings store restores the placement before the window first
// appears; without a stored placement the frame opens maximised.
void TfrmMain::setVisible(bool visible)
{
    if (visible && !m_shown && !m_placementRestored) {
        m_placementRestored = true;
        if (!m_store->Restore())
            setWindowState(windowState() | Qt::WindowMaximized);
    }
    QMainWindow::setVisible(visible);
}

void TfrmMain::FormShow()
{
    if (m_dataModule.FirstTime())
        firstTimeSave();
    if (m_options) {
        m_options->LoadOptions();
        m_options->ApplyOptions();
        m_options->SaveOptions();
    }
    if (optionsAccess() && optionChecked(settings::Key::DisplayTipOfTheDayAtStartup_Checked, false))
        showTipOfTheDay(m_prompts, this, *optionsAccess());
    openCommandLineFile();
    offerRecoveryCopies();
    AdjustStatusPanels();
}

// A new settings root receives every default at the first start.
void TfrmMain::firstTimeSave()
{
    m_dataModule.setFirstTime(false);
    m_store->Save();
    if (m_options)
        m_options->SaveOptions();
    m_dataModule.settingsStore().Save();
}

void TfrmMain::openCommandLineFile()
{
    if (m_arguments.isEmpty())
        return;
    const QString path = m_arguments.first();
    if (!QFileInfo(path).isFile())
        return;
    // The caption is the absolute name, as the open dialog gives it.
    openOrActivate(QFileInfo(path).absoluteFilePath(), false);
}

void TfrmMain::AdjustStatusPanels()
{
    m_panel0->setFixedWidth(width() / 4 * 3);
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    guarded([this] { AdjustStatusPanels(); });
}

bool TfrmMain::event(QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        if (event->type() == QEvent::StatusTip) {
            ApplicationEventsHint(static_cast<QStatusTipEvent *>(event)->tip());
            return true;
        }
        return QMainWindow::event(event);
    });
}

void TfrmMain::ApplicationEventsHint(const QString &hint)
{
    if (m_options && m_options->isVisible())
        return;
    if (!optionChecked(settings::Key::CommonDisplayToolTips_Checked, true))
        return;
    m_panel0->setText(longHint(hint));
}

void TfrmMain::RegistryRXLRestorePlacement()
{
    if (!m_options)
        return;
    m_options->LoadOptions();
    m_options->ApplyOptions();
}

void TfrmMain::RegistryRXLSavePlacement()
{
    if (m_options)
        m_options->SaveOptions();
}

void TfrmMain::handleException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const AbortOperation &) {
        return; // ends an operation quietly
    } catch (...) {
        ApplicationEventsException(errorMessageOf(std::current_exception()));
    }
}

// The error is reported and the program goes on: every window keeps its
// data, so an operation that failed never costs the user unsaved changes.
void TfrmMain::ApplicationEventsException(const QString &message)
{
    showErrorBox(m_prompts, this, m_dataModule.ProductName(), message);
}

void TfrmMain::applyMainOptions(const TfrmOptions &options)
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

settings::Registry &TfrmMain::registry()
{
    return m_dataModule.settingsStore().registry();
}

QString TfrmMain::settingsRoot() const
{
    return m_dataModule.RegistryRoot();
}

int TfrmMain::storageVersion() const
{
    return m_dataModule.StorageVersion();
}

QString TfrmMain::optionText(settings::Key key) const
{
    return m_options ? m_options->optionText(key) : settings::defaultText(key);
}

void TfrmMain::writeOption(settings::Key key, const QString &text)
{
    if (m_options)
        m_options->writeImmediate(key, text);
}

void TfrmMain::loadAndApplyOptions()
{
    if (!m_options)
        return;
    m_options->LoadOptions();
    m_options->ApplyOptions();
}

namespace {

std::optional<QString> runFileDialog(TFileDialog *dialog, QWidget *parent,
                                     const PromptService::FileRequest &request)
{
    dialog->setTitle(request.caption);
    dialog->setFileName(request.fileName);
    dialog->setFilter(request.filter);
    dialog->setFilterIndex(request.filterIndex);
    dialog->setDefaultExt(request.defaultExt);
    if (!request.initialDir.isEmpty())
        dialog->setInitialDir(request.initialDir);
    if (!dialog->Execute(parent))
        return std::nullopt;
    return dialog->fileName();
}

} // namespace

std::optional<QString> TfrmMain::executeSaveDialog(QWidget *parent,
                                                   const PromptService::FileRequest &request)
{
    return runFileDialog(m_dataModule.SaveDialog(), parent, request);
}

std::optional<QString> TfrmMain::executeOpenDialog(QWidget *parent,
                                                   const PromptService::FileRequest &request)
{
    return runFileDialog(m_dataModule.OpenDialog(), parent, request);
}

QPixmap TfrmMain::statusBarImage(int index) const
{
    return m_dataModule.imlStatusBar().pixmap(index);
}

QIcon TfrmMain::treeImage(int index) const
{
    return m_dataModule.imlTreeView().icon(index);
}

} // namespace bw
