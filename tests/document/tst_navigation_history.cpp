// The navigation history: case-insensitive lookup, forward entries dropped
// on a new visit, back and forward over the list.

#include "document/navigation_history.h"

#include <QTest>

using namespace bw::notes;

class tst_NavigationHistory : public QObject
{
    Q_OBJECT

private slots:
    void visits_data();
    void visits();
    void entryTextJoinsWithoutSeparator();
};

void tst_NavigationHistory::visits_data()
{
    QTest::addColumn<QStringList>("steps"); // a text visits; "<" goes back; ">" goes forward
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("position");
    QTest::newRow("empty") << QStringList{} << QStringList{} << -1;
    QTest::newRow("three visits") << QStringList{"A0", "B1", "C2"} << QStringList{"A0", "B1", "C2"}
                                  << 2;
    QTest::newRow("back twice") << QStringList{"A0", "B1", "C2", "<", "<"}
                                << QStringList{"A0", "B1", "C2"} << 0;
    QTest::newRow("new visit drops forward entries")
        << QStringList{"A0", "B1", "C2", "<", "<", "D3"} << QStringList{"A0", "D3"} << 1;
    QTest::newRow("back from the new one")
        << QStringList{"A0", "B1", "C2", "<", "<", "D3", "<"} << QStringList{"A0", "D3"} << 0;
    QTest::newRow("known text ignoring case only moves")
        << QStringList{"Item0", "Other1", "ITEM0"} << QStringList{"Item0", "Other1"} << 0;
    QTest::newRow("forward after back")
        << QStringList{"A0", "B1", "<", ">"} << QStringList{"A0", "B1"} << 1;
}

void tst_NavigationHistory::visits()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, entries);
    QFETCH(int, position);
    NavigationHistory history;
    for (const QString &step : steps) {
        // Going back or forward selects the node of that entry, which visits it.
        if (step == QLatin1String("<"))
            history.visit(history.backEntry().value());
        else if (step == QLatin1String(">"))
            history.visit(history.forwardEntry().value());
        else
            history.visit(step);
    }
    QCOMPARE(history.entries(), entries);
    QCOMPARE(history.position(), position);
    QCOMPARE(history.canGoBack(), position > 0);
    QCOMPARE(history.canGoForward(), position >= 0 && position < entries.size() - 1);
}

void tst_NavigationHistory::entryTextJoinsWithoutSeparator()
{
    // Item1 at position 23 and Item12 at position 3 give the same text.
    QCOMPARE(NavigationHistory::entryText("Item1", 23), NavigationHistory::entryText("Item12", 3));
    QCOMPARE(NavigationHistory::entryText("New Item", 0), QStringLiteral("New Item0"));
}

QTEST_MAIN(tst_NavigationHistory)
#include "tst_navigation_history.moc"
