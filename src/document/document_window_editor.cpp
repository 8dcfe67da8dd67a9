// The editor bound to the current item's Description: loaded whenever the
// current record changes, stored back on focus loss and on every post,
// read-only unless the table is being edited; the keys that change the text
// put the table into edit state first.

#include "document/document_window.h"

#include "document/document_bars.h"
#include "document/document_strings.h"
#include "document/format_commands.h"
#include "document/frame_services.h"
#include "document/ruler_controller.h"
#include "editor/rich_edit.h"
#include "platform/caps_lock.h"
#include "platform/guarded_dispatch.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QFontComboBox>
#include <QKeyEvent>

namespace bw::notes {

namespace {

using State = dataset::ClientDataSet::State;

bool isEditing(State state)
{
    return state == State::Edit || state == State::Insert;
}

// Keys that change the text: typed characters (Backspace, Tab, line feed,
// Enter and everything from the blank up), Delete, Shift+Insert, Ctrl+V, Ctrl+X.
bool changesText(const QKeyEvent *event, bool tabChangesFocus)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Return ||
        key == Qt::Key_Enter)
        return true;
    if (key == Qt::Key_Tab)
        return !tabChangesFocus;
    if (key == Qt::Key_Insert && mods == Qt::ShiftModifier)
        return true;
    if ((key == Qt::Key_V || key == Qt::Key_X) && mods == Qt::ControlModifier)
        return true;
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127;
}

} // namespace

void DocumentWindow::setupEditor()
{
    m_editor->installEventFilter(this);
    m_editor->setAcceptDrops(false);
    // Protected text changes only while the current record changes or a
    // document is loaded.
    m_editor->setProtectedHandler([this](int, int) { return m_moving; });
    guardedConnect(m_editor, &RichEdit::change, this, [this] {
        if (!m_loadingEditor) {
            m_editorModified = true;
            markRecordModified();
        }
        editorChange();
    });
    guardedConnect(m_editor, &RichEdit::selectionChange, this, [this] {
        // A load refreshes the caret's place once it is complete.
        if (!m_loadingEditor)
            editorSelectionChange();
    });
    guardedConnect(m_editor, &RichEdit::filesDropped, this,
                   [this](const QStringList &files) { m_frame.filesDropped(files); });
    updateEditorReadOnly();
}

void DocumentWindow::connectTable()
{
    using DS = dataset::ClientDataSet;
    DS *table = &cdsCommon();
    // The table's notifications (after a scroll, a change, a cancel) refresh
    // this window's view: they are guarded, so a document the editor cannot
    // load shows its error and leaves the table's operation complete. The
    // before-signals stay plain: an error there stops the operation (a record
    // is not left while its document could not be stored).
    connect(table, &DS::beforeScroll, this, &DocumentWindow::cdsCommonBeforeScroll);
    guardedConnect(table, &DS::afterScroll, this, &DocumentWindow::cdsCommonAfterScroll);
    guardedConnect(table, &DS::dataSetChanged, this, [this] {
        refreshEditorFromRecord(false);
        dsCommonDataChange();
    });
    guardedConnect(table, &DS::fieldChanged, this, &DocumentWindow::dsCommonDataChange);
    guardedConnect(table, &DS::stateChanged, this, &DocumentWindow::dsCommonStateChange);
    // Before a post, and before the table leaves a record (which posts the
    // record only when a field changed), the editor's document is stored.
    auto storeIfModified = [this] {
        if (m_editorModified)
            storeEditorDocument();
    };
    connect(table, &DS::beforePost, this, storeIfModified);
    connect(table, &DS::updatingRecord, this, storeIfModified);
    guardedConnect(table, &DS::afterCancel, this, [this] { refreshEditorFromRecord(true); });
    guardedConnect(table, &DS::afterOpen, this, &DocumentWindow::refreshStatusBar);
    guardedConnect(table, &DS::beforeClose, this, [this] {
        QMetaObject::invokeMethod(this, guard([this] { refreshStatusBar(); }),
                                  Qt::QueuedConnection);
    });
}

void DocumentWindow::cdsCommonBeforeScroll()
{
    m_moving = true;
    if (m_editorModified)
        storeEditorDocument();
}

void DocumentWindow::cdsCommonAfterScroll()
{
    m_moving = false;
    refreshEditorFromRecord(false);
    dsCommonDataChange();
}

void DocumentWindow::refreshEditorFromRecord(bool force)
{
    dataset::ClientDataSet &table = cdsCommon();
    if (!table.isActive() || table.controlsDisabled())
        return;
    if (!force) {
        // The document being typed stays until it is posted or cancelled.
        if (isEditing(table.state()) && m_editorModified)
            return;
        const QByteArray bytes = table.isEmpty() ? QByteArray() : table.asBytes(kFieldDescription);
        if (!m_editorModified && table.bookmark() == m_loadedBookmark && bytes == m_loadedBytes)
            return;
    }
    loadEditorDocument();
}

void DocumentWindow::loadEditorDocument()
{
    dataset::ClientDataSet &table = cdsCommon();
    const bool hasRecord = table.isActive() && !table.isEmpty();
    const QByteArray bytes = hasRecord ? table.asBytes(kFieldDescription) : QByteArray();
    std::exception_ptr failure;
    // The same unreadable document loaded again (a new look, a cancel) is
    // not reported again.
    const bool reported =
        m_loadFailed && hasRecord && table.bookmark() == m_loadedBookmark && bytes == m_loadedBytes;
    {
        ScopedFlag moving(m_moving);
        ScopedFlag loading(m_loadingEditor);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        // Not RTF: the editor falls back to plain text.
        try {
            m_editor->loadFromStream(&buffer, StreamFormat::Rtf);
        } catch (const StreamError &) {
            // A document the editor cannot read shows empty, once: the item is
            // remembered as loaded (no second message at the next refresh) and
            // cannot be edited, so its stored bytes are never replaced by text
            // the user did not see.
            failure = std::current_exception();
            QBuffer empty;
            empty.open(QIODevice::ReadOnly);
            m_editor->loadFromStream(&empty, StreamFormat::PlainText);
        }
        m_editor->document()->setModified(false);
    }
    m_editorModified = false;
    m_recordMarked = false;
    m_loadFailed = failure != nullptr;
    m_loadedBookmark = hasRecord ? table.bookmark() : dataset::ClientDataSet::Bookmark();
    m_loadedBytes = bytes;
    editorChange();
    editorSelectionChange();
    if (failure && !reported)
        std::rethrow_exception(failure);
}

void DocumentWindow::storeEditorDocument()
{
    dataset::ClientDataSet &table = cdsCommon();
    if (!table.isActive() || !isEditing(table.state()))
        return;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    m_editor->saveToStream(&buffer, StreamFormat::Rtf);
    const QByteArray bytes = buffer.data();
    table.setBytes(kFieldDescription, bytes);
    m_loadedBytes = bytes;
    m_editorModified = false;
    m_recordMarked = false;
}

// The table posts a pending edit only when a field differs from the stored
// record, and a walk of the tree or a save may finish the edit while the
// editor's signals are held back. So the first change of an edit stores the
// document once; the post then stores it again as it stands.
void DocumentWindow::markRecordModified()
{
    if (m_recordMarked || !isEditing(cdsCommon().state()))
        return;
    const QByteArray loaded = m_loadedBytes;
    storeEditorDocument();
    m_loadedBytes = loaded;
    m_editorModified = true;
    m_recordMarked = true;
}

bool DocumentWindow::canChangeDocument() const
{
    const dataset::ClientDataSet &table = m_table.cdsCommon();
    if (!table.isActive() || m_loadFailed)
        return false;
    return isEditing(table.state()) || (table.canModify() && !table.isEmpty());
}

// A document the editor could not read stays unchanged also while the item
// is in edit state for another reason (a rename): what the editor shows is
// not the item's document.
bool DocumentWindow::ensureEditState()
{
    if (!canChangeDocument())
        return false;
    dataset::ClientDataSet &table = cdsCommon();
    if (!isEditing(table.state()))
        table.edit();
    updateEditorReadOnly();
    return isEditing(table.state());
}

void DocumentWindow::updateEditorReadOnly()
{
    const dataset::ClientDataSet &table = cdsCommon();
    const bool editable = table.isActive() && isEditing(table.state());
    if (editable == !m_editor->isReadOnly())
        return;
    m_editor->setReadOnly(!editable);
    // Read-only still shows the caret and lets the keyboard move it.
    if (!editable)
        m_editor->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

bool DocumentWindow::editorKeyPress(QKeyEvent *event)
{
    // Escape neither reverts the item's unposted text nor reaches the editor.
    if (event->key() == Qt::Key_Escape)
        return true;
    // Undo and redo change the text like typing, when there is a step.
    if (event->matches(QKeySequence::Undo))
        return !m_editor->canUndo() || !ensureEditState();
    if (event->matches(QKeySequence::Redo))
        return !m_editor->canRedo() || !ensureEditState();
    if (!changesText(event, m_editor->tabChangesFocus()))
        return false;
    return !ensureEditState();
}

bool DocumentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor) {
        // A key whose edit state could not be had is eaten: it changes nothing.
        if (event->type() == QEvent::KeyPress)
            return guardedOr(true, [&] { return editorKeyPress(static_cast<QKeyEvent *>(event)); });
        if (event->type() == QEvent::FocusOut && m_editorModified)
            guarded([this] { storeEditorDocument(); });
    }
    return QWidget::eventFilter(watched, event);
}

void DocumentWindow::loadDroppedFile(const QString &path)
{
    dataset::ClientDataSet &table = cdsCommon();
    if (!table.isActive() || table.isEmpty())
        return;
    if (isEditing(table.state())) {
        const QString item = table.asString(kFieldName);
        const int answer = m_frame.prompts().askSaveChanges(this, kConfirmCaption, item);
        if (answer == PromptService::Yes)
            table.post();
        else if (answer == PromptService::No)
            table.cancel();
        else
            return;
    }
    if (!ensureEditState())
        return;
    loadFileIntoEditor(path);
}

void DocumentWindow::loadFileIntoEditor(const QString &path)
{
    {
        ScopedFlag moving(m_moving);
        ScopedFlag loading(m_loadingEditor);
        m_editor->loadFromFile(path, streamFormatForFile(path));
    }
    m_editorModified = true;
    markRecordModified();
    editorChange();
    editorSelectionChange();
}

void DocumentWindow::editorChange()
{
    m_capsText = capsLockOn() ? kStatusCapsLock : QString();
    drawStatusPanel(2);
    refreshUndoCaptions();
}

void DocumentWindow::refreshUndoCaptions()
{
    const int undoKind = m_editor->canUndo() ? int(m_editor->undoKind()) : 0;
    const int redoKind = m_editor->canRedo() ? int(m_editor->redoKind()) : 0;
    action(QStringLiteral("actEditUndo"))->setText(kUndoCaption + undoTypeName(undoKind));
    action(QStringLiteral("actEditRedo"))->setText(kRedoCaption + undoTypeName(redoKind));
}

void DocumentWindow::editorSelectionChange()
{
    // The boxes' own change events must not write back what is read here.
    ScopedFlag updating(m_updatingFormatControls);
    FormatCommands::showFormatInFontBoxes(*m_editor, m_bars->btnFormatFontName);
    FormatCommands::showFormatInFontBoxes(*m_editor, m_bars->btnFormatFontSize);
    if (RulerController *ruler = m_formatCommands ? m_formatCommands->ruler() : nullptr)
        ruler->placeMarkers();
    refreshLineColumn();
}

void DocumentWindow::refreshLineColumn()
{
    const int caret = m_editor->textCursor().position();
    const int line = m_editor->lineFromChar(caret);
    const int start = std::max(0, m_editor->lineIndex(line));
    m_lineColumnText = lineColumnText(line + 1, caret - start + 1);
    drawStatusPanel(3);
}

void DocumentWindow::applyEditorMargins()
{
    constexpr int kEditorGutter = 6;
    constexpr int kSelectionBar = 3;
    const QRect client = m_editor->viewport()->rect();
    m_editor->setTextRect(QRect(QPoint(kEditorGutter + kSelectionBar, 0),
                                QPoint(client.right() - kEditorGutter, client.bottom())));
}

void DocumentWindow::focusEditor()
{
    if (m_editor->isVisible() && m_editor->isEnabled())
        m_editor->setFocus();
}

} // namespace bw::notes
