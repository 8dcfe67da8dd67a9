// Saves two versions of a table to one file in turn until it is killed; the
// killed-save test stops it at many points of a save. Arguments: the file,
// "binary", "xml" or "incremental" (the file is loaded once and changed into
// the other version before each save, which then updates it in place).
// Prints "saving" once the loop starts.

#include "save_loop_content.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3)
        return 2;
    using Format = bw::dataset::ClientDataSet::FileFormat;
    const Format format = arguments[2] == QLatin1String("xml") ? Format::Xml : Format::Binary;
    if (arguments[2] == QLatin1String("incremental")) {
        bw::dataset::ClientDataSet::setOnDemandMinimumSize(0); // descriptions stay in the file
        bw::dataset::ClientDataSet table;
        bw::testing::fillVersion(table, 0); // defines the fields
        table.loadFromFile(arguments[1]);
        std::printf("saving\n");
        std::fflush(stdout);
        for (int version = 1;; version = 1 - version) {
            bw::testing::applyVersion(table, version);
            table.saveToFile(arguments[1], format);
        }
    }
    bw::dataset::ClientDataSet first;
    bw::dataset::ClientDataSet second;
    bw::testing::fillVersion(first, 0);
    bw::testing::fillVersion(second, 1);
    std::printf("saving\n");
    std::fflush(stdout);
    for (;;) {
        first.saveToFile(arguments[1], format);
        second.saveToFile(arguments[1], format);
    }
}
