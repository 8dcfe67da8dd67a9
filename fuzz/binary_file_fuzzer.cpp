// libFuzzer harness of the binary form of table files (SQLite databases):
// every input is a file to load (see table_file_check.h for what is checked).
// The seeds are databases with small pages, so that mutations reach every
// part of them.

#include "table_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    bw::fuzz::checkTableFile(data, size);
    return 0;
}
