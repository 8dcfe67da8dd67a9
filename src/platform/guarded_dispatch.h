#pragma once
// The one guarded dispatch: every entry from Qt's event loop into our code
// (a triggered action, a timer, a signal of a Qt object or widget we connect
// to, an event handler or event filter we override, a queued call) runs
// through it, so an exception never crosses Qt's frames. The exception goes to
// the exception handler installed at start-up (the application object hands
// it to the main window's error handler, which shows the error box) and the
// program goes on with every document as it was.
//
// HOW TO CONNECT A HANDLER
//   Instead of                      write
//   connect(s, &S::sig, this, &T::slot)      guardedConnect(s, &S::sig, this, &T::slot)
//   connect(s, &S::sig, this, [this] {...})  guardedConnect(s, &S::sig, this, [this] {...})
//   QTimer::singleShot(0, this, f)           QTimer::singleShot(0, this, guard(f))
//   QMetaObject::invokeMethod(this, f, ...)  QMetaObject::invokeMethod(this, guard(f), ...)
//   bool T::eventFilter(QObject *o, QEvent *e)   (and any other event override)
//     { return guardedOr(false, [&] { return filterEvent(o, e); }); }
//   void T::closeEvent(QCloseEvent *e) { guarded([&] { ... }); }
// The handler is a member function or a lambda with a fixed parameter list
// (no "auto" parameters); it may take fewer parameters than the signal.
// The context object (third argument) is required: the connection ends with it.
//
// Signals of our own objects that our code emits synchronously (the table's
// before-post and before-scroll, for example) may carry an exception back to
// the emitter on purpose, to stop its operation; those connections stay plain,
// since the code that emitted them runs under a guard of its own.
//
// Destructors and RAII guards never throw: one that calls code which may throw
// wraps it in guarded() (or catches and logs, below src/platform).

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace bw {

using ExceptionHandler = std::function<void(std::exception_ptr)>;

// Installs the handler every guarded entry reports to and returns the one it
// replaces; it is kept on the application object (none without one). The
// application object installs its own once at start-up; a test
// may install one for its lifetime with ExceptionHandlerScope.
ExceptionHandler installExceptionHandler(ExceptionHandler handler);

// Hands a caught exception to the installed handler; without one, or when the
// handler itself throws, the message is logged. Never throws.
void reportException(std::exception_ptr error) noexcept;

// The text of an exception, the one decoding every report uses: what() read as
// UTF-8 for a std::exception, "An unexpected error occurred" for anything else.
QString exceptionText(std::exception_ptr error);

// Runs f; an exception goes to reportException. True when f returned normally.
template <class F> bool guarded(F &&f) noexcept
{
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        reportException(std::current_exception());
        return false;
    }
}

// Runs f and returns its result; after an exception (reported) returns fallback.
template <class R, class F> R guardedOr(R fallback, F &&f) noexcept
{
    try {
        return std::forward<F>(f)();
    } catch (...) {
        reportException(std::current_exception());
        return fallback;
    }
}

namespace guard_detail {

template <class F, class C, class R, class... Args> auto wrap(F f, R (C::*)(Args...) const)
{
    return [f = std::move(f)](Args... args) noexcept {
        guarded([&] { f(std::forward<Args>(args)...); });
    };
}

template <class F, class C, class R, class... Args> auto wrap(F f, R (C::*)(Args...))
{
    return [f = std::move(f)](Args... args) mutable noexcept {
        guarded([&] { f(std::forward<Args>(args)...); });
    };
}

template <class F, class C, class R, class... Args> auto wrap(F f, R (C::*)(Args...) const noexcept)
{
    return [f = std::move(f)](Args... args) noexcept { f(std::forward<Args>(args)...); };
}

template <class F, class C, class R, class... Args> auto wrap(F f, R (C::*)(Args...) noexcept)
{
    return [f = std::move(f)](Args... args) mutable noexcept { f(std::forward<Args>(args)...); };
}

template <class T, class C, class R, class... Args> auto member(T *object, R (C::*method)(Args...))
{
    return [object, method](Args... args) noexcept {
        guarded([&] { (object->*method)(std::forward<Args>(args)...); });
    };
}

template <class T, class C, class R, class... Args>
auto member(T *object, R (C::*method)(Args...) const)
{
    return [object, method](Args... args) noexcept {
        guarded([&] { (object->*method)(std::forward<Args>(args)...); });
    };
}

} // namespace guard_detail

// A callable that runs f guarded, with f's own parameter list (for
// QTimer::singleShot, QMetaObject::invokeMethod and connect).
template <class F> auto guard(F f)
{
    using Fn = std::decay_t<F>;
    return guard_detail::wrap(Fn(std::move(f)), &Fn::operator());
}

// connect(sender, signal, context, handler, type) with the handler guarded.
// handler: a member function of context's class or a callable (see guard()).
template <class Sender, class Signal, class Context, class Handler>
QMetaObject::Connection guardedConnect(const Sender *sender, Signal signal, Context *context,
                                       Handler handler,
                                       Qt::ConnectionType type = Qt::AutoConnection)
{
    if constexpr (std::is_member_function_pointer_v<Handler>)
        return QObject::connect(sender, signal, context, guard_detail::member(context, handler),
                                type);
    else
        return QObject::connect(sender, signal, context, guard(std::move(handler)), type);
}

// Installs an exception handler for its own lifetime, then puts back the previous.
class ExceptionHandlerScope
{
public:
    explicit ExceptionHandlerScope(ExceptionHandler handler)
        : m_previous(installExceptionHandler(std::move(handler)))
    {
    }
    ~ExceptionHandlerScope() { installExceptionHandler(std::move(m_previous)); }
    ExceptionHandlerScope(const ExceptionHandlerScope &) = delete;
    ExceptionHandlerScope &operator=(const ExceptionHandlerScope &) = delete;

private:
    ExceptionHandler m_previous;
};

} // namespace bw
