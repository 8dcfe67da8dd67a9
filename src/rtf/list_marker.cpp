#include "rtf/list_marker.h"

#include "rtf/text_properties.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>

namespace bw::rtf {
namespace {

int kindOfListStyle(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return Arabic;
    case QTextListFormat::ListLowerAlpha:
        return LowerLetter;
    case QTextListFormat::ListUpperAlpha:
        return UpperLetter;
    case QTextListFormat::ListLowerRoman:
        return LowerRoman;
    case QTextListFormat::ListUpperRoman:
        return UpperRoman;
    default:
        return Bullet;
    }
}

QString letters(int number, bool upper)
{
    QString text;
    for (int n = std::max(number, 1); n > 0; n = (n - 1) / 26)
        text.prepend(QChar(char16_t((upper ? u'A' : u'a') + (n - 1) % 26)));
    return text;
}

QString roman(int number, bool upper)
{
    static const std::pair<int, const char *> kDigits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString text;
    int n = std::clamp(number, 1, 3999);
    for (const auto &[value, digits] : kDigits) {
        for (; n >= value; n -= value)
            text += QLatin1String(digits);
    }
    return upper ? text.toUpper() : text;
}

} // namespace

int numberingKind(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    if (format.hasProperty(Numbering))
        return std::clamp(format.intProperty(Numbering), 0, int(UpperRoman));
    if (const QTextList *list = block.textList())
        return kindOfListStyle(list->format().style());
    return NoNumbering;
}

int numberingLevel(const QTextBlock &block)
{
    return std::clamp(block.blockFormat().intProperty(NumberingLevel), 0, 8);
}

QString numberText(int kind, int number)
{
    switch (kind) {
    case LowerLetter:
        return letters(number, false);
    case UpperLetter:
        return letters(number, true);
    case LowerRoman:
        return roman(number, false);
    case UpperRoman:
        return roman(number, true);
    default:
        return QString::number(number);
    }
}

QString bulletOf(const QTextBlock &block)
{
    const QString bullet = block.blockFormat().stringProperty(NumberingBullet);
    if (!bullet.isEmpty())
        return bullet;
    const QTextList *list = block.textList();
    switch (list ? list->format().style() : QTextListFormat::ListDisc) {
    case QTextListFormat::ListCircle:
        return QStringLiteral("\u25E6");
    case QTextListFormat::ListSquare:
        return QStringLiteral("\u25AA");
    default:
        return QStringLiteral("\u2022");
    }
}

// A list's own text when it sets one, else Qt's default.
QString numberPrefix(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    return list ? list->format().numberPrefix() : QString();
}

QString numberSuffix(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (list && list->format().hasProperty(QTextFormat::ListNumberSuffix))
        return list->format().numberSuffix();
    return QStringLiteral(".");
}

int itemNumber(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    const int start = format.hasProperty(NumberingStart) ? format.intProperty(NumberingStart) : 1;
    const QTextList *list = block.textList();
    return start + (list ? std::max(list->itemNumber(block), 0) : 0);
}

QString listMarker(const QTextBlock &block)
{
    const int kind = numberingKind(block);
    if (kind == NoNumbering)
        return {};
    if (kind == Bullet)
        return bulletOf(block);
    return numberPrefix(block) + numberText(kind, itemNumber(block)) + numberSuffix(block);
}

QString plainText(const QTextDocument *document)
{
    QString text;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString marker = listMarker(block);
        if (!marker.isEmpty())
            text += QString(4 * (numberingLevel(block) + 1), u' ') + marker + u' ';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                text += fragment.text();
        }
        text += u'\n';
    }
    text.replace(QChar::LineSeparator, u'\n');
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

} // namespace bw::rtf
