#include "files/private_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::files {

namespace {

int openUnnamedIn(const QString &folder)
{
    return ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

bool writeAll(int to, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(to, data, size_t(size));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= done;
    }
    return true;
}

// Shares the blocks where the filesystem can, copies inside the kernel where
// it cannot, and through a buffer as the last resort.
bool copyContent(int from, int to, off_t size)
{
    if (::ioctl(to, FICLONE, from) == 0)
        return true;
    off_t in = 0;
    while (in < size) {
        const ssize_t done = ::copy_file_range(from, &in, to, nullptr, size_t(size - in), 0);
        if (done < 0 && errno == EINTR)
            continue;
        if (done > 0)
            continue;
        if (done == 0 ||
            (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP))
            return false;
        // No copy inside the kernel between these files: the rest by buffer.
        char buffer[1 << 16];
        while (in < size) {
            const ssize_t got = ::pread(from, buffer, sizeof buffer, in);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0 || !writeAll(to, buffer, got))
                return false;
            in += got;
        }
    }
    return true;
}

} // namespace

int openPrivateCopy(int fd, const QString &nearPath)
{
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    for (const QString &folder : {QFileInfo(nearPath).absolutePath(), QDir::tempPath()}) {
        const int copy = openUnnamedIn(folder);
        if (copy < 0)
            continue;
        if (copyContent(fd, copy, info.st_size))
            return copy;
        ::close(copy); // a full disk here may leave room in the other folder
    }
    return -1;
}

} // namespace bw::files
