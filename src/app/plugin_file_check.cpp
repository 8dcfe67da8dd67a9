#include "app/plugin_file_check.h"

#include "files/file_checks.h"
#include "files/file_error.h"

#include <elf.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace bw {

namespace {

// Closes the descriptor when the check returns.
class FdCloser
{
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() { ::close(m_fd); }
    FdCloser(const FdCloser &) = delete;
    FdCloser &operator=(const FdCloser &) = delete;

private:
    int m_fd;
};

bool readAt(int fd, void *buffer, size_t size, off_t offset)
{
    auto *bytes = static_cast<char *>(buffer);
    while (size > 0) {
        const ssize_t got = ::pread(fd, bytes, size, offset);
        if (got <= 0)
            return false;
        bytes += got;
        size -= size_t(got);
        offset += got;
    }
    return true;
}

// Whether [offset, offset + size) lies inside a file of fileSize bytes,
// without overflowing on absurd values.
bool inside(quint64 offset, quint64 size, quint64 fileSize)
{
    return offset <= fileSize && size <= fileSize - offset;
}

bool isLibraryHeader(const ElfW(Ehdr) & header)
{
    static constexpr unsigned char kClass = sizeof(void *) == 8 ? ELFCLASS64 : ELFCLASS32;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    static constexpr unsigned char kData = ELFDATA2LSB;
#else
    static constexpr unsigned char kData = ELFDATA2MSB;
#endif
    return std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
           header.e_ident[EI_CLASS] == kClass && header.e_ident[EI_DATA] == kData &&
           header.e_type == ET_DYN && header.e_phentsize == sizeof(ElfW(Phdr));
}

QString layoutProblem(int fd, const ElfW(Ehdr) & header, quint64 fileSize)
{
    const quint64 tableSize = quint64(header.e_phnum) * sizeof(ElfW(Phdr));
    if (header.e_phnum == 0 || !inside(header.e_phoff, tableSize, fileSize))
        return QStringLiteral("it is cut short: its program headers lie past the end of the file");
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    if (!readAt(fd, segments.data(), size_t(tableSize), off_t(header.e_phoff)))
        return QStringLiteral("its program headers cannot be read");
    for (const ElfW(Phdr) & segment : segments)
        if (segment.p_type == PT_LOAD && !inside(segment.p_offset, segment.p_filesz, fileSize))
            return QStringLiteral("it is cut short: a loadable segment ends past the end of "
                                  "the file");
    const quint64 sectionsSize = quint64(header.e_shnum) * header.e_shentsize;
    if (header.e_shoff != 0 && !inside(header.e_shoff, sectionsSize, fileSize))
        return QStringLiteral("it is cut short: its section headers lie past the end of the file");
    return {};
}

} // namespace

QString pluginFileProblem(const QString &path)
{
    int fd = -1;
    try {
        fd = files::openRegularFile(path);
    } catch (const FileAccessError &error) {
        return error.message();
    }
    const FdCloser closer(fd);
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return QStringLiteral("it cannot be read");
    ElfW(Ehdr) header;
    if (quint64(info.st_size) < sizeof header || !readAt(fd, &header, sizeof header, 0) ||
        !isLibraryHeader(header))
        return QStringLiteral("it is not a shared library of this system");
    return layoutProblem(fd, header, quint64(info.st_size));
}

} // namespace bw
