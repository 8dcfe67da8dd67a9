#pragma once
// The engine's record storage, shared by the table and its file forms.
// A cell keeps text (String fields, UTF-8) and bytes (Memo fields) in `data`
// and integers in `number`; `null` tells a null value from an empty one.

#include "notes/dataset/field_def.h"

#include <QByteArray>
#include <QList>
#include <vector>

namespace bw::dataset {

struct Cell
{
    QByteArray data;
    qint32 number = 0;
    bool null = true;

    friend bool operator==(const Cell &a, const Cell &b)
    {
        return a.null == b.null && (a.null || (a.number == b.number && a.data == b.data));
    }
};

using Cells = std::vector<Cell>;

struct Row
{
    quint64 id = 0; // identity of the record inside one table, for bookmarks
    Cells cells;
};

// What a file holds: definitions and records in stored order.
struct TableContent
{
    QList<FieldDef> fields;
    QList<IndexDef> indexes;
    std::vector<Row> rows;
};

constexpr int kMaxFieldCount = 1024;
constexpr int kMaxFieldNameLength = 128;
constexpr int kMaxStringWidth = 65535;

// Number of Unicode characters in UTF-8 text.
int utf8Length(const QByteArray &utf8);
// True when the bytes are well-formed UTF-8.
bool isValidUtf8(const QByteArray &bytes);
// Checks definitions; throws FileFormatError naming `fileName` when they came
// from a file, else DataSetError.
void validateDefinitions(const QList<FieldDef> &fields, const QList<IndexDef> &indexes,
                         const QString &fileName = QString());

} // namespace bw::dataset
