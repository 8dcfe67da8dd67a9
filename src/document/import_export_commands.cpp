#include "document/import_export_commands.h"

#include "document/document_window.h"
#include "document/export_dialog.h"
#include "document/frame_services.h"
#include "document/io_strings.h"
#include "document/item_commands.h"
#include "document/progress_window.h"
#include "editor/rich_edit.h"
#include "notes/notes_table.h"
#include "platform/cursors.h"
#include "transfer/csv_import.h"
#include "transfer/html_export.h"
#include "transfer/io_error.h"
#include "transfer/node_export.h"
#include "tree/folder_tree_link.h"
#include "tree/folder_tree_view.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace bw::notes {

namespace {

using State = dataset::ClientDataSet::State;

const QString kOpenNotesFile =
    QStringLiteral("%1\nThis is the notes file of an open window.\nChoose another name.");

// Stops a widget's repainting for the guard's life.
class RepaintPause
{
public:
    explicit RepaintPause(QWidget *widget)
        : m_widget(widget), m_was(widget && widget->updatesEnabled())
    {
        if (m_widget)
            m_widget->setUpdatesEnabled(false);
    }
    ~RepaintPause()
    {
        if (m_widget)
            m_widget->setUpdatesEnabled(m_was);
    }
    RepaintPause(const RepaintPause &) = delete;
    RepaintPause &operator=(const RepaintPause &) = delete;

private:
    QWidget *m_widget;
    bool m_was;
};

// Items of an import are added through the folder tree, under the item that
// was selected when the import started.
class TreeImportTarget : public io::ImportTarget
{
public:
    TreeImportTarget(FolderTreeLink &link, int parent) : m_link(link), m_parent(parent) {}
    void addItem(const QString &name) override
    {
        // The parent is gone only if something deleted it meanwhile: stop there.
        if (!m_link.model().isNode(m_parent))
            throw io::IoError(QStringLiteral("The item to import into no longer exists."));
        // Selecting every new node would enter each into the navigation
        // history and lay the view out again each time; the last one is
        // selected when the table's views resume.
        m_link.insertItem(m_parent, name, false);
    }
    void setDescription(const QString &text) override
    {
        io::setItemDescription(m_link.table(), text);
    }

private:
    FolderTreeLink &m_link;
    int m_parent;
};

class ImportProgress : public io::ImportObserver
{
public:
    explicit ImportProgress(io::ProgressWindow &window) : m_window(window) {}
    void counted(qint64 lines) override { m_window.setMaximum(lines); }
    void skipped() override { io::ProgressWindow::processMessages(); }
    void adding(const QString &name) override { m_window.setStatus(io::addingItemText(name)); }
    bool advance() override
    {
        m_window.stepIt();
        return !m_window.Cancelled;
    }

private:
    io::ProgressWindow &m_window;
};

class ExportProgress : public io::NodeExportObserver
{
public:
    ExportProgress(io::ProgressWindow &window, PromptService &prompts)
        : m_window(window), m_prompts(prompts)
    {
    }
    void exporting(const QString &fileName) override
    {
        m_window.setStatus(io::exportingItemText(fileName));
    }
    bool convert(const QString &fileName, const QString &converted) override
    {
        return m_prompts.message(
                   &m_window, io::kWarningCaption, io::conversionQuestion(fileName, converted),
                   PromptService::Icon::Warning, PromptService::Yes | PromptService::No,
                   PromptService::Yes) == PromptService::Yes;
    }
    bool advance() override
    {
        m_window.stepIt();
        return !m_window.Cancelled;
    }

private:
    io::ProgressWindow &m_window;
    PromptService &m_prompts;
};

} // namespace

ImportExportCommands::ImportExportCommands(DocumentContext &window, FrameServices &frame,
                                           FolderTreeLink &link)
    : m_window(window), m_frame(frame), m_link(link)
{
}

bool ImportExportCommands::editing() const
{
    const State state = m_window.cdsCommon().state();
    return state == State::Edit || state == State::Insert || state == State::SetKey;
}

QString ImportExportCommands::documentName() const
{
    return QFileInfo(m_window.caption()).fileName();
}

void ImportExportCommands::importCsv()
{
    if (editing() || m_link.selectedNode() == FolderTreeLink::kNoNode)
        return;
    m_frame.prompts().message(m_window.widget(), io::kInformationCaption, io::kImportFormatMessage,
                              PromptService::Icon::Information, PromptService::Ok);
    const int parent = m_link.selectedNode();
    PromptService::FileRequest request;
    request.filter = io::kImportFilter;
    request.filterIndex = 1;
    request.mustExist = true;
    request.promptOverwrite = false;
    const auto path = m_frame.executeOpenDialog(m_window.widget(), request);
    if (!path)
        return;
    // Everything below is undone once, in reverse order, however the run ends.
    dataset::ControlsDisabler suspended(m_window.cdsCommon());
    io::ProgressWindow progress(io::kImportCaption, m_window.widget());
    progress.show();
    WaitCursor hourglass;
    RepaintPause tree(m_window.itemCommands() ? m_window.itemCommands()->dbTreeView() : nullptr);
    TreeImportTarget target(m_link, parent);
    ImportProgress observer(progress);
    io::importCsv(*path, target, observer);
}

bool ImportExportCommands::askExportFolder()
{
    io::ExportDialog dialog(m_frame.prompts(), m_window.widget());
    if (m_frame.prompts().exec(&dialog) != QDialog::Accepted)
        return false;
    const QString folder = dialog.folderName();
    if (folder.isEmpty())
        return false;
    ExportFolder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    ExportExt = dialog.itemIndex() == 1 ? io::kExtRtf : io::kExtTxt;
    return true;
}

void ImportExportCommands::exportNodes()
{
    if (!askExportFolder())
        return;
    if (!QFileInfo(ExportFolder).isDir()) {
        m_frame.prompts().message(m_window.widget(), io::kErrorCaption,
                                  io::kDirectoryNotExists + ExportFolder,
                                  PromptService::Icon::Error, PromptService::Ok);
        return;
    }
    io::NodeExportResult result;
    {
        dataset::ClientDataSet &table = m_window.cdsCommon();
        WaitCursor hourglass;
        dataset::BookmarkKeeper keep(table);
        dataset::ControlsDisabler suspended(table);
        RepaintPause editor(m_window.editor());
        RepaintPause tree(m_window.itemCommands() ? m_window.itemCommands()->dbTreeView()
                                                  : nullptr);
        io::ProgressWindow progress(io::kExportCaption, m_window.widget());
        progress.setMaximum(table.recordCount());
        progress.show();
        ExportProgress observer(progress, m_frame.prompts());
        result = io::exportNodes(table, ExportFolder, ExportExt, observer);
    }
    if (result.cancelled)
        m_frame.prompts().message(m_window.widget(), io::kWarningCaption, io::kExportNotCompleted,
                                  PromptService::Icon::Warning, PromptService::Ok);
    else
        m_frame.prompts().message(m_window.widget(), io::kInformationCaption, io::kExportCompleted,
                                  PromptService::Icon::Information, PromptService::Ok);
}

std::optional<QString> ImportExportCommands::chooseOutputFile(const QString &ext,
                                                              const QString &filter)
{
    PromptService::FileRequest request;
    request.defaultExt = ext.mid(1);
    request.filter = filter;
    request.filterIndex = 1;
    request.fileName = io::proposedExportName(documentName(), ext);
    request.mustExist = false;
    request.promptOverwrite = true;
    const auto path = m_frame.executeSaveDialog(m_window.widget(), request);
    if (!path)
        return std::nullopt;
    // An export written over a notes file that is open would destroy it.
    QStringList openFiles{m_window.caption()};
    for (const DocumentWindow *window : m_frame.documentWindows())
        openFiles.append(window->caption());
    for (const QString &openFile : openFiles) {
        if (isSameFile(openFile, *path)) {
            m_frame.prompts().message(m_window.widget(), io::kErrorCaption,
                                      kOpenNotesFile.arg(*path), PromptService::Icon::Error,
                                      PromptService::Ok);
            return std::nullopt;
        }
    }
    return path;
}

void ImportExportCommands::exportHtmlGrid()
{
    const auto path = chooseOutputFile(io::kHtmlExt, io::kHtmlFilter);
    if (!path)
        return;
    WaitCursor hourglass;
    dataset::ControlsDisabler suspended(m_window.cdsCommon());
    io::exportHtmlGrid(m_window.cdsCommon(), *path,
                       {m_frame.productName(), documentName(), QDate::currentDate()});
}

void ImportExportCommands::exportHtmlTree()
{
    const auto path = chooseOutputFile(io::kHtmlExt, io::kHtmlFilter);
    if (!path)
        return;
    WaitCursor hourglass;
    dataset::ControlsDisabler suspended(m_window.cdsCommon());
    io::exportHtmlTree(m_window.cdsCommon(), *path,
                       {m_frame.productName(), documentName(), QDate::currentDate()});
}

void ImportExportCommands::exportXmlData()
{
    const auto path = chooseOutputFile(io::kXmlExt, io::kXmlFilter);
    if (!path)
        return;
    WaitCursor hourglass;
    io::exportXmlData(m_window.cdsCommon(), *path);
}

} // namespace bw::notes
