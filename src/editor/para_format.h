#pragma once
// The paragraph format the editor's callers read and write, with a mask of
// the fields that are set (writing) or the same in every paragraph (reading).
// Lengths are in twips; the document keeps pixels at 96 dpi (15 twips each).

#include <QtGlobal>

class QTextBlockFormat;
class QTextCursor;
class QTextDocument;

namespace bw {

inline constexpr int kTwipsPerPoint = 20;

struct ParaFormat
{
    enum Field : quint32 {
        Alignment = 0x1,
        Numbering = 0x2,
        StartIndent = 0x4,
        Offset = 0x8,
        RightIndent = 0x10,
        SpaceBefore = 0x20,
        SpaceAfter = 0x40,
        LineSpacing = 0x80, // lineSpacing and lineSpacingRule
        All = 0xff,
    };
    enum Align { Left = 0, Right = 1, Center = 2, Justify = 3 };
    enum SpacingRule {
        Single = 0,
        OneAndHalf = 1,
        Double = 2,
        AtLeast = 3,  // lineSpacing twips or more
        Exactly = 4,  // lineSpacing twips
        Multiple = 5, // lineSpacing / 20 lines
    };

    quint32 mask = 0;
    int alignment = Left;
    int numbering = 0;   // 0 none .. 6, see rtf::NumberingKind
    int startIndent = 0; // first line, from the left edge of the text
    int offset = 0;      // other lines, relative to the first line
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    int lineSpacingRule = Single;

    bool has(quint32 fields) const { return (mask & fields) == fields; }
};

inline constexpr int kTwipsPerPixel = 15;

// The format of one paragraph, every mask bit set.
ParaFormat paraFormatFromBlock(const QTextBlockFormat &format);

// Writes the fields named by the mask (all but numbering) into `target`.
void applyParaFormat(const ParaFormat &format, QTextBlockFormat &target);

// The format of the paragraphs from `from` to `to` (the first one's values,
// mask bits cleared where paragraphs differ).
ParaFormat commonParaFormat(const QTextDocument *document, int from, int to);

// Writes `format` to every paragraph the cursor's selection touches, as one
// edit, numbering included (lists joined with a neighbouring list of the
// same kind, so the numbers run on).
void setParaFormat(QTextCursor &cursor, const ParaFormat &format);

// Sets numbering (0 removes it) on every paragraph the selection touches, as
// one edit. A paragraph that takes numbering has its other lines at least
// minimumOffset twips in; removing it puts them back where they were before
// it was set (at 0 when that is not known, as in a document read from a
// file). A paragraph without numbering keeps its indents when none is set.
void setNumbering(QTextCursor &cursor, int numbering, int minimumOffset);

} // namespace bw
