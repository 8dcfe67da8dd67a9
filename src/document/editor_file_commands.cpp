#include "document/editor_file_commands.h"

#include "document/document_context.h"
#include "document/document_strings.h"
#include "document/editor_strings.h"
#include "document/frame_services.h"
#include "document/item_commands.h"
#include "document/window_command.h"
#include "editor/rich_edit.h"
#include "files/file_checks.h"
#include "platform/guarded_dispatch.h"
#include "platform/idle_updates.h"
#include "tree/folder_tree_link.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QUrl>
#include <stdexcept>

namespace bw::notes {

namespace {

using State = dataset::ClientDataSet::State;

const char *const kTextCommands[] = {"actFileRTFSave", "actFileRTFSaveAs", "actFileRTFSendMail",
                                     "actFilePrint"};

} // namespace

EditorFileCommands::EditorFileCommands(DocumentContext &window, FrameServices &frame)
    : QObject(window.widget()), m_window(window), m_frame(frame)
{
    setObjectName(QStringLiteral("EditorFileCommands"));
    auto on = [this](const char *name, void (EditorFileCommands::*run)()) {
        connectWindowCommand(
            m_window, name, [this] { aclFileUpdate(); }, [this, run] { (this->*run)(); });
    };
    on("actFileRTFOpen", &EditorFileCommands::actFileRTFOpenExecute);
    on("actFileRTFSave", &EditorFileCommands::actFileRTFSaveExecute);
    on("actFileRTFSaveAs", &EditorFileCommands::actFileRTFSaveAsExecute);
    on("actFileRTFSaveSelected", &EditorFileCommands::actFileRTFSaveSelectedExecute);
    on("actFileRTFSendMail", &EditorFileCommands::actFileRTFSendMailExecute);
    on("actFilePrint", &EditorFileCommands::actFilePrintExecute);
    updateWhenIdle(this, [this] { aclFileUpdate(); });
    aclFileUpdate();
}

void EditorFileCommands::aclFileUpdate()
{
    const RichEdit *editor = m_window.editor();
    const bool hasText = editor->textLength() > 0;
    m_window.action(QStringLiteral("actFileRTFOpen"))->setEnabled(true);
    for (const char *name : kTextCommands)
        m_window.action(QString::fromLatin1(name))->setEnabled(hasText);
    m_window.action(QStringLiteral("actFileRTFSaveSelected"))
        ->setEnabled(editor->textCursor().hasSelection());
}

QString EditorFileCommands::selectedNodeText() const
{
    ItemCommands *items = m_window.itemCommands();
    if (!items)
        return {};
    FolderTreeLink &link = items->link();
    const int node = link.selectedNode();
    if (node == FolderTreeLink::kNoNode || !link.model().isNode(node))
        return {};
    return link.model().node(node).text;
}

// Loads a document file into the item, after asking about the item's
// unposted changes; the loaded text stays unposted.
void EditorFileCommands::actFileRTFOpenExecute()
{
    dataset::ClientDataSet &table = m_window.cdsCommon();
    if (!table.isActive())
        return;
    const State state = table.state();
    if (table.canModify() &&
        (state == State::Edit || state == State::Insert || state == State::SetKey)) {
        const int answer = m_frame.prompts().askSaveChanges(m_window.widget(), kConfirmCaption,
                                                            selectedNodeText());
        if (answer == PromptService::Yes)
            table.post();
        else if (answer == PromptService::No)
            table.cancel();
        else
            return;
    }
    PromptService::FileRequest request;
    request.caption = kOpenCaption;
    request.filter = kDocumentFilter;
    request.filterIndex = 1;
    const auto answer = m_frame.prompts().openFile(m_window.widget(), request);
    if (!answer || !m_window.ensureEditState())
        return;
    m_window.loadFileIntoEditor(answer->fileName);
    m_window.focusEditor();
    m_window.editorSelectionChange();
}

namespace {

// The item's text goes to a file under the rule of every file the window
// writes: links are followed to their end, and only a regular file (or a new
// name) there is replaced; a pipe, a device or a folder is refused.
void saveEditorTo(RichEdit *editor, const QString &path, StreamFormat format,
                  bool selectionOnly = false)
{
    editor->saveToFile(files::replaceableTarget(path), format, selectionOnly);
}

} // namespace

bool EditorFileCommands::saveAs(bool selectionOnly)
{
    PromptService::FileRequest request;
    request.caption = kSaveAsCaption;
    request.defaultExt = kDocumentDefaultExt;
    request.filter = kDocumentFilter;
    request.filterIndex = 1;
    request.fileName = selectedNodeText();
    auto chosen = m_frame.executeSaveDialog(m_window.widget(), request);
    if (!chosen || chosen->isEmpty())
        return false;
    QString path = *chosen;
    // A name typed without an extension gets the default one.
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + kDocumentDefaultExt;
    saveEditorTo(m_window.editor(), path, streamFormatForFile(path), selectionOnly);
    return true;
}

void EditorFileCommands::actFileRTFSaveAsExecute()
{
    saveAs(false);
}

void EditorFileCommands::actFileRTFSaveSelectedExecute()
{
    saveAs(true);
}

// Saves onto the file named after the item in the current folder: its RTF
// file if there is one, else its text file, else asks for a name.
void EditorFileCommands::actFileRTFSaveExecute()
{
    const QString name = selectedNodeText();
    const QString base = QDir::current().absoluteFilePath(name);
    if (!name.isEmpty()) {
        if (QFileInfo(base + QStringLiteral(".rtf")).isFile()) {
            saveEditorTo(m_window.editor(), base + QStringLiteral(".rtf"), StreamFormat::Rtf);
            return;
        }
        if (QFileInfo(base + QStringLiteral(".txt")).isFile()) {
            saveEditorTo(m_window.editor(), base + QStringLiteral(".txt"), StreamFormat::PlainText);
            return;
        }
    }
    saveAs(false);
}

QString EditorFileCommands::mailBody() const
{
    const RichEdit *editor = m_window.editor();
    QString body;
    const int lines = editor->lineCount();
    for (int line = 0; line < lines; ++line)
        body += editor->lineText(line).left(kMailLineLimit) + QStringLiteral("\r\n");
    return body;
}

// The desktop's mail program opens a new message with the document's text
// as its body, no subject and no recipients.
void EditorFileCommands::actFileRTFSendMailExecute()
{
    const QUrl url(QStringLiteral("mailto:?body=") +
                   QString::fromLatin1(QUrl::toPercentEncoding(mailBody())));
    if (!m_window.editor()->openUrl(url))
        m_frame.prompts().message(m_window.widget(), kErrorCaption, kErrorSendingMail,
                                  PromptService::Icon::Error, PromptService::Ok);
}

void EditorFileCommands::printDocument(QPrinter &printer) const
{
    printer.setDocName(selectedNodeText());
    m_window.editor()->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        throw std::runtime_error(
            QStringLiteral("\"%1\" could not be printed.").arg(printer.docName()).toStdString());
}

void EditorFileCommands::actFilePrintExecute()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setCollateCopies(true);
    // The job's title, which the print dialog also proposes as a PDF's name.
    printer.setDocName(selectedNodeText());
    if (!m_frame.prompts().print(m_window.widget(), &printer))
        return;
    printDocument(printer);
}

} // namespace bw::notes
