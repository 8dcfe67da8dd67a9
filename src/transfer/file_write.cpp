#include "transfer/file_write.h"

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

void replaceFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo existing(path);
    if (existing.isDir())
        cannotWrite(path, QStringLiteral("It is a folder."));
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
                    QFile::encodeName(path).constData()) != 0)
        cannotWrite(path, QString::fromLocal8Bit(std::strerror(errno)));
    temporary.setAutoRemove(false);
}

} // namespace

void writeFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (writeAndClose(file, bytes))
            return;
        const QString reason = file.errorString();
        file.remove(); // no half file stays behind
        cannotWrite(path, reason);
    }
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
        cannotWrite(path, file.errorString());
    replaceFile(path, bytes);
}

} // namespace bw::io
