// Sorting and filtering in the search window on large notes files, through
// the window's own title clicks and filter (run by hand, with
// QT_QPA_PLATFORM=offscreen):
//
//   bench_search_sort_filter generate N FILE   writes a notes file of N items,
//                                              each with a name of mixed words
//                                              and a formatted description of
//                                              about 400 bytes of RTF
//   bench_search_sort_filter measure FILE      opens it in a search window
//                                              three times (each in a new
//                                              process) and prints the median
//                                              CPU times of each step
//
// Every 1000th description holds the word "needle", half of them written
// whole and half split by a change of format ("ne\b ed\b0 le").

#include "notes/notes_table.h"
#include "platform/prompt_service.h"
#include "search/record_filter.h"
#include "search/search_window.h"

#include "process_figures.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <sqlite3.h>

using namespace bw;
using bw::dataset::ClientDataSet;

namespace {

constexpr qint64 kPositionStep = 1 << 16; // as a whole save spaces them

const char *const kWords[] = {"amber",  "Birch", "cedar", "delta",  "Ember",  "fjord",
                              "grove",  "heath", "Inlet", "kelp",   "larch",  "moss",
                              "Nettle", "oak",   "pine",  "Quartz", "reed",   "sage",
                              "thorn",  "umber", "vale",  "willow", "yarrow", "Zinnia"};
constexpr int kWordCount = int(std::size(kWords));

QByteArray nameOf(QRandomGenerator &random, int i)
{
    return QByteArray(kWords[random.bounded(kWordCount)]) + ' ' +
           kWords[random.bounded(kWordCount)] + ' ' + QByteArray::number(i);
}

QByteArray rtfOf(QRandomGenerator &random, int i)
{
    QByteArray rtf(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
        "Verdana;}}{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\f0\\fs16 "
        "Notes on item ");
    rtf += QByteArray::number(i);
    rtf += ": the \\b ";
    rtf += kWords[random.bounded(kWordCount)];
    rtf += "\\b0  fox jumps over the \\cf1 lazy\\cf0  dog, again and again\\par with some ";
    rtf += kWords[random.bounded(kWordCount)];
    rtf += " words to make a description of a usual length, caf\\'e9 and ";
    rtf += kWords[random.bounded(kWordCount)];
    if (i % 1000 == 500)
        rtf += i % 2000 == 500 ? " and a needle" : " and a ne\\b ed\\b0 le";
    return rtf + ".\\par}";
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
        notes::NotesTable empty;
        empty.cdsCommon().createDataSet();
        empty.cdsCommon().saveToFile(path, ClientDataSet::FileFormat::Binary);
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return 1;
    exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO records VALUES (?1, ?2, ?3, ?4, ?5)", -1, &insert, nullptr);
    QRandomGenerator random(11);
    for (int i = 0; i < count; ++i) {
        const QByteArray name = nameOf(random, i);
        const QByteArray description = rtfOf(random, i);
        sqlite3_bind_int64(insert, 1, qint64(i) * kPositionStep);
        sqlite3_bind_int(insert, 2, i);
        sqlite3_bind_int(insert, 3, i == 0 ? -1 : (i - 1) / 6);
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

// Only the open dialog is asked; every other question is cancelled.
class BenchPrompts : public DialogPromptService
{
public:
    QString file;
    std::optional<FileAnswer> openFile(QWidget *, const FileRequest &) override
    {
        return FileAnswer{file, 1};
    }
};

// The IDs in the window's order, to tell whether an order came back.
QList<int> shownIds(ClientDataSet &table)
{
    QList<int> ids;
    ids.reserve(table.recordCount());
    for (int row = 1; row <= table.recordCount(); ++row)
        ids << table.fieldValueAt(row, notes::kFieldId).toInt();
    return ids;
}

search::RecordFilter anywhere(const QString &field, const QString &value)
{
    search::RecordFilter filter;
    filter.fields = {field};
    filter.value = value;
    filter.match = search::RecordFilter::Match::Anywhere;
    return filter;
}

// One process: the figures of one run, as "key value" lines.
int runOnce(const QString &path)
{
    BenchPrompts prompts;
    prompts.file = path;
    search::SearchWindowContext context;
    context.prompts = &prompts;
    search::SearchWindow window(context);
    window.resize(800, 700);
    window.show();
    QApplication::processEvents();
    ClientDataSet &table = window.wwClientDataSet();

    auto step = [](const char *key, const std::function<void()> &work) {
        const double start = cpuMs();
        work();
        QApplication::processEvents();
        std::printf("%s %.3f\n", key, cpuMs() - start);
        std::fflush(stdout);
    };
    step("open", [&] { window.btnBrowseClick(); });
    std::printf("records %d\n", table.recordCount());
    const QString name = notes::kFieldName;
    step("sort_name_asc", [&] { window.wwDBGridTitleButtonClick(name); });
    step("sort_name_desc", [&] { window.wwDBGridTitleButtonClick(name); });
    step("sort_id_asc", [&] { window.wwDBGridTitleButtonClick(notes::kFieldId); });
    step("sort_name_asc_again", [&] { window.wwDBGridTitleButtonClick(name); });

    const QList<int> before = shownIds(table);
    step("filter_name", [&] { window.applyFilter(anywhere(name, QStringLiteral("cedar"))); });
    std::printf("name_matches %d\n", table.recordCount());
    step("clear_filter_name", [&] { window.applyFilter({}); });
    step("filter_description",
         [&] { window.applyFilter(anywhere(notes::kFieldDescription, QStringLiteral("needle"))); });
    std::printf("description_matches %d\n", table.recordCount());
    step("clear_filter_description", [&] { window.applyFilter({}); });
    step("filter_description_again",
         [&] { window.applyFilter(anywhere(notes::kFieldDescription, QStringLiteral("NEEDLE"))); });
    step("clear_again", [&] { window.applyFilter({}); });
    std::printf("order_kept %d\n", shownIds(table) == before ? 1 : 0);
    table.close();
    return 0;
}

int measure(const QString &path, const QString &program)
{
    std::map<QString, std::vector<double>> figures;
    QStringList keys;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(program, {"run", path});
        child.waitForFinished(-1);
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 2)
                continue;
            const QString key = QString::fromLatin1(parts[0]);
            if (!keys.contains(key))
                keys << key;
            figures[key].push_back(parts[1].toDouble());
        }
    }
    for (const QString &key : keys) {
        std::vector<double> values = figures[key];
        std::sort(values.begin(), values.end());
        std::printf("%-26s median %10.1f (runs:", qPrintable(key), values[values.size() / 2]);
        for (double v : values)
            std::printf(" %.1f", v);
        std::printf(")\n");
    }
    std::printf("(times in ms of process CPU time)\n");
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
    std::fprintf(stderr, "usage: bench_search_sort_filter generate N FILE | measure FILE\n");
    return 2;
}
