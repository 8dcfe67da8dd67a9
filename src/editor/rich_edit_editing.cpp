// RichEdit: keyboard, clipboard, drag and drop, undo and redo, with every
// change that touches protected text put to the protected handler first.

#include "editor/rich_edit.h"

#include "editor/clipboard_state.h"
#include "platform/guarded_dispatch.h"
#include "rtf/rtf.h"
#include "rtf/text_properties.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextFragment>

namespace bw {

namespace {

bool isDeleteBackward(QKeyEvent *event)
{
    return event->matches(QKeySequence::DeleteStartOfWord) ||
           (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier));
}

bool isDeleteForward(QKeyEvent *event)
{
    return event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteEndOfWord) ||
           event->matches(QKeySequence::DeleteEndOfLine) ||
           event->matches(QKeySequence::DeleteCompleteLine);
}

bool isTyping(QKeyEvent *event, bool wantTabs)
{
    if (event->matches(QKeySequence::InsertParagraphSeparator) ||
        event->matches(QKeySequence::InsertLineSeparator))
        return true;
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & Qt::ControlModifier))
        return false;
    return text.at(0).isPrint() || (text.at(0) == u'\t' && wantTabs);
}

// Alt with a key is a menu's mnemonic or nothing, never a character (Ctrl+Alt
// is left alone: some keyboards type with it).
bool isAltCharacter(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const QString text = event->text();
    return (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !text.isEmpty() &&
           text.at(0).isPrint();
}

// Keeps an edit block of the document open while it lives, so everything
// done meanwhile is one undo step.
class EditBlock
{
public:
    explicit EditBlock(QTextCursor cursor, bool open = true) : m_cursor(cursor), m_open(open)
    {
        if (m_open)
            m_cursor.beginEditBlock();
    }
    ~EditBlock()
    {
        if (m_open)
            m_cursor.endEditBlock();
    }
    EditBlock(const EditBlock &) = delete;
    EditBlock &operator=(const EditBlock &) = delete;

private:
    QTextCursor m_cursor;
    bool m_open;
};

} // namespace

bool RichEdit::keyChangeRange(QKeyEvent *event, int *start, int *end, UndoKind *kind) const
{
    if (isReadOnly())
        return false;
    const QTextCursor cursor = textCursor();
    *start = cursor.selectionStart();
    *end = cursor.selectionEnd();
    QTextCursor moved = cursor;
    moved.clearSelection();
    if (isDeleteBackward(event)) {
        *kind = UndoKind::Delete;
        if (!cursor.hasSelection()) {
            moved.movePosition(event->key() == Qt::Key_Backspace &&
                                       !(event->modifiers() & Qt::ControlModifier)
                                   ? QTextCursor::PreviousCharacter
                                   : QTextCursor::PreviousWord,
                               QTextCursor::KeepAnchor);
            *start = moved.selectionStart();
        }
        return *start < *end;
    }
    if (isDeleteForward(event)) {
        *kind = UndoKind::Delete;
        if (!cursor.hasSelection()) {
            if (event->matches(QKeySequence::DeleteCompleteLine))
                moved.movePosition(QTextCursor::StartOfLine);
            moved.movePosition(event->matches(QKeySequence::Delete) ? QTextCursor::NextCharacter
                               : event->matches(QKeySequence::DeleteEndOfWord)
                                   ? QTextCursor::NextWord
                                   : QTextCursor::EndOfLine,
                               QTextCursor::KeepAnchor);
            *start = moved.selectionStart();
            *end = moved.selectionEnd();
        }
        return *start < *end;
    }
    *kind = UndoKind::Typing;
    return isTyping(event, wantTabs());
}

bool RichEdit::hiddenBefore(int position) const
{
    if (position <= 0)
        return false;
    const QTextBlock block = document()->findBlock(position - 1);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.position() <= position - 1 && position - 1 < f.position() + f.length())
            return f.charFormat().boolProperty(rtf::Hidden);
    }
    return false; // the paragraph break
}

// Hidden text takes no room, so a caret step moves over all of it, and the
// caret never rests right after hidden text (what is typed there would be
// hidden too).
void RichEdit::stepOverHidden(bool forward, bool select)
{
    QTextCursor cursor = textCursor();
    const auto mode = select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    const auto step = forward ? QTextCursor::NextCharacter : QTextCursor::PreviousCharacter;
    bool moved = false;
    while (hiddenBefore(cursor.position()) && cursor.movePosition(step, mode))
        moved = true;
    if (moved)
        setTextCursor(cursor);
}

void RichEdit::keyPressEvent(QKeyEvent *event)
{
    guarded([&] {
        if (isAltCharacter(event)) {
            event->ignore();
            return;
        }
        const bool forward = event->matches(QKeySequence::MoveToNextChar) ||
                             event->matches(QKeySequence::SelectNextChar);
        const bool backward = event->matches(QKeySequence::MoveToPreviousChar) ||
                              event->matches(QKeySequence::SelectPreviousChar);
        if (forward || backward) {
            QTextEdit::keyPressEvent(event);
            stepOverHidden(forward, event->modifiers() & Qt::ShiftModifier);
            return;
        }
        if (event->matches(QKeySequence::Undo)) {
            undo();
        } else if (event->matches(QKeySequence::Redo)) {
            redo();
        } else if (event->matches(QKeySequence::Cut)) {
            cut();
        } else if (event->matches(QKeySequence::Paste)) {
            paste();
        } else {
            int start = 0;
            int end = 0;
            UndoKind kind = UndoKind::None;
            if (keyChangeRange(event, &start, &end, &kind)) {
                if (!allowChange(start, end)) {
                    event->accept();
                    return;
                }
                UndoKindTracker::Scope scope(m_undo, kind);
                // The document would add the first typed character to a paste or
                // other insertion before it; typing starts its own step.
                const bool newStep = kind == UndoKind::Typing && m_undo.undoKind() != kind;
                EditBlock block(textCursor(), newStep);
                QTextEdit::keyPressEvent(event);
                return;
            }
            QTextEdit::keyPressEvent(event);
            return;
        }
        event->accept();
    });
}

void RichEdit::inputMethodEvent(QInputMethodEvent *event)
{
    guarded([&] {
        if (!event->commitString().isEmpty() && !isReadOnly()) {
            if (!allowSelectionChange()) {
                event->accept();
                return;
            }
            UndoKindTracker::Scope scope(m_undo, UndoKind::Typing);
            QTextEdit::inputMethodEvent(event);
            return;
        }
        QTextEdit::inputMethodEvent(event);
    });
}

void RichEdit::cut()
{
    if (isReadOnly() || !textCursor().hasSelection() || !allowSelectionChange())
        return;
    UndoKindTracker::Scope scope(m_undo, UndoKind::Cut);
    QTextEdit::cut();
}

void RichEdit::paste()
{
    if (isReadOnly())
        return;
    UndoKindTracker::Scope scope(m_undo, UndoKind::Paste);
    QTextEdit::paste();
}

void RichEdit::deleteSelection()
{
    QTextCursor cursor = textCursor();
    if (isReadOnly() || !cursor.hasSelection() || !allowSelectionChange())
        return;
    UndoKindTracker::Scope scope(m_undo, UndoKind::Delete);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.endEditBlock();
    setTextCursor(cursor);
}

// A read-only control keeps its text: undo and redo are changes too.
void RichEdit::undo()
{
    if (isReadOnly() || !canUndo())
        return;
    m_undo.undone();
    document()->undo();
    ensureCursorVisible();
}

void RichEdit::redo()
{
    if (isReadOnly() || !canRedo())
        return;
    m_undo.redone();
    document()->redo();
    ensureCursorVisible();
}

bool RichEdit::canUndo() const
{
    return m_undo.canUndo() && document()->isUndoAvailable();
}

bool RichEdit::canRedo() const
{
    return m_undo.canRedo() && document()->isRedoAvailable();
}

bool RichEdit::canPaste() const
{
    if (isReadOnly())
        return false;
    if (acceptRichText())
        return ClipboardState::instance().contents().canPaste;
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return data && canInsertFromMimeData(data);
}

int RichEdit::selectionType() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return 0;
    int objects = 0;
    int chars = 0;
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int from = qMax(start, f.position());
            const int to = qMin(end, f.position() + f.length());
            if (from >= to)
                continue;
            if (f.charFormat().isImageFormat() || f.charFormat().objectType() != 0)
                objects += to - from;
            else
                chars += to - from;
        }
        if (block.position() + block.length() <= end && block.next().isValid())
            ++chars; // the paragraph break
    }
    int type = 0;
    if (chars > 0)
        type |= SelectionText | (chars > 1 ? SelectionMultiChar : 0);
    if (objects > 0)
        type |= SelectionObject | (objects > 1 ? SelectionMultiObject : 0);
    return type;
}

// --- Clipboard and drag and drop -----------------------------------------

namespace {

const char *const kRtfMimeTypes[] = {"text/rtf", "application/rtf"};

bool onlyLocalFiles(const QMimeData *data)
{
    if (!data->hasUrls() || data->urls().isEmpty())
        return false;
    for (const QUrl &url : data->urls())
        if (!url.isLocalFile())
            return false;
    return true;
}

} // namespace

bool canInsertMimeData(const QMimeData *source, bool richText)
{
    if (onlyLocalFiles(source))
        return false;
    for (const char *type : kRtfMimeTypes)
        if (source->hasFormat(type))
            return true;
    if (source->hasImage() || source->hasFormat(kJpegMimeType))
        return true;
    // What QTextEdit inserts itself.
    if (source->hasText() && !source->text().isEmpty())
        return true;
    return richText && (source->hasHtml() || source->hasFormat("application/x-qrichtext") ||
                        source->hasFormat("application/x-qt-richtext"));
}

bool RichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return canInsertMimeData(source, acceptRichText());
}

void RichEdit::insertPlainText(QTextCursor &cursor, const QString &text)
{
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(u'\r', u'\n');
    cursor.insertText(normalized);
}

void RichEdit::insertMime(const QMimeData *source, QTextCursor &cursor)
{
    for (const char *type : kRtfMimeTypes) {
        if (source->hasFormat(type) && acceptRichText()) {
            try {
                rtf::insertRtf(source->data(type), cursor);
                return;
            } catch (const rtf::RtfError &) {
                // Not RTF after all: fall through to the other forms.
            }
        }
    }
    Picture picture;
    if (!source->hasText() && pictureFromMimeData(source, &picture)) {
        insertPictureAt(cursor, picture);
        return;
    }
    if (source->hasText())
        insertPlainText(cursor, source->text());
}

void RichEdit::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !allowSelectionChange())
        return;
    UndoKindTracker::Scope scope(m_undo, UndoKind::Paste);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    guarded([&] { insertMime(source, cursor); }); // called from Qt's paste and drop
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData *RichEdit::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    QString text = cursor.selection().toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    data->setText(text);
    try {
        const QByteArray rtf =
            rtf::writeRtf(document(), cursor.selectionStart(), cursor.selectionEnd());
        for (const char *type : kRtfMimeTypes)
            data->setData(type, rtf);
    } catch (const rtf::RtfError &) {
        // Plain text is still on the clipboard.
    }
    guarded([&] {
        if (const auto object = selectedObject(); object && !object->isLink())
            data->setData(object->mimeType, object->data);
    });
    return data;
}

void RichEdit::dragEnterEvent(QDragEnterEvent *event)
{
    guarded([&] {
        if (onlyLocalFiles(event->mimeData())) {
            event->acceptProposedAction();
            return;
        }
        QTextEdit::dragEnterEvent(event);
    });
}

void RichEdit::dragMoveEvent(QDragMoveEvent *event)
{
    guarded([&] {
        if (onlyLocalFiles(event->mimeData())) {
            event->acceptProposedAction();
            return;
        }
        QTextEdit::dragMoveEvent(event);
    });
}

void RichEdit::dropEvent(QDropEvent *event)
{
    guarded([&] {
        if (onlyLocalFiles(event->mimeData())) {
            QStringList files;
            for (const QUrl &url : event->mimeData()->urls())
                files << url.toLocalFile();
            event->acceptProposedAction();
            emit filesDropped(files);
            return;
        }
        if (isReadOnly()) {
            QTextEdit::dropEvent(event);
            return;
        }
        const int target = cursorForPosition(event->position().toPoint()).position();
        const bool move = event->source() == this && event->dropAction() == Qt::MoveAction;
        if (!allowChange(target, target) || (move && !allowSelectionChange())) {
            event->ignore();
            return;
        }
        UndoKindTracker::Scope scope(m_undo, UndoKind::DragDrop);
        QTextEdit::dropEvent(event);
    });
}

void RichEdit::contextMenuEvent(QContextMenuEvent *event)
{
    guarded([&] {
        QMenu menu(this);
        // The items' commands run from the menu's own event loop: guarded.
        auto item = [&](const QString &text, auto handler) {
            QAction *action = menu.addAction(text);
            guardedConnect(action, &QAction::triggered, this, handler);
            return action;
        };
        item(tr("&Undo"), &RichEdit::undo)->setEnabled(canUndo());
        item(tr("&Redo"), &RichEdit::redo)->setEnabled(canRedo());
        menu.addSeparator();
        const bool selected = textCursor().hasSelection();
        item(tr("Cu&t"), &RichEdit::cut)->setEnabled(selected && !isReadOnly());
        item(tr("&Copy"), &RichEdit::copy)->setEnabled(selected);
        item(tr("&Paste"), &RichEdit::paste)->setEnabled(canPaste());
        item(tr("&Delete"), &RichEdit::deleteSelection)->setEnabled(selected && !isReadOnly());
        item(tr("Select &All"), &RichEdit::selectAll)->setEnabled(textLength() > 0);
        int position = -1;
        if (selectedObject(&position)) {
            menu.addSeparator();
            item(tr("&Open"), [this, position] { openObject(position); });
        }
        menu.exec(event->globalPos());
    });
}

} // namespace bw
