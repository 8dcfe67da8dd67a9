// libFuzzer harness of the XML form of table files: every input is a file
// to load (see table_file_check.h for what is checked).

#include "table_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    bw::fuzz::checkTableFile(data, size);
    return 0;
}
