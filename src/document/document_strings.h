#pragma once
// Fixed texts of the document window: prompts, dialog set-up, bar captions and
// status-bar texts.

#include <QString>

namespace bw::notes {

inline const QString kUntitledPrefix = QStringLiteral("NoName");
// A save onto the file of another document window (%1, the chosen name).
inline const QString kFileOpenElsewhere = QStringLiteral(
    "%1\nThis file is open in another window.\nClose that window or choose another name.");
// The window's own file changed on disk since it was read or written here
// (%1, the file name).
inline const QString kFileChangedOnDisk = QStringLiteral(
    "%1\nThis file was changed by another program.\nDo you want to overwrite it with this "
    "window's items?");
// Another program changed the window's file in place (%1, the file name):
// the descriptions left in it are gone, and no save writes a table without them.
inline const QString kFileChangedInPlace = QStringLiteral(
    "%1\nAnother program changed this file while it was open here. The item descriptions "
    "this window still reads from the file are gone, so nothing was saved.");
// An automatic save failed (%1, the error); it rests until a save succeeds.
inline const QString kAutoSavePaused =
    QStringLiteral("%1\nAutomatic save of this file is paused until it is saved.");

// The save dialog of a notes file.
inline const QString kNotesFileFilter =
    QStringLiteral("Client DataSet (*.cds)|*.cds|All Files (*.*)|*.*");
inline const QString kNotesFileDefaultExt = QStringLiteral("cds");

// Header above the folder tree.
inline const QString kFoldersHeader = QStringLiteral(" Folders");

// Toolbar captions.
inline const QString kRecordBar1Caption = QStringLiteral("Record Bar 1");
inline const QString kRecordBar2Caption = QStringLiteral("Record Bar 2");
inline const QString kEditBarCaption = QStringLiteral("Edit Bar");
inline const QString kFormatBar1Caption = QStringLiteral("Format Bar1");
inline const QString kFormatBar2Caption = QStringLiteral("Format Bar2");

// Status bar.
inline const QString kStatusItems = QStringLiteral("Items: %1");
inline const QString kStatusBrowse = QStringLiteral("State: Browse");
inline const QString kStatusEdit = QStringLiteral("State: Edit");
inline const QString kStatusInsert = QStringLiteral("State: Insert");
inline const QString kStatusOther = QStringLiteral("State: ...");
inline const QString kStatusCapsLock = QStringLiteral(" CAP");
// "Line: %3d  Col: %3d"
QString lineColumnText(int line, int column);

// Undo and redo captions: the prefix followed by the name of the undo kind.
inline const QString kUndoCaption = QStringLiteral("&Undo ");
inline const QString kRedoCaption = QStringLiteral("&Redo ");
// Name of an undo kind of the editor: 1 typing, 2 delete, 3 drag and drop,
// 4 cut, 5 paste; empty for anything else.
QString undoTypeName(int kind);

} // namespace bw::notes

namespace bw::notes {

// Captions of the message boxes.
inline const QString kConfirmCaption = QStringLiteral("Confirm");
inline const QString kErrorCaption = QStringLiteral("Error");
inline const QString kWarningCaption = QStringLiteral("Warning");

// A file whose items share an ID opens read-only: %1 the file, %2 the IDs.
inline const QString kDuplicateIdsReadOnly =
    QStringLiteral("The file %1 holds items that share an ID (%2). The folder tree shows one "
                   "item for each ID, so the file is opened read-only: no command can change "
                   "or delete an item you were not shown.");
// The same for items without an ID or Parent: %1 the file, %2 what was found
// ("3 items without an ID", "items that share an ID (5) and 1 item without a Parent").
inline const QString kMissingKeysReadOnly =
    QStringLiteral("The file %1 holds %2. The folder tree needs an ID and a Parent for each item "
                   "and shows one item for each ID, so the file is opened read-only: no command "
                   "can change or delete an item you were not shown.");

// A file with items the folder tree cannot show one by one (shared IDs, a
// missing ID or Parent) opens read-only: the warning names the file and what
// it found. Only shared IDs give kDuplicateIdsReadOnly.
QString unsafeKeysReadOnly(const QString &file, const QList<qint32> &sharedIds, int withoutId,
                           int withoutParent);

inline const QString kInformationCaption = QStringLiteral("Information");

// The character count (%1, the document's length).
inline const QString kCountCharsMessage = QStringLiteral("The document has %1 characters.");

} // namespace bw::notes
