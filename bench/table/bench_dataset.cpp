// Timings of the table engine on 100,000 notes of about 1 KB of RTF each:
// append and post with LastID upkeep, binary and XML save and load (each also
// as a ratio to `cat FILE > /dev/null` of the same file; the load also as CPU
// time in a new process, against cat's), locate by ID on an
// index, and the peak memory of a loaded table (measured in a child process).
// With --hostile: how long the refusal of an XML packet whose one element has
// N attributes takes, for growing N (it must grow linearly with the file).

#include "notes/notes_table.h"
#include "process_figures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

using bw::dataset::ClientDataSet;
using bw::notes::NotesTable;

namespace {

constexpr int kRecords = 100000;

double seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

QByteArray rtfOf(int i)
{
    QByteArray rtf("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
                   "Verdana;}}\\viewkind4\\uc1\\pard\\f0\\fs16 ");
    while (rtf.size() < 1000)
        rtf += "Item " + QByteArray::number(i) + " holds some text \\b bold\\b0  and more. ";
    return rtf + "\\par}";
}

double catSeconds(const QString &path)
{
    const QString command = QStringLiteral("cat '%1' > /dev/null").arg(path);
    QProcess::execute("sh", {"-c", command}); // into the page cache
    QElapsedTimer timer;
    timer.start();
    QProcess::execute("sh", {"-c", command});
    return double(timer.nsecsElapsed()) / 1e9;
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU time of `cat FILE > /dev/null`, the file in the page cache.
double catCpuSeconds(const QString &path)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        const double before = cpuSeconds(RUSAGE_CHILDREN);
        cat.start("cat", {path});
        cat.waitForFinished(-1);
        best = std::min(best, cpuSeconds(RUSAGE_CHILDREN) - before);
    }
    return best;
}

// Child mode: load a file as a program just started does, and report how
// much the peak grew and the CPU time of the load.
int peakOfLoad(const QString &path)
{
    const long before = statusKb("VmRSS:");
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    NotesTable notes;
    notes.loadFromFile(path);
    const double cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    const long peak = statusKb("VmHWM:");
    std::printf("%ld %ld %d %.6f\n", before, peak, notes.cdsCommon().recordCount(), cpu);
    return 0;
}

void reportLoadAndSave(NotesTable &notes, const QString &path, const char *form)
{
    const double save = seconds(
        [&] { notes.cdsCommon().saveToFile(path, ClientDataSet::fileFormatForName(path)); });
    const double cat = catSeconds(path);
    NotesTable loaded;
    const double load = seconds([&] { loaded.loadFromFile(path); });
    const double mb = double(QFileInfo(path).size()) / 1e6;
    std::printf("%-6s file %.1f MB: save %.3f s (%.1fx cat), load %.3f s (%.1fx cat), cat %.4f s, "
                "%d records\n",
                form, mb, save, save / cat, load, load / cat, cat,
                loaded.cdsCommon().recordCount());
    const double catCpu = catCpuSeconds(path);
    std::vector<double> cpus;
    double grown = 0;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--peak", path});
        child.waitForFinished(-1);
        const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
        grown = double(numbers.value(1).toLong() - numbers.value(0).toLong()) * 1024.0;
        cpus.push_back(numbers.value(3).toDouble());
    }
    std::sort(cpus.begin(), cpus.end());
    std::printf("%-6s peak memory of load: %.1f MB over the baseline = %.2fx the file size\n", form,
                grown / 1e6, grown / double(QFileInfo(path).size()));
    std::printf("%-6s load in a new process: %.3f s CPU (median of 3) = %.1fx the CPU time of cat "
                "(%.4f s)\n",
                form, cpus[1], cpus[1] / catCpu, catCpu);
}

void benchLocate(ClientDataSet &table)
{
    QRandomGenerator random(7);
    table.setIndexName(bw::notes::kIdxIdAsc); // sorts once
    constexpr int kLocates = 100000;
    int found = 0;
    const double indexed = seconds([&] {
        for (int i = 0; i < kLocates; ++i)
            found += table.locate(bw::notes::kFieldId, int(random.bounded(kRecords)));
    });
    table.setIndexName(QString());
    constexpr int kScans = 200;
    const double scanned = seconds([&] {
        for (int i = 0; i < kScans; ++i)
            table.locate(bw::notes::kFieldId, int(random.bounded(kRecords)));
    });
    std::printf("locate ID with idxIDAsc: %.2f us each (%d found); in stored order: %.1f us each\n",
                indexed / kLocates * 1e6, found, scanned / kScans * 1e6);
}

// One ROW (or FIELD) with `count` attributes, refused before the XML parser
// reads it whole; the time must grow in step with the file, not its square.
void benchHostileXml(const QTemporaryDir &scratch)
{
    const QByteArray head = "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                            "<FIELD attrname=\"ID\" fieldtype=\"i4\"/>";
    for (const char *element : {"ROW", "FIELD"}) {
        for (int count : {10000, 100000, 1000000}) {
            QByteArray packet = head;
            packet += element == QByteArray("ROW") ? "</FIELDS></METADATA><ROWDATA><ROW" : "<FIELD";
            for (int i = 0; i < count; ++i)
                packet += " a" + QByteArray::number(i) + "=\"1\"";
            packet += "/>";
            const QString path = scratch.filePath("hostile.xml");
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return;
            file.write(packet);
            file.close();
            ClientDataSet table;
            bool refused = false;
            const double load = seconds([&] {
                try {
                    table.loadFromFile(path);
                } catch (const bw::dataset::DataSetError &) {
                    refused = true;
                }
            });
            std::printf("%-5s with %7d attributes (%5.1f MB): %s in %.4f s\n", element, count,
                        double(packet.size()) / 1e6, refused ? "refused" : "loaded", load);
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == "--peak")
        return peakOfLoad(args.value(2));
    QTemporaryDir scratch(args.size() > 1 && !args[1].startsWith("--") ? args[1] + "/bench-XXXXXX"
                                                                       : QString());
    scratch.setAutoRemove(true);
    if (args.contains("--hostile")) {
        benchHostileXml(scratch);
        return 0;
    }

    std::vector<QByteArray> descriptions;
    descriptions.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i)
        descriptions.push_back(rtfOf(i));

    NotesTable notes;
    ClientDataSet &table = notes.cdsCommon();
    table.createDataSet();
    const double append = seconds([&] {
        for (int i = 0; i < kRecords; ++i) {
            table.append(); // the ID comes from LastID + 1
            table.setFieldValue(bw::notes::kFieldParent, i == 0 ? -1 : (i - 1) / 10);
            table.setFieldValue(bw::notes::kFieldName, QStringLiteral("Item %1").arg(i));
            table.setBytes(bw::notes::kFieldDescription, descriptions[size_t(i)]);
            table.post();
        }
    });
    std::printf("append and post %d records with LastID upkeep: %.3f s (LastID = %d)\n", kRecords,
                append, notes.lastId().value_or(-1));
    descriptions.clear();
    if (args.value(1) == "--append-only")
        return 0;
    table.mergeChangeLog();

    reportLoadAndSave(notes, scratch.filePath("bench.cds"), "binary");
    reportLoadAndSave(notes, scratch.filePath("bench.xml"), "xml");
    benchLocate(table);
    return 0;
}
