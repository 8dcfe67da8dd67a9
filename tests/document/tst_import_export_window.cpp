// The import and export commands of a document window, run headless through
// the window's commands with every question scripted: texts, icons and
// buttons of the messages, the files asked for, the progress window, cancel,
// and the files written (the same bytes as bw_io writes for bwnotes).

#include "document/document_window.h"
#include "document/export_dialog.h"
#include "document/io_strings.h"
#include "document/item_commands.h"
#include "document/progress_window.h"
#include "document/standalone_frame_services.h"
#include "editor/rich_edit.h"
#include "folder_tree_helpers.h"
#include "io_fixture.h"
#include "platform/guarded_dispatch.h"
#include "scripted_prompt_service.h"
#include "settings/registry.h"
#include "table/dataset_error.h"
#include "transfer/html_export.h"
#include "transfer/node_export.h"
#include "tree/folder_tree_link.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include <sys/stat.h>

using namespace bw;
using namespace bw::notes;
using Icon = PromptService::Icon;

namespace {

const QString kRoot = QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0");
constexpr int kVersion = 4040;
constexpr int kNoNode = FolderTreeModel::kNoNode;

// Calls back at every step of the progress window that is shown.
class ProgressHook : public QObject
{
public:
    std::function<void(io::ProgressWindow &, qint64)> onStep;
    QStringList captions;
    int shown = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *progress = qobject_cast<io::ProgressWindow *>(watched);
        if (progress && event->type() == QEvent::Show) {
            ++shown;
            captions << progress->windowTitle();
            connect(progress, &io::ProgressWindow::stepped, this,
                    [this, progress](qint64 position) {
                        if (onStep)
                            onStep(*progress, position);
                    });
        }
        return false;
    }
};

bool progressWindowLeft()
{
    for (QWidget *widget : QApplication::allWidgets())
        if (qobject_cast<io::ProgressWindow *>(widget))
            return true;
    return false;
}

} // namespace

class tst_ImportExportWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importUnderSelectedItem();
    void importCancel();
    void importDoesNothingWhileEditing();
    void importFileDialogCancelled();
    void failedImportEndsInBrowseState_data();
    void failedImportEndsInBrowseState();
    void exportNodes_data();
    void exportNodes();
    void exportNodesMissingFolder();
    void exportNodesCancel();
    void exportNodesWriteFailure();
    void exportDialogCancelledOrEmpty_data();
    void exportDialogCancelledOrEmpty();
    void exportBrowseFillsFolder();
    void pageExports_data();
    void pageExports();
    void pageExportCancelled();
    void pageExportOntoPipeRefused_data();
    void pageExportOntoPipeRefused();
    void exportOntoOpenNotesFileRefused();

private:
    void openWindow(const QString &caption = QStringLiteral("NoName1"));
    void run(const char *command);
    int node(const QString &text) const;
    int addItem(int parent, const QString &name);
    // Scripts the export dialog: folder and kind, closed with OK.
    void answerExportDialog(const QString &folder, int kind);
    QList<test::Asked> messages() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<test::ScriptedPromptService> m_prompts;
    std::unique_ptr<StandaloneFrameServices> m_frame;
    std::unique_ptr<ProgressHook> m_hook;
    DocumentWindow *m_window = nullptr;
    ItemCommands *m_commands = nullptr;
};

void tst_ImportExportWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_registry = std::make_unique<settings::Registry>(m_dir->filePath("registry.ini"));
    m_prompts = std::make_unique<test::ScriptedPromptService>();
    m_frame = std::make_unique<StandaloneFrameServices>(*m_prompts, *m_registry, kRoot, kVersion);
    m_hook = std::make_unique<ProgressHook>();
    qApp->installEventFilter(m_hook.get());
}

void tst_ImportExportWindow::cleanup()
{
    qApp->removeEventFilter(m_hook.get());
    // Every scripted answer was used.
    QVERIFY(m_prompts->messageAnswers.isEmpty());
    QVERIFY(m_prompts->fileAnswers.isEmpty());
    QVERIFY(m_prompts->dialogAnswers.isEmpty());
    QVERIFY(m_prompts->directoryAnswers.isEmpty());
    delete m_window;
    m_window = nullptr;
    m_hook.reset();
    m_frame.reset();
    m_prompts.reset();
    m_registry.reset();
    m_dir.reset();
}

void tst_ImportExportWindow::openWindow(const QString &caption)
{
    m_window = new DocumentWindow(*m_frame, caption);
    m_frame->addWindow(m_window);
    m_window->resize(900, 600);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    m_commands = ItemCommands::of(m_window);
    QVERIFY(m_commands);
}

void tst_ImportExportWindow::run(const char *command)
{
    m_commands->aclRecordUpdate();
    QAction *action = m_window->action(QString::fromLatin1(command));
    QVERIFY(action->isEnabled());
    action->trigger();
}

int tst_ImportExportWindow::node(const QString &text) const
{
    return test::nodeWithText(m_commands->link().model(), text);
}

int tst_ImportExportWindow::addItem(int parent, const QString &name)
{
    return test::addNamedItem(m_commands->link(), parent, name);
}

void tst_ImportExportWindow::answerExportDialog(const QString &folder, int kind)
{
    m_prompts->answerDialog([folder, kind](QDialog *dialog) {
        auto *form = qobject_cast<io::ExportDialog *>(dialog);
        if (!form || form->windowTitle() != QLatin1String("Export") || !form->rbTxt->isChecked() ||
            !form->edFolderName->isReadOnly() || !form->edFolderName->text().isEmpty())
            return int(QDialog::Rejected);
        form->edFolderName->setText(folder);
        form->setItemIndex(kind);
        return int(QDialog::Accepted);
    });
}

QList<test::Asked> tst_ImportExportWindow::messages() const
{
    QList<test::Asked> result;
    for (const test::Asked &asked : m_prompts->asked)
        if (asked.kind == QLatin1String("message"))
            result.append(asked);
    return result;
}

void tst_ImportExportWindow::importUnderSelectedItem()
{
    openWindow();
    const int first = node(QStringLiteral("This Is Your First Item"));
    const int other = addItem(kNoNode, QStringLiteral("Other"));
    FolderTreeLink &link = m_commands->link();
    link.selectNode(first);
    const QString csv = m_dir->filePath("items.csv");
    QVERIFY(test::writeAll(csv, "Äpfel;rot und grün\r\n\r\nA;b;c\n;skipped\nPears;\n"));
    m_prompts->answerMessage(PromptService::Ok);
    m_prompts->answerFile(csv);
    QStringList statuses;
    m_hook->onStep = [&](io::ProgressWindow &progress, qint64 position) {
        statuses << progress.status();
        QCOMPARE(progress.ProgressBar1->maximum() > 0, true);
        QVERIFY(progress.isVisible());
        // Another selection while the import runs changes nothing.
        if (position == 1)
            link.selectNode(other);
    };
    run("actRecordImport");

    const QList<test::Asked> shown = messages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, QStringLiteral("Your text file must have the flowing format:  "
                                           "Name;Description"));
    QCOMPARE(shown[0].icon, Icon::Information);
    QCOMPARE(shown[0].buttons, int(PromptService::Ok));
    QCOMPARE(m_prompts->count("open"), 1);
    const test::Asked &open = m_prompts->asked.last();
    QCOMPARE(open.file.filter, QStringLiteral("Comma Separated Values (*.csv)|*.csv|Text Files "
                                              "(*.txt)|*.txt|All Files (*.*)|*.*"));
    QCOMPARE(open.file.filterIndex, 1);
    QCOMPARE(m_hook->captions, QStringList{"Import"});
    QCOMPARE(statuses, (QStringList{"Adding Item Äpfel", "Adding Item A", "Adding Item ",
                                    "Adding Item Pears"}));
    QVERIFY(!progressWindowLeft());
    QVERIFY(!QApplication::overrideCursor());

    const FolderTreeModel &model = link.model();
    QCOMPARE(model.children(first).size(), size_t(3));
    dataset::ClientDataSet &table = m_window->cdsCommon();
    // The last item added is current, and its node is the one selected.
    QCOMPARE(table.state(), dataset::ClientDataSet::State::Browse);
    QCOMPARE(table.asString(kFieldName), QStringLiteral("Pears"));
    QCOMPARE(link.selectedNode(), node(QStringLiteral("Pears")));
    const qint32 firstKey = model.node(first).key;
    for (const auto &[name, description] : QList<QPair<QString, QByteArray>>{
             {"Äpfel", "rot und grün"}, {"A", "b;c"}, {"Pears", ""}}) {
        const int id = node(name);
        QVERIFY2(id != kNoNode, qPrintable(name));
        QCOMPARE(model.node(id).parent, first);
        QVERIFY(table.locate(kFieldId, model.node(id).key));
        QCOMPARE(table.asInteger(kFieldParent), firstKey);
        QCOMPARE(table.asBytes(kFieldDescription), description);
    }
    QVERIFY(model.children(other).empty());
}

void tst_ImportExportWindow::importCancel()
{
    openWindow();
    const QString csv = m_dir->filePath("items.csv");
    QVERIFY(test::writeAll(csv, "one;1\ntwo;2\nthree;3\nfour;4\n"));
    m_prompts->answerMessage(PromptService::Ok);
    m_prompts->answerFile(csv);
    m_hook->onStep = [](io::ProgressWindow &progress, qint64 position) {
        if (position == 2)
            progress.btnCancel->click();
    };
    const int before = m_window->cdsCommon().recordCount();
    run("actRecordImport");
    QCOMPARE(m_window->cdsCommon().recordCount(), before + 2);
    QVERIFY(node("two") != kNoNode);
    QCOMPARE(node("three"), kNoNode);
    QCOMPARE(messages().size(), 1); // the format message only: no word about the cancel
    QVERIFY(!progressWindowLeft());
}

void tst_ImportExportWindow::importDoesNothingWhileEditing()
{
    openWindow();
    m_window->cdsCommon().edit();
    m_commands->aclRecordUpdate();
    QVERIFY(!m_window->action("actRecordImport")->isEnabled());
    m_commands->aclRecordExecute(ItemCommands::Import);
    QVERIFY(m_prompts->asked.isEmpty());
}

void tst_ImportExportWindow::importFileDialogCancelled()
{
    openWindow();
    m_prompts->answerMessage(PromptService::Ok);
    m_prompts->cancelFile();
    const int before = m_window->cdsCommon().recordCount();
    run("actRecordImport");
    QCOMPARE(m_window->cdsCommon().recordCount(), before);
    QCOMPARE(m_hook->shown, 0);
}

void tst_ImportExportWindow::failedImportEndsInBrowseState_data()
{
    QTest::addColumn<int>("refused"); // the state whose post fails
    QTest::addColumn<bool>("firstKept");
    QTest::newRow("adding the item") << int(dataset::ClientDataSet::State::Insert) << false;
    QTest::newRow("its description") << int(dataset::ClientDataSet::State::Edit) << true;
}

// Given a table whose post fails (as when a before-post handler stops it),
// when an import adds an item, then the import stops with that error and the
// table is back in browse state, the record as it was before the failed post.
void tst_ImportExportWindow::failedImportEndsInBrowseState()
{
    QFETCH(int, refused);
    QFETCH(bool, firstKept);
    openWindow();
    m_commands->link().selectNode(node(QStringLiteral("This Is Your First Item")));
    const QString csv = m_dir->filePath("items.csv");
    QVERIFY(test::writeAll(csv, "one;first\ntwo;second\n"));
    m_prompts->answerMessage(PromptService::Ok);
    m_prompts->answerFile(csv);
    dataset::ClientDataSet &table = m_window->cdsCommon();
    QObject refusal;
    connect(&table, &dataset::ClientDataSet::beforePost, &refusal, [&table, refused] {
        if (int(table.state()) == refused)
            throw dataset::DataSetError(QStringLiteral("Post refused"));
    });
    QStringList errors;
    ExceptionHandlerScope handler(
        [&](std::exception_ptr error) { errors << exceptionText(error); });
    run("actRecordImport");
    QCOMPARE(errors, QStringList{"Post refused"});
    QCOMPARE(table.state(), dataset::ClientDataSet::State::Browse);
    QCOMPARE(node("one") != kNoNode, firstKept);
    QCOMPARE(node("two"), kNoNode);
    QVERIFY(!progressWindowLeft());
    QVERIFY(!QApplication::overrideCursor());
}

void tst_ImportExportWindow::exportNodes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("ext");
    QTest::newRow("txt") << 0 << ".txt";
    QTest::newRow("rtf") << 1 << ".rtf";
}

void tst_ImportExportWindow::exportNodes()
{
    QFETCH(int, kind);
    QFETCH(QString, ext);
    openWindow();
    const int first = node(QStringLiteral("This Is Your First Item"));
    addItem(first, QStringLiteral("a/b"));
    addItem(first, QStringLiteral("Čaj"));
    m_commands->link().selectNode(first);
    dataset::ClientDataSet &table = m_window->cdsCommon();
    const qint32 current = table.asInteger(kFieldId);
    const QString folder = m_dir->filePath("out");
    QVERIFY(QDir().mkpath(folder));
    answerExportDialog(folder, kind);
    m_prompts->answerMessage(PromptService::Yes); // convert a/b
    m_prompts->answerMessage(PromptService::Ok);  // completed
    run("actRecordExportNodes");

    const QList<test::Asked> shown = messages();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].text, io::conversionQuestion("a/b" + ext, "ab" + ext));
    QCOMPARE(shown[0].icon, Icon::Warning);
    QCOMPARE(shown[0].buttons, int(PromptService::Yes | PromptService::No));
    QCOMPARE(shown[1].text, QStringLiteral("Export is completed."));
    QCOMPARE(shown[1].icon, Icon::Information);
    QCOMPARE(m_hook->captions, QStringList{"Export"});
    QStringList files = QDir(folder).entryList(QDir::Files);
    files.sort();
    QCOMPARE(files, (QStringList{"This Is Your First Item" + ext, "ab" + ext, "Čaj" + ext}));
    // The same bytes as the library (and bwnotes) write.
    table.first();
    QCOMPARE(test::readAll(folder + "/This Is Your First Item" + ext),
             io::nodeFileBytes(table.asBytes(kFieldDescription), io::nodeFileKind(ext)));
    QCOMPARE(table.state(), dataset::ClientDataSet::State::Browse);
    QCOMPARE(m_commands->link().selectedNode(), first);
    QCOMPARE(m_window->cdsCommon().asInteger(kFieldId), current);
    QVERIFY(!progressWindowLeft());
}

void tst_ImportExportWindow::exportNodesMissingFolder()
{
    openWindow();
    const QString folder = m_dir->filePath("gone");
    answerExportDialog(folder, 0);
    m_prompts->answerMessage(PromptService::Ok);
    run("actRecordExportNodes");
    const QList<test::Asked> shown = messages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, "Directory Not Exists: " + folder + "/");
    QCOMPARE(shown[0].icon, Icon::Error);
    QCOMPARE(m_hook->shown, 0);
}

void tst_ImportExportWindow::exportNodesCancel()
{
    openWindow();
    const int first = node(QStringLiteral("This Is Your First Item"));
    addItem(first, QStringLiteral("Second"));
    addItem(first, QStringLiteral("Third"));
    const QString folder = m_dir->filePath("out");
    QVERIFY(QDir().mkpath(folder));
    answerExportDialog(folder, 0);
    m_prompts->answerMessage(PromptService::Ok);
    m_hook->onStep = [](io::ProgressWindow &progress, qint64 position) {
        if (position == 1)
            progress.btnCancel->click();
    };
    run("actRecordExportNodes");
    const QList<test::Asked> shown = messages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, QStringLiteral("Export is not completed."));
    QCOMPARE(shown[0].icon, Icon::Warning);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1); // written before the cancel
    QVERIFY(!progressWindowLeft());
}

void tst_ImportExportWindow::exportNodesWriteFailure()
{
    // Given a folder in which a directory stands where the second item's file goes,
    openWindow();
    const int first = node(QStringLiteral("This Is Your First Item"));
    addItem(first, QStringLiteral("Second"));
    addItem(first, QStringLiteral("Third"));
    m_commands->link().selectNode(first);
    const qint32 current = m_window->cdsCommon().asInteger(kFieldId);
    const QString folder = m_dir->filePath("out");
    QVERIFY(QDir().mkpath(folder + "/Second.txt"));
    answerExportDialog(folder, 0);
    QStringList errors;
    ExceptionHandlerScope handler(
        [&](std::exception_ptr error) { errors << exceptionText(error); });
    // when the items are exported,
    run("actRecordExportNodes");
    // then the error is reported once, after the clean-up, and no completion is claimed.
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(folder + "/Second.txt"), qPrintable(errors[0]));
    QVERIFY(messages().isEmpty());
    QVERIFY(QFile::exists(folder + "/This Is Your First Item.txt"));
    QVERIFY(!QFile::exists(folder + "/Third.txt"));
    QVERIFY(!progressWindowLeft());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(m_window->editor()->updatesEnabled());
    QCOMPARE(m_window->cdsCommon().state(), dataset::ClientDataSet::State::Browse);
    QCOMPARE(m_window->cdsCommon().asInteger(kFieldId), current);
    QCOMPARE(m_commands->link().selectedNode(), first);
}

void tst_ImportExportWindow::exportDialogCancelledOrEmpty_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("cancelled") << false;
    QTest::newRow("OK without a folder") << true;
}

void tst_ImportExportWindow::exportDialogCancelledOrEmpty()
{
    QFETCH(bool, accept);
    openWindow();
    m_prompts->answerDialog(
        [accept](QDialog *) { return int(accept ? QDialog::Accepted : QDialog::Rejected); });
    run("actRecordExportNodes");
    QCOMPARE(m_prompts->asked.size(), 1); // the dialog, and nothing after it
    QCOMPARE(m_prompts->asked[0].kind, QStringLiteral("exec"));
    QCOMPARE(m_prompts->asked[0].caption, QStringLiteral("Export"));
}

void tst_ImportExportWindow::exportBrowseFillsFolder()
{
    io::ExportDialog dialog(*m_prompts);
    m_prompts->directoryAnswers.enqueue(m_dir->path());
    dialog.btnBrowse->click();
    QCOMPARE(dialog.edFolderName->text(), m_dir->path());
    QCOMPARE(m_prompts->asked.last().caption, QStringLiteral("Browse For Folder"));
    QCOMPARE(m_prompts->asked.last().text, QStringLiteral("Choose a Folder:"));
    m_prompts->directoryAnswers.enqueue(std::nullopt);
    dialog.btnBrowse->click(); // cancelled: the folder stays
    QCOMPARE(dialog.edFolderName->text(), m_dir->path());
    QVERIFY(dialog.btnOk->isDefault());
    QCOMPARE(dialog.btnOk->text(), QStringLiteral("Ok"));
    QCOMPARE(dialog.rbTxt->text(), QStringLiteral(".TXT (as Text File)"));
    QCOMPARE(dialog.rbRtf->text(), QStringLiteral(".RTF (as Rich Text)"));
}

void tst_ImportExportWindow::pageExports_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("defaultExt");
    QTest::addColumn<QString>("filter");
    const QString html = "HTML Document (*.htm;*.html)|*.htm;*.html|All Files (*.*)|*.*";
    QTest::newRow("grid") << "actRecordExportHtmlGrid"
                          << "NoName1.htm"
                          << "htm" << html;
    QTest::newRow("tree") << "actRecordExportHtmlTree"
                          << "NoName1.htm"
                          << "htm" << html;
    QTest::newRow("xml") << "actRecordExportXmlData"
                         << "NoName1.xml"
                         << "xml"
                         << "XML Document (*.xml)|*.xml|All Files (*.*)|*.*";
}

void tst_ImportExportWindow::pageExports()
{
    QFETCH(QString, command);
    QFETCH(QString, proposed);
    // The pages are signed with the program's product name, here another one.
    m_frame = std::make_unique<StandaloneFrameServices>(
        *m_prompts, *m_registry, QStringLiteral("Software\\ORV\\Other Notes 3\\1.0.0.0"), kVersion);
    openWindow();
    addItem(node(QStringLiteral("This Is Your First Item")), QStringLiteral("<Ünïcode & co>"));
    dataset::ClientDataSet &table = m_window->cdsCommon();
    const int changes = table.changeCount();
    const qint32 current = table.asInteger(kFieldId);
    const QString path = m_dir->filePath("page");
    m_prompts->answerFile(path);
    run(command.toLatin1().constData());

    QCOMPARE(m_prompts->asked.size(), 1);
    const PromptService::FileRequest &request = m_prompts->asked[0].file;
    QCOMPARE(m_prompts->asked[0].kind, QStringLiteral("save"));
    QCOMPARE(request.fileName, proposed);
    QTEST(request.defaultExt, "defaultExt");
    QTEST(request.filter, "filter");
    QCOMPARE(request.filterIndex, 1);
    QVERIFY(request.promptOverwrite);
    QCOMPARE(table.changeCount(), changes); // nothing merged, the window stays changed
    QCOMPARE(table.asInteger(kFieldId), current);
    const io::HtmlPage page{QStringLiteral("Other Notes 3"), QStringLiteral("NoName1"),
                            QDate::currentDate()};
    const QString expected = m_dir->filePath("expected");
    if (command.endsWith("Grid"))
        io::exportHtmlGrid(table, expected, page);
    else if (command.endsWith("Tree"))
        io::exportHtmlTree(table, expected, page);
    else
        io::exportXmlData(table, expected);
    QCOMPARE(test::readAll(path), test::readAll(expected));
    if (!command.endsWith("XmlData"))
        QVERIFY(test::readAll(path).contains("<TITLE>Other Notes 3 - NoName1</TITLE>"));
    if (command.endsWith("Tree"))
        QVERIFY(QFile::exists(m_dir->filePath("tv_Sist_ingen.gif")));
    if (command.endsWith("XmlData")) {
        NotesTable loaded;
        loaded.loadFromFile(path);
        QCOMPARE(loaded.cdsCommon().recordCount(), table.recordCount());
    }
}

void tst_ImportExportWindow::pageExportCancelled()
{
    openWindow();
    m_prompts->cancelFile();
    run("actRecordExportHtmlGrid");
    QCOMPARE(m_prompts->count("save"), 1);
    QCOMPARE(QDir(m_dir->path()).entryList({"*.htm", "*.gif"}, QDir::Files), QStringList());
}

void tst_ImportExportWindow::pageExportOntoPipeRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("grid") << "actRecordExportHtmlGrid";
    QTest::newRow("tree") << "actRecordExportHtmlTree";
    QTest::newRow("xml") << "actRecordExportXmlData";
}

void tst_ImportExportWindow::pageExportOntoPipeRefused()
{
    // Given a pipe under the name chosen for a page export, the export is
    // refused with one error naming it, and the pipe stays a pipe.
    QFETCH(QString, command);
    openWindow();
    const QString path = m_dir->filePath("pipe.htm");
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    m_prompts->answerFile(path);
    QStringList errors;
    ExceptionHandlerScope handler(
        [&](std::exception_ptr error) { errors << exceptionText(error); });
    run(command.toLatin1().constData());
    QCOMPARE(errors, QStringList{"Cannot write the file " + path + ": it is not a regular file"});
    QVERIFY(messages().isEmpty());
    struct stat info;
    QVERIFY(::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
}

void tst_ImportExportWindow::exportOntoOpenNotesFileRefused()
{
    // Given a window of a saved notes file,
    const QString path = m_dir->filePath("work.cds");
    {
        NotesTable notes;
        notes.createNewContent();
        notes.cdsCommon().mergeChangeLog();
        notes.cdsCommon().saveToFile(path);
    }
    const QByteArray before = test::readAll(path);
    openWindow(path);
    // when a page export is asked to write over it,
    m_prompts->answerFile(path);
    m_prompts->answerMessage(PromptService::Ok);
    run("actRecordExportHtmlGrid");
    // then it is refused and the notes file stays.
    QCOMPARE(m_prompts->asked[0].file.fileName, QStringLiteral("work.htm"));
    const QList<test::Asked> shown = messages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].icon, Icon::Error);
    QVERIFY(shown[0].text.startsWith(path + "\n"));
    QCOMPARE(test::readAll(path), before);
}

QTEST_MAIN(tst_ImportExportWindow)
#include "tst_import_export_window.moc"
