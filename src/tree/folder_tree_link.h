#pragma once
// FolderTreeLink binds the folder tree's nodes to the notes table: the build
// pass that makes the nodes follow the records, the selection that follows
// the current record and moves it, and the node operations (create, rename,
// move, copy, delete) turned into record operations. It holds no widget; the
// view (FolderTreeView) shares its model and selection model.

#include "table/client_dataset.h"
#include "tree/folder_tree_model.h"

#include "platform/scoped_flag.h"

#include <QItemSelectionModel>
#include <QObject>

namespace bw::notes {

class FolderTreeLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int kNoNode = FolderTreeModel::kNoNode;

    explicit FolderTreeLink(dataset::ClientDataSet &table, QObject *parent = nullptr);

    FolderTreeModel &model() { return m_model; }
    const FolderTreeModel &model() const { return m_model; }
    QItemSelectionModel &selectionModel() { return m_selection; }
    dataset::ClientDataSet &table() { return m_table; }

    // Detached, the tree ignores the table; attaching again rebuilds it.
    void setAttached(bool attached);
    bool isAttached() const { return m_attached; }

    // The build pass. A pass caused by a general change of the table first
    // cancels an in-place renaming.
    void buildPass(bool generalChange = false);

    int selectedNode() const;
    // Selects the node (reporting the change) and scrolls it into view.
    void selectNode(int id);
    // The node of the table's current record, or kNoNode.
    int currentRecordNode() const;

    // Adds a node as the last child of parent (kNoNode: the top level) and
    // writes its record, which stays current; the node is selected unless
    // select is false (an import of many items selects only the last, when
    // the table's views resume). Throws dataset::DataSetError.
    int insertItem(int parent, const QString &text, bool select = true);
    // In-place renaming: the table goes into edit state at the start; a new,
    // non-empty text is stored at the end.
    void beginRename(int id);
    void endRename(int id, const QString &text);
    // Makes the node the last child of newParent (kNoNode: top level) and
    // writes its Parent; false when newParent lies in its subtree.
    bool moveNode(int id, int newParent);
    // Removes the node with its subtree and deletes their records.
    void deleteNode(int id);
    // Duplicates the subtree of source as the last child of target; returns
    // the copied root.
    int copySubtree(int source, int target);

    // Drag and drop: whether target accepts dragged, and the drop itself.
    bool canDrop(int dragged, int target) const;
    void dropNode(int dragged, int target, bool copy);

    bool isWriting() const { return m_writing; }

signals:
    void selectionChanging(int id); // dbTreeViewChanging
    void selectionChanged(int id);  // dbTreeViewChange
    void scrollToNode(int id);
    void expandNode(int id);
    void renamingCancelled();

private:
    // Build pass (folder_tree_link.cpp).
    void connectTable();
    void tableChanged();
    void tableScrolled();
    void tableBeforePost();
    void tableAfterPost();
    void walkTable();
    void placeTopLevelChildren();
    void currentChanged(const QModelIndex &current);
    void followSelection(int id);
    void setCurrentNode(int id);

    // Records (folder_tree_records.cpp).
    void writeNewRecord(int id, int parent);
    bool makeCurrent(qint32 key);
    void writeParent(int id, qint32 value);
    void deleteRecords(std::vector<qint32> keys);
    void writeCopies(const std::vector<int> &sources, const std::vector<int> &copies, int target);

    // The tree's own writes: it changed its nodes first, so the table's
    // content after them needs no build pass.
    class OwnWrite
    {
    public:
        explicit OwnWrite(FolderTreeLink &link) : m_link(link), m_flag(link.m_writing) {}
        ~OwnWrite() { m_link.m_builtVersion = m_link.m_table.dataVersion(); }
        OwnWrite(const OwnWrite &) = delete;
        OwnWrite &operator=(const OwnWrite &) = delete;

    private:
        FolderTreeLink &m_link;
        ScopedFlag m_flag;
    };

    dataset::ClientDataSet &m_table;
    FolderTreeModel m_model;
    QItemSelectionModel m_selection;
    bool m_attached = true;
    bool m_building = false;
    bool m_writing = false;
    bool m_following = false;
    bool m_changedWhileFollowing = false;
    bool m_quietSelection = false;
    quint64 m_builtVersion = 0;    // the table's data version the nodes show
    bool m_postKeepsNodes = false; // the post under way changes nothing the nodes show
};

} // namespace bw::notes
