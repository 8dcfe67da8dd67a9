#pragma once
// What a click on a link or a double click on an object may open without a
// question. Web pages and mail open at once; anything else (local files,
// launchers, scripts, unknown schemes, objects whose type is not a plain
// document) may start a program, so the user is asked first, with what will
// be opened named in the question.

#include "editor/embedded_object.h"

#include <QString>
#include <QUrl>

namespace bw {

inline const QString kOpenConfirmCaption = QStringLiteral("Confirm");
// %1: the link as it will be opened (a local file by its path).
inline const QString kOpenLinkQuestion =
    QStringLiteral("Open \"%1\"?\n\nThis is not a web or mail link; what it opens may run a "
                   "program.");
// %1: the object's name, %2: its file type as the desktop describes it.
inline const QString kOpenObjectQuestion =
    QStringLiteral("Open the object \"%1\" (%2)?\n\nA file of this type may run a program.");

// http, https and mailto links.
bool opensWithoutQuestion(const QUrl &url);
// Embedded or linked files of a plain document type (text, pictures, PDF,
// RTF, OpenDocument), judged by name and content as the desktop judges them;
// an executable linked file never.
bool opensWithoutQuestion(const EmbeddedObject &object);

QString openQuestion(const QUrl &url);
QString openQuestion(const EmbeddedObject &object);

// The name an embedded object's copy gets on disk.
QString objectFileName(const EmbeddedObject &object);

} // namespace bw
