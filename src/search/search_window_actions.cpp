// SearchWindow: New, Open, Save, Undo, Find, the navigator's buttons and
// dialogs, showing and the close query.

#include "search/search_window.h"

#include "platform/cursors.h"
#include "platform/guarded_dispatch.h"
#include "search/db_navigator.h"
#include "search/db_rich_edit.h"
#include "search/description_texts.h"
#include "search/locate_dialog.h"
#include "search/navigator_dialogs.h"
#include "search/search_grid_model.h"
#include "table/dataset_error.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QProgressDialog>
#include <QToolButton>

namespace bw::search {

namespace {
using State = dataset::ClientDataSet::State;
const QString kDefaultIndex = QStringLiteral("idxIDParentAsc");
} // namespace

void SearchWindow::updateSearchButtons()
{
    const bool open = m_table->isActive();
    const bool changed = open && m_table->changeCount() >= 1;
    navButton(QStringLiteral("wwDBNavBtnFind"))->setEnabled(open);
    navButton(QStringLiteral("wwDBNavBtnFindNext"))->setEnabled(open);
    navButton(QStringLiteral("wwDBNavBtnSave"))->setEnabled(changed);
    navButton(QStringLiteral("wwDBNavBtnCancel"))->setEnabled(changed);
    navButton(QStringLiteral("wwDBNavBtnCancelAll"))->setEnabled(changed);
}

void SearchWindow::onShow()
{
    m_edFileName->clear();
    m_isNewFile = false;
    m_modified = false;
    updateSearchButtons();
}

std::optional<PromptService::FileAnswer> SearchWindow::askFile(bool save,
                                                               const PromptService::FileRequest &r)
{
    const auto &dialog = save ? m_context.saveDialog : m_context.openDialog;
    if (dialog)
        return dialog(this, r);
    return save ? m_prompts.saveFile(this, r) : m_prompts.openFile(this, r);
}

// Both New and Open start in the ID order with the ascending marker.
void SearchWindow::afterTableOpened()
{
    m_table->setIndexName(kDefaultIndex);
    m_sortAscending = true;
    m_sortDescending = false;
    m_sortField = QStringLiteral("ID");
    m_filter = {};
    m_savedBookmark = {};
    m_model->reset();
    m_model->refreshTitles();
    m_table->first();
    syncGridToTable();
}

void SearchWindow::btnNewClick()
{
    if (!mayDiscardChanges())
        return;
    if (m_table->isActive())
        m_table->close();
    m_table->setFiltered(false);
    m_table->setFilter({});
    m_table->createDataSet();
    m_fileName.clear();
    afterTableOpened();
    m_isNewFile = true;
    m_modified = false;
    updateSearchButtons();
    updateNavigator();
}

void SearchWindow::btnBrowseClick()
{
    PromptService::FileRequest request;
    request.fileName.clear();
    request.filter = kCdsFilter;
    request.filterIndex = 1;
    request.mustExist = true;
    request.promptOverwrite = false;
    const auto answer = askFile(false, request);
    // The changes are asked about once another file is chosen to replace them.
    if (answer && !answer->fileName.isEmpty() && mayDiscardChanges()) {
        if (m_table->isActive())
            m_table->close();
        m_table->setFiltered(false);
        m_table->setFilter({});
        m_edFileName->setText(answer->fileName);
        try {
            m_table->loadFromFile(answer->fileName);
        } catch (...) {
            // The table stays closed; the box must not name a file that is not shown.
            m_edFileName->clear();
            m_fileName.clear();
            m_isNewFile = false;
            m_modified = false;
            updateSearchButtons();
            updateNavigator();
            throw;
        }
        m_fileName = answer->fileName;
        afterTableOpened();
        m_isNewFile = false;
        m_modified = false;
    }
    updateSearchButtons();
    updateNavigator();
}

void SearchWindow::saveTo(const QString &path)
{
    // The change log is merged only once the file is written: a save that
    // fails keeps Save, both Undo buttons and the question on closing.
    m_table->saveToFile(path, dataset::ClientDataSet::FileFormat::Binary);
    m_table->mergeChangeLog();
    m_fileName = path;
}

void SearchWindow::wwDBNavBtnSaveClick()
{
    // A table without a file name (a new one whose save was cancelled, kept
    // open into the next showing) asks for a name as a new one does.
    if (m_isNewFile || m_fileName.isEmpty()) {
        PromptService::FileRequest request;
        request.defaultExt = QStringLiteral("cds");
        request.filter = kCdsFilter;
        request.filterIndex = 1;
        request.fileName = QStringLiteral("NoName");
        request.mustExist = false;
        request.promptOverwrite = true;
        const auto answer = askFile(true, request);
        if (answer && !answer->fileName.isEmpty()) {
            QString path = answer->fileName;
            if (QFileInfo(path).suffix().isEmpty() && answer->filterIndex == 1)
                path += QStringLiteral(".cds");
            saveTo(path);
            m_edFileName->setText(path);
            m_isNewFile = false;
            m_modified = false;
        }
    } else {
        saveTo(m_fileName);
        m_modified = false;
    }
    updateSearchButtons();
}

void SearchWindow::wwDBNavBtnCancelClick()
{
    m_texts->clear(); // the description undone may be one of a record not shown
    m_table->undoLastChange(true);
    updateSearchButtons();
}

void SearchWindow::wwDBNavBtnCancelAllClick()
{
    m_texts->clear();
    m_table->cancelUpdates();
    m_modified = false;
    updateSearchButtons();
}

void SearchWindow::wwDBNavBtnFindClick()
{
    m_locate->execute(this, true);
}

void SearchWindow::wwDBNavBtnFindNextClick()
{
    if (m_locate->FieldValue.isEmpty()) {
        m_locate->execute(this, true);
        return;
    }
    if (!m_locate->findNext())
        m_prompts.message(this, QStringLiteral("Information"), kNoMoreMatchesFound,
                          PromptService::Icon::Information, PromptService::Ok);
}

// Before the table is closed or replaced: a pending record is posted, and
// unsaved changes (of a new table, or of an opened file) are asked about.
SearchWindow::ChangesAnswer SearchWindow::askAboutChanges()
{
    const State state = m_table->state();
    if (state == State::Edit || state == State::Insert) {
        try {
            m_table->post();
        } catch (const dataset::DataSetError &error) {
            // The record cannot be posted as it stands: keep the window and the record.
            m_prompts.message(this, windowTitle(), error.message(), PromptService::Icon::Error,
                              PromptService::Ok);
            return ChangesAnswer::Keep;
        }
    }
    // A closed table (its window closed with No) has nothing left to save.
    const bool open = m_table->isActive();
    const bool newWithChanges = open && m_isNewFile && m_modified;
    const bool openedWithChanges = open && !m_isNewFile && m_table->changeCount() > 0;
    if (!newWithChanges && !openedWithChanges)
        return ChangesAnswer::Drop;
    const QString name = m_isNewFile ? kNewFileName : m_fileName;
    const int answer = m_prompts.askSaveChanges(this, windowTitle(), name);
    if (answer == PromptService::No)
        return ChangesAnswer::Drop;
    if (answer != PromptService::Yes)
        return ChangesAnswer::Keep;
    wwDBNavBtnSaveClick();
    // A cancelled save keeps the changes (a failed one has thrown).
    const bool saved = m_table->changeCount() == 0 && !m_isNewFile;
    return saved ? ChangesAnswer::Saved : ChangesAnswer::Keep;
}

bool SearchWindow::mayDiscardChanges()
{
    const ChangesAnswer answer = askAboutChanges();
    updateSearchButtons();
    updateNavigator();
    return answer != ChangesAnswer::Keep;
}

// The mended close query: an opened file with unsaved changes is asked about
// as a new one is, with its path; Yes closes only when the save went through
// and leaves the saved table open.
bool SearchWindow::canClose()
{
    const ChangesAnswer answer = askAboutChanges();
    if (answer == ChangesAnswer::Drop)
        m_table->close();
    updateSearchButtons();
    updateNavigator();
    return answer != ChangesAnswer::Keep;
}

// ------------------------------------------------------------------ navigator

void SearchWindow::connectNavigator()
{
    for (QToolButton *button : m_navigator->buttons()) {
        const QString name = button->objectName();
        guardedConnect(button, &QToolButton::clicked, this, [this, name] {
            guarded([this, name] { navigatorClick(name); });
            updateNavigator();
        });
    }
}

void SearchWindow::navigatorClick(const QString &button)
{
    dataset::ClientDataSet &t = *m_table;
    const int page = RecordNavigator::kPageSize;
    const QString b = button.startsWith(QLatin1String("wwDBNavigator1")) ? button.mid(14) : button;
    if (b == QLatin1String("First"))
        t.first();
    else if (b == QLatin1String("PriorPage"))
        t.moveBy(-page);
    else if (b == QLatin1String("Prior"))
        t.prior();
    else if (b == QLatin1String("Next"))
        t.next();
    else if (b == QLatin1String("NextPage"))
        t.moveBy(page);
    else if (b == QLatin1String("Last"))
        t.last();
    else if (b == QLatin1String("Insert"))
        t.insert();
    else if (b == QLatin1String("Delete")) {
        if (m_prompts.message(this, windowTitle(), QStringLiteral("Delete record?"),
                              PromptService::Icon::Question,
                              PromptService::Ok | PromptService::Cancel,
                              PromptService::Ok) == PromptService::Ok)
            t.deleteRecord();
    } else if (b == QLatin1String("Edit"))
        t.edit();
    else if (b == QLatin1String("Post"))
        t.post();
    else if (b == QLatin1String("Cancel"))
        t.cancel();
    else if (b == QLatin1String("Refresh"))
        t.setIndexName(t.indexName()); // reorders and redraws every bound control
    else if (b == QLatin1String("SaveBookmark"))
        m_savedBookmark = t.bookmark();
    else if (b == QLatin1String("RestoreBookmark"))
        t.gotoBookmark(m_savedBookmark);
    else if (b == QLatin1String("FilterDialog"))
        filterDialog();
    else if (b == QLatin1String("RecordViewDialog"))
        recordViewDialog();
    else if (b == QLatin1String("LocateDialog"))
        wwDBNavBtnFindClick();
    else if (b == QLatin1String("SearchDialog"))
        lookupDialog();
    else if (b == QLatin1String("wwDBNavBtnSave"))
        wwDBNavBtnSaveClick();
    else if (b == QLatin1String("wwDBNavBtnCancel"))
        wwDBNavBtnCancelClick();
    else if (b == QLatin1String("wwDBNavBtnCancelAll"))
        wwDBNavBtnCancelAllClick();
    else if (b == QLatin1String("wwDBNavBtnFind"))
        wwDBNavBtnFindClick();
    else if (b == QLatin1String("wwDBNavBtnFindNext"))
        wwDBNavBtnFindNextClick();
}

// The descriptions of a large file stay in the file until needed: reading
// them all takes a while the first time, so the window shows how far it got
// and lets the user stop.
bool SearchWindow::readDescriptionTexts()
{
    if (!m_table->isActive())
        return true;
    const int total = m_texts->missing(*m_table);
    if (total == 0)
        return true;
    QProgressDialog progress(QStringLiteral("Reading the descriptions..."),
                             QStringLiteral("Cancel"), 0, total, this);
    progress.setObjectName(QStringLiteral("DescriptionProgress"));
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    return m_texts->read(*m_table, [&](int done, int) {
        progress.setValue(done);
        return !progress.wasCanceled();
    });
}

void SearchWindow::applyFilter(const RecordFilter &filter)
{
    if (filter.comparesDescription() && !readDescriptionTexts())
        return; // stopped: the filter stays as it was
    WaitCursor hourglass;
    m_filter = filter;
    if (filter.isEmpty()) {
        m_table->setFiltered(false);
        m_table->setFilter({});
    } else {
        m_table->setFilter(filter.predicate(m_texts));
        m_table->setFiltered(true);
    }
    if (m_table->isActive())
        m_table->first();
    m_panels[0]->update();
}

void SearchWindow::filterDialog()
{
    QStringList fields;
    for (const dataset::FieldDef &def : m_table->fieldDefs())
        fields << def.name;
    FilterDialog dialog(fields, m_filter, this);
    const int result = m_prompts.exec(&dialog);
    if (result == QDialog::Accepted)
        applyFilter(dialog.filter());
    else if (result == FilterDialog::Cleared)
        applyFilter({});
}

void SearchWindow::recordViewDialog()
{
    RecordViewDialog dialog(*m_table, m_prompts, this);
    m_prompts.exec(&dialog);
}

void SearchWindow::lookupDialog()
{
    LookupDialog dialog(*m_table, this);
    m_prompts.exec(&dialog);
}

} // namespace bw::search
