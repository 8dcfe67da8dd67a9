#pragma once
// Text forms of stored values: every value in the settings file is a string.

#include "settings/color_value.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace bw::settings {

// Booleans: written "True"/"False"; read without regard to case; any other
// text gives nullopt (the setting keeps its current value).
QString encodeBool(bool value);
std::optional<bool> decodeBool(const QString &text);

// Integers: signed decimal; a text that is no number gives 0.
QString encodeInt(int value);
int decodeInt(const QString &text);
// A number held as text (minutes, font size, icon index): the fallback when
// the text is no number.
int numberOr(const QString &text, int fallback);

// The Tip of the Day index 0..10: empty text, no number or a number outside
// the range gives 0.
constexpr int kTipCount = 11;
int decodeTipIndex(const QString &text);

// Texts lose leading and trailing blanks and control characters.
QString trimText(const QString &text);

// The colour dialog's custom colours: "ColorA=FFFFFFFF" ... "ColorP=C8D0D4".
QStringList defaultCustomColors();
QString customColorEntry(int index, ColorValue color); // index 0..15 -> letters A..P
// The colour of an entry; nullopt when the entry is not in that form.
std::optional<ColorValue> parseCustomColorEntry(const QString &entry);

// The colour buttons' sixteen shared custom colours: "$00FFFFFF,$00AF6E3A,...".
constexpr int kColorButtonCustomCount = 16;
QList<ColorValue> defaultColorButtonColors();
QString encodeColorButtonColors(const QList<ColorValue> &colors);
// Always sixteen entries; a missing entry or one that is no number is white.
QList<ColorValue> decodeColorButtonColors(const QString &text);

} // namespace bw::settings
