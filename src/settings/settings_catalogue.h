#pragma once
// The one catalogue of every stored setting: section, control, property, kind,
// default and the value that "Restore Default Settings" gives. Value names are
// never written as literals elsewhere; use Key and valueName().

#include <QList>
#include <QString>
#include <span>

namespace bw::settings {

enum class Section { Options, Main, Child, DataModule };

enum class Kind {
    Boolean,    // "True" / "False"
    Integer,    // signed decimal
    Color,      // ColorValue as signed decimal
    Text,       // trimmed text
    ControlRef, // the name of a control of the same window
    TextList,   // a list property kept in its own key (colour dialog custom colours)
};

enum class Key {
    // Section Options
    DisplayTipOfTheDayAtStartup_Checked,
    TaskBarType_ItemIndex,
    MainBackgroundColor_Color,
    CommonDisplayExitConfirm_Checked,
    CommonHintColor_Color,
    CommonDisplayToolTips_Checked,
    CommonDisplayFlatToolBars_Checked,
    ChildDisplayDeleteConfirm_Checked,
    ChildAutoSave_Checked,
    ChildAutoSaveMinutes_Text,
    TreeViewAutoExpand_Checked,
    TreeViewHotTrack_Checked,
    TreeViewIcon_Text,
    TreeViewFontName_FontName,
    TreeViewFontSize_Text,
    TreeViewFontColor_Color,
    TreeViewFontBold_Checked,
    TreeViewFontItalic_Checked,
    TreeViewBackgroundColor_Selected,
    RichEditUseTabCharacter_Checked,
    RichEditAutoURLDetect_Checked,
    RichEditWordWrap_Checked,
    RichEditHorizontalLine_Text,
    RichEditFontName_FontName,
    RichEditFontSize_Text,
    RichEditFontColor_Color,
    RichEditFontBold_Checked,
    RichEditFontItalic_Checked,
    RichEditBackgroundColor_Selected,
    ViewBar_MainMain_Checked,
    ViewBar_MainStatus_Checked,
    ViewBar_ChildRecord1_Checked,
    ViewBar_ChildEdit_Checked,
    ViewBar_ChildFormat1_Checked,
    ViewBar_ChildFormat2_Checked,
    ViewBar_ChildRuler_Checked,
    ViewBar_ChildStatus_Checked,
    PageControl_ActivePage,
    TipOfTheDayState,
    // Section Child
    SplitterMain_Left,
    // Section DataModule
    ColorDialog_Color,
    ColorDialog_CustomColors,
    OpenDialog_InitialDir,
    SaveDialog_InitialDir,
    OpenPictureDialog1_InitialDir,
    SavePictureDialog1_InitialDir,
    FirstTime,
};

struct Setting
{
    Key key;
    Section section;
    const char *control;  // control name; empty for a named value of the store
    const char *property; // the stored property ("Checked"); empty for a named value
    Kind kind;
    const char *defaultText;        // what a new settings root holds
    const char *restoreDefaultText; // what "Restore Default Settings" sets; nullptr: not reset
    int numberFallback;             // for a number kept as text: its value when no number; else 0
    bool immediate;                 // also written at once by writeValue outside the dialog

    // "ChildAutoSave_Checked", or the plain name of a named value ("FirstTime").
    QString valueName() const;
    bool isNamedValue() const { return !*control; }
};

// Every row, in the fixed order in which the stores restore and save them.
std::span<const Setting> catalogue();
const Setting &setting(Key key);
QString valueName(Key key);
QString defaultText(Key key);
// The text "Restore Default Settings" gives (the default where it names none).
QString restoreDefaultText(Key key);
// Rows of a section in order; named values included.
QList<Key> keysOf(Section section);
QString sectionName(Section section); // "Options", "Main", "Child", "DataModule"

// Values written by every store of a window and by every section.
inline constexpr const char *kFormVersion = "FormVersion";
inline constexpr const char *kFlags = "Flags";
inline constexpr const char *kShowCmd = "ShowCmd";
inline constexpr const char *kPixelsPerInch = "PixelsPerInch";
inline constexpr const char *kMinMaxPos = "MinMaxPos";
inline constexpr const char *kNormPos = "NormPos";
inline constexpr const char *kVisible = "Visible";

// Further keys below the settings root.
inline constexpr const char *kMruKey = "MRUFileList";
inline constexpr int kMruMaxCount = 5;
inline constexpr const char *kColorsKey = "Colors";
inline constexpr const char *kColorButtonValue = "frmOptions.dfsColorButton1";
inline constexpr const char *kListCount = "Count";
inline constexpr const char *kListItemPrefix = "Item";

// The key of a list property: "DataModule.ColorDialog_CustomColors".
QString listKeyName(Section section, Key key);

// The horizontal line's default: 68 hyphens.
QString defaultHorizontalLine();

} // namespace bw::settings
