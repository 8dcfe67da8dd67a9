#pragma once
// Small helpers for the editor's tests: documents built run by run through
// QTextCursor, and selections.

#include "editor/rich_edit.h"

#include <QTextCursor>
#include <QTextDocument>

#include <initializer_list>
#include <utility>

namespace bw::test {

// Appends runs of text, each with its own character format.
inline void appendRuns(RichEdit &edit,
                       std::initializer_list<std::pair<QString, QTextCharFormat>> runs)
{
    QTextCursor cursor(edit.document());
    cursor.movePosition(QTextCursor::End);
    for (const auto &[text, format] : runs)
        cursor.insertText(text, format);
}

inline QTextCharFormat boldFormat()
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    return f;
}

inline QTextCharFormat propertyFormat(int property)
{
    QTextCharFormat f;
    f.setProperty(property, true);
    return f;
}

inline QTextCharFormat formatAt(const RichEdit &edit, int position)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

} // namespace bw::test
