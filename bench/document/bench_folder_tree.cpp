// Timings of the folder tree on 100,000 items: ten top-level items with
// 10,000 items each below them (six children per item, depth up to 6); the
// items whose ID is a multiple of three are stored after all others, so a
// third of the parents come after their children.

#include "notes/notes_table.h"
#include "tree/folder_tree_link.h"
#include "tree/folder_tree_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <memory>

using namespace bw;
using namespace bw::notes;

namespace {

constexpr int kRoots = 10;
constexpr int kPerRoot = 10000;
constexpr int kBranching = 6;

struct Item
{
    qint32 id;
    qint32 parent;
};

std::vector<Item> makeItems()
{
    std::vector<Item> items;
    for (int root = 0; root < kRoots; ++root) {
        const qint32 base = root * kPerRoot;
        items.push_back({base, -1});
        for (int i = 1; i < kPerRoot; ++i)
            items.push_back({base + i, base + (i - 1) / kBranching});
    }
    std::stable_partition(items.begin(), items.end(),
                          [](const Item &item) { return item.id % 3 != 0; });
    return items;
}

void fill(dataset::ClientDataSet &table)
{
    dataset::ControlsDisabler disabled(table);
    table.createDataSet();
    for (const Item &item : makeItems()) {
        table.append();
        table.setFieldValue(kFieldId, item.id);
        table.setFieldValue(kFieldParent, item.parent);
        table.setFieldValue(kFieldName, QStringLiteral("Item %1").arg(item.id));
        table.setBytes(kFieldDescription, "{\\rtf1 text}");
        table.post();
    }
    table.mergeChangeLog();
    table.first();
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

// Wall time and the process's CPU time: on a loaded machine the CPU time is
// the figure to compare.
class Stopwatch
{
public:
    Stopwatch() { restart(); }
    void restart()
    {
        m_wall.start();
        m_cpu = cpuNs();
    }
    double wallMs() const { return double(m_wall.nsecsElapsed()) / 1e6; }
    double cpuMs() const { return double(cpuNs() - m_cpu) / 1e6; }

private:
    static qint64 cpuNs()
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }
    QElapsedTimer m_wall;
    qint64 m_cpu = 0;
};

void report(const char *what, const Stopwatch &watch, double limit)
{
    std::printf("%-44s %8.1f ms CPU %8.1f ms wall (limit %.0f)\n", what, watch.cpuMs(),
                watch.wallMs(), limit);
}

void report(const char *what, double value, const char *unit, double limit)
{
    std::printf("%-44s %8.1f %-6s (limit %.0f)\n", what, value, unit, limit);
}

// With a view, its layout and painting run from the event loop: the figures
// count them too, as the user waits for them.
void settle(const FolderTreeView *view)
{
    if (view)
        QApplication::processEvents();
}

enum class Mode { ModelOnly, View, ViewExpanded };

void run(Mode mode)
{
    const bool withView = mode != Mode::ModelOnly;
    static const char *const kTitles[] = {"model and binding only", "with the tree view",
                                          "with the tree view, every node expanded"};
    std::printf("--- %s\n", kTitles[int(mode)]);
    NotesTable notes;
    dataset::ClientDataSet &table = notes.cdsCommon();
    fill(table);
    const size_t before = heapInUse();
    Stopwatch timer;
    auto link = std::make_unique<FolderTreeLink>(table);
    std::unique_ptr<FolderTreeView> view;
    if (withView) {
        view = std::make_unique<FolderTreeView>(*link);
        view->resize(300, 800);
        view->show();
    }
    link->setAttached(false);
    link->setAttached(true); // the first pass
    settle(view.get());
    report("first build pass", timer, 1000);
    if (!withView)
        report("tree memory per node", double(heapInUse() - before) / link->model().nodeCount(),
               "bytes", 300);
    std::printf("%-44s %10d\n", "nodes", link->model().nodeCount());
    if (mode == Mode::ViewExpanded) {
        timer.restart();
        view->expandAll();
        settle(view.get());
        report("expand every node", timer, 1000);
    }

    timer.restart();
    link->buildPass();
    settle(view.get());
    report("build pass that changes nothing", timer, 100);

    table.locate(kFieldId, 54321);
    timer.restart();
    table.edit();
    table.setBytes(kFieldDescription, "{\\rtf1 changed}");
    table.post(); // a general change: the pass runs
    settle(view.get());
    report("post from the editor with its pass", timer, 100);

    const int root = link->model().findByKey(3 * kPerRoot);
    timer.restart();
    link->deleteNode(root);
    link->buildPass();
    settle(view.get());
    report("delete a subtree of 10,000 items", timer, 1000);
    std::printf("%-44s %10d\n", "records left", table.recordCount());

    timer.restart();
    table.cancelUpdates(); // a general change: the pass brings the subtree back
    settle(view.get());
    report("cancel updates with its pass", timer, 1000);
    std::printf("%-44s %10d\n", "nodes", link->model().nodeCount());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    run(Mode::ModelOnly);
    run(Mode::View);
    run(Mode::ViewExpanded);
    return 0;
}
