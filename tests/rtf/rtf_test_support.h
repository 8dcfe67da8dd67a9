#pragma once
// Helpers of the RTF tests: a short description of a document's formats for
// tables of expected results, and a full dump of its properties for round trips.

#include "rtf/text_properties.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace bw::rtf::test {

inline QString colorName(const QBrush &brush)
{
    return brush.color().name();
}

// The character format as short attributes: font=, pt= (when not 12), b, i,
// u=<style>, s, fg=, bg= (shade= for a shading), sup, sub, prot, hid, dis,
// href=, caps, scaps, note=<footnote text>.
inline QString describeChar(const QTextCharFormat &f)
{
    QStringList a;
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        a << "font=" + families.first();
    if (f.fontPointSize() > 0 && f.fontPointSize() != 12)
        a << "pt=" + QString::number(f.fontPointSize());
    if (f.fontWeight() > QFont::Medium)
        a << "b";
    if (f.fontItalic())
        a << "i";
    if (f.underlineStyle() != QTextCharFormat::NoUnderline)
        a << "u=" + QString::number(f.underlineStyle());
    if (f.fontStrikeOut())
        a << "s";
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        a << "fg=" + colorName(f.foreground());
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        a << (f.boolProperty(Shading) ? "shade=" : "bg=") + colorName(f.background());
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        a << "sup";
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        a << "sub";
    if (f.boolProperty(Protected))
        a << "prot";
    if (f.boolProperty(Hidden))
        a << "hid";
    if (f.boolProperty(Disabled))
        a << "dis";
    if (f.isAnchor())
        a << "href=" + f.anchorHref();
    if (f.fontCapitalization() == QFont::AllUppercase)
        a << "caps";
    if (f.fontCapitalization() == QFont::SmallCaps)
        a << "scaps";
    if (f.hasProperty(Footnote))
        a << "note=" + f.stringProperty(Footnote).replace(u'\n', QLatin1String("\\n"));
    return a.join(',');
}

inline QString describeImage(const QTextImageFormat &f)
{
    QString text = QStringLiteral("<");
    if (f.hasProperty(ObjectRtf))
        text += "foreign ";
    else if (f.hasProperty(ObjectLinkPath))
        text += "link " + f.stringProperty(ObjectLinkPath) + ' ';
    else if (f.hasProperty(ObjectName))
        text += "object " + f.stringProperty(ObjectName) + ' ' + f.stringProperty(ObjectMimeType) +
                ' ' + QString::number(f.property(ObjectData).toByteArray().size()) + ' ';
    text += f.stringProperty(PictureFormat).isEmpty() ? QStringLiteral("image")
                                                      : f.stringProperty(PictureFormat);
    text += ' ' + QString::number(documentPixelsToTwips(f.width())) + 'x' +
            QString::number(documentPixelsToTwips(f.height())) + '>';
    return text;
}

inline QString describeBlock(const QTextBlock &block)
{
    const QTextBlockFormat f = block.blockFormat();
    QStringList a;
    const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignRight)
        a << "r";
    if (align & Qt::AlignHCenter)
        a << "c";
    if (align & Qt::AlignJustify)
        a << "j";
    const auto twips = [&](const char *name, qreal px) {
        if (px != 0)
            a << name + QString::number(documentPixelsToTwips(px));
    };
    twips("fi=", f.textIndent());
    twips("li=", f.leftMargin());
    twips("ri=", f.rightMargin());
    twips("sb=", f.topMargin());
    twips("sa=", f.bottomMargin());
    if (f.lineHeightType() != QTextBlockFormat::SingleHeight)
        a << QStringLiteral("lh=%1:%2").arg(f.lineHeightType()).arg(f.lineHeight());
    for (const QTextOption::Tab &tab : f.tabPositions())
        a << QStringLiteral("tab=%1:%2").arg(tab.type).arg(documentPixelsToTwips(tab.position));
    if (f.layoutDirection() == Qt::RightToLeft)
        a << "rtl";
    if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        a << "page";
    if (const QTextTable *table = QTextCursor(block).currentTable()) {
        const QTextTableCell cell = table->cellAt(block.position());
        a << QStringLiteral("cell=%1,%2").arg(cell.row()).arg(cell.column());
    }
    if (f.hasProperty(Numbering)) {
        QString n = "num=" + QString::number(f.intProperty(Numbering));
        if (f.hasProperty(NumberingStart))
            n += '/' + QString::number(f.intProperty(NumberingStart));
        if (block.textList())
            n += QStringLiteral(" list=%1").arg(block.textList()->format().style());
        if (f.hasProperty(NumberingList))
            n += QStringLiteral(" id=%1").arg(f.intProperty(NumberingList));
        if (f.intProperty(NumberingLevel))
            n += QStringLiteral(" lvl=%1").arg(f.intProperty(NumberingLevel));
        if (f.hasProperty(NumberingBullet))
            n += " bullet=" + f.stringProperty(NumberingBullet);
        a << n;
    }
    return a.isEmpty() ? QString() : '(' + a.join(',') + ')';
}

// "P(attrs) "text"{attrs} <img ...> | P ..."; an empty paragraph shows the
// format of its mark.
inline QString describe(const QTextDocument &document)
{
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString text = "P" + describeBlock(block);
        if (block.length() == 1) {
            const QString mark = describeChar(block.charFormat());
            text += mark.isEmpty() ? QString() : " {" + mark + '}';
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat()) {
                for (int i = 0; i < fragment.length(); ++i)
                    text += ' ' + describeImage(fragment.charFormat().toImageFormat());
                continue;
            }
            QString run = fragment.text();
            run.replace(QChar(0x2028), QLatin1String("\\n"));
            const QString attrs = describeChar(fragment.charFormat());
            text += " \"" + run + '"' + (attrs.isEmpty() ? QString() : '{' + attrs + '}');
        }
        blocks << text;
    }
    return blocks.join(QLatin1String(" | "));
}

inline QString dumpValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return "bytes:" +
               QString::fromLatin1(
                   QCryptographicHash::hash(value.toByteArray(), QCryptographicHash::Md5).toHex());
    QString text;
    QDebug(&text).nospace() << value;
    return text;
}

inline QString dumpProperties(const QTextFormat &format)
{
    QStringList items;
    const QMap<int, QVariant> properties = format.properties();
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        if (it.key() != QTextFormat::ObjectIndex)
            items << QString::number(it.key(), 16) + '=' + dumpValue(it.value());
    }
    return items.join(';');
}

// Every property of every block and fragment, for comparing documents.
inline QString dump(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line = "block " + dumpProperties(block.blockFormat());
        if (const QTextList *list = block.textList())
            line += " list " + dumpProperties(list->format());
        if (block.length() == 1)
            line += " mark " + dumpProperties(block.charFormat());
        lines << line;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            lines << "  \"" + it.fragment().text() + "\" " +
                         dumpProperties(it.fragment().charFormat());
    }
    return lines.join('\n');
}

inline QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(BW_RTF_FIXTURES) + '/' + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

} // namespace bw::rtf::test
