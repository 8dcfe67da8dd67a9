#pragma once
// The check shared by the table-file harnesses: the input bytes, written to a
// file, are loaded into a notes table (fields defined, as the document window
// does) and into a table without definitions (taking the file's). A refused
// file must leave the table closed with its definitions; an accepted one must
// come back the same from a save in either form (the XML form may refuse
// values it cannot carry, with a table error).

#include <QString>

#include <cstddef>
#include <cstdint>

namespace bw::dataset {
class ClientDataSet;
}

namespace bw::fuzz {

void checkTableFile(const uint8_t *data, size_t size);

// The table, saved in each form and loaded again (into a table defined as
// it is, and into one that takes the file's definitions), holds what it held.
void checkSavedForms(dataset::ClientDataSet &table);

// A file of that name in the harness's scratch folder (in memory when it can).
QString scratchFile(const char *name);

// Prints what went wrong and aborts, which libFuzzer reports as a finding.
[[noreturn]] void fault(const char *what, const QString &detail = QString());

} // namespace bw::fuzz
