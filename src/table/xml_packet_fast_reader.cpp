// The fast reader of the XML form: packets of the shape this engine and the
// usual writers of data packets produce (UTF-8, an optional XML declaration,
// DATAPACKET / METADATA / FIELDS / FIELD / PARAMS / ROWDATA / ROW, ASCII names,
// attribute values with the predefined entities and character references),
// read straight from the file's bytes. Anything else, every damage included,
// makes it give up without a word: the full reader (xml_packet_reader.cpp)
// then reads the file and decides, so a refusal is the same either way. It
// never accepts what the full reader refuses: the full reader's checks
// (well-formed XML, repeated attributes, values that fit their fields, at
// most 32 attributes outside ROW, valid definitions) are all made here too,
// by giving up.

#include "table/dataset_error.h"
#include "table/value_arena.h"
#include "table/xml_packet.h"

#include <QByteArrayView>

#include <array>
#include <cstring>

namespace bw::dataset {

namespace {

enum class Encoding { Integer, Text, Base64 };

struct PacketField
{
    FieldDef def;
    Encoding encoding = Encoding::Text;
    bool escaped = false; // a string field written with ESCAPE="\"
    QByteArray name;      // UTF-8, for matching ROW attributes
};

struct Attribute
{
    QByteArrayView name;
    QByteArray value;
};

struct GiveUp
{
};

constexpr int kMaxOtherAttributes = 32; // as the tag scanner allows outside ROW

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Characters XML 1.0 allows.
bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

// Valid UTF-8 of characters XML allows (no U+FFFE, U+FFFF; controls are
// refused while the value is scanned).
bool isXmlText(const QByteArray &utf8)
{
    if (!isValidUtf8(utf8))
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.constData());
    const auto *end = p + utf8.size();
    while ((p = static_cast<const unsigned char *>(std::memchr(p, 0xEF, size_t(end - p))))) {
        if (end - p >= 3 && p[1] == 0xBF && (p[2] == 0xBE || p[2] == 0xBF))
            return false;
        ++p;
    }
    return true;
}

// A decimal number as the full reader takes it, strictly: digits with an
// optional minus sign, within 32 bits.
bool parseInt(QByteArrayView text, qint32 &value)
{
    if (text.isEmpty() || text.size() > 11)
        return false;
    qsizetype i = text.front() == '-' ? 1 : 0;
    if (i == text.size())
        return false;
    qint64 number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    if (text.front() == '-')
        number = -number;
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        return false;
    value = qint32(number);
    return true;
}

// Bytes a value scan stops at: quotes, '&', '<', controls and non-ASCII.
constexpr auto kSpecial = [] {
    std::array<bool, 256> special{};
    for (int c = 0; c < 256; ++c)
        special[size_t(c)] = c < 0x20 || c >= 0x80 || c == '"' || c == '\'' || c == '&' || c == '<';
    return special;
}();

// True when one of the eight bytes in v is special (as kSpecial says), eight
// bytes at a time: a value's long plain runs are passed over that much faster.
inline bool anySpecial(quint64 v)
{
    constexpr quint64 kOnes = 0x0101010101010101ull;
    constexpr quint64 kHigh = 0x8080808080808080ull;
    const auto has = [](quint64 x, unsigned char c) {
        const quint64 y = x ^ (kOnes * c);
        return (y - kOnes) & ~y & kHigh;
    };
    const quint64 controls = (v - kOnes * 0x20) & ~v & kHigh; // below 0x20
    return ((v & kHigh) | controls | has(v, '"') | has(v, '\'') | has(v, '&') | has(v, '<')) != 0;
}

class FastPacketReader
{
public:
    FastPacketReader(const char *data, qsizetype size,
                     const std::function<void(const char *)> &consumed)
        : m_p(data), m_end(data + size), m_consumed(consumed)
    {
    }

    TableContent read(const QString &name)
    {
        if (m_end - m_p >= 3 && std::memcmp(m_p, "\xEF\xBB\xBF", 3) == 0)
            m_p += 3;
        readDeclaration();
        skipSpace();
        QList<Attribute> attributes;
        if (startTag("DATAPACKET", attributes))
            giveUp(); // an empty packet defines no fields
        readMetadata();
        skipSpace();
        if (lookingAt("<ROWDATA"))
            readRowData();
        endTag("DATAPACKET");
        skipSpace();
        if (m_p != m_end)
            giveUp();
        TableContent content;
        for (const PacketField &field : m_fields)
            content.fields.append(field.def);
        try {
            validateDefinitions(content.fields, {}, name);
        } catch (const DataSetError &) {
            giveUp(); // the full reader words the refusal
        }
        content.rows = std::move(m_rows);
        content.values = std::move(m_arena);
        return content;
    }

private:
    [[noreturn]] static void giveUp() { throw GiveUp(); }

    void skipSpace()
    {
        while (m_p < m_end && isSpace(*m_p))
            ++m_p;
    }

    bool lookingAt(const char *text) const
    {
        const size_t length = std::strlen(text);
        return size_t(m_end - m_p) >= length && std::memcmp(m_p, text, length) == 0;
    }

    void expect(char c)
    {
        if (m_p >= m_end || *m_p != c)
            giveUp();
        ++m_p;
    }

    QByteArrayView readName()
    {
        const char *start = m_p;
        if (m_p >= m_end || !isNameStart(*m_p))
            giveUp();
        while (m_p < m_end && isNameChar(*m_p))
            ++m_p;
        return QByteArrayView(start, m_p - start);
    }

    // <?xml version="1.0" encoding="UTF-8" standalone="yes"?>, each part but
    // the version optional; none at all is fine too.
    void readDeclaration()
    {
        if (!lookingAt("<?xml"))
            return;
        m_p += 5;
        QList<Attribute> attributes;
        while (true) {
            const char *before = m_p;
            skipSpace();
            if (lookingAt("?>")) {
                m_p += 2;
                break;
            }
            if (m_p == before)
                giveUp();
            attributes.append(readAttribute());
        }
        static const char *const kOrder[] = {"version", "encoding", "standalone"};
        int next = 0;
        for (const Attribute &attribute : attributes) {
            while (next < 3 && attribute.name != QByteArrayView(kOrder[next]))
                ++next;
            if (next == 3)
                giveUp();
            const QByteArray value = attribute.value;
            const bool fine = next == 0   ? value == "1.0"
                              : next == 1 ? value.compare("UTF-8", Qt::CaseInsensitive) == 0
                                          : (value == "yes" || value == "no");
            if (!fine)
                giveUp();
            ++next;
        }
        if (attributes.isEmpty() || attributes.first().name != QByteArrayView("version"))
            giveUp();
    }

    // An attribute value in quotes, decoded as an XML parser returns it:
    // references replaced, and tab, line feed and carriage return (a CR LF
    // pair counts once) made spaces.
    QByteArray readValue()
    {
        if (m_p >= m_end || (*m_p != '"' && *m_p != '\''))
            giveUp();
        const char quote = *m_p++;
        const char *start = m_p;
        bool ascii = true;
        // The usual value holds nothing to decode: one scan, one exact copy.
        for (quint64 word; m_end - m_p >= 8; m_p += 8) {
            std::memcpy(&word, m_p, 8);
            if (anySpecial(word))
                break;
        }
        while (m_p < m_end && !kSpecial[static_cast<unsigned char>(*m_p)])
            ++m_p;
        if (m_p < m_end && *m_p == quote) {
            QByteArray value(start, m_p - start);
            ++m_p;
            return value;
        }
        QByteArray value;
        value.reserve(m_p - start + 64);
        const char *run = start;
        while (true) {
            if (m_p >= m_end)
                giveUp();
            const auto c = static_cast<unsigned char>(*m_p);
            if (!kSpecial[c]) {
                ++m_p;
                continue;
            }
            if (c >= 0x80) {
                ascii = false;
                ++m_p;
                continue;
            }
            if (c == static_cast<unsigned char>(quote))
                break;
            if (c == '"' || c == '\'') {
                ++m_p; // the other quote
                continue;
            }
            value.append(run, m_p - run);
            if (c == '&') {
                readReference(value); // leaves m_p on the ';'
            } else if (c == '\t' || c == '\n') {
                value.append(' ');
            } else if (c == '\r') {
                value.append(' ');
                if (m_p + 1 < m_end && m_p[1] == '\n')
                    ++m_p;
            } else {
                giveUp(); // '<' or a control character
            }
            run = ++m_p;
        }
        value.append(run, m_p - run);
        ++m_p; // the closing quote
        if (!ascii && !isXmlText(value))
            giveUp();
        return value;
    }

    // At '&': appends the character of a predefined entity or a character
    // reference and leaves m_p on its ';'.
    void readReference(QByteArray &value)
    {
        const char *start = m_p + 1;
        const char *semicolon = start;
        while (semicolon < m_end && semicolon - start < 12 && *semicolon != ';')
            ++semicolon;
        if (semicolon >= m_end || *semicolon != ';')
            giveUp();
        const QByteArrayView name(start, semicolon - start);
        m_p = semicolon;
        if (name == QByteArrayView("amp"))
            value.append('&');
        else if (name == QByteArrayView("lt"))
            value.append('<');
        else if (name == QByteArrayView("gt"))
            value.append('>');
        else if (name == QByteArrayView("quot"))
            value.append('"');
        else if (name == QByteArrayView("apos"))
            value.append('\'');
        else if (name.size() >= 2 && name[0] == '#')
            appendUtf8(value, characterReference(name.sliced(1)));
        else
            giveUp();
    }

    static char32_t characterReference(QByteArrayView digits)
    {
        const bool hex = digits.front() == 'x';
        if (hex)
            digits = digits.sliced(1);
        if (digits.isEmpty())
            giveUp();
        char32_t code = 0;
        for (char c : digits) {
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0 || code > 0x10FFFF)
                giveUp();
            code = code * (hex ? 16 : 10) + char32_t(digit);
        }
        if (!isXmlChar(code))
            giveUp();
        return code;
    }

    Attribute readAttribute()
    {
        Attribute attribute;
        attribute.name = readName();
        if (attribute.name.startsWith("xml"))
            giveUp(); // namespaces and reserved names: the full reader's business
        skipSpace();
        expect('=');
        skipSpace();
        attribute.value = readValue();
        return attribute;
    }

    // Reads "<NAME attributes" up to and including ">" or "/>"; true for an
    // empty element. Repeated attributes and more than 32 make it give up.
    bool startTag(const char *element, QList<Attribute> &attributes)
    {
        expect('<');
        if (readName() != QByteArrayView(element))
            giveUp();
        attributes.clear();
        while (true) {
            const char *before = m_p;
            skipSpace();
            if (m_p >= m_end)
                giveUp();
            if (*m_p == '>') {
                ++m_p;
                return false;
            }
            if (*m_p == '/') {
                ++m_p;
                expect('>');
                return true;
            }
            if (m_p == before || attributes.size() >= kMaxOtherAttributes)
                giveUp();
            Attribute attribute = readAttribute();
            for (const Attribute &other : attributes) {
                if (other.name == attribute.name)
                    giveUp();
            }
            attributes.append(std::move(attribute));
        }
    }

    void endTag(const char *element)
    {
        skipSpace();
        expect('<');
        expect('/');
        if (readName() != QByteArrayView(element))
            giveUp();
        skipSpace();
        expect('>');
    }

    // An element that holds nothing but white space.
    void emptyElement(const char *element)
    {
        QList<Attribute> attributes;
        if (!startTag(element, attributes))
            endTag(element);
    }

    void readMetadata()
    {
        skipSpace();
        QList<Attribute> attributes;
        if (startTag("METADATA", attributes))
            giveUp();
        bool haveFields = false;
        bool haveParams = false;
        while (true) {
            skipSpace();
            if (lookingAt("</"))
                break;
            if (lookingAt("<FIELDS") && !haveFields) {
                haveFields = true;
                readFields();
            } else if (lookingAt("<PARAMS") && !haveParams) {
                haveParams = true;
                emptyElement("PARAMS");
            } else {
                giveUp();
            }
        }
        endTag("METADATA");
        if (m_fields.isEmpty())
            giveUp();
    }

    void readFields()
    {
        QList<Attribute> attributes;
        if (startTag("FIELDS", attributes))
            return;
        while (true) {
            skipSpace();
            if (lookingAt("</"))
                break;
            if (m_fields.size() >= kMaxFieldCount)
                giveUp();
            if (!startTag("FIELD", attributes))
                endTag("FIELD");
            m_fields.append(fieldOf(attributes));
        }
        endTag("FIELDS");
    }

    static QByteArray valueOf(const QList<Attribute> &attributes, const char *name,
                              bool *present = nullptr)
    {
        for (const Attribute &attribute : attributes) {
            if (attribute.name == QByteArrayView(name)) {
                if (present)
                    *present = true;
                return attribute.value;
            }
        }
        if (present)
            *present = false;
        return QByteArray();
    }

    static int widthOf(const QList<Attribute> &attributes, bool needed)
    {
        bool present = false;
        const QByteArray text = valueOf(attributes, "WIDTH", &present);
        if (!present) {
            if (needed)
                giveUp();
            return 0;
        }
        qint32 width = 0;
        if (!parseInt(text, width) || width < 0)
            giveUp();
        return width;
    }

    PacketField fieldOf(const QList<Attribute> &attributes)
    {
        PacketField field;
        field.name = valueOf(attributes, "attrname");
        field.def.name = QString::fromUtf8(field.name);
        const QByteArray type = valueOf(attributes, "fieldtype");
        const QByteArray subtype = valueOf(attributes, "SUBTYPE");
        field.def.required =
            valueOf(attributes, "required").compare("true", Qt::CaseInsensitive) == 0;
        if (type == "i4" || type == "i2" || type == "i1") {
            field.def.type = FieldType::Integer;
            field.encoding = Encoding::Integer;
        } else if (type == "string" || type == "string.uni") {
            field.def.type = FieldType::String;
            const int width = widthOf(attributes, true);
            field.def.size = type == "string" ? width : width / 2;
        } else if (type == "bin.hex") {
            field.def.type = FieldType::Memo;
            field.def.size = widthOf(attributes, false);
            field.encoding =
                subtype == "Text" || subtype == "WideText" ? Encoding::Text : Encoding::Base64;
        } else {
            giveUp();
        }
        bool escape = false;
        const QByteArray escapeValue = valueOf(attributes, kEscapeAttribute, &escape);
        if (escape && (field.def.type != FieldType::String || escapeValue != kBackslashEscape))
            giveUp();
        field.escaped = escape;
        for (const PacketField &other : m_fields) {
            if (other.name == field.name)
                giveUp();
        }
        return field;
    }

    void readRowData()
    {
        QList<Attribute> attributes;
        if (startTag("ROWDATA", attributes))
            return;
        while (true) {
            skipSpace();
            if (lookingAt("</"))
                break;
            readRow();
        }
        endTag("ROWDATA");
    }

    int fieldNamed(QByteArrayView name) const
    {
        for (int i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].name == name)
                return i;
        }
        return -1;
    }

    void readRow()
    {
        expect('<');
        if (readName() != QByteArrayView("ROW"))
            giveUp();
        Row row;
        row.cells.resize(size_t(m_fields.size()));
        std::vector<bool> seen(size_t(m_fields.size()), false);
        while (true) {
            const char *before = m_p;
            skipSpace();
            if (m_p >= m_end)
                giveUp();
            if (*m_p == '>') {
                ++m_p;
                endTag("ROW");
                break;
            }
            if (*m_p == '/') {
                ++m_p;
                expect('>');
                break;
            }
            if (m_p == before)
                giveUp();
            const QByteArrayView name = readName();
            const int field = fieldNamed(name);
            if (field < 0 || seen[size_t(field)])
                giveUp();
            seen[size_t(field)] = true;
            skipSpace();
            expect('=');
            skipSpace();
            row.cells[size_t(field)] = decode(m_fields[field], readValue());
        }
        m_rows.push_back(std::move(row));
        constexpr size_t kRowsBetweenReports = 1024;
        if (m_consumed && m_rows.size() % kRowsBetweenReports == 0)
            m_consumed(m_p);
    }

    Cell decode(const PacketField &field, QByteArray value)
    {
        Cell cell;
        cell.null = false;
        switch (field.encoding) {
        case Encoding::Integer:
            if (!parseInt(value, cell.number))
                giveUp();
            break;
        case Encoding::Text:
            cell.data = value.isEmpty() ? QByteArray("") : std::move(value);
            if (field.escaped) {
                std::optional<QByteArray> unescaped = unescapeXmlString(cell.data);
                if (!unescaped || !isValidUtf8(*unescaped))
                    giveUp();
                cell.data = std::move(*unescaped);
            }
            if (field.def.type == FieldType::String && utf8Length(cell.data) > field.def.size)
                giveUp();
            cell.data = m_arena->add(cell.data);
            break;
        case Encoding::Base64: {
            const auto result =
                QByteArray::fromBase64Encoding(value, QByteArray::AbortOnBase64DecodingErrors);
            if (!result)
                giveUp();
            cell.data = m_arena->add(result.decoded);
            break;
        }
        }
        return cell;
    }

    const char *m_p;
    const char *m_end;
    const std::function<void(const char *)> &m_consumed;
    std::shared_ptr<ValueArena> m_arena = std::make_shared<ValueArena>();
    QList<PacketField> m_fields;
    std::vector<Row> m_rows;
};

} // namespace

std::optional<TableContent> readXmlPacketFast(const char *data, qsizetype size, const QString &name,
                                              const std::function<void(const char *)> &consumed)
{
    try {
        return FastPacketReader(data, size, consumed).read(name);
    } catch (const GiveUp &) {
        return std::nullopt;
    }
}

} // namespace bw::dataset
