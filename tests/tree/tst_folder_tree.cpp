// The folder tree's model and its binding to the notes table: build passes
// over stored orders, the top-level forms and Parent cycles, selection in
// both directions, creating, renaming, moving, copying and deleting items.

#include "folder_tree_helpers.h"
#include "notes/notes_table.h"
#include "tree/folder_tree_link.h"

#include <QAbstractItemModelTester>
#include <QCollator>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

using namespace bw;
using namespace bw::notes;
using State = dataset::ClientDataSet::State;

namespace {

struct Rec
{
    qint32 id;
    qint32 parent;
    const char *name;
};

// The tree as text: "A(B,C),D", children in their order.
QString shape(const FolderTreeModel &model, int parent = FolderTreeModel::kNoNode)
{
    QStringList parts;
    for (int id : model.children(parent)) {
        QString part = model.node(id).text;
        if (!model.node(id).children.empty())
            part += QLatin1Char('(') + shape(model, id) + QLatin1Char(')');
        parts << part;
    }
    return parts.join(QLatin1Char(','));
}

} // namespace

class tst_FolderTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void storedOrderBuildsSameTree_data();
    void storedOrderBuildsSameTree();
    void topLevelForms();
    void parentCycleEnds();
    void passKeepsNodesAndFollowsChanges();
    void postOfAnEditReachesTheNodes_data();
    void postOfAnEditReachesTheNodes();
    void deletedParentLiftsChildren();
    void recordNamingItselfAfterUndoIsTopLevel();
    void siblingsFollowCaseSensitiveCollation();
    void insertTakesNextKey_data();
    void insertTakesNextKey();
    void insertedNodeStaysLastUntilSorted();
    void renameResortsAndPosts();
    void renameToEmptyKeepsOldName();
    void selectionAndCurrentRecordFollowEachOther();
    void editIsStoredInEditedRecord();
    void moveWritesParentWithoutSelectionEvents();
    void copyOfItemWithTwoChildren();
    void refusedDrops_data();
    void refusedDrops();
    void dropOntoCurrentParent();
    void deleteSubtreeDeletesRecords();
    void deletedSubtreeComesBackByUndo();
    void deleteLeavesRecordsWithoutId();
    void childrenStoredFirstKeepTopLevelRows();
    void modelPassesTester();
    void positionsAndKeysFollowEveryChange();

private:
    void load(const QList<Rec> &records);
    void addRecord(qint32 id, qint32 parent, const QString &name, const QByteArray &desc = {});
    int node(const QString &text) const;
    QString recordField(qint32 id, const QString &field);

    std::unique_ptr<NotesTable> m_table;
    std::unique_ptr<FolderTreeLink> m_link;
};

void tst_FolderTree::init()
{
    m_table = std::make_unique<NotesTable>();
    m_table->cdsCommon().createDataSet();
    m_link = std::make_unique<FolderTreeLink>(m_table->cdsCommon());
}

void tst_FolderTree::cleanup()
{
    m_link.reset();
    m_table.reset();
}

void tst_FolderTree::addRecord(qint32 id, qint32 parent, const QString &name,
                               const QByteArray &desc)
{
    dataset::ClientDataSet &t = m_table->cdsCommon();
    t.append();
    t.setFieldValue(kFieldId, id);
    t.setFieldValue(kFieldParent, parent);
    t.setFieldValue(kFieldName, name);
    t.setBytes(kFieldDescription, desc);
    t.post();
}

void tst_FolderTree::load(const QList<Rec> &records)
{
    dataset::ClientDataSet &t = m_table->cdsCommon();
    {
        dataset::ControlsDisabler disabled(t);
        for (const Rec &r : records)
            addRecord(r.id, r.parent, QString::fromUtf8(r.name));
        t.first();
    }
}

int tst_FolderTree::node(const QString &text) const
{
    return test::nodeWithText(m_link->model(), text);
}

QString tst_FolderTree::recordField(qint32 id, const QString &field)
{
    dataset::ClientDataSet &t = m_table->cdsCommon();
    dataset::BookmarkKeeper keeper(t);
    if (!t.locate(kFieldId, id))
        return QStringLiteral("<none>");
    return t.asString(field);
}

void tst_FolderTree::storedOrderBuildsSameTree_data()
{
    QTest::addColumn<QList<Rec>>("records");
    const QString expected = QStringLiteral("Alpha(Apple(Core),Avocado),Beta(Bean)");
    QTest::newRow("parents first")
        << QList<Rec>{{0, -1, "Alpha"},  {1, 0, "Apple"}, {2, 1, "Core"},
                      {3, 0, "Avocado"}, {4, 4, "Beta"},  {5, 4, "Bean"}};
    QTest::newRow("children first")
        << QList<Rec>{{2, 1, "Core"},    {5, 4, "Bean"}, {1, 0, "Apple"},
                      {3, 0, "Avocado"}, {4, 4, "Beta"}, {0, -1, "Alpha"}};
    QTest::newRow("mixed") << QList<Rec>{{3, 0, "Avocado"}, {0, -1, "Alpha"}, {2, 1, "Core"},
                                         {4, 4, "Beta"},    {1, 0, "Apple"},  {5, 4, "Bean"}};
}

void tst_FolderTree::storedOrderBuildsSameTree()
{
    QFETCH(QList<Rec>, records);
    load(records);
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Apple(Core),Avocado),Beta(Bean)"));
    QCOMPARE(m_link->model().nodeCount(), 6);
}

void tst_FolderTree::postOfAnEditReachesTheNodes_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("asSaveDoes");
    QTest::addColumn<QString>("expected");
    const QString unchanged = QStringLiteral("Alpha(Apple,Avocado),Beta");
    for (const bool save : {false, true}) {
        const char *how = save ? "posted by a save" : "posted";
        QTest::addRow("description, %s", how)
            << QString(kFieldDescription) << QVariant(QStringLiteral("{\\rtf1 typed}")) << save
            << unchanged;
        QTest::addRow("name, %s", how)
            << QString(kFieldName) << QVariant(QStringLiteral("Aardvark")) << save
            << QStringLiteral("Alpha(Aardvark,Avocado),Beta");
        QTest::addRow("parent, %s", how) << QString(kFieldParent) << QVariant(4) << save
                                         << QStringLiteral("Alpha(Avocado),Beta(Apple)");
        QTest::addRow("ID, %s", how) << QString(kFieldId) << QVariant(7) << save << unchanged;
    }
}

void tst_FolderTree::postOfAnEditReachesTheNodes()
{
    // Given the item Apple being edited, when the edit is posted (on its own,
    // or by a save while the table's controls are off), then the nodes show
    // what the post changed, and a post of its document alone leaves them.
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(bool, asSaveDoes);
    QFETCH(QString, expected);
    load({{0, -1, "Alpha"}, {1, 0, "Apple"}, {3, 0, "Avocado"}, {4, 4, "Beta"}});
    dataset::ClientDataSet &t = m_table->cdsCommon();
    QVERIFY(t.locate(kFieldId, 1));
    t.edit();
    t.setFieldValue(field, value);
    {
        std::optional<dataset::ControlsDisabler> disabled;
        if (asSaveDoes)
            disabled.emplace(t);
        t.post();
    }
    QCOMPARE(shape(m_link->model()), expected);
    // A later post of another field still reaches the nodes.
    QVERIFY(t.locate(kFieldName, QStringLiteral("Avocado")));
    t.edit();
    t.setFieldValue(kFieldName, QStringLiteral("Acorn"));
    t.post();
    QVERIFY(shape(m_link->model()).contains(QStringLiteral("Acorn")));
    QCOMPARE(m_link->model().nodeCount(), 4);
}

void tst_FolderTree::topLevelForms()
{
    // Given Parent -1, Parent = own ID and a Parent naming no record.
    load({{0, -1, "Minus"}, {1, 1, "Self"}, {2, 999, "Orphan"}, {3, 1, "Child"}});
    QCOMPARE(shape(m_link->model()), QStringLiteral("Minus,Orphan,Self(Child)"));
}

void tst_FolderTree::parentCycleEnds()
{
    // Given two records that name each other (and a three-cycle): every record shows.
    load({{1, 2, "A"}, {2, 1, "B"}, {3, 5, "C"}, {4, 3, "D"}, {5, 4, "E"}});
    QCOMPARE(m_link->model().nodeCount(), 5);
    QCOMPARE(shape(m_link->model()), QStringLiteral("A(B),C(D(E))"));
    m_link->buildPass();
    QCOMPARE(shape(m_link->model()), QStringLiteral("A(B),C(D(E))"));
}

void tst_FolderTree::passKeepsNodesAndFollowsChanges()
{
    load({{0, -1, "Alpha"}, {1, 0, "Apple"}, {2, -1, "Beta"}});
    const int apple = node("Apple");
    dataset::ClientDataSet &t = m_table->cdsCommon();
    // Another program's change, seen as a general change of the table.
    QVERIFY(t.locate(kFieldId, 1));
    t.edit();
    t.setFieldValue(kFieldParent, 2);
    t.setFieldValue(kFieldName, "Apricot");
    t.post();
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha,Beta(Apricot)"));
    QCOMPARE(node("Apricot"), apple); // the same node, moved and renamed
    QCOMPARE(m_link->selectedNode(), apple);
}

void tst_FolderTree::deletedParentLiftsChildren()
{
    load({{0, -1, "Alpha"}, {1, 0, "Apple"}, {2, 1, "Core"}});
    dataset::ClientDataSet &t = m_table->cdsCommon();
    QVERIFY(t.locate(kFieldId, 1));
    t.deleteRecord();
    // Core's Parent names no record now: it is a top-level item.
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha,Core"));
}

void tst_FolderTree::recordNamingItselfAfterUndoIsTopLevel()
{
    // Given a top-level item moved under another, when the move is undone,
    // then its record names itself again and the node returns to the top.
    load({{0, 0, "Alpha"}, {1, 1, "Beta"}});
    m_table->cdsCommon().mergeChangeLog();
    QVERIFY(m_link->moveNode(node("Beta"), node("Alpha")));
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Beta)"));
    QVERIFY(m_table->cdsCommon().undoLastChange());
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha,Beta"));
}

void tst_FolderTree::siblingsFollowCaseSensitiveCollation()
{
    load({{0, -1, "beta"}, {1, -1, "Beta"}, {2, -1, "alpha"}, {3, -1, "Zulu"}, {4, -1, "Ärger"}});
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    QStringList expected{"beta", "Beta", "alpha", "Zulu", "Ärger"};
    std::stable_sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
        return collator.compare(a, b) < 0;
    });
    QCOMPARE(shape(m_link->model()), expected.join(QLatin1Char(',')));
}

void tst_FolderTree::insertTakesNextKey_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("expectedId");
    QTest::newRow("empty table") << 0 << 0;
    QTest::newRow("largest ID 9") << 10 << 10;
}

void tst_FolderTree::insertTakesNextKey()
{
    QFETCH(int, records);
    QFETCH(int, expectedId);
    QList<Rec> list;
    for (int i = 0; i < records; ++i)
        list.append({i, -1, "Item"});
    load(list);
    const int id = m_link->insertItem(FolderTreeModel::kNoNode, QStringLiteral("New Item"));
    dataset::ClientDataSet &t = m_table->cdsCommon();
    QCOMPARE(t.state(), State::Browse);
    QCOMPARE(t.asInteger(kFieldId), expectedId);
    QCOMPARE(t.asInteger(kFieldParent), expectedId);
    QCOMPARE(t.asString(kFieldName), QStringLiteral("New Item"));
    QCOMPARE(m_link->model().node(id).key, expectedId);
    QVERIFY(!m_link->model().node(id).inserting);
    QCOMPARE(m_link->selectedNode(), id);
}

void tst_FolderTree::insertedNodeStaysLastUntilSorted()
{
    load({{0, -1, "Root"}, {1, 0, "Banana"}, {2, 0, "Cherry"}});
    const int added = m_link->insertItem(node("Root"), QStringLiteral("Apple"));
    QCOMPARE(shape(m_link->model()), QStringLiteral("Root(Banana,Cherry,Apple)"));
    QCOMPARE(recordField(3, kFieldParent), QStringLiteral("0"));
    m_link->buildPass();
    QCOMPARE(shape(m_link->model()), QStringLiteral("Root(Apple,Banana,Cherry)"));
    QCOMPARE(m_link->model().node(added).row, 0);
}

void tst_FolderTree::renameResortsAndPosts()
{
    load({{0, -1, "Bravo"}, {1, -1, "Charlie"}, {2, -1, "Delta"}});
    const int delta = node("Delta");
    m_link->selectNode(delta);
    m_link->beginRename(delta);
    QCOMPARE(m_table->cdsCommon().state(), State::Edit);
    m_link->model().setData(m_link->model().indexOf(delta), QStringLiteral("Alpha"));
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha,Bravo,Charlie"));
    QCOMPARE(m_table->cdsCommon().state(), State::Browse);
    QCOMPARE(recordField(2, kFieldName), QStringLiteral("Alpha"));
}

void tst_FolderTree::renameToEmptyKeepsOldName()
{
    load({{0, -1, "Bravo"}});
    const int bravo = node("Bravo");
    m_link->selectNode(bravo);
    const int changes = m_table->cdsCommon().changeCount();
    m_link->endRename(bravo, QString());
    QCOMPARE(m_link->model().node(bravo).text, QStringLiteral("Bravo"));
    QCOMPARE(recordField(0, kFieldName), QStringLiteral("Bravo"));
    QCOMPARE(m_table->cdsCommon().changeCount(), changes);
}

void tst_FolderTree::selectionAndCurrentRecordFollowEachOther()
{
    load({{0, -1, "Alpha"}, {1, 0, "Apple"}, {2, -1, "Beta"}});
    dataset::ClientDataSet &t = m_table->cdsCommon();
    QSignalSpy changing(m_link.get(), &FolderTreeLink::selectionChanging);
    QSignalSpy changed(m_link.get(), &FolderTreeLink::selectionChanged);
    m_link->selectNode(node("Apple"));
    QCOMPARE(t.asInteger(kFieldId), 1);
    QCOMPARE(changing.count(), 1);
    QCOMPARE(changed.count(), 1);
    t.last();
    QCOMPARE(m_link->selectedNode(), node("Beta"));
}

void tst_FolderTree::editIsStoredInEditedRecord()
{
    load({{0, -1, "Alpha"}, {1, -1, "Beta"}});
    dataset::ClientDataSet &t = m_table->cdsCommon();
    m_link->selectNode(node("Alpha"));
    t.edit();
    t.setBytes(kFieldDescription, "typed");
    m_link->selectNode(node("Beta"));
    QCOMPARE(t.asInteger(kFieldId), 1);
    QCOMPARE(t.asBytes(kFieldDescription), QByteArray());
    QCOMPARE(recordField(0, kFieldDescription), QStringLiteral("typed"));
}

void tst_FolderTree::moveWritesParentWithoutSelectionEvents()
{
    load({{0, -1, "Alpha"}, {1, 0, "Apple"}, {2, -1, "Beta"}});
    const int apple = node("Apple");
    m_link->selectNode(apple);
    QSignalSpy changing(m_link.get(), &FolderTreeLink::selectionChanging);
    QSignalSpy expanded(m_link.get(), &FolderTreeLink::expandNode);
    QVERIFY(m_link->moveNode(apple, node("Beta")));
    QCOMPARE(changing.count(), 0);
    QCOMPARE(expanded.count(), 1);
    QCOMPARE(recordField(1, kFieldParent), QStringLiteral("2"));
    QVERIFY(m_link->moveNode(apple, FolderTreeModel::kNoNode));
    QCOMPARE(recordField(1, kFieldParent), QStringLiteral("1"));
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha,Beta,Apple"));
}

void tst_FolderTree::copyOfItemWithTwoChildren()
{
    QList<Rec> records{{0, -1, "Target"}, {1, -1, "Source"}, {2, 1, "Kid B"}, {3, 1, "Kid A"}};
    for (int id = 4; id <= 20; ++id)
        records.append({id, 0, "Filler"});
    load(records);
    dataset::ClientDataSet &t = m_table->cdsCommon();
    for (qint32 id : {1, 2, 3}) {
        QVERIFY(t.locate(kFieldId, id));
        t.edit();
        t.setBytes(kFieldDescription, QByteArray("{\\rtf1 doc ") + QByteArray::number(id) + "}");
        t.post();
    }
    const int root = m_link->copySubtree(node("Source"), node("Target"));
    QCOMPARE(m_link->model().node(root).key, 21);
    // Pre-order over the children in their order: Kid A (ID 3) first.
    QCOMPARE(recordField(21, kFieldParent), QStringLiteral("0"));
    QCOMPARE(recordField(21, kFieldName), QStringLiteral("Source"));
    QCOMPARE(recordField(22, kFieldParent), QStringLiteral("21"));
    QCOMPARE(recordField(22, kFieldName), QStringLiteral("Kid A"));
    QCOMPARE(recordField(22, kFieldDescription), QStringLiteral("{\\rtf1 doc 3}"));
    QCOMPARE(recordField(23, kFieldName), QStringLiteral("Kid B"));
    QCOMPARE(recordField(23, kFieldDescription), QStringLiteral("{\\rtf1 doc 2}"));
    QCOMPARE(recordField(21, kFieldDescription), QStringLiteral("{\\rtf1 doc 1}"));
    QCOMPARE(m_link->selectedNode(), root);
    QCOMPARE(t.asInteger(kFieldId), 21);
    m_link->buildPass();
    QCOMPARE(m_link->model().nodeCount(), 24);
}

void tst_FolderTree::refusedDrops_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("copy");
    QTest::newRow("itself, move") << "Alpha" << false;
    QTest::newRow("itself, copy") << "Alpha" << true;
    QTest::newRow("descendant, move") << "Core" << false;
    QTest::newRow("descendant, copy") << "Apple" << true;
}

void tst_FolderTree::refusedDrops()
{
    QFETCH(QString, target);
    QFETCH(bool, copy);
    load({{0, -1, "Alpha"}, {1, 0, "Apple"}, {2, 1, "Core"}, {3, -1, "Beta"}});
    const int changes = m_table->cdsCommon().changeCount();
    QVERIFY(!m_link->canDrop(node("Alpha"), node(target)));
    m_link->dropNode(node("Alpha"), node(target), copy);
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Apple(Core)),Beta"));
    QCOMPARE(m_table->cdsCommon().changeCount(), changes);
    QVERIFY(!m_link->canDrop(node("Alpha"), FolderTreeModel::kNoNode));
}

void tst_FolderTree::dropOntoCurrentParent()
{
    load({{0, -1, "Alpha"}, {1, 0, "Apple"}, {2, -1, "Beta"}});
    const int changes = m_table->cdsCommon().changeCount();
    m_link->dropNode(node("Apple"), node("Alpha"), false);
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Apple),Beta"));
    QCOMPARE(m_link->selectedNode(), node("Alpha"));
    QCOMPARE(m_table->cdsCommon().changeCount(), changes);
    // With Ctrl the subtree is copied under the same parent.
    m_link->dropNode(node("Apple"), node("Alpha"), true);
    m_link->buildPass();
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Apple,Apple),Beta"));
}

void tst_FolderTree::deleteSubtreeDeletesRecords()
{
    load({{0, -1, "Alpha"}, {1, 0, "Apple"}, {2, 1, "Core"}, {3, -1, "Beta"}, {4, 0, "Avocado"}});
    m_link->selectNode(node("Apple"));
    m_link->deleteNode(node("Apple"));
    m_link->buildPass();
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Avocado),Beta"));
    QCOMPARE(m_table->cdsCommon().recordCount(), 3);
    QCOMPARE(recordField(2, kFieldName), QStringLiteral("<none>"));
    QVERIFY(m_link->selectedNode() != FolderTreeModel::kNoNode);
}

void tst_FolderTree::deleteLeavesRecordsWithoutId()
{
    // Given a file with the item of ID 0 and two records without an ID
    // (they read as ID 0 and show in its node), when that node is deleted,
    // then only the record of ID 0 goes. (A document window opens such a
    // file read-only; this is the tree's own guard.)
    QTemporaryDir dir;
    QFile file(dir.filePath("loose.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA>"
               "<FIELDS><FIELD attrname=\"ID\" fieldtype=\"i4\"/>"
               "<FIELD attrname=\"Parent\" fieldtype=\"i4\"/>"
               "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"200\"/>"
               "<FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
               "</FIELDS><PARAMS/></METADATA><ROWDATA><ROW ID=\"0\" Parent=\"-1\" Name=\"Zero\"/>"
               "<ROW Parent=\"-1\" Name=\"No ID 1\"/><ROW Parent=\"-1\" Name=\"No ID 2\"/>"
               "</ROWDATA></DATAPACKET>");
    file.close();
    m_table->loadFromFile(file.fileName());
    m_link->buildPass();
    QCOMPARE(m_link->model().nodeCount(), 1);
    m_link->deleteNode(m_link->model().findByKey(0));
    dataset::ClientDataSet &t = m_table->cdsCommon();
    QCOMPARE(t.recordCount(), 2);
    QCOMPARE(t.nullCount(kFieldId), 2);
}

void tst_FolderTree::deletedSubtreeComesBackByUndo()
{
    // Given Apple with two descendants, when its subtree is deleted, then each
    // record's delete is one change; undo brings back the newest (Pip) as the
    // current record, and cancelling the updates brings back the whole tree.
    load({{0, -1, "Alpha"},
          {1, 0, "Apple"},
          {2, 1, "Core"},
          {3, -1, "Beta"},
          {4, 0, "Avocado"},
          {5, 1, "Pip"}});
    dataset::ClientDataSet &t = m_table->cdsCommon();
    t.mergeChangeLog();
    m_link->deleteNode(node("Apple"));
    m_link->buildPass();
    QCOMPARE(t.changeCount(), 3);
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Avocado),Beta"));
    QVERIFY(t.undoLastChange());
    QCOMPARE(t.asInteger(kFieldId), 5);
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Avocado),Beta,Pip"));
    QCOMPARE(m_link->selectedNode(), node("Pip"));
    t.cancelUpdates();
    QCOMPARE(shape(m_link->model()), QStringLiteral("Alpha(Apple(Core,Pip),Avocado),Beta"));
    QCOMPARE(t.recordCount(), 6);
}

void tst_FolderTree::childrenStoredFirstKeepTopLevelRows()
{
    // Given children stored before their parents among other top-level
    // items (and a two-cycle), when a pass places them all at once, then the
    // remaining top-level rows are still numbered right.
    QAbstractItemModelTester tester(&m_link->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    load({{5, 4, "E"},
          {7, 6, "G"},
          {11, 10, "K"},
          {1, -1, "B"},
          {9, 8, "I"},
          {10, 11, "J"},
          {4, -1, "D"},
          {6, 5, "F"},
          {8, -1, "H"},
          {0, -1, "A"}});
    QCOMPARE(shape(m_link->model()), QStringLiteral("A,B,D(E(F(G))),H(I),K(J)"));
    auto checkTopRows = [this] {
        const std::vector<int> &top = m_link->model().children(FolderTreeModel::kNoNode);
        for (size_t row = 0; row < top.size(); ++row)
            QCOMPARE(m_link->model().node(top[row]).row, int(row));
    };
    checkTopRows();
    // A top-level item that gets a parent leaves the top level in a later pass.
    dataset::ClientDataSet &t = m_table->cdsCommon();
    QVERIFY(t.locate(kFieldId, 1));
    t.edit();
    t.setFieldValue(kFieldParent, 0);
    t.post();
    QCOMPARE(shape(m_link->model()), QStringLiteral("A(B),D(E(F(G))),H(I),K(J)"));
    checkTopRows();
}

void tst_FolderTree::modelPassesTester()
{
    QAbstractItemModelTester tester(&m_link->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    load({{2, 1, "Core"}, {0, -1, "Alpha"}, {1, 0, "Apple"}, {3, -1, "Beta"}});
    const int added = m_link->insertItem(node("Apple"), QStringLiteral("Zed"));
    m_link->endRename(added, QStringLiteral("Aardvark"));
    QVERIFY(m_link->moveNode(node("Core"), node("Beta")));
    m_link->copySubtree(node("Alpha"), node("Beta"));
    m_link->deleteNode(node("Alpha"));
    m_link->buildPass();
    m_table->cdsCommon().cancelUpdates();
    QCOMPARE(m_link->model().nodeCount(), 0);
    m_table->cdsCommon().close();
    QCOMPARE(m_link->model().rowCount(), 0);
}

void tst_FolderTree::positionsAndKeysFollowEveryChange()
{
    // Given a tree changed at random by every kind of change the link makes,
    // when positions are asked between the changes (so that what the model
    // keeps for them is kept up to date, not made again), then each node's
    // display position is its place in a walk of the tree, and its key finds it.
    QRandomGenerator random(11);
    dataset::ClientDataSet &t = m_table->cdsCommon();
    {
        dataset::ControlsDisabler disabled(t);
        for (int i = 0; i < 40; ++i)
            addRecord(i * 3, i < 5 ? -1 : int(random.bounded(i)) * 3,
                      QStringLiteral("n%1").arg(random.bounded(20)));
        t.first();
    }
    FolderTreeModel &model = m_link->model();
    auto anyNode = [&] {
        std::vector<int> nodes;
        model.forEachInDisplayOrder([&](int id, int) {
            nodes.push_back(id);
            return true;
        });
        return nodes[random.bounded(int(nodes.size()))];
    };
    auto check = [&] {
        model.forEachInDisplayOrder([&](int id, int position) {
            [&] {
                QCOMPARE(model.displayPosition(id), position);
                QCOMPARE(model.findByKey(model.node(id).key), id);
            }();
            return !QTest::currentTestFailed();
        });
    };
    for (int step = 0; step < 150; ++step) {
        model.displayPosition(anyNode()); // positions known before the change
        switch (random.bounded(6)) {
        case 0:
            m_link->insertItem(anyNode(), QStringLiteral("i%1").arg(step));
            break;
        case 1:
            m_link->moveNode(anyNode(),
                             random.bounded(4) == 0 ? FolderTreeModel::kNoNode : anyNode());
            break;
        case 2:
            if (model.nodeCount() > 10)
                m_link->deleteNode(anyNode());
            break;
        case 3:
            m_link->endRename(anyNode(), QStringLiteral("r%1").arg(random.bounded(100)));
            break;
        case 4:
            if (t.changeCount() > 0)
                t.undoLastChange();
            break;
        default:
            m_link->copySubtree(anyNode(), anyNode());
            break;
        }
        m_link->buildPass();
        check();
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));
    }
}

QTEST_MAIN(tst_FolderTree)
#include "tst_folder_tree.moc"
