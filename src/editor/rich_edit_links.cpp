// RichEdit: mouse handling of recognised links and objects.

#include "editor/rich_edit.h"

#include "editor/link_finder.h"
#include "platform/cursors.h"
#include "platform/guarded_dispatch.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

namespace bw {

QString RichEdit::linkAt(int position, int *start, int *end) const
{
    if (!autoUrlDetect())
        return {};
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {};
    const QString text = block.text();
    const int at = position - block.position();
    for (const LinkRange &link : findLinks(text)) {
        if (at >= link.start && at < link.start + link.length) {
            if (start)
                *start = block.position() + link.start;
            if (end)
                *end = block.position() + link.start + link.length;
            return text.mid(link.start, link.length);
        }
    }
    return {};
}

// The position under a viewport point when a link is there, else -1.
int RichEdit::linkHit(const QPoint &viewportPos, LinkEvent *event) const
{
    if (!autoUrlDetect())
        return -1;
    const QPointF documentPos =
        viewportPos + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int hit = document()->documentLayout()->hitTest(documentPos, Qt::ExactHit);
    if (hit < 0)
        return -1;
    for (int position : {hit, hit - 1}) {
        if (position < 0)
            continue;
        const QString text = linkAt(position, &event->start, &event->end);
        if (!text.isEmpty()) {
            event->text = text;
            return position;
        }
    }
    return -1;
}

void RichEdit::mousePressEvent(QMouseEvent *event)
{
    guarded([&] {
        LinkEvent link;
        m_pressedLink.clear();
        if (linkHit(event->position().toPoint(), &link) >= 0) {
            link.button = event->button();
            link.released = false;
            m_pressedLink = link.text;
            m_pressedLinkStart = link.start;
            emit this->link(link);
        }
        QTextEdit::mousePressEvent(event);
    });
}

void RichEdit::mouseReleaseEvent(QMouseEvent *event)
{
    guarded([&] {
        LinkEvent link;
        if (linkHit(event->position().toPoint(), &link) >= 0) {
            link.button = event->button();
            link.released = true;
            emit this->link(link);
            if (link.text == m_pressedLink && link.start == m_pressedLinkStart)
                emit linkClicked(link.text, link.button);
        }
        m_pressedLink.clear();
        QTextEdit::mouseReleaseEvent(event);
    });
}

void RichEdit::mouseMoveEvent(QMouseEvent *event)
{
    guarded([&] {
        if (event->buttons() == Qt::NoButton) {
            // The program's hand over a link; the pixmap is made only when the
            // pointer moves onto one.
            LinkEvent link;
            const bool overLink = linkHit(event->position().toPoint(), &link) >= 0;
            const bool showsHand = viewport()->cursor().shape() == Qt::BitmapCursor;
            if (overLink && !showsHand)
                viewport()->setCursor(CursorTable::make(kCrHandPoint));
            else if (!overLink && showsHand)
                viewport()->setCursor(Qt::IBeamCursor);
        }
        QTextEdit::mouseMoveEvent(event);
    });
}

void RichEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    guarded([&] {
        const int hit = cursorForPosition(event->position().toPoint()).position();
        for (int position : {hit, hit - 1}) {
            if (event->button() == Qt::LeftButton && objectAt(position)) {
                setSelection(position, position + 1);
                openObject(position);
                event->accept();
                return;
            }
        }
        QTextEdit::mouseDoubleClickEvent(event);
    });
}

} // namespace bw
