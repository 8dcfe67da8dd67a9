#include "transfer/file_write.h"

#include "files/file_checks.h"
#include "files/file_error.h"
#include "transfer/io_error.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace bw::io {

namespace {

[[noreturn]] void cannotWrite(const QString &path, const QString &reason)
{
    throw IoError(QStringLiteral("Cannot write the file %1: %2").arg(path, reason));
}

bool writeAndClose(QFile &file, const QByteArray &bytes)
{
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

// Replaces the regular file `target`; messages name `path`, the name given.
void replaceFile(const QString &target, const QString &path, const QByteArray &bytes)
{
    const QFileInfo existing(target);
    if (!existing.isWritable())
        cannotWrite(path, QStringLiteral("The existing file is not writable."));
    QTemporaryFile temporary(existing.absolutePath() + QStringLiteral("/.bw-export-XXXXXX"));
    if (!temporary.open())
        cannotWrite(path, temporary.errorString());
    temporary.setPermissions(existing.permissions());
    if (!writeAndClose(temporary, bytes))
        cannotWrite(path, temporary.errorString());
    // rename(2) replaces the old file in one step; QFile::rename would refuse it.
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        cannotWrite(path, QString::fromLocal8Bit(std::strerror(errno)));
    temporary.setAutoRemove(false);
}

} // namespace

void writeFileBytes(const QString &path, const QByteArray &bytes)
{
    // The file at the end of any links is written, and only a regular file
    // is replaced: a pipe, a device or a folder under that name is refused.
    const QString target = replaceableTarget(path);
    QFile file(target);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (writeAndClose(file, bytes))
            return;
        const QString reason = file.errorString();
        file.remove(); // no half file stays behind
        cannotWrite(path, reason);
    }
    if (!QFileInfo::exists(target))
        cannotWrite(path, file.errorString());
    // Checked again: the name may have been taken since.
    replaceFile(replaceableTarget(path), path, bytes);
}

QString replaceableTarget(const QString &path)
{
    try {
        return files::replaceableTarget(path);
    } catch (const FileAccessError &error) {
        throw IoError(error.message());
    }
}

} // namespace bw::io
