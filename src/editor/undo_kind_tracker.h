#pragma once
// The kinds of the steps on a QTextDocument's undo and redo stacks, tracked
// beside them: each new undo command takes the kind of the operation that is
// running (typing, delete, cut, ...). Also keeps the undo limit: only the
// newest `limit` steps can be undone.

#include <QtGlobal>

#include <deque>
#include <vector>

namespace bw {

enum class UndoKind { None = 0, Typing = 1, Delete = 2, DragDrop = 3, Cut = 4, Paste = 5 };

class UndoKindTracker
{
public:
    explicit UndoKindTracker(int limit) : m_limit(limit) {}

    // The kind new commands take until the returned scope ends.
    class Scope
    {
    public:
        Scope(UndoKindTracker &tracker, UndoKind kind)
            : m_tracker(tracker), m_previous(tracker.m_pending)
        {
            if (m_previous == UndoKind::None)
                tracker.m_pending = kind;
        }
        ~Scope() { m_tracker.m_pending = m_previous; }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        UndoKindTracker &m_tracker;
        UndoKind m_previous;
    };

    void commandAdded();
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    UndoKind undoKind() const { return m_undo.empty() ? UndoKind::None : m_undo.back(); }
    UndoKind redoKind() const { return m_redo.empty() ? UndoKind::None : m_redo.back(); }
    void undone();
    void redone();
    void clear();
    void clearUndo() { m_undo.clear(); }
    void clearRedo() { m_redo.clear(); }
    int limit() const { return m_limit; }
    void setLimit(int limit);
    int undoDepth() const { return int(m_undo.size()); }

private:
    int m_limit;
    UndoKind m_pending = UndoKind::None;
    std::deque<UndoKind> m_undo;
    std::vector<UndoKind> m_redo;
};

} // namespace bw
