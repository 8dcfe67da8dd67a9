#pragma once
// The program's own cursors, made from its cursor pixmaps, by the cursor
// identifiers the windows ask for (hand pointer over links, dragging, no
// drop, sizing and splitting), and a guard that shows a cursor
// application-wide for its lifetime. Every widget that shows one of these
// cursors takes it from this one table.

#include <QCursor>
#include <QHash>
#include <QPoint>

#include <span>

class QSplitter;
class QSplitterHandle;

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
    // The cursor of an identifier made from its row of the table; the arrow
    // when the identifier is not in the table or its pixmap is missing.
    static QCursor make(int id);

    // Loads every cursor of the table, in table order.
    void load();
    bool isLoaded() const { return !m_cursors.isEmpty(); }
    // The loaded cursor of an identifier; the arrow when it is not one of ours.
    QCursor cursor(int id) const;

private:
    QHash<int, QCursor> m_cursors;
};

// Gives a splitter's handles the program's split cursors: west-east for the
// handle between side-by-side panes, north-south between stacked ones.
void useProgramSplitCursor(QSplitterHandle *handle);
void useProgramSplitCursors(QSplitter *splitter);

// Shows cursor application-wide until the guard ends, on every path.
class OverrideCursor
{
public:
    explicit OverrideCursor(const QCursor &cursor);
    ~OverrideCursor();
    OverrideCursor(const OverrideCursor &) = delete;
    OverrideCursor &operator=(const OverrideCursor &) = delete;
};

// The hourglass cursor application-wide until the guard ends.
class WaitCursor : public OverrideCursor
{
public:
    WaitCursor() : OverrideCursor(QCursor(Qt::WaitCursor)) {}
};

} // namespace bw
