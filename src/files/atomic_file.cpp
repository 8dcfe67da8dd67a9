#include "files/atomic_file.h"

#include "files/file_checks.h"
#include "files/file_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::files {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void syncPath(const QString &path, const QString &shownName, bool directory)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), directory ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
    if (fd < 0) {
        if (directory)
            return; // some file systems do not let a folder be opened; the rename stands
        throw FileAccessError::cannotWrite(shownName, systemError());
    }
    const int result = ::fsync(fd);
    const int savedErrno = errno;
    ::close(fd);
    if (result != 0 && !directory) {
        errno = savedErrno;
        throw FileAccessError::cannotWrite(shownName, systemError());
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
void checkNotReadOnly(const QString &path, const QString &shownName)
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
    throw FileAccessError::cannotWrite(shownName, systemError());
}

// The name QTemporaryFile gives a temporary file of the target: "." + the
// file name + "." + six letters or digits.
bool isTempName(const QString &name, const QString &prefix)
{
    if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end(),
                       [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
}

// A save that never finished (the program was killed) leaves its temporary
// file, and SQLite's journal of it, beside the target; the next save that
// succeeds removes them. A temporary file whose lock is held belongs to a
// save still running and stays.
void removeAbandonedTemps(const QString &targetPath)
{
    const QFileInfo target(targetPath);
    const QString prefix = QStringLiteral(".") + target.fileName() + QStringLiteral(".");
    const QString journal = QStringLiteral("-journal");
    const QDir folder = target.absoluteDir();
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString base = name.endsWith(journal) ? name.chopped(journal.size()) : name;
        if (!isTempName(base, prefix))
            continue;
        const QString path = folder.filePath(base);
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0 && errno != ENOENT)
            continue;
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        QFile::remove(folder.filePath(name));
        if (fd >= 0)
            ::close(fd);
    }
}

} // namespace

void checkWritableTarget(const QString &targetPath, const QString &shownName)
{
    checkReplaceable(targetPath, shownName);
    checkNotReadOnly(targetPath, shownName);
}

AtomicFile::AtomicFile(const QString &targetPath)
    : m_shownName(targetPath), m_targetPath(resolveLinkChain(targetPath))
{
    // Saving through symbolic links replaces the file the last one points to;
    // the links stay. Only a regular file is replaced.
    checkWritableTarget(m_targetPath, m_shownName);
    const QFileInfo info(m_targetPath);
    QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    temp.setAutoRemove(false);
    if (!temp.open())
        throw FileAccessError(
            QStringLiteral("Cannot create the file %1: %2").arg(targetPath, temp.errorString()));
    m_tempPath = temp.fileName();
    temp.close();
    // The lock marks the temporary file as in use while this save runs.
    m_lockFd = ::open(QFile::encodeName(m_tempPath).constData(), O_RDONLY | O_CLOEXEC);
    if (m_lockFd >= 0)
        ::flock(m_lockFd, LOCK_EX);
}

AtomicFile::~AtomicFile()
{
    if (!m_committed)
        QFile::remove(m_tempPath);
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void AtomicFile::commit()
{
    syncPath(m_tempPath, m_shownName, false);
    const QByteArray temp = QFile::encodeName(m_tempPath);
    const QByteArray target = QFile::encodeName(m_targetPath);
    ::chmod(temp.constData(), permissionsFor(m_targetPath));
    if (::rename(temp.constData(), target.constData()) != 0)
        throw FileAccessError::cannotWrite(m_shownName, systemError());
    m_committed = true;
    syncPath(QFileInfo(m_targetPath).absolutePath(), m_shownName, true);
    removeAbandonedTemps(m_targetPath);
}

} // namespace bw::files
