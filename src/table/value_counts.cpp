#include "table/value_counts.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace bw::dataset {

namespace {

constexpr size_t kMinCapacity = 16;
// How far below the largest value (above the smallest) a removal looks for
// the next one before it leaves the extremes to a walk of every value.
constexpr int kExtremeProbes = 8;

} // namespace

// Fibonacci hashing spreads runs of consecutive keys over the whole table.
size_t ValueCounts::slotOf(qint32 value) const
{
    const quint64 hash = quint64(quint32(value)) * 0x9E3779B97F4A7C15ull;
    return size_t(hash >> (64 - std::countr_zero(m_slots.size())));
}

void ValueCounts::reserve(size_t n)
{
    const size_t capacity = std::bit_ceil(std::max(kMinCapacity, n * 2));
    if (capacity > m_slots.size())
        grow(capacity);
}

void ValueCounts::clear()
{
    std::vector<Entry>().swap(m_slots);
    m_size = 0;
    m_extremesKnown = true;
}

void ValueCounts::grow(size_t capacity)
{
    std::vector<Entry> old(capacity);
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Entry &entry : old) {
        if (entry.count == 0)
            continue;
        size_t slot = slotOf(entry.value);
        while (m_slots[slot].count != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = entry;
    }
}

const ValueCounts::Entry *ValueCounts::find(qint32 value) const
{
    if (m_size == 0)
        return nullptr;
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = slotOf(value);; slot = (slot + 1) & mask) {
        const Entry &entry = m_slots[slot];
        if (entry.count == 0)
            return nullptr;
        if (entry.value == value)
            return &entry;
    }
}

void ValueCounts::add(qint32 value, quint64 row)
{
    if ((m_size + 1) * 2 > m_slots.size())
        grow(std::max(kMinCapacity, m_slots.size() * 2));
    const size_t mask = m_slots.size() - 1;
    size_t slot = slotOf(value);
    while (m_slots[slot].count != 0 && m_slots[slot].value != value)
        slot = (slot + 1) & mask;
    Entry &entry = m_slots[slot];
    if (entry.count != 0) {
        ++entry.count;
        entry.row = 0; // several rows hold it now
        return;
    }
    entry = Entry{value, 1, row <= 0xFFFFFFFFu ? quint32(row) : 0};
    if (m_extremesKnown) {
        m_max = m_size == 0 ? value : std::max(m_max, value);
        m_min = m_size == 0 ? value : std::min(m_min, value);
    }
    ++m_size;
}

void ValueCounts::remove(qint32 value)
{
    const Entry *found = find(value);
    if (!found)
        return;
    const size_t mask = m_slots.size() - 1;
    size_t hole = size_t(found - m_slots.data());
    Entry &entry = m_slots[hole];
    if (--entry.count > 0)
        return; // its row stays not known: the one left may be any of them
    entry = Entry();
    --m_size;
    if (m_extremesKnown && (value == m_max || value == m_min))
        m_extremesKnown = followExtreme(value);
    // Entries after the hole that hash at or before it move into it, so that
    // every probe sequence stays unbroken.
    for (size_t slot = (hole + 1) & mask; m_slots[slot].count != 0; slot = (slot + 1) & mask) {
        const size_t home = slotOf(m_slots[slot].value);
        const bool reachable =
            hole <= slot ? (home <= hole || home > slot) : (home <= hole && home > slot);
        if (!reachable)
            continue;
        m_slots[hole] = m_slots[slot];
        m_slots[slot] = Entry();
        hole = slot;
    }
}

// The value that was the largest (or smallest) is gone: the next one is
// looked for among the few values just below (above) it, as keys handed out
// one after another leave them. True when it was found there, or none is left.
bool ValueCounts::followExtreme(qint32 gone)
{
    if (m_size == 0)
        return true;
    if (m_max == m_min)
        return false; // cannot happen: one value, held by no row
    const bool wasMax = gone == m_max;
    qint32 probe = gone;
    for (int step = 0; step < kExtremeProbes; ++step) {
        if (probe ==
            (wasMax ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint32>::max()))
            return false;
        probe = wasMax ? probe - 1 : probe + 1;
        if (find(probe)) {
            (wasMax ? m_max : m_min) = probe;
            return true;
        }
    }
    return false;
}

std::pair<qint32, qint32> ValueCounts::extremes() const
{
    if (m_extremesKnown)
        return {m_min, m_max};
    ++m_rescans;
    bool first = true;
    for (const Entry &entry : m_slots) {
        if (entry.count == 0)
            continue;
        m_max = first ? entry.value : std::max(m_max, entry.value);
        m_min = first ? entry.value : std::min(m_min, entry.value);
        first = false;
    }
    m_extremesKnown = true;
    return {m_min, m_max};
}

std::vector<qint32> ValueCounts::shared() const
{
    std::vector<qint32> values;
    for (const Entry &entry : m_slots)
        if (entry.count > 1)
            values.push_back(entry.value);
    std::sort(values.begin(), values.end());
    return values;
}

std::optional<qint32> ValueCounts::max() const
{
    return m_size == 0 ? std::nullopt : std::optional<qint32>(extremes().second);
}

std::optional<qint32> ValueCounts::min() const
{
    return m_size == 0 ? std::nullopt : std::optional<qint32>(extremes().first);
}

} // namespace bw::dataset
