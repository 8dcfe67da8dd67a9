#pragma once
// Fixed texts of the notes table and of reading and writing notes files.

#include <QString>

namespace bw::notes {

inline const QString kFirstItemName = QStringLiteral("This Is Your First Item");
inline const QString kFirstItemDescription = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
    "Verdana;}{\\f1\\fnil Verdana;}}\\viewkind4\\uc1\\pard\\f0\\fs16 This is a description "
    "for your first item.\\par}");
inline const QString kFirstItemId = QStringLiteral("0");
inline const QString kFirstItemParent = QStringLiteral("-1");
inline const QString kCannotReadWriteFile = QStringLiteral("Cannot read/write the file!");

} // namespace bw::notes
