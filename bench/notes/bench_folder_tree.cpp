// Timings of the folder tree on 100,000 items: ten top-level items with
// 10,000 items each below them (six children per item, depth up to 6); the
// items whose ID is a multiple of three are stored after all others, so a
// third of the parents come after their children.

#include "notes/core/notes_table.h"
#include "notes/folder_tree_link.h"
#include "notes/folder_tree_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
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
    std::stable_partition(items.begin(), items.end(), [](const Item &item) { return item.id % 3 != 0; });
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

double ms(QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void report(const char *what, double value, const char *unit, double limit)
{
    std::printf("%-44s %10.1f %-6s (limit %.0f)\n", what, value, unit, limit);
}

void run(bool withView)
{
    std::printf("--- %s\n", withView ? "with the tree view" : "model and binding only");
    NotesTable notes;
    dataset::ClientDataSet &table = notes.cdsCommon();
    fill(table);
    const size_t before = heapInUse();
    QElapsedTimer timer;
    timer.start();
    auto link = std::make_unique<FolderTreeLink>(table);
    std::unique_ptr<FolderTreeView> view;
    if (withView) {
        view = std::make_unique<FolderTreeView>(*link);
        view->resize(300, 800);
        view->show();
    }
    link->setAttached(false);
    link->setAttached(true); // the first pass
    report("first build pass", ms(timer), "ms", 1000);
    if (!withView)
        report("tree memory per node", double(heapInUse() - before) / link->model().nodeCount(),
               "bytes", 300);
    std::printf("%-44s %10d\n", "nodes", link->model().nodeCount());

    timer.restart();
    link->BuildPass();
    report("build pass that changes nothing", ms(timer), "ms", 100);

    table.locate(kFieldId, 54321);
    timer.restart();
    table.edit();
    table.setBytes(kFieldDescription, "{\\rtf1 changed}");
    table.post(); // a general change: the pass runs
    report("post from the editor with its pass", ms(timer), "ms", 100);

    const int root = link->model().findByKey(3 * kPerRoot);
    timer.restart();
    link->deleteNode(root);
    link->BuildPass();
    report("delete a subtree of 10,000 items", ms(timer), "ms", 1000);
    std::printf("%-44s %10d\n", "records left", table.recordCount());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    run(false);
    run(true);
    return 0;
}
