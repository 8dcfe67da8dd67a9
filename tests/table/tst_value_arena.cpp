// The blocks that hold the values a load reads: values come back whole, and
// bytes taken from a table stay valid after the table let its blocks go.

#include "table/client_dataset.h"
#include "table/value_arena.h"

#include <QTemporaryDir>
#include <QTest>

using bw::dataset::ClientDataSet;
using bw::dataset::FieldType;
using bw::dataset::ValueArena;

class tst_ValueArena : public QObject
{
    Q_OBJECT

private slots:
    // Given many values of every size, when they are added, then each reads
    // back as given, ends in a NUL, and the small ones share 2 MiB blocks.
    void valuesReadBackWhole()
    {
        ValueArena arena;
        std::vector<QByteArray> given;
        std::vector<QByteArray> held;
        for (int i = 0; i < 5000; ++i) {
            const qsizetype size = (i * 7919) % 3000 + (i % 500 == 0 ? 600000 : 0);
            given.push_back(QByteArray(size, char('a' + i % 26)) + QByteArray::number(i));
            held.push_back(arena.add(given.back()));
        }
        QCOMPARE(arena.add(QByteArray()), QByteArray(""));
        QVERIFY(!arena.add(QByteArray()).isNull()); // empty, not null
        for (size_t i = 0; i < given.size(); ++i) {
            QCOMPARE(held[i], given[i]);
            QCOMPARE(held[i].constData()[held[i].size()], '\0');
        }
        qsizetype shared = 0; // the bytes of the values small enough to share blocks
        for (const QByteArray &value : given)
            shared += value.size() < 100000 ? value.size() + 1 : 0;
        const size_t least = size_t(shared) / ValueArena::kBlockSize + 1;
        QVERIFY(arena.blockBytes() >= least * ValueArena::kBlockSize);
        QVERIFY(arena.blockBytes() <= (least + 1) * ValueArena::kBlockSize);
        // The first small value starts a block, on a 2 MiB boundary.
        QCOMPARE(reinterpret_cast<quintptr>(held[1].constData()) % ValueArena::kBlockSize, 0u);
    }

    void valuesOutliveTheTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("binary form") << "notes.cds";
        QTest::newRow("XML form") << "notes.xml";
    }

    // Given a table loaded from a file, when a name and a memo are taken
    // from it and the table loads another file and then closes, then the
    // bytes taken still read as they were.
    void valuesOutliveTheTable()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const auto format = ClientDataSet::fileFormatForName(path);
        auto table = std::make_unique<ClientDataSet>();
        table->addFieldDef({"ID", FieldType::Integer, 0, true});
        table->addFieldDef({"Name", FieldType::String, 200, false});
        table->addFieldDef({"Description", FieldType::Memo, 0, false});
        table->createDataSet();
        for (int i = 0; i < 50; ++i) {
            table->append();
            table->setFieldValue("ID", i);
            table->setFieldValue("Name", QStringLiteral("Näme %1").arg(i));
            table->setBytes("Description", QByteArray(1000 + i, char('a' + i % 26)));
            table->post();
        }
        table->saveToFile(path, format);
        table->loadFromFile(path);
        QVERIFY(table->locate("ID", 7));
        const QByteArray memo = table->asBytes("Description");
        const QVariant value = table->fieldValue("Description");
        const QVariant atRecord = table->fieldValueAt(9, "Description");
        table->loadFromFile(path);
        table->close();
        table.reset();
        QCOMPARE(memo, QByteArray(1007, 'h'));
        QCOMPARE(value.toByteArray(), QByteArray(1007, 'h'));
        QCOMPARE(atRecord.toByteArray(), QByteArray(1008, 'i'));
    }
};

QTEST_GUILESS_MAIN(tst_ValueArena)
#include "tst_value_arena.moc"
