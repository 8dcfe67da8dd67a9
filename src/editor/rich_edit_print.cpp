// RichEdit: the document as it is printed.

#include "editor/rich_edit.h"

#include "rtf/list_marker.h"
#include "rtf/text_properties.h"

#include <QPrinter>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextList>

#include <vector>

namespace bw {

std::unique_ptr<QTextDocument> RichEdit::printableDocument() const
{
    std::unique_ptr<QTextDocument> copy(document()->clone());
    std::vector<std::pair<int, int>> hidden;
    std::vector<std::pair<int, int>> disabled;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat format = f.charFormat();
            if (format.boolProperty(rtf::Hidden))
                hidden.emplace_back(f.position(), f.position() + f.length());
            else if (format.boolProperty(rtf::Disabled))
                disabled.emplace_back(f.position(), f.position() + f.length());
        }
    }
    QTextCursor cursor(copy.get());
    QTextCharFormat grey;
    grey.setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    for (const auto &[from, to] : disabled) {
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(grey);
    }
    // Back to front, so the positions still hold.
    for (auto it = hidden.rbegin(); it != hidden.rend(); ++it) {
        cursor.setPosition(it->first);
        cursor.setPosition(it->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    printListMarkers(*copy);
    return copy;
}

// The numbers the control draws itself (lists that do not start at 1) become
// text of their paragraphs, since printing lays out the document alone.
void RichEdit::printListMarkers(QTextDocument &copy)
{
    std::vector<std::pair<QTextBlock, QString>> marked;
    for (QTextBlock block = copy.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        if (list && list->format().style() == QTextListFormat::ListStyleUndefined)
            marked.emplace_back(block, rtf::listMarker(block));
    }
    for (auto it = marked.rbegin(); it != marked.rend(); ++it) {
        it->first.textList()->remove(it->first);
        QTextCursor at(it->first);
        at.insertText(it->second + u'\t');
    }
}

void RichEdit::print(QPrinter *printer) const
{
    printableDocument()->print(printer);
}

} // namespace bw
