// RecordFilter on its own: matching rules over a plain table.

#include "notes/notes_table.h"
#include "search/description_texts.h"
#include "search/record_filter.h"

#include <QTest>

using namespace bw;
using bw::search::RecordFilter;

class tst_RecordFilter : public QObject
{
    Q_OBJECT

private slots:
    // Several fields must all match; non-matching inverts the whole test;
    // null values never lie in a range.
    void allChosenFieldsMustMatch()
    {
        dataset::ClientDataSet table;
        notes::defineNotesFields(table);
        table.createDataSet();
        const QList<std::tuple<int, QString, const char *>> rows = {
            {1, "Apple", "apple pie"}, {2, "Apple", "plum"}, {3, "Äpfel", nullptr}};
        for (const auto &[id, name, description] : rows) {
            table.append();
            table.setFieldValue("ID", id);
            table.setFieldValue("Parent", -1);
            table.setFieldValue("Name", name);
            if (description)
                table.setBytes("Description", description);
            table.post();
        }
        auto ids = [&](const RecordFilter &filter) {
            table.setFilter(filter.predicate());
            table.setFiltered(true);
            QList<int> result;
            for (table.first(); !table.eof(); table.next())
                result << table.asInteger("ID");
            table.setFiltered(false);
            return result;
        };
        RecordFilter both;
        both.fields = {"Name", "Description"};
        both.value = "apple";
        QCOMPARE(ids(both), QList<int>{1});
        both.nonMatching = true;
        QCOMPARE(ids(both), (QList<int>{2, 3}));
        RecordFilter range;
        range.kind = RecordFilter::Kind::Range;
        range.fields = {"Description"};
        range.rangeFrom = "a";
        QCOMPARE(ids(range), (QList<int>{1, 2}));
        RecordFilter folded;
        folded.fields = {"Name"};
        folded.value = "äPFEL";
        folded.match = RecordFilter::Match::Exact;
        QCOMPARE(ids(folded), QList<int>{3});
        QCOMPARE(ids(RecordFilter{}), (QList<int>{1, 2, 3}));
    }

    // The texts of descriptions are read once, in steps the caller may stop;
    // what was read is kept and the next read goes on from there. A filter
    // through the kept texts passes the records a filter reading each
    // description passes, also those filtered out when the texts were read.
    void descriptionTextsAreReadOnceAndMayBeStopped()
    {
        const int count = 2 * search::DescriptionTexts::kProgressStep + 5;
        dataset::ClientDataSet table;
        notes::defineNotesFields(table);
        table.createDataSet();
        for (int id = 0; id < count; ++id) {
            table.append();
            table.setFieldValue("ID", id);
            table.setFieldValue("Parent", -1);
            table.setFieldValue("Name", QString::number(id));
            table.setBytes("Description", id % 7 ? QByteArray("{\\rtf1 plain\\par}")
                                                 : QByteArray("{\\rtf1 se\\b ve\\b0 n\\par}"));
            table.post();
        }
        table.setFilter([](const dataset::ClientDataSet &t) { return t.asInteger("ID") < 10; });
        table.setFiltered(true);
        auto texts = std::make_shared<search::DescriptionTexts>();
        QCOMPARE(texts->missing(table), count);
        QList<int> asked;
        QVERIFY(!texts->read(table, [&](int done, int total) {
            asked << done << total;
            return false;
        }));
        QCOMPARE(asked, (QList<int>{search::DescriptionTexts::kProgressStep, count}));
        QCOMPARE(texts->size(), search::DescriptionTexts::kProgressStep);
        QVERIFY(texts->read(table, {}));
        QCOMPARE(texts->missing(table), 0);
        RecordFilter seven;
        seven.fields = {"Description"};
        seven.value = "seven";
        table.setFilter(seven.predicate(texts));
        QCOMPARE(table.recordCount(), (count + 6) / 7);
        table.setFilter(seven.predicate());
        QCOMPARE(table.recordCount(), (count + 6) / 7);
    }
};

QTEST_GUILESS_MAIN(tst_RecordFilter)
#include "tst_record_filter.moc"
