// RichEdit: the numbers of lists that do not start at 1. Qt 6.4's list
// format has no start number, so such lists have no style Qt draws
// (ListStyleUndefined) and the control draws their markers where Qt draws
// the ones of other lists: left of the first line (right of it in a
// right-to-left paragraph), a space apart.

#include "editor/rich_edit.h"

#include "platform/guarded_dispatch.h"
#include "rtf/list_marker.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextList>

namespace bw {
namespace {

bool drawnByControl(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    return list && list->format().style() == QTextListFormat::ListStyleUndefined;
}

} // namespace

std::vector<ListMarker> RichEdit::visibleListMarkers() const
{
    std::vector<ListMarker> markers;
    const QTextDocument *doc = document();
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const qreal bottom = scroll.y() + viewport()->height();
    const int first = layout->hitTest(scroll, Qt::FuzzyHit);
    for (QTextBlock block = doc->findBlock(std::max(first, 0)); block.isValid();
         block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        if (box.top() > bottom)
            break;
        const QTextLayout *lines = block.layout();
        if (!drawnByControl(block) || !block.isVisible() || !lines || lines->lineCount() == 0)
            continue;
        ListMarker marker;
        marker.text = rtf::listMarker(block);
        const QTextCharFormat format = QTextCursor(block).charFormat();
        marker.font = format.font();
        marker.color = format.hasProperty(QTextFormat::ForegroundBrush)
                           ? format.foreground().color()
                           : palette().color(QPalette::Text);
        const QFontMetricsF metrics(marker.font);
        const QRectF text = lines->lineAt(0).naturalTextRect();
        const qreal width = metrics.horizontalAdvance(marker.text);
        const qreal gap = metrics.horizontalAdvance(u' ');
        // The block's box starts where its layout is placed in the document.
        QPointF at = box.topLeft() + text.topLeft() - scroll;
        if (block.textDirection() == Qt::RightToLeft)
            at.rx() += text.width() + gap;
        else
            at.rx() -= gap + width;
        marker.rect = QRectF(at, QSizeF(width, metrics.height()));
        markers.push_back(marker);
    }
    return markers;
}

void RichEdit::paintEvent(QPaintEvent *event)
{
    QTextEdit::paintEvent(event);
    guarded([&] {
        const std::vector<ListMarker> markers = visibleListMarkers();
        if (markers.empty())
            return;
        QPainter painter(viewport());
        for (const ListMarker &marker : markers) {
            painter.setFont(marker.font);
            painter.setPen(marker.color);
            painter.drawText(marker.rect, Qt::AlignLeft | Qt::TextDontClip, marker.text);
        }
    });
}

} // namespace bw
