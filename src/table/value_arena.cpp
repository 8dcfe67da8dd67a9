#include "table/value_arena.h"

#include <cstring>
#include <new>
#include <sys/mman.h>

namespace bw::dataset {

namespace {

// A value larger than this gets an allocation of its own: a block holds
// many values, so its tail is never wasted on a large one.
constexpr qsizetype kLargestShared = qsizetype(ValueArena::kBlockSize / 8);

} // namespace

ValueArena::~ValueArena()
{
    for (char *block : m_blocks)
        munmap(block, kBlockSize);
}

// Mapped twice the size and trimmed to a 2 MiB boundary, so that the block
// can be one huge page.
char *ValueArena::newBlock()
{
    const size_t mapped = 2 * kBlockSize;
    void *raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    auto *start = static_cast<char *>(raw);
    const auto address = reinterpret_cast<quintptr>(start);
    char *aligned = start + ((kBlockSize - address % kBlockSize) % kBlockSize);
    if (aligned > start)
        munmap(start, size_t(aligned - start));
    char *end = start + mapped;
    if (end > aligned + kBlockSize)
        munmap(aligned + kBlockSize, size_t(end - (aligned + kBlockSize)));
    madvise(aligned, kBlockSize, MADV_HUGEPAGE);
    m_blocks.push_back(aligned);
    return aligned;
}

QByteArray ValueArena::add(const char *data, qsizetype size)
{
    if (size <= 0)
        return QByteArray("");
    if (size > kLargestShared)
        return QByteArray(data, size);
    if (m_end - m_next < size + 1) {
        m_blocks.reserve(m_blocks.size() + 1);
        m_next = newBlock();
        m_end = m_next + kBlockSize;
    }
    char *value = m_next;
    std::memcpy(value, data, size_t(size));
    value[size] = '\0';
    m_next += size + 1;
    return QByteArray::fromRawData(value, size);
}

} // namespace bw::dataset
