#include "startup.h"

#include "app/app_strings.h"
#include "app/application.h"
#include "app/command_line.h"
#include "app/data_module.h"
#include "app/error_box.h"
#include "app/main_window.h"
#include "app/password_dialog.h"
#include "app/splash_window.h"
#include "document/delete_msg_dialog.h"
#include "options/help_popup.h"
#include "options/options_dialog.h"
#include "platform/cursors.h"
#include "platform/prompt_service.h"
#include "platform/single_instance.h"
#include "search/search_window.h"
#include "settings/registry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QIcon>

namespace bw {

namespace {

// Frees the splash window the first time the main window is shown. It runs as
// an event filter, so the splash is gone before the main window's own show
// handling (options, tip of the day) starts.
class SplashCloser : public QObject
{
public:
    SplashCloser(QWidget *mainWindow, SplashWindow *splash) : QObject(mainWindow), m_splash(splash)
    {
        mainWindow->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            delete m_splash.data();
            deleteLater();
        }
        return false;
    }

private:
    QPointer<SplashWindow> m_splash;
};

} // namespace

Startup::Startup(Application &app, PromptService &prompts) : m_app(app), m_prompts(prompts)
{
    // Until the main window installs its own handler, an error shows the
    // standard error box and the program goes on.
    m_app.setErrorHandler([this](const QString &message) {
        showErrorBox(m_prompts, nullptr, applicationTitle(), message);
    });
}

// The main window goes first: saving its settings may still read the
// options. The help popup outlives the Options dialog, which gives it back.
Startup::~Startup()
{
    m_mainWindow.reset();
    m_search.reset();
    m_deleteMsg.reset();
    m_options.reset();
    delete m_helpPopup.data();
    m_dataModule.reset();
    m_registry.reset();
    delete m_splash.data();
}

HelpPopup *Startup::helpPopup() const
{
    return m_helpPopup;
}

QString Startup::applicationTitle() const
{
    if (m_dataModule && !m_dataModule->productName().isEmpty())
        return m_dataModule->productName();
    return loadStr(StrId::ApplicationTitle);
}

bool Startup::run()
{
    if (!logon(m_prompts)) {
        QCoreApplication::quit();
        return false;
    }
    WaitCursor hourglass;
    QCoreApplication::processEvents();
    showSplash();
    createLongLivedObjects();
    return true;
}

void Startup::showSplash()
{
    m_splash = new SplashWindow;
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    m_splash->showNow();
}

// The order matters: the main window reads the settings root from the data
// module while it is created.
void Startup::createLongLivedObjects()
{
    createDataModule();
    createMainWindow();
    createOptions();
    createSearchWindow();
    createHelpPopup();
    createDeleteConfirmation();
}

void Startup::createDataModule()
{
    m_registry = std::make_unique<settings::Registry>();
    m_dataModule = std::make_unique<DataModule>(m_prompts, m_registry.get());
}

namespace {
QList<QIcon> iconsOf(const ImageList &images)
{
    QList<QIcon> icons;
    for (int i = 0; i < images.count(); ++i)
        icons << images.icon(i);
    return icons;
}
// The launchers the options write show the program's own icon once it is
// installed beside its icon; a program run from its build folder keeps a
// stock icon, since its own is in no icon theme there.
QString launcherIcon(const QString &fallback)
{
    const QString installed =
        QCoreApplication::applicationDirPath() +
        QStringLiteral("/../share/icons/hicolor/scalable/apps/bramblewick.svg");
    return QFileInfo::exists(installed) ? QStringLiteral("bramblewick") : fallback;
}
} // namespace

void Startup::createOptions()
{
    OptionsDialog::Context context;
    context.registryRoot = m_dataModule->registryRoot();
    context.storageVersion = m_dataModule->storageVersion();
    context.productName = m_dataModule->productName();
    context.categoryIcons16 = iconsOf(m_dataModule->imlOptionsTreeView16());
    context.categoryIcons32 = iconsOf(m_dataModule->imlOptionsTreeView32());
    context.treeIcons = iconsOf(m_dataModule->imlTreeView());
    context.launcherIcon = launcherIcon(context.launcherIcon);
    m_options = std::make_unique<OptionsDialog>(m_prompts, context, m_registry.get());
    m_mainWindow->setOptionsDialog(m_options.get());
}

// The search window asks for files through the shared open and save dialogs
// and reports unforeseen errors through the main window.
void Startup::createSearchWindow()
{
    search::SearchWindowContext context;
    context.prompts = &m_prompts;
    auto shared = [](FileDialog *dialog) {
        return [dialog](QWidget *parent, const PromptService::FileRequest &request)
                   -> std::optional<PromptService::FileAnswer> {
            dialog->setFileName(request.fileName);
            dialog->setFilter(request.filter);
            dialog->setFilterIndex(request.filterIndex);
            dialog->setDefaultExt(request.defaultExt);
            if (!dialog->execute(parent))
                return std::nullopt;
            return PromptService::FileAnswer{dialog->fileName(), dialog->filterIndex()};
        };
    };
    context.openDialog = shared(m_dataModule->openDialog());
    context.saveDialog = shared(m_dataModule->saveDialog());
    context.navigatorImages = iconsOf(m_dataModule->imlSearch());
    context.gridHeaderSortImages = iconsOf(m_dataModule->imlGridHeaderSort());
    const ImageList &status = m_dataModule->imlStatusBar();
    for (int i = 0; i < status.count(); ++i)
        context.statusBarImages << status.pixmap(i);
    MainWindow *frame = m_mainWindow.get();
    context.hintHandler = [frame](const QString &hint) { frame->applicationEventsHint(hint); };
    m_search = std::make_unique<search::SearchWindow>(std::move(context));
    m_mainWindow->setSearchWindow(m_search.get());
}

void Startup::createHelpPopup()
{
    m_helpPopup = new HelpPopup(m_dataModule->productName());
    m_options->setHelpPopup(m_helpPopup);
    m_mainWindow->setHelpPopup(m_helpPopup);
}

// The main window reads the command line itself: its first argument may name
// a notes file to open when the window is first shown.
void Startup::createMainWindow()
{
    auto frame = std::make_unique<MainWindow>(*m_dataModule, m_prompts, nullptr,
                                              fileArguments(QCoreApplication::arguments().mid(1)));
    frame->setAttribute(Qt::WA_QuitOnClose);
    // Recovery copies every 60 seconds; BRAMBLEWICK_RECOVERY_INTERVAL_MS
    // sets another interval (for tests).
    bool isNumber = false;
    const int interval =
        qEnvironmentVariableIntValue("BRAMBLEWICK_RECOVERY_INTERVAL_MS", &isNumber);
    frame->setRecoveryStore(std::make_unique<notes::RecoveryStore>(
        notes::RecoveryStore::defaultFolder(),
        isNumber && interval > 0 ? interval : notes::RecoveryStore::kDefaultIntervalMs));
    m_mainWindow = std::move(frame);
    if (m_splash)
        new SplashCloser(m_mainWindow.get(), m_splash);
}

// Created once and reused, so its "Don't Show This Message Again" state
// carries from one deletion to the next.
void Startup::createDeleteConfirmation()
{
    m_deleteMsg = std::make_unique<notes::DeleteMessageDialog>();
    m_mainWindow->setDeleteConfirmation(m_deleteMsg.get());
}

int runProgram(int &argc, char **argv, PromptService &prompts)
{
    SingleInstanceLock lock(loadStr(StrId::OneCopyMutexName));
    if (lock.tryAcquire() == SingleInstanceLock::Result::HeldElsewhere)
        return 0;
    Application app(argc, argv);
    // The icon of every window, and the installed desktop entry that
    // docks and task bars match the program's windows with.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/bramblewick.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.bramblewick.Bramblewick"));
    Startup startup(app, prompts);
    try {
        if (!startup.run())
            return 0;
    } catch (...) {
        // Without its long-lived objects the program cannot run: report and end.
        app.handleException(std::current_exception());
        return 1;
    }
    startup.mainWindow()->show();
    return app.exec();
}

} // namespace bw
