#include "platform/guarded_dispatch.h"

#include <QCoreApplication>
#include <QtDebug>

namespace bw {

namespace {
// The installed handler lives on the application object, so it is neither a
// global of its own nor outlives the application.
class HandlerHolder : public QObject
{
public:
    using QObject::QObject;
    ExceptionHandler handler;
    bool handling = false;
};

const QString kHolderName = QStringLiteral("bwExceptionHandler");

HandlerHolder *holder(bool create)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    auto *found = dynamic_cast<HandlerHolder *>(
        app->findChild<QObject *>(kHolderName, Qt::FindDirectChildrenOnly));
    if (!found && create) {
        found = new HandlerHolder(app);
        found->setObjectName(kHolderName);
    }
    return found;
}
} // namespace

ExceptionHandler installExceptionHandler(ExceptionHandler handler)
{
    HandlerHolder *h = holder(true);
    if (!h)
        return {};
    ExceptionHandler previous = std::move(h->handler);
    h->handler = std::move(handler);
    return previous;
}

QString exceptionText(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unexpected error occurred");
    }
}

void reportException(std::exception_ptr error) noexcept
{
    HandlerHolder *h = holder(false);
    try {
        // An error raised while the handler itself runs (say, while its box
        // is painted) is only logged: showing it would stack box upon box.
        if (h && h->handler && !h->handling) {
            // A copy: the handler may install another while it runs.
            const ExceptionHandler handler = h->handler;
            h->handling = true;
            handler(error);
            h->handling = false;
            return;
        }
        qCritical().noquote() << exceptionText(error);
    } catch (...) {
        if (h)
            h->handling = false;
        try {
            qCritical().noquote() << exceptionText(std::current_exception());
        } catch (...) {
        }
    }
}

} // namespace bw
