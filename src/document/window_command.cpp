#include "document/window_command.h"

#include "document/document_context.h"
#include "platform/guarded_dispatch.h"

#include <QAction>

namespace bw::notes {

void connectWindowCommand(DocumentContext &window, const char *name, std::function<void()> update,
                          std::function<void()> handler)
{
    QAction *command = window.action(QString::fromLatin1(name));
    guardedConnect(command, &QAction::triggered, window.widget(),
                   [command, update = std::move(update), handler = std::move(handler)] {
                       if (update)
                           update();
                       if (command->isEnabled())
                           handler();
                   });
}

} // namespace bw::notes
