#include "app_strings.h"

using namespace Qt::StringLiterals;

namespace bw {

namespace {

const char16_t kHomePage[] = u"https://bramblewick.example.org/";
const char16_t kEmail[] = u"author@bramblewick.example.org";

// The tips keep the wording users of earlier releases know, quirks included.
QString tipText(int index)
{
    const QString home = QString::fromUtf16(kHomePage);
    switch (index) {
    case 0:
        return u"ORV is the hub of a family of products. Visit "_s + home +
               u" to read about the it."_s;
    case 1:
        return u"Visit "_s + home +
               u"  often to check for updates, tutorials, and plug-ins for Bramblewick."_s;
    case 2:
        return u"You can drag file from any explorer style dialog into the editor window."_s;
    case 3:
        return u"You can click on a hyperlinks in the editor to start explorer and go directly "
               u"to the selected page."_s;
    case 4:
        return u"You can quickly create a new  item from Record->Insert."_s;
    case 5:
        return u"The Find text both in title or description from Tools->Search."_s;
    case 6:
        return u"You can right-click on the toolbars to configure them."_s;
    case 7:
        return u"You can right-click on the Status Bar to turn status fields on/off."_s;
    case 8:
        return u"Bramblewick use Registry as save container for som of the applications "
               u"options."_s;
    case 9:
        return u"You can find the key unver software for current use and ORV and Bramblewick "
               u"as subkey."_s;
    case 10:
        return u"Depends of witch version you are running, the registry key has the file "
               u"version number."_s;
    default:
        return QString();
    }
}

} // namespace

QString loadStr(StrId id)
{
    const int n = static_cast<int>(id);
    if (n >= static_cast<int>(StrId::TipFirst) && n <= static_cast<int>(StrId::TipLast))
        return tipText(n - static_cast<int>(StrId::TipFirst));
    switch (id) {
    case StrId::AuthorEmail:
    case StrId::AboutEmail:
        return QString::fromUtf16(kEmail);
    case StrId::HomePageAddress:
        return QString::fromUtf16(kHomePage);
    case StrId::OneCopyMutexName:
        return u"BramblewickOneCopyMutex"_s;
    case StrId::ProductDescription:
        return u"Bramblewick 2000 keeps your notes, ideas and any other information in notes "
               u"files. Each file holds a tree of items, and every item has a title and a "
               u"rich-text document that you can format, illustrate and print. Browse and "
               u"search a file as a table, import items from text files, and export them as "
               u"text, rich text, HTML or XML."_s;
    // The expected logon is an empty user name with an empty password.
    case StrId::LogonUserName:
    case StrId::LogonPassword:
        return QString();
    case StrId::UnknownError:
        return u"An unexpected error occurred"_s;
    case StrId::ExitQuestion:
        return u"Do you want to eXit"_s;
    case StrId::ApplicationTitle:
    case StrId::TrayMenuCaption:
        return u"Bramblewick 2000"_s;
    case StrId::NoName:
        return u"NoName"_s;
    case StrId::NotesFileFilter:
        return u"Client DataSet (*.cds)|*.cds|All Files (*.*)|*.*"_s;
    default:
        return QString();
    }
}

QString tipOfTheDay(int index)
{
    return tipText(index);
}

} // namespace bw
