#include "platform/cursors.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QSplitter>

namespace bw {

namespace {

const CursorTable::Entry kEntries[] = {
    {kCrHandPoint, "hand pointer", "Pallo_crHandPoint"},
    {kCrDrag, "dragging", "Pallo_crDrag"},
    {kCrDragCopy, "drag and copy", "Pallo_crDragCopy"},
    {kCrMultiDrag, "dragging several", "Pallo_crDrag"},
    {kCrNoDrop, "drop not allowed", "Pallo_crNoDrop"},
    {kCrSizeNS, "size north-south", "Pallo_crSizeNS"},
    {kCrVSplit, "vertical split", "Pallo_crSizeNS"},
    {kCrSizeWE, "size west-east", "Pallo_crSizeWE"},
    {kCrHSplit, "horizontal split", "Pallo_crSizeWE"},
    {kCrToolkitHandPoint, "hand pointer of the component toolkit", "Pallo_crHandPoint"},
    {kCrToolkitDrag, "dragging of the component toolkit", "Pallo_crDrag"},
    {kCrTreeDragCopy, "drag and copy in the folder tree", "Pallo_crDragCopy"},
};

} // namespace

std::span<const CursorTable::Entry> CursorTable::entries()
{
    return kEntries;
}

QPoint CursorTable::hotSpot(const QString &resource)
{
    if (resource == QLatin1String("Pallo_crHandPoint"))
        return {9, 1};
    if (resource == QLatin1String("Pallo_crDrag") || resource == QLatin1String("Pallo_crDragCopy"))
        return {1, 1};
    return {15, 15}; // the centre of no-drop and of the sizing arrows
}

QCursor CursorTable::make(int id)
{
    for (const Entry &entry : kEntries) {
        if (entry.id != id)
            continue;
        const QString resource = QString::fromLatin1(entry.resource);
        const QPixmap pixmap(QStringLiteral(":/cursors/%1.png").arg(resource));
        if (pixmap.isNull())
            break;
        const QPoint spot = hotSpot(resource);
        return QCursor(pixmap, spot.x(), spot.y());
    }
    return QCursor(Qt::ArrowCursor);
}

void CursorTable::load()
{
    for (const Entry &entry : kEntries)
        m_cursors.insert(entry.id, make(entry.id));
}

QCursor CursorTable::cursor(int id) const
{
    return m_cursors.value(id, QCursor(Qt::ArrowCursor));
}

void useProgramSplitCursor(QSplitterHandle *handle)
{
    if (handle)
        handle->setCursor(
            CursorTable::make(handle->orientation() == Qt::Horizontal ? kCrHSplit : kCrVSplit));
}

void useProgramSplitCursors(QSplitter *splitter)
{
    // The first handle is never shown; the others stand between two panes.
    for (int i = 1; i < splitter->count(); ++i)
        useProgramSplitCursor(splitter->handle(i));
}

OverrideCursor::OverrideCursor(const QCursor &cursor)
{
    QGuiApplication::setOverrideCursor(cursor);
}

OverrideCursor::~OverrideCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace bw
