#pragma once
// What the table engine checks before it touches a file: that a name to be
// replaced ends at a regular file (or at nothing yet), where a chain of
// symbolic links really ends, and that a file to be read is a regular file,
// opened without waiting on a pipe or a device.

#include <QString>

namespace bw::files {

// Follows symbolic links at the end of `path` until a name that is not one
// (or does not exist); the folders on the way stay as they are. A relative
// link target counts from the link's folder. Throws FileAccessError naming
// `path` when the chain loops or is too long.
QString resolveLinkChain(const QString &path);

// Throws FileAccessError naming `shownName` when `path` exists and is not a
// regular file (a folder, a pipe, a device, a socket).
void checkReplaceable(const QString &path, const QString &shownName);

// The rule of every file the program replaces (saves and exports alike):
// follows the chain of symbolic links at the end of `path` and returns the
// name it ends at, which must be a regular file or not exist yet. Throws
// FileAccessError naming `path` otherwise (a folder, a pipe, a device, a
// socket, a loop of links).
QString replaceableTarget(const QString &path);

// Device, inode, size and modification time of the regular file at `path`,
// as text; empty when there is none. Two stamps differ when the file was
// replaced or written in between.
QByteArray fileStamp(const QString &path);

// Opens a regular file for reading and returns its descriptor (close-on-exec).
// Anything else is refused before it is opened, so a pipe without a writer
// cannot block the reader. Throws FileAccessError naming `path`.
int openRegularFile(const QString &path);

} // namespace bw::files
