// The Options dialog's values: reading them, applying them to the windows,
// restoring the defaults, immediate writes, and the launcher buttons.

#include "options_dialog.h"

#include "options/control_property.h"
#include "options/options_target.h"
#include "options/palette_color_binding.h"
#include "options/registry_rxl.h"
#include "settings/encodings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

namespace bw {

using settings::Key;

QWidget *OptionsDialog::control(Key key) const
{
    const QString name = QLatin1String(settings::setting(key).control);
    auto *w = findChild<QWidget *>(name);
    if (!w)
        throw settings::PropertyError("no control " + name.toStdString());
    return w;
}

QString OptionsDialog::optionText(Key key) const
{
    const settings::Setting &s = settings::setting(key);
    return settings::controlText(control(key), QLatin1String(s.property), s.kind);
}

bool OptionsDialog::isChecked(Key key) const
{
    return settings::decodeBool(optionText(key)).value_or(false);
}

int OptionsDialog::optionNumber(Key key) const
{
    return settings::numberOr(optionText(key), settings::setting(key).numberFallback);
}

ColorValue OptionsDialog::optionColor(Key key) const
{
    return ColorValue::fromText(optionText(key));
}

void OptionsDialog::writeImmediate(Key key, const QString &text)
{
    const settings::Setting &s = settings::setting(key);
    if (!s.isNamedValue())
        settings::setControlText(control(key), QLatin1String(s.property), s.kind, text);
    writeValue(key, text);
}

void OptionsDialog::applyOptions()
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

void OptionsDialog::btnRestoreDefaultSettingsClick()
{
    for (Key key : settings::keysOf(settings::Section::Options)) {
        const settings::Setting &s = settings::setting(key);
        if (s.isNamedValue() || !s.restoreDefaultText)
            continue;
        settings::setControlText(control(key), QLatin1String(s.property), s.kind,
                                 settings::restoreDefaultText(key));
    }
    updateAutoSaveControls();
    optionsChanged();
}

void OptionsDialog::btnAddShortCut(ShellFolder folder)
{
    const QString program = m_context.executablePath.isEmpty()
                                ? QCoreApplication::applicationFilePath()
                                : m_context.executablePath;
    const ShellLink link{m_context.productName, program, QFileInfo(program).absolutePath(),
                         m_context.launcherIcon};
    // Neither success nor failure is reported.
    writeShellLink(folder, link);
}

bool OptionsDialog::displayTipOfTheDayAtStartup() const
{
    return isChecked(Key::DisplayTipOfTheDayAtStartup_Checked);
}
int OptionsDialog::taskBarType() const
{
    return settings::decodeInt(optionText(Key::TaskBarType_ItemIndex));
}
ColorValue OptionsDialog::mainBackgroundColor() const
{
    return optionColor(Key::MainBackgroundColor_Color);
}
bool OptionsDialog::commonDisplayExitConfirm() const
{
    return isChecked(Key::CommonDisplayExitConfirm_Checked);
}
ColorValue OptionsDialog::commonHintColor() const
{
    return optionColor(Key::CommonHintColor_Color);
}
bool OptionsDialog::commonDisplayToolTips() const
{
    return isChecked(Key::CommonDisplayToolTips_Checked);
}
bool OptionsDialog::commonDisplayFlatToolBars() const
{
    return isChecked(Key::CommonDisplayFlatToolBars_Checked);
}
bool OptionsDialog::childDisplayDeleteConfirm() const
{
    return isChecked(Key::ChildDisplayDeleteConfirm_Checked);
}
bool OptionsDialog::childAutoSave() const
{
    return isChecked(Key::ChildAutoSave_Checked);
}
int OptionsDialog::childAutoSaveMinutes() const
{
    return optionNumber(Key::ChildAutoSaveMinutes_Text);
}
bool OptionsDialog::treeViewAutoExpand() const
{
    return isChecked(Key::TreeViewAutoExpand_Checked);
}
bool OptionsDialog::treeViewHotTrack() const
{
    return isChecked(Key::TreeViewHotTrack_Checked);
}
int OptionsDialog::treeViewIcon() const
{
    return optionNumber(Key::TreeViewIcon_Text);
}
QString OptionsDialog::treeViewFontName() const
{
    return optionText(Key::TreeViewFontName_FontName);
}
int OptionsDialog::treeViewFontSize() const
{
    return optionNumber(Key::TreeViewFontSize_Text);
}
ColorValue OptionsDialog::treeViewFontColor() const
{
    return optionColor(Key::TreeViewFontColor_Color);
}
bool OptionsDialog::treeViewFontBold() const
{
    return isChecked(Key::TreeViewFontBold_Checked);
}
bool OptionsDialog::treeViewFontItalic() const
{
    return isChecked(Key::TreeViewFontItalic_Checked);
}
ColorValue OptionsDialog::treeViewBackgroundColor() const
{
    return optionColor(Key::TreeViewBackgroundColor_Selected);
}
bool OptionsDialog::richEditUseTabCharacter() const
{
    return isChecked(Key::RichEditUseTabCharacter_Checked);
}
bool OptionsDialog::richEditAutoURLDetect() const
{
    return isChecked(Key::RichEditAutoURLDetect_Checked);
}
bool OptionsDialog::richEditWordWrap() const
{
    return isChecked(Key::RichEditWordWrap_Checked);
}
QString OptionsDialog::richEditHorizontalLine() const
{
    return optionText(Key::RichEditHorizontalLine_Text);
}
QString OptionsDialog::richEditFontName() const
{
    return optionText(Key::RichEditFontName_FontName);
}
int OptionsDialog::richEditFontSize() const
{
    return optionNumber(Key::RichEditFontSize_Text);
}
ColorValue OptionsDialog::richEditFontColor() const
{
    return optionColor(Key::RichEditFontColor_Color);
}
bool OptionsDialog::richEditFontBold() const
{
    return isChecked(Key::RichEditFontBold_Checked);
}
bool OptionsDialog::richEditFontItalic() const
{
    return isChecked(Key::RichEditFontItalic_Checked);
}
ColorValue OptionsDialog::richEditBackgroundColor() const
{
    return optionColor(Key::RichEditBackgroundColor_Selected);
}
bool OptionsDialog::viewBarMainMain() const
{
    return isChecked(Key::ViewBar_MainMain_Checked);
}
bool OptionsDialog::viewBarMainStatus() const
{
    return isChecked(Key::ViewBar_MainStatus_Checked);
}
bool OptionsDialog::viewBarChildRecord1() const
{
    return isChecked(Key::ViewBar_ChildRecord1_Checked);
}
bool OptionsDialog::viewBarChildEdit() const
{
    return isChecked(Key::ViewBar_ChildEdit_Checked);
}
bool OptionsDialog::viewBarChildFormat1() const
{
    return isChecked(Key::ViewBar_ChildFormat1_Checked);
}
bool OptionsDialog::viewBarChildFormat2() const
{
    return isChecked(Key::ViewBar_ChildFormat2_Checked);
}
bool OptionsDialog::viewBarChildRuler() const
{
    return isChecked(Key::ViewBar_ChildRuler_Checked);
}
bool OptionsDialog::viewBarChildStatus() const
{
    return isChecked(Key::ViewBar_ChildStatus_Checked);
}

} // namespace bw
