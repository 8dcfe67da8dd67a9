#pragma once
// The font family new text is set in. The defaults name Windows fonts that a
// Linux desktop usually lacks; text in such a font would be drawn in a
// substitute while the font box names the missing one.

#include <QString>

namespace bw {

// `family` when a font of that family is installed, else the family the
// desktop's default font is drawn in.
QString installedFontFamily(const QString &family);

} // namespace bw
