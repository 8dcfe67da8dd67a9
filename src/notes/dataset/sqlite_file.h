#pragma once
// The binary form of a table file: a SQLite database (docs/notes-file-format.md).

#include "notes/dataset/table_store.h"

#include <QString>

namespace bw::dataset {

constexpr int kSqliteApplicationId = 0x42574E46; // "BWNF"
constexpr int kSqliteFormatVersion = 1;

// Throws FileAccessError or FileFormatError; never returns partial content.
TableContent readSqliteFile(const QString &path);
// Writes a complete database to `path`, which must be an empty or new file.
// shownName: the file the error messages name, when `path` is a temporary file
// that replaces it.
void writeSqliteFile(const QString &path, const QList<FieldDef> &fields,
                     const QList<IndexDef> &indexes, const std::vector<Row> &rows,
                     const QString &shownName = QString());

} // namespace bw::dataset
