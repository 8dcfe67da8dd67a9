#pragma once
// The arrangements of the document windows in the frame: the geometry of
// tiling (stacked or side by side) and of the minimised windows' icons, and
// applying it to a QMdiArea.

#include <QList>
#include <QRect>
#include <QSize>

class QMdiArea;
class QMdiSubWindow;

namespace bw {

// count windows stacked top to bottom, each the full width of area.
QList<QRect> stackedRects(const QRect &area, int count);
// count windows side by side, each the full height of area.
QList<QRect> sideBySideRects(const QRect &area, int count);
// count icons of iconSize in rows from the bottom-left corner of area, left to
// right, each new row above the last.
QList<QRect> iconRects(const QRect &area, const QSize &iconSize, int count);

// Tile horizontally (stacked) or vertically (side by side): the windows that
// are not minimised, the active one first; a row at the bottom stays free for
// the icons of the minimised ones.
void tileStacked(QMdiArea *area);
void tileSideBySide(QMdiArea *area);
// Lines the minimised windows up along the bottom edge.
void arrangeIcons(QMdiArea *area);
// Minimises every document window, the active one last.
void minimizeAll(QMdiArea *area);

// A new window that opens minimised goes where Arrange Icons would put it:
// the first place of the icon row that no other icon takes.
void placeNewIcon(QMdiArea *area, QMdiSubWindow *window);
// A new window without a stored placement gets the size its bars need (at
// least two thirds of the area) and lies inside the area.
void fitNewWindow(QMdiArea *area, QMdiSubWindow *window);

} // namespace bw
