#pragma once
// Fixed texts of the editor's document, insert and search commands.

#include "document/document_strings.h" // kInformationCaption

#include <QString>

namespace bw::notes {

// Only what the editor can read: no metafiles (.emf, .wmf), which Qt cannot draw.
inline const QString kPictureFilter = QStringLiteral(
    "All Picture Files (*.gif;*.jpg;*.jpeg;*.bmp;*.ico)|*.gif;*.jpg;*.jpeg;*.bmp;"
    "*.ico|All Files (*.*)|*.*|CompuServe Graphics Interchange (*.gif)|*.gif|JPEG "
    "Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmap (*.bmp)|*.bmp|Icon (*.ico)|*.ico");
inline const QString kDocumentFilter =
    QStringLiteral("Rich Text (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
inline const QString kDocumentDefaultExt = QStringLiteral("rtf");
inline const QString kOpenCaption = QStringLiteral("Open");
inline const QString kSaveAsCaption = QStringLiteral("Save As");

inline const QString kErrorSendingMail = QStringLiteral("Error sending mail!");
// Longest line of a mail body; longer display lines are cut.
inline constexpr int kMailLineLimit = 4096;

// %1: the object's name, %2: where its copy is kept.
inline const QString kObjectCopyNotPutBack =
    QStringLiteral("The changes to \"%1\" could not be put back into the document, which no "
                   "longer holds the object or cannot be changed. They are kept in \"%2\".");

inline const QString kTextNotFound = QStringLiteral("Text \"%1\" not found.");
inline const QString kGotoLineCaption = QStringLiteral("Go to Line Number");
inline const QString kGotoLinePrompt = QStringLiteral("Enter Line Number");

} // namespace bw::notes
