#pragma once
// Definitions of a table's fields and indexes.

#include <QString>
#include <QStringList>

namespace bw::dataset {

enum class FieldType {
    Integer, // 32-bit signed integer
    String,  // text of at most `size` characters; longer values are cut when stored
    Memo,    // text blob, read and written whole as bytes
};

struct FieldDef
{
    QString name;
    FieldType type = FieldType::Integer;
    int size = 0; // width of a String field in characters; declared size of a Memo
    bool required = false;

    friend bool operator==(const FieldDef &, const FieldDef &) = default;
};

struct IndexDef
{
    QString name;
    QStringList fields; // one or more field names, most significant first
    bool descending = false;

    friend bool operator==(const IndexDef &, const IndexDef &) = default;
};

// "ID;Parent" -> {"ID", "Parent"}
inline QStringList splitFieldList(const QString &fields)
{
    QStringList result;
    for (const QString &part : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        result.append(part.trimmed());
    return result;
}

} // namespace bw::dataset
