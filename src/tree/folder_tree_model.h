#pragma once
// FolderTreeModel: the nodes of the folder tree (text, key, the record's
// Parent as last seen, an inserting flag) in a flat pool with child lists,
// an index of the nodes ordered by key for binary search, and sibling order
// by the locale-aware, case-sensitive comparison. Structural changes made one
// at a time send per-row signals; a bulk change (the build pass) is bracketed
// by beginBulk()/endBulk() and sends one reset, and only when it changed the
// structure.

#include <QAbstractItemModel>
#include <QCollator>
#include <QHash>
#include <QIcon>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace bw::notes {

struct TreeNode
{
    QString text;
    qint32 key = 0;
    qint32 parentValue = 0; // the record's Parent as last seen
    int parent = -1;        // node id of the parent; -1 at the top level
    int row = 0;            // position among its siblings
    std::vector<int> children;
    bool alive = false;
    bool inserting = false; // no record yet
    bool visited = false;   // build pass
    bool expanded = false;  // kept across resets of the view
    bool unsorted = false;  // its children wait for a sort
};

class FolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    static constexpr int kNoNode = -1;

    explicit FolderTreeModel(QObject *parent = nullptr);

    // --- Nodes ---
    int nodeCount() const { return m_liveCount; }
    const TreeNode &node(int id) const { return m_nodes[size_t(id)]; }
    bool isNode(int id) const;
    // The children of a node, or the top-level nodes for kNoNode.
    const std::vector<int> &children(int parent) const;
    int findByKey(qint32 key) const;
    std::optional<qint32> largestKey() const;
    // True when node is ancestor itself or lies below it.
    bool isInSubtree(int node, int ancestor) const;
    // The node and its descendants, the node first (pre-order).
    std::vector<int> subtree(int node) const;

    QModelIndex indexOf(int id) const;
    int nodeOf(const QModelIndex &index) const;

    // --- Single changes, with row signals ---
    // Adds a node as the last child of parent (kNoNode: last top-level node).
    int addNode(int parent, const QString &text, qint32 key, bool inserting = false);
    void setKey(int id, qint32 key);
    void setInserting(int id, bool inserting) { m_nodes[size_t(id)].inserting = inserting; }
    void setParentValue(int id, qint32 value) { m_nodes[size_t(id)].parentValue = value; }
    // Changes the text; when it differs, the siblings are sorted again at once.
    void setText(int id, const QString &text);
    // Makes the node the last child of newParent; refused (false) when
    // newParent lies in the node's own subtree.
    bool moveNode(int id, int newParent);
    // Removes the node and its descendants.
    void removeSubtree(int id);
    void clear();
    void setExpanded(int id, bool expanded);

    // --- Build pass ---
    void beginBulk();
    // Sorts every level that waits for it and ends the bulk change.
    void endBulk();
    // Makes room for n nodes ahead of a pass that adds them.
    void reserveNodes(size_t n);
    void markAllUnvisited();
    void setVisited(int id) { m_nodes[size_t(id)].visited = true; }
    // Within a bulk change: no signals (a reset is announced at the first
    // structural change).
    int bulkAdd(int parent, const QString &text, qint32 key);
    bool bulkMove(int id, int newParent);
    // Moves top-level nodes below new parents (pairs of node, parent) in one
    // sweep of the top level; a move that would hang a node below itself is
    // skipped.
    void bulkMoveFromTop(const std::vector<std::pair<int, int>> &moves);
    void bulkSetText(int id, const QString &text);
    // Removes every unvisited node; their visited children go to the top level.
    void bulkRemoveUnvisited();
    bool bulkChangedStructure() const { return m_resetPending; }

    // --- Order ---
    bool lessThan(const QString &a, const QString &b) const;
    void sortChildren(int parent); // with layout signals
    // Every node in display order (pre-order, children in their order).
    void forEachInDisplayOrder(const std::function<bool(int id, int position)> &visit) const;
    int displayPosition(int id) const;

    // --- Look ---
    void setImages(const QIcon &normal, const QIcon &selected);
    // The node drawn with the selected image.
    void setSelectedNode(int id);
    int selectedNode() const { return m_selectedNode; }
    // Set while a drag shows the node as its drop target.
    void setDropTarget(int id);
    int dropTarget() const { return m_dropTarget; }

    // --- QAbstractItemModel ---
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The in-place editor ended with a text (setData with the edit role).
    void renamed(int id, const QString &text);

private:
    std::vector<int> &childList(int parent);
    int allocate();
    void release(int id);
    void attach(int id, int parent); // last child, no signals
    void detach(int id);             // no signals
    void renumber(int parent, size_t from = 0);
    // Node counts of every subtree, kept up to date by attach and detach once
    // known, made again after any other change of shape.
    void ensureSubtreeSizes() const;
    void addToAncestors(int parent, int delta);
    void indexInsert(qint32 key, int id);
    void indexRemove(qint32 key, int id);
    void mergePendingIndex();
    void sortList(std::vector<int> &list);
    void markUnsorted(int parent);
    bool &unsortedFlag(int parent);
    void announceReset();
    void releaseSubtree(int id);

    std::vector<TreeNode> m_nodes;
    std::vector<int> m_free;
    std::vector<int> m_top;
    bool m_topUnsorted = false;
    int m_liveCount = 0;
    mutable std::vector<int> m_subtreeSize; // node id -> nodes in its subtree
    mutable bool m_subtreeSizesKnown = false;
    // Sorted by key; keys added out of order during a bulk change wait in
    // m_pendingIndex until it ends.
    std::vector<std::pair<qint32, int>> m_index;
    std::vector<std::pair<qint32, int>> m_pendingIndex;
    QHash<qint32, int> m_pendingLookup;
    bool m_bulk = false;
    bool m_resetPending = false;
    QCollator m_collator;
    QIcon m_normalImage;
    QIcon m_selectedImage;
    int m_selectedNode = kNoNode;
    int m_dropTarget = kNoNode;
};

} // namespace bw::notes
