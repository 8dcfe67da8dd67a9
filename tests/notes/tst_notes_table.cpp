// The notes table: schema, key allocation, the top-level rule, the content of
// a new file and loading files with the notes fields.

#include "notes/notes_strings.h"
#include "notes/notes_table.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using bw::dataset::ClientDataSet;
using bw::dataset::DataSetError;
using bw::dataset::FieldType;
using bw::dataset::FileFormatError;
using bw::dataset::RequiredFieldError;
using namespace bw::notes;

class tst_NotesTable : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<NotesTable> m_notes;

    ClientDataSet &cds() { return m_notes->cdsCommon(); }

    // Appends an item the way the folder tree does: the key comes from the table.
    int addItem(int parent, const QString &name)
    {
        cds().append();
        const int id = cds().asInteger(kFieldId);
        cds().setFieldValue(kFieldParent, parent);
        cds().setFieldValue(kFieldName, name);
        cds().post();
        return id;
    }

private slots:
    void init()
    {
        m_notes = std::make_unique<NotesTable>();
        cds().createDataSet();
    }

    void schemaIsTheNotesRecord()
    {
        const auto fields = cds().fieldDefs();
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields[0].name, QString("ID"));
        QCOMPARE(fields[1].name, QString("Parent"));
        QCOMPARE(fields[2].name, QString("Name"));
        QCOMPARE(fields[2].size, 200);
        QCOMPARE(fields[3].name, QString("Description"));
        QCOMPARE(fields[3].type, FieldType::Memo);
        QVERIFY(fields[0].required && fields[1].required && fields[2].required);
        QVERIFY(!fields[3].required);
        QStringList indexes;
        for (const auto &index : cds().indexDefs())
            indexes << index.name + (index.descending ? " desc" : " asc") + " " +
                           index.fields.join(';');
        QCOMPARE(indexes, (QStringList{"idxIDAsc asc ID", "idxIDDesc desc ID",
                                       "idxParentAsc asc Parent", "idxParentDesc desc Parent"}));
        QVERIFY(cds().aggregatesActive());
        QCOMPARE(cds().objectName(), QString("cdsCommon"));
    }

    void keyAllocation_data()
    {
        QTest::addColumn<int>("deleteId"); // -1: none, and no items at all
        QTest::addColumn<int>("expected");
        QTest::newRow("empty table") << -1 << 0;
        QTest::newRow("largest deleted") << 5 << 5;
        QTest::newRow("middle deleted") << 3 << 6;
    }

    void keyAllocation()
    {
        QFETCH(int, deleteId);
        QFETCH(int, expected);
        if (deleteId >= 0) {
            for (int i = 0; i < 6; ++i)
                QCOMPARE(addItem(-1, QString("Item%1").arg(i)), i);
            QVERIFY(cds().locate(kFieldId, deleteId));
            cds().deleteRecord();
        }
        QCOMPARE(addItem(-1, "New Item"), expected);
    }

    void presetIdIsKept()
    {
        addItem(-1, "a");
        disconnect(&cds(), nullptr, nullptr, nullptr);
        connect(&cds(), &ClientDataSet::afterInsert, this,
                [&] { cds().setFieldValue(kFieldId, 40); }); // someone set it first
        connect(&cds(), &ClientDataSet::afterInsert, m_notes.get(),
                &NotesTable::cdsCommonAfterInsert);
        cds().append();
        QCOMPARE(cds().asInteger(kFieldId), 40);
    }

    void lastIdFollowsTable()
    {
        QVERIFY(!m_notes->lastId().has_value());
        addItem(-1, "a");
        addItem(0, "b");
        QCOMPARE(m_notes->lastId(), std::optional<qint32>(1));
        cds().deleteRecord();
        cds().deleteRecord();
        QVERIFY(!m_notes->lastId().has_value());
    }

    void topLevelRule_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("parent");
        QTest::addColumn<bool>("topLevel");
        QTest::newRow("parent -1") << 0 << -1 << true;
        QTest::newRow("own ID") << 2 << 2 << true;
        QTest::newRow("parent 999 missing") << 3 << 999 << true;
        QTest::newRow("existing parent") << 1 << 0 << false;
    }

    void topLevelRule()
    {
        QFETCH(int, id);
        QFETCH(int, parent);
        QFETCH(bool, topLevel);
        QCOMPARE(isTopLevel(id, parent, QSet<qint32>{0, 1, 2, 3}), topLevel);
    }

    void collectIdsWalksWholeTableAndReturns()
    {
        addItem(-1, "a");
        addItem(0, "b");
        addItem(0, "c");
        cds().setRecNo(2);
        QSignalSpy scrolls(&cds(), &ClientDataSet::afterScroll);
        QCOMPARE(collectIds(cds()), (QSet<qint32>{0, 1, 2}));
        QCOMPARE(cds().recNo(), 2);
        QCOMPARE(scrolls.count(), 0);
    }

    void nameIsCutTo200Characters()
    {
        const QString exact(200, QChar(0x00FC));
        addItem(-1, exact);
        QCOMPARE(cds().asString(kFieldName), exact);
        addItem(-1, exact + "tail");
        QCOMPARE(cds().asString(kFieldName), exact);
    }

    void missingValueFailsPost()
    {
        cds().append();
        cds().setFieldValue(kFieldParent, -1);
        try {
            cds().post();
            QFAIL("posted");
        } catch (const RequiredFieldError &error) {
            QCOMPARE(error.message(), QString("Field 'Name' must have a value"));
        }
        QCOMPARE(cds().state(), ClientDataSet::State::Insert);
    }

    void newFileContent()
    {
        addItem(-1, "left over");
        QSignalSpy general(&cds(), &ClientDataSet::dataSetChanged);
        m_notes->createNewContent();
        QCOMPARE(general.count(), 1); // one refresh, not one per step
        QCOMPARE(cds().recordCount(), 1);
        QCOMPARE(cds().changeCount(), 1);
        cds().first();
        QCOMPARE(cds().fieldValue(kFieldId), QVariant(0));
        QCOMPARE(cds().fieldValue(kFieldParent), QVariant(-1));
        QCOMPARE(cds().asString(kFieldName), QString("This Is Your First Item"));
        QCOMPARE(cds().asBytes(kFieldDescription),
                 QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil"
                            "\\fcharset0 Verdana;}{\\f1\\fnil Verdana;}}\\viewkind4\\uc1\\pard"
                            "\\f0\\fs16 This is a description for your first item.\\par}"));
        QCOMPARE(m_notes->lastId(), std::optional<qint32>(0));
        QCOMPARE(addItem(0, "second"), 1);
    }

    void messageStrings()
    {
        QCOMPARE(kCannotReadWriteFile, QString("Cannot read/write the file!"));
        QCOMPARE(kFirstItemId, QString("0"));
        QCOMPARE(kFirstItemParent, QString("-1"));
    }

    void savedFileLoadsBack_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("binary") << "work.cds";
        QTest::newRow("xml") << "work.xml";
    }

    void savedFileLoadsBack()
    {
        QFETCH(QString, fileName);
        QTemporaryDir dir;
        m_notes->createNewContent();
        addItem(0, QString::fromUtf8("Kapitel – Übersicht"));
        cds().mergeChangeLog();
        cds().saveToFile(dir.filePath(fileName), ClientDataSet::fileFormatForName(fileName));
        NotesTable other;
        other.loadFromFile(dir.filePath(fileName));
        QCOMPARE(other.cdsCommon().recordCount(), 2);
        QCOMPARE(other.cdsCommon().changeCount(), 0);
        QCOMPARE(other.lastId(), std::optional<qint32>(1));
        other.cdsCommon().last();
        QCOMPARE(other.cdsCommon().asString(kFieldName), QString::fromUtf8("Kapitel – Übersicht"));
        other.cdsCommon().append();
        QCOMPARE(other.cdsCommon().asInteger(kFieldId), 2);
    }

    void fileWithoutNotesFieldFails()
    {
        QTemporaryDir dir;
        ClientDataSet foreign;
        foreign.addFieldDef({"ID", FieldType::Integer, 0, true});
        foreign.addFieldDef({"Parent", FieldType::Integer, 0, true});
        foreign.addFieldDef({"Title", FieldType::String, 200, true});
        foreign.addFieldDef({"Description", FieldType::Memo, 0, false});
        foreign.createDataSet();
        foreign.saveToFile(dir.filePath("foreign.cds"));
        QVERIFY_THROWS_EXCEPTION(FileFormatError,
                                 m_notes->loadFromFile(dir.filePath("foreign.cds")));
        QVERIFY(!cds().isActive());
        QVERIFY(!cds().controlsDisabled());
        m_notes->createNewContent(); // the window can still start over
        QCOMPARE(cds().recordCount(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_NotesTable)
#include "tst_notes_table.moc"
