#include "editor/object_copies.h"

#include "editor/open_confirmation.h"
#include "platform/guarded_dispatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace bw {

ObjectCopies::ObjectCopies(QObject *parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    guardedConnect(&m_settle, &QTimer::timeout, this, &ObjectCopies::checkNow);
    auto later = [this] { m_settle.start(); };
    guardedConnect(&m_watcher, &QFileSystemWatcher::fileChanged, this, later);
    guardedConnect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, later);
}

ObjectCopies::~ObjectCopies() = default;

QString ObjectCopies::add(const EmbeddedObject &object, const QTextCursor &at)
{
    if (!m_folder)
        m_folder = std::make_unique<QTemporaryDir>();
    const QString folder = m_folder->filePath(QString::number(++m_count));
    QDir().mkpath(folder);
    const QString path = folder + u'/' + objectFileName(object);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(object.data) != object.data.size())
        throw std::runtime_error(
            QStringLiteral("Cannot write \"%1\": %2.").arg(path, file.errorString()).toStdString());
    file.close();
    m_copies.push_back(Copy{path, object.name, object.data, at, {object.data}});
    watch(m_copies.back());
    return path;
}

void ObjectCopies::watch(const Copy &copy)
{
    // The folder tells when a copy is replaced by a rename, after which the
    // file itself must be watched again.
    const QString folder = QFileInfo(copy.path).absolutePath();
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
    if (QFileInfo::exists(copy.path) && !m_watcher.files().contains(copy.path))
        m_watcher.addPath(copy.path);
}

ObjectCopies::Copy *ObjectCopies::findCopy(const QString &path)
{
    for (Copy &copy : m_copies)
        if (copy.path == path)
            return &copy;
    return nullptr;
}

const ObjectCopies::Copy *ObjectCopies::find(const QString &path) const
{
    for (const Copy &copy : m_copies)
        if (copy.path == path)
            return &copy;
    return nullptr;
}

std::optional<QByteArray> ObjectCopies::read(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

void ObjectCopies::accepted(const QString &path, const QByteArray &bytes)
{
    if (Copy *copy = findCopy(path)) {
        copy->bytes = bytes;
        if (!copy->versions.contains(bytes))
            copy->versions.append(bytes);
    }
}

QString ObjectCopies::keep(const QString &path)
{
    Copy *copy = findCopy(path);
    if (!copy)
        return path;
    m_watcher.removePath(path);
    m_watcher.removePath(QFileInfo(path).absolutePath());
    m_copies.erase(m_copies.begin() + (copy - m_copies.data()));
    QTemporaryDir kept(QDir::tempPath() + QStringLiteral("/bramblewick-object-XXXXXX"));
    if (!kept.isValid())
        return path;
    kept.setAutoRemove(false);
    const QString target = kept.filePath(QFileInfo(path).fileName());
    return QFile::rename(path, target) ? target : path;
}

void ObjectCopies::checkNow()
{
    // changed() may keep a copy and so remove it from the list.
    const std::vector<Copy> copies = m_copies;
    for (const Copy &copy : copies) {
        watch(copy);
        const auto bytes = read(copy.path);
        if (bytes && *bytes != copy.bytes && findCopy(copy.path))
            emit changed(copy.path);
    }
}

} // namespace bw
