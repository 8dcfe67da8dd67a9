#include "app/command_dispatcher.h"

#include "platform/guarded_dispatch.h"
#include "platform/idle_updates.h"

#include <QAction>
#include <QPointer>
#include <QThread>

namespace bw {

CommandDispatcher::CommandDispatcher(QObject *parent) : QObject(parent)
{
    updateWhenIdle(this, [this] { runUpdates(); });
}

void CommandDispatcher::connectCommand(QAction *command, Handler execute)
{
    QPointer<QAction> guard(command);
    guardedConnect(command, &QAction::triggered, this, [this, guard, execute = std::move(execute)] {
        runUpdates();
        // A command that its update handler has just disabled does not run.
        if (guard && guard->isEnabled())
            execute(); // guarded by guardedConnect
    });
}

void CommandDispatcher::runUpdates()
{
    if (m_updating)
        return;
    m_updating = true;
    // One failing update handler does not keep the others from running.
    for (const Handler &update : std::as_const(m_updates))
        bw::guarded(update);
    m_updating = false;
}

} // namespace bw
