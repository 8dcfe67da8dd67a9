#include "editor/rtf/rtf_document_builder.h"

#include "editor/rtf/text_properties.h"

#include <QTextBlock>
#include <QTextImageFormat>
#include <QTextList>

#include <algorithm>

namespace bw::rtf {
namespace {

QTextListFormat::Style listStyle(int kind)
{
    switch (kind) {
    case Arabic: return QTextListFormat::ListDecimal;
    case LowerLetter: return QTextListFormat::ListLowerAlpha;
    case UpperLetter: return QTextListFormat::ListUpperAlpha;
    case LowerRoman: return QTextListFormat::ListLowerRoman;
    case UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDisc;
    }
}

QTextListFormat listFormat(const ParagraphNumbering &numbering)
{
    QTextListFormat format;
    format.setStyle(listStyle(numbering.kind));
    format.setIndent(0); // the paragraph's own indents place it, as in RTF
    if (numbering.kind != Bullet) {
        format.setNumberPrefix(numbering.prefix);
        format.setNumberSuffix(numbering.suffix);
    }
    return format;
}

// Whether paragraphs of these numberings count on in one list: the same kind
// and, for numbers, the same start and text around them.
bool sameList(const ParagraphNumbering &a, const ParagraphNumbering &b)
{
    if (a.kind != b.kind)
        return false;
    return a.kind == Bullet || (a.start == b.start && a.prefix == b.prefix && a.suffix == b.suffix);
}

// QTextCursor::insertText makes a new block of a line feed, a carriage return
// or a paragraph separator, and a frame boundary of U+FDD0/U+FDD1. Text that
// arrived as \'0a, \u10 and the like is no paragraph end of the RTF: it
// stays in its paragraph as a line break, and the frame marks are dropped.
QString withinParagraph(const QString &text)
{
    const auto breaksBlock = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0
               || c.unicode() == 0xFDD1;
    };
    // Nearly every run has none of them: a branch-free pass over the
    // characters that could be one (control characters, U+2029 and above).
    bool suspect = false;
    const ushort *chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        suspect |= (chars[i] < 0x20) | (chars[i] >= 0x2029);
    if (!suspect || std::none_of(text.begin(), text.end(), breaksBlock))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A carriage return and line feed together are one line end.
        if (c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1
            || (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n'))
            continue;
        result.append(breaksBlock(c) ? QChar(QChar::LineSeparator) : c);
    }
    return result;
}

QTextBlockFormat withoutList(QTextBlockFormat format)
{
    format.clearProperty(QTextFormat::ObjectIndex);
    return format;
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextCursor &cursor, Mode mode)
    : m_cursor(cursor), m_mode(mode)
{
    m_originalBlockFormat = cursor.blockFormat();
    m_originalCharFormat = cursor.blockCharFormat();
    m_blockFormat = withoutList(m_originalBlockFormat);
    m_blockEmpty = cursor.block().length() == 1;
    m_blockMayBeListed = cursor.block().textList() != nullptr;
}

void RtfDocumentBuilder::breakIfPending()
{
    if (!m_pendingBreak)
        return;
    m_pendingBreak = false;
    m_cursor.insertBlock(m_blockFormat, m_nextCharFormat);
    m_blockEmpty = true;
    m_blockMayBeListed = false;
    insertHeldRuns();
}

void RtfDocumentBuilder::insertHeldRuns()
{
    for (const Run &run : m_heldRuns) {
        if (run.text.isEmpty())
            m_cursor.insertImage(run.format.toImageFormat());
        else
            m_cursor.insertText(run.text, run.format);
        m_blockEmpty = false;
    }
    m_heldRuns.clear();
}

void RtfDocumentBuilder::insertText(const QString &rawText, const QTextCharFormat &format)
{
    const QString text = withinParagraph(rawText);
    if (text.isEmpty())
        return;
    if (m_pendingBreak) {
        m_heldRuns.push_back({text, format});
        return;
    }
    m_cursor.insertText(text, format);
    m_blockEmpty = false;
}

void RtfDocumentBuilder::insertImage(const QTextImageFormat &format)
{
    if (m_pendingBreak) {
        m_heldRuns.push_back({QString(), format});
        return;
    }
    m_cursor.insertImage(format);
    m_blockEmpty = false;
}

void RtfDocumentBuilder::applyBlockFormat(const QTextBlockFormat &format,
                                          const QTextCharFormat &charFormat)
{
    if (format != m_blockFormat) {
        m_cursor.setBlockFormat(format);
        m_blockFormat = format;
    }
    // An empty paragraph shows in the format of its paragraph mark.
    if (m_blockEmpty && m_cursor.blockCharFormat() != charFormat)
        m_cursor.setBlockCharFormat(charFormat);
}

void RtfDocumentBuilder::applyNumbering(const ParagraphNumbering &numbering)
{
    if (numbering.kind == NoNumbering && !m_blockMayBeListed) {
        m_list = nullptr;
        return;
    }
    m_blockMayBeListed = true;
    const QTextBlock block = m_cursor.block();
    QTextList *current = block.textList();
    if (numbering.kind == NoNumbering) {
        if (current)
            current->remove(block);
        m_list = nullptr;
        return;
    }
    const bool continues = m_list && sameList(m_listNumbering, numbering)
                           && block.previous().textList() == m_list;
    if (continues && current == m_list)
        return;
    if (current)
        current->remove(block);
    if (continues) {
        m_list->add(block);
    } else {
        m_list = m_cursor.createList(listFormat(numbering));
        m_listNumbering = numbering;
    }
}

void RtfDocumentBuilder::endParagraph(const QTextBlockFormat &format,
                                      const QTextCharFormat &charFormat,
                                      const ParagraphNumbering &numbering)
{
    if (m_pendingBreak) {
        // The paragraph's format is known now: make its block with it at once
        // instead of inserting a block and setting its format again. An empty
        // paragraph shows in the format of its paragraph mark.
        m_pendingBreak = false;
        m_cursor.insertBlock(format, m_heldRuns.empty() ? charFormat : m_nextCharFormat);
        m_blockFormat = format;
        m_blockEmpty = true;
        m_blockMayBeListed = false;
        insertHeldRuns();
    }
    applyBlockFormat(format, charFormat);
    applyNumbering(numbering);
    m_nextCharFormat = charFormat;
    m_pendingBreak = true;
}

void RtfDocumentBuilder::finish(const QTextBlockFormat &format, const QTextCharFormat &charFormat,
                                const ParagraphNumbering &numbering)
{
    if (!m_heldRuns.empty()) {
        // A last paragraph without its \par takes its own format; in Insert
        // mode it joins the rest of the paragraph split at the cursor.
        breakIfPending();
    } else if (m_mode == Mode::Insert) {
        // The rest of the paragraph split at the cursor keeps its own format.
        if (m_pendingBreak) {
            m_pendingBreak = false;
            m_cursor.insertBlock(m_originalBlockFormat, m_originalCharFormat);
        }
        return;
    }
    if (m_pendingBreak) {
        m_pendingBreak = false; // the last \par ends the last paragraph
        return;
    }
    applyBlockFormat(format, charFormat);
    applyNumbering(numbering);
}

} // namespace bw::rtf
