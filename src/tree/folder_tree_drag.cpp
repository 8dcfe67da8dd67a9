// Drag and drop within the folder tree: the left button pressed on the
// focused tree and moved drags the selected node; Ctrl at the drop copies.

#include "tree/folder_tree_view.h"

#include "platform/cursors.h"
#include "platform/guarded_dispatch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace bw::notes {

namespace {

QCursor treeCursor(FolderTreeView::DragCursor kind)
{
    switch (kind) {
    case FolderTreeView::DragCursor::Drag:
        return CursorTable::make(kCrDrag);
    case FolderTreeView::DragCursor::Copy:
        return CursorTable::make(kCrTreeDragCopy);
    case FolderTreeView::DragCursor::NoDrop:
        return CursorTable::make(kCrNoDrop);
    case FolderTreeView::DragCursor::None:
        break;
    }
    return QCursor(Qt::ArrowCursor);
}

} // namespace

void FolderTreeView::mousePressEvent(QMouseEvent *event)
{
    guarded([&] {
        QTreeView::mousePressEvent(event);
        if (event->button() == Qt::LeftButton) {
            m_pressed = true;
            m_pressPos = event->position().toPoint();
        }
    });
}

void FolderTreeView::mouseMoveEvent(QMouseEvent *event)
{
    guarded([&] {
        const QPoint pos = event->position().toPoint();
        if (!(event->buttons() & Qt::LeftButton) || !m_pressed) {
            QTreeView::mouseMoveEvent(event); // hover for hot tracking
            return;
        }
        // The left button is down: no drag-selection, only our drag.
        if (!isDragging()) {
            if ((pos - m_pressPos).manhattanLength() < QApplication::startDragDistance() ||
                !hasFocus() || isRenaming())
                return;
            beginDrag();
        }
        if (isDragging())
            updateDrag(pos, QGuiApplication::queryKeyboardModifiers());
    });
}

void FolderTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    guarded([&] {
        m_pressed = false;
        if (isDragging() && event->button() == Qt::LeftButton) {
            finishDrag(event->position().toPoint(), QGuiApplication::queryKeyboardModifiers());
            return;
        }
        QTreeView::mouseReleaseEvent(event);
    });
}

void FolderTreeView::keyPressEvent(QKeyEvent *event)
{
    guarded([&] {
        if (isDragging()) {
            if (event->key() == Qt::Key_Escape)
                cancelDrag();
            else
                updateDrag(viewport()->mapFromGlobal(QCursor::pos()), event->modifiers());
            return;
        }
        QTreeView::keyPressEvent(event);
    });
}

void FolderTreeView::keyReleaseEvent(QKeyEvent *event)
{
    guarded([&] {
        if (isDragging()) {
            updateDrag(viewport()->mapFromGlobal(QCursor::pos()), event->modifiers());
            return;
        }
        QTreeView::keyReleaseEvent(event);
    });
}

void FolderTreeView::beginDrag()
{
    // The item dragged is the node selected when the drag starts.
    m_dragNode = m_link.selectedNode();
}

void FolderTreeView::updateDrag(const QPoint &pos, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex under = indexAt(pos);
    const int target = under.isValid() ? m_link.model().nodeOf(under) : FolderTreeLink::kNoNode;
    const bool accepted = m_link.canDrop(m_dragNode, target);
    m_link.model().setDropTarget(accepted ? target : FolderTreeLink::kNoNode);
    if (!accepted)
        setDragCursor(DragCursor::NoDrop);
    else
        setDragCursor(modifiers & Qt::ControlModifier ? DragCursor::Copy : DragCursor::Drag);
    scrollNearEdges(under);
}

// Over the two topmost visible nodes the tree scrolls up by one node, over
// the two lowest ones down.
void FolderTreeView::scrollNearEdges(const QModelIndex &under)
{
    if (!under.isValid())
        return;
    const QModelIndex top = indexAt(QPoint(1, 1));
    const QModelIndex bottom = indexAt(QPoint(1, viewport()->height() - 2));
    QScrollBar *bar = verticalScrollBar();
    if (under == top || (top.isValid() && under == indexBelow(top)))
        bar->setValue(bar->value() - 1);
    else if (bottom.isValid() && (under == bottom || under == indexAbove(bottom)))
        bar->setValue(bar->value() + 1);
}

void FolderTreeView::finishDrag(const QPoint &pos, Qt::KeyboardModifiers modifiers)
{
    const int dragged = m_dragNode;
    const int target = nodeAt(pos);
    cancelDrag();
    // A drop on empty space or on a refused node does nothing.
    if (target == FolderTreeLink::kNoNode || !m_link.canDrop(dragged, target))
        return;
    m_link.dropNode(dragged, target, modifiers & Qt::ControlModifier);
}

void FolderTreeView::cancelDrag()
{
    m_dragNode = FolderTreeLink::kNoNode;
    m_pressed = false;
    m_link.model().setDropTarget(FolderTreeLink::kNoNode);
    setDragCursor(DragCursor::None);
}

void FolderTreeView::setDragCursor(DragCursor cursor)
{
    if (cursor == m_dragCursor)
        return;
    m_dragCursor = cursor;
    if (cursor == DragCursor::None)
        viewport()->unsetCursor();
    else
        viewport()->setCursor(treeCursor(cursor));
}

} // namespace bw::notes
