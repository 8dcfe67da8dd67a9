// The counts of an Integer field's values: Max, Min, the row of a value held
// once and the shared values follow every add and remove, and removing the
// largest (or smallest) value keeps Max (Min) known when the next value is
// close by, so that LastID does not walk every value after each change.

#include "table/value_counts.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>

using bw::dataset::ValueCounts;

class tst_ValueCounts : public QObject
{
    Q_OBJECT

private slots:
    void followsAddsAndRemoves()
    {
        // Given random adds and removes of values in a narrow range (many
        // repeats) and in the whole range, then every query agrees with a
        // plain ordered map of the counts.
        QRandomGenerator random(34);
        for (const qint64 range : {qint64(40), qint64(1) << 32}) {
            ValueCounts counts;
            std::map<qint32, int> expected;
            for (int step = 0; step < 20000; ++step) {
                const bool add = expected.empty() || random.bounded(5) < 3;
                qint32 value = 0;
                if (add) {
                    value = qint32(qint64(random.bounded(quint64(range))) - range / 2);
                    counts.add(value, quint64(step + 1));
                    ++expected[value];
                } else {
                    auto it = expected.begin();
                    std::advance(it, random.bounded(int(expected.size())));
                    value = it->first;
                    counts.remove(value);
                    if (--it->second == 0)
                        expected.erase(it);
                }
                QCOMPARE(counts.size(), expected.size());
                QCOMPARE(counts.max().has_value(), !expected.empty());
                if (!expected.empty()) {
                    QCOMPARE(*counts.max(), expected.rbegin()->first);
                    QCOMPARE(*counts.min(), expected.begin()->first);
                }
                const ValueCounts::Entry *entry = counts.find(value);
                const auto it = expected.find(value);
                QCOMPARE(entry != nullptr, it != expected.end());
                if (entry)
                    QCOMPARE(int(entry->count), it->second);
                if (QTest::currentTestFailed())
                    QFAIL(qPrintable(QStringLiteral("range %1, step %2").arg(range).arg(step)));
            }
            std::vector<qint32> shared;
            for (const auto &[value, count] : expected)
                if (count > 1)
                    shared.push_back(value);
            QCOMPARE(counts.shared(), shared);
        }
    }

    void removingTheLargestKeepsMaxKnown()
    {
        // Given the keys 0..999 handed out one after another, when the
        // largest is removed and added again (as an edit of the newest item
        // once did) and then removed for good, Max follows without a walk of
        // every value; so does Min from the other end.
        ValueCounts counts;
        for (qint32 key = 0; key < 1000; ++key)
            counts.add(key, quint64(key) + 1);
        for (int round = 0; round < 100; ++round) {
            counts.remove(999);
            QCOMPARE(*counts.max(), 998);
            counts.add(999, 1000);
            QCOMPARE(*counts.max(), 999);
        }
        counts.remove(999);
        counts.remove(997); // a gap below the new largest
        counts.remove(998);
        QCOMPARE(*counts.max(), 996);
        counts.remove(0);
        QCOMPARE(*counts.min(), 1);
        QCOMPARE(counts.rescans(), 0u);
        // Far apart, the next value is found by the walk, once.
        counts.add(100000, 5000);
        counts.remove(100000);
        QCOMPARE(*counts.max(), 996);
        QCOMPARE(*counts.max(), 996);
        QCOMPARE(counts.rescans(), 1u);
        // The last value gone: nothing is left to know.
        ValueCounts one;
        one.add(7, 1);
        one.remove(7);
        QVERIFY(!one.max());
        one.add(-3, 2);
        QCOMPARE(*one.max(), -3);
        QCOMPARE(*one.min(), -3);
        QCOMPARE(one.rescans(), 0u);
    }

    void extremesAtTheEndsOfTheRange()
    {
        ValueCounts counts;
        counts.add(std::numeric_limits<qint32>::min(), 1);
        counts.add(std::numeric_limits<qint32>::max(), 2);
        counts.add(0, 3);
        counts.remove(std::numeric_limits<qint32>::min());
        QCOMPARE(*counts.min(), 0);
        counts.remove(std::numeric_limits<qint32>::max());
        QCOMPARE(*counts.max(), 0);
        counts.add(std::numeric_limits<qint32>::min(), 4);
        counts.add(std::numeric_limits<qint32>::min() + 1, 5);
        counts.remove(std::numeric_limits<qint32>::min() + 1);
        counts.remove(std::numeric_limits<qint32>::min());
        QCOMPARE(*counts.min(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ValueCounts)
#include "tst_value_counts.moc"
