#include "platform/caps_lock.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace bw {

bool capsLockOn()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return false;
    Display *display = x11->display();
    if (!display)
        return false;
    unsigned int state = 0;
    if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success)
        return false;
    // Caps Lock is the first indicator of the core keyboard.
    return (state & 0x1u) != 0;
}

} // namespace bw
