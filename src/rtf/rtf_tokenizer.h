#pragma once
// Splits RTF bytes into tokens: group starts and ends, control words and
// symbols, runs of text, \'hh bytes and \bin data. Knows nothing of meaning.

#include <QtGlobal>
#include <cstdint>
#include <string_view>

namespace bw::rtf {

enum class TokenType : std::uint8_t {
    GroupStart,
    GroupEnd,
    ControlWord,   // `text` is the word, `param`/`hasParam` its number
    ControlSymbol, // `symbol` is the character after the backslash
    Text,          // `text` is a run of plain bytes (no CR or LF)
    HexByte,       // `byte` is the value of \'hh
    Binary,        // `text` is the data of \binN
    EndOfInput,
};

struct Token
{
    TokenType type = TokenType::EndOfInput;
    std::string_view text;
    std::int32_t param = 0;
    bool hasParam = false;
    char symbol = 0;
    unsigned char byte = 0;
    qint64 position = 0; // byte offset of the token in the input
};

class RtfTokenizer
{
public:
    // Numeric parameters are clamped to this magnitude.
    static constexpr std::int32_t kMaxParam = 1'000'000'000;

    explicit RtfTokenizer(std::string_view input);

    Token next();
    qint64 position() const { return m_cur - m_begin; }
    std::string_view input() const { return {m_begin, std::size_t(m_end - m_begin)}; }

private:
    Token readControl(const char *start);
    Token readControlWord(const char *start);
    Token readText(const char *start);

    const char *m_begin;
    const char *m_cur;
    const char *m_end;
};

} // namespace bw::rtf
