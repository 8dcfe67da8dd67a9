#pragma once
// How many rows hold each value of one Integer field, and which row when only
// one does. It keeps the Max and Min aggregates and finds a record by a key
// without a scan of the table.
//
// An open-addressing hash table with linear probing: one allocation for the
// whole field, 12 bytes a value (a row id beyond 32 bits is kept as not
// known, and its value is then looked for by a scan). A removal shifts the entries after it back,
// so no tombstones are left behind.

#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

namespace bw::dataset {

class ValueCounts
{
public:
    struct Entry
    {
        qint32 value = 0;
        quint32 count = 0; // 0: the slot is free
        quint32 row = 0;   // the row holding the value when count is 1; 0 when not known
    };

    // Makes room for n values without growing again.
    void reserve(size_t n);
    void clear();
    size_t size() const { return m_size; }

    void add(qint32 value, quint64 row);
    void remove(qint32 value);
    // The entry of the value; null when no row holds it.
    const Entry *find(qint32 value) const;
    // The values more than one row holds, in ascending order.
    std::vector<qint32> shared() const;

    std::optional<qint32> max() const;
    std::optional<qint32> min() const;
    // How often Max or Min had to be found again by a walk of every value
    // (after the largest or smallest went and the next was not close by).
    quint64 rescans() const { return m_rescans; }

private:
    size_t slotOf(qint32 value) const;
    void grow(size_t capacity);
    bool followExtreme(qint32 gone);
    // Smallest and largest value, found again after a removal of either.
    std::pair<qint32, qint32> extremes() const;

    std::vector<Entry> m_slots; // size a power of two, at most half full
    size_t m_size = 0;
    mutable bool m_extremesKnown = true;
    mutable qint32 m_max = 0;
    mutable qint32 m_min = 0;
    mutable quint64 m_rescans = 0;
};

} // namespace bw::dataset
