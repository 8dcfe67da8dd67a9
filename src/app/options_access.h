#pragma once
// What the Tip of the Day and the exit confirmation need of the Options
// dialog: the state of its controls, the immediate write of a setting changed
// outside it, and single values of its section. OptionsDialogAccess serves it
// from the dialog itself; tests give a small one of their own.

#include "options/options_dialog.h"
#include "settings/settings_catalogue.h"

#include <QString>

namespace bw {

class OptionsAccess
{
public:
    virtual ~OptionsAccess() = default;
    // A check box of the Options dialog, as it stands now.
    virtual bool isChecked(settings::Key key) const = 0;
    // Sets the setting's control (if it has one) and writes the value at once.
    virtual void writeImmediate(settings::Key key, const QString &text) = 0;
    // One value of the Options section as stored (the catalogue default when absent).
    virtual QString readValue(settings::Key key) const = 0;
    virtual void writeValue(settings::Key key, const QString &text) = 0;
};

class OptionsDialogAccess final : public OptionsAccess
{
public:
    explicit OptionsDialogAccess(OptionsDialog &options) : m_options(options) {}
    bool isChecked(settings::Key key) const override { return m_options.isChecked(key); }
    void writeImmediate(settings::Key key, const QString &text) override
    {
        m_options.writeImmediate(key, text);
    }
    QString readValue(settings::Key key) const override { return m_options.readValue(key); }
    void writeValue(settings::Key key, const QString &text) override
    {
        m_options.writeValue(key, text);
    }

private:
    OptionsDialog &m_options;
};

} // namespace bw
