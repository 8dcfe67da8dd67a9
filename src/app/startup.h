#pragma once
// The start-up sequence: the single-instance test, the logon, the splash
// window with the hourglass cursor while the long-lived objects are created in
// their fixed order, then the message loop.

#include "app/splash_window.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QObject;

namespace bw {

namespace settings {
class Registry;
}
namespace notes {
class DeleteMessageDialog;
}
namespace search {
class SearchWindow;
}

class Application;
class PromptService;
class DataModule;
class HelpPopup;
class MainWindow;
class OptionsDialog;

class Startup
{
public:
    // Installs the standard error box as the application's error handler.
    Startup(Application &app, PromptService &prompts);
    // Frees the long-lived objects in the reverse order of their creation.
    ~Startup();
    Startup(const Startup &) = delete;
    Startup &operator=(const Startup &) = delete;

    // Logon, splash and creation. False when the logon failed: nothing else
    // was created and the program ends.
    bool run();

    DataModule *dataModule() const { return m_dataModule.get(); }
    MainWindow *mainWindow() const { return m_mainWindow.get(); }
    OptionsDialog *options() const { return m_options.get(); }
    HelpPopup *helpPopup() const;
    notes::DeleteMessageDialog *deleteConfirmation() const { return m_deleteMsg.get(); }
    search::SearchWindow *searchWindow() const { return m_search.get(); }
    // Lives until the main window is first shown.
    SplashWindow *splash() const { return m_splash; }

private:
    void showSplash();
    void createLongLivedObjects();
    void createDataModule();
    void createMainWindow();
    void createOptions();
    void createSearchWindow();
    void createHelpPopup();
    void createDeleteConfirmation();
    QString applicationTitle() const;

    Application &m_app;
    PromptService &m_prompts;
    QPointer<SplashWindow> m_splash;
    // The settings file every store of the program shares.
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<DataModule> m_dataModule;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<OptionsDialog> m_options;
    std::unique_ptr<search::SearchWindow> m_search;
    QPointer<HelpPopup> m_helpPopup;
    std::unique_ptr<notes::DeleteMessageDialog> m_deleteMsg;
};

// The whole program: ends at once with status 0 when another copy holds the
// single-instance lock, else starts up and runs the message loop.
int runProgram(int &argc, char **argv, PromptService &prompts);

} // namespace bw
