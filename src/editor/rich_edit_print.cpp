// RichEdit: the document as it is printed.

#include "editor/rich_edit.h"

#include "editor/rtf/text_properties.h"

#include <QPrinter>
#include <QTextBlock>
#include <QTextFragment>

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
    return copy;
}

void RichEdit::print(QPrinter *printer) const
{
    printableDocument()->print(printer);
}

} // namespace bw
