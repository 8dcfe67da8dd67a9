#include "document/status_bar.h"

#include "platform/guarded_dispatch.h"

#include <QPainter>
#include <qdrawutil.h>

namespace bw::notes {

namespace {
constexpr int kTextIndent = 20;      // text right of a panel's picture
constexpr int kTextTop = 1;          // text below a panel's top edge
constexpr int kLineColumnSpan = 130; // the last panel's text starts this far left of its right edge
constexpr int kGap = 2;              // between two panels
constexpr int kTextEndGap = 4;       // after a panel's text, before its edge
} // namespace

StatusBar::StatusBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Bar_ChildStatus"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void StatusBar::setPanel(int index, const QString &text, const QPixmap &picture)
{
    if (index < 0 || index >= kPanelCount)
        return;
    const int before = panelWidth(index);
    m_panels[index] = Panel{text, picture};
    // A panel that grew for its text moves the panels right of it.
    if (panelWidth(index) != before)
        update();
    else
        update(panelRect(index));
}

void StatusBar::clearPanels()
{
    for (int i = 0; i < kPanelCount; ++i)
        m_panels[i] = Panel{};
    update();
}

QString StatusBar::panelText(int index) const
{
    return index >= 0 && index < kPanelCount ? m_panels[index].text : QString();
}

bool StatusBar::panelHasPicture(int index) const
{
    return index >= 0 && index < kPanelCount && !m_panels[index].picture.isNull();
}

// A panel keeps its width unless its text needs more: "Items: 100000" shows
// whole rather than cut at the panel's edge.
int StatusBar::panelWidth(int index) const
{
    const Panel &panel = m_panels[index];
    if (index == kPanelCount - 1 || panel.text.isEmpty())
        return kPanelWidths[index];
    const int indent = panel.picture.isNull() ? 0 : kTextIndent;
    const int needed = 2 + indent + fontMetrics().horizontalAdvance(panel.text) + kTextEndGap;
    return std::max(kPanelWidths[index], needed);
}

QRect StatusBar::panelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += panelWidth(i) + kGap;
    int width = panelWidth(index);
    if (index == kPanelCount - 1)
        width = std::max(width, this->width() - left);
    return QRect(left, 0, width, height());
}

QSize StatusBar::sizeHint() const
{
    const int textHeight = fontMetrics().height();
    int width = 0;
    for (int i = 0; i < kPanelCount; ++i)
        width += panelWidth(i) + kGap;
    return QSize(width, std::max(textHeight, 14) + 6);
}

void StatusBar::paintEvent(QPaintEvent *)
{
    guarded([&] {
        QPainter painter(this);
        for (int i = 0; i < kPanelCount; ++i)
            drawPanel(painter, i);
    });
}

void StatusBar::drawPanel(QPainter &painter, int index) const
{
    const QRect frame = panelRect(index);
    qDrawShadePanel(&painter, frame, palette(), true, 1);

    const QRect inner = frame.adjusted(1, 1, -1, -1);
    const Panel &panel = m_panels[index];
    int textLeft = inner.left();
    if (!panel.picture.isNull()) {
        painter.drawPixmap(inner.topLeft(), panel.picture);
        textLeft += kTextIndent;
    }
    if (index == kPanelCount - 1)
        textLeft = inner.right() - kLineColumnSpan;
    if (panel.text.isEmpty())
        return;
    const QRect textRect(textLeft, inner.top() + kTextTop, inner.right() - textLeft,
                         inner.height() - kTextTop);
    const int align = Qt::AlignTop | Qt::AlignLeft;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect, align | Qt::TextSingleLine, panel.text);
}

} // namespace bw::notes
