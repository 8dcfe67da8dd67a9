#include "rtf/rtf_text.h"

#include "rtf/code_page.h"
#include "rtf/rtf.h"
#include "rtf/rtf_control_words.h"
#include "rtf/rtf_tokenizer.h"

#include <algorithm>
#include <map>
#include <vector>

namespace bw::rtf {

namespace {

constexpr int kMaxFallbackLength = 10;
constexpr std::size_t kMaxTextDepth = 1000;

// Follows the tokens as the reader does, keeping only what decides the
// text: whether a group's text belongs to the body, the font (for its code
// page) and the length of \u fallbacks.
class BodyTextReader
{
public:
    explicit BodyTextReader(CodePageDecoder &codePages) : m_codePages(codePages) {}
    QString read(const QByteArray &rtf);

private:
    struct Group
    {
        bool body = true;
        bool uprOuterBody = true; // what \ud returns to
        bool fontTable = false;
        int uc = 1;
        int font = -1;
    };

    void onGroupStart();
    bool onGroupEnd();
    void onControlWord(const Token &token);
    void onControlSymbol(const Token &token);
    void onBytes(std::string_view bytes);
    bool onDestination(Keyword keyword);
    void onFontWord(Keyword keyword, std::int32_t param);
    void skipGroup();
    void append(char16_t c);
    void flush();
    int codePage() const;
    Group &top() { return m_stack.back(); }

    RtfTokenizer m_tokenizer{{}};
    std::vector<Group> m_stack;
    int m_overflow = 0;
    bool m_star = false;
    int m_skip = 0; // characters of a \u fallback still to skip
    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    std::map<int, int> m_charsets; // font number -> \fcharset
    int m_fontNumber = 0;
    int m_fontCharset = 0;
    QByteArray m_pending; // body bytes not yet decoded
    CodePageDecoder &m_codePages;
    QString m_text;
};

QString BodyTextReader::read(const QByteArray &rtf)
{
    if (!looksLikeRtf(rtf))
        throw RtfError("The text is not RTF", 0);
    m_tokenizer = RtfTokenizer(std::string_view(rtf.constData(), std::size_t(rtf.size())));
    m_text.reserve(rtf.size());
    m_stack.reserve(16);
    for (bool done = false; !done;) {
        const Token token = m_tokenizer.next();
        if (!m_pending.isEmpty() && token.type != TokenType::Text &&
            token.type != TokenType::HexByte)
            flush();
        switch (token.type) {
        case TokenType::GroupStart:
            onGroupStart();
            break;
        case TokenType::GroupEnd:
            done = onGroupEnd();
            break;
        case TokenType::ControlWord:
            onControlWord(token);
            break;
        case TokenType::ControlSymbol:
            onControlSymbol(token);
            break;
        case TokenType::Text:
            onBytes(token.text);
            break;
        case TokenType::HexByte: {
            const char byte = char(token.byte);
            onBytes({&byte, 1});
            break;
        }
        case TokenType::Binary:
            if (m_skip > 0)
                --m_skip;
            break;
        case TokenType::EndOfInput:
            done = true;
            break;
        }
    }
    flush();
    if (m_text.endsWith(u'\n'))
        m_text.chop(1);
    return m_text;
}

void BodyTextReader::onGroupStart()
{
    m_skip = 0;
    m_star = false;
    if (m_stack.size() >= kMaxTextDepth)
        ++m_overflow;
    else
        m_stack.push_back(m_stack.empty() ? Group{} : m_stack.back());
}

// True when the document's group closed.
bool BodyTextReader::onGroupEnd()
{
    m_skip = 0;
    m_star = false;
    if (m_overflow > 0) {
        --m_overflow;
        return false;
    }
    if (m_stack.size() <= 1)
        return !m_stack.empty();
    m_stack.pop_back();
    return false;
}

void BodyTextReader::skipGroup()
{
    for (int depth = 1; depth > 0;) {
        const Token token = m_tokenizer.next();
        if (token.type == TokenType::EndOfInput)
            return;
        if (token.type == TokenType::GroupStart)
            ++depth;
        else if (token.type == TokenType::GroupEnd)
            --depth;
    }
    onGroupEnd();
}

void BodyTextReader::onControlWord(const Token &token)
{
    if (m_stack.empty())
        return;
    const bool star = std::exchange(m_star, false);
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    const KeywordInfo info = lookupKeyword(token.text);
    const std::int32_t param = token.hasParam ? token.param : info.defaultParam;
    if (star && info.kind != KeywordKind::Destination) {
        skipGroup(); // an optional destination not known
        return;
    }
    if (info.kind == KeywordKind::Symbol) {
        append(info.defaultParam == 0x2028 ? u'\n' : char16_t(info.defaultParam));
        return;
    }
    if (info.kind == KeywordKind::Destination && onDestination(info.keyword))
        return;
    switch (info.keyword) {
    case Keyword::Par:
    case Keyword::Row:
    case Keyword::NestRow:
        append(u'\n');
        break;
    case Keyword::Cell:
    case Keyword::NestCell:
        append(u'\t');
        break;
    case Keyword::Uc:
        top().uc = std::clamp(param, 0, kMaxFallbackLength);
        break;
    case Keyword::U:
        append(param < -32768 || param > 65535 ? char16_t(0xFFFD) : char16_t(param & 0xFFFF));
        m_skip = top().uc;
        break;
    default:
        onFontWord(info.keyword, param);
        break;
    }
}

// The words that decide code pages.
void BodyTextReader::onFontWord(Keyword keyword, std::int32_t param)
{
    switch (keyword) {
    case Keyword::Ansi:
        m_ansiCodePage = 1252;
        break;
    case Keyword::Mac:
        m_ansiCodePage = 10000;
        break;
    case Keyword::Pc:
        m_ansiCodePage = 437;
        break;
    case Keyword::Pca:
        m_ansiCodePage = 850;
        break;
    case Keyword::AnsiCpg:
        if (param > 0 && param < 100000)
            m_ansiCodePage = param;
        break;
    case Keyword::Deff:
        m_defaultFont = param;
        break;
    case Keyword::Font:
        if (top().fontTable)
            m_fontNumber = param;
        else
            top().font = param;
        break;
    case Keyword::FontCharset:
        m_fontCharset = param;
        break;
    default:
        break; // formats change no text
    }
}

// True when the destination was handled (or skipped whole).
bool BodyTextReader::onDestination(Keyword keyword)
{
    Group &group = top();
    switch (keyword) {
    case Keyword::FontTable:
        group.fontTable = true;
        group.body = false;
        return true;
    case Keyword::Upr:
        group.uprOuterBody = group.body;
        group.body = false;
        return true;
    case Keyword::Ud:
        group.body = group.uprOuterBody;
        return true;
    case Keyword::Field:
        group.body = false; // its text is in the result
        return true;
    case Keyword::FieldResult:
        group.body = true;
        return true;
    case Keyword::ShpPict:
    case Keyword::Shp:
    case Keyword::ShpResult:
        return true; // their text is read as usual
    default:
        skipGroup(); // tables, pictures, objects, instructions, footnotes, numbering
        return true;
    }
}

void BodyTextReader::onControlSymbol(const Token &token)
{
    if (m_stack.empty())
        return;
    if (token.symbol == '*') {
        m_star = true;
        return;
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (const char16_t c = controlSymbolCharacter(token.symbol))
        append(c);
}

void BodyTextReader::onBytes(std::string_view bytes)
{
    if (m_stack.empty())
        return;
    if (m_skip > 0) {
        const auto skipped = std::min<std::size_t>(std::size_t(m_skip), bytes.size());
        bytes.remove_prefix(skipped);
        m_skip -= int(skipped);
    }
    const Group &group = top();
    if (group.fontTable) {
        for (const char c : bytes) {
            if (c == ';') {
                m_charsets[m_fontNumber] = m_fontCharset;
                m_fontCharset = 0;
            }
        }
    } else if (group.body) {
        m_pending.append(bytes.data(), qsizetype(bytes.size()));
    }
}

void BodyTextReader::append(char16_t c)
{
    if (m_stack.empty())
        return;
    flush();
    if (top().body)
        m_text += QChar(c);
}

void BodyTextReader::flush()
{
    if (m_pending.isEmpty())
        return;
    m_codePages.decodeAppend(codePage(), m_pending, m_text);
    m_pending.resize(0);
}

int BodyTextReader::codePage() const
{
    const Group &group = m_stack.back();
    const auto it = m_charsets.find(group.font >= 0 ? group.font : m_defaultFont);
    return it == m_charsets.end() ? m_ansiCodePage : codePageForCharset(it->second, m_ansiCodePage);
}

} // namespace

QString rtfText(const QByteArray &rtf)
{
    // The tables of code pages are built once per thread, not once per text.
    thread_local CodePageDecoder codePages;
    BodyTextReader reader(codePages);
    return reader.read(rtf);
}

} // namespace bw::rtf
