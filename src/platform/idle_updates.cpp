#include "platform/idle_updates.h"

#include "platform/guarded_dispatch.h"

#include <QAbstractEventDispatcher>

namespace bw {

void updateWhenIdle(QObject *owner, std::function<void()> update)
{
    if (auto *loop = QAbstractEventDispatcher::instance(owner->thread()))
        guardedConnect(loop, &QAbstractEventDispatcher::aboutToBlock, owner, std::move(update));
}

} // namespace bw
