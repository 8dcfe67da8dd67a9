// The order of a String index follows the collation of the user's locale,
// and a locate through that index finds every value it sorted.

#include "table/client_dataset.h"

#include <QCollator>
#include <QLocale>
#include <QTemporaryDir>
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

    // The table keeps collation keys and orders between sorts; whatever
    // changed in between, an order shown must be the one a fresh sort gives:
    // by the collation, null first, equal names in stored order (IDs here).
    void keptOrdersFollowEveryChange_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : {"none", "edit", "same value typed", "insert", "delete", "undo",
                                   "filter", "locale", "reload"})
            QTest::newRow(change) << change;
    }

    void keptOrdersFollowEveryChange()
    {
        QFETCH(QString, change);
        ClientDataSet table;
        table.addFieldDef({"ID", FieldType::Integer, 0, true});
        table.addFieldDef({"Name", FieldType::String, 20, false});
        table.addIndexDef("idxNameAsc", "Name");
        table.addIndexDef("idxNameDesc", "Name", true);
        table.addIndexDef("idxNameID", "Name;ID", true);
        table.createDataSet();
        const QList<const char *> names = {"pear",  "Apple", nullptr, "\u00e4pfel", "pear",
                                           "apple", "fig",   "",      nullptr,      "Fig"};
        for (int id = 0; id < names.size(); ++id) {
            table.append();
            table.setFieldValue("ID", id);
            if (names[id])
                table.setFieldValue("Name", QString::fromUtf8(names[id]));
            table.post();
        }
        auto shown = [&] {
            QList<int> ids;
            for (table.first(); !table.eof(); table.next())
                ids << table.asInteger("ID");
            return ids;
        };
        auto expected = [&](const QString &index) {
            QList<std::tuple<QVariant, int, int>> records; // name, stored place, ID
            table.setIndexName(QString());
            int place = 0;
            for (table.first(); !table.eof(); table.next())
                records.append({table.fieldValue("Name"), place++, table.asInteger("ID")});
            const bool descending = index != "idxNameAsc";
            std::sort(records.begin(), records.end(), [&](const auto &a, const auto &b) {
                const QVariant &na = std::get<0>(a);
                const QVariant &nb = std::get<0>(b);
                int order = na.isNull() || nb.isNull()
                                ? int(nb.isNull()) - int(na.isNull())
                                : QCollator(QLocale()).compare(na.toString(), nb.toString());
                if (order == 0 && index == "idxNameID")
                    order = std::get<2>(a) - std::get<2>(b);
                if (order != 0)
                    return descending ? order > 0 : order < 0;
                return std::get<1>(a) < std::get<1>(b);
            });
            QList<int> ids;
            for (const auto &record : records)
                ids << std::get<2>(record);
            table.setIndexName(index);
            return ids;
        };
        for (const char *index : {"idxNameAsc", "idxNameDesc", "idxNameID"}) {
            table.setIndexName(index);
            QCOMPARE(shown(), expected(index));
        }
        table.setIndexName("idxNameAsc");
        if (change == "edit" || change == "same value typed" || change == "undo") {
            QVERIFY(table.locate("ID", 0));
            table.edit();
            table.setFieldValue("Name", change == "same value typed" ? "pear" : "banana");
            table.post();
            if (change == "undo")
                QVERIFY(table.undoLastChange());
        } else if (change == "insert") {
            table.append();
            table.setFieldValue("ID", 10);
            table.setFieldValue("Name", "apple");
            table.post();
        } else if (change == "delete") {
            QVERIFY(table.locate("ID", 5));
            table.deleteRecord();
        } else if (change == "filter") {
            QList<int> even = expected("idxNameAsc");
            even.removeIf([](int id) { return id % 2 != 0; });
            table.setFilter([](const ClientDataSet &t) { return t.asInteger("ID") % 2 == 0; });
            table.setFiltered(true);
            QCOMPARE(shown(), even);
            table.setFiltered(false);
        } else if (change == "locale") {
            QLocale::setDefault(QLocale("de_DE"));
        } else if (change == "reload") {
            QTemporaryDir dir;
            const QString path = dir.filePath("names.cds");
            table.saveToFile(path);
            table.loadFromFile(path);
        }
        for (const char *index : {"idxNameDesc", "idxNameAsc", "idxNameID"}) {
            table.setIndexName(index);
            QCOMPARE(shown(), expected(index));
        }
    }
};

QTEST_GUILESS_MAIN(tst_DatasetCollation)
#include "tst_dataset_collation.moc"
