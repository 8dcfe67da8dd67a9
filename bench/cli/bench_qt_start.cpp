// The smallest Qt console program: what any start of bwnotes costs at least.

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "started\n";
    return 0;
}
