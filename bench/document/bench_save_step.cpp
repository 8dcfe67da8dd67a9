// Ctrl+S in the window, as a user presses it: the key goes to the focused
// editor of a document window inside the main window, and the step ends when
// the event loop is idle again (the command's update handlers, the save, and
// whatever the window refreshes after it). Run by hand, with
// QT_QPA_PLATFORM=offscreen:
//
//   bench_save_step N [xml]   writes a notes file of N items with short
//                             descriptions (binary, or XML with "xml") into a
//                             temporary folder, opens it in the main window
//                             and prints the median CPU time of Ctrl+S with
//                             nothing changed and of Ctrl+S after one changed
//                             item, next to the time of the save alone, with
//                             the focus in the tree and in the editor
//   bench_save_step FILE      the same on a notes file (each run changes it)
//
// The file's inode and time after the unchanged presses show whether they
// wrote anything.

#include "app/data_module.h"
#include "app/main_window.h"
#include "document/document_window.h"
#include "editor/rich_edit.h"
#include "notes/notes_table.h"
#include "options/options_dialog.h"
#include "settings/registry.h"
#include "support/scripted_prompt_service.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <vector>

using namespace bw;
using namespace bw::notes;
using bw::dataset::ClientDataSet;

namespace {

constexpr int kPresses = 15;

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Ten trees, six children per item.
void generate(int count, const QString &path, ClientDataSet::FileFormat format)
{
    NotesTable notes;
    ClientDataSet &table = notes.cdsCommon();
    table.createDataSet();
    const int perRoot = std::max(1, count / 10);
    for (int i = 0; i < count; ++i) {
        const int local = i % perRoot;
        table.append();
        table.setFieldValue(kFieldId, i);
        table.setFieldValue(kFieldParent,
                            local == 0 ? -1 : (i / perRoot) * perRoot + (local - 1) / 6);
        table.setFieldValue(kFieldName, QStringLiteral("Item %1").arg(i));
        table.setFieldValue(
            kFieldDescription,
            QStringLiteral("{\\rtf1\\ansi\\deff0 Item %1 holds a line.\\par}").arg(i));
        table.post();
    }
    table.mergeChangeLog();
    table.saveToFile(path, format);
}

QByteArray inodeAndTime(const QString &path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return "gone";
    return QByteArray::number(qulonglong(info.st_ino)) + " " +
           QByteArray::number(qlonglong(info.st_mtim.tv_sec)) + "." +
           QByteArray::number(qlonglong(info.st_mtim.tv_nsec));
}

// Runs the event loop until it is about to wait for input, after the idle
// update of the commands (connected before this) has run.
void runUntilIdle()
{
    QEventLoop loop;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &loop, &QEventLoop::quit);
    loop.exec();
}

// One Ctrl+S on the focused widget, until the loop is idle again.
double pressCtrlS(QWidget *target)
{
    const double start = cpuMs();
    QTest::keyClick(target, Qt::Key_S, Qt::ControlModifier);
    runUntilIdle();
    return cpuMs() - start;
}

void measurePresses(DocumentWindow *window, QWidget *focused, const QString &path)
{
    const QByteArray before = inodeAndTime(path);
    std::vector<double> unchanged;
    for (int k = 0; k < kPresses; ++k)
        unchanged.push_back(pressCtrlS(focused));
    const QByteArray after = inodeAndTime(path);

    ClientDataSet &table = window->cdsCommon();
    std::vector<double> changed;
    std::vector<double> saveAlone;
    for (int k = 0; k < kPresses; ++k) {
        table.edit();
        table.setFieldValue(kFieldName, QStringLiteral("Changed %1").arg(k));
        table.post();
        runUntilIdle();
        changed.push_back(pressCtrlS(focused));
        table.edit();
        table.setFieldValue(kFieldName, QStringLiteral("Again %1").arg(k));
        table.post();
        runUntilIdle();
        const double start = cpuMs();
        window->doTableCommand(DocumentWindow::TableCommand::Save);
        saveAlone.push_back(cpuMs() - start);
        runUntilIdle();
    }
    std::printf("Ctrl+S, nothing changed      median %8.3f ms CPU (file %s)\n", median(unchanged),
                before == after ? "untouched" : "rewritten");
    std::printf("Ctrl+S, an item renamed      median %8.3f ms CPU\n", median(changed));
    std::printf("the save alone, one item     median %8.3f ms CPU\n", median(saveAlone));
    if (focused != window->editor())
        return;
    // As a user saves: a word typed into the item's document, not posted yet.
    std::vector<double> typed;
    for (int k = 0; k < kPresses; ++k) {
        QTest::keyClicks(focused, QStringLiteral("word "));
        runUntilIdle();
        typed.push_back(pressCtrlS(focused));
        if (table.state() != ClientDataSet::State::Browse || table.changeCount() != 0)
            std::fprintf(stderr, "the typed word was not saved\n");
    }
    std::printf("Ctrl+S, a word typed         median %8.3f ms CPU\n", median(typed));
}

int run(int count, bool xml, QString path)
{
    QTemporaryDir dir;
    double start = cpuMs();
    if (path.isEmpty()) {
        path = dir.filePath(xml ? "bench.xml" : "bench.cds");
        generate(count, path,
                 xml ? ClientDataSet::FileFormat::Xml : ClientDataSet::FileFormat::Binary);
        std::printf("%d items, %s form, %.1f MB, written in %.0f ms CPU\n", count,
                    xml ? "XML" : "binary", double(QFileInfo(path).size()) / 1e6, cpuMs() - start);
    }

    settings::Registry registry(dir.filePath("registry.ini"));
    test::ScriptedPromptService prompts;
    DataModule dataModule(prompts, &registry);
    OptionsDialog::Context context;
    context.registryRoot = "Software\\ORV\\Bramblewick 2000\\4.0.4.0";
    context.storageVersion = 4040;
    context.productName = "Bramblewick 2000";
    OptionsDialog options(prompts, context, &registry);
    MainWindow frame(dataModule, prompts);
    frame.setOptionsDialog(&options);
    options.writeImmediate(settings::Key::DisplayTipOfTheDayAtStartup_Checked, "False");
    frame.resize(1100, 800);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return 1;
    start = cpuMs();
    frame.openDocumentWindow(path);
    QApplication::processEvents();
    std::printf("opened in %.0f ms CPU\n", cpuMs() - start);
    auto *window = qobject_cast<DocumentWindow *>(frame.activeDocumentWindow());
    if (!window)
        return 1;
    std::printf("%d items in %s\n", window->cdsCommon().recordCount(),
                qPrintable(QFileInfo(path).fileName()));
    frame.activateWindow();
    if (!QTest::qWaitForWindowActive(&frame))
        std::fprintf(stderr, "the main window did not become active\n");
    // Where the keyboard is when Ctrl+S is pressed: the tree has it when the
    // window opens, the editor while the user types.
    for (QWidget *target : {window->treePane(), static_cast<QWidget *>(window->editor())}) {
        target->setFocus();
        runUntilIdle();
        QWidget *focused = QApplication::focusWidget();
        if (!focused)
            return 1;
        std::printf("-- the focus in the %s\n", target == window->treePane() ? "tree" : "editor");
        measurePresses(window, focused, path);
    }
    if (!prompts.asked.isEmpty())
        std::fprintf(stderr, "%lld questions were asked\n",
                     static_cast<long long>(prompts.asked.size()));
    frame.hide();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool isNumber = false;
    const int count = args.value(1).toInt(&isNumber);
    if (args.size() == 2 && !isNumber && QFileInfo(args[1]).isFile())
        return run(0, false, args[1]);
    if (!isNumber || count < 1 || args.size() > 3 || (args.size() == 3 && args[2] != "xml")) {
        std::fprintf(stderr, "usage: bench_save_step N [xml] | FILE\n");
        return 2;
    }
    return run(count, args.size() == 3, QString());
}
