#pragma once
// Fixed texts of the import and export commands of a document window.

#include <QString>

namespace bw::io {

inline const QString kInformationCaption = QStringLiteral("Information");
inline const QString kWarningCaption = QStringLiteral("Warning");
inline const QString kErrorCaption = QStringLiteral("Error");

inline const QString kImportFormatMessage =
    QStringLiteral("Your text file must have the flowing format:  Name;Description");
inline const QString kImportFilter = QStringLiteral(
    "Comma Separated Values (*.csv)|*.csv|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
inline const QString kImportCaption = QStringLiteral("Import");
inline const QString kExportCaption = QStringLiteral("Export");
inline const QString kExportCompleted = QStringLiteral("Export is completed.");
inline const QString kExportNotCompleted = QStringLiteral("Export is not completed.");
inline const QString kDirectoryNotExists = QStringLiteral("Directory Not Exists: ");
inline const QString kBrowseForFolderCaption = QStringLiteral("Browse For Folder");
inline const QString kChooseFolderTitle = QStringLiteral("Choose a Folder:");

} // namespace bw::io
