#pragma once
// A stored colour: either an RGB colour (0x00BBGGRR) or a system colour
// (0x80000000 + system colour index) that stays symbolic, so a colour such as
// "window background" follows the desktop's palette when it is shown.

#include <QMetaType>
#include <QString>
#include <QtGlobal>

namespace bw {

class ColorValue
{
public:
    // Windows system colour indices used by the settings.
    static constexpr int kWindow = 5;         // window background
    static constexpr int kWindowText = 8;     // window text
    static constexpr int kHighlight = 13;     // selection background
    static constexpr int kHighlightText = 14; // selection text
    static constexpr int kButtonFace = 15;    // button face
    static constexpr int kInfoText = 23;      // tool-tip text
    static constexpr int kInfoBk = 24;        // tool-tip background
    static constexpr quint32 kSystemFlag = 0x80000000u;

    constexpr ColorValue() = default;
    // The raw 32-bit value, as stored (signed decimal in the settings).
    constexpr explicit ColorValue(qint32 raw) : m_raw(static_cast<quint32>(raw)) {}

    static constexpr ColorValue fromRgb(int red, int green, int blue)
    {
        return ColorValue(static_cast<qint32>((quint32(blue & 0xFF) << 16) |
                                              (quint32(green & 0xFF) << 8) | quint32(red & 0xFF)));
    }
    static constexpr ColorValue system(int index)
    {
        return ColorValue(static_cast<qint32>(kSystemFlag | quint32(index & 0xFF)));
    }

    constexpr qint32 raw() const { return static_cast<qint32>(m_raw); }
    constexpr bool isSystem() const { return (m_raw & kSystemFlag) != 0; }
    constexpr int systemIndex() const { return isSystem() ? int(m_raw & 0xFF) : -1; }
    constexpr int red() const { return int(m_raw & 0xFF); }
    constexpr int green() const { return int((m_raw >> 8) & 0xFF); }
    constexpr int blue() const { return int((m_raw >> 16) & 0xFF); }

    // Signed decimal: "-2147483633" for button face, "0" for black.
    QString toText() const { return QString::number(raw()); }
    // A text that is no number gives 0 (black), as every stored integer does.
    static ColorValue fromText(const QString &text);

    friend constexpr bool operator==(ColorValue a, ColorValue b) { return a.m_raw == b.m_raw; }

private:
    quint32 m_raw = 0;
};

} // namespace bw

Q_DECLARE_METATYPE(bw::ColorValue)
