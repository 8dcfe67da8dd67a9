#include "document/editor_commands.h"

#include "commands/command_menus.h"
#include "document/document_context.h"
#include "document/editor_strings.h"
#include "document/frame_services.h"
#include "document/item_commands.h"
#include "document/window_command.h"
#include "editor/object_properties_dialog.h"
#include "editor/paste_special_dialog.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"
#include "platform/idle_updates.h"
#include "tree/folder_tree_link.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>

namespace bw::notes {

namespace {

constexpr char kDefaultShortDateFormat[] = "d.M.yyyy";

// Gives the editor the focus when the guard ends, also after an error.
class FocusEditorAtEnd
{
public:
    explicit FocusEditorAtEnd(DocumentContext &window) : m_window(window) {}
    ~FocusEditorAtEnd() { m_window.focusEditor(); }
    FocusEditorAtEnd(const FocusEditorAtEnd &) = delete;
    FocusEditorAtEnd &operator=(const FocusEditorAtEnd &) = delete;

private:
    DocumentContext &m_window;
};

// The system's long time format without the time zone, which a time of day
// written into a document does not carry.
QString longTimeFormat()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

const char *const kInsertCommands[] = {"actInsertDateTime", "actInsertPicture", "actInsertObject",
                                       "actInsertHorizontalLine", "actInsertFile"};

} // namespace

EditorCommands::EditorCommands(DocumentContext &window, FrameServices &frame)
    : QObject(window.widget()), m_window(window), m_frame(frame)
{
    setObjectName(QStringLiteral("EditorCommands"));
    auto editUpdate = [this] { m_window.aclEditUpdate(); };
    auto insertUpdate = [this] { aclInsertUpdate(); };
    auto on = [this](const char *name, std::function<void()> update,
                     void (EditorCommands::*run)()) {
        connectWindowCommand(m_window, name, std::move(update), [this, run] { (this->*run)(); });
    };
    on("actEditPasteSpecial", editUpdate, &EditorCommands::actEditPasteSpecialExecute);
    on("actEditObjectProperties", editUpdate, &EditorCommands::actEditObjectPropertiesExecute);
    on("actEditDoAgain", editUpdate, &EditorCommands::actEditDoAgainExecute);
    on("actInsertDateTime", insertUpdate, &EditorCommands::actInsertDateTimeExecute);
    on("actInsertPicture", insertUpdate, &EditorCommands::actInsertPictureExecute);
    on("actInsertObject", insertUpdate, &EditorCommands::actInsertObjectExecute);
    on("actInsertHorizontalLine", insertUpdate, &EditorCommands::actInsertHorizontalLineExecute);
    on("actInsertFile", insertUpdate, &EditorCommands::actInsertFileExecute);
    m_window.editor()->setPromptService(&m_frame.prompts());
    guardedConnect(
        m_window.editor(), &RichEdit::linkClicked, this,
        [this](const QString &text, Qt::MouseButton button) { editorUrlClick(text, button); });
    guardedConnect(m_window.editor(), &RichEdit::objectCopyChanged, this,
                   [this](const QString &path) { onObjectCopyChanged(path); });
    updateWhenIdle(this, [this] { aclInsertUpdate(); });
    aclInsertUpdate();
    // A popup asked for with the mouse comes to the viewport, one asked for
    // with the keyboard to the editor itself; either takes this popup instead
    // of the control's own.
    m_pmRichEdit = new QMenu(m_window.editor());
    m_window.editor()->installEventFilter(this);
    m_window.editor()->viewport()->installEventFilter(this);
}

bool EditorCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ContextMenu)
        return QObject::eventFilter(watched, event);
    const QPoint globalPos = static_cast<QContextMenuEvent *>(event)->globalPos();
    guarded([&] { editorPopup(globalPos); });
    return true;
}

void EditorCommands::editorPopup(const QPoint &globalPos)
{
    m_window.aclEditUpdate();
    m_pmRichEdit->clear();
    // The object submenu of the last popup goes with its items.
    for (QMenu *old : m_pmRichEdit->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly))
        old->deleteLater();
    fillMenu(m_pmRichEdit, QLatin1String(kRichEditMenu),
             [this](const QString &name) { return m_window.action(name); });
    addObjectMenuItems(*m_pmRichEdit);
    m_pmRichEdit->popup(globalPos);
}

bool EditorCommands::tableOpen() const
{
    return m_window.cdsCommon().isActive();
}

void EditorCommands::aclEditUpdate()
{
    RichEdit *editor = m_window.editor();
    const bool changeable = m_window.canChangeDocument();
    m_window.action(QStringLiteral("actEditPasteSpecial"))
        ->setEnabled(changeable && !editor->pasteSpecialFormats().isEmpty());
    m_window.action(QStringLiteral("actEditObjectProperties"))
        ->setEnabled(editor->selectedObject().has_value());
    // Enabled only while there is a format change to repeat, so it never
    // runs without effect.
    m_window.action(QStringLiteral("actEditDoAgain"))
        ->setEnabled(changeable && editor->document()->isModified() && editor->canRepeatFormat());
}

void EditorCommands::aclInsertUpdate()
{
    for (const char *name : kInsertCommands)
        m_window.action(QString::fromLatin1(name))->setEnabled(true);
}

void EditorCommands::actEditPasteSpecialExecute()
{
    FocusEditorAtEnd focus(m_window);
    RichEdit *editor = m_window.editor();
    PasteSpecialDialog dialog(editor->pasteSpecialFormats(), m_window.widget());
    if (m_frame.prompts().exec(&dialog) != QDialog::Accepted || dialog.format().isEmpty())
        return;
    if (m_window.ensureEditState())
        editor->pasteSpecial(dialog.format());
}

void EditorCommands::actEditObjectPropertiesExecute()
{
    RichEdit *editor = m_window.editor();
    int position = -1;
    const auto object = editor->selectedObject(&position);
    if (!object)
        return;
    ObjectPropertiesDialog dialog(*object, editor->objectVerbs(), m_window.widget());
    const int verb = ObjectPropertiesDialog::verbOf(m_frame.prompts().exec(&dialog));
    if (verb >= 0)
        runObjectVerb(verb, position);
}

void EditorCommands::runObjectVerb(int verb, int position)
{
    m_window.editor()->runObjectVerb(verb, position, m_frame.prompts());
}

void EditorCommands::addObjectMenuItems(QMenu &menu)
{
    RichEdit *editor = m_window.editor();
    int position = -1;
    const auto object = editor->selectedObject(&position);
    if (!object)
        return;
    menu.addSeparator();
    QAction *properties = menu.addAction(objectPropertiesCaption(*object));
    properties->setObjectName(QStringLiteral("pmiObjectProperties"));
    guardedConnect(properties, &QAction::triggered, this,
                   [this] { actEditObjectPropertiesExecute(); });
    QMenu *verbs = menu.addMenu(object->name);
    verbs->setObjectName(QStringLiteral("pmiObjectVerbs"));
    const QStringList names = editor->objectVerbs();
    for (int verb = 0; verb < names.size(); ++verb) {
        QAction *item = verbs->addAction(names.at(verb));
        guardedConnect(item, &QAction::triggered, this,
                       [this, verb, position] { runObjectVerb(verb, position); });
    }
}

void EditorCommands::actEditDoAgainExecute()
{
    if (!m_window.ensureEditState())
        return;
    m_window.editor()->repeatLastFormat();
    m_window.editorSelectionChange();
}

// The date, picture, object and horizontal line inserts act only while the
// user works in the editor of a selected item.
bool EditorCommands::insertConditions() const
{
    ItemCommands *items = m_window.itemCommands();
    return tableOpen() && !m_window.updatingFormatControls() && m_window.editor()->hasFocus() &&
           items && items->link().selectedNode() != FolderTreeLink::kNoNode;
}

QString EditorCommands::dateTimeText(const QDateTime &when)
{
    QString dateFormat = qApp->property("bwShortDateFormat").toString();
    if (dateFormat.isEmpty())
        dateFormat = QString::fromLatin1(kDefaultShortDateFormat);
    QString text = when.date().toString(dateFormat);
    const QTime time = when.time();
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        text += u' ' + QLocale::system().toString(time, longTimeFormat());
    return text;
}

// The text and a paragraph break go in at the start of the display line
// holding the selection's end, so the text becomes that line.
void EditorCommands::insertLineAtSelectionEnd(const QString &text)
{
    RichEdit *editor = m_window.editor();
    const int line = editor->lineFromChar(editor->selectionEnd());
    const int start = editor->lineIndex(line);
    editor->setSelection(start, start);
    editor->replaceSelection(text + u'\r');
}

void EditorCommands::actInsertDateTimeExecute()
{
    if (!insertConditions() || !m_window.ensureEditState())
        return;
    insertLineAtSelectionEnd(dateTimeText(m_now ? m_now() : QDateTime::currentDateTime()));
}

void EditorCommands::actInsertHorizontalLineExecute()
{
    if (!insertConditions() || !m_window.ensureEditState())
        return;
    insertLineAtSelectionEnd(m_frame.optionText(settings::Key::RichEditHorizontalLine_Text));
}

// The picture goes through the clipboard, as a paste of it would: a bitmap
// (an icon drawn on white), with the GIF, JPEG or icon file's own data beside it.
void EditorCommands::actInsertPictureExecute()
{
    if (!insertConditions() || !m_window.ensureEditState())
        return;
    PromptService::FileRequest request;
    request.caption = kOpenCaption;
    request.filter = kPictureFilter;
    const auto answer = m_frame.prompts().openFile(m_window.widget(), request);
    if (!answer)
        return;
    QApplication::clipboard()->setMimeData(pictureMimeData(answer->fileName));
    m_window.editor()->paste();
}

void EditorCommands::actInsertObjectExecute()
{
    if (!insertConditions() || !m_window.ensureEditState())
        return;
    m_window.editor()->insertObjectDialog(m_frame.prompts());
}

// The file's text, without its formatting, after an empty line at the end.
void EditorCommands::actInsertFileExecute()
{
    if (!tableOpen())
        return;
    PromptService::FileRequest request;
    request.caption = kOpenCaption;
    request.filter = kDocumentFilter;
    request.filterIndex = 1;
    const auto answer = m_frame.prompts().openFile(m_window.widget(), request);
    if (!answer || !m_window.ensureEditState())
        return;
    RichEdit reader;
    reader.loadFromFile(answer->fileName, streamFormatForFile(answer->fileName));
    QString text = reader.textRange(0, -1);
    text.remove(QChar::ObjectReplacementCharacter);

    RichEdit *editor = m_window.editor();
    const int end = editor->textLength();
    const bool lastLineEmpty = end == 0 || editor->textRange(end - 1, end) == QLatin1String("\n");
    editor->setSelection(end, end);
    editor->replaceSelection((lastLineEmpty ? QStringLiteral("\n") : QStringLiteral("\n\n")) +
                             text);
}

void EditorCommands::editorUrlClick(const QString &text, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    m_window.editor()->openLink(QUrl::fromUserInput(text));
}

// What the object's program saved becomes the object's bytes in the item,
// which is then modified. When it cannot (the object was deleted, the item
// left or read-only), the saved copy is kept for the user and named.
void EditorCommands::onObjectCopyChanged(const QString &path)
{
    RichEdit *editor = m_window.editor();
    if (m_window.ensureEditState() && editor->applyObjectCopy(path))
        return;
    const QString name = editor->objectCopyName(path);
    const QString kept = editor->keepObjectCopy(path);
    m_frame.prompts().message(m_window.widget(), kWarningCaption,
                              kObjectCopyNotPutBack.arg(name, kept), PromptService::Icon::Warning,
                              PromptService::Ok);
}

} // namespace bw::notes
