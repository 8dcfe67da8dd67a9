#include "document/ruler_marker.h"

#include "platform/cursors.h"
#include "platform/guarded_dispatch.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace bw::notes {

RulerMarker::RulerMarker(const QString &name, Shape shape, const QRect &geometry, QWidget *parent)
    : QWidget(parent), m_shape(shape)
{
    setObjectName(name);
    setGeometry(geometry);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setCursor(CursorTable::make(kCrSizeWE));
}

void RulerMarker::setHandlers(MouseHandler down, MouseHandler move, MouseHandler up)
{
    m_down = std::move(down);
    m_move = std::move(move);
    m_up = std::move(up);
}

void RulerMarker::paintEvent(QPaintEvent *)
{
    guarded([&] {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath path;
        if (m_shape == Shape::Down) {
            path.moveTo(r.topLeft());
            path.lineTo(r.topRight());
            path.lineTo(r.center().x(), r.bottom());
        } else {
            path.moveTo(r.center().x(), r.top());
            path.lineTo(r.bottomRight());
            path.lineTo(r.bottomLeft());
        }
        path.closeSubpath();
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setBrush(palette().color(QPalette::Button));
        painter.drawPath(path);
    });
}

void RulerMarker::mousePressEvent(QMouseEvent *event)
{
    guarded([&] {
        if (event->button() == Qt::LeftButton && m_down)
            m_down(this, qRound(event->position().x()));
        event->accept();
    });
}

void RulerMarker::mouseMoveEvent(QMouseEvent *event)
{
    guarded([&] {
        if (m_move)
            m_move(this, qRound(event->position().x()));
        event->accept();
    });
}

void RulerMarker::mouseReleaseEvent(QMouseEvent *event)
{
    guarded([&] {
        if (event->button() == Qt::LeftButton && m_up)
            m_up(this, qRound(event->position().x()));
        event->accept();
    });
}

} // namespace bw::notes
