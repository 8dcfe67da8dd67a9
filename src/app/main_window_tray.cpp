// The tray icon and its menu, whose left margin carries the program's name
// running upward on a black-to-blue gradient.

#include "app/main_window.h"

#include "app/app_strings.h"
#include "commands/command_menus.h"
#include "platform/guarded_dispatch.h"

#include <QFont>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QSystemTrayIcon>

namespace bw {

namespace {

constexpr int kTrayMarginWidth = 25;
constexpr int kGradientSteps = 32;
constexpr int kTextBottomGap = 5;

// A menu with a drawn margin at its left edge.
class MarginMenu : public QMenu
{
public:
    using DrawMargin = std::function<void(QPainter &, const QRect &)>;
    MarginMenu(DrawMargin draw, QWidget *parent) : QMenu(parent), m_draw(std::move(draw))
    {
        setContentsMargins(kTrayMarginWidth, 0, 0, 0);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QMenu::paintEvent(event);
        QPainter painter(this);
        m_draw(painter, QRect(0, 0, kTrayMarginWidth, height()));
    }

private:
    DrawMargin m_draw;
};

QIcon trayImage(const QWidget *window)
{
    if (!window->windowIcon().isNull())
        return window->windowIcon();
    return QIcon::fromTheme(QStringLiteral("accessories-text-editor"));
}

} // namespace

void MainWindow::createTray()
{
    const IconSource icons = [this](int index) { return commandIcon(index); };
    m_pmTrayIcon = new MarginMenu(
        [this](QPainter &painter, const QRect &margin) { pmTrayIconDrawMargin(painter, margin); },
        this);
    fillMenu(m_pmTrayIcon, QLatin1String(kTrayIconMenu), lookupIn({m_actions}), icons);
    m_trayIcon = new QSystemTrayIcon(trayImage(this), this);
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    m_trayIcon->setContextMenu(m_pmTrayIcon);
    guardedConnect(m_trayIcon, &QSystemTrayIcon::activated, this,
                   [this](QSystemTrayIcon::ActivationReason reason) {
                       if (reason == QSystemTrayIcon::DoubleClick)
                           m_actions.value(QStringLiteral("actTrayIconShow"))->trigger();
                   });
}

void MainWindow::pmTrayIconDrawMargin(QPainter &painter, const QRect &margin)
{
    painter.save();
    for (int step = 0; step < kGradientSteps; ++step) {
        const int top = margin.top() + margin.height() * step / kGradientSteps;
        const int bottom = margin.top() + margin.height() * (step + 1) / kGradientSteps;
        const int blue = 255 * step / (kGradientSteps - 1);
        painter.fillRect(QRect(margin.left(), top, margin.width(), bottom - top),
                         QColor(0, 0, blue));
    }
    QFont font(QStringLiteral("Tahoma"));
    font.setBold(true);
    font.setPointSize(9);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.setClipRect(margin);
    painter.translate(margin.left(), margin.bottom() - kTextBottomGap);
    painter.rotate(-90);
    const QFontMetrics metrics(font);
    const int baseline = (margin.width() + metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPoint(0, baseline), loadStr(StrId::TrayMenuCaption));
    painter.restore();
}

} // namespace bw
