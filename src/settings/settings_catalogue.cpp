#include "settings_catalogue.h"

#include <array>
#include <stdexcept>

namespace bw::settings {

namespace {

// System colours as stored: 0x80000000 + index, signed. The font colours
// default to window text, not black, so text stays readable on a dark
// desktop; a black the user stored stays black.
constexpr const char *kButtonFace = "-2147483633";
constexpr const char *kInfoBk = "-2147483624";
constexpr const char *kWindowText = "-2147483640";
constexpr const char *kWindow = "-2147483643";
constexpr const char *kHorizontalLine =
    "--------------------------------------------------------------------";

using enum Section;
using enum Kind;

// clang-format off
constexpr std::array kCatalogue = std::to_array<Setting>({
    // key, section, control, property, kind, default, restore default, number fallback, immediate
    {Key::DisplayTipOfTheDayAtStartup_Checked, Options, "DisplayTipOfTheDayAtStartup", "Checked", Boolean, "True", "True", 0, true},
    {Key::TaskBarType_ItemIndex, Options, "TaskBarType", "ItemIndex", Integer, "0", "0", 0, false},
    {Key::MainBackgroundColor_Color, Options, "MainBackgroundColor", "Color", Color, kButtonFace, kButtonFace, 0, false},
    {Key::CommonDisplayExitConfirm_Checked, Options, "CommonDisplayExitConfirm", "Checked", Boolean, "True", "True", 0, true},
    {Key::CommonHintColor_Color, Options, "CommonHintColor", "Color", Color, kInfoBk, kInfoBk, 0, false},
    {Key::CommonDisplayToolTips_Checked, Options, "CommonDisplayToolTips", "Checked", Boolean, "True", "True", 0, false},
    {Key::CommonDisplayFlatToolBars_Checked, Options, "CommonDisplayFlatToolBars", "Checked", Boolean, "True", "True", 0, false},
    {Key::ChildDisplayDeleteConfirm_Checked, Options, "ChildDisplayDeleteConfirm", "Checked", Boolean, "True", "True", 0, true},
    {Key::ChildAutoSave_Checked, Options, "ChildAutoSave", "Checked", Boolean, "False", "False", 0, false},
    {Key::ChildAutoSaveMinutes_Text, Options, "ChildAutoSaveMinutes", "Text", Text, "5", "5", 5, false},
    {Key::TreeViewAutoExpand_Checked, Options, "TreeViewAutoExpand", "Checked", Boolean, "False", "False", 0, false},
    {Key::TreeViewHotTrack_Checked, Options, "TreeViewHotTrack", "Checked", Boolean, "False", "False", 0, false},
    {Key::TreeViewIcon_Text, Options, "TreeViewIcon", "Text", Text, "0", "0", 0, false},
    {Key::TreeViewFontName_FontName, Options, "TreeViewFontName", "FontName", Text, "MS Sans Serif", "MS Sans Serif", 0, false},
    {Key::TreeViewFontSize_Text, Options, "TreeViewFontSize", "Text", Text, "8", "8", 8, false},
    {Key::TreeViewFontColor_Color, Options, "TreeViewFontColor", "Color", Color, kWindowText, kWindowText, 0, false},
    {Key::TreeViewFontBold_Checked, Options, "TreeViewFontBold", "Checked", Boolean, "False", "False", 0, false},
    {Key::TreeViewFontItalic_Checked, Options, "TreeViewFontItalic", "Checked", Boolean, "False", "False", 0, false},
    {Key::TreeViewBackgroundColor_Selected, Options, "TreeViewBackgroundColor", "Selected", Color, kWindow, kWindow, 0, false},
    {Key::RichEditUseTabCharacter_Checked, Options, "RichEditUseTabCharacter", "Checked", Boolean, "True", "True", 0, false},
    {Key::RichEditAutoURLDetect_Checked, Options, "RichEditAutoURLDetect", "Checked", Boolean, "True", "True", 0, false},
    {Key::RichEditWordWrap_Checked, Options, "RichEditWordWrap", "Checked", Boolean, "True", "True", 0, false},
    {Key::RichEditHorizontalLine_Text, Options, "RichEditHorizontalLine", "Text", Text, kHorizontalLine, kHorizontalLine, 0, false},
    {Key::RichEditFontName_FontName, Options, "RichEditFontName", "FontName", Text, "MS Sans Serif", "MS Sans Serif", 0, false},
    {Key::RichEditFontSize_Text, Options, "RichEditFontSize", "Text", Text, "8", "8", 8, false},
    {Key::RichEditFontColor_Color, Options, "RichEditFontColor", "Color", Color, kWindowText, kWindowText, 0, false},
    {Key::RichEditFontBold_Checked, Options, "RichEditFontBold", "Checked", Boolean, "False", "False", 0, false},
    {Key::RichEditFontItalic_Checked, Options, "RichEditFontItalic", "Checked", Boolean, "False", "False", 0, false},
    {Key::RichEditBackgroundColor_Selected, Options, "RichEditBackgroundColor", "Selected", Color, kWindow, kWindow, 0, false},
    {Key::ViewBar_MainMain_Checked, Options, "ViewBar_MainMain", "Checked", Boolean, "True", "True", 0, true},
    {Key::ViewBar_MainStatus_Checked, Options, "ViewBar_MainStatus", "Checked", Boolean, "True", "True", 0, true},
    {Key::ViewBar_ChildRecord1_Checked, Options, "ViewBar_ChildRecord1", "Checked", Boolean, "True", "True", 0, true},
    {Key::ViewBar_ChildEdit_Checked, Options, "ViewBar_ChildEdit", "Checked", Boolean, "True", "True", 0, true},
    {Key::ViewBar_ChildFormat1_Checked, Options, "ViewBar_ChildFormat1", "Checked", Boolean, "True", "True", 0, true},
    {Key::ViewBar_ChildFormat2_Checked, Options, "ViewBar_ChildFormat2", "Checked", Boolean, "True", "True", 0, true},
    {Key::ViewBar_ChildRuler_Checked, Options, "ViewBar_ChildRuler", "Checked", Boolean, "True", "True", 0, true},
    {Key::ViewBar_ChildStatus_Checked, Options, "ViewBar_ChildStatus", "Checked", Boolean, "True", "True", 0, true},
    {Key::PageControl_ActivePage, Options, "PageControl", "ActivePage", ControlRef, "tsStartup", nullptr, 0, true},
    // Read and written only by readValue/writeValue (Tip of the Day); no control holds it.
    {Key::TipOfTheDayState, Options, "", "", Integer, "0", nullptr, 0, true},
    {Key::SplitterMain_Left, Child, "SplitterMain", "Left", Integer, "289", nullptr, 0, false},
    {Key::ColorDialog_Color, DataModule, "ColorDialog", "Color", Color, "13160660", nullptr, 0, false},
    {Key::ColorDialog_CustomColors, DataModule, "ColorDialog", "CustomColors", TextList, "", nullptr, 0, false},
    {Key::OpenDialog_InitialDir, DataModule, "OpenDialog", "InitialDir", Text, "", nullptr, 0, false},
    {Key::SaveDialog_InitialDir, DataModule, "SaveDialog", "InitialDir", Text, "", nullptr, 0, false},
    {Key::OpenPictureDialog1_InitialDir, DataModule, "OpenPictureDialog1", "InitialDir", Text, "", nullptr, 0, false},
    {Key::SavePictureDialog1_InitialDir, DataModule, "SavePictureDialog1", "InitialDir", Text, "", nullptr, 0, false},
    {Key::FirstTime, DataModule, "", "", Boolean, "True", nullptr, 0, false},
});
// clang-format on

// The value name of a named value is the key's own name; kept beside the table.
const char *namedValueName(Key key)
{
    switch (key) {
    case Key::TipOfTheDayState:
        return "TipOfTheDayState";
    case Key::FirstTime:
        return "FirstTime";
    default:
        return "";
    }
}

} // namespace

QString Setting::valueName() const
{
    if (isNamedValue())
        return QString::fromLatin1(namedValueName(key));
    return QString::fromLatin1(control) + QLatin1Char('_') + QString::fromLatin1(property);
}

std::span<const Setting> catalogue()
{
    return kCatalogue;
}

const Setting &setting(Key key)
{
    for (const Setting &s : kCatalogue)
        if (s.key == key)
            return s;
    throw std::out_of_range("setting key not in the catalogue");
}

QString valueName(Key key)
{
    return setting(key).valueName();
}

QString defaultText(Key key)
{
    return QString::fromLatin1(setting(key).defaultText);
}

QString restoreDefaultText(Key key)
{
    const Setting &s = setting(key);
    return QString::fromLatin1(s.restoreDefaultText ? s.restoreDefaultText : s.defaultText);
}

QList<Key> keysOf(Section section)
{
    QList<Key> keys;
    for (const Setting &s : kCatalogue)
        if (s.section == section)
            keys << s.key;
    return keys;
}

QString sectionName(Section section)
{
    switch (section) {
    case Section::Options:
        return QStringLiteral("Options");
    case Section::Main:
        return QStringLiteral("Main");
    case Section::Child:
        return QStringLiteral("Child");
    case Section::DataModule:
        return QStringLiteral("DataModule");
    }
    return {};
}

QString listKeyName(Section section, Key key)
{
    return sectionName(section) + QLatin1Char('.') + valueName(key);
}

QString defaultHorizontalLine()
{
    return QString::fromLatin1(kHorizontalLine);
}

} // namespace bw::settings
