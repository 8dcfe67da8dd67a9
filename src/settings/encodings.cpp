#include "encodings.h"

namespace bw::settings {

QString encodeBool(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> decodeBool(const QString &text)
{
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

QString encodeInt(int value)
{
    return QString::number(value);
}

int decodeInt(const QString &text)
{
    return numberOr(text, 0);
}

int numberOr(const QString &text, int fallback)
{
    bool ok = false;
    const int v = trimText(text).toInt(&ok);
    return ok ? v : fallback;
}

int decodeTipIndex(const QString &text)
{
    const int index = decodeInt(text);
    return index >= 0 && index < kTipCount ? index : 0;
}

QString trimText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QStringList defaultCustomColors()
{
    // Entries A..P; FFFFFFFF marks an unused custom colour.
    const char *const colors[] = {
        "FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "808000", "AF6E3A",
        "FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "C0C0C0", "C8D0D4"};
    QStringList list;
    for (int i = 0; i < 16; ++i)
        list << QStringLiteral("Color%1=%2").arg(QChar(u'A' + i), QLatin1String(colors[i]));
    return list;
}

QString customColorEntry(int index, ColorValue color)
{
    return QStringLiteral("Color%1=%2")
        .arg(QChar(u'A' + index))
        .arg(QString::number(static_cast<quint32>(color.raw()), 16).toUpper());
}

std::optional<ColorValue> parseCustomColorEntry(const QString &entry)
{
    const qsizetype eq = entry.indexOf(QLatin1Char('='));
    if (eq < 0 || !entry.startsWith(QLatin1String("Color")))
        return std::nullopt;
    bool ok = false;
    const quint32 v = entry.mid(eq + 1).trimmed().toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return ColorValue(static_cast<qint32>(v));
}

QList<ColorValue> defaultColorButtonColors()
{
    QList<ColorValue> colors(kColorButtonCustomCount, ColorValue::fromRgb(255, 255, 255));
    colors[0] = ColorValue(0x00AF6E3A);
    colors[2] = ColorValue(0x00C8D0D4);
    colors[4] = ColorValue(0x00808000);
    colors[6] = ColorValue(0x00C0C0C0);
    return colors;
}

QString encodeColorButtonColors(const QList<ColorValue> &colors)
{
    QStringList parts;
    for (int i = 0; i < kColorButtonCustomCount; ++i) {
        const ColorValue c = i < colors.size() ? colors[i] : ColorValue::fromRgb(255, 255, 255);
        parts << QStringLiteral("$%1")
                     .arg(static_cast<quint32>(c.raw()), 8, 16, QLatin1Char('0'))
                     .toUpper();
    }
    return parts.join(QLatin1Char(','));
}

QList<ColorValue> decodeColorButtonColors(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    QList<ColorValue> colors;
    for (int i = 0; i < kColorButtonCustomCount; ++i) {
        ColorValue c = ColorValue::fromRgb(255, 255, 255);
        if (i < parts.size()) {
            QString p = parts[i].trimmed();
            bool ok = false;
            quint32 v = 0;
            if (p.startsWith(QLatin1Char('$')))
                v = p.mid(1).toUInt(&ok, 16);
            else
                v = static_cast<quint32>(p.toLongLong(&ok));
            if (ok)
                c = ColorValue(static_cast<qint32>(v));
        }
        colors << c;
    }
    return colors;
}

} // namespace bw::settings
