// Reading records by position without moving the current record.

#include "table/client_dataset.h"

#include <QSignalSpy>
#include <QTest>

using bw::dataset::ClientDataSet;
using bw::dataset::FieldType;

class tst_DatasetRows : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ClientDataSet> m_table;

    void addRecord(int id, const QString &name, const QByteArray &description)
    {
        m_table->append();
        m_table->setFieldValue("ID", id);
        m_table->setFieldValue("Parent", -1);
        m_table->setFieldValue("Name", name);
        if (!description.isNull())
            m_table->setBytes("Description", description);
        m_table->post();
    }

private slots:
    void init()
    {
        m_table = std::make_unique<ClientDataSet>();
        m_table->addFieldDef({"ID", FieldType::Integer, 0, true});
        m_table->addFieldDef({"Parent", FieldType::Integer, 0, true});
        m_table->addFieldDef({"Name", FieldType::String, 10, true});
        m_table->addFieldDef({"Description", FieldType::Memo, 32765, false});
        m_table->addIndexDef("idxNameDesc", "Name", true);
        m_table->createDataSet();
        addRecord(0, "b", "zero");
        addRecord(1, "c", {});
        addRecord(2, "a", "two");
    }

    // Given an index and a filter, when rows are read by position, then they
    // follow that order, the cursor stays and no scroll signal is sent.
    void readsRowsInViewOrderWithoutMoving()
    {
        m_table->setIndexName("idxNameDesc");
        m_table->setFilter([](const ClientDataSet &t) { return t.asInteger("ID") != 0; });
        m_table->setFiltered(true);
        m_table->first();
        QSignalSpy scrolled(m_table.get(), &ClientDataSet::afterScroll);
        QCOMPARE(m_table->recordCount(), 2);
        QCOMPARE(m_table->fieldValueAt(1, "Name"), QVariant(QStringLiteral("c")));
        QCOMPARE(m_table->fieldValueAt(2, "ID"), QVariant(2));
        QCOMPARE(m_table->fieldValueAt(2, "Description"), QVariant(QByteArray("two")));
        QVERIFY(m_table->fieldValueAt(1, "Description").isNull()); // null memo
        QVERIFY(!m_table->fieldValueAt(0, "ID").isValid());
        QVERIFY(!m_table->fieldValueAt(3, "ID").isValid());
        QCOMPARE(m_table->recNo(), 1);
        QCOMPARE(scrolled.count(), 0);
    }

    // A pending edit is not what the row holds until it is posted.
    void pendingEditIsNotReadUntilPosted()
    {
        m_table->first();
        m_table->edit();
        m_table->setFieldValue("Name", "x");
        QCOMPARE(m_table->fieldValueAt(1, "Name"), QVariant(QStringLiteral("b")));
        m_table->post();
        QCOMPARE(m_table->fieldValueAt(1, "Name"), QVariant(QStringLiteral("x")));
    }

    void closedTableReadsNothing()
    {
        m_table->close();
        QVERIFY(!m_table->fieldValueAt(1, "ID").isValid());
    }
};

QTEST_GUILESS_MAIN(tst_DatasetRows)
#include "tst_dataset_rows.moc"
