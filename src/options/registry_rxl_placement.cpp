// Window placement of a settings store: the Windows placement values mapped
// onto Qt's window geometry and state (see docs/settings.md).

#include "registry_rxl.h"

#include "settings/encodings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace bw {

namespace {

// Windows show commands and placement flags.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
constexpr int kFlagSetMinPosition = 1;
constexpr int kFlagRestoreToMaximized = 2;

QScreen *screenOf(const QWidget *w)
{
    QScreen *s = w ? w->screen() : nullptr;
    return s ? s : QGuiApplication::primaryScreen();
}

int pixelsPerInch(const QWidget *w)
{
    const QScreen *s = screenOf(w);
    return s ? int(std::lround(s->logicalDotsPerInch())) : 96;
}

QString rectText(const QRect &r)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(r.left())
        .arg(r.top())
        .arg(r.x() + r.width())
        .arg(r.y() + r.height());
}

// "left,top,right,bottom" -> rectangle; invalid unless four numbers with left < right.
QRect parseRect(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return {};
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return {};
    }
    if (v[0] >= v[2])
        return {};
    return QRect(QPoint(v[0], v[1]), QSize(v[2] - v[0], std::max(v[3] - v[1], 1)));
}

} // namespace

// The rectangle, moved into the visible area when less than half of it would
// show there (a screen that got smaller, a frame that shrank); otherwise as
// it is.
QRect RegistryRXL::keptInView(const QRect &rect, const QWidget *w) const
{
    QRect area;
    if (qobject_cast<const QMdiSubWindow *>(w) && w->parentWidget()) {
        // A frame not shown yet has no client area to speak of.
        if (w->parentWidget()->isVisible())
            area = w->parentWidget()->rect();
    } else if (const QScreen *s = screenOf(w))
        area = s->availableGeometry();
    if (area.isEmpty())
        return rect;
    const QRect shown = rect.intersected(area);
    const qint64 shownArea = qint64(shown.width()) * shown.height();
    if (2 * shownArea >= qint64(rect.width()) * rect.height())
        return rect;
    QRect moved = rect;
    moved.moveLeft(std::max(area.left(), std::min(rect.left(), area.right() + 1 - rect.width())));
    moved.moveTop(std::max(area.top(), std::min(rect.top(), area.bottom() + 1 - rect.height())));
    return moved;
}

QWidget *RegistryRXL::placementWidget() const
{
    auto *w = qobject_cast<QWidget *>(m_form.data());
    if (!w)
        return nullptr;
    // A document window lives in an MDI sub-window; that frame is what moves.
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        return sub;
    return w;
}

QString RegistryRXL::screenSuffix() const
{
    const QScreen *s = screenOf(placementWidget());
    const QSize size = s ? s->geometry().size() : QSize(0, 0);
    return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

bool RegistryRXL::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched == m_form)
        m_formShown = true;
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        watched == placementWidget()) {
        auto *w = static_cast<QWidget *>(watched);
        if (!(w->windowState() &
              (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
            m_normalRect = w->geometry();
    }
    return QObject::eventFilter(watched, event);
}

void RegistryRXL::savePlacement(SaveReason reason)
{
    QWidget *w = placementWidget();
    // A window never shown has no place of its own: writing the one Qt gave
    // it would put it at the screen's corner next time.
    if (!w || !(m_formShown || w->isVisible()))
        return;
    const Qt::WindowStates state = w->windowState();
    const bool minimized = state & Qt::WindowMinimized;
    const bool maximized = state & Qt::WindowMaximized;
    int flags = 0;
    if (minimized && m_placement == Placement::Child)
        flags |= kFlagSetMinPosition;
    if (minimized && maximized)
        flags |= kFlagRestoreToMaximized;
    const int showCmd = minimized ? kShowMinimized : maximized ? kShowMaximized : kShowNormal;
    QRect normal = w->geometry();
    if (minimized || maximized || state & Qt::WindowFullScreen) {
        if (m_normalRect.isValid())
            normal = m_normalRect;
        else if (w->normalGeometry().isValid())
            normal = w->normalGeometry();
    }
    const QPoint maxPos = maximized ? w->geometry().topLeft() : QPoint(-1, -1);
    const QString minMax = QStringLiteral("-1,-1,%1,%2").arg(maxPos.x()).arg(maxPos.y());
    const QString suffix = screenSuffix();
    writeRaw(QLatin1String(settings::kFlags), settings::encodeInt(flags));
    writeRaw(QLatin1String(settings::kShowCmd), settings::encodeInt(showCmd));
    writeRaw(QLatin1String(settings::kPixelsPerInch), settings::encodeInt(pixelsPerInch(w)));
    writeRaw(QLatin1String(settings::kMinMaxPos), minMax);
    writeRaw(QLatin1String(settings::kNormPos), rectText(normal));
    writeRaw(QLatin1String(settings::kMinMaxPos) + suffix, minMax);
    writeRaw(QLatin1String(settings::kNormPos) + suffix, rectText(normal));
    writeRaw(QLatin1String(settings::kVisible),
             QLatin1String(reason == SaveReason::Destroying ? "1" : "0"));
}

void RegistryRXL::restorePlacement()
{
    QWidget *w = placementWidget();
    if (!w)
        return;
    w->installEventFilter(this);
    // Setting the geometry ends a maximised state; the state is set again below.
    const Qt::WindowStates before = w->windowState();
    // A document window that opens while the others are maximised has been
    // maximised by its frame, and stays so: the stored rectangle becomes the
    // one it is restored to, and the stored state does not apply.
    const bool maximisedByFrame =
        qobject_cast<QMdiSubWindow *>(w) && (before & Qt::WindowMaximized);
    if (maximisedByFrame)
        w->setWindowState(before & ~Qt::WindowMaximized);
    const QString suffix = screenSuffix();
    const QString normPos =
        readRaw(QLatin1String(settings::kNormPos) + suffix)
            .value_or(readRaw(QLatin1String(settings::kNormPos)).value_or(QString()));
    const auto ppi = readRaw(QLatin1String(settings::kPixelsPerInch));
    QRect rect = parseRect(normPos);
    if (rect.isValid() && ppi && settings::decodeInt(*ppi) == pixelsPerInch(w)) {
        // The stored rectangle is the one geometry() gave, so it is set back
        // through setGeometry(): move() would place the window frame there
        // and the window would creep by its title bar at every round.
        if (m_placement == Placement::FixedSize)
            rect.setSize(w->size());
        rect = keptInView(rect, w);
        w->setGeometry(rect);
        if (m_placement != Placement::FixedSize)
            m_normalRect = rect;
        m_placementRestored = true;
    }
    if (maximisedByFrame)
        w->setWindowState(before);
    if (m_placement == Placement::FixedSize || maximisedByFrame)
        return;
    const int showCmd =
        settings::decodeInt(readRaw(QLatin1String(settings::kShowCmd)).value_or(QString()));
    Qt::WindowStates state = before & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (showCmd) {
    case 3:
        state |= Qt::WindowMaximized;
        break;
    case 2:
    case 6:
    case 7:
        state |= Qt::WindowMinimized;
        break;
    case 1:
    case 5:
    case 9:
        break;
    default:
        // The main window keeps the state it starts with (maximised).
        if (m_placement == Placement::Main)
            state = before;
        break;
    }
    w->setWindowState(state);
}

} // namespace bw
