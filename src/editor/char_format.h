#pragma once
// The character format the editor's callers read and write: a plain struct
// with a mask of the attributes that are set (when writing) or consistent
// over the selection (when reading). Sizes are kept in twips.

#include <QColor>
#include <QFont>
#include <QString>

class QTextCharFormat;
class QTextDocument;

namespace bw {

struct CharFormat
{
    enum Field : quint32 {
        Face = 0x1,
        Size = 0x2,
        Bold = 0x4,
        Italic = 0x8,
        Underline = 0x10,
        StrikeOut = 0x20,
        Color = 0x40,     // color and autoColor
        BackColor = 0x80, // backColor and autoBackColor
        Protected = 0x100,
        Hidden = 0x200,
        Disabled = 0x400,
        Superscript = 0x800, // written together with Subscript, one clears the other
        Subscript = 0x1000,
        Weight = 0x2000,
        Styles = Bold | Italic | Underline | StrikeOut,
        Script = Superscript | Subscript,
        All = 0x3fff,
    };
    static constexpr int kMaxFaceLength = 31;
    static constexpr int kMinSizeTwips = 20;    // 1 point
    static constexpr int kMaxSizeTwips = 32760; // 1638 points

    quint32 mask = 0;
    QString face;
    int sizeTwips = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color;
    bool autoColor = false;
    QColor backColor;
    bool autoBackColor = false;
    bool protectedText = false;
    bool hidden = false;
    bool disabled = false;
    bool superscript = false;
    bool subscript = false;
    int weight = 400; // CSS-like weight: 400 normal, 700 bold

    bool has(quint32 fields) const { return (mask & fields) == fields; }
    int sizePoints() const { return sizeTwips / 20; }
    void setSizePoints(int points)
    {
        sizeTwips = points * 20;
        mask |= Size;
    }
};

// What a run without its own face, size or colours reads as: the control's
// default font and its automatic colours.
struct FormatDefaults
{
    QFont font;
    QColor text;
    QColor background;
};

// The format of one run of text, with every mask bit set.
CharFormat charFormatFromText(const QTextCharFormat &format, const FormatDefaults &defaults);

// Writes the fields of `format` named by its mask into `target`.
void applyCharFormat(const CharFormat &format, QTextCharFormat &target);

// The format of the characters from `from` to `to`: the first run's values,
// with a mask bit cleared for every attribute that differs somewhere.
CharFormat commonCharFormat(const QTextDocument *document, int from, int to,
                            const FormatDefaults &defaults);

} // namespace bw
