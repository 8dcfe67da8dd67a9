#pragma once
// Connects a document window's command to its handler: the update handler
// runs first, as it would before a click, and a disabled command does
// nothing. An error in the handler is shown in the error box and the window
// keeps its data.

#include <QString>
#include <functional>

namespace bw::notes {

class FrameServices;
class DocumentWindow;

void connectWindowCommand(DocumentWindow &window, FrameServices &frame, const char *name,
                          std::function<void()> update, std::function<void()> handler);

// Runs a handler entered from the event loop; an error is shown, never thrown on.
void runReported(DocumentWindow &window, FrameServices &frame,
                 const std::function<void()> &handler);

} // namespace bw::notes
