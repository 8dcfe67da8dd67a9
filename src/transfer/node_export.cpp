#include "transfer/node_export.h"

#include "notes/notes_table.h"
#include "rtf/code_page.h"
#include "rtf/rtf.h"
#include "transfer/file_write.h"
#include "transfer/io_error.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QTextDocument>

#include <algorithm>

namespace bw::io {

namespace {

const QString kInvalidChars = QStringLiteral("\"*/:<>?\\|");
// The longest file name Linux file systems take, in bytes of UTF-8.
constexpr qsizetype kMaxFileNameBytes = 255;

// A control character (NUL, line breaks, escape, DEL, C1) has no place in a
// file name: a NUL would even end the name the file system sees.
bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control;
}

bool isInvalidChar(QChar c)
{
    return kInvalidChars.contains(c) || isControl(c);
}

bool tooLong(const QString &name)
{
    return name.toUtf8().size() > kMaxFileNameBytes;
}

// Cuts the name before its extension until it fits, never inside a
// character (a surrogate pair stays whole), and drops the blanks the cut
// leaves at its end.
QString cutToFit(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    QString base = name.left(name.size() - ext.size());
    qsizetype bytes = name.toUtf8().size();
    while (bytes > kMaxFileNameBytes && !base.isEmpty()) {
        const qsizetype cut = base.size() >= 2 && base.back().isLowSurrogate() ? 2 : 1;
        bytes -= base.right(cut).toUtf8().size();
        base.chop(cut);
    }
    while (!base.isEmpty() && base.back().unicode() <= ' ')
        base.chop(1);
    return base + ext;
}

// The font of text that names none, the same in the window and in bwnotes.
QFont exportDefaultFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(10);
    return font;
}

// UTF-8, or Windows-1252 when the bytes are not valid UTF-8; line breaks as
// the editor keeps them.
QString decodePlainText(const QByteArray &bytes)
{
    // (A stateless decoder would keep no error flag.)
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        rtf::CodePageDecoder decoder;
        const rtf::CodePageDecoder::Table &table = decoder.table(1252);
        text = QString(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            text[i] = QChar(table[static_cast<unsigned char>(bytes[i])]);
    }
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    text.remove(QChar(0));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

void readDescription(const QByteArray &description, QTextDocument &document)
{
    if (rtf::looksLikeRtf(description)) {
        try {
            rtf::readRtf(description, &document);
            return;
        } catch (const rtf::RtfError &) {
            // Not RTF after all: the editor shows it as plain text.
        }
    }
    document.setPlainText(decodePlainText(description));
}

} // namespace

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

bool isValidFileName(const QString &text)
{
    if (text.isEmpty())
        return true;
    if (trimBlanks(text) != text || text.startsWith(QLatin1Char('.')) || tooLong(text))
        return false;
    return std::none_of(text.begin(), text.end(), isInvalidChar);
}

QString toValidFileName(const QString &text)
{
    QString result = trimBlanks(text);
    result.removeIf(isInvalidChar);
    qsizetype dots = 0;
    while (dots < result.size() && result.at(dots) == QLatin1Char('.'))
        ++dots;
    result.remove(0, dots);
    return tooLong(result) ? cutToFit(result) : result;
}

QString conversionQuestion(const QString &fileName, const QString &converted)
{
    return QStringLiteral("\" ") + fileName +
           QStringLiteral(" \" is not a valid file name. Do you want to convert it to valid "
                          "file name: \" ") +
           converted + QStringLiteral(" \" ?");
}

NodeFileKind nodeFileKind(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0
               ? NodeFileKind::PlainText
               : NodeFileKind::Rtf;
}

QByteArray nodeFileBytes(const QByteArray &description, NodeFileKind kind)
{
    QTextDocument document;
    document.setDefaultFont(exportDefaultFont());
    document.setUndoRedoEnabled(false);
    if (!description.isEmpty())
        readDescription(description, document);
    if (kind == NodeFileKind::Rtf) {
        try {
            return rtf::writeRtf(&document);
        } catch (const rtf::RtfError &error) {
            throw IoError(QString::fromStdString(error.what()));
        }
    }
    // The whole document's text as the editor gives it (a fragment of the
    // whole document would copy it first).
    QString text = document.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text.toUtf8();
}

NodeExportResult exportNodes(dataset::ClientDataSet &table, const QString &folder,
                             const QString &ext, NodeExportObserver &observer)
{
    NodeExportResult result;
    dataset::BookmarkKeeper keep(table);
    dataset::FileReadOperation reads(table);
    for (table.first(); !table.eof(); table.next()) {
        const QString fileName = table.asString(notes::kFieldName) + ext;
        const QByteArray description = table.asBytes(notes::kFieldDescription);
        observer.exporting(fileName);
        QString target = fileName;
        if (!isValidFileName(fileName)) {
            const QString converted = toValidFileName(fileName);
            target = observer.convert(fileName, converted) ? converted : QString();
        }
        if (!target.isEmpty()) {
            writeFileBytes(folder + target, nodeFileBytes(description, nodeFileKind(target)));
            ++result.written;
        }
        if (!observer.advance()) {
            result.cancelled = true;
            break;
        }
    }
    reads.finish();
    return result;
}

} // namespace bw::io
