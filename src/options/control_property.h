#pragma once
// Reads and sets a control's stored property, named as in the setting's value
// name (Checked, Text, ItemIndex, Color, FontName, ActivePage, Left, ...),
// through Qt's property system, converting to and from the stored text.

#include "settings/settings_catalogue.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

class QObject;

namespace bw::settings {

// A property that the control does not have or that refuses the value.
class PropertyError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The Qt property standing for storedProperty on control; empty when none.
QByteArray qtPropertyFor(const QObject *control, const QString &storedProperty);

// The property's current value as stored text (by kind). Throws PropertyError.
QString controlText(const QObject *control, const QString &storedProperty, Kind kind);

// Sets the property from stored (trimmed) text. A boolean text that is
// neither "True" nor "False" leaves it unchanged. A check box whose state
// changes also emits clicked(), as a user's click would. Throws PropertyError.
void setControlText(QObject *control, const QString &storedProperty, Kind kind,
                    const QString &text);

} // namespace bw::settings
