#pragma once
// One indent marker of the ruler (`FirstInd`, `LeftInd`, `RightInd`): a small
// transparent widget showing a triangle, as the markers' symbol-font glyphs
// looked, and reporting mouse presses, moves and releases to the ruler's
// controller.

#include <QWidget>

#include <functional>

namespace bw::notes {

class RulerMarker : public QWidget
{
    Q_OBJECT
public:
    enum class Shape { Down, Up };
    using MouseHandler = std::function<void(RulerMarker *marker, int x)>;

    RulerMarker(const QString &name, Shape shape, const QRect &geometry, QWidget *parent);

    void setHandlers(MouseHandler down, MouseHandler move, MouseHandler up);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Shape m_shape;
    MouseHandler m_down;
    MouseHandler m_move;
    MouseHandler m_up;
};

} // namespace bw::notes
