#include "notes/dataset/atomic_file.h"

#include "notes/dataset/dataset_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::dataset {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void syncPath(const QString &path, bool directory)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), directory ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
    if (fd < 0) {
        if (directory)
            return; // some file systems do not let a folder be opened; the rename stands
        throw FileAccessError(QStringLiteral("Cannot write the file %1: %2").arg(path, systemError()));
    }
    const int result = ::fsync(fd);
    const int savedErrno = errno;
    ::close(fd);
    if (result != 0 && !directory) {
        errno = savedErrno;
        throw FileAccessError(QStringLiteral("Cannot write the file %1: %2").arg(path, systemError()));
    }
}

mode_t permissionsFor(const QString &targetPath)
{
    struct stat info;
    if (::stat(QFile::encodeName(targetPath).constData(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The rename would replace a file even where writing to it is refused: a file
// this process may not write, or that nobody may write (also for the
// superuser), is refused as read-only. A file that does not exist yet passes.
void checkNotReadOnly(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0 || S_ISDIR(info.st_mode))
        return;
    if (::access(native.constData(), W_OK) == 0) {
        if ((info.st_mode & 0222) != 0)
            return;
        errno = EACCES;
    }
    throw FileAccessError(QStringLiteral("Cannot write the file %1: %2").arg(path, systemError()));
}

} // namespace

AtomicFile::AtomicFile(const QString &targetPath) : m_targetPath(targetPath)
{
    // Saving through a symbolic link replaces the file it points to, not the link.
    const QFileInfo link(targetPath);
    if (link.isSymLink())
        m_targetPath = link.symLinkTarget();
    checkNotReadOnly(m_targetPath);
    const QFileInfo info(m_targetPath);
    QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                        + QStringLiteral(".XXXXXX"));
    temp.setAutoRemove(false);
    if (!temp.open())
        throw FileAccessError(
            QStringLiteral("Cannot create the file %1: %2").arg(targetPath, temp.errorString()));
    m_tempPath = temp.fileName();
    temp.close();
}

AtomicFile::~AtomicFile()
{
    if (!m_committed)
        QFile::remove(m_tempPath);
}

void AtomicFile::commit()
{
    syncPath(m_tempPath, false);
    const QByteArray temp = QFile::encodeName(m_tempPath);
    const QByteArray target = QFile::encodeName(m_targetPath);
    ::chmod(temp.constData(), permissionsFor(m_targetPath));
    if (::rename(temp.constData(), target.constData()) != 0)
        throw FileAccessError(
            QStringLiteral("Cannot write the file %1: %2").arg(m_targetPath, systemError()));
    m_committed = true;
    syncPath(QFileInfo(m_targetPath).absolutePath(), true);
}

} // namespace bw::dataset
