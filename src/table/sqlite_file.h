#pragma once
// The binary form of a table file: a SQLite database (docs/notes-file-format.md).

#include "table/table_store.h"

#include <QString>

namespace bw::dataset {

constexpr int kSqliteApplicationId = 0x42574E46; // "BWNF"
constexpr int kSqliteFormatVersion = 1;
// A complete write spaces the records' positions this far apart, so that
// records inserted later between two of them get positions of their own.
constexpr qint64 kFilePositionStep = 1 << 16;

// Throws FileAccessError or FileFormatError; never returns partial content.
// With `onDemand`, memo values stay in the file (checked for their type
// only): the rows' memo cells are stored cells, read through
// content.storedValues, which keeps the file open as it was read.
TableContent readSqliteFile(const QString &path, bool onDemand = false);
// Opens a reader of the stored cells of a file written by this engine.
std::shared_ptr<StoredValueReader> openStoredValues(const QString &path,
                                                    const QList<FieldDef> &fields);

// How many times the readers of stored cells have looked whether their file
// changed, in this process so far (for tests).
quint64 fileCheckCount();

// Writes a complete database to `path`, which must be an empty or new file;
// the record of row r gets the position r * kFilePositionStep. Stored cells
// are read through `stored`. shownName: the file the error messages name,
// when `path` is a temporary file that replaces it.
void writeSqliteFile(const QString &path, const QList<FieldDef> &fields,
                     const QList<IndexDef> &indexes, const std::vector<Row> &rows,
                     const QString &shownName = QString(),
                     const StoredValueReader *stored = nullptr);

// The records (and definitions) an in-place update writes.
struct FileUpdate
{
    QList<FieldDef> fields;
    QList<IndexDef> indexes;
    bool definitionsChanged = false;  // rewrite the fields and indexes tables
    std::vector<qint64> deletions;    // positions of records to remove
    std::vector<const Row *> updates; // records in the file: every cell that is not stored
    std::vector<std::pair<qint64, const Row *>> insertions; // new position, record
};

// Applies `update` to an existing database of this format in one transaction
// with a rollback journal and synchronous=FULL: a save killed or failing
// anywhere leaves the file as it was (SQLite rolls the journal back when the
// file is next opened). Throws FileAccessError or FileFormatError.
void updateSqliteFile(const QString &path, const QString &shownName, const FileUpdate &update);

} // namespace bw::dataset
