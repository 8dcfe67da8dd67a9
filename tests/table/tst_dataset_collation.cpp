// The order of a String index follows the collation of the user's locale,
// and a locate through that index finds every value it sorted.

#include "table/client_dataset.h"

#include <QLocale>
#include <QTest>

using bw::dataset::ClientDataSet;
using bw::dataset::FieldType;

class tst_DatasetCollation : public QObject
{
    Q_OBJECT

private:
    QList<QString> namesInOrder(ClientDataSet &table)
    {
        QList<QString> names;
        for (table.first(); !table.eof(); table.next())
            names << table.asString("Name");
        return names;
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void nameIndexFollowsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("ascending");
        // Under C the code points decide; under German, case and the umlaut
        // come after the letters themselves.
        QTest::newRow("C") << "C" << QStringList{"Banana", "apple", "cherry", "\u00c4pfel"};
        QTest::newRow("German") << "de_DE"
                                << QStringList{"\u00c4pfel", "apple", "Banana", "cherry"};
    }

    void nameIndexFollowsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, ascending);
        QLocale::setDefault(QLocale(locale));
        ClientDataSet table;
        table.addFieldDef({"ID", FieldType::Integer, 0, true});
        table.addFieldDef({"Name", FieldType::String, 20, true});
        table.addIndexDef("idxNameAsc", "Name");
        table.addIndexDef("idxNameDesc", "Name", true);
        table.createDataSet();
        int id = 0;
        for (const char *name : {"cherry", "Banana", "apple", "\u00c4pfel"}) {
            table.append();
            table.setFieldValue("ID", id++);
            table.setFieldValue("Name", QString::fromUtf8(name));
            table.post();
        }
        table.setIndexName("idxNameAsc");
        QCOMPARE(namesInOrder(table), ascending);
        for (const QString &name : ascending) {
            QVERIFY2(table.locate("Name", name), qPrintable(name));
            QCOMPARE(table.asString("Name"), name);
        }
        table.setIndexName("idxNameDesc");
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(namesInOrder(table), descending);
        for (const QString &name : descending)
            QVERIFY2(table.locate("Name", name), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(tst_DatasetCollation)
#include "tst_dataset_collation.moc"
