// Timings (CPU and wall clock) and peak memory of the import and the exports
// on 100,000 items with about 1 KB of RTF each (ten top-level items with
// 10,000 items below each, six children per item). Every measurement runs in
// a process of its own, so that its peak memory is its own; the peak after
// the load is printed too, so that what the export itself adds shows:
//
//   build/bin/bench_io make DIR [ITEMS]  writes DIR/big.cds and DIR/big.csv
//                                        (100,000 items and lines by default)
//   build/bin/bench_io tree DIR          load + HTML tree export
//   build/bin/bench_io grid DIR          HTML grid export (load not timed)
//   build/bin/bench_io txt DIR           every item as .txt (load not timed)
//   build/bin/bench_io txt-convert DIR   the same without writing files
//   build/bin/bench_io import DIR        import of 100,000 lines into the table
//   build/bin/bench_io import-tree DIR   the same through the folder tree, as
//                                        the document window adds them
//   build/bin/bench_io import-window DIR the Import command of a document
//                                        window of big.cds (tree view, progress
//                                        window), answers scripted
//   build/bin/bench_io import-lines DIR N       import of N short lines (a file
//                                        DIR/lines-N.csv, made when missing)
//                                        into a new notes file, as bwnotes
//                                        import-csv does; 320000 and 1000000
//                                        show how the time grows with N
//   build/bin/bench_io import-lines-tree DIR N  the same through the folder
//                                        tree, as the document window adds them

#include "document/document_window.h"
#include "document/item_commands.h"
#include "document/standalone_frame_services.h"
#include "notes/notes_table.h"
#include "scripted_prompt_service.h"
#include "settings/registry.h"
#include "transfer/csv_import.h"
#include "transfer/html_export.h"
#include "transfer/node_export.h"
#include "tree/folder_tree_link.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace bw;

namespace {

constexpr int kRoots = 10;
constexpr int kItems = 100000;
constexpr int kBranching = 6;

QByteArray rtfOfItem(int id)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
        "Verdana;}{\\f1\\fnil Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "\\viewkind4\\uc1\\pard\\f0\\fs16 ";
    rtf += "Item " + QByteArray::number(id) + " \\b bold words\\b0  and \\i italic\\i0  text. ";
    while (rtf.size() < 1000)
        rtf += "The quick brown fox jumps over the lazy dog \\cf1 in red\\cf0 .\\par ";
    return rtf + "}";
}

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

double seconds(const timeval &time)
{
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

// CPU time of the process: in our code and libraries (user), in the kernel
// (system: mostly the file system's work of creating files).
std::pair<double, double> cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

// Wall clock and CPU time from start() to report().
struct Stopwatch
{
    QElapsedTimer wall;
    std::pair<double, double> cpu;
    void start()
    {
        wall.start();
        cpu = cpuSeconds();
    }
};

long g_loadPeak = 0;

void report(const char *what, const Stopwatch &watch)
{
    const auto [user, system] = cpuSeconds();
    const double u = user - watch.cpu.first;
    const double s = system - watch.cpu.second;
    std::printf("%-34s cpu %6.2f s (user %6.2f, system %6.2f)  wall %6.2f s   peak %5ld MB "
                "(after load %5ld MB)\n",
                what, u + s, u, s, watch.wall.elapsed() / 1000.0, peakMegabytes(), g_loadPeak);
}

void make(const QDir &dir, int items)
{
    const int kPerRoot = items / kRoots;
    notes::NotesTable notes;
    dataset::ClientDataSet &table = notes.cdsCommon();
    table.createDataSet();
    for (int root = 0; root < kRoots; ++root) {
        const qint32 base = root * kPerRoot;
        for (int i = 0; i < kPerRoot; ++i) {
            table.append();
            table.setFieldValue(notes::kFieldId, base + i);
            table.setFieldValue(notes::kFieldParent, i == 0 ? -1 : base + (i - 1) / kBranching);
            table.setFieldValue(notes::kFieldName, QStringLiteral("Item %1").arg(base + i));
            table.setBytes(notes::kFieldDescription, rtfOfItem(base + i));
            table.post();
        }
    }
    table.mergeChangeLog();
    table.saveToFile(dir.filePath("big.cds"));
    QFile csv(dir.filePath("big.csv"));
    if (!csv.open(QIODevice::WriteOnly))
        qFatal("cannot write the CSV file");
    for (int i = 0; i < items; ++i)
        csv.write("Imported item " + QByteArray::number(i) + ";Its description, number " +
                  QByteArray::number(i) + "; with a semicolon\n");
}

// The Import command as the user runs it: a document window of big.cds, its
// first item selected, the format message and the file dialog answered.
int importThroughWindow(const QDir &dir)
{
    test::ScriptedPromptService prompts;
    QTemporaryDir settingsDir;
    settings::Registry registry(settingsDir.filePath("registry.ini"));
    notes::StandaloneFrameServices frame(
        prompts, registry, QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0"), 4040);
    auto *window = new notes::DocumentWindow(frame, dir.filePath("big.cds"));
    window->resize(900, 600);
    window->show();
    g_loadPeak = peakMegabytes();
    notes::ItemCommands *commands = notes::ItemCommands::of(window);
    notes::FolderTreeLink &link = commands->link();
    link.model().forEachInDisplayOrder([&](int id, int) {
        link.selectNode(id);
        return false;
    });
    prompts.answerMessage(PromptService::Ok);
    prompts.answerFile(dir.filePath("big.csv"));
    const int before = window->cdsCommon().recordCount();
    commands->aclRecordUpdate();
    Stopwatch timer;
    timer.start();
    window->action(QStringLiteral("actRecordImport"))->trigger();
    report("import of the lines (window)", timer);
    std::printf("%d items added\n", window->cdsCommon().recordCount() - before);
    delete window;
    return 0;
}

// DIR/lines-N.csv: N lines "Line i;Text of line i", made once.
QString linesFile(const QDir &dir, int lines)
{
    const QString path = dir.filePath(QStringLiteral("lines-%1.csv").arg(lines));
    if (QFile::exists(path))
        return path;
    QFile csv(path);
    if (!csv.open(QIODevice::WriteOnly))
        qFatal("cannot write the CSV file");
    QByteArray chunk;
    for (int i = 0; i < lines; ++i) {
        chunk += "Line " + QByteArray::number(i) + ";Text of line " + QByteArray::number(i) + '\n';
        if (chunk.size() > (1 << 20)) {
            csv.write(chunk);
            chunk.clear();
        }
    }
    csv.write(chunk);
    return path;
}

// N lines imported under the first item of a new notes file: straight into
// the table (bwnotes) or through the folder tree (the document window).
int importLines(const QDir &dir, int lines, bool throughTree)
{
    const QString csv = linesFile(dir, lines);
    notes::NotesTable notes;
    notes.createNewContent();
    g_loadPeak = peakMegabytes();
    dataset::ClientDataSet &table = notes.cdsCommon();
    io::ImportObserver observer;
    Stopwatch timer;
    timer.start();
    if (!throughTree) {
        io::TableImportTarget target(table, 0);
        io::importCsv(csv, target, observer);
        report("import of the lines (table)", timer);
    } else {
        notes::FolderTreeLink link(table);
        link.buildPass();
        struct Target : io::ImportTarget
        {
            notes::FolderTreeLink &link;
            int parent;
            Target(notes::FolderTreeLink &l, int p) : link(l), parent(p) {}
            void addItem(const QString &name) override { link.insertItem(parent, name); }
            void setDescription(const QString &text) override
            {
                link.table().edit();
                link.table().setBytes(notes::kFieldDescription, text.toUtf8());
                link.table().post();
            }
        } target(link, link.model().findByKey(0));
        {
            dataset::ControlsDisabler suspended(table);
            io::importCsv(csv, target, observer);
        }
        report("import of the lines (tree)", timer);
    }
    std::printf("%d items, LastID %d\n", table.recordCount(), *notes.lastId());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QByteArray first = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const bool counted = first == "make" || first.startsWith("import-lines");
    if (argc != 3 && !(argc == 4 && counted)) {
        std::fprintf(stderr, "usage: bench_io make DIR [ITEMS] | "
                             "tree|grid|txt|txt-convert|import|import-tree|import-window DIR | "
                             "import-lines|import-lines-tree DIR [LINES]\n");
        return 2;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    if (mode == "import-lines" || mode == "import-lines-tree")
        return importLines(dir, argc == 4 ? QByteArray(argv[3]).toInt() : 320000,
                           mode == "import-lines-tree");
    const QString file = dir.filePath("big.cds");
    const io::HtmlPage page{QStringLiteral("Bramblewick 2000"), QStringLiteral("big.cds"),
                            QDate::currentDate()};
    Stopwatch timer;
    if (mode == "make") {
        make(dir, argc == 4 ? QByteArray(argv[3]).toInt() : kItems);
        return 0;
    }
    if (mode == "import-window")
        return importThroughWindow(dir);
    notes::NotesTable notes;
    timer.start();
    notes.loadFromFile(file);
    g_loadPeak = peakMegabytes();
    dataset::ClientDataSet &table = notes.cdsCommon();
    if (mode == "tree") {
        io::exportHtmlTree(table, dir.filePath("tree.htm"), page);
        report("load + HTML tree export", timer);
    } else if (mode == "grid") {
        timer.start();
        io::exportHtmlGrid(table, dir.filePath("grid.htm"), page);
        report("HTML grid export", timer);
    } else if (mode == "txt") {
        QDir(dir.filePath("txt")).removeRecursively();
        dir.mkpath("txt");
        io::NodeExportObserver observer;
        timer.start();
        io::exportNodes(table, dir.filePath("txt") + '/', io::kExtTxt, observer);
        report("export of all items as .txt", timer);
    } else if (mode == "txt-convert") {
        // The conversion alone, without files: what the .txt export costs
        // beyond the file system.
        qint64 bytes = 0;
        timer.start();
        for (table.first(); !table.eof(); table.next())
            bytes += io::nodeFileBytes(table.asBytes(notes::kFieldDescription),
                                       io::NodeFileKind::PlainText)
                         .size();
        report("conversion of all items to text", timer);
        std::printf("%lld bytes of text\n", bytes);
    } else if (mode == "import") {
        io::TableImportTarget target(table, 0);
        io::ImportObserver observer;
        timer.start();
        io::importCsv(dir.filePath("big.csv"), target, observer);
        report("import of the lines (table)", timer);
    } else if (mode == "import-tree") {
        notes::FolderTreeLink link(table);
        link.buildPass();
        int parent = notes::FolderTreeLink::kNoNode;
        link.model().forEachInDisplayOrder([&](int id, int) {
            parent = id;
            return false;
        });
        struct Target : io::ImportTarget
        {
            notes::FolderTreeLink &link;
            int parent;
            Target(notes::FolderTreeLink &l, int p) : link(l), parent(p) {}
            void addItem(const QString &name) override { link.insertItem(parent, name); }
            void setDescription(const QString &text) override
            {
                link.table().edit();
                link.table().setBytes(notes::kFieldDescription, text.toUtf8());
                link.table().post();
            }
        } target(link, parent);
        io::ImportObserver observer;
        timer.start();
        {
            dataset::ControlsDisabler suspended(table);
            io::importCsv(dir.filePath("big.csv"), target, observer);
        }
        report("import of the lines (tree)", timer);
    } else {
        std::fprintf(stderr, "unknown mode\n");
        return 2;
    }
    return 0;
}
