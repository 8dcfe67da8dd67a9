#pragma once
// DocumentWindow, the document window of one notes file: the notes table with
// its folder tree on the left and the rich-text editor of the current item on
// the right, with their bars and the status bar. The window's caption is its
// file name (a path, or "NoName" and a number) until a save through the save
// dialog names another file: from then on it is that file's window. It loads
// or creates the table, saves it (save, save as, save all, automatic save),
// asks about unsaved changes when it closes and keeps its layout in the
// settings section "Child".

#include "document/document_context.h"
#include "notes/notes_table.h"
#include "platform/scoped_flag.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>

class QAction;
class QToolButton;

namespace bw {
class PaletteColorBinding;
class RegistryRXL;
class RichEdit;
} // namespace bw

namespace bw::notes {

class CollapsibleSplitter;
class DocumentBars;
class FormatCommands;
class EditorCommands;
class EditorFileCommands;
class FrameServices;
class ItemCommands;
class RecoveryCopy;
class Ruler;
class SearchCommands;
class StatusBar;

class DocumentWindow : public QWidget, public DocumentContext
{
    Q_OBJECT
public:
    // Creates the window for a file name handed over by the frame.
    DocumentWindow(FrameServices &frame, const QString &fileName, QWidget *parent = nullptr);
    ~DocumentWindow() override;

    // The caption: the file name the window was created for, or the file it
    // last saved to through the save dialog.
    QString caption() const override { return m_caption; }
    QWidget *widget() override { return this; }
    // True when openTable failed outside the guarded load: the window closes.
    bool closeRequested() const { return m_closeRequested; }
    // True when the window took a stored placement as it was shown.
    bool placementRestored() const;
    // Wide enough for every bar of the editor pane beside the tree pane as it is.
    QSize sizeHint() const override;

    NotesTable &notesTable() { return m_table; }
    dataset::ClientDataSet &cdsCommon() override { return m_table.cdsCommon(); }
    RichEdit *editor() const override { return m_editor; }
    StatusBar *statusBar() const { return m_statusBar; }
    Ruler *ruler() const override { return m_ruler; }
    DocumentBars *bars() const override { return m_bars; }
    CollapsibleSplitter *splitter() const { return m_splitter; }
    // The pane below the tree header where the folder tree sits.
    QWidget *treePane() const { return m_treePane; }
    // The folder tree and the item commands.
    ItemCommands *itemCommands() const override { return m_itemCommands; }
    // The formatting commands and the ruler's markers.
    FormatCommands *formatCommands() const { return m_formatCommands; }
    // The editor's document, file and search commands.
    EditorCommands *editorCommands() const { return m_editorCommands; }
    EditorFileCommands *editorFileCommands() const { return m_editorFileCommands; }
    SearchCommands *searchCommands() const { return m_searchCommands; }
    QAction *action(const QString &name) override;

    bool doTableCommand(TableCommand command) override;
    // Save on every document window of the frame, least recently active first.
    void saveAll();

    // The moving flag: set while the current record changes and while a
    // document is loaded into the editor, when protected text may change.
    bool isMoving() const { return m_moving; }
    [[nodiscard]] ScopedFlag whileMoving() override { return ScopedFlag(m_moving); }
    bool canChangeDocument() const override;
    bool ensureEditState() override;
    // Stores the editor's document into Description (table in edit or insert).
    void storeEditorDocument();
    bool editorModified() const { return m_editorModified; }

    void editorChange();
    void aclEditUpdate() override;
    void editorSelectionChange() override;
    bool updatingFormatControls() const override { return m_updatingFormatControls; }
    [[nodiscard]] ScopedFlag whileUpdatingFormatControls() override
    {
        return ScopedFlag(m_updatingFormatControls);
    }
    void applyEditorMargins();
    void focusEditor() override;

    // A file dropped onto the editor: asks about pending changes, then loads
    // the file into the current item's document without posting it.
    void loadDroppedFile(const QString &path);
    void loadFileIntoEditor(const QString &path) override;

    // Applies the options of the frame to this window: flat bars, autosave
    // timer, editor behaviour and look, visible bars.
    void applyOptions();

    // The texts the status bar shows now.
    QString statusText(int panel) const;

    // Unsaved changes: posted ones, a pending edit or the editor's document.
    bool hasUnsavedChanges() const;
    // True once the window closed (its copy and settings are done with).
    bool isClosed() const { return m_closed; }

    // Closes the window (its frame's sub-window when it has one).
    void closeWindow();
    // Asks about unsaved changes as closing would, without closing: false
    // when the user cancels (or a save is cancelled). After true the next
    // close asks nothing, until cancelQueryClose withdraws the answer.
    bool queryClose();
    void cancelQueryClose() { m_closeAgreed = false; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Construction (document_window.cpp).
    void setupWindow();
    void buildLayout();
    QWidget *buildLeftPane();
    QWidget *buildRightPane();
    void bindSettingsStore();
    void connectTable();
    void openTable();
    QString checkKeys();
    void startAutoSaveFromSettings();
    int autoSaveMinutes() const;
    void onShow();
    bool canClose();
    void onClose();
    void releaseUntitledNumber();
    void btnTreeViewHeaderClick();

    // Saving (document_window_save.cpp).
    std::optional<QString> runSaveDialog();
    bool
    saveTo(const QString &path,
           dataset::ClientDataSet::Binding binding = dataset::ClientDataSet::Binding::KeepOwnFile);
    // Asks for a name and saves there; the window then takes that name.
    bool saveToChosenFile();
    void takeFileName(const QString &path);
    // False when the window's file changed on disk since this window read or
    // wrote it and the user does not want it overwritten.
    bool mayOverwriteOwnFile();
    // Throws FileChangedError with the window's message when another program
    // changed its file in place, so that no save can write its items whole.
    void checkFileStillReadable() const;
    bool saveFile();
    void onAutosaveTimeout();

    // The editor bound to the item (document_window_editor.cpp).
    void setupEditor();
    void cdsCommonBeforeScroll();
    void cdsCommonAfterScroll();
    void refreshEditorFromRecord(bool force);
    void loadEditorDocument();
    bool editorKeyPress(QKeyEvent *event);
    void updateEditorReadOnly();
    void markRecordModified();
    void refreshUndoCaptions();
    void refreshLineColumn();

    // Clipboard and undo commands (document_window_edit.cpp).
    void setupEditCommands();
    void runUndo(bool redo);

    // Bars and status bar (document_window_bars.cpp).
    void setupCommands();
    void setupViewCommands();
    void viewCommandToggled(const QString &command, bool checked);
    QWidget *viewTarget(const QString &command) const;
    void dsCommonDataChange();
    void dsCommonStateChange();
    void drawStatusPanel(int panel);
    void refreshStatusBar();
    void applyEditorOptions();
    void applyBarVisibility();

    FrameServices &m_frame;
    QString m_caption;
    NotesTable m_table;
    QTimer m_autoSaveTimer;
    std::unique_ptr<RegistryRXL> m_store;
    bool m_moving = false;
    bool m_loadingEditor = false;
    bool m_editorModified = false; // the document differs from its field
    bool m_loadFailed = false;     // the editor could not read the loaded item's document
    bool m_recordMarked = false;   // the first change of an edit reached the field
    bool m_closeRequested = false;
    bool m_closeAgreed = false; // queryClose said yes for the coming close
    bool m_closed = false;
    bool m_saving = false;
    bool m_autoSavePaused = false; // an automatic save failed; no tick until a save succeeds
    bool m_shown = false;
    bool m_updatingFormatControls = false;
    dataset::ClientDataSet::Bookmark m_loadedBookmark;
    QByteArray m_loadedBytes;
    QByteArray m_fileStamp; // the file as this window last read or wrote it; empty: none
    RecoveryCopy *m_recoveryCopy = nullptr; // null without a store of copies
    QString m_capsText;
    QString m_lineColumnText;

    CollapsibleSplitter *m_splitter = nullptr;
    QWidget *m_leftPane = nullptr;
    QWidget *m_treeHeader = nullptr;
    QToolButton *m_treeHeaderClose = nullptr;
    QWidget *m_treePane = nullptr;
    DocumentBars *m_bars = nullptr;
    ItemCommands *m_itemCommands = nullptr;
    FormatCommands *m_formatCommands = nullptr;
    EditorCommands *m_editorCommands = nullptr;
    EditorFileCommands *m_editorFileCommands = nullptr;
    SearchCommands *m_searchCommands = nullptr;
    Ruler *m_ruler = nullptr;
    RichEdit *m_editor = nullptr;
    PaletteColorBinding *m_editorColors = nullptr; // the editor's text and background
    StatusBar *m_statusBar = nullptr;
};

} // namespace bw::notes
