#include "editor/open_confirmation.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace bw {

namespace {

// Types the desktop shows in a viewer or an editor and never runs.
bool isPlainDocument(const QMimeType &type)
{
    static const QStringList kTypes{
        QStringLiteral("text/plain"),
        QStringLiteral("text/csv"),
        QStringLiteral("text/markdown"),
        QStringLiteral("application/rtf"),
        QStringLiteral("application/pdf"),
        QStringLiteral("image/png"),
        QStringLiteral("image/jpeg"),
        QStringLiteral("image/gif"),
        QStringLiteral("image/bmp"),
        QStringLiteral("image/webp"),
        QStringLiteral("image/tiff"),
        QStringLiteral("application/vnd.oasis.opendocument.text"),
        QStringLiteral("application/vnd.oasis.opendocument.spreadsheet"),
        QStringLiteral("application/vnd.oasis.opendocument.presentation"),
    };
    return kTypes.contains(type.name());
}

QMimeType fileType(const EmbeddedObject &object)
{
    const QMimeDatabase types;
    if (object.isLink())
        return types.mimeTypeForFile(object.linkPath);
    return types.mimeTypeForFileNameAndData(objectFileName(object), object.data);
}

} // namespace

QString objectFileName(const EmbeddedObject &object)
{
    QString safe = object.name;
    safe.replace(u'/', u'_');
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String(".."))
        safe = QStringLiteral("object");
    return safe;
}

bool opensWithoutQuestion(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                             scheme == QLatin1String("mailto"));
}

bool opensWithoutQuestion(const EmbeddedObject &object)
{
    if (object.isLink() && QFileInfo(object.linkPath).isExecutable())
        return false;
    return isPlainDocument(fileType(object));
}

QString openQuestion(const QUrl &url)
{
    const QString shown = url.isLocalFile() ? url.toLocalFile() : url.toDisplayString();
    return kOpenLinkQuestion.arg(shown);
}

QString openQuestion(const EmbeddedObject &object)
{
    const QMimeType type = fileType(object);
    const QString kind = type.comment().isEmpty() ? type.name() : type.comment();
    const QString name = object.isLink() ? object.linkPath : object.name;
    return kOpenObjectQuestion.arg(name, kind);
}

} // namespace bw
