#include "app/message_hook.h"
#include "platform/guarded_dispatch.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace bw {

MessageHook::MessageHook(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

MessageHook::~MessageHook()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void MessageHook::setDropHandling(DropTarget target, DropHandler handler)
{
    m_dropTarget = std::move(target);
    m_dropHandler = std::move(handler);
}

bool MessageHook::isUserInput(const QObject *receiver, const QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::ApplicationStateChange:
        return true;
    case QEvent::WindowActivate: {
        // Qt tells every widget of a window; the window itself stands for
        // the one activation.
        const auto *widget = qobject_cast<const QWidget *>(receiver);
        return widget && widget->isWindow();
    }
    default:
        return false;
    }
}

QStringList MessageHook::droppedFiles(const QEvent *event)
{
    QStringList paths;
    const auto *drop = dynamic_cast<const QDropEvent *>(event);
    if (!drop || !drop->mimeData() || !drop->mimeData()->hasUrls())
        return paths;
    for (const QUrl &url : drop->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

bool MessageHook::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && !m_toolTips)
        return true;
    if (guardedOr(false, [&] { return helpPopupInput(watched, event); }))
        return true;
    if (guardedOr(false, [&] { return fileDrop(watched, event); }))
        return true;
    return QObject::eventFilter(watched, event);
}

bool MessageHook::helpPopupInput(QObject *watched, QEvent *event)
{
    if (!m_helpPopup || !m_helpPopup->isVisible())
        return false;
    // Qt asks about shortcuts before it delivers a key press: that question
    // belongs to the key press, which is counted on its own, and no shortcut
    // may run behind the popup.
    if (event->type() == QEvent::ShortcutOverride)
        return true;
    if (!isUserInput(watched, event))
        return false;
    // The popup's own appearance activates nothing of the user's.
    if (event->type() == QEvent::WindowActivate && watched == m_helpPopup)
        return false;
    if (!m_helpPopupArmed) {
        m_helpPopupArmed = true;
        return true;
    }
    m_helpPopup->close();
    return true;
}

bool MessageHook::fileDrop(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!m_dropTarget || !m_dropHandler || !m_dropTarget(watched))
        return false;
    const QStringList paths = droppedFiles(event);
    if (paths.isEmpty())
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        m_dropHandler(paths);
    return true;
}

} // namespace bw
