// Node operations turned into record operations: creating an item, renaming,
// moving, deleting a subtree, copying a subtree, and drops.

#include "notes/notes_table.h"
#include "tree/folder_tree_link.h"

#include <QHash>
#include <algorithm>
#include <optional>

namespace bw::notes {

namespace {

using State = dataset::ClientDataSet::State;

const QString kBlankName = QStringLiteral(" ");

} // namespace

int FolderTreeLink::insertItem(int parent, const QString &text, bool select)
{
    const std::optional<qint32> largest = m_model.largestKey();
    const qint32 provisional = largest ? *largest + 1 : 0;
    const int id = m_model.addNode(parent, text, provisional, true);
    try {
        writeNewRecord(id, parent);
    } catch (...) {
        // The node goes with the record it could not get.
        if (m_model.isNode(id))
            m_model.removeSubtree(id);
        throw;
    }
    m_model.setInserting(id, false);
    if (select)
        selectNode(id);
    return id;
}

void FolderTreeLink::writeNewRecord(int id, int parent)
{
    OwnWrite writing(*this);
    dataset::ControlsDisabler disabled(m_table);
    try {
        m_table.append(); // the after-insert handler gives the ID
        if (m_table.isNull(kFieldId))
            m_table.setFieldValue(kFieldId, m_model.node(id).key);
        else
            m_model.setKey(id, m_table.asInteger(kFieldId));
        // A top-level item names itself: its final key, so that it cannot
        // name another item when the provisional key was not the one given.
        const qint32 key = m_model.node(id).key;
        const qint32 parentValue = parent != kNoNode ? m_model.node(parent).key : key;
        m_table.setFieldValue(kFieldParent, parentValue);
        const QString text = m_model.node(id).text;
        m_table.setFieldValue(kFieldName, text.isEmpty() ? kBlankName : text);
        if (m_table.isNull(kFieldName))
            m_table.setFieldValue(kFieldName, kBlankName);
        m_table.post();
        m_model.setParentValue(id, parentValue);
        m_model.setText(id, m_table.asString(kFieldName));
    } catch (...) {
        if (m_table.isActive() && m_table.state() == State::Insert)
            m_table.cancel();
        throw;
    }
}

// Makes the record of key current without the tree reacting; false when
// there is none.
bool FolderTreeLink::makeCurrent(qint32 key)
{
    if (!m_table.isActive() || m_table.isEmpty())
        return false;
    if (m_table.state() != State::Insert && !m_table.isNull(kFieldId) &&
        m_table.asInteger(kFieldId) == key)
        return true;
    return m_table.locate(kFieldId, key);
}

void FolderTreeLink::beginRename(int id)
{
    if (!m_model.isNode(id) || !m_table.canModify())
        return;
    OwnWrite writing(*this);
    if (m_table.state() == State::Browse && makeCurrent(m_model.node(id).key))
        m_table.edit();
}

void FolderTreeLink::endRename(int id, const QString &text)
{
    // An empty name is refused: the old name stays.
    if (!m_model.isNode(id) || text.isEmpty())
        return;
    m_model.setText(id, text);
    if (!m_table.canModify())
        return;
    OwnWrite writing(*this);
    if (!makeCurrent(m_model.node(id).key) || m_table.asString(kFieldName) == text)
        return;
    m_table.edit();
    m_table.setFieldValue(kFieldName, text);
    m_table.post();
}

bool FolderTreeLink::moveNode(int id, int newParent)
{
    if (!m_model.isNode(id))
        return false;
    {
        // A move reports no selection change.
        ScopedFlag quiet(m_quietSelection);
        if (!m_model.moveNode(id, newParent))
            return false;
    }
    const qint32 value = newParent != kNoNode ? m_model.node(newParent).key : m_model.node(id).key;
    writeParent(id, value);
    if (newParent != kNoNode)
        emit expandNode(newParent);
    return true;
}

void FolderTreeLink::writeParent(int id, qint32 value)
{
    m_model.setParentValue(id, value);
    OwnWrite writing(*this);
    if (!makeCurrent(m_model.node(id).key))
        return;
    m_table.edit();
    m_table.setFieldValue(kFieldParent, value);
    m_table.post();
}

void FolderTreeLink::deleteNode(int id)
{
    if (!m_model.isNode(id))
        return;
    std::vector<qint32> keys;
    for (int node : m_model.subtree(id))
        keys.push_back(m_model.node(node).key);
    {
        ScopedFlag quiet(m_quietSelection);
        m_model.removeSubtree(id);
    }
    deleteRecords(std::move(keys));
}

// Deletes the record of every key, found in one walk of the table. The
// record that followed the last deleted one stays current, as after a
// single delete, not the end the walk reached.
void FolderTreeLink::deleteRecords(std::vector<qint32> keys)
{
    if (!m_table.isActive())
        return;
    std::sort(keys.begin(), keys.end());
    OwnWrite writing(*this);
    dataset::ControlsDisabler disabled(m_table);
    std::optional<dataset::ClientDataSet::Bookmark> after;
    m_table.first();
    while (!m_table.eof() && !m_table.isEmpty()) {
        // A record without an ID reads as 0 but is no node's record.
        if (!m_table.isNull(kFieldId) &&
            std::binary_search(keys.begin(), keys.end(), m_table.asInteger(kFieldId))) {
            m_table.deleteRecord(); // the next record becomes current
            after = m_table.isEmpty() ? std::nullopt : std::optional(m_table.bookmark());
        } else {
            m_table.next();
        }
    }
    if (after && m_table.bookmarkValid(*after))
        m_table.gotoBookmark(*after);
}

int FolderTreeLink::copySubtree(int source, int target)
{
    if (!canDrop(source, target))
        return kNoNode;
    const std::vector<int> sources = m_model.subtree(source);
    const std::optional<qint32> largest = m_model.largestKey();
    qint32 nextKey = largest ? *largest + 1 : 0;
    QHash<int, int> copyOf; // source node -> its copy
    std::vector<int> copies;
    for (int node : sources) {
        const int parent = node == source ? target : copyOf.value(m_model.node(node).parent);
        const QString text = m_model.node(node).text; // addNode may move the pool
        const int copy = m_model.addNode(parent, text, nextKey++, true);
        copyOf.insert(node, copy);
        copies.push_back(copy);
    }
    writeCopies(sources, copies, target);
    emit expandNode(target);
    selectNode(copies.front());
    return copies.front();
}

void FolderTreeLink::writeCopies(const std::vector<int> &sources, const std::vector<int> &copies,
                                 int target)
{
    struct Fields
    {
        QString name;
        QByteArray description;
    };
    QHash<qint32, Fields> wanted;
    for (int node : sources)
        wanted.insert(m_model.node(node).key, {});
    OwnWrite writing(*this);
    dataset::ControlsDisabler disabled(m_table);
    for (m_table.first(); !m_table.eof(); m_table.next()) {
        const auto it = wanted.find(m_table.asInteger(kFieldId));
        if (it != wanted.end())
            *it = {m_table.asString(kFieldName), m_table.asBytes(kFieldDescription)};
    }
    for (size_t i = 0; i < copies.size(); ++i) {
        const TreeNode &copy = m_model.node(copies[i]);
        m_table.append();
        m_table.setFieldValue(kFieldId, copy.key);
        m_table.setFieldValue(kFieldParent, m_model.node(copy.parent).key);
        m_table.setFieldValue(kFieldName, copy.text.isEmpty() ? kBlankName : copy.text);
        m_table.post();
        // Then every other field of the source record.
        const Fields &fields = wanted[m_model.node(sources[i]).key];
        m_table.edit();
        if (!fields.name.isEmpty())
            m_table.setFieldValue(kFieldName, fields.name);
        m_table.setBytes(kFieldDescription, fields.description);
        m_table.post();
        m_model.setParentValue(copies[i], m_model.node(copy.parent).key);
        m_model.setInserting(copies[i], false);
    }
    makeCurrent(m_model.node(target).key);
}

bool FolderTreeLink::canDrop(int dragged, int target) const
{
    return m_model.isNode(dragged) && m_model.isNode(target) &&
           !m_model.isInSubtree(target, dragged);
}

void FolderTreeLink::dropNode(int dragged, int target, bool copy)
{
    if (!canDrop(dragged, target))
        return;
    // The target is selected first, whatever follows.
    selectNode(target);
    if (copy) {
        copySubtree(dragged, target);
        return;
    }
    if (m_model.node(dragged).parent == target)
        return;
    if (moveNode(dragged, target))
        selectNode(dragged);
}

} // namespace bw::notes
