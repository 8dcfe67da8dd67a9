// The build pass and the two directions of selection: the nodes follow the
// records, the selection follows the current record, and selecting a node
// moves the table to its record.

#include "tree/folder_tree_link.h"
#include "notes/notes_table.h"
#include "platform/guarded_dispatch.h"

#include <utility>

namespace bw::notes {

namespace {

using State = dataset::ClientDataSet::State;

// Brackets a bulk change of the model, so its end runs on every path.
class BulkChange
{
public:
    explicit BulkChange(FolderTreeModel &model) : m_model(model) { m_model.beginBulk(); }
    ~BulkChange() { m_model.endBulk(); }
    BulkChange(const BulkChange &) = delete;
    BulkChange &operator=(const BulkChange &) = delete;

private:
    FolderTreeModel &m_model;
};

} // namespace

FolderTreeLink::FolderTreeLink(dataset::ClientDataSet &table, QObject *parent)
    : QObject(parent), m_table(table), m_model(this), m_selection(&m_model)
{
    guardedConnect(&m_selection, &QItemSelectionModel::currentChanged, this,
                   [this](const QModelIndex &current) { currentChanged(current); });
    // A reset forgets the selection; the pass selects again at its end.
    guardedConnect(&m_model, &QAbstractItemModel::modelReset, this,
                   [this] { m_model.setSelectedNode(kNoNode); });
    guardedConnect(&m_model, &FolderTreeModel::renamed, this, &FolderTreeLink::endRename);
    connectTable();
}

void FolderTreeLink::connectTable()
{
    using DS = dataset::ClientDataSet;
    guardedConnect(&m_table, &DS::dataSetChanged, this, &FolderTreeLink::tableChanged);
    guardedConnect(&m_table, &DS::afterScroll, this, &FolderTreeLink::tableScrolled);
    guardedConnect(&m_table, &DS::beforePost, this, &FolderTreeLink::tableBeforePost);
    guardedConnect(&m_table, &DS::afterPost, this, &FolderTreeLink::tableAfterPost);
    // A window tears its table down before its widgets: an editor closing
    // late must not reach the table any more.
    guardedConnect(&m_table, &QObject::destroyed, this, [this] {
        m_attached = false;
        disconnect(&m_model, nullptr, this, nullptr);
        disconnect(&m_selection, nullptr, this, nullptr);
    });
}

void FolderTreeLink::setAttached(bool attached)
{
    if (attached == m_attached)
        return;
    m_attached = attached;
    if (attached)
        buildPass();
}

// A general change of the table that the tree did not make itself.
void FolderTreeLink::tableChanged()
{
    if (!m_attached || m_building || m_writing)
        return;
    if (m_following) {
        m_changedWhileFollowing = true;
        return;
    }
    const State state = m_table.state();
    if (state == State::Edit || state == State::Insert)
        return;
    if (m_table.isActive() && m_table.dataVersion() == m_builtVersion) {
        // Records and order as the nodes show them (a save, a refresh): only
        // the current record may have moved.
        emit renamingCancelled();
        const int node = currentRecordNode();
        if (node != kNoNode)
            selectNode(node);
        return;
    }
    buildPass(true);
}

// The table moved to another record by other means: its node is selected.
void FolderTreeLink::tableScrolled()
{
    if (!m_attached || m_building || m_writing || m_following || m_table.controlsDisabled())
        return;
    if (m_table.state() == State::Insert)
        return;
    const int node = currentRecordNode();
    if (node != kNoNode)
        selectNode(node);
}

// A post that keeps the record's ID, Parent and Name (the text typed into
// an item's document, which a save or a move to another item posts) changes
// nothing the nodes show: it costs no build pass, however many records the
// table holds. With an order or a filter the record could move or leave, so
// those posts take the pass.
void FolderTreeLink::tableBeforePost()
{
    m_postKeepsNodes = false;
    if (!m_attached || m_building || m_writing || m_table.state() != State::Edit ||
        m_table.dataVersion() != m_builtVersion || !m_table.indexName().isEmpty() ||
        m_table.isFiltered())
        return;
    const int recNo = m_table.recNo();
    for (const QString &field : {kFieldId, kFieldParent, kFieldName}) {
        if (m_table.fieldValue(field) != m_table.fieldValueAt(recNo, field))
            return;
    }
    m_postKeepsNodes = true;
}

void FolderTreeLink::tableAfterPost()
{
    if (std::exchange(m_postKeepsNodes, false))
        m_builtVersion = m_table.dataVersion();
}

void FolderTreeLink::buildPass(bool generalChange)
{
    if (generalChange)
        emit renamingCancelled();
    if (!m_attached)
        return;
    {
        ScopedFlag building(m_building);
        if (!m_table.isActive()) {
            m_model.clear();
            return;
        }
        BulkChange bulk(m_model);
        walkTable();
        placeTopLevelChildren();
        m_model.bulkRemoveUnvisited();
        m_builtVersion = m_table.dataVersion();
    }
    const int node = currentRecordNode();
    if (node != kNoNode)
        selectNode(node);
}

// Every record gets its node, under the node of its Parent, while the
// table's controls are off and its current record is kept.
void FolderTreeLink::walkTable()
{
    dataset::ControlsDisabler disabled(m_table);
    dataset::BookmarkKeeper keeper(m_table);
    m_model.reserveNodes(size_t(m_table.recordCount()));
    m_model.markAllUnvisited();
    m_table.first();
    while (!m_table.eof()) {
        const qint32 key = m_table.asInteger(kFieldId);
        const bool hasParent = !m_table.isNull(kFieldParent);
        const qint32 parentValue = hasParent ? m_table.asInteger(kFieldParent) : key;
        const QString name = m_table.asString(kFieldName);
        int parentNode = hasParent ? m_model.findByKey(parentValue) : kNoNode;
        int id = m_model.findByKey(key);
        // A record naming itself is a top-level item.
        if (parentNode != kNoNode && parentNode == id)
            parentNode = kNoNode;
        if (id != kNoNode) {
            const TreeNode &n = m_model.node(id);
            if (n.parent != kNoNode && n.parent != parentNode)
                m_model.bulkMove(id, parentNode);
            m_model.bulkSetText(id, name);
        } else {
            id = m_model.bulkAdd(parentNode, name, key);
        }
        m_model.setParentValue(id, parentValue);
        m_model.setVisited(id);
        m_table.next();
    }
}

// Top-level nodes whose Parent names another node move under it: children
// that the walk met before their parents.
void FolderTreeLink::placeTopLevelChildren()
{
    std::vector<std::pair<int, int>> moves;
    for (int id : m_model.children(kNoNode)) {
        const TreeNode &n = m_model.node(id);
        if (n.parentValue == n.key)
            continue;
        const int parent = m_model.findByKey(n.parentValue);
        if (parent != kNoNode && parent != id)
            moves.emplace_back(id, parent);
    }
    // A parent inside the node's own subtree (a cycle) is refused there.
    m_model.bulkMoveFromTop(moves);
}

int FolderTreeLink::currentRecordNode() const
{
    if (!m_table.isActive() || m_table.isEmpty() || m_table.state() == State::Insert)
        return kNoNode;
    return m_model.findByKey(m_table.asInteger(kFieldId));
}

int FolderTreeLink::selectedNode() const
{
    const int id = m_model.nodeOf(m_selection.currentIndex());
    return m_model.isNode(id) ? id : kNoNode;
}

void FolderTreeLink::selectNode(int id)
{
    if (!m_model.isNode(id))
        return;
    setCurrentNode(id);
    emit scrollToNode(id);
}

void FolderTreeLink::setCurrentNode(int id)
{
    m_selection.setCurrentIndex(m_model.indexOf(id), QItemSelectionModel::ClearAndSelect);
}

void FolderTreeLink::currentChanged(const QModelIndex &current)
{
    const int id = m_model.nodeOf(current);
    if (m_quietSelection) {
        m_model.setSelectedNode(id);
        return;
    }
    emit selectionChanging(id);
    m_model.setSelectedNode(id);
    followSelection(id);
    emit selectionChanged(id);
}

// The table moves to the selected node's record.
void FolderTreeLink::followSelection(int id)
{
    if (!m_model.isNode(id) || m_model.node(id).inserting || m_following)
        return;
    if (!m_table.isActive() || m_table.isEmpty() || m_table.state() == State::Insert)
        return;
    const qint32 key = m_model.node(id).key;
    if (!m_table.isNull(kFieldId) && m_table.asInteger(kFieldId) == key)
        return;
    {
        ScopedFlag following(m_following);
        m_changedWhileFollowing = false;
        try {
            // Leaving the record posts its edit into that record first.
            m_table.locate(kFieldId, key);
        } catch (const dataset::DataSetError &) {
            // The table stays on its record.
        }
    }
    if (m_changedWhileFollowing) {
        m_changedWhileFollowing = false;
        buildPass(true);
    }
}

} // namespace bw::notes
