#pragma once
// The program's command line before any window: --help and --version answer
// and end the program, an unknown option is refused, and a notes file name
// (with Qt's own options) is left for the program to start with.

#include <QStringList>

#include <optional>

class QTextStream;

namespace bw {

// The exit status of a program that asks only for the usage or the version
// (0, the text on out) or that was given an unknown option (2, the usage on
// err); nullopt when the program starts. arguments: without the program name.
std::optional<int> answerCommandLine(const QStringList &arguments, QTextStream &out,
                                     QTextStream &err);

// The arguments after Qt took its own, without a "--" that ends the options.
QStringList fileArguments(QStringList arguments);

} // namespace bw
