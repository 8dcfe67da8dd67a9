#pragma once
// A copy of an open file that only this process can reach: it has no name,
// so nothing else can change it, and the system drops it with its last
// descriptor.

#include <QString>

namespace bw::files {

// Copies the whole content of the open file `fd` into a new unnamed file and
// returns its descriptor (read and write, close-on-exec), or -1 when no copy
// could be made (no room, no folder that takes unnamed files). The copy is
// made beside `nearPath` where that folder allows it, so that a filesystem
// that shares blocks between files (btrfs, XFS) makes it at almost no cost;
// else in the temporary folder.
int openPrivateCopy(int fd, const QString &nearPath);

} // namespace bw::files
