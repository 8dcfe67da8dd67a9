#pragma once
// What the benchmarks read of their own process.

#include <QByteArray>
#include <QFile>

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
