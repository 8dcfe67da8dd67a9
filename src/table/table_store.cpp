#include "table/table_store.h"

#include "table/dataset_error.h"

#include <QSet>

#include <algorithm>

namespace bw::dataset {

Cell readStoredCell(qint64 filePos, int field, const StoredValueReader *reader)
{
    if (!reader || filePos == kNoFilePos)
        throw DataSetError(QStringLiteral("A value of the table is no longer in its file"));
    return reader->read(filePos, field);
}

int utf8Length(const QByteArray &utf8)
{
    int count = 0;
    for (char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

int utf8SequenceAt(const unsigned char *p, const unsigned char *end, char32_t &codePoint)
{
    const unsigned char c = *p;
    if (c < 0x80) {
        codePoint = c;
        return 1;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (end - p <= extra)
        return 0;
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    codePoint = cp;
    return extra + 1;
}

bool isValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    char32_t codePoint = 0;
    while (p < end) {
        const int length = utf8SequenceAt(p, end, codePoint);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

namespace {

// The reason in the words of a file's refusal, or of a table's own definitions.
[[noreturn]] void refuseDefinitions(const QString &fileName, const QString &reason)
{
    if (fileName.isEmpty())
        throw DataSetError(reason.left(1).toUpper() + reason.mid(1));
    throw FileFormatError::refused(fileName, reason);
}

void validateFields(const QList<FieldDef> &fields, const QString &fileName)
{
    if (fields.isEmpty())
        refuseDefinitions(fileName, QStringLiteral("no fields are defined"));
    if (fields.size() > kMaxFieldCount)
        refuseDefinitions(fileName, QStringLiteral("too many fields are defined"));
    QSet<QString> names;
    for (const FieldDef &field : fields) {
        const bool badName = field.name.isEmpty() || field.name.size() > kMaxFieldNameLength ||
                             std::any_of(field.name.begin(), field.name.end(), [](QChar c) {
                                 return c.unicode() < 0x20 || c == QLatin1Char(';');
                             });
        if (badName)
            refuseDefinitions(fileName, QStringLiteral("a field has an invalid name"));
        if (names.contains(field.name))
            refuseDefinitions(fileName,
                              QStringLiteral("field '%1' is defined twice").arg(field.name));
        names.insert(field.name);
        if (field.type == FieldType::String && (field.size < 1 || field.size > kMaxStringWidth))
            refuseDefinitions(fileName,
                              QStringLiteral("field '%1' has an invalid width").arg(field.name));
        if (field.size < 0)
            refuseDefinitions(fileName,
                              QStringLiteral("field '%1' has an invalid size").arg(field.name));
    }
}

} // namespace

void validateDefinitions(const QList<FieldDef> &fields, const QList<IndexDef> &indexes,
                         const QString &fileName)
{
    validateFields(fields, fileName);
    QSet<QString> fieldNames;
    for (const FieldDef &field : fields)
        fieldNames.insert(field.name);
    QSet<QString> indexNames;
    for (const IndexDef &index : indexes) {
        if (index.name.isEmpty() || indexNames.contains(index.name) || index.fields.isEmpty())
            refuseDefinitions(fileName, QStringLiteral("an index definition is invalid"));
        indexNames.insert(index.name);
        for (const QString &name : index.fields) {
            if (!fieldNames.contains(name))
                refuseDefinitions(
                    fileName, QStringLiteral("index '%1' names an unknown field").arg(index.name));
        }
    }
}

} // namespace bw::dataset
