// Saving the notes file: save, save as, save all, undo of the change log and
// the automatic save.

#include "document/document_window.h"
#include "files/file_checks.h"
#include "platform/cursors.h"

#include "document/document_strings.h"
#include "document/frame_services.h"
#include "document/recovery_copy.h"
#include "table/dataset_error.h"

#include <QApplication>
#include <QCursor>
#include <QFile>

#include <exception>
#include <sys/stat.h>
#include <utility>

namespace bw::notes {

bool DocumentWindow::doTableCommand(TableCommand command)
{
    dataset::ClientDataSet &table = cdsCommon();
    if (!table.isActive())
        return false;
    WaitCursor hourglass;
    ScopedFlag saving(m_saving);
    dataset::ControlsDisabler disabled(table);
    switch (command) {
    case TableCommand::Save:
        return saveFile();
    case TableCommand::UndoLastChange:
        table.undoLastChange(true);
        return true;
    case TableCommand::UndoAllChanges:
        table.cancelUpdates();
        return true;
    case TableCommand::SaveAs:
        checkFileStillReadable(); // before the dialog: no name could help
        return saveToChosenFile();
    }
    return false;
}

bool DocumentWindow::saveFile()
{
    // An untitled window asks for a name; once saved it has one.
    if (m_caption.startsWith(kUntitledPrefix))
        return saveToChosenFile();
    if (!mayOverwriteOwnFile())
        return false;
    return saveTo(m_caption);
}

bool DocumentWindow::saveToChosenFile()
{
    const auto path = runSaveDialog();
    if (!path || !saveTo(*path, dataset::ClientDataSet::Binding::TakeAsOwnFile))
        return false;
    takeFileName(*path);
    return true;
}

// The window goes on as the window of the file it wrote, as if it had opened
// it: the caption names it, the next save writes it, the frame finds it by
// that name and lists it among the recent files.
void DocumentWindow::takeFileName(const QString &path)
{
    if (path == m_caption)
        return;
    releaseUntitledNumber();
    m_caption = path;
    setWindowTitle(m_caption);
    m_fileStamp = files::fileStamp(m_caption);
    m_frame.documentFileNamed(this);
}

bool DocumentWindow::mayOverwriteOwnFile()
{
    const QByteArray stamp = files::fileStamp(m_caption);
    // A file that is gone, or that this window never read or wrote, is written.
    if (stamp.isEmpty() || m_fileStamp.isEmpty() || stamp == m_fileStamp)
        return true;
    // No question when Yes could not write this window's items.
    checkFileStillReadable();
    const int answer = m_frame.prompts().message(
        this, kConfirmCaption, kFileChangedOnDisk.arg(m_caption), PromptService::Icon::Warning,
        PromptService::Yes | PromptService::No, PromptService::No);
    return answer == PromptService::Yes;
}

bool DocumentWindow::saveTo(const QString &path, dataset::ClientDataSet::Binding binding)
{
    // The other window would write its own content over this one's later.
    for (DocumentWindow *other : m_frame.documentWindows()) {
        if (other != this && isSameFile(other->caption(), path)) {
            m_frame.prompts().message(this, kErrorCaption, kFileOpenElsewhere.arg(path),
                                      PromptService::Icon::Error, PromptService::Ok);
            return false;
        }
    }
    dataset::ClientDataSet &table = cdsCommon();
    // The table posts a pending edit only when a field changed: the editor's
    // document goes into its field first.
    if (m_editorModified)
        storeEditorDocument();
    // The change log is merged only once the file is written: a save that
    // fails leaves the window modified, so closing still asks about it.
    try {
        table.saveToFile(path, dataset::ClientDataSet::fileFormatForName(path), binding);
    } catch (const dataset::FileChangedError &) {
        throw dataset::FileChangedError(kFileChangedInPlace.arg(m_caption));
    }
    table.mergeChangeLog();
    if (m_recoveryCopy)
        m_recoveryCopy->saved();
    if (isSameFile(path, m_caption))
        m_fileStamp = files::fileStamp(m_caption);
    if (std::exchange(m_autoSavePaused, false))
        startAutoSaveFromSettings();
    return true;
}

void DocumentWindow::checkFileStillReadable() const
{
    try {
        m_table.cdsCommon().checkStoredValues();
    } catch (const dataset::FileChangedError &) {
        throw dataset::FileChangedError(kFileChangedInPlace.arg(m_caption));
    }
}

std::optional<QString> DocumentWindow::runSaveDialog()
{
    PromptService::FileRequest request;
    request.defaultExt = kNotesFileDefaultExt;
    request.filter = kNotesFileFilter;
    request.filterIndex = 1;
    request.fileName = m_caption;
    request.mustExist = false;
    request.promptOverwrite = true;
    // The hourglass does not belong over a dialog.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto path = m_frame.executeSaveDialog(this, request);
    QApplication::restoreOverrideCursor();
    return path;
}

void DocumentWindow::saveAll()
{
    QList<DocumentWindow *> windows = m_frame.documentWindows();
    if (windows.isEmpty())
        windows.append(this);
    // A window that cannot be saved does not keep the others from saving;
    // the first failure is raised once all had their turn.
    std::exception_ptr firstFailure;
    for (DocumentWindow *window : windows) {
        try {
            window->doTableCommand(TableCommand::Save);
        } catch (...) {
            if (!firstFailure)
                firstFailure = std::current_exception();
        }
    }
    if (firstFailure)
        std::rethrow_exception(firstFailure);
}

void DocumentWindow::onAutosaveTimeout()
{
    // A tick while this window's save dialog is still open waits for the next.
    if (m_saving)
        return;
    try {
        doTableCommand(TableCommand::Save);
    } catch (const dataset::DataSetError &error) {
        // Reported once, not at every tick: the timer rests until a save
        // succeeds. The window keeps its changes.
        m_autoSavePaused = true;
        m_autoSaveTimer.stop();
        QString reason = error.message();
        if (!reason.endsWith(QLatin1Char('.')))
            reason += QLatin1Char('.');
        throw dataset::DataSetError(kAutoSavePaused.arg(reason));
    }
}

} // namespace bw::notes
