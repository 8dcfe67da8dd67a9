// RichEdit: character and paragraph formats of the selection.

#include "editor/rich_edit.h"

#include "rtf/text_properties.h"

#include <QTextBlock>
#include <QTextFragment>

#include <vector>

namespace bw {

namespace {

bool isWordChar(const QString &text, int index)
{
    if (index < 0 || index >= text.size())
        return false;
    const QChar c = text.at(index);
    return c.isLetterOrNumber() || c == u'_' || c == u'\'';
}

struct Run
{
    int start;
    int end;
    QTextCharFormat format;
};

// The runs of one format between start and end.
std::vector<Run> runsIn(const QTextDocument *document, int start, int end)
{
    std::vector<Run> runs;
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int from = qMax(start, f.position());
            const int to = qMin(end, f.position() + f.length());
            if (from < to)
                runs.push_back({from, to, f.charFormat()});
        }
    }
    return runs;
}

// True when the caret stands before the first letter of a word.
bool caretAtWordStart(const QTextCursor &cursor)
{
    const QString text = cursor.block().text();
    const int at = cursor.position() - cursor.block().position();
    return !isWordChar(text, at - 1) && isWordChar(text, at);
}

} // namespace

// The word around the caret when the caret is inside one, else the caret.
std::pair<int, int> RichEdit::wordRange() const
{
    const QTextCursor cursor = textCursor();
    const int position = cursor.position();
    const QTextBlock block = cursor.block();
    const QString text = block.text();
    const int at = position - block.position();
    if (!isWordChar(text, at - 1) || !isWordChar(text, at))
        return {position, position};
    int start = at;
    while (isWordChar(text, start - 1))
        --start;
    int end = at;
    while (isWordChar(text, end))
        ++end;
    return {block.position() + start, block.position() + end};
}

CharFormat RichEdit::selectionCharFormat(FormatTarget target) const
{
    const QTextCursor cursor = textCursor();
    auto [start, end] = std::pair{cursor.selectionStart(), cursor.selectionEnd()};
    if (start == end && target == FormatTarget::SelectionWord) {
        std::tie(start, end) = wordRange();
        // Before a word's first letter the word's own look is what the
        // font box shows; setting there still changes only the insertion.
        if (start == end && caretAtWordStart(cursor))
            end = start + 1;
    }
    if (start == end)
        return charFormatFromText(cursor.charFormat(), formatDefaults());
    return commonCharFormat(document(), start, end, formatDefaults());
}

void RichEdit::setSelectionCharFormat(const CharFormat &format, FormatTarget target)
{
    m_lastFormat = FormatChange{format, target, std::nullopt, std::nullopt};
    QTextCursor cursor = textCursor();
    auto [start, end] = std::pair{cursor.selectionStart(), cursor.selectionEnd()};
    if (start == end && target == FormatTarget::SelectionWord)
        std::tie(start, end) = wordRange();
    if (start == end) {
        // Only the format the next typed text takes.
        QTextCharFormat insertion = cursor.charFormat();
        applyCharFormat(format, insertion);
        cursor.setCharFormat(insertion);
        setTextCursor(cursor);
        return;
    }
    if (isReadOnly() || !allowChange(start, end))
        return;
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (Run &run : runsIn(document(), start, end)) {
        applyCharFormat(format, run.format);
        edit.setPosition(run.start);
        edit.setPosition(run.end, QTextCursor::KeepAnchor);
        edit.setCharFormat(run.format);
    }
    edit.endEditBlock();
}

ParaFormat RichEdit::paraFormat() const
{
    const QTextCursor cursor = textCursor();
    return commonParaFormat(document(), cursor.selectionStart(), cursor.selectionEnd());
}

bool RichEdit::allowParagraphChange() const
{
    const QTextCursor cursor = textCursor();
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    // The whole paragraphs, for the protected check.
    const int start = first.position();
    const int end = last.position() + last.length() - 1;
    return !isReadOnly() && allowChange(start, qMax(start + 1, end));
}

void RichEdit::setParaFormat(const ParaFormat &format)
{
    m_lastFormat = FormatChange{std::nullopt, FormatTarget::Selection, format, std::nullopt};
    if (!allowParagraphChange())
        return;
    QTextCursor cursor = textCursor();
    bw::setParaFormat(cursor, format);
}

void RichEdit::setNumbering(int numbering, int minimumOffset)
{
    m_lastFormat = FormatChange{std::nullopt, FormatTarget::Selection, std::nullopt,
                                std::pair{numbering, minimumOffset}};
    if (!allowParagraphChange())
        return;
    QTextCursor cursor = textCursor();
    bw::setNumbering(cursor, numbering, minimumOffset);
}

void RichEdit::repeatLastFormat()
{
    if (!m_lastFormat)
        return;
    const FormatChange change = *m_lastFormat;
    if (change.character)
        setSelectionCharFormat(*change.character, change.target);
    if (change.paragraph)
        setParaFormat(*change.paragraph);
    if (change.numbering)
        setNumbering(change.numbering->first, change.numbering->second);
}

} // namespace bw
