#pragma once
// The formatting commands of a document window (`aclFormat`): the character
// commands (font dialog, font boxes, size steps, styles, colours, script,
// masks, character type, character count), the paragraph commands
// (alignment, numbering, paragraph dialog) and their update handler. Every
// change of the text puts the item into edit state first, like typing.

#include "editor/char_format.h"
#include "editor/para_format.h"
#include "platform/prompt_service.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QComboBox;
class QMenu;
class QTextDocument;
class QWidget;

namespace bw {
class RichEdit;
}

namespace bw::notes {

class DocumentBars;
class FrameServices;
class RulerController;
class DocumentContext;

class FormatCommands : public QObject
{
    Q_OBJECT
public:
    FormatCommands(DocumentContext &window, FrameServices &frame);

    // The format commands of a document window; null for another widget.
    static FormatCommands *of(const QWidget *window);

    RulerController *ruler() const { return m_ruler; }

    // The format target: the selection, or the word at the caret.
    CharFormat currentAttributes() const;
    // True when the editor has the keyboard focus (or keeps it while a menu
    // of the window is open).
    bool editorHasFocus() const;

    // Shows the face (in a font name box) or the size (in a size box) of
    // the editor's format target.
    static void showFormatInFontBoxes(const RichEdit &editor, QComboBox *box);

    // Character commands.
    void toggleStyle(quint32 styleBit);
    void actFormatFontExecute();
    // The font dialog's Apply: the font goes to the editor's selection when
    // the editor is the window's focused control; false otherwise.
    bool fontDialogApply(const PromptService::FontAnswer &font);
    void btnFormatFontNameChange();
    void btnFormatFontSizeChange();
    void stepFontSize(int delta);
    void actFormatFColorExecute(QAction *item);
    void actFormatBColorExecute(QAction *item);
    void pmFontColorPopup();
    void pmBackgroundColorPopup();
    void actFormatSuperScriptExecute(QAction *sender);
    void actFormatProtectedExecute();
    void actFormatHiddenExecute();
    void actFormatDisabledExecute();
    void actFormatCharChangeTypeExecute();
    void actFormatCountCharsExecute();

    // Paragraph commands (format_commands_paragraph.cpp).
    void actFormatAlignAll(QAction *sender);
    void actFormatNumberingAll(QAction *sender);
    // Writes a numbering value with its left indent rule.
    void writeNumbering(int numbering);
    // The paragraph dialog; true when OK was chosen.
    bool showParagraphDialog();
    void actFormatParagraphExecute();

    // Enabled and checked states of every format command.
    void aclFormatUpdate();

    // The tag of a format command: the catalogue's, else its own by name.
    static int commandTag(const QAction *command);

    // Writes the masked fields to the paragraphs of the selection once the
    // item is in edit state; false when the item cannot be edited.
    bool writeParaFormat(const ParaFormat &format);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectCommands();
    void connectParagraphCommands();
    void connectFontBoxes();
    void connectColorMenus();
    void appendColorMenusToFormatMenu();
    // Runs handler when the command is enabled after an update, then
    // updates again so the marks show the text.
    void onCommand(const char *name, const std::function<void(QAction *)> &handler);
    QAction *command(const char *name) const;

    // Writes the masked fields to the format target (or the selection) once
    // the item is in edit state.
    bool writeCharFormat(const CharFormat &format, bool wordTarget = true);
    CharFormat dialogCharFormat(const PromptService::FontAnswer &font) const;
    void updateCharacterChecks(const CharFormat &target);
    void updateParagraphChecks(const ParaFormat &paragraph);

    // The formats a selection last read as, so the idle update of a large
    // selection reads the document again only after it changed.
    struct SelectionFormats
    {
        const QTextDocument *document = nullptr;
        int revision = -1;
        int start = -1;
        int end = -1;
        CharFormat character;
        ParaFormat paragraph;
    };
    const SelectionFormats &selectionFormats();

    DocumentContext &m_window;
    FrameServices &m_frame;
    SelectionFormats m_selectionFormats;
    QPointer<RichEdit> m_editor;
    DocumentBars *m_bars;
    RulerController *m_ruler = nullptr;
};

} // namespace bw::notes
