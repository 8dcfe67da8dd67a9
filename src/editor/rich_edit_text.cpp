// RichEdit: selection, text ranges, display lines and find.

#include "editor/rich_edit.h"

#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextLayout>

namespace bw {

namespace {

QString withLineBreaks(QString text)
{
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

} // namespace

int RichEdit::selectionStart() const
{
    return textCursor().selectionStart();
}

int RichEdit::selectionEnd() const
{
    return textCursor().selectionEnd();
}

void RichEdit::setSelection(int start, int end)
{
    QTextCursor cursor = textCursor();
    const int length = textLength();
    if (start < 0) {
        cursor.clearSelection();
    } else {
        end = end < 0 ? length : qMin(end, length);
        cursor.setPosition(qMin(start, length));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}

QString RichEdit::selectedPlainText() const
{
    return withLineBreaks(textCursor().selectedText());
}

void RichEdit::replaceSelection(const QString &text)
{
    if (isReadOnly() || !allowSelectionChange())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    insertPlainText(cursor, text);
    cursor.endEditBlock();
    setTextCursor(cursor);
}

QString RichEdit::textRange(int start, int end) const
{
    const int length = textLength();
    start = qBound(0, start, length);
    end = end < 0 ? length : qBound(start, end, length);
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return withLineBreaks(cursor.selectedText());
}

int RichEdit::textLength() const
{
    return document()->characterCount() - 1;
}

int RichEdit::lineCount() const
{
    return m_lines.lineCount();
}

int RichEdit::lineFromChar(int position) const
{
    if (position < 0)
        position = selectionStart();
    return m_lines.lineFromPosition(qMin(position, textLength()));
}

int RichEdit::lineIndex(int line) const
{
    if (line < 0)
        line = lineFromChar(textCursor().position());
    int inBlock = 0;
    const QTextBlock block = m_lines.blockOfLine(line, &inBlock);
    if (!block.isValid())
        return -1;
    const QTextLayout *layout = block.layout();
    if (!layout || inBlock >= layout->lineCount())
        return block.position();
    return block.position() + layout->lineAt(inBlock).textStart();
}

int RichEdit::lineLength(int position) const
{
    if (position < 0)
        position = textCursor().position();
    if (position > textLength())
        return 0;
    const QTextBlock block = document()->findBlock(position);
    const QTextLayout *layout = block.layout();
    const int line = lineFromChar(position);
    const int start = lineIndex(line);
    const int next = lineIndex(line + 1);
    const int blockEnd = block.position() + block.length() - 1;
    if (!layout || next < 0 || next > blockEnd)
        return blockEnd - start;
    return next - start;
}

QString RichEdit::lineText(int line) const
{
    const int start = lineIndex(line);
    if (start < 0)
        return {};
    return textRange(start, start + lineLength(start));
}

int RichEdit::findText(const QString &text, int start, const FindOptions &options, int limit)
{
    const int found = findInDocument(document(), text, start, limit, options);
    if (found < 0)
        return -1;
    QTextCursor cursor(document());
    cursor.setPosition(found);
    cursor.setPosition(found + text.size(), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
    return found;
}

} // namespace bw
