// Very large notes files, through the document window (run by hand, with
// QT_QPA_PLATFORM=offscreen):
//
//   bench_big_file generate N FILE   writes a notes file of N items of about
//                                    1.4 KB of RTF each (ten trees, six
//                                    children per item): 1,000,000 items
//                                    make about 1.5 GB
//   bench_big_file measure FILE      opens it in a document window three
//                                    times (each in a new process) and
//                                    prints the median CPU times: open to a
//                                    usable window, memory after open,
//                                    select an item and show its
//                                    description, insert an item, save after
//                                    one change, save with nothing changed
//   bench_big_file killed FILE [N]   N times (100): a process saving one
//                                    change after another onto FILE is
//                                    killed (SIGKILL) at a random moment;
//                                    the file must load and hold the old or
//                                    the new content whole
//
// Mind the disk. Each measuring run adds one item to the file and renames one.

#include "document/document_window.h"
#include "document/item_commands.h"
#include "document/standalone_frame_services.h"
#include "editor/rich_edit.h"
#include "notes/notes_table.h"
#include "process_figures.h"
#include "settings/registry.h"
#include "support/scripted_prompt_service.h"
#include "tree/folder_tree_link.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <sqlite3.h>

using namespace bw;
using namespace bw::notes;
using bw::dataset::ClientDataSet;

namespace {

constexpr int kRoots = 10;
constexpr int kBranching = 6;
constexpr qint64 kPositionStep = 1 << 16; // as a whole save spaces them

QByteArray rtfOf(int i)
{
    QByteArray rtf("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
                   "Verdana;}}\\viewkind4\\uc1\\pard\\f0\\fs16 ");
    while (rtf.size() < 1400)
        rtf += "Item " + QByteArray::number(i) + " holds some text \\b bold\\b0  and more. ";
    return rtf + "\\par}";
}

qint32 parentOf(int i, int perRoot)
{
    const int root = i / perRoot;
    const int local = i % perRoot;
    return local == 0 ? -1 : root * perRoot + (local - 1) / kBranching;
}

bool exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s\n", error);
    sqlite3_free(error);
    return false;
}

// The empty notes file comes from the engine; the records go in straight
// through SQLite, so that a million of them never sit in memory at once.
int generate(int count, const QString &path)
{
    {
        NotesTable empty;
        empty.cdsCommon().createDataSet();
        empty.cdsCommon().saveToFile(path, ClientDataSet::FileFormat::Binary);
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return 1;
    exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO records VALUES (?1, ?2, ?3, ?4, ?5)", -1, &insert, nullptr);
    const int perRoot = std::max(1, count / kRoots);
    for (int i = 0; i < count; ++i) {
        const QByteArray name = "Item " + QByteArray::number(i);
        const QByteArray description = rtfOf(i);
        sqlite3_bind_int64(insert, 1, qint64(i) * kPositionStep);
        sqlite3_bind_int(insert, 2, i);
        sqlite3_bind_int(insert, 3, parentOf(i, perRoot));
        sqlite3_bind_text(insert, 4, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 5, description.constData(), int(description.size()),
                          SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE)
            return 1;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const bool ok = exec(db, "COMMIT");
    sqlite3_close(db);
    std::printf("%d items written to %s (%.1f MB)\n", count, qPrintable(path),
                double(QFile(path).size()) / 1e6);
    return ok ? 0 : 1;
}

// One process: the figures of one run, as "key value" lines.
int runOnce(const QString &path)
{
    QTemporaryDir scratch;
    settings::Registry registry(scratch.filePath("registry.ini"));
    test::ScriptedPromptService prompts;
    StandaloneFrameServices frame(prompts, registry, "Software/ORV/Bench", 1);
    const long rssBefore = statusKb("VmRSS:");

    double start = cpuMs();
    auto *window = new DocumentWindow(frame, path);
    frame.addWindow(window);
    window->resize(1000, 700);
    window->show();
    QApplication::processEvents();
    std::printf("open %.3f\n", cpuMs() - start);
    ClientDataSet &table = window->cdsCommon();
    const int records = table.recordCount();
    std::printf("records %d\n", records);
    std::printf("rss_mb %.1f\n", double(statusKb("VmRSS:")) / 1024.0);
    std::printf("rss_growth_mb %.1f\n", double(statusKb("VmRSS:") - rssBefore) / 1024.0);
    qint64 nameBytes = 0;
    for (int i = 1; i <= records; ++i)
        nameBytes += table.fieldValueAt(i, kFieldName).toString().toUtf8().size();
    std::printf("names_mb %.1f\n", double(nameBytes) / 1e6);

    // Select items far apart: the tree moves the table, the editor shows the text.
    FolderTreeLink &link = ItemCommands::of(window)->link();
    QRandomGenerator random(3);
    std::vector<double> selects;
    for (int k = 0; k < 15; ++k) {
        const int id = int(random.bounded(records));
        start = cpuMs();
        link.selectNode(id);
        QApplication::processEvents();
        selects.push_back(cpuMs() - start);
        if (!window->editor()->toPlainText().contains(QStringLiteral("Item %1 ").arg(id)))
            std::fprintf(stderr, "item %d: its description is not shown\n", id);
    }
    std::sort(selects.begin(), selects.end());
    std::printf("select %.3f\n", selects[selects.size() / 2]);

    start = cpuMs();
    ItemCommands::of(window)->aclRecordExecute(ItemCommands::Insert);
    QApplication::processEvents();
    std::printf("insert %.3f\n", cpuMs() - start);
    ItemCommands::of(window)->aclRecordExecute(ItemCommands::Post);
    QApplication::processEvents();
    window->doTableCommand(DocumentWindow::TableCommand::Save); // the insert saved

    link.selectNode(records / 2);
    QApplication::processEvents();
    table.edit();
    table.setFieldValue(kFieldName, QStringLiteral("Changed at %1").arg(random.generate()));
    table.post();
    QApplication::processEvents();
    start = cpuMs();
    window->doTableCommand(DocumentWindow::TableCommand::Save);
    std::printf("save_one_change %.3f\n", cpuMs() - start);

    start = cpuMs();
    window->doTableCommand(DocumentWindow::TableCommand::Save);
    std::printf("save_unchanged %.4f\n", cpuMs() - start);
    std::fflush(stdout);
    if (!prompts.asked.isEmpty())
        std::fprintf(stderr, "%lld questions were asked\n",
                     static_cast<long long>(prompts.asked.size()));
    window->close();
    delete window;
    return 0;
}

int measure(const QString &path, const QString &program)
{
    std::map<QString, std::vector<double>> figures;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(program, {"run", path});
        child.waitForFinished(-1);
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 2)
                figures[QString::fromLatin1(parts[0])].push_back(parts[1].toDouble());
        }
    }
    const char *const units[][2] = {{"records", ""},
                                    {"open", "ms CPU"},
                                    {"rss_mb", "MB"},
                                    {"rss_growth_mb", "MB"},
                                    {"names_mb", "MB"},
                                    {"select", "ms CPU"},
                                    {"insert", "ms CPU"},
                                    {"save_one_change", "ms CPU"},
                                    {"save_unchanged", "ms CPU"}};
    for (const auto &unit : units) {
        std::vector<double> values = figures[QString::fromLatin1(unit[0])];
        if (values.empty())
            continue;
        std::sort(values.begin(), values.end());
        std::printf("%-18s median %10.3f %-7s (runs:", unit[0], values[values.size() / 2], unit[1]);
        for (double v : values)
            std::printf(" %.3f", v);
        std::printf(")\n");
    }
    return 0;
}

// --- Killed saves ---

QByteArray changedName(int version, int item)
{
    return "version " + QByteArray::number(version) + " of item " + QByteArray::number(item);
}

constexpr int kChanged[] = {7, 5003, 77777};

// Gives three items, and an appended item, the values of version 0 or 1.
void applyVersion(ClientDataSet &table, int version)
{
    for (int item : kChanged) {
        if (!table.locate(kFieldId, item))
            continue;
        table.edit();
        table.setFieldValue(kFieldName, QString::fromLatin1(changedName(version, item)));
        table.setBytes(kFieldDescription, rtfOf(item) + changedName(version, item));
        table.post();
    }
    const bool appended = table.locate(kFieldName, QStringLiteral("appended"));
    if (version == 1 && !appended) {
        table.append();
        table.setFieldValue(kFieldParent, -1);
        table.setFieldValue(kFieldName, QStringLiteral("appended"));
        table.post();
    } else if (version == 0 && appended) {
        table.deleteRecord();
    }
    table.mergeChangeLog();
}

// Saves version 1 and 0 in turn, each an in-place save of a few records.
int saveLoop(const QString &path)
{
    NotesTable notes;
    notes.loadFromFile(path);
    ClientDataSet &table = notes.cdsCommon();
    std::printf("saving\n");
    std::fflush(stdout);
    for (int version = 1;; version = 1 - version) {
        applyVersion(table, version);
        table.saveToFile(path, ClientDataSet::FileFormat::Binary);
    }
}

// The version the file holds whole, or -1.
int versionOf(const QString &path, int records)
{
    NotesTable notes;
    notes.loadFromFile(path);
    ClientDataSet &table = notes.cdsCommon();
    const bool appended = table.recordCount() == records + 1;
    if (!appended && table.recordCount() != records)
        return -1;
    const int version = appended ? 1 : 0;
    int i = 0;
    for (table.first(); i < records && !table.eof(); table.next(), ++i) {
        const bool changed =
            std::find(std::begin(kChanged), std::end(kChanged), i) != std::end(kChanged);
        const QByteArray name = changed ? changedName(version, i) : "Item " + QByteArray::number(i);
        const QByteArray description = changed ? rtfOf(i) + name : rtfOf(i);
        if (table.asInteger(kFieldId) != i || table.asString(kFieldName).toLatin1() != name ||
            table.asBytes(kFieldDescription) != description)
            return -1;
    }
    return version;
}

int killed(const QString &path, const QString &program, int trials)
{
    int records = 0;
    {
        // The file starts as version 0.
        NotesTable notes;
        notes.loadFromFile(path);
        applyVersion(notes.cdsCommon(), 0);
        notes.cdsCommon().saveToFile(path, ClientDataSet::FileFormat::Binary);
        records = notes.cdsCommon().recordCount();
    }
    QRandomGenerator random(17);
    int seen[2] = {0, 0};
    int inside = 0;
    for (int trial = 0; trial < trials; ++trial) {
        QProcess saver;
        saver.start(program, {"saveloop", path});
        if (!saver.waitForReadyRead(60000))
            return 1;
        QThread::usleep(random.bounded(200000u));
        saver.kill();
        saver.waitForFinished(-1);
        inside += QFile(path + "-journal").size() > 0;
        const int version = versionOf(path, records);
        if (version < 0) {
            std::printf("trial %d: the file holds neither version\n", trial);
            return 1;
        }
        ++seen[version];
    }
    std::printf("%d kills: old content %d, new content %d, %d inside a transaction; every "
                "file loaded whole\n",
                trials, seen[0], seen[1], inside);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString command = args.value(1);
    if (command == "generate" && args.size() == 4)
        return generate(args[2].toInt(), args[3]);
    if (command == "measure" && args.size() == 3)
        return measure(args[2], app.applicationFilePath());
    if (command == "run" && args.size() == 3)
        return runOnce(args[2]);
    if (command == "killed" && args.size() >= 3)
        return killed(args[2], app.applicationFilePath(), args.value(3, "100").toInt());
    if (command == "saveloop" && args.size() == 3)
        return saveLoop(args[2]);
    std::fprintf(stderr,
                 "usage: bench_big_file generate N FILE | measure FILE | killed FILE [N]\n");
    return 2;
}
