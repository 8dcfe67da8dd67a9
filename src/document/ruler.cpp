#include "document/ruler.h"

#include "platform/guarded_dispatch.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QTextOption>

namespace bw::notes {

Ruler::Ruler(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Bar_ChildRuler"));
    setFixedHeight(kHeight);
    setFrameShape(QFrame::NoFrame);
    QFont rulerFont(QStringLiteral("Arial"));
    rulerFont.setPointSize(8);
    setFont(rulerFont);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Ruler::buildRulerTicks()
{
    setCaption(QStringLiteral("\t|").repeated(kTickCount));
}

void Ruler::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

qreal Ruler::tabStopDistance() const
{
    // A panel expands tabs to every eighth average character width.
    return 8.0 * fontMetrics().averageCharWidth();
}

void Ruler::paintEvent(QPaintEvent *event)
{
    guarded([&] {
        QFrame::paintEvent(event);
        QPainter painter(this);
        // The line: the top edge of a lowered bevel, 2 pixels high.
        const int lineWidth = rulerLineWidth();
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(kLineLeft, kLineTop, kLineLeft + lineWidth - 1, kLineTop);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(kLineLeft, kLineTop + 1, kLineLeft + lineWidth - 1, kLineTop + 1);

        QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
        option.setWrapMode(QTextOption::NoWrap);
        option.setTabStopDistance(tabStopDistance());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(rect()), m_caption, option);
    });
}

void Ruler::contextMenuEvent(QContextMenuEvent *event)
{
    guarded([&] {
        emit contextMenuWanted(event->globalPos());
        event->accept();
    });
}

} // namespace bw::notes
