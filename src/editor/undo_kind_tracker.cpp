#include "editor/undo_kind_tracker.h"

namespace bw {

void UndoKindTracker::commandAdded()
{
    m_redo.clear();
    m_undo.push_back(m_pending);
    while (int(m_undo.size()) > m_limit)
        m_undo.pop_front();
}

void UndoKindTracker::undone()
{
    if (m_undo.empty())
        return;
    m_redo.push_back(m_undo.back());
    m_undo.pop_back();
}

void UndoKindTracker::redone()
{
    if (m_redo.empty())
        return;
    m_undo.push_back(m_redo.back());
    m_redo.pop_back();
}

void UndoKindTracker::clear()
{
    m_undo.clear();
    m_redo.clear();
}

void UndoKindTracker::setLimit(int limit)
{
    m_limit = qMax(0, limit);
    while (int(m_undo.size()) > m_limit)
        m_undo.pop_front();
}

} // namespace bw
