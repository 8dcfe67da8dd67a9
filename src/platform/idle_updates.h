#pragma once
// The one wiring of idle updates: command sets keep their commands' enabled
// state and check marks current each time the event loop is about to wait.

#include <QObject>
#include <functional>

namespace bw {

// Runs `update` each time the event loop of `owner`'s thread is about to
// wait, for as long as `owner` lives. An exception goes to the guarded
// dispatch.
void updateWhenIdle(QObject *owner, std::function<void()> update);

} // namespace bw
