// The character formatting commands of the document window and the update
// handler of every format command.

#include "document/format_commands.h"

#include "commands/command_catalogue.h"

#include "document/char_type_dialog.h"
#include "document/color_menu.h"
#include "document/document_bars.h"
#include "document/document_context.h"
#include "document/document_strings.h"
#include "document/editor_format_keys.h"
#include "document/frame_services.h"
#include "document/ruler_controller.h"
#include "editor/char_type.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"
#include "platform/idle_updates.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTextCursor>
#include <QTextDocument>

namespace bw::notes {

namespace {

// The catalogue keeps a command's tag in this property.

struct StyleCommand
{
    const char *name;
    quint32 bit;
};
const StyleCommand kStyleCommands[] = {
    {"actFormatBold", CharFormat::Bold},
    {"actFormatItalic", CharFormat::Italic},
    {"actFormatUnderline", CharFormat::Underline},
    {"actFormatStrikeOut", CharFormat::StrikeOut},
};

// Commands whose check mark shows the text: they are check commands even
// before the frame's set-up makes them auto-check.
const char *const kCheckCommands[] = {"actFormatBold",
                                      "actFormatItalic",
                                      "actFormatUnderline",
                                      "actFormatStrikeOut",
                                      "actFormatAlignLeft",
                                      "actFormatAlignCenter",
                                      "actFormatAlignJustify",
                                      "actFormatAlignRight",
                                      "actFormatNumberingNoNumbering",
                                      "actFormatNumberingSymbols",
                                      "actFormatNumberingNumber",
                                      "actFormatNumberingLetterLC",
                                      "actFormatNumberingLetterUC",
                                      "actFormatNumberingRomanLC",
                                      "actFormatNumberingRomanUC",
                                      "actFormatNumberingUnicodeSeq",
                                      "actFormatSuperScript",
                                      "actFormatSubScript",
                                      "actFormatProtected",
                                      "actFormatHidden",
                                      "actFormatDisabled"};

// The commands of the format list that follow the editor's focus: the check
// commands and these (the menu headings and the two commands with rules of
// their own are in neither).
const char *const kOtherFocusCommands[] = {"actFormatFont",
                                           "actFormatFontName",
                                           "actFormatFontSize",
                                           "actFormatDecreaseFontSize",
                                           "actFormatIncreaseFontSize",
                                           "actFormatParagraph",
                                           "actFormatFColor",
                                           "actFormatBColor"};

struct TagEntry
{
    const char *name;
    int tag;
};
const TagEntry kTags[] = {
    {"actFormatAlignLeft", 31},
    {"actFormatAlignCenter", 32},
    {"actFormatAlignJustify", 33},
    {"actFormatAlignRight", 34},
    {"actFormatNumberingNoNumbering", 40},
    {"actFormatNumberingLetterLC", 41},
    {"actFormatNumberingLetterUC", 42},
    {"actFormatNumberingRomanLC", 43},
    {"actFormatNumberingRomanUC", 44},
    {"actFormatNumberingSymbols", 45},
    {"actFormatNumberingNumber", 46},
    {"actFormatNumberingUnicodeSeq", 47},
    {"actFormatSuperScript", 51},
    {"actFormatSubScript", 52},
};

constexpr int kSuperScriptTag = 51;

} // namespace

FormatCommands::FormatCommands(DocumentContext &window, FrameServices &frame)
    : QObject(window.widget()), m_window(window), m_frame(frame), m_editor(window.editor()),
      m_bars(window.bars())
{
    setObjectName(QStringLiteral("aclFormat"));
    m_ruler = new RulerController(window, *this);
    for (const char *name : kCheckCommands)
        command(name)->setCheckable(true);
    connectCommands();
    connectParagraphCommands();
    connectFontBoxes();
    connectColorMenus();
    appendColorMenusToFormatMenu();
    new EditorFormatKeys(window, *this);
    updateWhenIdle(this, [this] { aclFormatUpdate(); });
}

FormatCommands *FormatCommands::of(const QWidget *window)
{
    return window ? window->findChild<FormatCommands *>(QStringLiteral("aclFormat"),
                                                        Qt::FindDirectChildrenOnly)
                  : nullptr;
}

QAction *FormatCommands::command(const char *name) const
{
    return m_window.action(QString::fromLatin1(name));
}

int FormatCommands::commandTag(const QAction *command)
{
    const int tag = bw::commandTag(command);
    if (tag != 0)
        return tag;
    for (const TagEntry &entry : kTags)
        if (command->objectName() == QLatin1String(entry.name))
            return entry.tag;
    return 0;
}

void FormatCommands::onCommand(const char *name, const std::function<void(QAction *)> &handler)
{
    QAction *action = command(name);
    guardedConnect(action, &QAction::triggered, this, [this, action, handler] {
        aclFormatUpdate();
        if (action->isEnabled())
            handler(action);
        aclFormatUpdate();
    });
}

void FormatCommands::connectCommands()
{
    onCommand("actFormatFont", [this](QAction *) { actFormatFontExecute(); });
    onCommand("actFormatFontName", [this](QAction *) { btnFormatFontNameChange(); });
    onCommand("actFormatFontSize", [this](QAction *) { btnFormatFontSizeChange(); });
    onCommand("actFormatIncreaseFontSize", [this](QAction *) { stepFontSize(1); });
    onCommand("actFormatDecreaseFontSize", [this](QAction *) { stepFontSize(-1); });
    for (const StyleCommand &style : kStyleCommands)
        onCommand(style.name, [this, bit = style.bit](QAction *) { toggleStyle(bit); });
    onCommand("actFormatSuperScript", [this](QAction *a) { actFormatSuperScriptExecute(a); });
    onCommand("actFormatSubScript", [this](QAction *a) { actFormatSuperScriptExecute(a); });
    onCommand("actFormatProtected", [this](QAction *) { actFormatProtectedExecute(); });
    onCommand("actFormatHidden", [this](QAction *) { actFormatHiddenExecute(); });
    onCommand("actFormatDisabled", [this](QAction *) { actFormatDisabledExecute(); });
    onCommand("actFormatCharChangeType", [this](QAction *) { actFormatCharChangeTypeExecute(); });
    onCommand("actFormatCountChars", [this](QAction *) { actFormatCountCharsExecute(); });
    // The main part of a colour button applies nothing; only its items do.
    onCommand("actFormatFColor", [](QAction *) {});
    onCommand("actFormatBColor", [](QAction *) {});
}

void FormatCommands::connectFontBoxes()
{
    QFontComboBox *name = m_bars->btnFormatFontName;
    QComboBox *size = m_bars->btnFormatFontSize;
    // A choice from the list or a typed value ended with Enter writes the
    // box and hands the focus back to the editor. Enter on a typed value that
    // is also in the list raises both signals; the second finds the text
    // already in that format and writes nothing.
    auto nameChosen = [this] {
        btnFormatFontNameChange();
        m_window.focusEditor();
    };
    auto sizeChosen = [this] {
        btnFormatFontSizeChange();
        m_window.focusEditor();
    };
    guardedConnect(name, &QComboBox::activated, this, nameChosen);
    guardedConnect(size, &QComboBox::activated, this, sizeChosen);
    if (QLineEdit *edit = name->lineEdit())
        guardedConnect(edit, &QLineEdit::returnPressed, this, nameChosen);
    if (QLineEdit *edit = size->lineEdit())
        guardedConnect(edit, &QLineEdit::returnPressed, this, sizeChosen);
    // Enter in a box must not reach the window's Post command.
    name->setInsertPolicy(QComboBox::NoInsert);
    size->setInsertPolicy(QComboBox::NoInsert);
    name->installEventFilter(this);
    size->installEventFilter(this);
}

bool FormatCommands::eventFilter(QObject *watched, QEvent *event)
{
    return guardedOr(false, [&] {
        // A value typed but not ended with Enter is dropped when the focus
        // leaves its box (before the box takes it as chosen): the box shows
        // the text's format again. Opening the box's own list keeps it. This
        // runs while the window is torn down too, so it touches only the
        // controls, which are still there.
        auto *box = qobject_cast<QComboBox *>(watched);
        if (box && m_editor && event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            showFormatInFontBoxes(*m_editor, box);
        return false;
    });
}

void FormatCommands::showFormatInFontBoxes(const RichEdit &editor, QComboBox *box)
{
    const CharFormat format = editor.selectionCharFormat(FormatTarget::SelectionWord);
    // Text without a face or size of its own shows in the editor's font.
    const QFont fallback = editor.defaultFont();
    if (auto *name = qobject_cast<QFontComboBox *>(box)) {
        const QString face = format.face.isEmpty() ? fallback.family() : format.face;
        name->setCurrentFont(QFont(face));
        // The document's own face name, also when the desktop substitutes it.
        name->setEditText(face);
    } else if (box) {
        const int points = format.sizeTwips > 0 ? format.sizeTwips / 20 : fallback.pointSize();
        box->setCurrentText(QString::number(points));
    }
}

CharFormat FormatCommands::currentAttributes() const
{
    return m_editor->selectionCharFormat(FormatTarget::SelectionWord);
}

bool FormatCommands::editorHasFocus() const
{
    if (m_editor->hasFocus())
        return true;
    // A menu or the menu bar holds the keyboard while it is open; the
    // editor stays the window's focused control.
    QWidget *focus = QApplication::focusWidget();
    return focus && (qobject_cast<QMenu *>(focus) || qobject_cast<QMenuBar *>(focus)) &&
           m_window.widget()->focusWidget() == m_editor;
}

bool FormatCommands::writeCharFormat(const CharFormat &format, bool wordTarget)
{
    if (!m_window.ensureEditState())
        return false;
    m_editor->setSelectionCharFormat(format, wordTarget ? FormatTarget::SelectionWord
                                                        : FormatTarget::Selection);
    return true;
}

void FormatCommands::toggleStyle(quint32 styleBit)
{
    if (m_window.updatingFormatControls())
        return;
    CharFormat format = currentAttributes();
    bool *bits[] = {&format.bold, &format.italic, &format.underline, &format.strikeOut};
    const quint32 masks[] = {CharFormat::Bold, CharFormat::Italic, CharFormat::Underline,
                             CharFormat::StrikeOut};
    // The four styles are written together: the others as they were read.
    for (int i = 0; i < 4; ++i)
        if (masks[i] == styleBit)
            *bits[i] = !*bits[i];
    format.mask = CharFormat::Styles;
    writeCharFormat(format);
}

CharFormat FormatCommands::dialogCharFormat(const PromptService::FontAnswer &answer) const
{
    const QFont &font = answer.font;
    CharFormat format;
    format.mask = CharFormat::Size | CharFormat::Styles | CharFormat::Face | CharFormat::Color |
                  CharFormat::Weight;
    format.setSizePoints(font.pointSize() > 0 ? font.pointSize() : 8);
    format.bold = font.bold();
    format.italic = font.italic();
    format.underline = font.underline();
    format.strikeOut = font.strikeOut();
    format.face = font.family().left(CharFormat::kMaxFaceLength);
    // The window text colour and the default colour write automatic.
    const QColor windowText = m_editor->formatDefaults().text;
    format.autoColor = !answer.color.isValid() || answer.color.rgb() == windowText.rgb();
    format.color = format.autoColor ? QColor() : answer.color;
    format.weight = font.bold() ? 700 : 400;
    return format;
}

void FormatCommands::actFormatFontExecute()
{
    // The dialog starts from the selection's format, not the word's.
    const CharFormat current = m_editor->selectionCharFormat(FormatTarget::Selection);
    QFont font(current.face.isEmpty() ? m_editor->defaultFont().family() : current.face);
    font.setPointSize(qMax(1, current.sizePoints()));
    font.setBold(current.bold);
    font.setItalic(current.italic);
    font.setUnderline(current.underline);
    font.setStrikeOut(current.strikeOut);
    const QColor color = current.autoColor ? m_editor->formatDefaults().text : current.color;
    const auto answer = m_frame.executeFontDialog(m_window.widget(), {font, color});
    if (answer) {
        writeCharFormat(dialogCharFormat(*answer));
        m_window.editorSelectionChange();
    }
    m_window.focusEditor();
}

bool FormatCommands::fontDialogApply(const PromptService::FontAnswer &font)
{
    if (m_window.widget()->focusWidget() != m_editor)
        return false;
    writeCharFormat(dialogCharFormat(font), false);
    m_window.editorSelectionChange();
    return true;
}

void FormatCommands::btnFormatFontNameChange()
{
    if (m_window.updatingFormatControls())
        return;
    QFontComboBox *box = m_bars->btnFormatFontName;
    QString face = box->currentText().trimmed();
    if (face.isEmpty())
        return;
    // A typed name takes the spelling of the font the list has under it.
    if (const int listed = box->findText(face, Qt::MatchFixedString); listed >= 0)
        face = box->itemText(listed);
    face = face.left(CharFormat::kMaxFaceLength);
    const CharFormat target = currentAttributes();
    if (target.has(CharFormat::Face) && target.face.compare(face, Qt::CaseInsensitive) == 0)
        return;
    CharFormat format;
    format.mask = CharFormat::Face;
    format.face = face;
    writeCharFormat(format);
}

void FormatCommands::btnFormatFontSizeChange()
{
    if (m_window.updatingFormatControls())
        return;
    bool ok = false;
    const int points = m_bars->btnFormatFontSize->currentText().trimmed().toInt(&ok);
    if (!ok || points <= 0)
        return;
    CharFormat format;
    format.setSizePoints(qMin(points, CharFormat::kMaxSizeTwips / 20));
    const CharFormat target = currentAttributes();
    if (target.has(CharFormat::Size) && target.sizeTwips == format.sizeTwips)
        return;
    writeCharFormat(format);
}

void FormatCommands::stepFontSize(int delta)
{
    const int points = currentAttributes().sizePoints();
    if (!m_window.updatingFormatControls()) {
        CharFormat format;
        format.setSizePoints(points + delta);
        writeCharFormat(format);
    }
    // What the control made of the size is what the box shows.
    const ScopedFlag updating = m_window.whileUpdatingFormatControls();
    m_bars->btnFormatFontSize->setCurrentText(QString::number(currentAttributes().sizePoints()));
}

void FormatCommands::connectColorMenus()
{
    guardedConnect(m_bars->pmFontColor, &QMenu::triggered, this,
                   [this](QAction *item) { actFormatFColorExecute(item); });
    guardedConnect(m_bars->pmBackgroundColor, &QMenu::triggered, this,
                   [this](QAction *item) { actFormatBColorExecute(item); });
    guardedConnect(m_bars->pmFontColor, &QMenu::aboutToShow, this,
                   &FormatCommands::pmFontColorPopup);
    guardedConnect(m_bars->pmBackgroundColor, &QMenu::aboutToShow, this,
                   &FormatCommands::pmBackgroundColorPopup);
}

// Both roots join the end of the window's Format menu, after its last item,
// following their commands' caption, image and state.
void FormatCommands::appendColorMenusToFormatMenu()
{
    auto link = [](QMenu *menu, QAction *head) {
        QAction *root = menu->menuAction();
        auto follow = [root, head] {
            root->setText(head->text());
            root->setIcon(head->icon());
            root->setStatusTip(head->statusTip());
            root->setToolTip(head->toolTip());
            root->setEnabled(head->isEnabled());
            root->setVisible(head->isVisible());
        };
        follow();
        guardedConnect(head, &QAction::changed, root, follow);
    };
    link(m_bars->pmFontColor, command("actFormatFColor"));
    link(m_bars->pmBackgroundColor, command("actFormatBColor"));
    auto *formatMenu = m_window.widget()->findChild<QMenu *>(QStringLiteral("miFormat"),
                                                             Qt::FindDirectChildrenOnly);
    if (!formatMenu)
        return;
    formatMenu->addMenu(m_bars->pmFontColor);
    formatMenu->addMenu(m_bars->pmBackgroundColor);
}

void FormatCommands::actFormatFColorExecute(QAction *item)
{
    if (!item)
        return;
    item->setChecked(true);
    const QColor color = colorOfItem(item);
    CharFormat format;
    format.mask = CharFormat::Color;
    format.autoColor = !color.isValid();
    format.color = color;
    writeCharFormat(format);
}

void FormatCommands::actFormatBColorExecute(QAction *item)
{
    if (!item)
        return;
    item->setChecked(true);
    const QColor color = colorOfItem(item);
    CharFormat format;
    format.mask = CharFormat::BackColor;
    format.autoBackColor = !color.isValid();
    format.backColor = color;
    writeCharFormat(format);
}

void FormatCommands::pmFontColorPopup()
{
    const CharFormat target = currentAttributes();
    setAutomaticColor(m_bars->pmFontColor, m_editor->formatDefaults().text);
    checkColorItem(m_bars->pmFontColor, target.color, target.autoColor);
}

void FormatCommands::pmBackgroundColorPopup()
{
    const CharFormat target = currentAttributes();
    setAutomaticColor(m_bars->pmBackgroundColor, m_editor->formatDefaults().background);
    checkColorItem(m_bars->pmBackgroundColor, target.backColor, target.autoBackColor);
}

void FormatCommands::actFormatSuperScriptExecute(QAction *sender)
{
    if (m_window.updatingFormatControls())
        return;
    // The update rule marks the command of the text's script and the
    // execution flips the sender's mark: a second press clears the script.
    const CharFormat target = currentAttributes();
    const bool superscript = commandTag(sender) == kSuperScriptTag;
    const bool already = superscript ? target.superscript : target.subscript;
    CharFormat format;
    format.mask = CharFormat::Script;
    format.superscript = superscript && !already;
    format.subscript = !superscript && !already;
    writeCharFormat(format);
}

void FormatCommands::actFormatProtectedExecute()
{
    if (m_window.updatingFormatControls())
        return;
    CharFormat format;
    format.mask = CharFormat::Protected;
    format.protectedText = !currentAttributes().protectedText;
    if (!m_window.ensureEditState())
        return;
    // Only this command may change protected text.
    const ScopedFlag moving = m_window.whileMoving();
    m_editor->setSelectionCharFormat(format, FormatTarget::SelectionWord);
}

void FormatCommands::actFormatHiddenExecute()
{
    if (m_window.updatingFormatControls())
        return;
    CharFormat format;
    format.mask = CharFormat::Hidden;
    format.hidden = !currentAttributes().hidden;
    writeCharFormat(format);
}

void FormatCommands::actFormatDisabledExecute()
{
    if (m_window.updatingFormatControls())
        return;
    CharFormat format;
    format.mask = CharFormat::Disabled;
    format.disabled = !currentAttributes().disabled;
    writeCharFormat(format);
}

void FormatCommands::actFormatCharChangeTypeExecute()
{
    const QString text = m_editor->selectedPlainText();
    CharTypeDialog dialog(m_window.widget());
    if (m_frame.prompts().exec(&dialog) != QDialog::Accepted)
        return;
    const auto type = static_cast<CharType>(qBound(0, dialog.itemIndex(), 2));
    if (!m_window.ensureEditState())
        return;
    m_editor->replaceSelection(changeCharType(text, type));
}

void FormatCommands::actFormatCountCharsExecute()
{
    m_frame.prompts().message(m_window.widget(), kInformationCaption,
                              kCountCharsMessage.arg(m_editor->textLength()),
                              PromptService::Icon::Information, PromptService::Ok);
}

void FormatCommands::aclFormatUpdate()
{
    if (!m_editor)
        return;
    // Every command but Count Characters changes the document: none is
    // enabled while it cannot change.
    const bool changeable = m_window.canChangeDocument();
    const bool focused = changeable && editorHasFocus();
    for (const char *name : kCheckCommands)
        command(name)->setEnabled(focused);
    for (const char *name : kOtherFocusCommands)
        command(name)->setEnabled(focused);
    command("actFormatCharChangeType")
        ->setEnabled(changeable && m_editor->textCursor().hasSelection());
    // The font boxes write the format target too.
    m_bars->btnFormatFontName->setEnabled(changeable);
    m_bars->btnFormatFontSize->setEnabled(changeable);
    command("actFormatCountChars")->setEnabled(m_editor->textLength() > 0);
    const SelectionFormats &formats = selectionFormats();
    const CharFormat &target = formats.character;
    updateCharacterChecks(target);
    updateParagraphChecks(formats.paragraph);
    checkColorItem(m_bars->pmFontColor, target.color, target.autoColor);
    checkColorItem(m_bars->pmBackgroundColor, target.backColor, target.autoBackColor);
}

const FormatCommands::SelectionFormats &FormatCommands::selectionFormats()
{
    const QTextCursor cursor = m_editor->textCursor();
    const QTextDocument *document = m_editor->document();
    SelectionFormats &cached = m_selectionFormats;
    // With nothing selected the target is a word or the insertion format,
    // which is cheap to read and may change without the document changing.
    const bool same = cursor.hasSelection() && cached.document == document &&
                      cached.revision == document->revision() &&
                      cached.start == cursor.selectionStart() &&
                      cached.end == cursor.selectionEnd();
    if (!same) {
        cached.document = document;
        cached.revision = document->revision();
        cached.start = cursor.hasSelection() ? cursor.selectionStart() : -1;
        cached.end = cursor.selectionEnd();
        cached.character = currentAttributes();
        cached.paragraph = m_editor->paraFormat();
    }
    return cached;
}

void FormatCommands::updateCharacterChecks(const CharFormat &target)
{
    command("actFormatBold")->setChecked(target.bold);
    command("actFormatItalic")->setChecked(target.italic);
    command("actFormatUnderline")->setChecked(target.underline);
    command("actFormatStrikeOut")->setChecked(target.strikeOut);
    command("actFormatSuperScript")->setChecked(target.superscript);
    command("actFormatSubScript")->setChecked(target.subscript);
    command("actFormatProtected")->setChecked(target.protectedText);
    command("actFormatHidden")->setChecked(target.hidden);
    command("actFormatDisabled")->setChecked(target.disabled);
}

} // namespace bw::notes
