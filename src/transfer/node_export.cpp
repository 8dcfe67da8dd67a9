#include "transfer/node_export.h"

#include "notes/notes_table.h"
#include "rtf/rtf.h"
#include "rtf/text_encoding.h"
#include "transfer/file_write.h"
#include "transfer/io_error.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

#include <sys/stat.h>

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

// Cuts `base` until base + tail fits, never inside a character (a surrogate
// pair stays whole), and drops the blanks the cut leaves at its end.
QString cutBaseToFit(QString base, const QString &tail)
{
    qsizetype bytes = base.toUtf8().size() + tail.toUtf8().size();
    while (bytes > kMaxFileNameBytes && !base.isEmpty()) {
        const qsizetype cut = base.size() >= 2 && base.back().isLowSurrogate() ? 2 : 1;
        bytes -= base.right(cut).toUtf8().size();
        base.chop(cut);
    }
    while (!base.isEmpty() && base.back().unicode() <= ' ')
        base.chop(1);
    return base + tail;
}

// Cuts the name before its extension until it fits.
QString cutToFit(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    return cutBaseToFit(name.left(name.size() - ext.size()), ext);
}

// The files one export has written, known by what the disk calls them
// (device and inode): a later name that reaches one of them again, spelled
// the same, in another case on a disk that ignores case, or through a link,
// is taken, so no item's file replaces another's.
class WrittenFiles
{
public:
    explicit WrittenFiles(const QString &folder) : m_folder(folder) {}

    // The name itself when it reaches no file of this export, else the name
    // with " (2)", " (3)", ... before its extension `ext`.
    QString distinctName(const QString &name, const QString &ext) const
    {
        if (!taken(name))
            return name;
        const QString tail = name.endsWith(ext) ? ext : QString();
        const QString base = name.left(name.size() - tail.size());
        for (int n = 2;; ++n) {
            const QString candidate = cutBaseToFit(base, QStringLiteral(" (%1)").arg(n) + tail);
            if (!taken(candidate))
                return candidate;
        }
    }

    void add(const QString &name)
    {
        if (const auto id = fileId(name))
            m_files.insert(*id);
    }

private:
    using FileId = std::pair<dev_t, ino_t>;

    std::optional<FileId> fileId(const QString &name) const
    {
        struct stat info;
        if (::stat(QFile::encodeName(m_folder + name).constData(), &info) != 0)
            return std::nullopt;
        return FileId{info.st_dev, info.st_ino};
    }

    bool taken(const QString &name) const
    {
        if (m_files.empty())
            return false;
        const auto id = fileId(name);
        return id && m_files.count(*id) > 0;
    }

    QString m_folder;
    std::set<FileId> m_files;
};

// The font of text that names none, the same in the window and in bwnotes.
QFont exportDefaultFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(10);
    return font;
}

// UTF-8, or Windows-1252 when the bytes are not valid UTF-8, as the editor
// reads plain text; a NUL is no character of a document.
QString decodePlainText(const QByteArray &bytes)
{
    QString text = rtf::plainTextFromBytes(bytes);
    text.remove(QChar(0));
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

QString convertedFileName(const QString &fileName, const QString &ext)
{
    const QString converted = toValidFileName(fileName);
    if (converted.size() > ext.size() && converted.endsWith(ext))
        return converted;
    return kNeutralFileName + ext;
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
    WrittenFiles written(folder);
    dataset::FileReadOperation reads(table);
    for (table.first(); !table.eof(); table.next()) {
        const QString fileName = table.asString(notes::kFieldName) + ext;
        const QByteArray description = table.asBytes(notes::kFieldDescription);
        observer.exporting(fileName);
        QString target;
        if (isValidFileName(fileName)) {
            target = written.distinctName(fileName, ext);
            if (target != fileName)
                observer.renamed(fileName, target);
        } else {
            const QString converted = written.distinctName(convertedFileName(fileName, ext), ext);
            if (observer.convert(fileName, converted))
                target = converted;
        }
        if (!target.isEmpty()) {
            writeFileBytes(folder + target, nodeFileBytes(description, nodeFileKind(target)));
            written.add(target);
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
