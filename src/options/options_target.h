#pragma once
// The windows that the Options dialog's applyOptions acts on. The main window
// implements OptionsMainTarget, each document window OptionsChildTarget; both
// read the settings through OptionsDialog' typed accessors.

#include <QList>

namespace bw {

class OptionsDialog;

class OptionsChildTarget
{
public:
    virtual ~OptionsChildTarget() = default;
    // Flat bars, autosave timer, folder tree, editor and bars of one document
    // window, from the dialog's current values.
    virtual void applyChildOptions(const OptionsDialog &options) = 0;
};

class OptionsMainTarget
{
public:
    virtual ~OptionsMainTarget() = default;
    // Tray icon, background colour, flat main bar, main and status bar
    // visibility and tool tips on or off. (The tool tip colour is set by the
    // dialog itself: it belongs to the application.)
    virtual void applyMainOptions(const OptionsDialog &options) = 0;
    // The open document windows in the main window's list order; applyOptions
    // applies them from the last to the first.
    virtual QList<OptionsChildTarget *> optionsChildTargets() const = 0;
    // Called with false each time the dialog shows its help popup: the main
    // window's input handling swallows the next input and closes the popup on
    // the one after it.
    virtual void setHelpPopupArmed(bool armed) = 0;
};

} // namespace bw
