#include "table/dataset_error.h"
#include "table/xml_packet.h"

#include <QIODevice>

namespace bw::dataset {

namespace {

constexpr qsizetype kFlushSize = 1 << 20;

// Tab, line feed and carriage return are allowed; other C0 controls, DEL-free
// and U+FFFE/U+FFFF are not characters XML 1.0 can carry, not even as references.
bool isXmlSafeText(const QByteArray &utf8)
{
    if (!isValidUtf8(utf8))
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.constData());
    const auto *end = p + utf8.size();
    for (; p < end; ++p) {
        if (*p < 0x20 && *p != '\t' && *p != '\n' && *p != '\r')
            return false;
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        if (*p == 0xEF && end - p >= 3 && p[1] == 0xBF && (p[2] == 0xBE || p[2] == 0xBF))
            return false;
    }
    return true;
}

void appendEscaped(QByteArray &out, const QByteArray &text)
{
    const char *p = text.constData();
    const char *end = p + text.size();
    const char *run = p;
    for (; p < end; ++p) {
        const char *replacement = nullptr;
        switch (*p) {
        case '&':
            replacement = "&amp;";
            break;
        case '<':
            replacement = "&lt;";
            break;
        case '>':
            replacement = "&gt;";
            break;
        case '"':
            replacement = "&quot;";
            break;
        case '\t':
            replacement = "&#9;";
            break;
        case '\n':
            replacement = "&#10;";
            break;
        case '\r':
            replacement = "&#13;";
            break;
        default:
            continue;
        }
        out.append(run, p - run);
        out.append(replacement);
        run = p + 1;
    }
    out.append(run, end - run);
}

void appendEscaped(QByteArray &out, const QString &text)
{
    appendEscaped(out, text.toUtf8());
}

// Per field: a memo goes out in base64 (else as text), a string escaped
// (else as it is), when a value of it holds what XML cannot carry.
std::vector<bool> fieldsToEncode(const QList<FieldDef> &fields, const std::vector<Row> &rows,
                                 const StoredValueReader *stored)
{
    std::vector<bool> encode(size_t(fields.size()), false);
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].type == FieldType::Integer)
            continue;
        for (const Row &row : rows) {
            Cell scratch;
            const Cell &cell = cellValue(row, i, stored, scratch);
            if (!cell.null && !isXmlSafeText(cell.data)) {
                encode[size_t(i)] = true;
                break;
            }
        }
    }
    return encode;
}

// Field names become attribute names of ROW, so they must be XML names.
bool isXmlName(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0xC0;
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7;
        if (!letter && (i == 0 || !other))
            return false;
    }
    return !name.isEmpty();
}

// Field names become XML names; string values must be UTF-8 text (the
// escapes stand for characters, and a reader takes nothing else).
void checkNamesAndStrings(const QList<FieldDef> &fields, const std::vector<Row> &rows)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (!isXmlName(fields[i].name))
            throw DataSetError(
                QStringLiteral("Field '%1' cannot be saved in XML form").arg(fields[i].name));
        if (fields[i].type != FieldType::String)
            continue;
        for (size_t r = 0; r < rows.size(); ++r) {
            const Cell &cell = rows[r].cells[size_t(i)];
            if (!cell.null && !isValidUtf8(cell.data))
                throw DataSetError(QStringLiteral("Field '%1' of record %2 holds bytes that are "
                                                  "not UTF-8 text and cannot be saved in XML form")
                                       .arg(fields[i].name)
                                       .arg(r + 1));
        }
    }
}

void appendMetadata(QByteArray &out, const QList<FieldDef> &fields,
                    const std::vector<bool> &encoded)
{
    out.append("<?xml version=\"1.0\" standalone=\"yes\"?>\n"
               "<DATAPACKET Version=\"2.0\">\n<METADATA>\n<FIELDS>\n");
    for (int i = 0; i < fields.size(); ++i) {
        const FieldDef &field = fields[i];
        out.append("<FIELD attrname=\"");
        appendEscaped(out, field.name);
        out.append("\"");
        if (field.type == FieldType::Integer)
            out.append(" fieldtype=\"i4\"");
        else if (field.type == FieldType::String)
            out.append(" fieldtype=\"string\" WIDTH=\"" + QByteArray::number(field.size) + "\"" +
                       (encoded[size_t(i)]
                            ? QByteArray(" ") + kEscapeAttribute + "=\"" + kBackslashEscape + "\""
                            : QByteArray()));
        else
            out.append(QByteArray(" fieldtype=\"bin.hex\" SUBTYPE=\"") +
                       (encoded[size_t(i)] ? "Binary" : "Text") + "\" WIDTH=\"" +
                       QByteArray::number(field.size) + "\"");
        if (field.required)
            out.append(" required=\"true\"");
        out.append("/>\n");
    }
    out.append("</FIELDS>\n<PARAMS/>\n</METADATA>\n<ROWDATA>\n");
}

void appendRow(QByteArray &out, const QList<QByteArray> &names, const QList<FieldDef> &fields,
               const std::vector<bool> &encoded, const Row &row, const StoredValueReader *stored)
{
    out.append("<ROW");
    for (int i = 0; i < fields.size(); ++i) {
        Cell scratch;
        const Cell &cell = cellValue(row, i, stored, scratch);
        if (cell.null)
            continue;
        out.append(names[i]);
        if (fields[i].type == FieldType::Integer)
            out.append(QByteArray::number(cell.number));
        else if (encoded[size_t(i)] && fields[i].type == FieldType::String)
            appendEscaped(out, escapeXmlString(cell.data));
        else if (encoded[size_t(i)])
            out.append(cell.data.toBase64());
        else
            appendEscaped(out, cell.data);
        out.append('"');
    }
    out.append("/>\n");
}

// A short write (a full disk) reports no error; the next write of the rest
// fails with the reason.
void flush(QIODevice &device, QByteArray &buffer, const QString &shownName)
{
    const char *p = buffer.constData();
    qint64 left = buffer.size();
    while (left > 0) {
        const qint64 written = device.write(p, left);
        if (written <= 0)
            throw FileAccessError::cannotWrite(shownName, device.errorString());
        p += written;
        left -= written;
    }
    buffer.clear();
}

} // namespace

void writeXmlPacket(QIODevice &device, const QList<FieldDef> &fields, const std::vector<Row> &rows,
                    const QString &shownName, const StoredValueReader *stored)
{
    checkNamesAndStrings(fields, rows);
    const std::vector<bool> encoded = fieldsToEncode(fields, rows, stored);
    QList<QByteArray> names; // ' Name="' per field
    for (const FieldDef &field : fields) {
        QByteArray name(" ");
        appendEscaped(name, field.name);
        names.append(name + "=\"");
    }
    QByteArray buffer;
    buffer.reserve(kFlushSize + (64 << 10));
    appendMetadata(buffer, fields, encoded);
    for (const Row &row : rows) {
        appendRow(buffer, names, fields, encoded, row, stored);
        if (buffer.size() >= kFlushSize)
            flush(device, buffer, shownName);
    }
    buffer.append("</ROWDATA>\n</DATAPACKET>\n");
    flush(device, buffer, shownName);
}

} // namespace bw::dataset
