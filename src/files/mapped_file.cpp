#include "files/mapped_file.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::files {

namespace {

// The views the SIGBUS handler knows. Slots are claimed under a mutex and
// read by the handler without one: begin is set last and cleared first.
struct Slot
{
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> torn{false};
};

constexpr int kSlots = 64;
Slot g_slots[kSlots];
std::mutex g_slotMutex;
struct sigaction g_previous;

void onBus(int signal, siginfo_t *info, void *context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot &slot : g_slots) {
        const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= slot.end.load(std::memory_order_acquire))
            continue;
        // A page past the file's end: a page of zeros in its place, and the
        // read that faulted goes on.
        const std::uintptr_t page = address & ~std::uintptr_t(sysconf(_SC_PAGESIZE) - 1);
        void *zeros = mmap(reinterpret_cast<void *>(page), size_t(sysconf(_SC_PAGESIZE)), PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            slot.torn.store(true, std::memory_order_release);
            return;
        }
    }
    // Not ours: what would have happened without this handler.
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) {
            g_previous.sa_sigaction(signal, info, context);
            return;
        }
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
        return;
    }
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void installHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_sigaction = onBus;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &g_previous);
    });
}

int claimSlot(unsigned char *data, qint64 size)
{
    const std::lock_guard lock(g_slotMutex);
    for (int i = 0; i < kSlots; ++i) {
        Slot &slot = g_slots[i];
        if (slot.begin.load(std::memory_order_relaxed) != 0)
            continue;
        slot.torn.store(false, std::memory_order_relaxed);
        slot.end.store(reinterpret_cast<std::uintptr_t>(data) + std::uintptr_t(size),
                       std::memory_order_release);
        slot.begin.store(reinterpret_cast<std::uintptr_t>(data), std::memory_order_release);
        return i;
    }
    return -1;
}

} // namespace

std::shared_ptr<MappedFile> MappedFile::map(int fd)
{
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
        quint64(info.st_size) > quint64(SIZE_MAX / 2))
        return nullptr;
    installHandler();
    void *data = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED)
        return nullptr;
    const int slot = claimSlot(static_cast<unsigned char *>(data), info.st_size);
    if (slot < 0) {
        munmap(data, size_t(info.st_size));
        return nullptr;
    }
    return std::shared_ptr<MappedFile>(
        new MappedFile(static_cast<unsigned char *>(data), info.st_size, slot));
}

MappedFile::MappedFile(unsigned char *data, qint64 size, int slot)
    : m_data(data), m_size(size), m_slot(slot)
{
}

MappedFile::~MappedFile()
{
    {
        const std::lock_guard lock(g_slotMutex);
        g_slots[m_slot].begin.store(0, std::memory_order_release);
        g_slots[m_slot].end.store(0, std::memory_order_release);
    }
    munmap(m_data, size_t(m_size));
}

bool MappedFile::torn() const
{
    return g_slots[m_slot].torn.load(std::memory_order_acquire);
}

void MappedFile::releasePages() const
{
    madvise(m_data, size_t(m_size), MADV_DONTNEED);
}

void MappedFile::releasePages(qint64 from, qint64 to) const
{
    const qint64 page = sysconf(_SC_PAGESIZE);
    from = (std::max<qint64>(from, 0) + page - 1) / page * page;
    to = std::min(to, m_size) / page * page;
    if (from < to)
        madvise(m_data + from, size_t(to - from), MADV_DONTNEED);
}

} // namespace bw::files
