#pragma once
// The single-instance test: an exclusive flock() on a per-user lock file. The
// kernel drops the lock when the holding process ends, however it ends, so a
// copy that was killed never blocks the next one.

#include <QString>

namespace bw {

class SingleInstanceLock
{
public:
    enum class Result {
        Acquired,      // this process now holds the lock
        HeldElsewhere, // another process holds it: this copy must end
        Failed,        // the lock file could not be opened or locked
    };

    // name is the lock's name, e.g. "BramblewickOneCopyMutex".
    explicit SingleInstanceLock(const QString &name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    // Tries once, without waiting. Only HeldElsewhere means another copy runs.
    Result tryAcquire();
    bool isHeld() const { return m_fd >= 0; }
    QString path() const { return m_path; }

    // "$XDG_RUNTIME_DIR/<name>" when that folder is set, else
    // "/tmp/<name>-<uid>" so users on one machine never share a lock.
    static QString lockFilePath(const QString &name);

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace bw
