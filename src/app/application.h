#pragma once
// The application object. It installs the handler every guarded entry
// reports to (platform/guarded_dispatch.h), and notify() is the last net for
// an event handler that throws all the same. The handler hands the message to
// the current error handler: start-up installs the standard error box; the
// main window installs its own while it exists.

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

namespace bw {

class Application : public QApplication
{
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(const QString &message)>;

    Application(int &argc, char **argv);

    // Installs handler and returns the one it replaces, so the caller can put
    // it back (see ErrorHandlerScope).
    ErrorHandler setErrorHandler(ErrorHandler handler);

    // Hands a caught exception's text (exceptionText) to the error handler.
    void handleException(std::exception_ptr error);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    ErrorHandler m_handler;
    bool m_handling = false;
};

// Installs an error handler for its own lifetime, then restores the previous.
class ErrorHandlerScope
{
public:
    ErrorHandlerScope(Application &app, Application::ErrorHandler handler)
        : m_app(app), m_previous(app.setErrorHandler(std::move(handler)))
    {
    }
    ~ErrorHandlerScope() { m_app.setErrorHandler(std::move(m_previous)); }
    ErrorHandlerScope(const ErrorHandlerScope &) = delete;
    ErrorHandlerScope &operator=(const ErrorHandlerScope &) = delete;

private:
    Application &m_app;
    Application::ErrorHandler m_previous;
};

} // namespace bw
