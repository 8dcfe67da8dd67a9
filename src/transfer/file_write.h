#pragma once
// Writes the small files of an export (one per item, the tree's pictures)
// without destroying an existing file before its replacement is complete,
// and without forcing every file to the disk: an export of many thousand
// items would otherwise wait for the disk at every one.

#include <QByteArray>
#include <QString>

namespace bw::io {

// A new file is written in place, and removed again when the write fails; an
// existing regular file (which must be writable) is replaced through a temporary file
// beside it and a rename, so that it is either old or new. Throws IoError.
void writeFileBytes(const QString &path, const QByteArray &bytes);

// The rule every export applies to a file it writes: links at the end of
// `path` are followed to the name they end at, which is returned; anything
// there but a regular file is refused with IoError naming `path`.
QString replaceableTarget(const QString &path);

} // namespace bw::io
