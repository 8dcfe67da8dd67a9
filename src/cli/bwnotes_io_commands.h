#pragma once
// The import and export commands of bwnotes: the same writers as the
// document window's commands, so a script gets the same files.

#include <QStringList>
#include <optional>

class QTextStream;

namespace bw::cli {

// The usage lines of the import and export commands.
extern const char kIoUsage[];

// Runs an import or export command: its exit code, or nothing when
// arguments[0] names none of them. Errors go to `err` and throw nothing.
std::optional<int> runIoCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace bw::cli
