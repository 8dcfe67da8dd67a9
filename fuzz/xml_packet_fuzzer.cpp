// libFuzzer harness of the XML form of table files: every input is a file
// to load (see table_file_check.h for what is checked). Besides, the fast
// reader of packets must read what the full reader reads, or give up: never
// accept what the full reader refuses, never read a value differently.

#include "table_file_check.h"

#include "table/dataset_error.h"
#include "table/xml_packet.h"

#include <QBuffer>

#include <cstdio>
#include <cstdlib>

namespace {

bool sameContent(const bw::dataset::TableContent &a, const bw::dataset::TableContent &b)
{
    if (a.fields != b.fields || a.rows.size() != b.rows.size())
        return false;
    for (size_t r = 0; r < a.rows.size(); ++r) {
        if (a.rows[r].cells != b.rows[r].cells)
            return false;
    }
    return true;
}

void checkFastReader(const uint8_t *data, size_t size)
{
    const auto fast = bw::dataset::readXmlPacketFast(reinterpret_cast<const char *>(data),
                                                     qsizetype(size), QStringLiteral("input"));
    if (!fast)
        return;
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes); // not a file: the full reader alone
    buffer.open(QIODevice::ReadOnly);
    try {
        if (!sameContent(*fast, bw::dataset::readXmlPacket(buffer, QStringLiteral("input")))) {
            std::fprintf(stderr, "the fast reader read the packet differently\n");
            std::abort();
        }
    } catch (const bw::dataset::DataSetError &error) {
        std::fprintf(stderr, "the fast reader accepted a refused packet: %s\n",
                     qPrintable(error.message()));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkFastReader(data, size);
    bw::fuzz::checkTableFile(data, size);
    return 0;
}
