#pragma once
// The program's string table. Entries keep the numbers of the program's
// original string resources where it had them; messages of our own follow.
// Add an entry here and its text in app_strings.cpp.

#include <QString>

namespace bw {

enum class StrId : int {
    // Tips of the day: eleven consecutive entries, see tipOfTheDay().
    TipFirst = 65091,
    TipLast = 65101,
    AuthorEmail = 65136,
    HomePageAddress = 65137,
    OneCopyMutexName = 65138,
    AboutEmail = 65139,
    ProductDescription = 65140,
    LogonUserName = 65142,
    LogonPassword = 65143,

    // Messages of our own.
    UnknownError = 66000,
    ExitQuestion,
    ApplicationTitle,
    NoName,          // the untitled document's name before its number
    TrayMenuCaption, // drawn up the tray menu's margin
    NotesFileFilter, // the open dialog's filter of notes files
};

// The text of one entry; an unknown entry gives an empty text.
QString loadStr(StrId id);

// Number of tips and the tip at index 0 .. kTipCount - 1 (empty outside).
inline constexpr int kTipCount = 11;
QString tipOfTheDay(int index);

} // namespace bw
