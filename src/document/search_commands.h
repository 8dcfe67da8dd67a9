#pragma once
// Find, find next, replace and go to line in a document window's editor.
// The find and replace dialogs are modeless, made on first use and kept
// with their texts and options until the window goes; Find Next repeats the
// last search that had a find text. Owned by the window.

#include "editor/find_dialog.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace bw::notes {

class FrameServices;
class DocumentContext;

class SearchCommands : public QObject
{
    Q_OBJECT
public:
    SearchCommands(DocumentContext &window, FrameServices &frame);

    // Find, Replace and Go to Line while the editor holds text; Find Next
    // while there is a last search with a find text.
    void aclSearchUpdate();

    void actSearchFindExecute();
    void actSearchFindNextExecute();
    void actSearchReplaceExecute();
    void actSearchGotoLineExecute();

    // One search with the dialog's text and options from the selection on:
    // the match is selected; optionally the dialog moves off it and a miss is
    // reported. True when found.
    bool searchStep(FindDialog *dialog, bool moveDialog, bool report);
    // Replaces the next match (not the one already selected).
    void replaceNext(FindDialog *dialog);
    // Replaces every match from the selection on in the dialog's direction;
    // the number replaced.
    int replaceAll(FindDialog *dialog);
    // "Text "%s" not found."
    void editorTextNotFound(const QString &text);

    FindDialog *findDialog() const { return m_find; }
    FindDialog *replaceDialog() const { return m_replace; }
    FindDialog *lastSearch() const { return m_last; }
    // The sound of a failed Find Next (tests count it).
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

private:
    FindDialog *openDialog(FindDialog::Mode mode);
    void moveDialogOutOfTheWay(FindDialog *dialog, int start, int end);
    void beep();

    DocumentContext &m_window;
    FrameServices &m_frame;
    QPointer<FindDialog> m_find;
    QPointer<FindDialog> m_replace;
    QPointer<FindDialog> m_last;
    std::function<void()> m_beep;
};

} // namespace bw::notes
