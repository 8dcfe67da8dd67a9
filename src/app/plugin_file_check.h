#pragma once
// Checks a plug-in file before it is loaded. The loader maps a library's
// segments straight from the file, so a library cut short (a half-finished
// copy, a full disk during an update) would end the program with SIGBUS the
// moment a page past the end is touched; such a file is refused instead.

#include <QString>

namespace bw {

// Empty when `path` is a regular file holding an ELF shared library of this
// system whose loadable segments and section headers lie inside the file;
// otherwise the reason it is refused.
QString pluginFileProblem(const QString &path);

} // namespace bw
