#pragma once
// FolderTreeView, the folder tree `dbTreeView` of a document window: a tree
// view over FolderTreeLink's model and selection with in-place renaming
// (at most 200 characters, control characters refused with a beep), drag
// and drop of items with the move, copy and no-drop cursors, tooltips for
// texts that do not fit, and the look taken from the settings.

#include "settings/color_value.h"
#include "tree/folder_tree_link.h"

#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QTreeView>
#include <functional>

namespace bw {
class PaletteColorBinding;
}

namespace bw::notes {

// The look of the tree as the settings give it.
struct TreeLook
{
    QFont font;
    // System colours follow the desktop's palette while the tree shows.
    ColorValue color = ColorValue::system(ColorValue::kWindowText);
    ColorValue background = ColorValue::system(ColorValue::kWindow);
    bool autoExpand = false;
    bool hotTrack = false;
    int iconIndex = 0; // even; the selected node shows iconIndex + 1
};

class FolderTreeView : public QTreeView
{
    Q_OBJECT
public:
    enum class DragCursor { None, Drag, Copy, NoDrop };
    static constexpr int kIndent = 19;

    explicit FolderTreeView(FolderTreeLink &link, QWidget *parent = nullptr);

    FolderTreeLink &link() { return m_link; }
    int nodeAt(const QPoint &viewportPos) const;

    // applyOptions: detaches the tree, applies the look, attaches again (a
    // rebuild). images gives the pictures of the tree image list.
    void applyLook(const TreeLook &look, const std::function<QIcon(int)> &images);
    const TreeLook &look() const { return m_look; }

    // In-place renaming of the selected node.
    bool startRename();
    bool isRenaming() const { return m_editor != nullptr; }
    // Ends the renaming, storing the typed text or dropping it.
    void endRenaming(bool keepText);
    QWidget *renameEditor() const { return m_editor; }

    // Collapses every node (and forgets that they were expanded).
    void collapseAllNodes();

    // Drag state, for the window and for tests.
    bool isDragging() const { return m_dragNode != FolderTreeLink::kNoNode; }
    DragCursor dragCursor() const { return m_dragCursor; }

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    friend class FolderTreeDelegate;
    void editorCreated(QWidget *editor) { m_editor = editor; }
    void restoreExpanded();
    void selectionChangedByLink(int id);
    bool showToolTip(QHelpEvent *event);

    // Drag and drop (folder_tree_drag.cpp).
    void beginDrag();
    void updateDrag(const QPoint &pos, Qt::KeyboardModifiers modifiers);
    void finishDrag(const QPoint &pos, Qt::KeyboardModifiers modifiers);
    void cancelDrag();
    void scrollNearEdges(const QModelIndex &under);
    void setDragCursor(DragCursor cursor);

    FolderTreeLink &m_link;
    TreeLook m_look;
    PaletteColorBinding *m_colors;
    QPointer<QWidget> m_editor;
    QPoint m_pressPos;
    bool m_pressed = false;
    int m_dragNode = FolderTreeLink::kNoNode;
    DragCursor m_dragCursor = DragCursor::None;
};

} // namespace bw::notes
