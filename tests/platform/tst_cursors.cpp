// The program's cursor table: every identifier makes the cursor of its own
// pixmap and hot spot, the loaded table hands out the same cursors, and an
// identifier outside the table gives the arrow.

#include "platform/cursors.h"
#include "program_cursor.h"

#include <QApplication>
#include <QPixmap>
#include <QSplitter>
#include <QTest>

using namespace bw;

class tst_Cursors : public QObject
{
    Q_OBJECT

private slots:
    void everyEntryIsItsPixmap();
    void unknownIsArrow();
    void splitterHandles();
};

void tst_Cursors::everyEntryIsItsPixmap()
{
    CursorTable table;
    table.load();
    QCOMPARE(CursorTable::entries().size(), std::size_t(12));
    for (const CursorTable::Entry &entry : CursorTable::entries()) {
        const QString resource = QString::fromLatin1(entry.resource);
        const QPixmap pixmap(QStringLiteral(":/cursors/%1.png").arg(resource));
        QVERIFY2(!pixmap.isNull(), entry.resource);
        const QCursor made = CursorTable::make(entry.id);
        QCOMPARE(made.shape(), Qt::BitmapCursor);
        QCOMPARE(made.hotSpot(), CursorTable::hotSpot(resource));
        QCOMPARE(made.pixmap().toImage(), pixmap.toImage());
        QVERIFY2(test::isProgramCursor(table.cursor(entry.id), entry.id), entry.role);
    }
}

void tst_Cursors::unknownIsArrow()
{
    CursorTable table;
    table.load();
    QCOMPARE(CursorTable::make(12345).shape(), Qt::ArrowCursor);
    QCOMPARE(table.cursor(12345).shape(), Qt::ArrowCursor);
}

// Side by side panes split west-east, stacked panes north-south.
void tst_Cursors::splitterHandles()
{
    for (const auto &[orientation, id] :
         {std::pair{Qt::Horizontal, kCrHSplit}, std::pair{Qt::Vertical, kCrVSplit}}) {
        QSplitter splitter(orientation);
        splitter.addWidget(new QWidget);
        splitter.addWidget(new QWidget);
        useProgramSplitCursors(&splitter);
        QVERIFY(test::showsProgramCursor(splitter.handle(1), id));
    }
}

QTEST_MAIN(tst_Cursors)
#include "tst_cursors.moc"
