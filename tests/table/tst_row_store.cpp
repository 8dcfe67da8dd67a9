// The table engine's record storage: order, positions by id, and the
// contiguous form handed to the file writers, checked against a plain vector.

#include "table/row_store.h"

#include <QRandomGenerator>
#include <QTest>

using bw::dataset::Cell;
using bw::dataset::Row;
using bw::dataset::RowStore;

namespace {

Row makeRow(quint64 id)
{
    Cell cell;
    cell.null = false;
    cell.number = qint32(id);
    cell.data = QByteArray::number(id * 7);
    return Row{id, {cell}};
}

std::vector<Row> makeRows(quint64 firstId, int count)
{
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(makeRow(firstId + quint64(i)));
    return rows;
}

// The store holds exactly the ids of `expected`, in that order, each with
// its own cells and found at its position.
bool sameAs(const RowStore &store, const std::vector<quint64> &expected)
{
    if (store.size() != expected.size())
        return false;
    for (size_t pos = 0; pos < expected.size(); ++pos) {
        const Row &row = store[pos];
        if (row.id != expected[pos] || row.cells.size() != 1 ||
            row.cells[0] != makeRow(row.id).cells[0] || store.positionOf(row.id) != int(pos))
            return false;
    }
    return true;
}

} // namespace

class tst_RowStore : public QObject
{
    Q_OBJECT

private slots:
    // Runs of takes and inserts as the table makes them, compared after each
    // step with a vector that does the same.
    void editsMatchVector_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("initial");
        QTest::newRow("deletes walking forward") << "forward" << 300;
        QTest::newRow("deletes walking backward") << "backward" << 300;
        QTest::newRow("random takes and inserts") << "random" << 200;
        QTest::newRow("appends to an empty store") << "append" << 0;
        QTest::newRow("undo of deletes, newest first") << "undo" << 300;
    }

    void editsMatchVector()
    {
        QFETCH(QString, pattern);
        QFETCH(int, initial);
        constexpr quint64 kFirstId = 1000;
        RowStore store;
        store.assign(makeRows(kFirstId, initial), kFirstId);
        std::vector<quint64> expected;
        for (int i = 0; i < initial; ++i)
            expected.push_back(kFirstId + quint64(i));
        quint64 nextId = kFirstId + quint64(initial);
        QRandomGenerator random(42);
        std::vector<std::pair<size_t, quint64>> taken; // position, id
        auto take = [&](size_t pos) {
            const Row row = store.take(pos);
            QCOMPARE(row.id, expected[pos]);
            QCOMPARE(store.positionOf(row.id), -1);
            taken.emplace_back(pos, row.id);
            expected.erase(expected.begin() + qsizetype(pos));
        };
        auto insert = [&](size_t pos, quint64 id) {
            store.insert(pos, makeRow(id));
            expected.insert(expected.begin() + qsizetype(pos), id);
        };
        for (int step = 0; step < 150; ++step) {
            if (pattern == "forward" || pattern == "undo") {
                take(size_t(step)); // every other record, front to back
            } else if (pattern == "backward") {
                take(expected.size() - 1 - size_t(step % 3));
            } else if (pattern == "append") {
                insert(expected.size(), nextId++);
            } else if (!expected.empty() && random.bounded(2) == 0) {
                take(random.bounded(quint32(expected.size())));
            } else {
                insert(random.bounded(quint32(expected.size() + 1)), nextId++);
            }
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(sameAs(store, expected), qPrintable(QStringLiteral("step %1").arg(step)));
        }
        if (pattern == "undo") {
            for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
                insert(it->first, it->second);
                QVERIFY(sameAs(store, expected));
            }
            QCOMPARE(int(store.size()), initial);
        }
        const std::vector<Row> &rows = store.contiguous();
        QCOMPARE(rows.size(), expected.size());
        for (size_t pos = 0; pos < rows.size(); ++pos)
            QCOMPARE(rows[pos].id, expected[pos]);
        insert(expected.size() / 2, nextId++); // usable again after closing the gap
        QVERIFY(sameAs(store, expected));
    }

    void unknownIdsHaveNoPosition()
    {
        RowStore store;
        store.assign(makeRows(50, 3), 50);
        QCOMPARE(store.positionOf(49), -1); // from content replaced earlier
        QCOMPARE(store.positionOf(53), -1); // never given
        QCOMPARE(store.positionOf(0), -1);
        store.take(1);
        QCOMPARE(store.positionOf(51), -1);
        QCOMPARE(store.positionOf(52), 1);
        store.assign(makeRows(60, 2), 60);
        QCOMPARE(store.positionOf(50), -1);
        QCOMPARE(store.positionOf(61), 1);
        store.clear();
        QVERIFY(store.empty());
        QCOMPARE(store.positionOf(60), -1);
    }
};

QTEST_APPLESS_MAIN(tst_RowStore)
#include "tst_row_store.moc"
