#include "tree/folder_tree_model.h"

#include <QColor>
#include <QPalette>
#include <QSet>
#include <algorithm>

namespace bw::notes {

FolderTreeModel::FolderTreeModel(QObject *parent) : QAbstractItemModel(parent)
{
    // Siblings compare as the platform's case-sensitive, locale-aware order.
    m_collator.setCaseSensitivity(Qt::CaseSensitive);
}

// ---------------------------------------------------------------- nodes

bool FolderTreeModel::isNode(int id) const
{
    return id >= 0 && size_t(id) < m_nodes.size() && m_nodes[size_t(id)].alive;
}

const std::vector<int> &FolderTreeModel::children(int parent) const
{
    return parent == kNoNode ? m_top : m_nodes[size_t(parent)].children;
}

std::vector<int> &FolderTreeModel::childList(int parent)
{
    return parent == kNoNode ? m_top : m_nodes[size_t(parent)].children;
}

int FolderTreeModel::findByKey(qint32 key) const
{
    if (!m_index.empty()) {
        // Keys are mostly dense and sorted: the key's own place is tried first.
        const qint64 guess = qint64(key) - m_index.front().first;
        if (guess >= 0 && guess < qint64(m_index.size()) && m_index[size_t(guess)].first == key &&
            (guess == 0 || m_index[size_t(guess) - 1].first != key))
            return m_index[size_t(guess)].second;
        if (key > m_index.back().first)
            return m_pendingLookup.value(key, kNoNode);
    }
    const auto it =
        std::lower_bound(m_index.begin(), m_index.end(), std::pair<qint32, int>(key, -1));
    if (it != m_index.end() && it->first == key)
        return it->second;
    return m_pendingLookup.value(key, kNoNode);
}

std::optional<qint32> FolderTreeModel::largestKey() const
{
    std::optional<qint32> largest;
    if (!m_index.empty())
        largest = m_index.back().first;
    for (const auto &entry : m_pendingIndex)
        if (!largest || entry.first > *largest)
            largest = entry.first;
    return largest;
}

bool FolderTreeModel::isInSubtree(int node, int ancestor) const
{
    for (int at = node; at != kNoNode; at = m_nodes[size_t(at)].parent)
        if (at == ancestor)
            return true;
    return false;
}

std::vector<int> FolderTreeModel::subtree(int node) const
{
    std::vector<int> result;
    std::vector<int> stack{node};
    while (!stack.empty()) {
        const int id = stack.back();
        stack.pop_back();
        result.push_back(id);
        const auto &kids = m_nodes[size_t(id)].children;
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    return result;
}

QModelIndex FolderTreeModel::indexOf(int id) const
{
    if (!isNode(id))
        return {};
    return createIndex(m_nodes[size_t(id)].row, 0, quintptr(id));
}

int FolderTreeModel::nodeOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return kNoNode;
    return int(index.internalId());
}

// ---------------------------------------------------------------- storage

int FolderTreeModel::allocate()
{
    int id;
    if (!m_free.empty()) {
        id = m_free.back();
        m_free.pop_back();
    } else {
        id = int(m_nodes.size());
        m_nodes.emplace_back();
    }
    m_nodes[size_t(id)].alive = true;
    ++m_liveCount;
    if (m_subtreeSizesKnown) {
        if (m_subtreeSize.size() < m_nodes.size())
            m_subtreeSize.resize(m_nodes.size());
        m_subtreeSize[size_t(id)] = 1;
    }
    return id;
}

// With room to spare, so that the first nodes added after the pass do not
// move all the others.
void FolderTreeModel::reserveNodes(size_t n)
{
    const size_t room = n + n / 8 + 64;
    if (m_nodes.capacity() < n)
        m_nodes.reserve(room);
    if (m_index.capacity() < n)
        m_index.reserve(room);
}

void FolderTreeModel::addToAncestors(int parent, int delta)
{
    for (int at = parent; at != kNoNode; at = m_nodes[size_t(at)].parent)
        m_subtreeSize[size_t(at)] += delta;
}

void FolderTreeModel::ensureSubtreeSizes() const
{
    if (m_subtreeSizesKnown)
        return;
    m_subtreeSize.reserve(m_nodes.capacity());
    m_subtreeSize.assign(m_nodes.size(), 0);
    // Breadth first from the top, then every node adds its count to its parent's.
    std::vector<int> order(m_top);
    order.reserve(size_t(m_liveCount));
    for (size_t i = 0; i < order.size(); ++i) {
        const auto &kids = m_nodes[size_t(order[i])].children;
        order.insert(order.end(), kids.begin(), kids.end());
    }
    for (size_t i = order.size(); i-- > 0;) {
        const int id = order[i];
        m_subtreeSize[size_t(id)] += 1;
        const int parent = m_nodes[size_t(id)].parent;
        if (parent != kNoNode)
            m_subtreeSize[size_t(parent)] += m_subtreeSize[size_t(id)];
    }
    m_subtreeSizesKnown = true;
}

void FolderTreeModel::release(int id)
{
    m_nodes[size_t(id)] = TreeNode();
    m_free.push_back(id);
    --m_liveCount;
}

void FolderTreeModel::attach(int id, int parent)
{
    auto &list = childList(parent);
    TreeNode &n = m_nodes[size_t(id)];
    n.parent = parent;
    n.row = int(list.size());
    list.push_back(id);
    if (m_subtreeSizesKnown)
        addToAncestors(parent, m_subtreeSize[size_t(id)]);
    // A node that arrives stays last until its level is sorted again.
    markUnsorted(parent);
}

void FolderTreeModel::detach(int id)
{
    TreeNode &n = m_nodes[size_t(id)];
    if (m_subtreeSizesKnown)
        addToAncestors(n.parent, -m_subtreeSize[size_t(id)]);
    auto &list = childList(n.parent);
    list.erase(list.begin() + n.row);
    renumber(n.parent, size_t(n.row));
}

void FolderTreeModel::renumber(int parent, size_t from)
{
    const auto &list = childList(parent);
    for (size_t i = from; i < list.size(); ++i)
        m_nodes[size_t(list[i])].row = int(i);
}

bool &FolderTreeModel::unsortedFlag(int parent)
{
    return parent == kNoNode ? m_topUnsorted : m_nodes[size_t(parent)].unsorted;
}

void FolderTreeModel::markUnsorted(int parent)
{
    unsortedFlag(parent) = true;
}

void FolderTreeModel::indexInsert(qint32 key, int id)
{
    if (m_index.empty() || key > m_index.back().first) {
        m_index.emplace_back(key, id);
    } else if (m_bulk) {
        // Out of order during a pass: sorted in once at its end.
        m_pendingIndex.emplace_back(key, id);
        if (!m_pendingLookup.contains(key))
            m_pendingLookup.insert(key, id);
    } else {
        const std::pair<qint32, int> entry(key, id);
        m_index.insert(std::lower_bound(m_index.begin(), m_index.end(), entry), entry);
    }
}

void FolderTreeModel::indexRemove(qint32 key, int id)
{
    auto it = std::lower_bound(m_index.begin(), m_index.end(), std::pair<qint32, int>(key, id));
    if (it != m_index.end() && it->first == key && it->second == id) {
        m_index.erase(it);
        return;
    }
    const auto pending =
        std::find(m_pendingIndex.begin(), m_pendingIndex.end(), std::pair<qint32, int>(key, id));
    if (pending != m_pendingIndex.end()) {
        m_pendingIndex.erase(pending);
        m_pendingLookup.remove(key);
        for (const auto &entry : m_pendingIndex)
            if (entry.first == key && !m_pendingLookup.contains(key))
                m_pendingLookup.insert(key, entry.second);
    }
}

void FolderTreeModel::mergePendingIndex()
{
    if (m_pendingIndex.empty())
        return;
    std::sort(m_pendingIndex.begin(), m_pendingIndex.end());
    const auto middle = m_index.size();
    m_index.insert(m_index.end(), m_pendingIndex.begin(), m_pendingIndex.end());
    std::inplace_merge(m_index.begin(), m_index.begin() + qsizetype(middle), m_index.end());
    m_pendingIndex.clear();
    m_pendingLookup.clear();
}

// ---------------------------------------------------------------- single changes

int FolderTreeModel::addNode(int parent, const QString &text, qint32 key, bool inserting)
{
    const int row = int(children(parent).size());
    beginInsertRows(indexOf(parent), row, row);
    const int id = allocate();
    TreeNode &n = m_nodes[size_t(id)];
    n.text = text;
    n.key = key;
    n.inserting = inserting;
    attach(id, parent);
    indexInsert(key, id);
    endInsertRows();
    return id;
}

void FolderTreeModel::setKey(int id, qint32 key)
{
    TreeNode &n = m_nodes[size_t(id)];
    if (n.key == key)
        return;
    indexRemove(n.key, id);
    n.key = key;
    indexInsert(key, id);
}

void FolderTreeModel::setText(int id, const QString &text)
{
    TreeNode &n = m_nodes[size_t(id)];
    if (n.text == text)
        return;
    n.text = text;
    const QModelIndex index = indexOf(id);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    markUnsorted(n.parent);
    sortChildren(n.parent);
}

bool FolderTreeModel::moveNode(int id, int newParent)
{
    if (newParent != kNoNode && isInSubtree(newParent, id))
        return false;
    const TreeNode &n = m_nodes[size_t(id)];
    const int oldParent = n.parent;
    const int row = n.row;
    const int destination = int(children(newParent).size());
    if (oldParent == newParent && row == destination - 1)
        return true;
    if (!beginMoveRows(indexOf(oldParent), row, row, indexOf(newParent), destination))
        return false;
    detach(id);
    attach(id, newParent);
    endMoveRows();
    return true;
}

void FolderTreeModel::releaseSubtree(int id)
{
    const std::vector<int> nodes = subtree(id);
    for (int node : nodes)
        m_nodes[size_t(node)].alive = false;
    // One sweep of the index, however many nodes go.
    std::erase_if(m_index,
                  [this](const auto &entry) { return !m_nodes[size_t(entry.second)].alive; });
    for (int node : nodes) {
        m_nodes[size_t(node)].alive = true;
        release(node);
    }
}

void FolderTreeModel::removeSubtree(int id)
{
    const TreeNode &n = m_nodes[size_t(id)];
    beginRemoveRows(indexOf(n.parent), n.row, n.row);
    detach(id);
    releaseSubtree(id);
    if (m_dropTarget != kNoNode && !isNode(m_dropTarget))
        m_dropTarget = kNoNode;
    endRemoveRows();
}

void FolderTreeModel::clear()
{
    beginResetModel();
    m_nodes.clear();
    m_free.clear();
    m_top.clear();
    m_index.clear();
    m_pendingIndex.clear();
    m_pendingLookup.clear();
    m_liveCount = 0;
    m_subtreeSizesKnown = false;
    m_dropTarget = kNoNode;
    endResetModel();
}

void FolderTreeModel::setExpanded(int id, bool expanded)
{
    if (isNode(id))
        m_nodes[size_t(id)].expanded = expanded;
}

// ---------------------------------------------------------------- build pass

void FolderTreeModel::beginBulk()
{
    m_bulk = true;
    m_resetPending = false;
}

void FolderTreeModel::announceReset()
{
    if (m_bulk && !m_resetPending) {
        beginResetModel();
        m_resetPending = true;
    }
}

void FolderTreeModel::endBulk()
{
    mergePendingIndex();
    m_bulk = false;
    const bool reset = m_resetPending;
    m_resetPending = false;
    if (reset) {
        for (size_t id = 0; id < m_nodes.size(); ++id)
            if (m_nodes[id].alive && m_nodes[id].unsorted) {
                sortList(m_nodes[id].children);
                renumber(int(id));
                m_nodes[id].unsorted = false;
            }
        if (m_topUnsorted) {
            sortList(m_top);
            renumber(kNoNode);
            m_topUnsorted = false;
        }
        endResetModel();
        return;
    }
    for (size_t id = 0; id < m_nodes.size(); ++id)
        if (m_nodes[id].alive && m_nodes[id].unsorted)
            sortChildren(int(id));
    if (m_topUnsorted)
        sortChildren(kNoNode);
}

void FolderTreeModel::markAllUnvisited()
{
    for (TreeNode &n : m_nodes)
        n.visited = false;
}

int FolderTreeModel::bulkAdd(int parent, const QString &text, qint32 key)
{
    announceReset();
    const int id = allocate();
    TreeNode &n = m_nodes[size_t(id)];
    n.text = text;
    n.key = key;
    attach(id, parent);
    indexInsert(key, id);
    return id;
}

bool FolderTreeModel::bulkMove(int id, int newParent)
{
    // A Parent cycle written by another program must not hang a node below itself.
    if (newParent != kNoNode && isInSubtree(newParent, id))
        return false;
    announceReset();
    detach(id);
    attach(id, newParent);
    return true;
}

void FolderTreeModel::bulkMoveFromTop(const std::vector<std::pair<int, int>> &moves)
{
    bool moved = false;
    for (const auto &[id, parent] : moves) {
        if (m_nodes[size_t(id)].parent != kNoNode || isInSubtree(parent, id))
            continue;
        announceReset();
        attach(id, parent); // taken off the top level below, all at once
        moved = true;
    }
    if (!moved)
        return;
    std::erase_if(m_top, [this](int id) { return m_nodes[size_t(id)].parent != kNoNode; });
    renumber(kNoNode);
}

void FolderTreeModel::bulkSetText(int id, const QString &text)
{
    TreeNode &n = m_nodes[size_t(id)];
    if (n.text == text)
        return;
    n.text = text;
    markUnsorted(n.parent);
    if (!m_resetPending) {
        const QModelIndex index = indexOf(id);
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
}

void FolderTreeModel::bulkRemoveUnvisited()
{
    std::vector<int> gone;
    for (size_t id = 0; id < m_nodes.size(); ++id)
        if (m_nodes[id].alive && !m_nodes[id].visited)
            gone.push_back(int(id));
    if (gone.empty())
        return;
    announceReset();
    m_subtreeSizesKnown = false;
    // Children whose records remain are shown at the top level: their Parent
    // now names no record.
    std::vector<int> lifted;
    for (int id : gone)
        for (int child : m_nodes[size_t(id)].children)
            if (m_nodes[size_t(child)].visited)
                lifted.push_back(child);
    for (int child : lifted) {
        detach(child);
        attach(child, kNoNode);
    }
    QSet<int> parents;
    for (int id : gone)
        parents.insert(m_nodes[size_t(id)].parent);
    for (int parent : parents) {
        if (parent != kNoNode && !m_nodes[size_t(parent)].visited)
            continue;
        std::erase_if(childList(parent), [this](int id) { return !m_nodes[size_t(id)].visited; });
        renumber(parent);
    }
    for (int id : gone)
        m_nodes[size_t(id)].alive = false;
    std::erase_if(m_index,
                  [this](const auto &entry) { return !m_nodes[size_t(entry.second)].alive; });
    for (int id : gone) {
        m_nodes[size_t(id)].alive = true;
        release(id);
    }
    if (m_dropTarget != kNoNode && !isNode(m_dropTarget))
        m_dropTarget = kNoNode;
}

// ---------------------------------------------------------------- order

bool FolderTreeModel::lessThan(const QString &a, const QString &b) const
{
    return m_collator.compare(a, b) < 0;
}

void FolderTreeModel::sortList(std::vector<int> &list)
{
    std::stable_sort(list.begin(), list.end(), [this](int a, int b) {
        return lessThan(m_nodes[size_t(a)].text, m_nodes[size_t(b)].text);
    });
}

void FolderTreeModel::sortChildren(int parent)
{
    unsortedFlag(parent) = false;
    auto &list = childList(parent);
    const auto less = [this](int a, int b) {
        return lessThan(m_nodes[size_t(a)].text, m_nodes[size_t(b)].text);
    };
    if (std::is_sorted(list.begin(), list.end(), less))
        return;
    QList<QPersistentModelIndex> parents;
    if (parent != kNoNode)
        parents.append(indexOf(parent));
    emit layoutAboutToBeChanged(parents, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    sortList(list);
    renumber(parent);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(indexOf(nodeOf(index)));
    changePersistentIndexList(before, after);
    emit layoutChanged(parents, QAbstractItemModel::VerticalSortHint);
}

void FolderTreeModel::forEachInDisplayOrder(
    const std::function<bool(int id, int position)> &visit) const
{
    int position = 0;
    std::vector<int> stack(m_top.rbegin(), m_top.rend());
    while (!stack.empty()) {
        const int id = stack.back();
        stack.pop_back();
        if (!visit(id, position++))
            return;
        const auto &kids = m_nodes[size_t(id)].children;
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
}

// The nodes before it in display order: at every level, the subtrees of the
// siblings before it, and each ancestor itself.
int FolderTreeModel::displayPosition(int id) const
{
    if (!isNode(id))
        return -1;
    ensureSubtreeSizes();
    int position = 0;
    for (int at = id; at != kNoNode;) {
        const TreeNode &n = m_nodes[size_t(at)];
        const auto &siblings = children(n.parent);
        for (int row = 0; row < n.row; ++row)
            position += m_subtreeSize[size_t(siblings[size_t(row)])];
        if (n.parent != kNoNode)
            ++position;
        at = n.parent;
    }
    return position;
}

// ---------------------------------------------------------------- look

void FolderTreeModel::setImages(const QIcon &normal, const QIcon &selected)
{
    m_normalImage = normal;
    m_selectedImage = selected;
    if (!m_top.empty())
        emit dataChanged(index(0, 0), index(int(m_top.size()) - 1, 0), {Qt::DecorationRole});
}

void FolderTreeModel::setSelectedNode(int id)
{
    if (id == m_selectedNode)
        return;
    const int old = m_selectedNode;
    m_selectedNode = id;
    for (int node : {old, id})
        if (isNode(node)) {
            const QModelIndex index = indexOf(node);
            emit dataChanged(index, index, {Qt::DecorationRole});
        }
}

void FolderTreeModel::setDropTarget(int id)
{
    if (id == m_dropTarget)
        return;
    const int old = m_dropTarget;
    m_dropTarget = id;
    for (int node : {old, id})
        if (isNode(node)) {
            const QModelIndex index = indexOf(node);
            emit dataChanged(index, index, {Qt::BackgroundRole, Qt::ForegroundRole});
        }
}

// ---------------------------------------------------------------- item model

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    const int parentNode = nodeOf(parent);
    if (parent.isValid() && !isNode(parentNode))
        return {};
    const auto &list = children(parentNode);
    if (size_t(row) >= list.size())
        return {};
    return createIndex(row, 0, quintptr(list[size_t(row)]));
}

QModelIndex FolderTreeModel::parent(const QModelIndex &child) const
{
    const int id = nodeOf(child);
    if (!isNode(id))
        return {};
    return indexOf(m_nodes[size_t(id)].parent);
}

int FolderTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const int id = nodeOf(parent);
    if (parent.isValid() && !isNode(id))
        return 0;
    return int(children(id).size());
}

int FolderTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex &index, int role) const
{
    const int id = nodeOf(index);
    if (!isNode(id))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_nodes[size_t(id)].text;
    case Qt::DecorationRole:
        return id == m_selectedNode ? m_selectedImage : m_normalImage;
    case Qt::BackgroundRole:
        if (id == m_dropTarget)
            return QPalette().brush(QPalette::Active, QPalette::Highlight);
        return {};
    case Qt::ForegroundRole:
        if (id == m_dropTarget)
            return QPalette().brush(QPalette::Active, QPalette::HighlightedText);
        return {};
    default:
        return {};
    }
}

bool FolderTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const int id = nodeOf(index);
    if (role != Qt::EditRole || !isNode(id))
        return false;
    emit renamed(id, value.toString());
    return true;
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex &index) const
{
    if (!isNode(nodeOf(index)))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

} // namespace bw::notes
