// Timings and peak memory of the import and the exports on 100,000 items
// with about 1 KB of RTF each (ten top-level items with 10,000 items below
// each, six children per item). Every measurement runs in a process of its
// own, so that its peak memory is its own:
//
//   build/bin/bench_io make DIR          writes DIR/big.cds and DIR/big.csv
//   build/bin/bench_io tree DIR          load + HTML tree export
//   build/bin/bench_io grid DIR          HTML grid export (load not timed)
//   build/bin/bench_io txt DIR           every item as .txt (load not timed)
//   build/bin/bench_io import DIR        import of 100,000 lines into the table
//   build/bin/bench_io import-tree DIR   the same through the folder tree, as
//                                        the document window adds them

#include "io/core/csv_import.h"
#include "io/core/html_export.h"
#include "io/core/node_export.h"
#include "notes/core/notes_table.h"
#include "notes/folder_tree_link.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <sys/resource.h>

using namespace bw;

namespace {

constexpr int kRoots = 10;
constexpr int kPerRoot = 10000;
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

void report(const char *what, qint64 ms)
{
    std::printf("%-34s %8.2f s   peak %5ld MB\n", what, ms / 1000.0, peakMegabytes());
}

void make(const QDir &dir)
{
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
    for (int i = 0; i < kRoots * kPerRoot; ++i)
        csv.write("Imported item " + QByteArray::number(i) + ";Its description, number " +
                  QByteArray::number(i) + "; with a semicolon\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_io make|tree|grid|txt|import|import-tree DIR\n");
        return 2;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    const QString file = dir.filePath("big.cds");
    const io::HtmlPage page{QStringLiteral("big.cds"), QDate::currentDate()};
    QElapsedTimer timer;
    if (mode == "make") {
        make(dir);
        return 0;
    }
    notes::NotesTable notes;
    timer.start();
    notes.loadFromFile(file);
    dataset::ClientDataSet &table = notes.cdsCommon();
    if (mode == "tree") {
        io::exportHtmlTree(table, dir.filePath("tree.htm"), page);
        report("load + HTML tree export", timer.elapsed());
    } else if (mode == "grid") {
        timer.start();
        io::exportHtmlGrid(table, dir.filePath("grid.htm"), page);
        report("HTML grid export", timer.elapsed());
    } else if (mode == "txt") {
        QDir(dir.filePath("txt")).removeRecursively();
        dir.mkpath("txt");
        io::NodeExportObserver observer;
        timer.start();
        io::exportNodes(table, dir.filePath("txt") + '/', io::kExtTxt, observer);
        report("export of all items as .txt", timer.elapsed());
    } else if (mode == "import") {
        io::TableImportTarget target(table, 0);
        io::ImportObserver observer;
        timer.start();
        io::importCsv(dir.filePath("big.csv"), target, observer);
        report("import of 100,000 lines (table)", timer.elapsed());
    } else if (mode == "import-tree") {
        notes::FolderTreeLink link(table);
        link.BuildPass();
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
        report("import of 100,000 lines (tree)", timer.elapsed());
    } else {
        std::fprintf(stderr, "unknown mode\n");
        return 2;
    }
    return 0;
}
