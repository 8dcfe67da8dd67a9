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
        // Unicode Sequence (no sequence kind in the control) write none.
        const int current = m_editor->paraFormat().numbering;
        const bool removes = numbering.value < 0 || numbering.value == current;
        writeNumbering(removes ? 0 : numbering.value);
    }
}

void FormatCommands::writeNumbering(int numbering)
{
    ParaFormat format;
    format.mask = ParaFormat::Numbering | ParaFormat::Offset;
    format.numbering = numbering;
    const int offset = m_editor->paraFormat().offset;
    const int minimum = kNumberingIndentPoints * kTwipsPerPoint;
    if (numbering == 0)
        format.offset = 0;
    else if (offset / kTwipsPerPoint < kNumberingIndentPoints)
        format.offset = minimum;
    else
        format.mask = ParaFormat::Numbering;
    writeParaFormat(format);
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
    // No Numbering and Unicode Sequence keep their mark until another
    // member of their group is checked.
    for (const ParagraphCommand &numbering : kNumberingCommands)
        if (numbering.value > 0)
            command(numbering.name)->setChecked(numbering.value == paragraph.numbering);
    if (paragraph.numbering > 0) {
        command("actFormatNumberingNoNumbering")->setChecked(false);
        command("actFormatNumberingUnicodeSeq")->setChecked(false);
    }
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
    if (m_frame.prompts().exec(&dialog) != QDialog::Accepted)
        return false;
    // One write, in the order left, right, first, alignment, spacing.
    ParaFormat format;
    format.mask = ParaFormat::Offset | ParaFormat::RightIndent | ParaFormat::StartIndent |
                  ParaFormat::Alignment | ParaFormat::SpaceBefore | ParaFormat::SpaceAfter |
                  ParaFormat::LineSpacing;
    format.offset = dialog.LeftIndent->value() * kTwipsPerPoint;
    format.rightIndent = dialog.RightIndent->value() * kTwipsPerPoint;
    format.startIndent = dialog.FirstIndent->value() * kTwipsPerPoint;
    format.alignment = kAlignmentOfItem[qBound(0, dialog.alignmentItem(), 3)];
    format.spaceBefore = dialog.SpaceBefore->value() * kTwipsPerPoint;
    format.spaceAfter = dialog.SpaceAfter->value() * kTwipsPerPoint;
    const int spacing = dialog.LineSpacing->value();
    format.lineSpacingRule = spacing <= 0 ? ParaFormat::Single : ParaFormat::AtLeast;
    format.lineSpacing = spacing * kTwipsPerPoint;
    writeParaFormat(format);
    return true;
}

void FormatCommands::actFormatParagraphExecute()
{
    showParagraphDialog();
    m_window.focusEditor();
}

} // namespace bw::notes
