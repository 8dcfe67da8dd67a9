#pragma once
// Changing the character type of a text: lower case, upper case, or the
// program's own word case (every letter after a blank capitalised).

#include <QString>

namespace bw {

enum class CharType { Lowercase = 0, Uppercase = 1, WordCase = 2 };

// ASCII letters lower-cased, then the first letter of the text and every
// letter after a blank (code 32 only) capitalised when it is a to z, å, æ or
// ø. Other characters, tabs and line breaks included, stay as they are.
QString wordCase(const QString &text);

// The text in the given type; lower and upper case follow the locale.
QString changeCharType(const QString &text, CharType type);

} // namespace bw
