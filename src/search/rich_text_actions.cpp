#include "search/rich_text_actions.h"

#include "editor/char_format.h"
#include "editor/para_format.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"
#include "search/rich_text_dialogs.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QLineEdit>

namespace bw::search {

RichTextActions::RichTextActions(RichEdit &editor, PromptService &prompts, Guard guard,
                                 QObject *parent)
    : QObject(parent), m_editor(editor), m_prompts(prompts), m_guard(std::move(guard))
{
    add(
        "Cut", tr("Cu&t"), "Ctrl+X", [this] { m_editor.cut(); }, true);
    add(
        "Copy", tr("&Copy"), "Ctrl+C", [this] { m_editor.copy(); }, false);
    add(
        "Paste", tr("&Paste"), "Ctrl+V", [this] { m_editor.paste(); }, true);
    add(
        "Undo", tr("&Undo"), "Ctrl+Z", [this] { m_editor.undo(); }, true);
    add(
        "Bold", tr("&Bold"), "Ctrl+B", [this] { toggleStyle(CharFormat::Bold); }, true);
    add(
        "Italic", tr("&Italic"), "Ctrl+I", [this] { toggleStyle(CharFormat::Italic); }, true);
    add(
        "Underline", tr("&Underline"), "Ctrl+U", [this] { toggleStyle(CharFormat::Underline); },
        true);
    add(
        "Font", tr("&Font..."), "", [this] { font(); }, false);
    add(
        "Bullets", tr("Bull&ets"), "",
        [this] {
            ParaFormat f;
            f.mask = ParaFormat::Numbering;
            const ParaFormat current = m_editor.paraFormat();
            f.numbering = current.has(ParaFormat::Numbering) && current.numbering == 1 ? 0 : 1;
            m_editor.setParaFormat(f);
        },
        true);
    add(
        "Paragraph", tr("P&aragraph..."), "", [this] { paragraph(); }, false);
    add(
        "Tabs", tr("&Tabs..."), "", [this] { tabs(); }, false);
    add(
        "Find", tr("&Find..."), "Ctrl+F", [this] { find(false); }, false);
    add(
        "Replace", tr("&Replace..."), "Ctrl+H", [this] { find(true); }, false);
    add(
        "InsertObject", tr("Insert &Object..."), "",
        [this] {
            if (canChange())
                m_editor.insertObjectDialog(m_prompts);
        },
        false);
    for (const char *name : {"Bold", "Italic", "Underline", "Bullets"})
        action(QLatin1String(name))->setCheckable(true);
    // Pictures of the icon theme the program chose; a missing one leaves the text.
    const char *icons[][2] = {{"Cut", "edit-cut"},
                              {"Copy", "edit-copy"},
                              {"Paste", "edit-paste"},
                              {"Undo", "edit-undo"},
                              {"Bold", "format-text-bold"},
                              {"Italic", "format-text-italic"},
                              {"Underline", "format-text-underline"},
                              {"Font", "preferences-desktop-font"},
                              {"Bullets", "format-list-unordered"},
                              {"Paragraph", "format-justify-left"},
                              {"Find", "edit-find"},
                              {"Replace", "edit-find-replace"},
                              {"InsertObject", "insert-object"}};
    for (const auto &[name, icon] : icons)
        action(QLatin1String(name))->setIcon(QIcon::fromTheme(QLatin1String(icon)));
}

QAction *RichTextActions::add(const QString &name, const QString &text, const QString &shortcut,
                              std::function<void()> run, bool changes)
{
    auto *a = new QAction(text, this);
    a->setObjectName(name);
    if (!shortcut.isEmpty()) {
        a->setShortcut(QKeySequence(shortcut));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    guardedConnect(a, &QAction::triggered, this, [this, run = std::move(run), changes] {
        m_guard([&] {
            if (!changes || canChange())
                run();
        });
    });
    return a;
}

QAction *RichTextActions::action(const QString &name) const
{
    return findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
}

// A read-only box takes no change (a bound box is read-only while it shows no
// record); otherwise the box may first have to put its record into edit state.
bool RichTextActions::canChange()
{
    if (m_editor.isReadOnly())
        return false;
    return !m_beforeChange || m_beforeChange();
}

void RichTextActions::toggleStyle(quint32 field)
{
    const CharFormat current = m_editor.selectionCharFormat(FormatTarget::SelectionWord);
    CharFormat f;
    f.mask = field;
    const bool on = current.has(field) && (field == CharFormat::Bold     ? current.bold
                                           : field == CharFormat::Italic ? current.italic
                                                                         : current.underline);
    f.bold = f.italic = f.underline = !on;
    m_editor.setSelectionCharFormat(f, FormatTarget::SelectionWord);
}

void RichTextActions::font()
{
    // A dialog whose answer could not be applied is not shown.
    if (m_editor.isReadOnly())
        return;
    const CharFormat current = m_editor.selectionCharFormat();
    PromptService::FontAnswer initial;
    initial.font = m_editor.currentFont();
    initial.color = current.color.isValid() ? current.color : QColor(Qt::black);
    auto apply = [this](const PromptService::FontAnswer &answer) {
        if (!canChange())
            return;
        CharFormat f;
        f.mask = CharFormat::Face | CharFormat::Size | CharFormat::Styles | CharFormat::Color;
        f.face = answer.font.family();
        f.sizeTwips = std::max(CharFormat::kMinSizeTwips, int(answer.font.pointSizeF() * 20));
        f.bold = answer.font.bold();
        f.italic = answer.font.italic();
        f.underline = answer.font.underline();
        f.strikeOut = answer.font.strikeOut();
        f.color = answer.color;
        m_editor.setSelectionCharFormat(f);
    };
    if (const auto answer = m_prompts.chooseFont(&m_editor, initial, apply))
        apply(*answer);
}

void RichTextActions::paragraph()
{
    if (m_editor.isReadOnly())
        return;
    ParagraphDialog dialog(m_editor.paraFormat(), &m_editor);
    if (m_prompts.exec(&dialog) == QDialog::Accepted && canChange())
        m_editor.setParaFormat(dialog.format());
}

void RichTextActions::tabs()
{
    if (m_editor.isReadOnly())
        return;
    TabsDialog dialog(tabStopsAtCaret(m_editor), &m_editor);
    if (m_prompts.exec(&dialog) == QDialog::Accepted && canChange())
        setTabStops(m_editor, dialog.stops());
}

void RichTextActions::find(bool replace)
{
    if (replace && !canChange())
        return;
    FindReplaceDialog dialog(m_editor, m_prompts, replace, &m_editor);
    dialog.findEdit()->setText(m_editor.selectedPlainText());
    m_prompts.exec(&dialog);
}

void RichTextActions::update()
{
    const bool selected = m_editor.textCursor().hasSelection();
    const bool writable = !m_editor.isReadOnly();
    action("Cut")->setEnabled(selected && writable);
    action("Copy")->setEnabled(selected);
    action("Paste")->setEnabled(writable && m_editor.canPaste());
    action("Undo")->setEnabled(m_editor.canUndo());
    for (const char *name : {"Bold", "Italic", "Underline", "Font", "Bullets", "Paragraph", "Tabs",
                             "Replace", "InsertObject"})
        action(QLatin1String(name))->setEnabled(writable);
    action("Find")->setEnabled(m_editor.textLength() > 0);
    const CharFormat format = m_editor.selectionCharFormat(FormatTarget::SelectionWord);
    action("Bold")->setChecked(format.has(CharFormat::Bold) && format.bold);
    action("Italic")->setChecked(format.has(CharFormat::Italic) && format.italic);
    action("Underline")->setChecked(format.has(CharFormat::Underline) && format.underline);
    const ParaFormat para = m_editor.paraFormat();
    action("Bullets")->setChecked(para.has(ParaFormat::Numbering) && para.numbering == 1);
}

} // namespace bw::search
