#include "document/window_command.h"

#include "document/document_strings.h"
#include "document/document_window.h"
#include "document/frame_services.h"
#include "platform/guarded_dispatch.h"

#include <QAction>
#include <exception>

namespace bw::notes {

void runReported(DocumentWindow &window, FrameServices &frame, const std::function<void()> &handler)
{
    // What is not a std::exception, and a message box that fails, go to the
    // guarded dispatch's handler.
    guarded([&] {
        try {
            handler();
        } catch (const std::exception &error) {
            frame.prompts().message(&window, kErrorCaption, QString::fromUtf8(error.what()),
                                    PromptService::Icon::Error, PromptService::Ok);
        }
    });
}

void connectWindowCommand(DocumentWindow &window, FrameServices &frame, const char *name,
                          std::function<void()> update, std::function<void()> handler)
{
    QAction *command = window.action(QString::fromLatin1(name));
    guardedConnect(
        command, &QAction::triggered, &window,
        [&window, &frame, command, update = std::move(update), handler = std::move(handler)] {
            runReported(window, frame, [&] {
                if (update)
                    update();
                if (command->isEnabled())
                    handler();
            });
        });
}

} // namespace bw::notes
