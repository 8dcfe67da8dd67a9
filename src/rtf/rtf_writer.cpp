#include "rtf/rtf_writer.h"

#include "rtf/list_marker.h"
#include "rtf/rtf_escape.h"
#include "rtf/rtf_object.h"
#include "rtf/rtf_picture.h"
#include "rtf/text_properties.h"

#include <QFont>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace bw::rtf {
namespace {

constexpr char16_t kObjectReplacement = 0xFFFC;
// The reader takes no length beyond 22 inches; a table wider than that is
// written as wide as it reads back.
constexpr int kMaxCellEdge = 31680;

const char *fontFamilyWord(int styleHint)
{
    switch (styleHint) {
    case QFont::Serif:
        return "\\froman";
    case QFont::SansSerif:
        return "\\fswiss";
    case QFont::TypeWriter:
        return "\\fmodern";
    case QFont::Cursive:
        return "\\fscript";
    case QFont::Decorative:
        return "\\fdecor";
    default:
        return "\\fnil";
    }
}

const char *underlineWord(int style)
{
    switch (style) {
    case QTextCharFormat::SingleUnderline:
        return "\\ul";
    case QTextCharFormat::DashUnderline:
        return "\\uldash";
    case QTextCharFormat::DotLine:
        return "\\uld";
    case QTextCharFormat::DashDotLine:
        return "\\uldashd";
    case QTextCharFormat::DashDotDotLine:
        return "\\uldashdd";
    case QTextCharFormat::WaveUnderline:
        return "\\ulwave";
    default:
        return "\\ulnone";
    }
}

// \\levelnfc of a numbering kind.
int levelNfc(int kind)
{
    switch (kind) {
    case UpperRoman:
        return 1;
    case LowerRoman:
        return 2;
    case UpperLetter:
        return 3;
    case LowerLetter:
        return 4;
    case Bullet:
        return 23;
    default:
        return 0;
    }
}

const char *numberingWord(int kind)
{
    switch (kind) {
    case LowerLetter:
        return "\\pnlcltr";
    case UpperLetter:
        return "\\pnucltr";
    case LowerRoman:
        return "\\pnlcrm";
    case UpperRoman:
        return "\\pnucrm";
    default:
        return "\\pndec";
    }
}

// A ';' ends a font table entry, so one inside a name is written as \u59?
// (which the reader takes as part of the name).
void appendFontName(QByteArray &out, const QString &name)
{
    bool delimit = true;
    const QStringList parts = name.split(u';');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            out.append("\\u59?");
            delimit = false;
        }
        appendEscapedText(out, parts[i], delimit);
    }
}

QImage imageOf(const QVariant &resource)
{
    if (resource.canConvert<QImage>() && resource.typeId() == QMetaType::QImage)
        return resource.value<QImage>();
    if (resource.typeId() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    if (resource.typeId() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return {};
}

} // namespace

RtfWriter::RtfWriter(const QTextDocument *document) : m_document(document) {}

QByteArray RtfWriter::write(int from, int to, bool wholeDocument)
{
    const int last = std::max(0, m_document->characterCount() - 1);
    from = std::clamp(from, 0, last);
    to = std::clamp(to, from, last);
    m_hasTables = !m_document->rootFrame()->childFrames().isEmpty();
    collectTables(from, to);
    writeHeader();
    const QTextBlock end = m_document->findBlock(to).next();
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block != end;
         block = block.next()) {
        if (isTablesLeadingBlock(block))
            continue;
        const int separator = block.position() + block.length() - 1;
        writeBlock(block, from, to, wholeDocument || separator < to);
    }
    closeLink();
    m_out.append("}");
    return m_out;
}

// A document cannot start with a table: the empty paragraph before one at
// the start is the document's, not the text's, and is not written, unless
// it shows a number or bullet.
bool RtfWriter::isTablesLeadingBlock(const QTextBlock &block) const
{
    if (!m_hasTables || block != m_document->begin() || block.length() != 1 ||
        !block.next().isValid() || numberingOf(block) != NoNumbering)
        return false;
    const QTextTable *table = QTextCursor(block.next()).currentTable();
    return table && table->firstPosition() == block.next().position();
}

void RtfWriter::collectFormat(const QTextCharFormat &format)
{
    const QString family = familyOf(format);
    if (!m_fontIndex.contains(family)) {
        m_fontIndex.insert(family, int(m_fonts.size()));
        // A format without a style hint reads as SansSerif (0); it has none.
        const int hint = format.hasProperty(QTextFormat::FontStyleHint) ? format.fontStyleHint()
                                                                        : QFont::AnyStyle;
        m_fonts.append({family, hint, format.fontFixedPitch()});
    }
    for (const int property :
         {int(QTextFormat::ForegroundBrush), int(QTextFormat::BackgroundBrush)}) {
        const QBrush brush = format.brushProperty(property);
        if (brush.style() == Qt::NoBrush)
            continue;
        const QRgb rgb = brush.color().rgb() | 0xFF000000u;
        if (!m_colorIndex.contains(rgb)) {
            m_colors.append(QColor::fromRgb(rgb));
            m_colorIndex.insert(rgb, int(m_colors.size())); // 0 is automatic
        }
    }
}

void RtfWriter::collectTables(int from, int to)
{
    const QTextBlock end = m_document->findBlock(to).next();
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block != end;
         block = block.next()) {
        if (isTablesLeadingBlock(block))
            continue;
        if (block.length() == 1)
            collectFormat(block.charFormat());
        collectList(block);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() > from && fragment.position() < to &&
                !m_collected.contains(fragment.charFormatIndex())) {
                m_collected.insert(fragment.charFormatIndex());
                if (!fragment.charFormat().isImageFormat())
                    collectFormat(fragment.charFormat());
            }
        }
    }
    if (m_fonts.isEmpty())
        collectFormat(QTextCharFormat());
}

// The list a numbered paragraph belongs to: the one it was read into, else
// its Qt list; a numbered paragraph outside any list shares one list
// definition with others of the same numbering.
QString RtfWriter::listKey(const QTextBlock &block) const
{
    const QTextBlockFormat format = block.blockFormat();
    if (format.hasProperty(NumberingList))
        return u'n' + QString::number(format.intProperty(NumberingList));
    if (const QTextList *list = block.textList())
        return u'q' + QString::number(quintptr(list), 16);
    const int start = format.hasProperty(NumberingStart) ? format.intProperty(NumberingStart) : 1;
    return QStringLiteral("k%1/%2/%3/%4")
        .arg(numberingOf(block))
        .arg(start)
        .arg(numberPrefix(block), numberSuffix(block));
}

void RtfWriter::collectList(const QTextBlock &block)
{
    if (numberingOf(block) == NoNumbering)
        return;
    const QString key = listKey(block);
    auto it = m_listIndex.constFind(key);
    if (it == m_listIndex.constEnd()) {
        it = m_listIndex.insert(key, int(m_listLevels.size()) + 1);
        m_listLevels.append(ListLevels{});
    }
    QTextBlock &first = m_listLevels[*it - 1].first[std::size_t(numberingLevel(block))];
    if (!first.isValid())
        first = block;
}

// The list-table form of the numbering, for readers that do not take the
// \pn form whole (LibreOffice keeps only its start and text there): Word's
// lists of nine levels, each with its kind, text, start and indents; \lsN
// after the \pn group selects them.
void RtfWriter::writeListTable()
{
    if (m_listLevels.isEmpty())
        return;
    QByteArray overrides("{\\*\\listoverridetable");
    m_out.append("{\\*\\listtable");
    for (qsizetype i = 0; i < m_listLevels.size(); ++i) {
        const QByteArray id = QByteArray::number(i + 1);
        m_out.append("{\\list\\listtemplateid" + id);
        for (int level = 0; level < 9; ++level)
            writeListLevel(m_listLevels[i].first[std::size_t(level)], level);
        m_out.append("\\listid" + id + "}");
        overrides.append("{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + "}");
    }
    m_out.append("}\n");
    m_out.append(overrides + "}\n");
}

// One level of a list, from its first paragraph; a level no paragraph uses
// numbers in arabic, indented half an inch a level.
void RtfWriter::writeListLevel(const QTextBlock &block, int level)
{
    const int kind = block.isValid() ? numberingOf(block) : int(Arabic);
    const QTextBlockFormat format = block.blockFormat();
    const int start = format.hasProperty(NumberingStart) ? format.intProperty(NumberingStart) : 1;
    m_out.append("{\\listlevel\\levelnfc" + QByteArray::number(levelNfc(kind)) +
                 "\\leveljc0\\levelstartat" + QByteArray::number(start) +
                 "\\levelfollow0{\\leveltext");
    bool delimit = false;
    if (kind == Bullet) {
        const QString bullet = bulletOf(block);
        appendHexByte(m_out, static_cast<unsigned char>(bullet.size()));
        appendEscapedText(m_out, bullet, delimit);
        m_out.append(";}{\\levelnumbers;}");
    } else {
        const QString prefix = block.isValid() ? numberPrefix(block) : QString();
        const QString suffix = block.isValid() ? numberSuffix(block) : QStringLiteral(".");
        appendHexByte(m_out, static_cast<unsigned char>(
                                 std::min<qsizetype>(prefix.size() + suffix.size() + 1, 255)));
        appendEscapedText(m_out, prefix, delimit);
        appendHexByte(m_out, static_cast<unsigned char>(level));
        appendEscapedText(m_out, suffix, delimit);
        m_out.append(";}{\\levelnumbers");
        appendHexByte(m_out,
                      static_cast<unsigned char>(std::min<qsizetype>(prefix.size() + 1, 255)));
        m_out.append(";}");
    }
    const int indent = block.isValid() ? documentPixelsToTwips(format.textIndent()) : -360;
    const int left =
        block.isValid() ? documentPixelsToTwips(format.leftMargin()) : 720 * (level + 1);
    m_out.append("\\fi" + QByteArray::number(indent) + "\\li" + QByteArray::number(left) + "}");
}

void RtfWriter::writeHeader()
{
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        m_out.append("{\\f" + QByteArray::number(i) + fontFamilyWord(m_fonts[i].styleHint));
        if (m_fonts[i].fixedPitch)
            m_out.append("\\fprq1");
        m_out.append("\\fcharset0");
        appendFontName(m_out, m_fonts[i].name);
        m_out.append(";}");
    }
    m_out.append("}\n");
    if (!m_colors.isEmpty()) {
        m_out.append("{\\colortbl ;");
        for (const QColor &color : std::as_const(m_colors))
            m_out.append("\\red" + QByteArray::number(color.red()) + "\\green" +
                         QByteArray::number(color.green()) + "\\blue" +
                         QByteArray::number(color.blue()) + ';');
        m_out.append("}\n");
    }
    writeListTable();
    m_out.append("\\viewkind4\\uc1");
    m_delimit = true;
}

void RtfWriter::writeWord(const char *word, int param)
{
    m_out.append(word);
    m_out.append(QByteArray::number(param));
    m_delimit = true;
}

void RtfWriter::writeWord(const char *word)
{
    m_out.append(word);
    m_delimit = true;
}

void RtfWriter::writeBlock(const QTextBlock &block, int from, int to, bool endsParagraph)
{
    const QTextTable *table = m_hasTables ? QTextCursor(block).currentTable() : nullptr;
    const QTextTableCell cell = table ? table->cellAt(block.position()) : QTextTableCell();
    m_inCell = cell.isValid();
    if (m_inCell && (table != m_table || cell.row() != m_row)) {
        closeLink();
        m_table = table;
        m_row = cell.row();
        writeRowDefinition(table);
    } else if (!m_inCell) {
        m_table = nullptr;
    }
    writeParagraphFormat(block);
    writeNumberText(block);
    for (auto it = block.begin(); !it.atEnd(); ++it)
        writeFragment(it.fragment(), from, to);
    if (!endsParagraph)
        return;
    closeLink();
    if (block.length() == 1) // an empty paragraph keeps the format of its mark
        writeDelta(stateOf(block.charFormat()));
    m_delimit = false;
    if (!m_inCell || m_document->findBlock(cell.lastPosition()) != block) {
        m_out.append("\\par\n");
        return;
    }
    m_out.append("\\cell");
    m_delimit = true;
    if (cell.column() + cell.columnSpan() >= table->columns()) {
        m_out.append("\\row\n");
        m_delimit = false;
        m_row = -1;
    }
}

// \trowd with the cell edges of the table's columns, and plain borders when
// the table has a frame.
void RtfWriter::writeRowDefinition(const QTextTable *table)
{
    const QTextTableFormat format = table->format();
    const QList<QTextLength> widths = format.columnWidthConstraints();
    QByteArray borders;
    if (format.border() > 0) {
        for (const char *side : {"t", "l", "b", "r"})
            borders += QByteArray("\\clbrdr") + side + "\\brdrs\\brdrw10";
    }
    m_out.append("\\trowd\\trgaph30");
    int edge = 0;
    for (int column = 0; column < table->columns(); ++column) {
        const QTextLength width = column < widths.size() ? widths[column] : QTextLength();
        edge += width.type() == QTextLength::FixedLength ? documentPixelsToTwips(width.rawValue())
                                                         : 9000 / std::max(table->columns(), 1);
        edge = std::min(edge, kMaxCellEdge);
        m_out.append(borders + "\\cellx" + QByteArray::number(edge));
    }
    m_delimit = true;
    m_firstParagraph = true; // every row's paragraphs start with \pard\intbl
}

int RtfWriter::numberingOf(const QTextBlock &block) const
{
    return numberingKind(block);
}

QByteArray RtfWriter::paragraphKey(const QTextBlock &block) const
{
    const QTextBlockFormat format = block.blockFormat();
    QByteArray key;
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignRight)
        key.append("\\qr");
    else if (align & Qt::AlignHCenter)
        key.append("\\qc");
    else if (align & Qt::AlignJustify)
        key.append("\\qj");
    int levels = format.indent();
    if (const QTextList *list = block.textList())
        levels += list->format().indent();
    const qreal left = format.leftMargin() + levels * m_document->indentWidth();
    const auto twips = [&](const char *word, qreal pixels) {
        if (const int value = documentPixelsToTwips(pixels))
            key.append(word + QByteArray::number(value));
    };
    twips("\\fi", format.textIndent());
    twips("\\li", left);
    twips("\\ri", format.rightMargin());
    twips("\\sb", format.topMargin());
    twips("\\sa", format.bottomMargin());
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        key.append("\\sl" + QByteArray::number(qRound(format.lineHeight() * 2.4)) + "\\slmult1");
        break;
    case QTextBlockFormat::MinimumHeight:
    case QTextBlockFormat::FixedHeight: {
        const int sign = format.lineHeightType() == QTextBlockFormat::FixedHeight ? -1 : 1;
        key.append("\\sl" + QByteArray::number(sign * documentPixelsToTwips(format.lineHeight())) +
                   "\\slmult0");
        break;
    }
    default:
        break;
    }
    for (const QTextOption::Tab &tab : format.tabPositions()) {
        static constexpr const char *kTabWords[] = {"", "\\tqr", "\\tqc", "\\tqdec"};
        key.append(kTabWords[std::clamp(int(tab.type), 0, 3)]);
        key.append("\\tx" + QByteArray::number(documentPixelsToTwips(tab.position)));
    }
    if (format.layoutDirection() == Qt::RightToLeft)
        key.append("\\rtlpar");
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        key.append("\\pagebb");
    if (m_inCell)
        key.append("\\intbl");
    const int kind = numberingOf(block);
    if (kind == NoNumbering)
        return key;
    key.append("{\\*\\pn");
    key.append(kind == Bullet ? "\\pnlvlblt" : "\\pnlvlbody");
    key.append("\\pnindent" + QByteArray::number(format.intProperty(NumberingTab)));
    QByteArray ls = "\\ls" + QByteArray::number(m_listIndex.value(listKey(block)));
    if (const int level = numberingLevel(block))
        ls.prepend("\\ilvl" + QByteArray::number(level));
    if (kind == Bullet) {
        bool delimit = false;
        key.append("{\\pntxtb ");
        appendEscapedText(key, bulletOf(block), delimit);
        key.append("}}" + ls);
        return key;
    }
    const int start = format.hasProperty(NumberingStart) ? format.intProperty(NumberingStart) : 1;
    key.append("\\pnstart" + QByteArray::number(start));
    key.append(numberingWord(kind));
    const QString prefix = numberPrefix(block);
    const QString suffix = numberSuffix(block);
    bool delimit = false;
    if (!prefix.isEmpty()) {
        key.append("{\\pntxtb ");
        appendEscapedText(key, prefix, delimit);
        key.append('}');
    }
    key.append("{\\pntxta ");
    appendEscapedText(key, suffix, delimit);
    key.append("}}" + ls);
    return key;
}

void RtfWriter::writeParagraphFormat(const QTextBlock &block)
{
    const QByteArray key = paragraphKey(block);
    if (!m_firstParagraph && key == m_paragraphKey)
        return;
    m_firstParagraph = false;
    m_paragraphKey = key;
    m_out.append("\\pard");
    m_out.append(key);
    m_delimit = !key.endsWith('}');
}

void RtfWriter::writeNumberText(const QTextBlock &block)
{
    const int kind = numberingOf(block);
    if (kind == NoNumbering) {
        m_numberKind = NoNumbering;
        return;
    }
    const QTextBlockFormat format = block.blockFormat();
    const int start = format.hasProperty(NumberingStart) ? format.intProperty(NumberingStart) : 1;
    const QTextList *list = block.textList();
    if (list)
        m_number = start + list->itemNumber(block);
    else
        m_number = kind == m_numberKind ? m_number + 1 : start;
    m_numberKind = kind;
    m_out.append("{\\pntext");
    if (kind == Bullet) {
        // A control word needs a space before a letter, digit or space only.
        const QString bullet = bulletOf(block);
        bool delimit = !bullet.isEmpty() && bullet[0].unicode() < 0x80 &&
                       (bullet[0].isLetterOrNumber() || bullet[0].isSpace());
        appendEscapedText(m_out, bullet, delimit);
        m_out.append("\\tab}");
    } else {
        const QString prefix = numberPrefix(block);
        const QString suffix = numberSuffix(block);
        bool delimit = true;
        appendEscapedText(m_out, prefix + numberText(kind, m_number) + suffix, delimit);
        m_out.append("\\tab}");
    }
    m_delimit = false;
}

void RtfWriter::writeFragment(const QTextFragment &fragment, int from, int to)
{
    const int start = std::max(from, fragment.position());
    const int end = std::min(to, fragment.position() + fragment.length());
    if (start >= end)
        return;
    const QTextCharFormat format = fragment.charFormat();
    QString text = fragment.text().mid(start - fragment.position(), end - start);
    if (format.isImageFormat()) {
        closeLink();
        for (const QChar c : std::as_const(text)) {
            if (c.unicode() == kObjectReplacement)
                writeImage(format.toImageFormat());
        }
        return;
    }
    const QString href = format.isAnchor() ? format.anchorHref() : QString();
    if (href != (m_inLink ? m_linkHref : QString())) {
        closeLink();
        if (!href.isEmpty())
            openLink(href);
    }
    writeDelta(stateOf(fragment));
    text.remove(QChar(kObjectReplacement));
    if (format.hasProperty(Footnote) && start == fragment.position()) {
        // The mark's number is the footnote's own: readers count them again.
        qsizetype digits = 0;
        while (digits < text.size() && text[digits].isDigit())
            ++digits;
        if (digits > 0) {
            writeFootnote(format);
            text.remove(0, digits);
        }
    }
    appendEscapedText(m_out, text, m_delimit);
}

void RtfWriter::writeFootnote(const QTextCharFormat &format)
{
    m_out.append("\\chftn{\\*\\footnote\\chftn\\pard\\plain ");
    const QStringList paragraphs = format.stringProperty(Footnote).split(u'\n');
    bool delimit = false;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) {
            m_out.append("\\par ");
            delimit = false;
        }
        appendEscapedText(m_out, paragraphs[i], delimit);
    }
    m_out.append('}');
    m_delimit = false;
}

void RtfWriter::writeImage(const QTextImageFormat &format)
{
    if (format.hasProperty(ObjectRtf) || format.hasProperty(ObjectName) ||
        format.hasProperty(ObjectLinkPath)) {
        writeObject(format);
        return;
    }
    const QImage image =
        imageOf(m_document->resource(QTextDocument::ImageResource, QUrl(format.name())));
    m_out.append(pictureGroup(format, image));
    m_delimit = false;
}

void RtfWriter::writeObject(const QTextImageFormat &format)
{
    m_delimit = false;
    if (format.hasProperty(ObjectRtf)) {
        m_out.append(format.property(ObjectRtf).toByteArray());
        return;
    }
    EmbeddedObject object;
    object.isLink = format.hasProperty(ObjectLinkPath);
    object.name = format.stringProperty(ObjectName);
    object.mimeType = format.stringProperty(ObjectMimeType);
    object.linkPath = format.stringProperty(ObjectLinkPath);
    object.data = format.property(ObjectData).toByteArray();
    QImage image = imageOf(m_document->resource(QTextDocument::ImageResource, QUrl(format.name())));
    if (image.isNull())
        image = placeholderImage(QSizeF(format.width(), format.height()).toSize(), object.name);
    const qreal width = format.width() > 0 ? format.width() : image.width();
    const qreal height = format.height() > 0 ? format.height() : image.height();
    m_out.append("{\\object\\objemb{\\*\\objclass ");
    m_out.append(object.isLink ? kLinkedFileClass : kEmbeddedFileClass);
    m_out.append("}\\objw" + QByteArray::number(documentPixelsToTwips(width)) + "\\objh" +
                 QByteArray::number(documentPixelsToTwips(height)) + "{\\*\\objdata");
    appendHexData(m_out, encodeObjectData(object));
    m_out.append("}{\\result");
    m_out.append(pictureGroup(format, image));
    m_out.append("}}");
}

void RtfWriter::openLink(const QString &href)
{
    m_out.append("{\\field{\\*\\fldinst{HYPERLINK \"");
    bool delimit = false;
    QString target = href;
    appendEscapedText(m_out, target.replace(u'"', QLatin1String("%22")), delimit);
    m_out.append("\"}}{\\fldrslt{");
    m_delimit = false;
    m_stateBeforeLink = m_state;
    m_inLink = true;
    m_linkHref = href;
}

void RtfWriter::closeLink()
{
    if (!m_inLink)
        return;
    m_out.append("}}}");
    m_state = m_stateBeforeLink;
    m_delimit = false;
    m_inLink = false;
}

void RtfWriter::writeDelta(const RunState &target)
{
    const RunState &now = m_state;
    if (target.font != now.font)
        writeWord("\\f", target.font);
    if (target.halfPoints != now.halfPoints)
        writeWord("\\fs", target.halfPoints);
    if (target.bold != now.bold)
        writeWord(target.bold ? "\\b" : "\\b0");
    if (target.italic != now.italic)
        writeWord(target.italic ? "\\i" : "\\i0");
    if (target.underline != now.underline)
        writeWord(underlineWord(target.underline));
    if (target.strike != now.strike)
        writeWord(target.strike ? "\\strike" : "\\strike0");
    if (target.fore != now.fore)
        writeWord("\\cf", target.fore);
    if (target.back != now.back || target.shading != now.shading) {
        if (now.back && now.shading != target.shading)
            writeWord(now.shading ? "\\chcbpat0" : "\\highlight0");
        if (target.back)
            writeWord(target.shading ? "\\chcbpat" : "\\highlight", target.back);
        else if (now.back && now.shading == target.shading)
            writeWord(now.shading ? "\\chcbpat0" : "\\highlight0");
    }
    if (target.caps != now.caps) {
        if (now.caps)
            writeWord(now.caps == 1 ? "\\caps0" : "\\scaps0");
        if (target.caps)
            writeWord(target.caps == 1 ? "\\caps" : "\\scaps");
    }
    if (target.script != now.script)
        writeWord(target.script == 2 ? "\\super" : target.script == 1 ? "\\sub" : "\\nosupersub");
    if (target.protect != now.protect)
        writeWord(target.protect ? "\\protect" : "\\protect0");
    if (target.hidden != now.hidden)
        writeWord(target.hidden ? "\\v" : "\\v0");
    if (target.disabled != now.disabled) {
        m_out.append(target.disabled ? "{\\*\\bwdisabled}" : "{\\*\\bwdisabled0}");
        m_delimit = false;
    }
    m_state = target;
}

QString RtfWriter::familyOf(const QTextCharFormat &format) const
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    const QString family = format.stringProperty(QTextFormat::FontFamily);
    return family.isEmpty() ? m_document->defaultFont().family() : family;
}

qreal RtfWriter::pointSizeOf(const QTextCharFormat &format) const
{
    if (format.fontPointSize() > 0)
        return format.fontPointSize();
    if (format.hasProperty(QTextFormat::FontPixelSize))
        return format.intProperty(QTextFormat::FontPixelSize) * 0.75; // 96 pixels to the inch
    const qreal fallback = m_document->defaultFont().pointSizeF();
    return fallback > 0 ? fallback : 12.0;
}

int RtfWriter::colorIndexOf(const QTextCharFormat &format, int brushProperty,
                            int autoProperty) const
{
    if (format.boolProperty(autoProperty))
        return 0;
    const QBrush brush = format.brushProperty(brushProperty);
    if (brush.style() == Qt::NoBrush)
        return 0;
    return m_colorIndex.value(brush.color().rgb() | 0xFF000000u, 0);
}

const RtfWriter::RunState &RtfWriter::stateOf(const QTextFragment &fragment)
{
    // Fragments share a few formats; work each one out once.
    const int index = fragment.charFormatIndex();
    auto it = m_runStates.find(index);
    if (it == m_runStates.end())
        it = m_runStates.insert(index, stateOf(fragment.charFormat()));
    return *it;
}

RtfWriter::RunState RtfWriter::stateOf(const QTextCharFormat &format) const
{
    RunState state;
    state.font = m_fontIndex.value(familyOf(format), 0);
    state.halfPoints = std::clamp(qRound(pointSizeOf(format) * 2), 2, 3276);
    state.bold = format.fontWeight() > QFont::Medium;
    state.italic = format.fontItalic();
    int underline = format.underlineStyle();
    if (underline == QTextCharFormat::NoUnderline &&
        format.boolProperty(QTextFormat::FontUnderline))
        underline = QTextCharFormat::SingleUnderline;
    state.underline = underline == QTextCharFormat::SpellCheckUnderline ? 0 : underline;
    state.strike = format.fontStrikeOut();
    state.fore = colorIndexOf(format, QTextFormat::ForegroundBrush, AutoColor);
    state.back = colorIndexOf(format, QTextFormat::BackgroundBrush, AutoBackColor);
    state.shading = state.back != 0 && format.boolProperty(Shading);
    if (format.hasProperty(QTextFormat::FontCapitalization)) {
        const auto caps = format.fontCapitalization();
        state.caps = caps == QFont::AllUppercase ? 1 : caps == QFont::SmallCaps ? 2 : 0;
    }
    const auto align = format.verticalAlignment();
    state.script = align == QTextCharFormat::AlignSuperScript ? 2
                   : align == QTextCharFormat::AlignSubScript ? 1
                                                              : 0;
    state.protect = format.boolProperty(Protected);
    state.hidden = format.boolProperty(Hidden);
    state.disabled = format.boolProperty(Disabled);
    return state;
}

} // namespace bw::rtf
