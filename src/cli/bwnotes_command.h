#pragma once
// The commands of bwnotes, the command-line companion: dump a notes file,
// convert it between the binary and XML forms, write a new one-item file.

#include <QStringList>

class QTextStream;

namespace bw::cli {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// arguments: without the program name. Results go to `out`, errors and usage to `err`.
int runBwnotes(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace bw::cli
