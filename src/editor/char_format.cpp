#include "editor/char_format.h"

#include "rtf/text_properties.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>

namespace bw {

namespace {

QString faceOf(const QTextCharFormat &format, const FormatDefaults &defaults)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return defaults.font.family();
}

int sizeTwipsOf(const QTextCharFormat &format, const FormatDefaults &defaults)
{
    const qreal points = format.hasProperty(QTextFormat::FontPointSize)
                             ? format.fontPointSize()
                             : defaults.font.pointSizeF();
    return qRound(points * 20);
}

bool autoColorOf(const QTextCharFormat &format)
{
    return format.boolProperty(rtf::AutoColor) || format.foreground().style() == Qt::NoBrush;
}

bool autoBackColorOf(const QTextCharFormat &format)
{
    return format.boolProperty(rtf::AutoBackColor) || format.background().style() == Qt::NoBrush;
}

} // namespace

CharFormat charFormatFromText(const QTextCharFormat &format, const FormatDefaults &defaults)
{
    CharFormat f;
    f.mask = CharFormat::All;
    f.face = faceOf(format, defaults);
    f.sizeTwips = sizeTwipsOf(format, defaults);
    f.weight =
        format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() : defaults.font.weight();
    f.bold = f.weight >= QFont::DemiBold;
    f.italic =
        format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : defaults.font.italic();
    f.underline = format.fontUnderline();
    f.strikeOut = format.fontStrikeOut();
    f.autoColor = autoColorOf(format);
    f.color = f.autoColor ? defaults.text : format.foreground().color();
    f.autoBackColor = autoBackColorOf(format);
    f.backColor = f.autoBackColor ? defaults.background : format.background().color();
    f.protectedText = format.boolProperty(rtf::Protected);
    f.hidden = format.boolProperty(rtf::Hidden);
    f.disabled = format.boolProperty(rtf::Disabled);
    f.superscript = format.verticalAlignment() == QTextCharFormat::AlignSuperScript;
    f.subscript = format.verticalAlignment() == QTextCharFormat::AlignSubScript;
    return f;
}

namespace {

void setFlag(QTextCharFormat &target, int property, bool on)
{
    if (on)
        target.setProperty(property, true);
    else
        target.clearProperty(property);
}

void applyColors(const CharFormat &format, QTextCharFormat &target)
{
    if (format.has(CharFormat::Color)) {
        if (format.autoColor || !format.color.isValid()) {
            target.clearForeground();
            target.setProperty(rtf::AutoColor, true);
        } else {
            target.setForeground(format.color);
            target.clearProperty(rtf::AutoColor);
        }
    }
    if (format.has(CharFormat::BackColor)) {
        if (format.autoBackColor || !format.backColor.isValid()) {
            target.clearBackground();
            target.setProperty(rtf::AutoBackColor, true);
        } else {
            target.setBackground(format.backColor);
            target.clearProperty(rtf::AutoBackColor);
        }
    }
}

void applyScript(const CharFormat &format, QTextCharFormat &target)
{
    if (!(format.mask & CharFormat::Script))
        return;
    auto alignment = target.verticalAlignment();
    const bool super = alignment == QTextCharFormat::AlignSuperScript;
    const bool sub = alignment == QTextCharFormat::AlignSubScript;
    const bool wantSuper = format.has(CharFormat::Superscript) ? format.superscript : super;
    const bool wantSub = format.has(CharFormat::Subscript) ? format.subscript : sub;
    if (wantSuper)
        alignment = QTextCharFormat::AlignSuperScript;
    else if (wantSub)
        alignment = QTextCharFormat::AlignSubScript;
    else
        alignment = QTextCharFormat::AlignNormal;
    target.setVerticalAlignment(alignment);
}

} // namespace

void applyCharFormat(const CharFormat &format, QTextCharFormat &target)
{
    if (format.has(CharFormat::Face) && !format.face.isEmpty())
        target.setFontFamilies(QStringList{format.face.left(CharFormat::kMaxFaceLength)});
    if (format.has(CharFormat::Size)) {
        const int twips =
            std::clamp(format.sizeTwips, CharFormat::kMinSizeTwips, CharFormat::kMaxSizeTwips);
        target.setFontPointSize(twips / 20.0);
    }
    if (format.has(CharFormat::Weight))
        target.setFontWeight(std::clamp(format.weight, 1, 1000));
    if (format.has(CharFormat::Bold))
        target.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    if (format.has(CharFormat::Italic))
        target.setFontItalic(format.italic);
    if (format.has(CharFormat::Underline))
        target.setFontUnderline(format.underline);
    if (format.has(CharFormat::StrikeOut))
        target.setFontStrikeOut(format.strikeOut);
    applyColors(format, target);
    if (format.has(CharFormat::Protected))
        setFlag(target, rtf::Protected, format.protectedText);
    if (format.has(CharFormat::Hidden))
        setFlag(target, rtf::Hidden, format.hidden);
    if (format.has(CharFormat::Disabled))
        setFlag(target, rtf::Disabled, format.disabled);
    applyScript(format, target);
}

namespace {

// Clears the mask bits of `common` whose values differ in `other`.
void narrowMask(CharFormat &common, const CharFormat &other)
{
    const auto drop = [&](quint32 bit, bool same) {
        if (!same)
            common.mask &= ~bit;
    };
    drop(CharFormat::Face, common.face == other.face);
    drop(CharFormat::Size, common.sizeTwips == other.sizeTwips);
    drop(CharFormat::Weight, common.weight == other.weight);
    drop(CharFormat::Bold, common.bold == other.bold);
    drop(CharFormat::Italic, common.italic == other.italic);
    drop(CharFormat::Underline, common.underline == other.underline);
    drop(CharFormat::StrikeOut, common.strikeOut == other.strikeOut);
    drop(CharFormat::Color, common.autoColor == other.autoColor && common.color == other.color);
    drop(CharFormat::BackColor,
         common.autoBackColor == other.autoBackColor && common.backColor == other.backColor);
    drop(CharFormat::Protected, common.protectedText == other.protectedText);
    drop(CharFormat::Hidden, common.hidden == other.hidden);
    drop(CharFormat::Disabled, common.disabled == other.disabled);
    drop(CharFormat::Superscript, common.superscript == other.superscript);
    drop(CharFormat::Subscript, common.subscript == other.subscript);
}

} // namespace

CharFormat commonCharFormat(const QTextDocument *document, int from, int to,
                            const FormatDefaults &defaults)
{
    std::optional<CharFormat> common;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = fragment.position();
            if (start + fragment.length() <= from || start >= to)
                continue;
            const CharFormat run = charFormatFromText(fragment.charFormat(), defaults);
            if (!common)
                common = run;
            else
                narrowMask(*common, run);
        }
    }
    if (!common)
        return charFormatFromText(QTextCharFormat(), defaults);
    return *common;
}

} // namespace bw
