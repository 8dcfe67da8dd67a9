// The Options dialog's help: every control's help text and context number,
// the help requests (title bar help button, F1, Shift+F1) and the popup.

#include "options_dialog.h"

#include "options/color_button.h"
#include "options/help_popup.h"
#include "options/options_target.h"
#include "options/system_colors.h"
#include "platform/guarded_dispatch.h"

#include <QCursor>
#include <QHelpEvent>
#include <QLabel>
#include <QWhatsThis>

namespace bw {

namespace {

struct HelpEntry
{
    const char *control;
    int context;
    const char *text;
};

constexpr const char *kChooseCategory = "Choose a category from itemtree.";
constexpr const char *kAutoSaveMinutes =
    "Specify the amount of time in minutes that \r\nAutosave should take effect.";

constexpr HelpEntry kHelp[] = {
    {"frmOptions", 500, kChooseCategory},
    {"LMDPanelFill1", 505, kChooseCategory},
    {"PageControl", 506, kChooseCategory},
    {"btnOk", 501, "Press OK button to apply, save all changes and exit."},
    {"btnCancel", 502, "Press Cancel button to exit and, to abandon changes."},
    {"btnApply", 503, "Press Apply button to apply all changes without \r\nexiting options."},
    {"TreeViewCategory", 504,
     "All settings in this dialog box are grouped \r\nin categories.\r\n\r\nSelect one of the "
     "categories to view or change \r\ncorresponding values."},
    {"btnRestoreDefaultSettings", 507,
     "Resets all changed values to the Bramblewick \r\ndefault settings."},
    {"DisplayTipOfTheDayAtStartup", 511,
     "Check this option to see the Tip of the Day dialog \r\nat startup."},
    {"TaskBarType", 512,
     "Taskbar mode displays the application in the Taskbar, \r\njust like normal "
     "programs.\r\n\r\nSystem Tray displays the application as a small \r\nicon in the system "
     "tray area near the Windows \r\nclock so it doesn't clutter up your taskbar. \r\nYou can "
     "use this setting to hide application and \r\nmake it run in background.\r\n\r\nWhen "
     "application is in the system tray, you can \r\neasily invoke the main window by double "
     "clicking \r\non the application tray button(icon). To hide it \r\nagain, press Minimize "
     "button on the window caption."},
    {"MainBackgroundColor", 521,
     "Select the color that should be used as \r\nbackground color for the main window."},
    {"CommonHintColor", 522, "Select the color for tool tips background color."},
    {"CommonDisplayExitConfirm", 523,
     "Enables or disables exit confirmation window.\r\n\r\nCheck if you want the application "
     "to show you \r\na Yes/No dialog box messages, asking for \r\nconfirmation when you are "
     "about to exiting program."},
    {"CommonDisplayToolTips", 531,
     "If enabled, this option makes the application \r\nshow helpful tool tips."},
    {"CommonDisplayFlatToolBars", 532,
     "When the check box is selected, the application \r\ndisplays flat buttons on toolbar."},
    {"ChildDisplayDeleteConfirm", 533,
     "Enable or disable record delete confirmation window.\r\n\r\nCheck if you want the "
     "application to show you \r\na Yes/No dialog box messages, asking for \r\nconfirmation "
     "when you are about to deleting an item."},
    {"ChildAutoSave_GroupBox", 534,
     "If checked, the application will save all \r\nchanges made to the file at every "
     "specified time interval.\r\n\r\nThis option is turned off and time is set to \r\n5 "
     "minutes by default."},
    {"ChildAutoSave", 535,
     "If checked, the application will save all \r\nchanges made to the file at every "
     "specified time interval.\r\n\r\nThis option is turned off by default. If you \r\ndecide "
     "to turn it on, be aware of that \r\nwhen after auto saving a file, it cannot be undone."},
    {"ChildAutoSaveMinutes", 536, kAutoSaveMinutes},
    {"ChildAutoSaveMinutes_UpDown", 536, kAutoSaveMinutes},
    {"TreeViewAutoExpand", 541,
     "Check this to cause the selected item to expand \r\nand the unselected to collapse."},
    {"TreeViewHotTrack", 542,
     "Check this to provide visual feedback about \r\nwhich item is under the mouse. Uncheck "
     "it to \r\nsuppress the visual feedback."},
    {"TreeViewIcon", 543,
     "Choose which icon you want to use in itemtree \r\nas node (folder) icon."},
    {"TreeViewFontName", 544, "Select a font that should be used for itemtree."},
    {"TreeViewFontSize", 545, "Chose the font size that should be used for itemtree."},
    {"TreeViewFontColor", 546, "Chose the font color that should be use for itemtree."},
    {"TreeViewFontBold", 547, "Check this to display bold font in itemtree."},
    {"TreeViewFontItalic", 548, "Check this to display italic font in itemtree."},
    {"TreeViewBackgroundColor", 549,
     "Select a color that should be used as \r\nbackground color in itemtree."},
    {"RichEditUseTabCharacter", 551,
     "This option allows you to enter tab characters \r\ninto the editor window. Uncheck it "
     "if you want \r\nthe tab key jump to the next control on the window \r\ninstead."},
    {"RichEditAutoURLDetect", 552,
     "By default when you mouse clicking on an URL link \r\nin the editor, it will launch the "
     "default browser \r\nat the specified URL address. Unselect it if you \r\ndon't want to "
     "use auto-detecting URLs."},
    {"RichEditWordWrap", 553,
     "When checked, the editor wrap text at the right \r\nmargin so it fits in the window."},
    {"RichEditHorizontalLine", 554,
     "You can insert some continuous character that \r\nwill looks like a divider/separator "
     "in the editor."},
    {"RichEditFontName", 555,
     "Select the font name that should be used as \r\ndefault font for newly created "
     "document in the \r\neditor."},
    {"RichEditFontSize", 556,
     "Select the font size that should be used as \r\ndefault font size for newly created "
     "document \r\nin the editor."},
    {"RichEditFontColor", 557,
     "Select the font color that should be used as \r\ndefault font color for newly created "
     "document \r\nin the editor."},
    {"RichEditFontBold", 558, "Check this to display bold font in the editor."},
    {"RichEditFontItalic", 559, "Check this to display italic font in the editor."},
    {"RichEditBackgroundColor", 560,
     "Select the color that should be used as default \r\nbackground color for newly created "
     "document \r\nin the editor."},
    {"ViewBar_MainMain", 561, "Shows or hides the main bar in main window."},
    {"ViewBar_MainStatus", 562, "Shows or hides the status bar in main window."},
    {"ViewBar_ChildRecord1", 563, "Shows or hides the record bar 1 in document window."},
    {"ViewBar_ChildEdit", 565, "Shows or hides the edit bar in document window."},
    {"ViewBar_ChildFormat1", 566, "Shows or hides the formatting bar 1 in document window."},
    {"ViewBar_ChildFormat2", 567, "Shows or hides the formatting bar 2 in document window."},
    {"ViewBar_ChildRuler", 568, "Shows or hides the ruler in document window."},
    {"ViewBar_ChildStatus", 569, "Shows or hides the status bar in document window."},
    {"btnAddStartUp", 571, "This option makes the program auto-execute when \r\nWindows starts."},
    {"btnAddStartMenu", 572, "This will creates a program link on your Start Menu."},
    {"btnAddDesktop", 573, "This will creates a program link on your Desktop."},
    {"btnAddQuickLaunch", 574, "This will creates a program link on your \r\nQuick Launch Bar."},
};

constexpr const char *kHelpTextProperty = "helpText";
constexpr const char *kHelpContextProperty = "helpContext";

// Inner parts of a control (a combo box's edit, a radio group's buttons, a
// spin box's arrows) carry no name of ours; the control is the named widget above.
bool isInnerPart(const QWidget *w)
{
    return w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"));
}

} // namespace

void OptionsDialog::setHelpPopup(HelpPopup *popup)
{
    m_helpPopup = popup;
}

HelpPopup *OptionsDialog::helpPopup() const
{
    return m_helpPopup;
}

void OptionsDialog::setUpHelp()
{
    for (const HelpEntry &entry : kHelp) {
        QWidget *w = objectName() == QLatin1String(entry.control)
                         ? this
                         : findChild<QWidget *>(QLatin1String(entry.control));
        if (!w)
            continue;
        w->setProperty(kHelpTextProperty, QString::fromLatin1(entry.text));
        w->setProperty(kHelpContextProperty, entry.context);
    }
}

QString OptionsDialog::helpText(const QWidget *control)
{
    return control ? control->property(kHelpTextProperty).toString() : QString();
}

int OptionsDialog::helpContext(const QWidget *control)
{
    return control ? control->property(kHelpContextProperty).toInt() : 0;
}

int OptionsDialog::focusHelpContext() const
{
    // The focused control's context, else that of the nearest control around it.
    for (const QWidget *w = focusWidget(); w; w = w->parentWidget()) {
        if (const int context = helpContext(w))
            return context;
        if (w == this)
            break;
    }
    return 0;
}

QWidget *OptionsDialog::helpControlAt(const QPoint &globalPos) const
{
    const QPoint local = mapFromGlobal(globalPos);
    if (!isVisible() || !rect().contains(local))
        return nullptr;
    QWidget *w = childAt(local); // disabled controls included
    if (!w)
        return const_cast<OptionsDialog *>(this);
    while (w != this && isInnerPart(w) && !qobject_cast<QLabel *>(w))
        w = w->parentWidget();
    // Labels are drawn on their page; they have no help of their own.
    if (qobject_cast<QLabel *>(w))
        return nullptr;
    return w;
}

bool OptionsDialog::showHelpAt(const QPoint &globalPos, int context)
{
    QWidget *control = helpControlAt(globalPos);
    if (!control || !m_helpPopup || context == 0 || helpContext(control) != context)
        return false;
    m_helpPopup->setHelpText(helpText(control), toQColor(commonHintColor()));
    const QPoint topLeft = control->mapToGlobal(QPoint(0, 0));
    const QPoint place(qMax(0, topLeft.x() - kPopupLeftShift),
                       qMax(0, topLeft.y() + control->height() + kPopupGap));
    m_helpPopup->showAt(place, this);
    if (m_main)
        m_main->setHelpPopupArmed(false);
    return true;
}

void OptionsDialog::showHelp(int context)
{
    showHelpAt(QCursor::pos(), context);
}

bool OptionsDialog::event(QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        switch (event->type()) {
        case QEvent::QueryWhatsThis:
            event->accept();
            return true;
        case QEvent::WhatsThis: {
            // A click in "What's This?" mode: the help of the control clicked.
            // The click ends the help request, whether it showed a popup or not,
            // so the next click works the control again.
            const QPoint pos = static_cast<QHelpEvent *>(event)->globalPos();
            QWhatsThis::leaveWhatsThisMode();
            showHelpAt(pos, helpContext(helpControlAt(pos)));
            event->accept();
            return true;
        }
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1 &&
                static_cast<QKeyEvent *>(event)->modifiers() == Qt::ShiftModifier) {
                QWhatsThis::enterWhatsThisMode();
                return true;
            }
            break;
        default:
            break;
        }
        return QDialog::event(event);
    });
}

} // namespace bw
