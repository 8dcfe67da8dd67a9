#include "files/file_checks.h"
#include "files/mapped_file.h"
#include "table/dataset_error.h"
#include "table/tag_scanner.h"
#include "table/xml_packet.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

namespace bw::dataset {

namespace {

enum class Encoding { Integer, Text, Base64 };

struct PacketField
{
    FieldDef def;
    Encoding encoding = Encoding::Text;
    bool escaped = false; // a string field written with ESCAPE="\"
};

class PacketReader
{
public:
    PacketReader(QIODevice &device, const QString &name)
        : m_device(device), m_xml(&m_device), m_name(name)
    {
    }

    TableContent read()
    {
        readProlog();
        if (m_xml.name() != QLatin1String("DATAPACKET"))
            refuse(QStringLiteral("it is not a data packet"));
        bool haveRows = false;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("METADATA") && m_fields.isEmpty())
                readMetadata();
            else if (m_xml.name() == QLatin1String("ROWDATA") && !m_fields.isEmpty() && !haveRows)
                haveRows = readRows();
            else
                refuse(QStringLiteral("unexpected element %1").arg(m_xml.name().left(40)));
        }
        while (!m_xml.atEnd() && !m_xml.hasError())
            m_xml.readNext();
        checkXml();
        if (m_fields.isEmpty())
            refuse(QStringLiteral("it defines no fields"));
        TableContent content;
        for (const PacketField &field : m_fields)
            content.fields.append(field.def);
        validateDefinitions(content.fields, {}, m_name);
        content.rows = std::move(m_rows);
        return content;
    }

private:
    [[noreturn]] void refuse(const QString &why)
    {
        // The reader stopped early because the scanner cut its input short.
        if (m_device.scanner().failed())
            throw FileFormatError::refused(m_name, m_device.scanner().failure());
        throw FileFormatError::refused(
            m_name, QStringLiteral("%1 (line %2)").arg(why).arg(m_xml.lineNumber()));
    }

    void checkXml()
    {
        if (m_xml.hasError()) {
            if (m_xml.error() == QXmlStreamReader::CustomError)
                return;
            refuse(m_xml.errorString());
        }
    }

    // Up to the root element; a document type declaration is refused, which
    // also keeps entity expansion out.
    void readProlog()
    {
        while (!m_xml.atEnd()) {
            const auto token = m_xml.readNext();
            if (token == QXmlStreamReader::StartElement)
                return;
            if (token == QXmlStreamReader::DTD)
                refuse(QStringLiteral("it has a document type declaration"));
            if (token == QXmlStreamReader::Invalid)
                break;
        }
        checkXml();
        refuse(QStringLiteral("it is empty"));
    }

    void readMetadata()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("FIELDS"))
                readFields();
            else
                m_xml.skipCurrentElement(); // PARAMS and whatever other writers add
        }
        checkXml();
    }

    void readFields()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("FIELD"))
                refuse(QStringLiteral("unexpected element %1").arg(m_xml.name().left(40)));
            if (m_fields.size() >= kMaxFieldCount)
                refuse(QStringLiteral("it defines too many fields"));
            m_fields.append(readField());
            if (m_xml.readNextStartElement())
                refuse(QStringLiteral("nested fields are not supported"));
        }
        checkXml();
        for (int i = 0; i < m_fields.size(); ++i)
            m_fieldIndex.insert(m_fields[i].def.name, i);
    }

    int widthAttribute(const QXmlStreamAttributes &attributes, bool needed)
    {
        if (!attributes.hasAttribute(QLatin1String("WIDTH"))) {
            if (needed)
                refuse(QStringLiteral("a string field has no width"));
            return 0;
        }
        bool ok = false;
        const int width = attributes.value(QLatin1String("WIDTH")).toInt(&ok);
        if (!ok || width < 0)
            refuse(QStringLiteral("a field has an invalid width"));
        return width;
    }

    PacketField readField()
    {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        PacketField field;
        field.def.name = attributes.value(QLatin1String("attrname")).toString();
        const QStringView type = attributes.value(QLatin1String("fieldtype"));
        const QStringView subtype = attributes.value(QLatin1String("SUBTYPE"));
        field.def.required = attributes.value(QLatin1String("required"))
                                 .compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        if (type == QLatin1String("i4") || type == QLatin1String("i2") ||
            type == QLatin1String("i1")) {
            field.def.type = FieldType::Integer;
            field.encoding = Encoding::Integer;
        } else if (type == QLatin1String("string") || type == QLatin1String("string.uni")) {
            field.def.type = FieldType::String;
            const int width = widthAttribute(attributes, true);
            field.def.size = type == QLatin1String("string") ? width : width / 2;
        } else if (type == QLatin1String("bin.hex")) {
            field.def.type = FieldType::Memo;
            field.def.size = widthAttribute(attributes, false);
            const bool text =
                subtype == QLatin1String("Text") || subtype == QLatin1String("WideText");
            field.encoding = text ? Encoding::Text : Encoding::Base64;
        } else {
            refuse(QStringLiteral("field '%1' has the unsupported type '%2'")
                       .arg(field.def.name.left(40), type.left(40)));
        }
        if (attributes.hasAttribute(QLatin1String(kEscapeAttribute))) {
            const QStringView escape = attributes.value(QLatin1String(kEscapeAttribute));
            if (field.def.type != FieldType::String || escape != QLatin1String(kBackslashEscape))
                refuse(QStringLiteral("field '%1' has the unsupported escape '%2'")
                           .arg(field.def.name.left(40), escape.left(40)));
            field.escaped = true;
        }
        return field;
    }

    bool readRows()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("ROW"))
                refuse(QStringLiteral("unexpected element %1").arg(m_xml.name().left(40)));
            m_rows.push_back(readRow());
            if (m_xml.readNextStartElement())
                refuse(QStringLiteral("a row holds an element"));
        }
        checkXml();
        return true;
    }

    Row readRow()
    {
        Row row;
        row.cells.resize(size_t(m_fields.size()));
        const QXmlStreamAttributes attributes = m_xml.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            const int index = m_fieldIndex.value(attribute.name().toString(), -1);
            if (index < 0)
                refuse(QStringLiteral("a row names the unknown field '%1'")
                           .arg(attribute.name().left(40)));
            row.cells[size_t(index)] = decode(m_fields[index], attribute.value());
        }
        return row;
    }

    Cell decode(const PacketField &field, QStringView value)
    {
        Cell cell;
        cell.null = false;
        bool ok = true;
        switch (field.encoding) {
        case Encoding::Integer:
            cell.number = value.toInt(&ok);
            break;
        case Encoding::Text:
            cell.data = value.isEmpty() ? QByteArray("") : value.toUtf8();
            if (field.escaped) {
                // Escapes stand for characters: the text stays UTF-8, as
                // the binary form holds it.
                const std::optional<QByteArray> unescaped = unescapeXmlString(cell.data);
                ok = unescaped && isValidUtf8(*unescaped);
                cell.data = unescaped.value_or(QByteArray(""));
            }
            cell.data.squeeze(); // toUtf8 reserves three bytes per character
            if (ok && field.def.type == FieldType::String)
                ok = utf8Length(cell.data) <= field.def.size;
            break;
        case Encoding::Base64: {
            const auto result = QByteArray::fromBase64Encoding(
                value.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            ok = bool(result);
            cell.data = result.decoded.isNull() ? QByteArray("") : result.decoded;
            break;
        }
        }
        if (!ok)
            refuse(QStringLiteral("row %1 holds a value that does not fit field '%2'")
                       .arg(m_rows.size() + 1)
                       .arg(field.def.name));
        return cell;
    }

    ScannedDevice m_device;
    QXmlStreamReader m_xml;
    QString m_name;
    QList<PacketField> m_fields;
    QHash<QString, int> m_fieldIndex;
    std::vector<Row> m_rows;
};

} // namespace

TableContent readXmlPacket(QIODevice &device, const QString &name)
{
    // A file is first tried by the fast reader, straight from its pages.
    // The pages it has read are given back as it goes, so that the process
    // holds the table's values and not the file besides.
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (file && !file->isSequential()) {
        const qint64 start = file->pos();
        const std::shared_ptr<files::MappedFile> mapped = files::MappedFile::map(file->handle());
        if (mapped && start < mapped->size()) {
            const char *bytes = reinterpret_cast<const char *>(mapped->data());
            constexpr qint64 kKeptBehind = 1 << 20; // looked at again within an element
            qint64 released = 0;
            std::optional<TableContent> content = readXmlPacketFast(
                bytes + start, mapped->size() - start, name, [&](const char *consumed) {
                    const qint64 upTo = (consumed - bytes) - kKeptBehind;
                    if (upTo > released) {
                        mapped->releasePages(released, upTo);
                        released = upTo;
                    }
                });
            if (content)
                return std::move(*content);
        }
        file->seek(start);
    }
    return PacketReader(device, name).read();
}

TableContent readXmlPacket(const QString &path)
{
    QFile file;
    if (!file.open(files::openRegularFile(path), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw FileAccessError::cannotOpen(path, file.errorString());
    return readXmlPacket(file, path);
}

} // namespace bw::dataset
