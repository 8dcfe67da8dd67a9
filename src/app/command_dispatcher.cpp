#include "app/command_dispatcher.h"

#include "platform/guarded_dispatch.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QPointer>
#include <QThread>

namespace bw {

CommandDispatcher::CommandDispatcher(QObject *parent) : QObject(parent)
{
    if (QAbstractEventDispatcher *loop = QAbstractEventDispatcher::instance(thread()))
        guardedConnect(loop, &QAbstractEventDispatcher::aboutToBlock, this,
                       &CommandDispatcher::runUpdates);
}

void CommandDispatcher::connectCommand(QAction *command, Handler execute)
{
    QPointer<QAction> guard(command);
    guardedConnect(command, &QAction::triggered, this, [this, guard, execute = std::move(execute)] {
        runUpdates();
        // A command that its update handler has just disabled does not run.
        if (guard && guard->isEnabled())
            guarded(execute);
    });
}

void CommandDispatcher::runUpdates()
{
    if (m_updating)
        return;
    m_updating = true;
    for (const Handler &update : std::as_const(m_updates))
        guarded(update);
    m_updating = false;
}

void CommandDispatcher::guarded(const Handler &handler)
{
    if (!m_errorHandler) {
        bw::guarded(handler);
        return;
    }
    try {
        handler();
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        bw::guarded([&] { m_errorHandler(error); });
    }
}

} // namespace bw
