#pragma once
// Decoding of the bytes of RTF text through the Windows code page of the
// font's character set or of \ansicpg, with glibc's iconv.

#include <QByteArray>
#include <QString>

#include <array>
#include <map>

namespace bw::rtf {

// The Windows code page of an RTF \fcharset, or `ansiCodePage` for the ANSI,
// default and symbol character sets and any unknown one.
int codePageForCharset(int charset, int ansiCodePage);

// Decodes bytes of one code page at a time. Keeps the tables and converters
// it has built, so one decoder serves a whole document.
class CodePageDecoder
{
public:
    using Table = std::array<char16_t, 256>;

    // True for the double-byte code pages (Chinese, Japanese, Korean), which
    // have to be decoded a run at a time.
    static bool isMultiByte(int codePage);

    // The character of every byte of a single-byte code page. Unknown code
    // pages decode as 1252.
    const Table &table(int codePage);

    // Decodes a run of bytes of any code page.
    QString decode(int codePage, const QByteArray &bytes);
    // Decodes a run of bytes and appends the characters to `text`.
    void decodeAppend(int codePage, const QByteArray &bytes, QString &text);

private:
    static Table buildTable(int codePage);

    std::map<int, Table> m_tables;
    // The table asked for last: text runs come in one code page at a time.
    int m_lastCodePage = 0;
    const Table *m_lastTable = nullptr;
};

} // namespace bw::rtf
