#pragma once
// MainWindow, the program's main window: the frame whose client area holds one
// document window per open notes file. It owns the commands that exist
// without an open file (new, open, close, exit, options, search, window
// arrangement, help), the recent-files list, the main bar and status bar,
// the tray icon and the program-wide input hook and error handler, and it
// merges the active document window's menus into its own menu bar.

#include "app/open_documents.h"
#include "commands/command_catalogue.h"
#include "document/delete_msg_dialog.h"
#include "document/frame_services.h"
#include "document/recovery_store.h"
#include "options/options_target.h"
#include "platform/cursors.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <exception>
#include <memory>
#include <optional>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QSystemTrayIcon;
class QToolBar;

namespace bw {

namespace search {
class SearchWindow;
}

class CommandDispatcher;
class ExceptionHandlerScope;
class MRUFileList;
class MessageHook;
class OptionsAccess;
class PaletteColorBinding;
class PluginHost;
class RegistryRXL;
class DataModule;
class HelpPopup;
class OptionsDialog;
class UrlOpener;

// Makes the document window of a file name. The window takes its caption
// from the name it is given and lives inside the frame's client area.
class DocumentWindowFactory
{
public:
    virtual ~DocumentWindowFactory() = default;
    virtual QWidget *createDocumentWindow(notes::FrameServices &frame, const QString &fileName) = 0;
    // The options of the frame pushed into one window.
    virtual void applyOptions(QWidget *window) { (void)window; }
    // The window as the document window class, when it is one.
    virtual notes::DocumentWindow *documentWindow(QWidget *window) const
    {
        (void)window;
        return nullptr;
    }
    // Asks the window whether it may close (its own questions) without
    // closing it. After true its next close asks nothing, until
    // cancelCloseQuery withdraws the answer. A window without questions of
    // its own agrees.
    virtual bool closeQuery(QWidget *window)
    {
        (void)window;
        return true;
    }
    virtual void cancelCloseQuery(QWidget *window) { (void)window; }
    // A file dropped onto the frame while window is the active one.
    virtual void loadDroppedFile(QWidget *window, const QString &path)
    {
        (void)window;
        (void)path;
    }
};

// The document windows of notes files (DocumentWindow).
std::unique_ptr<DocumentWindowFactory> notesWindowFactory();

class MainWindow : public QMainWindow, public notes::FrameServices, public OptionsMainTarget
{
    Q_OBJECT
public:
    static constexpr int kStatusPanel1Width = 50;

    // Runs the creation (setupWindow). factory: the maker of document
    // windows, notesWindowFactory() when null. arguments: the command line
    // without the program name; its first entry may name a notes file.
    MainWindow(DataModule &dataModule, PromptService &prompts,
               std::unique_ptr<DocumentWindowFactory> factory = nullptr, QStringList arguments = {},
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // The long-lived windows that start-up creates after the main window.
    void setOptionsDialog(OptionsDialog *options);
    void setHelpPopup(HelpPopup *popup);
    void setSearchWindow(search::SearchWindow *search);
    void setUrlOpener(UrlOpener *opener) { m_urlOpener = opener; }
    // The delete confirmation every document window shares.
    void setDeleteConfirmation(notes::DeleteMessageDialog *dialog) { m_deleteMsg = dialog; }
    // Where the document windows keep their recovery copies; the copies left
    // by a crash are offered when the window is first shown. None: no copies.
    void setRecoveryStore(std::unique_ptr<notes::RecoveryStore> store);
    // Offers every recovery copy left by a copy of the program that ended
    // without saving: open (a modified untitled window) or discard it.
    void offerRecoveryCopies();

    // Commands, menus, bars.
    QAction *action(const QString &name) const { return m_actions.value(name); }
    const CommandSet &commands() const { return m_actions; }
    QMdiArea *mdiArea() const { return m_mdiArea; }
    QToolBar *mainBar() const { return m_barMain; }
    QLabel *statusPanel(int index) const;
    QMenu *trayMenu() const { return m_pmTrayIcon; }
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    MRUFileList *mruFileList() const { return m_mruFileList.get(); }
    QList<QMenu *> ownMenus() const { return m_ownMenus; }
    const CursorTable &cursors() const { return m_cursors; }
    MessageHook *messageHook() const { return m_hook; }

    // Document windows.
    void openDocumentWindow(const QString &fileName);
    QString pendingFileName() const { return m_pendingFileName; }
    // The registry of the open document windows and untitled numbers.
    OpenDocuments &documents() { return m_documents; }
    QWidget *activeDocumentWindow() const;
    QList<QWidget *> documentWindowList() const; // least recently active first
    QWidget *findDocumentWindow(const QString &caption) const;
    void bringToFront(QWidget *window);
    void setupChildActions();
    // Commands of the active document window and then the frame's, by name.
    QAction *findCommand(const QString &name) const;

    bool helpPopupArmed() const;
    void setHelpPopupArmed(bool armed) override;

    // Restores the placement before the first showing.
    void setVisible(bool visible) override;

    // Event handlers.
    void onShow();
    void adjustStatusPanels();
    bool canClose();
    void registryRxlRestorePlacement();
    void registryRxlSavePlacement();
    void applicationEventsException(const QString &message);
    void applicationEventsHint(const QString &hint);
    void applicationEventsMinimize();
    void mruFileListMruItemClick(const QString &path);
    void mruFileListCreateMruItem(QAction *item);
    void pmTrayIconDrawMargin(QPainter &painter, const QRect &margin);
    // An exception caught around a command: reported, the program goes on.
    void handleException(std::exception_ptr error);
    // Runs the update handlers of every command list now.
    void updateCommands();

    // notes::FrameServices
    PromptService &prompts() override { return m_prompts; }
    settings::Registry &registry() override;
    QString settingsRoot() const override;
    int storageVersion() const override;
    QString productName() const override;
    QString optionText(settings::Key key) const override;
    void writeOption(settings::Key key, const QString &text) override;
    void loadAndApplyOptions() override;
    void createChildCommands(QObject *window) override;
    std::optional<QString> executeSaveDialog(QWidget *parent,
                                             const PromptService::FileRequest &request) override;
    std::optional<QString> executeOpenDialog(QWidget *parent,
                                             const PromptService::FileRequest &request) override;
    QList<notes::DocumentWindow *> documentWindows() const override;
    void documentWindowClosed(notes::DocumentWindow *window) override;
    void documentFileNamed(notes::DocumentWindow *window) override;
    void activateDocumentWindow(notes::DocumentWindow *window) override;
    void releaseUntitledNumber(int number) override;
    void filesDropped(const QStringList &paths) override;
    QPixmap statusBarImage(int index) const override;
    QIcon treeImage(int index) const override;
    notes::DeleteMessageDialog *deleteConfirmation() override { return m_deleteMsg; }
    std::optional<PromptService::FontAnswer>
    executeFontDialog(QWidget *parent, const PromptService::FontAnswer &initial) override;
    notes::RecoveryStore *recoveryStore() override { return m_recovery.get(); }
    const notes::RecoveryEntry *recoveryToOpen() override { return m_recoveryToOpen; }

    // OptionsMainTarget
    void applyMainOptions(const OptionsDialog &options) override;
    QList<OptionsChildTarget *> optionsChildTargets() const override;

signals:
    // The menu bar was rebuilt (a document window became active or closed).
    void menusMerged();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Creation (main_window.cpp).
    void setupWindow();
    bool applyDialogFont(const PromptService::FontAnswer &font);
    void createCommands();
    void createFrame();
    void createMainBar();
    void createStatusBar();
    void createTray();
    void createSettingsStore();
    void createRecentFiles();
    void loadPlugins();
    void setDateFormat();
    void firstTimeSave();
    void openCommandLineFile();
    QIcon commandIcon(int index) const;

    // Commands (main_window_commands.cpp).
    void connectCommands();
    void connectFileCommands();
    void connectWindowCommands();
    void connectOtherCommands();
    void aclFileUpdate();
    void aclToolsUpdate();
    void aclWindowUpdate();
    void actFileCDSNewExecute();
    void actFileCDSOpenExecute();
    void actFileCDSCloseExecute();
    void actFileCDSCloseAllExecute();
    void actFilePrintSetupExecute();
    void actFileExitExecute();
    void actToolsOptionsExecute();
    void actToolsSearchExecute();
    void actViewBarExecute(QAction *command, QWidget *bar, settings::Key key);
    void actTrayIconShowExecute();
    void restoreFromMinimized();
    void actHelpTipsOfTheDayExecute();
    void actHelpAboutExecute();
    OptionsAccess *optionsAccess() const;
    bool optionChecked(settings::Key key, bool fallback) const;

    // Document windows and menus (main_window_documents.cpp).
    int takeUntitledNumber();
    void openOrActivate(const QString &path, bool addToRecentFiles);
    void closeAllDocumentWindows();
    bool closeQueryAll();
    void subWindowActivated();
    void mergeMenus();
    void fillWindowMenu();
    QMdiSubWindow *subWindowOf(const QWidget *window) const;

    DataModule &m_dataModule;
    PromptService &m_prompts;
    std::unique_ptr<DocumentWindowFactory> m_factory;
    QStringList m_arguments;
    QPointer<OptionsDialog> m_options;
    std::unique_ptr<OptionsAccess> m_ownOptionsAccess;
    QPointer<search::SearchWindow> m_search;
    QPointer<notes::DeleteMessageDialog> m_deleteMsg;
    std::unique_ptr<notes::RecoveryStore> m_recovery;
    const notes::RecoveryEntry *m_recoveryToOpen = nullptr;
    UrlOpener *m_urlOpener = nullptr;
    std::unique_ptr<UrlOpener> m_ownUrlOpener;
    std::unique_ptr<QPrinter> m_printer;
    mutable QList<std::shared_ptr<OptionsChildTarget>> m_childTargets;

    CommandSet m_actions;
    CommandDispatcher *m_dispatcher = nullptr;
    QMdiArea *m_mdiArea = nullptr;
    PaletteColorBinding *m_areaColors = nullptr;
    QToolBar *m_barMain = nullptr;
    QLabel *m_panel0 = nullptr;
    QLabel *m_panel1 = nullptr;
    QList<QMenu *> m_ownMenus;
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_windowListItems;
    QMenu *m_pmTrayIcon = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    std::unique_ptr<RegistryRXL> m_store;
    std::unique_ptr<MRUFileList> m_mruFileList;
    std::unique_ptr<PluginHost> m_plugins;
    MessageHook *m_hook = nullptr;
    std::unique_ptr<ExceptionHandlerScope> m_errorScope;
    CursorTable m_cursors;

    OpenDocuments m_documents;
    QString m_pendingFileName;
    bool m_shown = false;
    bool m_placementRestored = false;
    bool m_closing = false;
};

} // namespace bw
