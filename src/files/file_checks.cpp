#include "files/file_checks.h"

#include "files/file_error.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::files {

namespace {

const QString kNotRegular = QStringLiteral("it is not a regular file");

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The kernel's own limit of links followed in one name.
constexpr int kMaxLinks = 40;

} // namespace

QString resolveLinkChain(const QString &path)
{
    QString current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        const QByteArray native = QFile::encodeName(current);
        struct stat info;
        if (::lstat(native.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(native.constData(), target, sizeof target);
        if (length < 0 || length >= ssize_t(sizeof target))
            throw FileAccessError::cannotWrite(path, errnoText(length < 0 ? errno : ENAMETOOLONG));
        const QString next = QFile::decodeName(QByteArray(target, int(length)));
        current = QFileInfo(next).isAbsolute()
                      ? next
                      : QFileInfo(current).path() + QLatin1Char('/') + next;
    }
    throw FileAccessError::cannotWrite(path, errnoText(ELOOP));
}

void checkReplaceable(const QString &path, const QString &shownName)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode))
        throw FileAccessError::cannotWrite(shownName, kNotRegular);
}

QString replaceableTarget(const QString &path)
{
    const QString target = resolveLinkChain(path);
    checkReplaceable(target, path);
    return target;
}

QByteArray fileStamp(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return QByteArray();
    return QByteArray::number(quint64(info.st_dev)) + ':' +
           QByteArray::number(quint64(info.st_ino)) + ':' +
           QByteArray::number(qint64(info.st_size)) + ':' +
           QByteArray::number(qint64(info.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(info.st_mtim.tv_nsec));
}

int openRegularFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0)
        throw FileAccessError::cannotOpen(path, errnoText(errno));
    if (!S_ISREG(info.st_mode))
        throw FileAccessError::cannotOpen(path, kNotRegular);
    // Non-blocking, and checked again once open: the name may have been
    // replaced by a pipe in between.
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        throw FileAccessError::cannotOpen(path, errnoText(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FileAccessError::cannotOpen(path, kNotRegular);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace bw::files
