#pragma once
// Connects a document window's command to its handler: the update handler
// runs first, as it would before a click, and a disabled command does
// nothing. The handler runs under the guarded dispatch: an error goes to the
// installed handler (the error box) and the window keeps its data.

#include <QString>
#include <functional>

namespace bw::notes {

class DocumentContext;

void connectWindowCommand(DocumentContext &window, const char *name, std::function<void()> update,
                          std::function<void()> handler);

} // namespace bw::notes
