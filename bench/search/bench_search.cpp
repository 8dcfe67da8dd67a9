// Timings of the search window on a notes file of 100,000 items, each with
// a title of mixed words and a rich-text description of about 300 bytes;
// one description near the end holds the word looked for.

#include "notes/notes_table.h"
#include "platform/prompt_service.h"
#include "search/locate_dialog.h"
#include "search/search_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace bw;

namespace {

constexpr int kItems = 100000;

// Answers every question with "cancel"; only the open dialog is scripted.
class BenchPrompts : public DialogPromptService
{
public:
    QString file;
    std::optional<FileAnswer> openFile(QWidget *, const FileRequest &) override
    {
        return FileAnswer{file, 1};
    }
};

QString makeFile(const QString &folder)
{
    static const char *words[] = {"amber", "birch", "cedar", "delta",   "ember", "fjord",
                                  "grove", "heath", "inlet", "juniper", "kelp",  "larch"};
    dataset::ClientDataSet table;
    notes::defineNotesFields(table);
    dataset::ControlsDisabler disabled(table);
    table.createDataSet();
    for (int i = 0; i < kItems; ++i) {
        table.append();
        table.setFieldValue("ID", i);
        table.setFieldValue("Parent", i == 0 ? -1 : (i - 1) / 6);
        table.setFieldValue(
            "Name",
            QStringLiteral("%1 %2 %3").arg(words[(i * 7) % 12], words[(i * 5 + 3) % 12]).arg(i));
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Verdana;}}"
                         "\\viewkind4\\uc1\\pard\\f0\\fs16 Notes on item ";
        rtf += QByteArray::number(i);
        rtf += ": the quick brown fox jumps over the lazy dog, again and again, "
               "with some more words to make a description of a usual length.";
        if (i == kItems - 10)
            rtf += " Here is the Needle.";
        rtf += "\\par}";
        table.setBytes("Description", rtf);
        table.post();
    }
    table.mergeChangeLog();
    const QString path = folder + QStringLiteral("/bench.cds");
    table.saveToFile(path);
    return path;
}

// The machine may be shared: besides the wall time, the process's own CPU
// time shows what the work costs.
struct Stopwatch
{
    QElapsedTimer wall;
    std::clock_t cpu = 0;
    void restart()
    {
        wall.restart();
        cpu = std::clock();
    }
    double cpuMs() const { return double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC; }
};

double ms(Stopwatch &timer)
{
    return timer.wall.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    BenchPrompts prompts;
    prompts.file = makeFile(folder);

    search::SearchWindowContext context;
    context.prompts = &prompts;
    search::SearchWindow window(context);
    window.resize(800, 700);
    window.show();
    QApplication::processEvents();

    Stopwatch timer;
    timer.wall.start();
    timer.cpu = std::clock();
    window.btnBrowseClick();
    QApplication::processEvents();
    std::printf("open and show the grid:      %8.1f ms, cpu %7.1f ms (%d rows)\n", ms(timer),
                timer.cpuMs(), window.wwClientDataSet().recordCount());

    for (const char *step : {"Name ascending", "Name descending", "ID ascending"}) {
        timer.restart();
        window.wwDBGridTitleButtonClick(QString::fromLatin1(step).section(' ', 0, 0));
        QApplication::processEvents();
        std::printf("title click, %-16s %8.1f ms, cpu %7.1f ms\n", step, ms(timer), timer.cpuMs());
    }
    if (window.wwClientDataSet().indexName() != QLatin1String("idxIDParentAsc"))
        window.wwDBGridTitleButtonClick(QStringLiteral("ID"));

    auto &locate = window.wwLocateDialog();
    locate.FieldValue = QStringLiteral("needle");
    timer.restart();
    const bool found = locate.findFirst();
    std::printf("Find anywhere in Description: %7.1f ms, cpu %7.1f ms (found %s at ID %d)\n",
                ms(timer), timer.cpuMs(), found ? "yes" : "no",
                window.wwClientDataSet().asInteger("ID"));
    locate.FieldValue = QStringLiteral("absent word");
    timer.restart();
    locate.findFirst();
    std::printf("Find without a match:         %7.1f ms, cpu %7.1f ms\n", ms(timer), timer.cpuMs());

    QTableView *grid = window.wwDBGrid();
    QScrollBar *bar = grid->verticalScrollBar();
    timer.restart();
    for (int step = 0; step <= 100; ++step) {
        bar->setValue(bar->maximum() * step / 100);
        grid->viewport()->repaint();
    }
    std::printf("grid scrolled in 100 steps:   %7.1f ms, cpu %7.1f ms (%.2f ms a page)\n",
                ms(timer), timer.cpuMs(), ms(timer) / 101);
    window.wwClientDataSet().close();
    return 0;
}
