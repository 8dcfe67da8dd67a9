#pragma once
// What the benchmarks read of their own process.

#include <QByteArray>
#include <QFile>

#include <ctime>
#include <functional>

// Kilobytes of a /proc/self/status line such as "VmRSS:" or "VmHWM:"; -1 when
// it cannot be read.
inline long statusKb(const char *key)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// CPU time of this process so far, in milliseconds.
inline double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// CPU seconds that `work` takes.
inline double cpuSeconds(const std::function<void()> &work)
{
    const double start = cpuMs();
    work();
    return (cpuMs() - start) / 1e3;
}
