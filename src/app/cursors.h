#pragma once
// The program's own cursors, made from its cursor pixmaps, by the cursor
// identifiers the windows ask for (hand pointer, dragging, no drop, sizing),
// and a guard that shows a cursor application-wide for its lifetime.

#include <QCursor>
#include <QHash>
#include <QPoint>

#include <span>

namespace bw {

// Cursor identifiers.
inline constexpr int kCrHandPoint = -21;
inline constexpr int kCrDrag = -12;
inline constexpr int kCrDragCopy = -100;
inline constexpr int kCrMultiDrag = -16;
inline constexpr int kCrNoDrop = -13;
inline constexpr int kCrSizeNS = -7;
inline constexpr int kCrVSplit = -15;
inline constexpr int kCrSizeWE = -9;
inline constexpr int kCrHSplit = -14;
inline constexpr int kCrToolkitHandPoint = 14000;
inline constexpr int kCrToolkitDrag = 14001;
inline constexpr int kCrTreeDragCopy = -1011;

class CursorTable
{
public:
    struct Entry
    {
        int id;
        const char *role;
        const char *resource; // pixmap ":/cursors/<resource>.png"
    };
    // The twelve cursors in loading order.
    static std::span<const Entry> entries();
    // The hot spot of a cursor pixmap.
    static QPoint hotSpot(const QString &resource);

    // Loads every cursor of the table, in table order.
    void load();
    bool isLoaded() const { return !m_cursors.isEmpty(); }
    // The cursor of an identifier; the arrow when it is not one of ours.
    QCursor cursor(int id) const;

private:
    QHash<int, QCursor> m_cursors;
};

// Shows cursor application-wide until the guard ends, on every path.
class OverrideCursor
{
public:
    explicit OverrideCursor(const QCursor &cursor);
    ~OverrideCursor();
    OverrideCursor(const OverrideCursor &) = delete;
    OverrideCursor &operator=(const OverrideCursor &) = delete;
};

} // namespace bw
