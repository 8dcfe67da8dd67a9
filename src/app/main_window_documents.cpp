// The main window's document windows: opening (new, open, recent files,
// command line, drop), closing, the untitled numbers, the merging of the
// active window's menus into the frame's bar and the Window menu's list.

#include "app/main_window.h"

#include "app/app_strings.h"
#include "app/command_dispatcher.h"
#include "app/data_module.h"
#include "app/mru_file_list.h"
#include "app/window_arranger.h"
#include "commands/command_menus.h"
#include "document/document_window.h"
#include "document/format_commands.h"
#include "notes/notes_table.h"
#include "platform/guarded_dispatch.h"
#include "search/search_window.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>

namespace bw {

namespace {

constexpr int kDocumentImage = 1; // the New File image stands for a notes file

// The document windows' agreement to close holds for one close of the frame
// only: whichever way it ends, a window still open asks again next time.
class CloseAgreement
{
public:
    explicit CloseAgreement(DocumentWindowFactory *factory) : m_factory(factory) {}
    ~CloseAgreement()
    {
        for (const QPointer<QWidget> &window : m_asked)
            if (window && m_factory)
                m_factory->cancelCloseQuery(window);
    }
    CloseAgreement(const CloseAgreement &) = delete;
    CloseAgreement &operator=(const CloseAgreement &) = delete;

    bool ask(QWidget *window)
    {
        m_asked.append(window);
        return !m_factory || m_factory->closeQuery(window);
    }
    const QList<QPointer<QWidget>> &asked() const { return m_asked; }

private:
    DocumentWindowFactory *m_factory;
    QList<QPointer<QWidget>> m_asked;
};

} // namespace

void MainWindow::openDocumentWindow(const QString &fileName)
{
    OverrideCursor hourglass{QCursor(Qt::WaitCursor)};
    m_pendingFileName = fileName;
    // Set-up runs whether or not the window could be created.
    const auto setup = qScopeGuard([this] { setupChildActions(); });
    QWidget *window = m_factory ? m_factory->createDocumentWindow(*this, fileName) : nullptr;
    if (!window)
        return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(window);
    // The frame's Close File owns Ctrl+F4; the sub-window's own close item
    // would make the key ambiguous.
    for (QAction *item : sub->systemMenu()->actions())
        if (item->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+F4"))))
            item->setShortcuts({});
    guardedConnect(sub, &QObject::destroyed, this,
                   [this] { QTimer::singleShot(0, this, guard([this] { mergeMenus(); })); });
    if (window->windowIcon().cacheKey() == QApplication::windowIcon().cacheKey())
        sub->setWindowIcon(commandIcon(kDocumentImage));
    sub->show();
    // The window has taken the placement stored by the one closed last, when
    // there is one; otherwise it gets a size to work with.
    const notes::DocumentWindow *child = m_factory->documentWindow(window);
    if (sub->isMinimized())
        placeNewIcon(m_mdiArea, sub);
    else if (!sub->isMaximized() && !(child && child->placementRestored()))
        fitNewWindow(m_mdiArea, sub);
    m_mdiArea->setActiveSubWindow(sub);
}

std::optional<PromptService::FontAnswer>
MainWindow::executeFontDialog(QWidget *parent, const PromptService::FontAnswer &initial)
{
    return m_dataModule.fontDialogExecute(parent, initial);
}

bool MainWindow::applyDialogFont(const PromptService::FontAnswer &font)
{
    notes::DocumentWindow *window =
        m_factory ? m_factory->documentWindow(activeDocumentWindow()) : nullptr;
    notes::FormatCommands *commands = notes::FormatCommands::of(window);
    return commands && commands->fontDialogApply(font);
}

void MainWindow::setupChildActions()
{
    bw::setupChildActions(activeDocumentWindow());
}

int MainWindow::takeUntitledNumber()
{
    return m_documents.takeUntitledNumber();
}

void MainWindow::releaseUntitledNumber(int number)
{
    m_documents.releaseUntitledNumber(number);
}

void MainWindow::actFileCDSNewExecute()
{
    const int number = takeUntitledNumber();
    const QString name = loadStr(StrId::NoName) + QString::number(number);
    try {
        openDocumentWindow(name);
    } catch (...) {
        // No window took the number: it is free again.
        if (!findDocumentWindow(name))
            releaseUntitledNumber(number);
        throw;
    }
}

void MainWindow::actFileCDSOpenExecute()
{
    FileDialog *dialog = m_dataModule.openDialog();
    dialog->setTitle(QString());
    dialog->setFileName(QString());
    dialog->setFilter(loadStr(StrId::NotesFileFilter));
    dialog->setFilterIndex(1);
    if (!dialog->execute(this))
        return;
    openOrActivate(dialog->fileName(), true);
}

void MainWindow::openOrActivate(const QString &path, bool addToRecentFiles)
{
    if (QWidget *open = findDocumentWindow(path)) {
        bringToFront(open);
        return;
    }
    openDocumentWindow(path);
    if (addToRecentFiles)
        m_mruFileList->add(path);
}

// A window saved under a name chosen in the save dialog is reopened from
// the recent files as a file opened through Open File is.
void MainWindow::documentFileNamed(notes::DocumentWindow *window)
{
    m_mruFileList->add(window->caption());
}

void MainWindow::mruFileListMruItemClick(const QString &path)
{
    openOrActivate(path, false);
}

void MainWindow::mruFileListCreateMruItem(QAction *item)
{
    const QString text = item->text();
    const char *command = text == QLatin1String("&Reopen")            ? "actFileMRUReopen"
                          : text == QLatin1String("&Clear MRU List")  ? "actFileMRUClear"
                          : text == QLatin1String("&Remove Obsolete") ? "actFileMRURemove"
                                                                      : nullptr;
    if (!command)
        return;
    const QAction *source = m_actions.value(QLatin1String(command));
    item->setIcon(source->icon());
    item->setToolTip(source->toolTip());
    item->setStatusTip(source->statusTip());
}

void MainWindow::actFileCDSCloseExecute()
{
    if (QMdiSubWindow *sub = subWindowOf(activeDocumentWindow()))
        sub->close();
}

void MainWindow::actFileCDSCloseAllExecute()
{
    if (!activeDocumentWindow())
        return;
    closeAllDocumentWindows();
}

// From the least recently active window to the active one; a window whose
// user cancels its save question stays open.
void MainWindow::closeAllDocumentWindows()
{
    QList<QPointer<QMdiSubWindow>> windows;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder))
        windows.append(sub);
    for (const QPointer<QMdiSubWindow> &sub : windows)
        if (sub)
            sub->close();
}

// Closing the program: every document window is asked first, each about its
// own unsaved changes, and a cancel there ends it with nothing closed; the
// search window is asked next (changes it was told to drop stay in it if the
// program goes on). Then comes the exit question; only when both agree do the windows close,
// without asking again.
bool MainWindow::closeQueryAll()
{
    CloseAgreement agreement(m_factory.get());
    for (QWidget *window : documentWindowList())
        if (!agreement.ask(window))
            return false;
    // The search window's unsaved changes are asked about as its own close does.
    if (m_search && !m_search->mayDiscardChanges())
        return false;
    if (!canClose())
        return false;
    for (const QPointer<QWidget> &window : agreement.asked())
        if (QMdiSubWindow *sub = subWindowOf(window); sub && !sub->close())
            return false;
    return true;
}

QWidget *MainWindow::activeDocumentWindow() const
{
    return m_documents.active();
}

QList<QWidget *> MainWindow::documentWindowList() const
{
    return m_documents.windows();
}

QWidget *MainWindow::findDocumentWindow(const QString &caption) const
{
    return m_documents.find(caption);
}

QMdiSubWindow *MainWindow::subWindowOf(const QWidget *window) const
{
    return m_documents.subWindowOf(window);
}

void MainWindow::bringToFront(QWidget *window)
{
    m_documents.bringToFront(window);
}

QAction *MainWindow::findCommand(const QString &name) const
{
    if (QWidget *window = activeDocumentWindow())
        if (QAction *command = findCommands(CommandScope::Child, window).value(name))
            return command;
    return m_actions.value(name);
}

void MainWindow::createChildCommands(QObject *window)
{
    const IconSource icons = [this](int index) { return commandIcon(index); };
    const CommandSet child = bw::createCommands(CommandScope::Child, window, icons);
    if (auto *widget = qobject_cast<QWidget *>(window))
        buildMenuBar(QLatin1String(kChildMenu), lookupIn({child, m_actions}), widget, icons);
}

// The first dropped file goes to the active document window; then the
// program comes to the front.
void MainWindow::filesDropped(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    if (QWidget *window = activeDocumentWindow(); window && m_factory)
        m_factory->loadDroppedFile(window, paths.first());
    restoreFromMinimized();
}

void MainWindow::subWindowActivated()
{
    mergeMenus();
}

void MainWindow::mergeMenus()
{
    const QList<QMenu *> wanted =
        bw::mergeMenus(m_ownMenus, menuBarMenus(activeDocumentWindow(), QLatin1String(kChildMenu)));
    QList<QAction *> current;
    for (QAction *action : menuBar()->actions())
        current.append(action);
    QList<QAction *> heads;
    for (QMenu *menu : wanted)
        heads.append(menu->menuAction());
    if (current == heads)
        return;
    menuBar()->clear();
    for (QMenu *menu : wanted)
        menuBar()->addMenu(menu);
    emit menusMerged();
}

// The Window menu ends with the list of the document windows, the active
// one checked.
void MainWindow::fillWindowMenu()
{
    qDeleteAll(m_windowListItems);
    m_windowListItems.clear();
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowListItems.append(m_windowMenu->addSeparator());
    int number = 1;
    for (QMdiSubWindow *sub : windows) {
        const QString caption = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        QAction *item =
            m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption));
        item->setCheckable(true);
        item->setChecked(sub == subWindowOf(activeDocumentWindow()));
        QPointer<QMdiSubWindow> target(sub);
        guardedConnect(item, &QAction::triggered, this, [this, target] {
            if (target)
                bringToFront(target->widget());
        });
        m_windowListItems.append(item);
    }
}

QList<notes::DocumentWindow *> MainWindow::documentWindows() const
{
    QList<notes::DocumentWindow *> windows;
    for (QWidget *window : documentWindowList())
        if (auto *child = m_factory ? m_factory->documentWindow(window) : nullptr)
            windows.append(child);
    return windows;
}

void MainWindow::documentWindowClosed(notes::DocumentWindow *)
{
    QTimer::singleShot(0, this, guard([this] { mergeMenus(); }));
}

void MainWindow::activateDocumentWindow(notes::DocumentWindow *window)
{
    for (QWidget *candidate : documentWindowList())
        if (m_factory && m_factory->documentWindow(candidate) == window)
            bringToFront(candidate);
}

namespace {

// applyOptions reaches a document window through its factory.
class ChildOptions : public OptionsChildTarget
{
public:
    ChildOptions(DocumentWindowFactory &factory, QWidget *window)
        : m_factory(factory), m_window(window)
    {
    }
    void applyChildOptions(const OptionsDialog &) override
    {
        if (m_window)
            m_factory.applyOptions(m_window);
    }

private:
    DocumentWindowFactory &m_factory;
    QPointer<QWidget> m_window;
};

} // namespace

QList<OptionsChildTarget *> MainWindow::optionsChildTargets() const
{
    m_childTargets.clear();
    QList<OptionsChildTarget *> targets;
    if (!m_factory)
        return targets;
    for (QWidget *window : documentWindowList()) {
        m_childTargets.append(std::make_shared<ChildOptions>(*m_factory, window));
        targets.append(m_childTargets.last().get());
    }
    return targets;
}

} // namespace bw
