// The Options dialog's values: reading them, applying them to the windows,
// restoring the defaults, immediate writes, and the launcher buttons.

#include "options_dialog.h"

#include "settings/control_property.h"
#include "settings/core/encodings.h"
#include "settings/options_target.h"
#include "settings/palette_color_binding.h"
#include "settings/registry_rxl.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

namespace bw {

using settings::Key;

QWidget *TfrmOptions::control(Key key) const
{
    const QString name = QLatin1String(settings::setting(key).control);
    auto *w = findChild<QWidget *>(name);
    if (!w)
        throw settings::PropertyError("no control " + name.toStdString());
    return w;
}

QString TfrmOptions::optionText(Key key) const
{
    const settings::Setting &s = settings::setting(key);
    return settings::controlText(control(key), QLatin1String(s.property), s.kind);
}

bool TfrmOptions::isChecked(Key key) const
{
    return settings::decodeBool(optionText(key)).value_or(false);
}

int TfrmOptions::optionNumber(Key key) const
{
    return settings::numberOr(optionText(key), settings::setting(key).numberFallback);
}

ColorValue TfrmOptions::optionColor(Key key) const
{
    return ColorValue::fromText(optionText(key));
}

void TfrmOptions::writeImmediate(Key key, const QString &text)
{
    const settings::Setting &s = settings::setting(key);
    if (!s.isNamedValue())
        settings::setControlText(control(key), QLatin1String(s.property), s.kind, text);
    WriteValue(key, text);
}

void TfrmOptions::ApplyOptions()
{
    m_tipColors->bind(QPalette::ToolTipBase, commonHintColor());
    m_tipColors->bind(QPalette::ToolTipText, ColorValue::system(ColorValue::kInfoText));
    updateAutoSaveControls();
    if (!m_main)
        return;
    m_main->applyMainOptions(*this);
    const QList<OptionsChildTarget *> children = m_main->optionsChildTargets();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        (*it)->applyChildOptions(*this);
}

void TfrmOptions::btnRestoreDefaultSettingsClick()
{
    for (Key key : settings::keysOf(settings::Section::Options)) {
        const settings::Setting &s = settings::setting(key);
        if (s.isNamedValue() || !s.restoreDefaultText)
            continue;
        settings::setControlText(control(key), QLatin1String(s.property), s.kind,
                                 settings::restoreDefaultText(key));
    }
    updateAutoSaveControls();
    OptionsChanged();
}

void TfrmOptions::btnAddShortCut(ShellFolder folder)
{
    const QString program = m_context.executablePath.isEmpty()
                                ? QCoreApplication::applicationFilePath()
                                : m_context.executablePath;
    const ShellLink link{m_context.productName, program, QFileInfo(program).absolutePath(),
                         m_context.launcherIcon};
    // Neither success nor failure is reported.
    writeShellLink(folder, link);
}

bool TfrmOptions::displayTipOfTheDayAtStartup() const
{
    return isChecked(Key::DisplayTipOfTheDayAtStartup_Checked);
}
int TfrmOptions::taskBarType() const
{
    return settings::decodeInt(optionText(Key::TaskBarType_ItemIndex));
}
ColorValue TfrmOptions::mainBackgroundColor() const
{
    return optionColor(Key::MainBackgroundColor_Color);
}
bool TfrmOptions::commonDisplayExitConfirm() const
{
    return isChecked(Key::CommonDisplayExitConfirm_Checked);
}
ColorValue TfrmOptions::commonHintColor() const
{
    return optionColor(Key::CommonHintColor_Color);
}
bool TfrmOptions::commonDisplayToolTips() const
{
    return isChecked(Key::CommonDisplayToolTips_Checked);
}
bool TfrmOptions::commonDisplayFlatToolBars() const
{
    return isChecked(Key::CommonDisplayFlatToolBars_Checked);
}
bool TfrmOptions::childDisplayDeleteConfirm() const
{
    return isChecked(Key::ChildDisplayDeleteConfirm_Checked);
}
bool TfrmOptions::childAutoSave() const
{
    return isChecked(Key::ChildAutoSave_Checked);
}
int TfrmOptions::childAutoSaveMinutes() const
{
    return optionNumber(Key::ChildAutoSaveMinutes_Text);
}
bool TfrmOptions::treeViewAutoExpand() const
{
    return isChecked(Key::TreeViewAutoExpand_Checked);
}
bool TfrmOptions::treeViewHotTrack() const
{
    return isChecked(Key::TreeViewHotTrack_Checked);
}
int TfrmOptions::treeViewIcon() const
{
    return optionNumber(Key::TreeViewIcon_Text);
}
QString TfrmOptions::treeViewFontName() const
{
    return optionText(Key::TreeViewFontName_FontName);
}
int TfrmOptions::treeViewFontSize() const
{
    return optionNumber(Key::TreeViewFontSize_Text);
}
ColorValue TfrmOptions::treeViewFontColor() const
{
    return optionColor(Key::TreeViewFontColor_Color);
}
bool TfrmOptions::treeViewFontBold() const
{
    return isChecked(Key::TreeViewFontBold_Checked);
}
bool TfrmOptions::treeViewFontItalic() const
{
    return isChecked(Key::TreeViewFontItalic_Checked);
}
ColorValue TfrmOptions::treeViewBackgroundColor() const
{
    return optionColor(Key::TreeViewBackgroundColor_Selected);
}
bool TfrmOptions::richEditUseTabCharacter() const
{
    return isChecked(Key::RichEditUseTabCharacter_Checked);
}
bool TfrmOptions::richEditAutoURLDetect() const
{
    return isChecked(Key::RichEditAutoURLDetect_Checked);
}
bool TfrmOptions::richEditWordWrap() const
{
    return isChecked(Key::RichEditWordWrap_Checked);
}
QString TfrmOptions::richEditHorizontalLine() const
{
    return optionText(Key::RichEditHorizontalLine_Text);
}
QString TfrmOptions::richEditFontName() const
{
    return optionText(Key::RichEditFontName_FontName);
}
int TfrmOptions::richEditFontSize() const
{
    return optionNumber(Key::RichEditFontSize_Text);
}
ColorValue TfrmOptions::richEditFontColor() const
{
    return optionColor(Key::RichEditFontColor_Color);
}
bool TfrmOptions::richEditFontBold() const
{
    return isChecked(Key::RichEditFontBold_Checked);
}
bool TfrmOptions::richEditFontItalic() const
{
    return isChecked(Key::RichEditFontItalic_Checked);
}
ColorValue TfrmOptions::richEditBackgroundColor() const
{
    return optionColor(Key::RichEditBackgroundColor_Selected);
}
bool TfrmOptions::viewBarMainMain() const
{
    return isChecked(Key::ViewBar_MainMain_Checked);
}
bool TfrmOptions::viewBarMainStatus() const
{
    return isChecked(Key::ViewBar_MainStatus_Checked);
}
bool TfrmOptions::viewBarChildRecord1() const
{
    return isChecked(Key::ViewBar_ChildRecord1_Checked);
}
bool TfrmOptions::viewBarChildEdit() const
{
    return isChecked(Key::ViewBar_ChildEdit_Checked);
}
bool TfrmOptions::viewBarChildFormat1() const
{
    return isChecked(Key::ViewBar_ChildFormat1_Checked);
}
bool TfrmOptions::viewBarChildFormat2() const
{
    return isChecked(Key::ViewBar_ChildFormat2_Checked);
}
bool TfrmOptions::viewBarChildRuler() const
{
    return isChecked(Key::ViewBar_ChildRuler_Checked);
}
bool TfrmOptions::viewBarChildStatus() const
{
    return isChecked(Key::ViewBar_ChildStatus_Checked);
}

} // namespace bw
