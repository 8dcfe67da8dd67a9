#pragma once
// ItemCommands puts the folder tree into a document window and runs the
// window's item commands: one execute handler that dispatches on the command
// number (insert, insert child, move up, delete, edit, post, cancel, refresh,
// the change-log commands, import and exports, back, forward, up), the
// delete confirmation, the navigation history, and the update handler that
// enables the commands and gives Del, Enter and Esc to them only while the
// tree has the focus.

#include "document/navigation_history.h"
#include "tree/folder_tree_link.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

namespace bw::notes {

class FolderTreeView;
class FrameServices;
class DeleteMessageDialog;
class DocumentContext;

class ItemCommands : public QObject
{
    Q_OBJECT
public:
    enum Command {
        Insert = 1,
        InsertChild = 2,
        MoveUp = 3,
        Delete = 4,
        Edit = 5,
        Post = 6,
        Cancel = 7,
        Refresh = 8,
        SaveChanges = 9,
        UndoLastChange = 10,
        UndoAllChanges = 11,
        Import = 12,
        ExportNodes = 13,
        ExportHtmlGrid = 14,
        ExportHtmlTree = 15,
        ExportXmlData = 16,
        Back = 21,
        Forward = 22,
        GoUp = 23,
    };

    // Builds the tree into the window's tree pane and connects the window's
    // item commands. Owned by the window.
    // The folder tree goes into `treePane`.
    ItemCommands(DocumentContext &window, FrameServices &frame, QWidget *treePane);
    // Ends an in-place renaming in the tree, keeping the typed text.
    void endTreeRenaming();
    // Collapses every node of the tree.
    void collapseTree();
    ~ItemCommands() override;

    // The item commands of a document window.
    static ItemCommands *of(const QWidget *window);

    FolderTreeLink &link() { return m_link; }
    FolderTreeView *dbTreeView() const { return m_view; }
    NavigationHistory &history() { return m_history; }
    QMenu *treeMenu() const { return m_pmTreeView; }
    // The delete confirmation: the frame's shared one, else one of our own.
    DeleteMessageDialog &deleteMsg();

    // The number of a command: its tag from the catalogue, else the number
    // that belongs to its name; 0 for other commands.
    static int commandNumber(const QAction *action);
    void aclRecordExecute(int number);
    void aclRecordUpdate();
    // The tree's look from the settings, then a rebuild.
    void applyOptions();

private:
    void connectCommands();
    void buildTreeMenu();
    QAction *command(int number) const;
    bool canModify() const;
    bool isEditing() const;
    void dbTreeViewChanging(int id);
    void insertItem(bool asChild);
    void moveUp();
    void deleteItem();
    void editItem();
    void postChanges();
    void cancelChanges();
    void goToHistory(const std::optional<QString> &entry);
    void goUp();
    void updateShortcuts(bool treeFocused);
    static QList<QKeySequence> focusKeys(int number);

    DocumentContext &m_window;
    FrameServices &m_frame;
    FolderTreeLink m_link;
    FolderTreeView *m_view = nullptr;
    QMenu *m_pmTreeView = nullptr;
    NavigationHistory m_history;
    QPointer<DeleteMessageDialog> m_ownDeleteMsg;
};

} // namespace bw::notes
