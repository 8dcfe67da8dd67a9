// Operations, states, events and the change log of the table engine.

#include "table/client_dataset.h"

#include <QMap>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using bw::dataset::ClientDataSet;
using bw::dataset::DataSetError;
using bw::dataset::FieldDef;
using bw::dataset::FieldType;
using bw::dataset::RequiredFieldError;
using State = ClientDataSet::State;

class tst_ClientDataSet : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ClientDataSet> m_table;

    ClientDataSet &table() { return *m_table; }

    void addRecord(int id, int parent, const QString &name, const QByteArray &description = {})
    {
        table().append();
        table().setFieldValue("ID", id);
        table().setFieldValue("Parent", parent);
        table().setFieldValue("Name", name);
        if (!description.isNull())
            table().setBytes("Description", description);
        table().post();
    }

    // IDs in the current order, from the first record.
    QList<int> ids()
    {
        QList<int> result;
        for (table().first(); !table().eof(); table().next())
            result.append(table().asInteger("ID"));
        return result;
    }

private slots:
    void init()
    {
        m_table = std::make_unique<ClientDataSet>();
        table().addFieldDef({"ID", FieldType::Integer, 0, true});
        table().addFieldDef({"Parent", FieldType::Integer, 0, true});
        table().addFieldDef({"Name", FieldType::String, 10, true});
        table().addFieldDef({"Description", FieldType::Memo, 32765, false});
        table().addIndexDef("idxIDAsc", "ID");
        table().addIndexDef("idxIDDesc", "ID", true);
        table().addIndexDef("idxParentIDAsc", "Parent;ID");
        table().addIndexDef("idxNameAsc", "Name");
        table().addAggregate("LastID", "Max(ID)");
        table().setAggregatesActive(true);
        table().createDataSet();
    }

    void createsOpenEmptyTable()
    {
        QVERIFY(table().isActive());
        QCOMPARE(table().state(), State::Browse);
        QVERIFY(table().isEmpty());
        QVERIFY(table().eof());
        QCOMPARE(table().recNo(), 0);
        QVERIFY(table().aggregateValue("LastID").isNull());
        QCOMPARE(table().changeCount(), 0);
    }

    void closedTableRefusesOperations()
    {
        table().close();
        QCOMPARE(table().state(), State::Inactive);
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().append());
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().first());
        QCOMPARE(table().recordCount(), 0);
    }

    void appendEditPostAndCancel()
    {
        addRecord(0, -1, "first");
        QCOMPARE(table().state(), State::Browse);
        QCOMPARE(table().recordCount(), 1);
        table().edit();
        QCOMPARE(table().state(), State::Edit);
        table().setFieldValue("Name", "changed");
        QCOMPARE(table().asString("Name"), QString("changed"));
        table().cancel();
        QCOMPARE(table().asString("Name"), QString("first"));
        table().edit();
        table().setFieldValue("Name", "posted");
        table().post();
        QCOMPARE(table().asString("Name"), QString("posted"));
        QCOMPARE(table().changeCount(), 2);
    }

    void insertGoesBeforeCurrentRecord()
    {
        addRecord(0, -1, "a");
        addRecord(1, -1, "b");
        table().first();
        table().next();
        table().insert();
        table().setFieldValue("ID", 7);
        table().setFieldValue("Parent", -1);
        table().setFieldValue("Name", "x");
        table().post();
        QCOMPARE(table().recNo(), 2);
        QCOMPARE(ids(), (QList<int>{0, 7, 1}));
    }

    void requiredFieldFailsAndKeepsState_data()
    {
        QTest::addColumn<bool>("inserting");
        QTest::addColumn<QString>("field");
        QTest::newRow("insert without Name") << true << "Name";
        QTest::newRow("edit clearing Parent") << false << "Parent";
    }

    void requiredFieldFailsAndKeepsState()
    {
        QFETCH(bool, inserting);
        QFETCH(QString, field);
        addRecord(0, -1, "a");
        if (inserting) {
            table().append();
            table().setFieldValue("ID", 1);
            table().setFieldValue("Parent", 0);
        } else {
            table().edit();
            table().clearField(field);
        }
        try {
            table().post();
            QFAIL("post succeeded");
        } catch (const RequiredFieldError &error) {
            QCOMPARE(error.message(), QString("Field '%1' must have a value").arg(field));
            QCOMPARE(error.fieldName(), field);
        }
        QCOMPARE(table().state(), inserting ? State::Insert : State::Edit);
        QCOMPARE(table().changeCount(), 1);
        QCOMPARE(table().recordCount(), 1);
    }

    void valuesConvertAndCut()
    {
        table().append();
        table().setFieldValue("ID", "42");
        table().setFieldValue("Parent", -1);
        table().setFieldValue("Name", QString::fromUtf8("ÄÖÜäöüßéèx-too-long"));
        QCOMPARE(table().asString("Name"), QString::fromUtf8("ÄÖÜäöüßéèx"));
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().setFieldValue("ID", "4x"));
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().setFieldValue("ID", qint64(1) << 40));
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().setFieldValue("Nope", 1));
        table().post();
        QCOMPARE(table().asInteger("ID"), 42);
    }

    void emptyAndNullStayDistinct()
    {
        addRecord(0, -1, "");
        QVERIFY(!table().isNull("Name"));
        QVERIFY(table().isNull("Description"));
        table().edit();
        table().setBytes("Description", QByteArray());
        table().post();
        QVERIFY(!table().isNull("Description"));
        QCOMPARE(table().asBytes("Description"), QByteArray());
    }

    void navigationAndEndTests()
    {
        for (int i = 0; i < 5; ++i)
            addRecord(i, -1, QString::number(i));
        table().first();
        QVERIFY(table().bof());
        QCOMPARE(table().recNo(), 1);
        QCOMPARE(table().moveBy(10), 4);
        QVERIFY(table().eof());
        table().prior();
        QCOMPARE(table().asInteger("ID"), 3);
        table().last();
        QVERIFY(table().eof());
        QCOMPARE(table().recNo(), 5);
        table().setRecNo(2);
        QCOMPARE(table().asInteger("ID"), 1);
    }

    void maxAggregateFollowsPostsDeletesAndUndo()
    {
        for (int i = 0; i < 6; ++i)
            addRecord(i, -1, "n");
        QCOMPARE(table().aggregateValue("LastID").toInt(), 5);
        table().last();
        table().deleteRecord();
        QCOMPARE(table().aggregateValue("LastID").toInt(), 4);
        table().first();
        table().edit();
        table().setFieldValue("ID", 100);
        table().post();
        QCOMPARE(table().aggregateValue("LastID").toInt(), 100);
        table().undoLastChange();
        QCOMPARE(table().aggregateValue("LastID").toInt(), 4);
        table().undoLastChange();
        QCOMPARE(table().aggregateValue("LastID").toInt(), 5);
        table().setAggregatesActive(false);
        QVERIFY(table().aggregateValue("LastID").isNull());
    }

    void duplicateMaxSurvivesDeleteOfOne()
    {
        addRecord(3, -1, "a");
        addRecord(3, -1, "b");
        table().deleteRecord();
        QCOMPARE(table().aggregateValue("LastID").toInt(), 3);
        table().deleteRecord();
        QVERIFY(table().aggregateValue("LastID").isNull());
    }

    void nullCountCountsEveryRecord()
    {
        ClientDataSet loose; // fields that take null, as another program's file may hold
        loose.addFieldDef({"ID", FieldType::Integer, 0, false});
        loose.addFieldDef({"Name", FieldType::String, 10, false});
        loose.createDataSet();
        QCOMPARE(loose.nullCount("ID"), 0);
        for (const QVariant &id : {QVariant(1), QVariant(), QVariant(), QVariant(2)}) {
            loose.append();
            loose.setFieldValue("ID", id);
            loose.setFieldValue("Name", "n");
            loose.post();
        }
        loose.setFilter([](const ClientDataSet &t) { return !t.isNull("ID"); });
        loose.setFiltered(true); // counted, filter or not
        QCOMPARE(loose.recordCount(), 2);
        QCOMPARE(loose.nullCount("ID"), 2);
        QCOMPARE(loose.nullCount("Name"), 0);
        QVERIFY_THROWS_EXCEPTION(DataSetError, loose.nullCount("Other"));
    }

    void undoRevertsNewestChangeAndMakesItCurrent()
    {
        addRecord(0, -1, "a");
        addRecord(1, -1, "b");
        addRecord(2, -1, "c");
        table().mergeChangeLog();
        table().setRecNo(2);
        table().deleteRecord(); // b
        table().first();
        table().edit();
        table().setFieldValue("Name", "A");
        table().post();
        table().last();
        QVERIFY(table().undoLastChange());
        QCOMPARE(table().asString("Name"), QString("a"));
        QCOMPARE(table().recNo(), 1);
        QVERIFY(table().undoLastChange());
        QCOMPARE(table().asString("Name"), QString("b"));
        QCOMPARE(ids(), (QList<int>{0, 1, 2}));
        QVERIFY(!table().undoLastChange());
    }

    void undoWithoutFollowingKeepsCurrentRecord()
    {
        addRecord(0, -1, "a");
        addRecord(1, -1, "b");
        table().first();
        table().edit();
        table().setFieldValue("Name", "A");
        table().post();
        table().last();
        QVERIFY(table().undoLastChange(false));
        QCOMPARE(table().asInteger("ID"), 1);
        table().first();
        QCOMPARE(table().asString("Name"), QString("a"));
    }

    void cancelledInsertReturnsToPreviousRecord()
    {
        addRecord(0, -1, "a");
        addRecord(1, -1, "b");
        table().first();
        QSignalSpy cancels(&table(), &ClientDataSet::afterCancel);
        table().append();
        table().setFieldValue("Name", "dropped");
        table().cancel();
        QCOMPARE(cancels.count(), 1);
        QCOMPARE(table().recordCount(), 2);
        QCOMPARE(table().asInteger("ID"), 0);
    }

    void postedRecordLeavingFilterIsHidden()
    {
        addRecord(0, 1, "a");
        addRecord(1, 1, "b");
        addRecord(2, 1, "c");
        table().setFilter([](const ClientDataSet &t) { return t.asInteger("Parent") == 1; });
        table().setFiltered(true);
        table().setRecNo(2);
        table().edit();
        table().setFieldValue("Parent", 5);
        table().post();
        QCOMPARE(table().recordCount(), 2);
        QCOMPARE(table().asInteger("ID"), 2); // the next visible record
        QCOMPARE(table().aggregateValue("LastID").toInt(), 2);
    }

    void undoDropsPendingEditFirst()
    {
        addRecord(0, -1, "a");
        table().edit();
        table().setFieldValue("Name", "pending");
        QVERIFY(table().undoLastChange());
        QCOMPARE(table().state(), State::Browse);
        QVERIFY(table().isEmpty());
    }

    void cancelUpdatesReturnsToLastMerge()
    {
        addRecord(0, -1, "a");
        addRecord(1, 0, "b");
        table().mergeChangeLog();
        addRecord(2, 0, "c");
        table().first();
        table().deleteRecord();
        table().edit();
        table().setFieldValue("Name", "B");
        table().post();
        QCOMPARE(table().changeCount(), 3);
        table().cancelUpdates();
        QCOMPARE(table().changeCount(), 0);
        QCOMPARE(ids(), (QList<int>{0, 1}));
        table().last();
        QCOMPARE(table().asString("Name"), QString("b"));
    }

    void mergeChangeLog_data()
    {
        QTest::addColumn<QString>("pendingName");
        QTest::addColumn<QString>("expectedName");
        QTest::newRow("pending edit is posted") << "changed"
                                                << "changed";
        QTest::newRow("unchanged edit is dropped") << "a"
                                                   << "a";
    }

    void mergeChangeLog()
    {
        QFETCH(QString, pendingName);
        QFETCH(QString, expectedName);
        addRecord(0, -1, "a");
        QSignalSpy posts(&table(), &ClientDataSet::afterPost);
        table().edit();
        table().setFieldValue("Name", pendingName);
        table().mergeChangeLog();
        QCOMPARE(table().state(), State::Browse);
        QCOMPARE(table().changeCount(), 0);
        QCOMPARE(table().asString("Name"), expectedName);
        QCOMPARE(posts.count(), pendingName == "a" ? 0 : 1);
        QVERIFY(!table().undoLastChange());
    }

    void navigationPostsChangedEditAndDropsUnchanged()
    {
        addRecord(0, -1, "a");
        addRecord(1, -1, "b");
        table().first();
        table().edit();
        table().next();
        QCOMPARE(table().changeCount(), 2);
        table().edit();
        table().setFieldValue("Name", "B");
        table().first();
        QCOMPARE(table().changeCount(), 3);
        table().last();
        QCOMPARE(table().asString("Name"), QString("B"));
    }

    void afterInsertFiresBeforeFieldsAreSet()
    {
        QList<bool> idWasNull;
        connect(&table(), &ClientDataSet::afterInsert, this, [&] {
            QCOMPARE(table().state(), State::Insert);
            idWasNull.append(table().isNull("ID"));
            table().setFieldValue("ID", 99);
        });
        table().append();
        QCOMPARE(idWasNull, QList<bool>{true});
        QCOMPARE(table().asInteger("ID"), 99);
    }

    void scrollSignalsSurroundEachMove()
    {
        addRecord(0, -1, "a");
        addRecord(1, -1, "b");
        QStringList events;
        connect(&table(), &ClientDataSet::beforeScroll, this,
                [&] { events << QString("before %1").arg(table().asInteger("ID")); });
        connect(&table(), &ClientDataSet::afterScroll, this,
                [&] { events << QString("after %1").arg(table().asInteger("ID")); });
        table().first();
        table().first(); // no move, no signal
        table().next();
        table().next(); // at the end already
        QCOMPARE(events, (QStringList{"before 1", "after 0", "before 0", "after 1"}));
    }

    void stateAndDataSignals()
    {
        QSignalSpy states(&table(), &ClientDataSet::stateChanged);
        QSignalSpy fields(&table(), &ClientDataSet::fieldChanged);
        QSignalSpy general(&table(), &ClientDataSet::dataSetChanged);
        addRecord(0, -1, "a");
        QCOMPARE(states.count(), 2); // insert, browse
        QCOMPARE(states.at(0).at(0).value<State>(), State::Insert);
        QCOMPARE(states.at(1).at(0).value<State>(), State::Browse);
        QCOMPARE(fields.count(), 3);
        QCOMPARE(fields.at(2).at(0).toString(), QString("Name"));
        QCOMPARE(general.count(), 1);
        table().deleteRecord();
        QCOMPARE(general.count(), 2);
    }

    void disabledControlsHoldSignalsUntilLastEnable()
    {
        QSignalSpy states(&table(), &ClientDataSet::stateChanged);
        QSignalSpy general(&table(), &ClientDataSet::dataSetChanged);
        QSignalSpy scrolls(&table(), &ClientDataSet::afterScroll);
        QSignalSpy inserts(&table(), &ClientDataSet::afterInsert);
        table().disableControls();
        {
            bw::dataset::ControlsDisabler nested(table());
            for (int i = 0; i < 3; ++i)
                addRecord(i, -1, "n");
            table().first();
            table().next();
        }
        QVERIFY(table().controlsDisabled());
        QCOMPARE(general.count() + states.count() + scrolls.count(), 0);
        QCOMPARE(inserts.count(), 3); // table events still fire
        table().enableControls();
        QVERIFY(!table().controlsDisabled());
        QCOMPARE(general.count(), 1);
        QCOMPARE(states.count(), 0); // browse before and after
    }

    void bookmarksSurviveOtherChanges()
    {
        for (int i = 0; i < 4; ++i)
            addRecord(i, -1, "n");
        table().setRecNo(3);
        const auto mark = table().bookmark();
        table().first();
        table().deleteRecord();
        table().first();
        table().insert();
        table().setFieldValue("ID", 10);
        table().setFieldValue("Parent", -1);
        table().setFieldValue("Name", "new");
        table().post();
        table().setIndexName("idxIDDesc");
        QVERIFY(table().bookmarkValid(mark));
        QVERIFY(table().gotoBookmark(mark));
        QCOMPARE(table().asInteger("ID"), 2);
        table().setIndexName("");
        table().deleteRecord();
        QVERIFY(!table().bookmarkValid(mark));
        QVERIFY(!table().gotoBookmark(mark));
        table().undoLastChange();
        QVERIFY(table().bookmarkValid(mark));
    }

    void indexOrders_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("stored order") << "" << QList<int>{3, 1, 4, 0, 2};
        QTest::newRow("ID ascending") << "idxIDAsc" << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("ID descending") << "idxIDDesc" << QList<int>{4, 3, 2, 1, 0};
        QTest::newRow("Parent then ID") << "idxParentIDAsc" << QList<int>{0, 2, 1, 4, 3};
        QTest::newRow("Name") << "idxNameAsc" << QList<int>{0, 1, 4, 2, 3};
    }

    void indexOrders()
    {
        QFETCH(QString, index);
        QFETCH(QList<int>, expected);
        addRecord(3, 7, "d");
        addRecord(1, 5, "b");
        addRecord(4, 5, "bb");
        addRecord(0, -1, "a");
        addRecord(2, -1, "c");
        table().setIndexName(index);
        QCOMPARE(ids(), expected);
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().setIndexName("idxMissing"));
    }

    void postInIndexedOrderMovesRecord()
    {
        addRecord(5, -1, "a");
        addRecord(6, -1, "b");
        table().setIndexName("idxIDAsc");
        table().append();
        table().setFieldValue("ID", 1);
        table().setFieldValue("Parent", -1);
        table().setFieldValue("Name", "c");
        table().post();
        QCOMPARE(table().recNo(), 1);
        QCOMPARE(table().asInteger("ID"), 1);
    }

    void locate_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("expectedId"); // -1: not found
        QTest::newRow("ID, stored order") << ""
                                          << "ID" << QVariant(4) << 0 << 4;
        QTest::newRow("ID, index") << "idxIDAsc"
                                   << "ID" << QVariant(4) << 0 << 4;
        QTest::newRow("ID, descending index") << "idxIDDesc"
                                              << "ID" << QVariant(2) << 0 << 2;
        QTest::newRow("ID missing, index") << "idxIDAsc"
                                           << "ID" << QVariant(9) << 0 << -1;
        QTest::newRow("ID as text") << ""
                                    << "ID" << QVariant("3") << 0 << 3;
        QTest::newRow("Name exact") << "idxNameAsc"
                                    << "Name" << QVariant("Beta") << 0 << 1;
        QTest::newRow("Name case") << ""
                                   << "Name" << QVariant("beta") << 0 << -1;
        QTest::newRow("Name no case")
            << ""
            << "Name" << QVariant("beta") << int(ClientDataSet::CaseInsensitive) << 1;
        QTest::newRow("Name prefix")
            << ""
            << "Name" << QVariant("Ga") << int(ClientDataSet::PartialKey) << 2;
        QTest::newRow("Description anywhere, no case")
            << ""
            << "Description" << QVariant("COLOUR")
            << int(ClientDataSet::PartialAnywhere | ClientDataSet::CaseInsensitive) << 3;
        QTest::newRow("null Description") << ""
                                          << "Description" << QVariant() << 0 << 4;
    }

    void locate()
    {
        QFETCH(QString, index);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(int, options);
        QFETCH(int, expectedId);
        addRecord(0, -1, "Alpha", "plain");
        addRecord(1, -1, "Beta", "text");
        addRecord(2, -1, "Gamma", "");
        addRecord(3, -1, "Delta", "{\\rtf1 my Colour}");
        addRecord(4, -1, "Beta");
        table().setIndexName(index);
        table().last();
        const int before = table().asInteger("ID");
        const bool found = table().locate(field, value, ClientDataSet::LocateOptions(options));
        QCOMPARE(found, expectedId >= 0);
        QCOMPARE(table().asInteger("ID"), found ? expectedId : before);
    }

    void integerLookupsFollowEveryChange()
    {
        // Given IDs and Parents that repeat, changed at random by appends,
        // edits, deletes, undo and cancel, under the stored order, an index
        // and a filter, then locate finds the first record in the current
        // order holding the value, LastID is the largest ID, and sharedValues
        // names the IDs more than one record holds.
        QRandomGenerator random(5);
        table().mergeChangeLog();
        auto check = [&](int step) {
            QList<int> idsInOrder, parentsInOrder;
            QMap<int, int> idCounts;
            for (table().first(); !table().eof(); table().next()) {
                idsInOrder.append(table().asInteger("ID"));
                parentsInOrder.append(table().asInteger("Parent"));
            }
            table().setFiltered(false);
            for (table().first(); !table().eof(); table().next())
                ++idCounts[table().asInteger("ID")];
            QList<qint32> shared;
            for (auto it = idCounts.cbegin(); it != idCounts.cend(); ++it)
                if (it.value() > 1)
                    shared.append(it.key());
            QCOMPARE(table().sharedValues("ID"), shared);
            const QVariant last = table().aggregateValue("LastID");
            QCOMPARE(last.isNull(), idCounts.isEmpty());
            if (!idCounts.isEmpty())
                QCOMPARE(last.toInt(), idCounts.lastKey());
            table().setFiltered(step % 3 == 0);
            for (int value = -1; value < 14; ++value) {
                for (const auto &[field, inOrder] :
                     {std::pair{QStringLiteral("ID"), idsInOrder},
                      std::pair{QStringLiteral("Parent"), parentsInOrder}}) {
                    const int position = int(inOrder.indexOf(value));
                    QCOMPARE(table().locate(field, value), position >= 0);
                    if (position >= 0)
                        QCOMPARE(table().recNo(), position + 1);
                }
            }
        };
        table().setFilter([](const ClientDataSet &t) { return t.asInteger("ID") % 4 != 1; });
        for (int step = 0; step < 300; ++step) {
            table().setFiltered(step % 3 == 0);
            table().setIndexName(step % 5 == 0 ? QStringLiteral("idxNameAsc") : QString());
            const int action = int(random.bounded(10));
            if (action < 4 || table().isEmpty()) {
                addRecord(int(random.bounded(12)), int(random.bounded(12)),
                          QStringLiteral("n%1").arg(random.bounded(5)));
            } else if (action < 6) {
                table().setRecNo(1 + int(random.bounded(table().recordCount())));
                table().edit();
                table().setFieldValue(action == 4 ? "ID" : "Parent", int(random.bounded(12)));
                table().post();
            } else if (action < 8) {
                table().setRecNo(1 + int(random.bounded(table().recordCount())));
                table().deleteRecord();
            } else if (action == 8 && table().changeCount() > 0) {
                table().undoLastChange();
            } else if (table().changeCount() > 0 && random.bounded(4) == 0) {
                table().cancelUpdates();
            }
            check(step);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));
        }
    }

    void locateNextSearchesOnward()
    {
        addRecord(0, -1, "x");
        addRecord(1, -1, "y");
        addRecord(2, -1, "x");
        QVERIFY(table().locate("Name", "x"));
        QCOMPARE(table().asInteger("ID"), 0);
        QVERIFY(table().locateNext("Name", "x"));
        QCOMPARE(table().asInteger("ID"), 2);
        QVERIFY(!table().locateNext("Name", "x"));
    }

    void filterShowsMatchingRecords()
    {
        for (int i = 0; i < 6; ++i)
            addRecord(i, i % 2, "n");
        QList<State> statesSeen;
        table().setFilter([&](const ClientDataSet &t) {
            statesSeen.append(t.state());
            return t.asInteger("Parent") == 1;
        });
        table().setFiltered(true);
        QCOMPARE(ids(), (QList<int>{1, 3, 5}));
        QCOMPARE(table().recordCount(), 3);
        QVERIFY(statesSeen.contains(State::Filter));
        QCOMPARE(table().state(), State::Browse);
        QVERIFY(!table().locate("ID", 2));
        table().setFiltered(false);
        QCOMPARE(table().recordCount(), 6);
    }

    void setKeyAndGotoKey()
    {
        addRecord(0, 7, "a");
        addRecord(1, 8, "b");
        addRecord(2, 8, "c");
        table().setIndexName("idxParentIDAsc");
        table().setKey();
        QCOMPARE(table().state(), State::SetKey);
        table().setFieldValue("Parent", 8);
        table().setFieldValue("ID", 2);
        QVERIFY(table().gotoKey());
        QCOMPARE(table().state(), State::Browse);
        QCOMPARE(table().asInteger("ID"), 2);
        table().setKey();
        table().setFieldValue("Parent", 99);
        QVERIFY(!table().gotoKey());
    }

    void readOnlyTableRefusesChanges()
    {
        addRecord(0, -1, "a");
        table().setReadOnly(true);
        QVERIFY(!table().canModify());
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().edit());
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().deleteRecord());
        QVERIFY_THROWS_EXCEPTION(DataSetError, table().append());
    }

    // Given records 0..19, when a walk in stored order deletes every id the
    // row names (controls disabled, as the folder tree deletes a subtree),
    // then each delete logged one change, bookmarks of the rest still lead to
    // their records, undo brings back the newest delete as the current record
    // at its old place, and cancelling the updates restores the stored order.
    void runOfDeletesKeepsLogAndBookmarks_data()
    {
        QTest::addColumn<QList<int>>("doomed");
        QTest::newRow("a block in the middle") << QList<int>{7, 8, 9, 10, 11};
        QTest::newRow("every third") << QList<int>{0, 3, 6, 9, 12, 15, 18};
        QTest::newRow("the tail") << QList<int>{16, 17, 18, 19};
        QTest::newRow("everything") << [] {
            QList<int> all;
            for (int i = 0; i < 20; ++i)
                all.append(i);
            return all;
        }();
    }

    void runOfDeletesKeepsLogAndBookmarks()
    {
        QFETCH(QList<int>, doomed);
        QList<int> all;
        for (int i = 0; i < 20; ++i) {
            addRecord(i, -1, "n");
            all.append(i);
        }
        table().mergeChangeLog();
        QHash<int, ClientDataSet::Bookmark> marks;
        for (table().first(); !table().eof(); table().next())
            marks.insert(table().asInteger("ID"), table().bookmark());
        QSignalSpy scrolls(&table(), &ClientDataSet::afterScroll);
        {
            bw::dataset::ControlsDisabler disabled(table());
            table().first();
            while (!table().eof() && !table().isEmpty()) {
                if (doomed.contains(table().asInteger("ID")))
                    table().deleteRecord();
                else
                    table().next();
            }
        }
        QCOMPARE(scrolls.count(), 0);
        QCOMPARE(table().changeCount(), doomed.size());
        QList<int> rest = all;
        for (int id : doomed)
            rest.removeOne(id);
        QCOMPARE(ids(), rest);
        for (int id : all) {
            QCOMPARE(table().bookmarkValid(marks[id]), !doomed.contains(id));
            if (!doomed.contains(id)) {
                QVERIFY(table().gotoBookmark(marks[id]));
                QCOMPARE(table().asInteger("ID"), id);
            }
        }
        table().setIndexName("idxIDDesc"); // positions looked up through another order
        QVERIFY(table().gotoBookmark(marks[rest.isEmpty() ? 0 : rest.first()]) == !rest.isEmpty());
        table().setIndexName("");

        QVERIFY(table().undoLastChange());
        QCOMPARE(table().asInteger("ID"), doomed.last());
        rest.insert(std::lower_bound(rest.begin(), rest.end(), doomed.last()), doomed.last());
        QCOMPARE(ids(), rest);
        QVERIFY(table().bookmarkValid(marks[doomed.last()]));
        table().cancelUpdates();
        QCOMPARE(table().changeCount(), 0);
        QCOMPARE(ids(), all);
        for (int id : all) {
            QVERIFY(table().gotoBookmark(marks[id]));
            QCOMPARE(table().asInteger("ID"), id);
        }
    }

    void deleteInInsertStateCancels()
    {
        addRecord(0, -1, "a");
        table().append();
        table().deleteRecord();
        QCOMPARE(table().state(), State::Browse);
        QCOMPARE(table().recordCount(), 1);
        QCOMPARE(table().changeCount(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_ClientDataSet)
#include "tst_client_dataset.moc"
