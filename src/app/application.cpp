#include "application.h"

#include "platform/guarded_dispatch.h"

#include <QtDebug>

namespace bw {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    // Every guarded entry (platform/guarded_dispatch.h) reports here.
    installExceptionHandler([this](std::exception_ptr error) { handleException(error); });
}

Application::ErrorHandler Application::setErrorHandler(ErrorHandler handler)
{
    ErrorHandler previous = std::move(m_handler);
    m_handler = std::move(handler);
    return previous;
}

void Application::handleException(std::exception_ptr error)
{
    const QString message = exceptionText(error);
    // An error raised while the handler itself runs (say, while its box is
    // painted) is only logged: showing it would stack box upon box.
    if (m_handling || !m_handler) {
        qCritical().noquote() << message;
        return;
    }
    m_handling = true;
    try {
        m_handler(message);
    } catch (...) {
        qCritical().noquote() << exceptionText(std::current_exception());
    }
    m_handling = false;
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // The last net: every handler of ours is guarded where it is entered.
        reportException(std::current_exception());
    }
    return false;
}

} // namespace bw
