#include "editor/rtf/rtf_document_builder.h"

#include "editor/rtf/text_properties.h"

#include <QTextBlock>
#include <QTextImageFormat>
#include <QTextList>

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
}

void RtfDocumentBuilder::insertText(const QString &text, const QTextCharFormat &format)
{
    breakIfPending();
    m_cursor.insertText(text, format);
    m_blockEmpty = false;
}

void RtfDocumentBuilder::insertImage(const QTextImageFormat &format)
{
    breakIfPending();
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
    const bool continues = m_list && m_listKind == numbering.kind
                           && block.previous().textList() == m_list;
    if (continues && current == m_list)
        return;
    if (current)
        current->remove(block);
    if (continues) {
        m_list->add(block);
    } else {
        m_list = m_cursor.createList(listFormat(numbering));
        m_listKind = numbering.kind;
    }
}

void RtfDocumentBuilder::endParagraph(const QTextBlockFormat &format,
                                      const QTextCharFormat &charFormat,
                                      const ParagraphNumbering &numbering)
{
    breakIfPending();
    applyBlockFormat(format, charFormat);
    applyNumbering(numbering);
    m_nextCharFormat = charFormat;
    m_pendingBreak = true;
}

void RtfDocumentBuilder::finish(const QTextBlockFormat &format, const QTextCharFormat &charFormat,
                                const ParagraphNumbering &numbering)
{
    if (m_mode == Mode::Insert) {
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
