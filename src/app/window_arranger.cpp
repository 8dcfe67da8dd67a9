#include "app/window_arranger.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace bw {

namespace {

// The i-th of count equal parts of a length; the parts cover it exactly.
int partStart(int length, int count, int i)
{
    return int(qint64(length) * i / count);
}

QList<QMdiSubWindow *> windowsToTile(QMdiArea *area, QList<QMdiSubWindow *> *icons)
{
    QList<QMdiSubWindow *> stacking = area->subWindowList(QMdiArea::StackingOrder);
    std::reverse(stacking.begin(), stacking.end()); // the topmost (active) first
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : stacking) {
        if (window->isHidden())
            continue;
        if (window->isMinimized())
            icons->append(window);
        else
            windows.append(window);
    }
    return windows;
}

QSize iconSize(const QList<QMdiSubWindow *> &icons)
{
    QSize size(0, 0);
    for (const QMdiSubWindow *icon : icons)
        size = size.expandedTo(icon->size());
    return size;
}

// The area left for tiling: above the rows the icons take.
QRect tileArea(QMdiArea *area, const QList<QMdiSubWindow *> &icons)
{
    QRect rect = area->viewport()->rect();
    if (icons.isEmpty())
        return rect;
    const QList<QRect> places = iconRects(rect, iconSize(icons), int(icons.size()));
    int top = rect.bottom() + 1;
    for (const QRect &place : places)
        top = std::min(top, place.top());
    rect.setBottom(top - 1);
    return rect;
}

void tile(QMdiArea *area, bool stacked)
{
    QList<QMdiSubWindow *> icons;
    const QList<QMdiSubWindow *> windows = windowsToTile(area, &icons);
    if (windows.isEmpty())
        return;
    const QRect rect = tileArea(area, icons);
    const QList<QRect> places = stacked ? stackedRects(rect, int(windows.size()))
                                        : sideBySideRects(rect, int(windows.size()));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->setGeometry(places[i]);
    }
    arrangeIcons(area);
}

} // namespace

QList<QRect> stackedRects(const QRect &area, int count)
{
    QList<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int top = area.top() + partStart(area.height(), count, i);
        const int next = area.top() + partStart(area.height(), count, i + 1);
        rects.append(QRect(area.left(), top, area.width(), next - top));
    }
    return rects;
}

QList<QRect> sideBySideRects(const QRect &area, int count)
{
    QList<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int left = area.left() + partStart(area.width(), count, i);
        const int next = area.left() + partStart(area.width(), count, i + 1);
        rects.append(QRect(left, area.top(), next - left, area.height()));
    }
    return rects;
}

QList<QRect> iconRects(const QRect &area, const QSize &iconSize, int count)
{
    QList<QRect> rects;
    if (iconSize.width() <= 0 || iconSize.height() <= 0)
        return rects;
    const int perRow = std::max(1, area.width() / iconSize.width());
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        rects.append(QRect(QPoint(area.left() + column * iconSize.width(),
                                  area.bottom() + 1 - (row + 1) * iconSize.height()),
                           iconSize));
    }
    return rects;
}

void tileStacked(QMdiArea *area)
{
    tile(area, true);
}

void tileSideBySide(QMdiArea *area)
{
    tile(area, false);
}

void arrangeIcons(QMdiArea *area)
{
    QList<QMdiSubWindow *> icons;
    for (QMdiSubWindow *window : area->subWindowList(QMdiArea::CreationOrder))
        if (!window->isHidden() && window->isMinimized())
            icons.append(window);
    const QList<QRect> places =
        iconRects(area->viewport()->rect(), iconSize(icons), int(icons.size()));
    for (qsizetype i = 0; i < places.size(); ++i)
        icons[i]->move(places[i].topLeft());
}

void placeNewIcon(QMdiArea *area, QMdiSubWindow *window)
{
    QList<QMdiSubWindow *> icons;
    for (QMdiSubWindow *other : area->subWindowList(QMdiArea::CreationOrder))
        if (other != window && !other->isHidden() && other->isMinimized())
            icons.append(other);
    const QList<QMdiSubWindow *> all = icons + QList<QMdiSubWindow *>{window};
    const QList<QRect> places = iconRects(area->viewport()->rect(), iconSize(all), int(all.size()));
    for (const QRect &place : places) {
        const bool taken =
            std::any_of(icons.cbegin(), icons.cend(), [&](const QMdiSubWindow *icon) {
                return icon->geometry().intersects(place);
            });
        if (!taken) {
            window->move(place.topLeft());
            return;
        }
    }
}

void fitNewWindow(QMdiArea *area, QMdiSubWindow *window)
{
    const QRect bounds = area->viewport()->rect();
    const QSize size =
        window->sizeHint().expandedTo(bounds.size() * 2 / 3).boundedTo(bounds.size());
    QRect place(window->pos(), size);
    place.moveLeft(std::clamp(place.left(), bounds.left(), bounds.right() + 1 - size.width()));
    place.moveTop(std::clamp(place.top(), bounds.top(), bounds.bottom() + 1 - size.height()));
    window->setGeometry(place);
}

void minimizeAll(QMdiArea *area)
{
    QMdiSubWindow *active = area->currentSubWindow();
    for (QMdiSubWindow *window : area->subWindowList(QMdiArea::ActivationHistoryOrder))
        if (window != active)
            window->showMinimized();
    if (active)
        active->showMinimized();
}

} // namespace bw
