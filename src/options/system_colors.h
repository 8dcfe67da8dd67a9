#pragma once
// Conversion of stored colours to QColor: system colours map onto the
// matching QPalette roles, so they follow the desktop's palette.

#include "settings/color_value.h"

#include <QColor>
#include <QPalette>

namespace bw {

// The palette role standing for a Windows system colour index (button face ->
// Button, tool-tip background -> ToolTipBase, window -> Base, window text -> Text).
QPalette::ColorRole paletteRole(int systemIndex);
// The colour shown for value: RGB as is, a system colour from palette.
QColor toQColor(ColorValue value, const QPalette &palette);
QColor toQColor(ColorValue value); // with the application's palette
// An RGB colour value (never symbolic).
ColorValue colorValueFromQColor(const QColor &color);

} // namespace bw
