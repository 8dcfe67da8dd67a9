#include "cli/bwnotes_command.h"
#include "platform/huge_page_heap.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    bw::platform::restartWithHugePageHeap(argv);
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int result = bw::cli::runBwnotes(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return result;
}
