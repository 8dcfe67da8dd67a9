#include "cli/bwnotes_command.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int result = bw::cli::runBwnotes(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return result;
}
