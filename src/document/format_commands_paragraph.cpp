// The paragraph commands of the document window: alignment, numbering and
// the paragraph dialog.

#include "document/format_commands.h"

#include "document/document_context.h"
#include "document/frame_services.h"
#include "document/paragraph_dialog.h"
#include "editor/para_format.h"
#include "editor/rich_edit.h"

#include <QAction>
#include <QSpinBox>

namespace bw::notes {

namespace {

// A numbered paragraph's other lines start at least this far in.
constexpr int kNumberingIndentPoints = 10;

struct ParagraphCommand
{
    const char *name;
    int tag;
    int value; // -1: no value of its own
};

const ParagraphCommand kAlignCommands[] = {
    {"actFormatAlignLeft", 31, ParaFormat::Left},
    {"actFormatAlignCenter", 32, ParaFormat::Center},
    {"actFormatAlignJustify", 33, ParaFormat::Justify},
    {"actFormatAlignRight", 34, ParaFormat::Right},
};

const ParagraphCommand kNumberingCommands[] = {
    {"actFormatNumberingNoNumbering", 40, -1}, {"actFormatNumberingLetterLC", 41, 3},
    {"actFormatNumberingLetterUC", 42, 4},     {"actFormatNumberingRomanLC", 43, 5},
    {"actFormatNumberingRomanUC", 44, 6},      {"actFormatNumberingSymbols", 45, 1},
    {"actFormatNumberingNumber", 46, 2},       {"actFormatNumberingUnicodeSeq", 47, -1},
};

// The dialog's alignment items in order: Left, Center, Justify, Right.
constexpr int kAlignmentOfItem[] = {ParaFormat::Left, ParaFormat::Center, ParaFormat::Justify,
                                    ParaFormat::Right};

int itemOfAlignment(int alignment)
{
    for (int item = 0; item < 4; ++item)
        if (kAlignmentOfItem[item] == alignment)
            return item;
    return 0;
}

} // namespace

void FormatCommands::connectParagraphCommands()
{
    for (const ParagraphCommand &align : kAlignCommands)
        onCommand(align.name, [this](QAction *sender) { actFormatAlignAll(sender); });
    for (const ParagraphCommand &numbering : kNumberingCommands)
        onCommand(numbering.name, [this](QAction *sender) { actFormatNumberingAll(sender); });
    onCommand("actFormatParagraph", [this](QAction *) { actFormatParagraphExecute(); });
}

bool FormatCommands::writeParaFormat(const ParaFormat &format)
{
    if (!m_window.ensureEditState())
        return false;
    m_editor->setParaFormat(format);
    return true;
}

void FormatCommands::actFormatAlignAll(QAction *sender)
{
    if (m_window.updatingFormatControls())
        return;
    const int tag = commandTag(sender);
    for (const ParagraphCommand &align : kAlignCommands) {
        if (align.tag != tag)
            continue;
        ParaFormat format;
        format.mask = ParaFormat::Alignment;
        format.alignment = align.value;
        writeParaFormat(format);
    }
}

void FormatCommands::actFormatNumberingAll(QAction *sender)
{
    if (m_window.updatingFormatControls())
        return;
    const int tag = commandTag(sender);
    for (const ParagraphCommand &numbering : kNumberingCommands) {
        if (numbering.tag != tag)
            continue;
        // The update rule marks the command of the paragraph's numbering and
        // the execution flips it: the paragraph's own style is removed, any
        // other paragraph takes the command's style. No Numbering and
        // Unicode Sequence (no sequence kind in the control) remove it.
        const int current = m_editor->paraFormat().numbering;
        const bool removes = numbering.value < 0 || numbering.value == current;
        writeNumbering(removes ? 0 : numbering.value);
    }
}

void FormatCommands::writeNumbering(int numbering)
{
    if (!m_window.ensureEditState())
        return;
    m_editor->setNumbering(numbering, kNumberingIndentPoints * kTwipsPerPoint);
}

void FormatCommands::updateParagraphChecks(const ParaFormat &paragraph)
{
    for (const ParagraphCommand &align : kAlignCommands)
        if (align.value == paragraph.alignment)
            command(align.name)->setChecked(true);
    for (const ParagraphCommand &align : kAlignCommands)
        if (align.value != paragraph.alignment && paragraph.alignment >= 0 &&
            paragraph.alignment <= ParaFormat::Justify)
            command(align.name)->setChecked(false);
    // No Numbering shows paragraphs without numbering; Unicode Sequence has
    // no kind of its own to show.
    for (const ParagraphCommand &numbering : kNumberingCommands)
        if (numbering.value > 0)
            command(numbering.name)->setChecked(numbering.value == paragraph.numbering);
    command("actFormatNumberingNoNumbering")->setChecked(paragraph.numbering == 0);
    command("actFormatNumberingUnicodeSeq")->setChecked(false);
}

bool FormatCommands::showParagraphDialog()
{
    const ParaFormat current = m_editor->paraFormat();
    ParagraphDialog dialog(m_window.widget());
    dialog.LeftIndent->setValue(current.offset / kTwipsPerPoint);
    dialog.RightIndent->setValue(current.rightIndent / kTwipsPerPoint);
    dialog.FirstIndent->setValue(current.startIndent / kTwipsPerPoint);
    dialog.setAlignmentItem(itemOfAlignment(current.alignment));
    dialog.SpaceBefore->setValue(current.spaceBefore / kTwipsPerPoint);
    dialog.SpaceAfter->setValue(current.spaceAfter / kTwipsPerPoint);
    dialog.LineSpacing->setValue(current.lineSpacing / kTwipsPerPoint);
    const ParagraphDialog::Values shown = dialog.values();
    if (m_frame.prompts().exec(&dialog) != QDialog::Accepted)
        return false;
    // Only what the user changed is written, in one write: lengths the boxes
    // round to whole points, a line spacing they cannot show (1.5, double,
    // multiple) and values that differ between the selected paragraphs stay
    // as they are.
    const ParagraphDialog::Values chosen = dialog.values();
    ParaFormat format;
    auto take = [&format](int shownPoints, int points, quint32 bit, int &field) {
        if (points == shownPoints)
            return;
        format.mask |= bit;
        field = points * kTwipsPerPoint;
    };
    take(shown.left, chosen.left, ParaFormat::Offset, format.offset);
    take(shown.right, chosen.right, ParaFormat::RightIndent, format.rightIndent);
    take(shown.first, chosen.first, ParaFormat::StartIndent, format.startIndent);
    take(shown.spaceBefore, chosen.spaceBefore, ParaFormat::SpaceBefore, format.spaceBefore);
    take(shown.spaceAfter, chosen.spaceAfter, ParaFormat::SpaceAfter, format.spaceAfter);
    take(shown.lineSpacing, chosen.lineSpacing, ParaFormat::LineSpacing, format.lineSpacing);
    if (format.has(ParaFormat::LineSpacing)) {
        // Exact spacing stays exact at its new value; anything else becomes
        // at least the value, or single spacing at 0.
        const bool exact =
            current.has(ParaFormat::LineSpacing) && current.lineSpacingRule == ParaFormat::Exactly;
        format.lineSpacingRule = chosen.lineSpacing <= 0 ? ParaFormat::Single
                                 : exact                 ? ParaFormat::Exactly
                                                         : ParaFormat::AtLeast;
    }
    if (chosen.alignmentItem != shown.alignmentItem) {
        format.mask |= ParaFormat::Alignment;
        format.alignment = kAlignmentOfItem[qBound(0, chosen.alignmentItem, 3)];
    }
    if (format.mask != 0)
        writeParaFormat(format);
    return true;
}

void FormatCommands::actFormatParagraphExecute()
{
    showParagraphDialog();
    m_window.focusEditor();
}

} // namespace bw::notes
