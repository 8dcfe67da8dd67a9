#include "editor/para_format.h"

#include "rtf/text_properties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <limits>
#include <optional>

namespace bw {

namespace {

// A numbered paragraph keeps its text at startIndent + offset on every line,
// its number in front of the first line; the document stores that as no
// first-line indent plus the number's room in NumberingTab. Other paragraphs
// store the first line as a (usually negative) text indent.

// Lengths are ints of twips; a sum of two of them is bounded to that range.
int boundedTwips(qint64 twips)
{
    return int(std::clamp<qint64>(twips, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

int toTwips(qreal pixels)
{
    return boundedTwips(qRound64(pixels * kTwipsPerPixel));
}

qreal toPixels(qint64 twips)
{
    return twips / qreal(kTwipsPerPixel);
}

int numberingOf(const QTextBlockFormat &format)
{
    return format.intProperty(rtf::Numbering);
}

int alignmentOf(const QTextBlockFormat &format)
{
    const Qt::Alignment a = format.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight)
        return ParaFormat::Right;
    if (a & Qt::AlignHCenter)
        return ParaFormat::Center;
    if ((a & Qt::AlignJustify) == Qt::AlignJustify)
        return ParaFormat::Justify;
    return ParaFormat::Left;
}

Qt::Alignment qtAlignment(int alignment)
{
    switch (alignment) {
    case ParaFormat::Right:
        return Qt::AlignRight;
    case ParaFormat::Center:
        return Qt::AlignHCenter;
    case ParaFormat::Justify:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeft;
    }
}

void readLineSpacing(const QTextBlockFormat &format, ParaFormat &p)
{
    const qreal height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (qFuzzyCompare(height, 150.0)) {
            p.lineSpacingRule = ParaFormat::OneAndHalf;
            p.lineSpacing = 30;
        } else if (qFuzzyCompare(height, 200.0)) {
            p.lineSpacingRule = ParaFormat::Double;
            p.lineSpacing = 40;
        } else if (!qFuzzyCompare(height, 100.0) && height > 0) {
            p.lineSpacingRule = ParaFormat::Multiple;
            p.lineSpacing = qRound(height * kTwipsPerPoint / 100.0);
        }
        break;
    case QTextBlockFormat::MinimumHeight:
        p.lineSpacingRule = ParaFormat::AtLeast;
        p.lineSpacing = toTwips(height);
        break;
    case QTextBlockFormat::FixedHeight:
        p.lineSpacingRule = ParaFormat::Exactly;
        p.lineSpacing = toTwips(height);
        break;
    default:
        break;
    }
}

void writeLineSpacing(const ParaFormat &p, QTextBlockFormat &target)
{
    switch (p.lineSpacingRule) {
    case ParaFormat::OneAndHalf:
        target.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        break;
    case ParaFormat::Double:
        target.setLineHeight(200, QTextBlockFormat::ProportionalHeight);
        break;
    case ParaFormat::AtLeast:
        target.setLineHeight(toPixels(qMax(0, p.lineSpacing)), QTextBlockFormat::MinimumHeight);
        break;
    case ParaFormat::Exactly:
        target.setLineHeight(toPixels(qMax(1, p.lineSpacing)), QTextBlockFormat::FixedHeight);
        break;
    case ParaFormat::Multiple:
        target.setLineHeight(qMax(1, p.lineSpacing) * 100.0 / kTwipsPerPoint,
                             QTextBlockFormat::ProportionalHeight);
        break;
    default:
        target.setLineHeight(0, QTextBlockFormat::SingleHeight);
        break;
    }
}

void writeIndents(const ParaFormat &p, QTextBlockFormat &target)
{
    target.setRightMargin(toPixels(p.rightIndent));
    target.setLeftMargin(toPixels(qint64(p.startIndent) + p.offset));
    if (p.numbering != rtf::NoNumbering) {
        target.setTextIndent(0);
        target.setProperty(rtf::NumberingTab, p.offset);
    } else {
        target.setTextIndent(toPixels(-qint64(p.offset)));
        target.clearProperty(rtf::NumberingTab);
    }
}

ParaFormat merged(const ParaFormat &current, const ParaFormat &change)
{
    ParaFormat p = current;
    const auto take = [&](quint32 bit, int &field, int value) {
        if (change.has(bit))
            field = value;
    };
    take(ParaFormat::Alignment, p.alignment, change.alignment);
    take(ParaFormat::Numbering, p.numbering, qBound(0, change.numbering, 6));
    take(ParaFormat::StartIndent, p.startIndent, change.startIndent);
    take(ParaFormat::Offset, p.offset, change.offset);
    take(ParaFormat::RightIndent, p.rightIndent, change.rightIndent);
    take(ParaFormat::SpaceBefore, p.spaceBefore, qMax(0, change.spaceBefore));
    take(ParaFormat::SpaceAfter, p.spaceAfter, qMax(0, change.spaceAfter));
    take(ParaFormat::LineSpacing, p.lineSpacing, change.lineSpacing);
    take(ParaFormat::LineSpacing, p.lineSpacingRule, change.lineSpacingRule);
    // The other lines start at startIndent + offset, which must be a length
    // too: indents near the bounds bring the other lines to the bound.
    p.offset = int(boundedTwips(qint64(p.startIndent) + p.offset) - qint64(p.startIndent));
    return p;
}

} // namespace

ParaFormat paraFormatFromBlock(const QTextBlockFormat &format)
{
    ParaFormat p;
    p.mask = ParaFormat::All;
    p.alignment = alignmentOf(format);
    p.numbering = numberingOf(format);
    const int left = toTwips(format.leftMargin());
    const int textIndent = toTwips(format.textIndent());
    if (p.numbering != rtf::NoNumbering && textIndent == 0 &&
        format.hasProperty(rtf::NumberingTab)) {
        p.offset = format.intProperty(rtf::NumberingTab);
    } else {
        p.offset = boundedTwips(-qint64(textIndent));
    }
    p.startIndent = boundedTwips(qint64(left) - p.offset);
    p.rightIndent = toTwips(format.rightMargin());
    p.spaceBefore = toTwips(format.topMargin());
    p.spaceAfter = toTwips(format.bottomMargin());
    readLineSpacing(format, p);
    return p;
}

void applyParaFormat(const ParaFormat &format, QTextBlockFormat &target)
{
    const ParaFormat p = merged(paraFormatFromBlock(target), format);
    if (format.has(ParaFormat::Alignment))
        target.setAlignment(qtAlignment(p.alignment));
    if (format.mask & (ParaFormat::StartIndent | ParaFormat::Offset | ParaFormat::RightIndent |
                       ParaFormat::Numbering))
        writeIndents(p, target);
    if (format.has(ParaFormat::SpaceBefore))
        target.setTopMargin(toPixels(p.spaceBefore));
    if (format.has(ParaFormat::SpaceAfter))
        target.setBottomMargin(toPixels(p.spaceAfter));
    if (format.has(ParaFormat::LineSpacing))
        writeLineSpacing(p, target);
    if (format.has(ParaFormat::Numbering)) {
        if (p.numbering != rtf::NoNumbering)
            target.setProperty(rtf::Numbering, p.numbering);
        else
            target.clearProperty(rtf::Numbering);
    }
}

namespace {

void narrowMask(ParaFormat &common, const ParaFormat &other)
{
    const auto drop = [&](quint32 bit, bool same) {
        if (!same)
            common.mask &= ~bit;
    };
    drop(ParaFormat::Alignment, common.alignment == other.alignment);
    drop(ParaFormat::Numbering, common.numbering == other.numbering);
    drop(ParaFormat::StartIndent, common.startIndent == other.startIndent);
    drop(ParaFormat::Offset, common.offset == other.offset);
    drop(ParaFormat::RightIndent, common.rightIndent == other.rightIndent);
    drop(ParaFormat::SpaceBefore, common.spaceBefore == other.spaceBefore);
    drop(ParaFormat::SpaceAfter, common.spaceAfter == other.spaceAfter);
    drop(ParaFormat::LineSpacing, common.lineSpacing == other.lineSpacing &&
                                      common.lineSpacingRule == other.lineSpacingRule);
}

QTextListFormat::Style listStyle(int numbering)
{
    switch (numbering) {
    case rtf::Arabic:
        return QTextListFormat::ListDecimal;
    case rtf::LowerLetter:
        return QTextListFormat::ListLowerAlpha;
    case rtf::UpperLetter:
        return QTextListFormat::ListUpperAlpha;
    case rtf::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case rtf::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    default:
        return QTextListFormat::ListDisc;
    }
}

// Puts the block into a list shown in the given numbering, reusing `list`
// when there is one; returns the list used.
QTextList *addToList(const QTextBlock &block, int numbering, QTextList *list)
{
    if (QTextList *current = block.textList()) {
        if (current == list)
            return list;
        current->remove(block);
    }
    if (list) {
        list->add(block);
        return list;
    }
    QTextListFormat format;
    format.setStyle(listStyle(numbering));
    format.setIndent(0);
    QTextCursor cursor(block);
    return cursor.createList(format);
}

void updateLists(QTextDocument *document, int from, int to, int numbering)
{
    const QTextBlock first = document->findBlock(from);
    QTextList *list = nullptr;
    const QTextBlock previous = first.previous();
    if (numbering != rtf::NoNumbering && previous.isValid() && previous.textList() &&
        numberingOf(previous.blockFormat()) == numbering)
        list = previous.textList();
    for (QTextBlock block = first; block.isValid() && block.position() <= to;
         block = block.next()) {
        if (numbering == rtf::NoNumbering) {
            if (QTextList *current = block.textList())
                current->remove(block);
        } else {
            list = addToList(block, numbering, list);
        }
    }
}

} // namespace

namespace {

// The change numbering makes to one paragraph: where its other lines go.
ParaFormat numberingChange(QTextBlockFormat &target, int numbering, int minimumOffset)
{
    const ParaFormat now = paraFormatFromBlock(target);
    ParaFormat change;
    change.mask = ParaFormat::Numbering;
    change.numbering = numbering;
    if (numbering != rtf::NoNumbering) {
        if (now.numbering == rtf::NoNumbering)
            target.setProperty(rtf::OffsetBeforeNumbering, now.offset);
        if (now.offset < minimumOffset) {
            change.mask |= ParaFormat::Offset;
            change.offset = minimumOffset;
        }
    } else if (now.numbering != rtf::NoNumbering) {
        change.mask |= ParaFormat::Offset;
        change.offset = target.hasProperty(rtf::OffsetBeforeNumbering)
                            ? target.intProperty(rtf::OffsetBeforeNumbering)
                            : 0;
    }
    if (numbering == rtf::NoNumbering)
        target.clearProperty(rtf::OffsetBeforeNumbering);
    return change;
}

} // namespace

ParaFormat commonParaFormat(const QTextDocument *document, int from, int to)
{
    std::optional<ParaFormat> common;
    for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
        const ParaFormat p = paraFormatFromBlock(block.blockFormat());
        if (!common)
            common = p;
        else
            narrowMask(*common, p);
        if (block.position() + block.length() > to)
            break;
    }
    return common.value_or(ParaFormat{});
}

void setParaFormat(QTextCursor &cursor, const ParaFormat &format)
{
    QTextDocument *document = cursor.document();
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    cursor.beginEditBlock();
    for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
        QTextBlockFormat target = block.blockFormat();
        applyParaFormat(format, target);
        QTextCursor at(block);
        at.setBlockFormat(target);
        if (block.position() + block.length() > to)
            break;
    }
    if (format.has(ParaFormat::Numbering))
        updateLists(document, from, to, qBound(0, format.numbering, 6));
    cursor.endEditBlock();
}

void setNumbering(QTextCursor &cursor, int numbering, int minimumOffset)
{
    QTextDocument *document = cursor.document();
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    numbering = qBound(0, numbering, 6);
    cursor.beginEditBlock();
    for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
        QTextBlockFormat target = block.blockFormat();
        applyParaFormat(numberingChange(target, numbering, minimumOffset), target);
        QTextCursor at(block);
        at.setBlockFormat(target);
        if (block.position() + block.length() > to)
            break;
    }
    updateLists(document, from, to, numbering);
    cursor.endEditBlock();
}

} // namespace bw
