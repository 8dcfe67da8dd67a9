#pragma once
// What the command sets of a document window (items, formatting, editor,
// editor files, search, import and export, the ruler) may use of the window:
// its table, editor and commands, the edit state of the current item, and
// guards for the flags a change must set. The window implements it; the
// command sets never see its other state.

#include "platform/scoped_flag.h"

#include <QString>

class QAction;
class QWidget;

namespace bw {
class RichEdit;
namespace dataset {
class ClientDataSet;
}
} // namespace bw

namespace bw::notes {

class DocumentBars;
class ItemCommands;
class Ruler;

class DocumentContext
{
public:
    // The four commands that doTableCommand runs.
    enum class TableCommand { Save, UndoLastChange, UndoAllChanges, SaveAs };

    // The window, as the parent of dialogs and messages.
    virtual QWidget *widget() = 0;
    // The file name the window was created for.
    virtual QString caption() const = 0;
    virtual dataset::ClientDataSet &cdsCommon() = 0;
    virtual RichEdit *editor() const = 0;
    // The format bars, the ruler above the editor.
    virtual DocumentBars *bars() const = 0;
    virtual Ruler *ruler() const = 0;
    // The folder tree and the item commands.
    virtual ItemCommands *itemCommands() const = 0;
    // The window's own command of that name; throws std::logic_error if none.
    virtual QAction *action(const QString &name) = 0;

    // Save, undo last change, undo all changes, save as. False when nothing
    // was written (a save dialog cancelled, the table closed, the chosen file
    // open in another window) for the saves.
    virtual bool doTableCommand(TableCommand command) = 0;
    // True when the editor's document may change: the item is being edited,
    // or can be, and the editor could read its document. Every command that
    // changes the document is enabled by this one rule.
    virtual bool canChangeDocument() const = 0;
    // Puts the table into edit state for a change of the editor's document;
    // false when the document cannot change (canChangeDocument).
    virtual bool ensureEditState() = 0;
    // Loads a document file into the editor (the table in edit state),
    // replacing protected text too; the item is marked changed, not posted.
    virtual void loadFileIntoEditor(const QString &path) = 0;
    virtual void focusEditor() = 0;
    // Refreshes the format controls, the ruler and the line and column
    // display from the caret.
    virtual void editorSelectionChange() = 0;
    // Enables undo, redo, cut, copy, paste, delete and select all.
    virtual void aclEditUpdate() = 0;

    // True while editorSelectionChange fills the format controls.
    virtual bool updatingFormatControls() const = 0;
    [[nodiscard]] virtual ScopedFlag whileUpdatingFormatControls() = 0;
    // Sets the moving flag for the guard's life, around a change that may
    // touch protected text.
    [[nodiscard]] virtual ScopedFlag whileMoving() = 0;

protected:
    ~DocumentContext() = default;
};

} // namespace bw::notes
