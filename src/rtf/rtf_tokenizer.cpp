#include "rtf/rtf_tokenizer.h"

#include "rtf/rtf_escape.h"

#include <algorithm>
#include <array>

namespace bw::rtf {
namespace {

constexpr int kMaxWordLength = 32;
constexpr int kMaxParamDigits = 10;

// Bytes that end a run of text.
constexpr std::array<bool, 256> makeTextStops()
{
    std::array<bool, 256> stops{};
    stops['\\'] = stops['{'] = stops['}'] = stops['\r'] = stops['\n'] = true;
    return stops;
}
constexpr std::array<bool, 256> kTextStops = makeTextStops();

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

RtfTokenizer::RtfTokenizer(std::string_view input)
    : m_begin(input.data()), m_cur(input.data()), m_end(input.data() + input.size())
{
}

Token RtfTokenizer::next()
{
    while (m_cur < m_end) {
        const char *start = m_cur;
        switch (*m_cur) {
        case '{':
            ++m_cur;
            return {TokenType::GroupStart, {}, 0, false, 0, 0, start - m_begin};
        case '}':
            ++m_cur;
            return {TokenType::GroupEnd, {}, 0, false, 0, 0, start - m_begin};
        case '\\':
            return readControl(start);
        case '\r':
        case '\n':
            ++m_cur; // line ends carry no meaning in RTF
            continue;
        default:
            return readText(start);
        }
    }
    return {TokenType::EndOfInput, {}, 0, false, 0, 0, m_end - m_begin};
}

Token RtfTokenizer::readText(const char *start)
{
    const char *p = start;
    while (p < m_end && !kTextStops[static_cast<unsigned char>(*p)])
        ++p;
    m_cur = p;
    return {TokenType::Text, {start, std::size_t(p - start)}, 0, false, 0, 0, start - m_begin};
}

Token RtfTokenizer::readControl(const char *start)
{
    m_cur = start + 1;
    if (m_cur >= m_end) // a lone backslash at the end
        return {TokenType::EndOfInput, {}, 0, false, 0, 0, m_end - m_begin};
    const char c = *m_cur;
    if (isLetter(c))
        return readControlWord(start);
    ++m_cur;
    Token token{TokenType::ControlSymbol, {}, 0, false, c, 0, start - m_begin};
    if (c == '\'') {
        const int high = m_cur < m_end ? hexValue(*m_cur) : -1;
        const int low = high >= 0 && m_cur + 1 < m_end ? hexValue(m_cur[1]) : -1;
        if (high < 0 || low < 0) {
            m_cur += high >= 0 ? 1 : 0; // a broken \' is dropped with its digit
            return next();
        }
        m_cur += 2;
        token.type = TokenType::HexByte;
        token.byte = static_cast<unsigned char>(high * 16 + low);
    } else if (c == '\\' || c == '{' || c == '}') {
        token.type = TokenType::Text;
        token.text = {start + 1, 1};
    } else if (c == '\r' || c == '\n') {
        token.type = TokenType::ControlWord; // backslash-newline is \par
        token.text = "par";
    }
    return token;
}

Token RtfTokenizer::readControlWord(const char *start)
{
    const char *p = start + 1;
    while (p < m_end && isLetter(*p) && p - start <= kMaxWordLength)
        ++p;
    Token token{TokenType::ControlWord, {start + 1, std::size_t(p - start - 1)}, 0, false, 0, 0,
                start - m_begin};
    while (p < m_end && isLetter(*p)) // an absurdly long word keeps its first letters
        ++p;
    bool negative = false;
    if (p + 1 < m_end && *p == '-' && isDigit(p[1])) {
        negative = true;
        ++p;
    }
    if (p < m_end && isDigit(*p)) {
        std::int64_t value = 0;
        int digits = 0;
        for (; p < m_end && isDigit(*p); ++p) {
            if (++digits <= kMaxParamDigits)
                value = value * 10 + (*p - '0');
        }
        value = std::min<std::int64_t>(value, kMaxParam);
        token.param = static_cast<std::int32_t>(negative ? -value : value);
        token.hasParam = true;
    }
    if (p < m_end && *p == ' ')
        ++p;
    m_cur = p;
    if (token.text == "bin" && token.hasParam) {
        const std::int64_t length = std::clamp<std::int64_t>(token.param, 0, m_end - m_cur);
        token.type = TokenType::Binary;
        token.text = {m_cur, std::size_t(length)};
        m_cur += length;
    }
    return token;
}

} // namespace bw::rtf
