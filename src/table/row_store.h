#pragma once
// RowStore: the records of a table in stored order, with the position of
// every record by its id. It is a gap buffer: the free slots stay where the
// last insert or removal happened, so a run of deletes (or inserts) walking
// through the table moves each record once in all, not the whole tail of the
// table once per delete. The id -> slot map follows every move, so finding a
// record's position never needs a rebuild.

#include "table/table_store.h"

#include <vector>

namespace bw::dataset {

class RowStore
{
public:
    // Replaces the content. Every id given later (by insert) is at least
    // firstId; the rows themselves carry ids from firstId on.
    void assign(std::vector<Row> rows, quint64 firstId);
    // Drops every record and the memory they held.
    void clear();

    size_t size() const { return m_slots.size() - gapLength(); }
    bool empty() const { return size() == 0; }
    const Row &operator[](size_t pos) const { return m_slots[slotOf(pos)]; }
    Row &operator[](size_t pos) { return m_slots[slotOf(pos)]; }

    // Puts the row at pos (0 to size()), the later records one further.
    void insert(size_t pos, Row row);
    // Removes the record at pos and hands it back.
    Row take(size_t pos);
    // The stored position of the record with this id, -1 when there is none.
    int positionOf(quint64 id) const;

    // The records in stored order, as one vector (the gap is closed first).
    const std::vector<Row> &contiguous();

private:
    size_t gapLength() const { return m_gapEnd - m_gapStart; }
    size_t slotOf(size_t pos) const { return pos < m_gapStart ? pos : pos + gapLength(); }
    void moveGap(size_t pos);
    void growGap();
    void setSlot(quint64 id, int slot);

    std::vector<Row> m_slots; // records, with the gap [m_gapStart, m_gapEnd) among them
    size_t m_gapStart = 0;
    size_t m_gapEnd = 0;
    quint64 m_firstId = 1;
    std::vector<int> m_slotOfId; // id - m_firstId -> slot; -1 once removed
};

} // namespace bw::dataset
