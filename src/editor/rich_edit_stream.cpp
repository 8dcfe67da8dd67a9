// RichEdit: loading and saving RTF and plain text.

#include "editor/rich_edit.h"

#include "rtf/rtf.h"
#include "rtf/text_encoding.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocumentFragment>

namespace bw {

namespace {

// UTF-8, or Windows-1252 when the bytes are not valid UTF-8. Bytes with a
// NUL in them are no text: nullopt.
std::optional<QString> decodeText(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;
    return rtf::plainTextFromBytes(bytes);
}

bool readInto(const QByteArray &bytes, StreamFormat format, QTextDocument *document)
{
    if (format == StreamFormat::Rtf) {
        if (!rtf::looksLikeRtf(bytes))
            return false;
        try {
            rtf::readRtf(bytes, document);
            return true;
        } catch (const rtf::RtfError &) {
            return false;
        }
    }
    const auto text = decodeText(bytes);
    if (!text)
        return false;
    document->setPlainText(*text);
    return true;
}

StreamFormat other(StreamFormat format)
{
    return format == StreamFormat::Rtf ? StreamFormat::PlainText : StreamFormat::Rtf;
}

QString plainTextOf(const QTextDocumentFragment &fragment)
{
    QString text = fragment.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

} // namespace

StreamFormat streamFormatForFile(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower() == QLatin1String("txt") ? StreamFormat::PlainText
                                                                          : StreamFormat::Rtf;
}

void RichEdit::loadFromStream(QIODevice *device, StreamFormat format, bool selectionOnly)
{
    if (!device || !device->isReadable())
        throw StreamError(kLoadStreamFailed);
    const QByteArray bytes = device->readAll();
    if (selectionOnly)
        loadIntoSelection(bytes, format);
    else
        loadDocument(bytes, format);
}

void RichEdit::loadDocument(const QByteArray &bytes, StreamFormat format)
{
    if (!allowChange(0, textLength()))
        return;
    auto fresh = std::make_unique<QTextDocument>();
    prepareDocument(fresh.get());
    if (!readInto(bytes, format, fresh.get())) {
        fresh = std::make_unique<QTextDocument>();
        prepareDocument(fresh.get());
        if (!readInto(bytes, other(format), fresh.get()))
            throw StreamError(kLoadStreamFailed);
    }
    adoptDocument(fresh.release());
    emit change();
}

void RichEdit::loadIntoSelection(const QByteArray &bytes, StreamFormat format)
{
    if (isReadOnly() || !allowSelectionChange())
        return;
    QTextCursor cursor = textCursor();
    const auto insert = [&](StreamFormat f) {
        if (f == StreamFormat::Rtf) {
            if (!rtf::looksLikeRtf(bytes))
                return false;
            try {
                rtf::insertRtf(bytes, cursor);
                return true;
            } catch (const rtf::RtfError &) {
                return false;
            }
        }
        const auto text = decodeText(bytes);
        if (text)
            cursor.insertText(*text);
        return text.has_value();
    };
    cursor.beginEditBlock();
    const bool done = insert(format) || insert(other(format));
    cursor.endEditBlock();
    if (!done)
        throw StreamError(kLoadStreamFailed);
    setTextCursor(cursor);
}

QByteArray RichEdit::streamBytes(StreamFormat format, bool selectionOnly) const
{
    const QTextCursor cursor = textCursor();
    if (format == StreamFormat::PlainText) {
        const QTextDocumentFragment fragment =
            selectionOnly ? cursor.selection() : QTextDocumentFragment(document());
        return plainTextOf(fragment).toUtf8();
    }
    try {
        return selectionOnly
                   ? rtf::writeRtf(document(), cursor.selectionStart(), cursor.selectionEnd())
                   : rtf::writeRtf(document());
    } catch (const rtf::RtfError &) {
        throw StreamError(kSaveStreamFailed);
    }
}

void RichEdit::saveToStream(QIODevice *device, StreamFormat format, bool selectionOnly) const
{
    if (!device || !device->isWritable())
        throw StreamError(kSaveStreamFailed);
    const QByteArray bytes = streamBytes(format, selectionOnly);
    if (device->write(bytes) != bytes.size())
        throw StreamError(kSaveStreamFailed);
}

void RichEdit::loadFromFile(const QString &fileName, StreamFormat format)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw StreamError(kLoadStreamFailed);
    loadFromStream(&file, format);
}

void RichEdit::saveToFile(const QString &fileName, StreamFormat format, bool selectionOnly) const
{
    // The old file stays until the new one is complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw StreamError(kSaveStreamFailed);
    saveToStream(&file, format, selectionOnly);
    if (!file.commit())
        throw StreamError(kSaveStreamFailed);
}

} // namespace bw
