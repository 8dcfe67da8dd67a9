// The document windows the frame makes for its files.

#include "app/main_window.h"

#include "document/document_window.h"

namespace bw {

namespace {

class NotesWindowFactory : public DocumentWindowFactory
{
public:
    QWidget *createDocumentWindow(notes::FrameServices &frame, const QString &fileName) override
    {
        auto *window = new notes::DocumentWindow(frame, fileName);
        // A window whose table could not be opened closes again at once.
        if (window->closeRequested()) {
            delete window;
            return nullptr;
        }
        return window;
    }

    void applyOptions(QWidget *window) override
    {
        if (auto *child = documentWindow(window))
            child->applyOptions();
    }

    bool closeQuery(QWidget *window) override
    {
        auto *child = documentWindow(window);
        return !child || child->queryClose();
    }

    void cancelCloseQuery(QWidget *window) override
    {
        if (auto *child = documentWindow(window))
            child->cancelQueryClose();
    }

    void loadDroppedFile(QWidget *window, const QString &path) override
    {
        if (auto *child = documentWindow(window))
            child->loadDroppedFile(path);
    }

    notes::DocumentWindow *documentWindow(QWidget *window) const override
    {
        return qobject_cast<notes::DocumentWindow *>(window);
    }
};

} // namespace

std::unique_ptr<DocumentWindowFactory> notesWindowFactory()
{
    return std::make_unique<NotesWindowFactory>();
}

} // namespace bw
