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
class TfrmDeleteMsg;
}
namespace search {
class TfrmSearch;
}

class Application;
class PromptService;
class TfrmDataModule;
class TfrmHelpPopup;
class TfrmMain;
class TfrmOptions;


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

    TfrmDataModule *dataModule() const { return m_dataModule.get(); }
    TfrmMain *mainWindow() const { return m_mainWindow.get(); }
    TfrmOptions *options() const { return m_options.get(); }
    TfrmHelpPopup *helpPopup() const;
    notes::TfrmDeleteMsg *deleteConfirmation() const { return m_deleteMsg.get(); }
    search::TfrmSearch *searchWindow() const { return m_search.get(); }
    // Lives until the main window is first shown.
    TfrmSplash *splash() const { return m_splash; }

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
    QPointer<TfrmSplash> m_splash;
    // The settings file every store of the program shares.
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<TfrmDataModule> m_dataModule;
    std::unique_ptr<TfrmMain> m_mainWindow;
    std::unique_ptr<TfrmOptions> m_options;
    std::unique_ptr<search::TfrmSearch> m_search;
    QPointer<TfrmHelpPopup> m_helpPopup;
    std::unique_ptr<notes::TfrmDeleteMsg> m_deleteMsg;
};

// The whole program: ends at once with status 0 when another copy holds the
// single-instance lock, else starts up and runs the message loop.
int runProgram(int &argc, char **argv, PromptService &prompts);

} // namespace bw
