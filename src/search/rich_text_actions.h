#pragma once
// The commands of the search window's rich-text box and of its editor
// window, as named actions on one RichEdit: cut, copy, paste, undo, bold,
// italic, underline, font, bullets, paragraph, tabs, find, replace, insert
// object. A read-only box takes none of the changes: they are disabled and
// their dialogs do not open. Every change first asks `beforeChange` (the
// bound box puts its record into edit state there); a change refused leaves
// the text alone.

#include <QObject>
#include <functional>

class QAction;

namespace bw {
class PromptService;
class RichEdit;
} // namespace bw

namespace bw::search {

class RichTextActions : public QObject
{
    Q_OBJECT
public:
    using Guard = std::function<void(const std::function<void()> &)>;

    // guard runs each command (the window's guarded dispatch).
    RichTextActions(RichEdit &editor, PromptService &prompts, Guard guard, QObject *parent);

    void setBeforeChange(std::function<bool()> beforeChange)
    {
        m_beforeChange = std::move(beforeChange);
    }
    // name: "Cut", "Copy", "Paste", "Undo", "Bold", "Italic", "Underline",
    // "Font", "Bullets", "Paragraph", "Tabs", "Find", "Replace", "InsertObject".
    QAction *action(const QString &name) const;
    // Enables and checks the actions from the editor's selection and state.
    void update();

    void font();
    void paragraph();
    void tabs();
    void find(bool replace);

private:
    QAction *add(const QString &name, const QString &text, const QString &shortcut,
                 std::function<void()> run, bool changes);
    bool canChange();
    void toggleStyle(quint32 field);

    RichEdit &m_editor;
    PromptService &m_prompts;
    Guard m_guard;
    std::function<bool()> m_beforeChange;
};

} // namespace bw::search
