#include "document/recovery_store.h"

#include "files/atomic_file.h"
#include "table/dataset_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace bw::notes {

namespace {

const QString kInfoSuffix = QStringLiteral(".info");
const QString kTableSuffix = QStringLiteral(".cds");

QByteArray processName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
}

// True when pid is a running process of the same program as this one.
bool isRunningCopy(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (pid == qint64(::getpid()))
        return true;
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
    // A process id taken over by another program does not hold the copy.
    return processName(pid) == processName(::getpid());
}

} // namespace

QString RecoveryStore::defaultFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/bramblewick/recovery");
}

RecoveryStore::RecoveryStore(QString folder, int intervalMs)
    : m_folder(std::move(folder)), m_intervalMs(intervalMs)
{
}

QString RecoveryStore::newKey()
{
    return QStringLiteral("%1-%2").arg(qint64(::getpid())).arg(m_nextNumber++);
}

QString RecoveryStore::tablePath(const QString &key) const
{
    return m_folder + QLatin1Char('/') + key + kTableSuffix;
}

void RecoveryStore::ensureFolder() const
{
    if (!QDir().mkpath(m_folder))
        throw dataset::FileAccessError(
            QStringLiteral("Cannot create the recovery folder %1").arg(m_folder));
    // Only the user reads the copies of their notes.
    QFile::setPermissions(m_folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void RecoveryStore::writeInfo(const RecoveryEntry &entry) const
{
    ensureFolder();
    QJsonObject object;
    object.insert(QStringLiteral("file"), entry.fileName);
    object.insert(QStringLiteral("time"), entry.time.toString(Qt::ISODateWithMs));
    object.insert(QStringLiteral("pid"), entry.pid);
    object.insert(QStringLiteral("table"), QFileInfo(tablePath(entry.key)).fileName());
    if (entry.hasEditorText) {
        object.insert(QStringLiteral("editorItem"), entry.editorItem);
        object.insert(QStringLiteral("editorRtf"), QString::fromLatin1(entry.editorRtf.toBase64()));
    }
    const QByteArray bytes = QJsonDocument(object).toJson();
    const QString path = m_folder + QLatin1Char('/') + entry.key + kInfoSuffix;
    files::AtomicFile target(path);
    QFile file(target.tempPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush())
        throw dataset::FileAccessError(
            QStringLiteral("Cannot write the file %1: %2").arg(path, file.errorString()));
    file.close();
    target.commit();
}

void RecoveryStore::remove(const QString &key) const
{
    if (key.isEmpty())
        return;
    // The description first: a table copy without it is never offered.
    QFile::remove(m_folder + QLatin1Char('/') + key + kInfoSuffix);
    QFile::remove(tablePath(key));
}

QList<RecoveryEntry> RecoveryStore::pending() const
{
    QList<RecoveryEntry> entries;
    const QDir dir(m_folder);
    for (const QFileInfo &info :
         dir.entryInfoList({QStringLiteral("*") + kInfoSuffix}, QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly) || file.size() > 256 * 1024 * 1024)
            continue;
        const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
        if (object.isEmpty())
            continue;
        RecoveryEntry entry;
        entry.key = info.completeBaseName();
        entry.fileName = object.value(QStringLiteral("file")).toString();
        entry.time = QDateTime::fromString(object.value(QStringLiteral("time")).toString(),
                                           Qt::ISODateWithMs);
        entry.pid = qint64(object.value(QStringLiteral("pid")).toDouble());
        entry.tablePath = tablePath(entry.key);
        if (object.contains(QStringLiteral("editorRtf"))) {
            entry.hasEditorText = true;
            entry.editorItem = object.value(QStringLiteral("editorItem")).toInt();
            entry.editorRtf = QByteArray::fromBase64(
                object.value(QStringLiteral("editorRtf")).toString().toLatin1());
        }
        if (isRunningCopy(entry.pid) || !QFileInfo(entry.tablePath).isFile())
            continue;
        entries.append(entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const RecoveryEntry &a, const RecoveryEntry &b) { return a.time < b.time; });
    return entries;
}

} // namespace bw::notes
