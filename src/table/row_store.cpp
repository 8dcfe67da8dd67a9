#include "table/row_store.h"

#include <algorithm>

namespace bw::dataset {

void RowStore::assign(std::vector<Row> rows, quint64 firstId)
{
    m_slots = std::move(rows);
    m_gapStart = m_gapEnd = m_slots.size();
    m_firstId = firstId;
    // Room for the ids of later inserts, so that the first of them does not
    // copy the whole map.
    const size_t n = m_slots.size();
    std::vector<int>().swap(m_slotOfId);
    m_slotOfId.reserve(n + n / 8 + 64);
    m_slotOfId.assign(n, -1);
    for (size_t slot = 0; slot < m_slots.size(); ++slot)
        setSlot(m_slots[slot].id, int(slot));
}

void RowStore::clear()
{
    std::vector<Row>().swap(m_slots);
    std::vector<int>().swap(m_slotOfId);
    m_gapStart = m_gapEnd = 0;
}

void RowStore::setSlot(quint64 id, int slot)
{
    if (id < m_firstId)
        return; // not from this content: nothing can look it up
    const size_t index = size_t(id - m_firstId);
    if (index >= m_slotOfId.size())
        m_slotOfId.resize(index + 1, -1); // grows its capacity geometrically
    m_slotOfId[index] = slot;
}

int RowStore::positionOf(quint64 id) const
{
    if (id < m_firstId || id - m_firstId >= m_slotOfId.size())
        return -1;
    const int slot = m_slotOfId[size_t(id - m_firstId)];
    if (slot < 0)
        return -1;
    return size_t(slot) < m_gapStart ? slot : slot - int(gapLength());
}

// Moves the gap so that it starts at pos; the records it passes change slot.
void RowStore::moveGap(size_t pos)
{
    const size_t gap = gapLength();
    if (gap == 0) {
        m_gapStart = m_gapEnd = pos;
        return;
    }
    if (pos < m_gapStart) {
        for (size_t slot = m_gapStart; slot-- > pos;) {
            m_slots[slot + gap] = std::move(m_slots[slot]);
            setSlot(m_slots[slot + gap].id, int(slot + gap));
        }
    } else {
        for (size_t slot = m_gapEnd; slot < pos + gap; ++slot) {
            m_slots[slot - gap] = std::move(m_slots[slot]);
            setSlot(m_slots[slot - gap].id, int(slot - gap));
        }
    }
    m_gapStart = pos;
    m_gapEnd = pos + gap;
}

// Opens free slots at the end: the vector's spare capacity when it has some
// (a table just loaded has), so that the first insert moves no record;
// otherwise half the size again, so appends cost what a vector's appends cost.
void RowStore::growGap()
{
    moveGap(size());
    const size_t spare = m_slots.capacity() - m_slots.size();
    m_slots.resize(m_slots.size() + (spare > 0 ? spare : std::max<size_t>(16, size() / 2)));
    m_gapEnd = m_slots.size();
}

void RowStore::insert(size_t pos, Row row)
{
    if (gapLength() == 0)
        growGap();
    moveGap(pos);
    setSlot(row.id, int(m_gapStart));
    m_slots[m_gapStart++] = std::move(row);
}

Row RowStore::take(size_t pos)
{
    moveGap(pos);
    Row row = std::move(m_slots[m_gapEnd]);
    ++m_gapEnd;
    setSlot(row.id, -1);
    return row;
}

const std::vector<Row> &RowStore::contiguous()
{
    moveGap(size());
    m_slots.resize(size()); // keeps the capacity for later inserts
    m_gapEnd = m_gapStart;
    return m_slots;
}

} // namespace bw::dataset
