#include "table/tag_scanner.h"

#include "table/table_store.h"

namespace bw::dataset {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Enough of a name or a "<!" prefix to tell ROW, FIELD, "--" and "[CDATA[" apart.
constexpr qsizetype kNameKept = 8;

} // namespace

void TagScanner::startTag()
{
    m_attributes = 0;
    if (m_name == "ROW") {
        m_limit = m_fields + kChangeLogAttributes;
    } else {
        m_limit = kMaxOtherAttributes;
        if (m_name == "FIELD" && m_fields < kMaxFieldCount)
            ++m_fields;
    }
}

void TagScanner::countAttribute()
{
    if (++m_attributes <= m_limit)
        return;
    m_failure =
        m_name == "ROW"
            ? QStringLiteral("a row has more attributes than the table has fields (line %1)")
                  .arg(m_line)
            : QStringLiteral("an element has more than %1 attributes (line %2)")
                  .arg(m_limit)
                  .arg(m_line);
}

bool TagScanner::scan(const char *data, qint64 size)
{
    for (qint64 i = 0; i < size && m_failure.isEmpty(); ++i) {
        const char c = data[i];
        // NUL bytes are the high halves of a UTF-16 packet's ASCII characters.
        if (c == 0)
            continue;
        if (c == '\n')
            ++m_line;
        switch (m_mode) {
        case Mode::Text:
            if (c == '<')
                m_mode = Mode::Open;
            break;
        case Mode::Open:
            m_name.clear();
            if (c == '!') {
                m_mode = Mode::Bang;
            } else if (c == '?') {
                m_mode = Mode::Pi;
            } else if (c == '/') {
                m_mode = Mode::EndTag;
            } else {
                m_name.append(c);
                m_mode = Mode::Name;
            }
            break;
        case Mode::Bang:
            if (m_name.size() < kNameKept)
                m_name.append(c);
            if (m_name == "--") {
                m_mode = Mode::Comment;
            } else if (m_name == "[CDATA[") {
                m_mode = Mode::Cdata;
            } else if (!QByteArrayLiteral("[CDATA[").startsWith(m_name) &&
                       !QByteArrayLiteral("--").startsWith(m_name)) {
                m_depth = 0;
                m_mode = c == '>' ? Mode::Text : Mode::Declaration;
            }
            break;
        case Mode::Comment:
            if (c == '>' && m_last[0] == '-' && m_last[1] == '-')
                m_mode = Mode::Text;
            break;
        case Mode::Cdata:
            if (c == '>' && m_last[0] == ']' && m_last[1] == ']')
                m_mode = Mode::Text;
            break;
        case Mode::Declaration:
            if (c == '[')
                ++m_depth;
            else if (c == ']')
                --m_depth;
            else if (c == '>' && m_depth <= 0)
                m_mode = Mode::Text;
            break;
        case Mode::Pi:
            if (c == '>' && m_last[1] == '?')
                m_mode = Mode::Text;
            break;
        case Mode::EndTag:
            if (c == '>')
                m_mode = Mode::Text;
            break;
        case Mode::Name:
            if (isSpace(c) || c == '/' || c == '>') {
                startTag();
                m_mode = c == '>' ? Mode::Text : Mode::Tag;
            } else if (m_name.size() < kNameKept) {
                m_name.append(c);
            }
            break;
        case Mode::Tag:
            if (c == '"' || c == '\'') {
                m_quote = c;
                m_mode = Mode::Quoted;
                countAttribute();
            } else if (c == '>') {
                m_mode = Mode::Text;
            }
            break;
        case Mode::Quoted:
            if (c == m_quote)
                m_mode = Mode::Tag;
            break;
        }
        m_last[0] = m_last[1];
        m_last[1] = c;
    }
    return m_failure.isEmpty();
}

ScannedDevice::ScannedDevice(QIODevice &source) : m_source(source)
{
    open(QIODevice::ReadOnly);
}

qint64 ScannedDevice::bytesAvailable() const
{
    if (m_scanner.failed())
        return 0;
    return QIODevice::bytesAvailable() + m_source.bytesAvailable();
}

qint64 ScannedDevice::readData(char *data, qint64 maxSize)
{
    if (m_scanner.failed())
        return 0;
    const qint64 count = m_source.read(data, maxSize);
    if (count > 0 && !m_scanner.scan(data, count))
        return 0;
    return count;
}

} // namespace bw::dataset
