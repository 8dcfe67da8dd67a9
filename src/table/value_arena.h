#pragma once
// The bytes of the values a load reads (names, memos), in a few large blocks
// instead of one heap allocation each: cells see them through
// QByteArray::fromRawData. The blocks are 2 MiB, aligned, and asked to be
// huge pages, so that filling hundreds of megabytes costs few page faults.
// The arena lives as long as cells from it can: the TableContent of the load,
// then the table until it is closed or loads again. Bytes that leave the
// table are copied (ownedBytes).

#include <QByteArray>

#include <vector>

namespace bw::dataset {

class ValueArena
{
public:
    ValueArena() = default;
    ~ValueArena();
    ValueArena(const ValueArena &) = delete;
    ValueArena &operator=(const ValueArena &) = delete;

    // A value with these bytes: a view into the arena, followed by a NUL; a
    // value of its own when it is too large to share a block; "" when empty.
    QByteArray add(const char *data, qsizetype size);
    QByteArray add(const QByteArray &bytes) { return add(bytes.constData(), bytes.size()); }
    // Bytes held in blocks (for tests and benchmarks).
    size_t blockBytes() const { return m_blocks.size() * kBlockSize; }

    static constexpr size_t kBlockSize = size_t(2) << 20;

private:
    char *newBlock();

    std::vector<char *> m_blocks;
    char *m_next = nullptr;
    char *m_end = nullptr;
};

// `data`, or a copy of it when it is a view into an arena: bytes a caller
// may keep after the table let its arena go.
inline QByteArray ownedBytes(const QByteArray &data)
{
    // A view has no block of its own (d_ptr() reads, it changes nothing).
    if (data.isEmpty() || const_cast<QByteArray &>(data).data_ptr().d_ptr() != nullptr)
        return data;
    return QByteArray(data.constData(), data.size());
}

} // namespace bw::dataset
