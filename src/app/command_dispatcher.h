#pragma once
// Runs the commands of a window and keeps their states current: the update
// handlers of its command lists run whenever the event loop is about to wait
// (once per wait, however many events came before) and once more right
// before a command executes. An exception thrown by a handler never crosses
// the event loop: it goes to the handler installed for every guarded entry
// (platform/guarded_dispatch.h).

#include <QList>
#include <QObject>

#include <functional>

class QAction;

namespace bw {

class CommandDispatcher : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    explicit CommandDispatcher(QObject *parent = nullptr);

    void addUpdateHandler(Handler update) { m_updates.append(std::move(update)); }
    // Runs execute when command is triggered, after the update handlers.
    void connectCommand(QAction *command, Handler execute);

    // Runs the update handlers now.
    void runUpdates();

private:
    QList<Handler> m_updates;
    bool m_updating = false;
};

} // namespace bw
