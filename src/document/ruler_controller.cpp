#include "document/ruler_controller.h"

#include "document/document_context.h"
#include "document/format_commands.h"
#include "document/ruler.h"
#include "document/ruler_marker.h"
#include "editor/para_format.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"

#include <QEvent>
#include <QPaintEngine>
#include <QPainter>

namespace bw::notes {

namespace {

// The dotted guide line, drawn over the editor's text by inverting what lies
// below it, so drawing it twice in one place leaves nothing.
class GuideLine : public QWidget
{
public:
    explicit GuideLine(QWidget *viewport) : QWidget(viewport)
    {
        setObjectName(QStringLiteral("RulerGuideLine"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
        hide();
    }
    void setX(int x)
    {
        m_x = x;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(pen);
        if (painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
            painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter.drawLine(m_x, 0, m_x, height());
    }

private:
    int m_x = 0;
};

} // namespace

RulerController::RulerController(DocumentContext &window, FormatCommands &commands)
    : QObject(&commands), m_window(window), m_commands(commands), m_ruler(window.ruler()),
      m_editor(window.editor())
{
    using Shape = RulerMarker::Shape;
    FirstInd =
        new RulerMarker(QStringLiteral("FirstInd"), Shape::Down, QRect(2, 2, 10, 9), m_ruler);
    LeftInd = new RulerMarker(QStringLiteral("LeftInd"), Shape::Up, QRect(2, 12, 10, 11), m_ruler);
    RightInd =
        new RulerMarker(QStringLiteral("RightInd"), Shape::Up, QRect(300, 14, 9, 12), m_ruler);
    auto down = [this](RulerMarker *marker, int x) { rulerItemMouseDown(marker, x); };
    auto move = [this](RulerMarker *marker, int x) { rulerItemMouseMove(marker, x); };
    FirstInd->setHandlers(down, move, [this](RulerMarker *, int) { firstIndMouseUp(); });
    LeftInd->setHandlers(down, move, [this](RulerMarker *, int) { leftIndMouseUp(); });
    RightInd->setHandlers(down, move, [this](RulerMarker *, int) { rightIndMouseUp(); });
    m_guide = new GuideLine(m_editor->viewport());
    m_editor->viewport()->installEventFilter(this);
    m_ruler->installEventFilter(this);
}

bool RulerController::eventFilter(QObject *watched, QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        if (event->type() == QEvent::Resize &&
            (watched == m_ruler || watched == m_editor->viewport()))
            placeMarkers();
        return QObject::eventFilter(watched, event);
    });
}

int RulerController::indentToRulerX(int points, Side side) const
{
    const int pixels = pointsToPixels(points);
    const QRect text = m_editor->textRect();
    const QPoint point = side == Side::Left
                             ? QPoint(text.x() + pixels, text.y())
                             : QPoint(text.x() + text.width() - pixels, text.y() + text.height());
    const QPoint inWindow = m_editor->viewport()->mapTo(m_window.widget(), point);
    return m_ruler->mapFrom(m_window.widget(), inWindow).x();
}

int RulerController::rulerToEditorX(int x) const
{
    const QPoint inWindow = m_ruler->mapTo(m_window.widget(), QPoint(x, 0));
    return m_editor->viewport()->mapFrom(m_window.widget(), inWindow).x();
}

int RulerController::rulerXToIndent(int x, Side side) const
{
    const int editorX = rulerToEditorX(x);
    const QRect text = m_editor->textRect();
    const int distance =
        side == Side::Right ? text.x() + text.width() - editorX : editorX - text.x();
    return pixelsToPoints(distance);
}

void RulerController::placeMarkers()
{
    // A drag keeps the marker where the pointer is until it ends.
    if (m_dragging)
        return;
    const ParaFormat paragraph = m_editor->paraFormat();
    const int first = paragraph.startIndent / kTwipsPerPoint;
    const int left = (paragraph.startIndent + paragraph.offset) / kTwipsPerPoint;
    const int right = paragraph.rightIndent / kTwipsPerPoint;
    FirstInd->move(indentToRulerX(first, Side::Left) - FirstInd->width() / 2, FirstInd->y());
    LeftInd->move(indentToRulerX(left, Side::Left) - LeftInd->width() / 2, LeftInd->y());
    RightInd->move(indentToRulerX(right, Side::Right) - RightInd->width() / 2, RightInd->y());
}

void RulerController::updateGuideLineX(RulerMarker *marker)
{
    m_guideX = rulerToEditorX(marker->x()) + m_grabOffset;
}

void RulerController::toggleGuideLine()
{
    m_guideShown = !m_guideShown;
    auto *guide = static_cast<GuideLine *>(m_guide);
    if (m_guideShown) {
        guide->setGeometry(m_editor->viewport()->rect());
        guide->setX(m_guideX);
        guide->raise();
    }
    guide->setVisible(m_guideShown);
}

void RulerController::rulerItemMouseDown(RulerMarker *marker, int x)
{
    m_grabOffset = marker->width() / 2;
    marker->move(qMax(0, marker->x() + x - m_grabOffset), marker->y());
    updateGuideLineX(marker);
    if (!m_guideShown)
        toggleGuideLine();
    m_dragging = true;
}

void RulerController::rulerItemMouseMove(RulerMarker *marker, int x)
{
    if (!m_dragging)
        return;
    toggleGuideLine();
    const int left = qMax(0, marker->x() + x - m_grabOffset);
    marker->move(qMin(left, m_ruler->width() - 2 * m_grabOffset), marker->y());
    updateGuideLineX(marker);
    toggleGuideLine();
}

void RulerController::endDrag()
{
    m_dragging = false;
    if (m_guideShown)
        toggleGuideLine();
}

void RulerController::firstIndMouseUp()
{
    m_dragging = false;
    ParaFormat format;
    format.mask = ParaFormat::StartIndent;
    format.startIndent =
        qMax(0, rulerXToIndent(FirstInd->x() + m_grabOffset, Side::Left)) * kTwipsPerPoint;
    m_commands.writeParaFormat(format);
    // The other lines keep their place on screen: the left marker has not
    // moved, so their indent is taken from it against the new first line.
    leftIndMouseUp();
}

void RulerController::leftIndMouseUp()
{
    endDrag();
    const int first = m_editor->paraFormat().startIndent / kTwipsPerPoint;
    ParaFormat format;
    format.mask = ParaFormat::Offset;
    format.offset = qMax(-first, rulerXToIndent(LeftInd->x() + m_grabOffset, Side::Left) - first) *
                    kTwipsPerPoint;
    m_commands.writeParaFormat(format);
    m_window.editorSelectionChange();
}

void RulerController::rightIndMouseUp()
{
    endDrag();
    ParaFormat format;
    format.mask = ParaFormat::RightIndent;
    format.rightIndent =
        qMax(0, rulerXToIndent(RightInd->x() + m_grabOffset, Side::Right)) * kTwipsPerPoint;
    m_commands.writeParaFormat(format);
    m_window.editorSelectionChange();
}

} // namespace bw::notes
