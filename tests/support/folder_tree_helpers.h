#pragma once
// Finding and adding folder-tree nodes by their text, for tests that drive
// the tree as a user does.

#include "tree/folder_tree_link.h"

namespace bw::test {

// The first node, in display order, whose text is `text`; kNoNode when none.
inline int nodeWithText(const notes::FolderTreeModel &model, const QString &text)
{
    int found = notes::FolderTreeModel::kNoNode;
    model.forEachInDisplayOrder([&](int id, int) {
        if (model.node(id).text != text)
            return true;
        found = id;
        return false;
    });
    return found;
}

// Inserts a child of `parent` and names it, as the in-place editor does.
inline int addNamedItem(notes::FolderTreeLink &link, int parent, const QString &name)
{
    const int id = link.insertItem(parent, QStringLiteral("New Item"));
    link.endRename(id, name);
    return id;
}

} // namespace bw::test
