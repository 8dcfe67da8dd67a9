#include "splash_window.h"

#include "platform/guarded_dispatch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace bw {

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_picture(QStringLiteral(":/splash.png"))
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), kSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void SplashWindow::showNow()
{
    show();
    repaint();
    QCoreApplication::processEvents();
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    guarded([&] {
        QPainter painter(this);
        painter.drawPixmap(rect(), m_picture);
    });
}

} // namespace bw
