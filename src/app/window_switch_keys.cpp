#include "app/window_switch_keys.h"

#include "platform/guarded_dispatch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace bw {

WindowSwitchKeys::WindowSwitchKeys(QWidget *frame, QMdiArea *area)
    : QObject(frame), m_frame(frame), m_area(area)
{
    QCoreApplication::instance()->installEventFilter(this);
}

WindowSwitchKeys::~WindowSwitchKeys()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

WindowSwitchKeys::Step WindowSwitchKeys::stepOf(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool ctrlShift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_F6:
        return ctrl ? Step::Next : ctrlShift ? Step::Previous : Step::None;
    case Qt::Key_Backtab: // Shift+Tab as the keyboard reports it
        return ctrl || ctrlShift ? Step::Previous : Step::None;
    default:
        return Step::None;
    }
}

bool WindowSwitchKeys::isFrameInput(QObject *watched) const
{
    const auto *widget = qobject_cast<const QWidget *>(watched);
    // An open menu or a modal dialog keeps its keys.
    return m_frame && m_area && widget && widget->window() == m_frame &&
           !QApplication::activePopupWidget() && !QApplication::activeModalWidget();
}

bool WindowSwitchKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    const Step step = stepOf(static_cast<QKeyEvent *>(event));
    if (step == Step::None || !isFrameInput(watched))
        return false;
    // Taking the shortcut question keeps the key from the sub-window's own
    // shortcuts and from the focused control: the key press comes here next.
    event->accept();
    if (type == QEvent::KeyPress)
        guarded([this, step] { switchWindow(step); });
    return true;
}

void WindowSwitchKeys::switchWindow(Step step)
{
    if (!m_area || step == Step::None)
        return;
    if (step == Step::Next)
        m_area->activateNextSubWindow();
    else
        m_area->activatePreviousSubWindow();
    QMdiSubWindow *sub = m_area->activeSubWindow();
    if (!sub || sub->isMinimized() || !sub->widget())
        return;
    // The control that had the focus in that window, else the window.
    QWidget *last = sub->widget()->focusWidget();
    if (last && last->isVisible() && last->isEnabled())
        last->setFocus(Qt::TabFocusReason);
    else
        sub->widget()->setFocus(Qt::TabFocusReason);
}

} // namespace bw
