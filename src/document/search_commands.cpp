#include "document/search_commands.h"

#include "document/document_context.h"
#include "document/editor_strings.h"
#include "document/frame_services.h"
#include "document/window_command.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"
#include "platform/idle_updates.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QSignalBlocker>

namespace bw::notes {

namespace {

// How far the dialog keeps from a match it moves away from.
constexpr int kDialogGap = 20;

} // namespace

SearchCommands::SearchCommands(DocumentContext &window, FrameServices &frame)
    : QObject(window.widget()), m_window(window), m_frame(frame)
{
    setObjectName(QStringLiteral("SearchCommands"));
    auto on = [this](const char *name, void (SearchCommands::*run)()) {
        connectWindowCommand(
            m_window, name, [this] { aclSearchUpdate(); }, [this, run] { (this->*run)(); });
    };
    on("actSearchFind", &SearchCommands::actSearchFindExecute);
    on("actSearchFindNext", &SearchCommands::actSearchFindNextExecute);
    on("actSearchReplace", &SearchCommands::actSearchReplaceExecute);
    on("actSearchGotoLine", &SearchCommands::actSearchGotoLineExecute);
    updateWhenIdle(this, [this] { aclSearchUpdate(); });
    aclSearchUpdate();
}

void SearchCommands::aclSearchUpdate()
{
    const bool hasText = m_window.editor()->textLength() > 0;
    for (const char *name : {"actSearchFind", "actSearchReplace", "actSearchGotoLine"})
        m_window.action(QString::fromLatin1(name))->setEnabled(hasText);
    m_window.action(QStringLiteral("actSearchFindNext"))
        ->setEnabled(m_last && !m_last->findText().isEmpty());
}

FindDialog *SearchCommands::openDialog(FindDialog::Mode mode)
{
    const QString selected = m_window.editor()->selectedPlainText();
    const bool replacing = mode == FindDialog::Mode::Replace;
    QPointer<FindDialog> &dialog = replacing ? m_replace : m_find;
    if (!dialog) {
        dialog = new FindDialog(mode, m_window.widget());
        if (const FindDialog *other = replacing ? m_find : m_replace)
            dialog->setFindText(other->findText());
        FindDialog *self = dialog;
        guardedConnect(self, &FindDialog::findNext, this,
                       [this, self] { searchStep(self, true, true); });
        guardedConnect(self, &FindDialog::replace, this, [this, self] { replaceNext(self); });
        guardedConnect(self, &FindDialog::replaceAll, this, [this, self] { replaceAll(self); });
    }
    if (!selected.isEmpty())
        dialog->setFindText(selected);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void SearchCommands::actSearchFindExecute()
{
    openDialog(FindDialog::Mode::Find);
}

void SearchCommands::actSearchReplaceExecute()
{
    openDialog(FindDialog::Mode::Replace);
}

bool SearchCommands::searchStep(FindDialog *dialog, bool moveDialog, bool report)
{
    RichEdit *editor = m_window.editor();
    const QString text = dialog->findText();
    if (text.isEmpty())
        return false;
    const FindOptions options = dialog->options();
    // Down from the selection's end; up from its start, so the selected
    // match is never found again.
    const int start = options.down ? qMax(editor->selectionStart(), editor->selectionEnd())
                                   : editor->selectionStart();
    const int found = editor->findText(text, start, options);
    if (found >= 0 && moveDialog)
        moveDialogOutOfTheWay(dialog, found, found + int(text.size()));
    m_last = dialog;
    if (found < 0 && report)
        editorTextNotFound(text);
    return found >= 0;
}

void SearchCommands::editorTextNotFound(const QString &text)
{
    m_frame.prompts().message(m_window.widget(), kInformationCaption, kTextNotFound.arg(text),
                              PromptService::Icon::Information, PromptService::Ok);
}

// When the dialog covers the match, it moves above it if there is room,
// else below it; it keeps its size and does not take the focus.
void SearchCommands::moveDialogOutOfTheWay(FindDialog *dialog, int start, int end)
{
    RichEdit *editor = m_window.editor();
    QTextCursor cursor(editor->document());
    cursor.setPosition(start);
    const QPoint top = editor->viewport()->mapToGlobal(editor->cursorRect(cursor).topLeft());
    cursor.setPosition(end);
    const QPoint below = editor->viewport()->mapToGlobal(editor->cursorRect(cursor).topLeft()) +
                         QPoint(0, kDialogGap);
    const QRect frame = dialog->frameGeometry();
    if (!frame.contains(top) && !frame.contains(below))
        return;
    const int height = frame.height();
    const QScreen *screen = dialog->screen() ? dialog->screen() : QApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 0;
    if (height + kDialogGap < top.y())
        dialog->move(frame.left(), top.y() - kDialogGap - height);
    else if (top.y() + height < screenHeight)
        dialog->move(frame.left(), top.y() + 2 * kDialogGap);
}

void SearchCommands::replaceNext(FindDialog *dialog)
{
    if (!searchStep(dialog, true, true) || !m_window.ensureEditState())
        return;
    m_window.editor()->replaceSelection(dialog->replaceText());
}

// Going up, the caret is put back before each replacement, so the next
// search ends before the inserted text and never finds the replacement
// again; going down, the next search starts after it. Every step therefore
// moves on, and the loop ends.
int SearchCommands::replaceAll(FindDialog *dialog)
{
    if (dialog->findText().isEmpty() || !m_window.ensureEditState())
        return 0;
    RichEdit *editor = m_window.editor();
    const bool down = dialog->options().down;
    const QString replacement = dialog->replaceText();
    int replaced = 0;
    {
        // Change and selection events once at the end, not per match.
        const QSignalBlocker quiet(editor);
        while (searchStep(dialog, false, false)) {
            const int at = editor->selectionStart();
            editor->replaceSelection(replacement);
            // Protected text keeps the match selected: it is stepped over.
            if (editor->textCursor().hasSelection())
                continue;
            ++replaced;
            if (!down)
                editor->setSelection(at, at);
        }
    }
    if (replaced == 0) {
        editorTextNotFound(dialog->findText());
        return 0;
    }
    emit editor->change();
    emit editor->selectionChange();
    const int caret = editor->textCursor().position();
    moveDialogOutOfTheWay(dialog, caret, caret);
    return replaced;
}

void SearchCommands::beep()
{
    if (m_beep)
        m_beep();
    else
        QApplication::beep();
}

void SearchCommands::actSearchFindNextExecute()
{
    if (!m_last || m_last->findText().isEmpty() || !searchStep(m_last, false, true))
        beep();
    m_window.focusEditor();
}

// Lines are the editor's display lines; an answer that is no whole number
// is ignored, one beyond the last line only drops the selection.
void SearchCommands::actSearchGotoLineExecute()
{
    RichEdit *editor = m_window.editor();
    int lines = editor->lineCount();
    if (lines > 0 && editor->lineText(lines - 1).isEmpty())
        --lines;
    const int current = editor->lineFromChar(editor->selectionEnd()) + 1;
    const QString prompt = kGotoLinePrompt + QStringLiteral(" (1 to %1)").arg(lines);
    const auto answer = m_frame.prompts().input(m_window.widget(), kGotoLineCaption, prompt,
                                                QString::number(current));
    if (!answer)
        return;
    bool number = false;
    const int line = answer->trimmed().toInt(&number);
    if (!number)
        return;
    // Any answer below 1 asks for the caret's line (a line index below 0).
    const int start = editor->lineIndex(line > 0 ? line - 1 : -1);
    editor->setSelection(start, start);
    m_window.focusEditor();
}

} // namespace bw::notes
