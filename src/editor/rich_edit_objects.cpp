// RichEdit: pictures, embedded and linked objects, paste special.

#include "editor/rich_edit.h"

#include "editor/clipboard_state.h"
#include "editor/insert_object_dialog.h"
#include "editor/object_copies.h"
#include "editor/open_confirmation.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"
#include "rtf/text_properties.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QUrl>

namespace bw {

namespace {

// The paste special formats, under the names the user is shown.
const QString kEmbeddedObject = QStringLiteral("Embedded Object");
const QString kLinkSource = QStringLiteral("Link Source");
const QString kRichText = QStringLiteral("Rich Text Format");
const QString kRichTextNoObjects = QStringLiteral("Rich Text Format Without Objects");
const QString kUnformattedText = QStringLiteral("Unformatted text");
const QString kBitmap = QStringLiteral("Windows Bitmap");

QTextCharFormat formatAt(const QTextDocument *document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

QTextCursor selecting(QTextDocument *document, int position)
{
    QTextCursor cursor(document);
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor;
}

// Removes the pictures and objects between start and end (an edit is open).
void removeObjects(QTextCursor &cursor, int start, int end)
{
    QTextDocument *document = cursor.document();
    for (int position = end - 1; position >= start; --position) {
        if (document->characterAt(position) != QChar::ObjectReplacementCharacter)
            continue;
        QTextCursor at(document);
        at.setPosition(position);
        at.setPosition(position + 1, QTextCursor::KeepAnchor);
        at.removeSelectedText();
    }
}

} // namespace

void RichEdit::insertPictureAt(QTextCursor &cursor, const Picture &picture)
{
    const QString name = QStringLiteral("bw-picture:%1").arg(++m_pictureCount);
    document()->addResource(QTextDocument::ImageResource, QUrl(name), picture.image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(picture.image.width());
    format.setHeight(picture.image.height());
    format.setProperty(rtf::PictureFormat, picture.format);
    format.setProperty(rtf::PictureData, picture.bytes);
    cursor.insertImage(format);
}

void RichEdit::insertPicture(const Picture &picture)
{
    if (isReadOnly() || picture.image.isNull() || !allowSelectionChange())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    insertPictureAt(cursor, picture);
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void RichEdit::insertObject(const EmbeddedObject &object)
{
    if (isReadOnly() || !allowSelectionChange())
        return;
    QTextCursor cursor = textCursor();
    const QString name = QStringLiteral("bw-object:%1").arg(++m_pictureCount);
    const QTextImageFormat format = objectImageFormat(object, name);
    document()->addResource(QTextDocument::ImageResource, QUrl(name),
                            QImage::fromData(format.property(rtf::PictureData).toByteArray()));
    cursor.beginEditBlock();
    const int position = cursor.selectionStart();
    cursor.insertImage(format);
    cursor.endEditBlock();
    // The new object is selected, as an inserted object is.
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

bool RichEdit::insertObjectDialog(PromptService &prompts)
{
    InsertObjectDialog dialog(prompts, this);
    if (prompts.exec(&dialog) != QDialog::Accepted)
        return false;
    const EmbeddedObject object = dialog.object();
    const int position = selectionStart();
    insertObject(object);
    // A new, empty file of a type we chose runs nothing: no question.
    if (dialog.createsNew() && objectAt(position))
        openObjectFile(position);
    return true;
}

std::optional<EmbeddedObject> RichEdit::objectAt(int position) const
{
    if (position < 0 || position >= textLength())
        return std::nullopt;
    return objectFromFormat(formatAt(document(), position));
}

std::optional<EmbeddedObject> RichEdit::selectedObject(int *position) const
{
    const QTextCursor cursor = textCursor();
    if (cursor.selectionEnd() - cursor.selectionStart() != 1)
        return std::nullopt;
    if (position)
        *position = cursor.selectionStart();
    return objectAt(cursor.selectionStart());
}

QStringList RichEdit::objectVerbs() const
{
    return {tr("&Open"), tr("Save &As...")};
}

void RichEdit::runObjectVerb(int verb, int position, PromptService &prompts)
{
    if (verb == 0)
        openObject(position);
    else if (verb == 1)
        saveObjectAs(position, prompts);
}

PromptService &RichEdit::prompts()
{
    static DialogPromptService desktop;
    return m_prompts ? *m_prompts : desktop;
}

bool RichEdit::confirmOpen(const QString &question)
{
    return prompts().message(this, kOpenConfirmCaption, question, PromptService::Icon::Question,
                             PromptService::Yes | PromptService::No,
                             PromptService::No) == PromptService::Yes;
}

bool RichEdit::openLink(const QUrl &url)
{
    if (!opensWithoutQuestion(url) && !confirmOpen(openQuestion(url)))
        return false;
    return m_openUrl(url);
}

void RichEdit::openObject(int position)
{
    const auto object = objectAt(position);
    if (!object)
        return;
    if (!opensWithoutQuestion(*object) && !confirmOpen(openQuestion(*object)))
        return;
    openObjectFile(position);
}

// An embedded file goes to the desktop's program as a copy that lives as
// long as the control, watched so that what the program saves comes back.
void RichEdit::openObjectFile(int position)
{
    const auto object = objectAt(position);
    if (!object)
        return;
    QString path = object->linkPath;
    if (!object->isLink()) {
        if (!m_objectCopies) {
            m_objectCopies = new ObjectCopies(this);
            guardedConnect(m_objectCopies, &ObjectCopies::changed, this,
                           &RichEdit::objectCopyChanged);
        }
        // A caret before the object follows the edits around it.
        QTextCursor at(document());
        at.setPosition(position);
        path = m_objectCopies->add(*object, at);
    }
    if (!m_openUrl(QUrl::fromLocalFile(path)))
        throw std::runtime_error(
            QStringLiteral("No program opens \"%1\".").arg(object->name).toStdString());
}

bool RichEdit::applyObjectCopy(const QString &path)
{
    const ObjectCopies::Copy *copy = m_objectCopies ? m_objectCopies->find(path) : nullptr;
    if (!copy)
        return false;
    const auto bytes = m_objectCopies->read(path);
    if (!bytes)
        return false;
    // The object is still where it was, with a version it had from this copy.
    const QTextCursor &at = copy->at;
    const int position = at.position();
    if (at.isNull() || at.document() != document())
        return false;
    const auto object = objectAt(position);
    if (!object || object->isLink() || object->name != copy->name ||
        !copy->versions.contains(object->data))
        return false;
    if (*bytes == object->data)
        return true;
    if (!allowChange(position, position + 1))
        return false;
    QTextCursor cursor = selecting(document(), position);
    QTextCharFormat format = cursor.charFormat();
    format.setProperty(rtf::ObjectData, *bytes);
    cursor.beginEditBlock();
    cursor.setCharFormat(format);
    cursor.endEditBlock();
    m_objectCopies->accepted(path, *bytes);
    return true;
}

QString RichEdit::keepObjectCopy(const QString &path)
{
    return m_objectCopies ? m_objectCopies->keep(path) : path;
}

QString RichEdit::objectCopyName(const QString &path) const
{
    const ObjectCopies::Copy *copy = m_objectCopies ? m_objectCopies->find(path) : nullptr;
    return copy ? copy->name : QString();
}

void RichEdit::checkObjectCopies()
{
    if (m_objectCopies)
        m_objectCopies->checkNow();
}

bool RichEdit::saveObjectAs(int position, PromptService &prompts)
{
    const auto object = objectAt(position);
    if (!object)
        return false;
    PromptService::FileRequest request;
    request.caption = tr("Save As");
    request.fileName = object->name;
    request.filter = QStringLiteral("All Files (*.*)|*.*");
    const auto answer = prompts.saveFile(this, request);
    if (!answer)
        return false;
    const QByteArray bytes = object->contents();
    QSaveFile file(answer->fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(QStringLiteral("Cannot write \"%1\": %2.")
                                     .arg(answer->fileName, file.errorString())
                                     .toStdString());
    return true;
}

QStringList RichEdit::pasteSpecialFormats() const
{
    return ClipboardState::instance().contents().pasteSpecialFormats;
}

QStringList pasteSpecialFormatsOf(const QMimeData *data)
{
    QStringList formats;
    const bool rtf = data->hasFormat("text/rtf") || data->hasFormat("application/rtf");
    const bool localFile =
        data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile();
    if (localFile)
        formats << kEmbeddedObject << kLinkSource;
    if (rtf)
        formats << kRichText << kRichTextNoObjects;
    if (data->hasText())
        formats << kUnformattedText;
    if (data->hasImage())
        formats << kBitmap;
    return formats;
}

void RichEdit::pasteSpecial(const QString &formatName)
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data || isReadOnly())
        return;
    UndoKindTracker::Scope scope(m_undo, UndoKind::Paste);
    if (formatName == kEmbeddedObject || formatName == kLinkSource) {
        insertObject(objectFromFile(data->urls().first().toLocalFile(), formatName == kLinkSource));
    } else if (formatName == kRichText) {
        paste();
    } else if (formatName == kRichTextNoObjects || formatName == kUnformattedText) {
        if (!allowSelectionChange())
            return;
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        if (formatName == kRichTextNoObjects) {
            const int start = cursor.selectionStart();
            insertMime(data, cursor);
            removeObjects(cursor, start, cursor.position());
        } else
            insertPlainText(cursor, data->text());
        cursor.endEditBlock();
        setTextCursor(cursor);
    } else if (formatName == kBitmap) {
        insertPicture(pictureFromImage(qvariant_cast<QImage>(data->imageData())));
    }
}

} // namespace bw
