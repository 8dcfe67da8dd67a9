#pragma once
// The engine's record storage, shared by the table and its file forms.
// A cell keeps text (String fields, UTF-8) and bytes (Memo fields) in `data`
// and integers in `number`; `null` tells a null value from an empty one.
// A stored cell keeps nothing: its value stays in the binary file the table
// was loaded from, at the record's file position, and is read when needed.

#include "table/field_def.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace bw::dataset {

struct Cell
{
    QByteArray data;
    qint32 number = 0;
    bool null = true;
    bool stored = false; // not null, value still in the file (see above)

    // Two stored cells are equal only as cells of one record and field: both
    // stand for the value in the file.
    friend bool operator==(const Cell &a, const Cell &b)
    {
        return a.null == b.null && a.stored == b.stored &&
               (a.null || a.stored || (a.number == b.number && a.data == b.data));
    }
};

using Cells = std::vector<Cell>;

class ValueArena;

// The position of a record that is not in the table's binary file.
constexpr qint64 kNoFilePos = std::numeric_limits<qint64>::min();

struct Row
{
    quint64 id = 0; // identity of the record inside one table, for bookmarks
    Cells cells;
    qint64 filePos = kNoFilePos; // its `position` in the binary file it came from
};

// Reads the values of stored cells from the file they stayed in.
class StoredValueReader
{
public:
    virtual ~StoredValueReader() = default;
    // The value of field `field` of the record at `filePos`. Throws
    // FileAccessError or FileFormatError.
    virtual Cell read(qint64 filePos, int field) const = 0;
    // Throws FileChangedError when the values can no longer be read as they
    // were when the file was loaded.
    virtual void check() const {}
    // Makes the values readable as loaded for as long as the reader lives,
    // even when another program later changes the file in place: called
    // before the table's first change, since from then on the user has work
    // that needs them. Best effort; never throws.
    virtual void preserve() const {}

    // The reads between beginOperation() and endOperation() make one
    // operation (a dump, an export, a save): whether the file changed is
    // checked at its two ends, not at every value. Operations nest; only the
    // outermost checks. beginOperation() throws like check().
    virtual void beginOperation() const {}
    // True when every value read in the operation is the value loaded; false
    // when the values' source changed meanwhile (another program changed the
    // file and they now come from the private copy, or this process saved it
    // in place): values read since may be wrong, and the operation must run
    // again. Throws FileChangedError when the values are gone.
    virtual bool endOperation() const { return true; }
    // Leaves an operation without checking (it failed). Never throws.
    virtual void abandonOperation() const noexcept {}
    // The file the values are in, for messages.
    virtual QString fileName() const { return {}; }
};

// One operation on the values of a reader (see beginOperation), left on
// every path. A null reader makes an empty operation.
class StoredValueOperation
{
public:
    explicit StoredValueOperation(const StoredValueReader *reader) : m_reader(reader)
    {
        if (m_reader)
            m_reader->beginOperation();
    }
    ~StoredValueOperation()
    {
        if (m_reader)
            m_reader->abandonOperation();
    }
    StoredValueOperation(const StoredValueOperation &) = delete;
    StoredValueOperation &operator=(const StoredValueOperation &) = delete;

    // See endOperation(); the operation is over afterwards.
    bool finish()
    {
        const StoredValueReader *reader = std::exchange(m_reader, nullptr);
        return !reader || reader->endOperation();
    }

private:
    const StoredValueReader *m_reader;
};

// Reads a stored cell through `reader`; throws DataSetError when there is none.
Cell readStoredCell(qint64 filePos, int field, const StoredValueReader *reader);

// The value of a cell, read from the file when it is stored.
inline const Cell &cellValue(const Row &row, int field, const StoredValueReader *reader,
                             Cell &scratch)
{
    const Cell &cell = row.cells[size_t(field)];
    if (!cell.stored)
        return cell;
    scratch = readStoredCell(row.filePos, field, reader);
    return scratch;
}

// What a file holds: definitions and records in stored order. `storedValues`
// reads the stored cells of the rows; null when there are none.
struct TableContent
{
    QList<FieldDef> fields;
    QList<IndexDef> indexes;
    std::vector<Row> rows;
    std::shared_ptr<StoredValueReader> storedValues;
    // Holds the bytes of the rows' values (see ValueArena); keep it while the
    // rows live.
    std::shared_ptr<const ValueArena> values;
    bool binaryForm = false; // read from the binary form: rows carry file positions
};

constexpr int kMaxFieldCount = 1024;
constexpr int kMaxFieldNameLength = 128;
constexpr int kMaxStringWidth = 65535;

// Number of Unicode characters in UTF-8 text.
int utf8Length(const QByteArray &utf8);
// True when the bytes are well-formed UTF-8.
bool isValidUtf8(const QByteArray &bytes);
// The length of the well-formed UTF-8 sequence at `p` (before `end`), its
// character in `codePoint`; 0 when the bytes there start none.
int utf8SequenceAt(const unsigned char *p, const unsigned char *end, char32_t &codePoint);
// Checks definitions; throws FileFormatError naming `fileName` when they came
// from a file, else DataSetError.
void validateDefinitions(const QList<FieldDef> &fields, const QList<IndexDef> &indexes,
                         const QString &fileName = QString());

} // namespace bw::dataset
