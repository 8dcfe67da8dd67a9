#include "rtf/rtf_document_builder.h"

#include "rtf/text_properties.h"

#include <QTextBlock>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>

#include <algorithm>

namespace bw::rtf {
namespace {

constexpr int kMaxColumns = 64;

// The bullets Qt draws as shapes; the control draws other characters itself.
QTextListFormat::Style bulletStyle(const QString &bullet)
{
    if (bullet.isEmpty() || bullet == QStringLiteral("\u2022"))
        return QTextListFormat::ListDisc;
    if (bullet == QStringLiteral("\u25E6") || bullet == QStringLiteral("o"))
        return QTextListFormat::ListCircle;
    if (bullet == QStringLiteral("\u25AA") || bullet == QStringLiteral("\u25A0"))
        return QTextListFormat::ListSquare;
    return QTextListFormat::ListStyleUndefined;
}

QTextListFormat::Style listStyle(const ParagraphNumbering &numbering)
{
    // Qt counts every list from 1: a list that starts elsewhere has its
    // numbers drawn by the control (RichEdit) from the paragraphs' numbering.
    if (numbering.kind != Bullet && numbering.start != 1)
        return QTextListFormat::ListStyleUndefined;
    switch (numbering.kind) {
    case Arabic:
        return QTextListFormat::ListDecimal;
    case LowerLetter:
        return QTextListFormat::ListLowerAlpha;
    case UpperLetter:
        return QTextListFormat::ListUpperAlpha;
    case LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case UpperRoman:
        return QTextListFormat::ListUpperRoman;
    default:
        return bulletStyle(numbering.bullet);
    }
}

QTextListFormat listFormat(const ParagraphNumbering &numbering)
{
    QTextListFormat format;
    format.setStyle(listStyle(numbering));
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
    if (a.kind != b.kind || a.list != b.list || a.level != b.level)
        return false;
    if (a.kind == Bullet)
        return a.bullet == b.bullet;
    return a.start == b.start && a.prefix == b.prefix && a.suffix == b.suffix;
}

// QTextCursor::insertText makes a new block of a line feed, a carriage return
// or a paragraph separator, and a frame boundary of U+FDD0/U+FDD1. Text that
// arrived as \'0a, \u10 and the like is no paragraph end of the RTF: it
// stays in its paragraph as a line break, and the frame marks are dropped.
QString withinParagraph(const QString &text)
{
    const auto breaksBlock = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator ||
               c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
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
        if (c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1 ||
            (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n'))
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

QTextBlockFormat withoutNumbering(QTextBlockFormat format)
{
    for (const int property :
         {Numbering, NumberingStart, NumberingTab, NumberingLevel, NumberingList, NumberingBullet})
        format.clearProperty(property);
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
    // Lists pasted into a document are new lists there.
    for (QTextBlock block = cursor.document()->begin(); block.isValid(); block = block.next())
        m_nextListNumber =
            std::max(m_nextListNumber, block.blockFormat().intProperty(NumberingList) + 1);
}

// The format with the number of the list the paragraph belongs to: its \ls's,
// or for the \pn form the one of the paragraph before when it goes on there.
QTextBlockFormat RtfDocumentBuilder::withListNumber(const QTextBlockFormat &format,
                                                    const ParagraphNumbering &numbering)
{
    if (numbering.kind == NoNumbering)
        return format;
    int number = 0;
    if (numbering.list > 0) {
        ListLevels &levels = m_levels[numbering.list];
        const auto level = std::size_t(std::clamp(numbering.level, 0, 8));
        if (levels.lists[level] && !sameList(levels.numbering[level], numbering)) {
            // The \ls was defined again (by a later list table): from here
            // on it is another list, with levels of its own.
            levels = ListLevels{};
            m_listNumbers.erase(numbering.list);
        }
        number = m_listNumbers.try_emplace(numbering.list, m_nextListNumber).first->second;
    } else {
        // Before a pending break the cursor is still in the paragraph before.
        const QTextBlock previous = m_pendingBreak ? m_cursor.block() : m_cursor.block().previous();
        const bool continues =
            m_list && sameList(m_listNumbering, numbering) && previous.textList() == m_list;
        number = continues ? m_adjacentListNumber : m_nextListNumber;
        m_adjacentListNumber = number;
    }
    if (number == m_nextListNumber)
        ++m_nextListNumber;
    QTextBlockFormat numbered = format;
    numbered.setProperty(NumberingList, number);
    return numbered;
}

// Makes the block of a paragraph whose format is not known yet. It starts in
// the format of the paragraph before, without that one's numbering: a table
// may cut it off before its end, and then it keeps that format.
void RtfDocumentBuilder::breakIfPending()
{
    if (!m_pendingBreak)
        return;
    m_pendingBreak = false;
    m_blockFormat = withoutNumbering(m_blockFormat);
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
    if (numbering.list > 0) {
        QTextList *list = listFor(numbering);
        if (current == list && list)
            return;
        if (current)
            current->remove(block);
        if (list) {
            list->add(block);
            return;
        }
        list = m_cursor.createList(listFormat(numbering));
        ListLevels &levels = m_levels[numbering.list];
        levels.lists[std::size_t(numbering.level)] = list;
        levels.numbering[std::size_t(numbering.level)] = numbering;
        return;
    }
    const bool continues =
        m_list && sameList(m_listNumbering, numbering) && block.previous().textList() == m_list;
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

// The list a paragraph of a numbered list goes on, or null when it starts
// one. Paragraphs between (plain ones, or of levels below) do not stop a
// level; an item of a level above starts the levels below it again.
QTextList *RtfDocumentBuilder::listFor(const ParagraphNumbering &numbering)
{
    m_list = nullptr;
    ListLevels &levels = m_levels[numbering.list];
    const auto level = std::size_t(std::clamp(numbering.level, 0, 8));
    for (std::size_t deeper = level + 1; deeper < levels.lists.size(); ++deeper)
        levels.lists[deeper] = nullptr;
    QTextList *list = levels.lists[level];
    if (list && !sameList(levels.numbering[level], numbering))
        list = nullptr;
    return list;
}

void RtfDocumentBuilder::endParagraph(const QTextBlockFormat &format,
                                      const QTextCharFormat &charFormat,
                                      const ParagraphNumbering &numbering)
{
    closeParagraph(format, charFormat, numbering);
    m_nextCharFormat = charFormat;
    m_pendingBreak = true;
}

void RtfDocumentBuilder::closeParagraph(const QTextBlockFormat &unnumbered,
                                        const QTextCharFormat &charFormat,
                                        const ParagraphNumbering &numbering)
{
    const QTextBlockFormat format = withListNumber(unnumbered, numbering);
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
}

void RtfDocumentBuilder::finish(const QTextBlockFormat &format, const QTextCharFormat &charFormat,
                                const ParagraphNumbering &numbering)
{
    if (m_table) {
        // The document ends inside the table: what the cell holds stays
        // there, and a paragraph still open in it takes its format. The block
        // Qt keeps after the table is no numbered paragraph of the text.
        if (m_move == Move::None) {
            if (!m_heldRuns.empty())
                breakIfPending();
            if (!m_pendingBreak) {
                applyBlockFormat(withListNumber(format, numbering), charFormat);
                applyNumbering(numbering);
            }
        }
        m_pendingBreak = false;
        m_move = Move::NextRow;
        setTableContext(false, {}, false);
        if (m_mode == Mode::Replace)
            applyBlockFormat(withoutNumbering(format), charFormat);
        return;
    }
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
    applyBlockFormat(withListNumber(format, numbering), charFormat);
    applyNumbering(numbering);
}

} // namespace bw::rtf

namespace bw::rtf {

bool RtfDocumentBuilder::paragraphEmpty() const
{
    if (m_pendingBreak)
        return m_heldRuns.empty();
    return m_blockEmpty;
}

void RtfDocumentBuilder::setTableContext(bool inTable, const std::vector<int> &cellEdges,
                                         bool borders)
{
    const Move move = std::exchange(m_move, Move::None);
    if (m_table && move == Move::NextCell) {
        if (m_column + 1 < kMaxColumns) {
            if (m_column + 1 >= m_table->columns())
                m_table->appendColumns(1);
            enterCell(m_row, m_column + 1);
        } else {
            // More cells than a table may have: the rest share the last cell.
            m_cursor.insertText(QStringLiteral("\t"));
        }
    } else if (m_table && move == Move::NextRow) {
        if (!inTable) {
            leaveTable();
            return;
        }
        m_table->appendRows(1);
        enterCell(m_row + 1, 0);
    }
    if (!m_table && inTable)
        startTable(cellEdges, borders);
}

void RtfDocumentBuilder::startTable(const std::vector<int> &cellEdges, bool borders)
{
    // The table follows the paragraph before it: a pending break is the
    // table's own, unless that paragraph's runs still wait for it.
    if (!m_heldRuns.empty())
        breakIfPending();
    m_pendingBreak = false;
    QTextTableFormat format;
    format.setBorder(borders ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setAlignment(Qt::AlignLeft);
    QList<QTextLength> widths;
    int left = 0;
    for (const int edge : cellEdges) {
        widths.append(
            QTextLength(QTextLength::FixedLength, twipsToDocumentPixels(std::max(edge - left, 0))));
        left = std::max(left, edge);
    }
    format.setColumnWidthConstraints(widths);
    const int columns = std::clamp(int(cellEdges.size()), 1, kMaxColumns);
    m_table = m_cursor.insertTable(1, columns, format);
    m_list = nullptr;
    enterCell(0, 0);
}

void RtfDocumentBuilder::enterCell(int row, int column)
{
    m_row = row;
    m_column = column;
    m_cursor.setPosition(m_table->cellAt(row, column).firstPosition());
    m_blockFormat = withoutList(m_cursor.blockFormat());
    m_blockEmpty = m_cursor.block().length() == 1;
    m_blockMayBeListed = false;
    m_pendingBreak = false;
}

void RtfDocumentBuilder::leaveTable()
{
    m_cursor.setPosition(m_table->lastPosition() + 1);
    m_table = nullptr;
    m_move = Move::None;
    if (m_mode == Mode::Replace)
        dropCopiedNumbering();
    m_blockFormat = withoutList(m_cursor.blockFormat());
    m_blockEmpty = m_cursor.block().length() == 1;
    m_blockMayBeListed = m_cursor.block().textList() != nullptr;
    m_pendingBreak = false;
    m_list = nullptr;
}

// Qt makes the block after a table a copy of the one before it, list and
// all; that numbering is not the next paragraph's. (Pasting keeps it: the
// block may be the rest of the paragraph split at the cursor.)
void RtfDocumentBuilder::dropCopiedNumbering()
{
    const QTextBlock block = m_cursor.block();
    if (QTextList *list = block.textList())
        list->remove(block);
    const QTextBlockFormat format = m_cursor.blockFormat();
    if (format.hasProperty(Numbering) || format.hasProperty(NumberingList))
        m_cursor.setBlockFormat(withoutNumbering(format));
}

void RtfDocumentBuilder::endCell(const QTextBlockFormat &format, const QTextCharFormat &charFormat,
                                 const ParagraphNumbering &numbering)
{
    closeParagraph(format, charFormat, numbering);
    m_move = Move::NextCell;
}

void RtfDocumentBuilder::endRow()
{
    if (m_table)
        m_move = Move::NextRow;
}

} // namespace bw::rtf
