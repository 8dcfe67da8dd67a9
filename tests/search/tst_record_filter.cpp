// RecordFilter on its own: matching rules over a plain table.

#include "notes/notes_table.h"
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
};

QTEST_GUILESS_MAIN(tst_RecordFilter)
#include "tst_record_filter.moc"
