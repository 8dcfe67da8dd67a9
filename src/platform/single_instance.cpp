#include "single_instance.h"

#include <QFile>
#include <QtGlobal>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace bw {

SingleInstanceLock::SingleInstanceLock(const QString &name) : m_path(lockFilePath(name)) {}

SingleInstanceLock::~SingleInstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SingleInstanceLock::lockFilePath(const QString &name)
{
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty())
        return runtimeDir + QLatin1Char('/') + name;
    return QStringLiteral("/tmp/%1-%2").arg(name).arg(::getuid());
}

SingleInstanceLock::Result SingleInstanceLock::tryAcquire()
{
    if (m_fd >= 0)
        return Result::Acquired;
    // O_CLOEXEC: programs we start (a browser, a mail client) must not inherit
    // the lock and keep it after we end. O_NOFOLLOW: /tmp is shared, so a
    // planted symbolic link must not redirect us to another file.
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Result::Failed;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_fd = fd;
        return Result::Acquired;
    }
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? Result::HeldElsewhere : Result::Failed;
}

} // namespace bw
