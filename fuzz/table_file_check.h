#pragma once
// The check shared by the table-file harnesses: the input bytes, written to a
// file, are loaded into a notes table (fields defined, as the document window
// does) and into a table without definitions (taking the file's). A refused
// file must leave the table closed with its definitions; an accepted one must
// come back the same from a save in either form (the XML form may refuse
// values it cannot carry, with a table error).

#include <cstddef>
#include <cstdint>

namespace bw::fuzz {

void checkTableFile(const uint8_t *data, size_t size);

} // namespace bw::fuzz
