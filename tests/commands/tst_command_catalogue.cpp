// The command catalogue: every command against its expected row, the set-up
// of the main and document window commands, the radio groups, the menus built
// from data and the merging of a document window's menu bar into the frame's.

#include "commands/command_catalogue.h"
#include "commands/command_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QIconEngine>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace bw;

namespace {

struct Expected
{
    bool child;
    const char *name;
    const char *caption;
    const char *shortcuts; // Qt's portable text, ", " between several
    const char *hint;
    const char *category;
    int image;
    int tag;
    int radioGroup;
    int menuGroup;
    const char *flags; // C checked at start, H hidden, A auto-check
};

// clang-format off
const Expected kExpected[] = {
    {false, "actFile", "&File", "", "Files related commands.", "File", -1, 0, 0, 1, ""},
    {false, "actFileExplore", "&Explore Database", "", "Contains commands for creating/opening a file.", "File", 0, 0, 0, 0, ""},
    {false, "actFileCDSNew", "&New File", "Ctrl+N", "New File|Creats a new file.", "File", 1, 0, 0, 0, ""},
    {false, "actFileCDSOpen", "&Open File...", "Ctrl+O", "Open File|Opens an existing file.", "File", 3, 0, 0, 0, ""},
    {false, "actFileCDSClose", "C&lose File", "Ctrl+F4", "Close File|Closes the current file.", "File", 4, 0, 0, 0, ""},
    {false, "actFileCDSCloseAll", "Cl&ose All Files", "Ctrl+Shift+F4", "Close All Files|Closes all active files.", "File", 5, 0, 0, 0, ""},
    {false, "actFilePrintSetup", "Print Set&up...", "Ctrl+Shift+P", "Print Setup|Changes the page layout settings.", "File", 15, 0, 0, 0, "H"},
    {false, "actFileMRUReopen", "&Reopen", "", "Reopen|Reopens a file from the most recently used file list.", "File", 16, 0, 0, 0, ""},
    {false, "actFileMRUClear", "&Clear MRU List", "", "Clear|Clears all entries in MRU file list.", "File", 17, 0, 0, 0, ""},
    {false, "actFileMRURemove", "&Remove Obsolete", "", "Remove Obsolete|Removes obsolete files entry from MRU file list.", "File", 18, 0, 0, 0, ""},
    {false, "actFileExit", "E&xit", "Alt+F4", "Exit|Quit the application.", "File", 19, 0, 0, 0, ""},
    {false, "actTools", "&Tools", "", "Contains tools commands.", "Tools", -1, 0, 0, 7, ""},
    {false, "actToolsOptions", "&Options...", "Alt+Return, Alt+Enter", "Options|Allows you to view and change settings or set various program options.", "Tools", 21, 0, 0, 0, ""},
    {false, "actToolsSearch", "&Search...", "Ctrl+Shift+F", "Search|Shows a window for searching through the database.", "Tools", 22, 0, 0, 0, ""},
    {false, "actView", "&View", "", "Contains commands for changing the view of bars.", "View", -1, 0, 0, 8, ""},
    {false, "actViewToolBars", "&Toolbars", "", "Contains commands for configuring the toolbars, which allows to quickly perform some common tasks.", "View", 24, 0, 0, 0, ""},
    {false, "actViewBar_MainMain", "&Main bar", "", "Main Bar|Shows or hides the main bar.", "View", 25, 0, 0, 0, "CA"},
    {false, "actViewBar_MainStatus", "&Status bar", "", "Status Bar|Shows or hides the status bar.", "View", 31, 0, 0, 0, "CA"},
    {false, "actWindow", "&Window", "", "Contains commands for arranging the windows.", "Window", -1, 0, 0, 9, ""},
    {false, "actWindowCascade", "&Cascade", "Ctrl+Shift+J", "Cascade|Cascades the windows.", "Window", 35, 0, 0, 0, ""},
    {false, "actWindowTileHorizontal", "Tile &Horizontally", "Ctrl+Shift+K", "Tile Horizontal|Tile horizontals the windows.", "Window", 36, 0, 0, 0, ""},
    {false, "actWindowTileVertical", "&Tile Vertically", "Ctrl+Shift+L", "Tile Vertical|Tile verticals the windows.", "Window", 37, 0, 0, 0, ""},
    {false, "actWindowArrangeIcons", "&Arrange Icons", "", "Arrange Icons|Arranges all the window icons at bottom of main window.", "Window", 38, 0, 0, 0, ""},
    {false, "actWindowMinimizeAll", "&Minimize All", "", "Minimize All|Minimize all windows.", "Window", 39, 0, 0, 0, ""},
    {false, "actWindowClose", "C&lose", "Ctrl+F4", "Close|Closes the current window.", "Window", 40, 0, 0, 0, ""},
    {false, "actWindowCloseAll", "Cl&ose All", "Ctrl+Shift+F4", "Close All|Closes all active windows.", "Window", 41, 0, 0, 0, ""},
    {false, "actHelp", "&Help", "", "Contains commands for displaying Help.", "Help", -1, 0, 0, 10, ""},
    {false, "actHelpTipsOfTheDay", "Tip of the &Day...", "", "Tip of the Day|Shows the Tip of the Day.", "Help", 42, 0, 0, 0, ""},
    {false, "actHelpContext", "Conte&xt", "Shift+F1", "Context Help|Display help for clicked on buttons, menus and windows.", "Help", 43, 0, 0, 0, ""},
    {false, "actHelpContents", "&Contents", "F1", "Help Topics|Displays the help contents.", "Help", 44, 0, 0, 0, ""},
    {false, "actHelpTopicSearch", "&Topic Search", "", "Topic Search|Search through the help for a specific topic.", "Help", 45, 0, 0, 0, ""},
    {false, "actHelpOnHelp", "&Help on Help", "", "Help on Help|Displays help on how to use help.", "Help", 46, 0, 0, 0, ""},
    {false, "actHelpEmail", "E-&mail", "", "E-mail|Send an e-mail to author.", "Help", 47, 0, 0, 0, ""},
    {false, "actHelpHomePage", "Home &Page", "", "Home Page|Launchs your internet browser and connects to Pallo's home page.", "Help", 48, 0, 0, 0, ""},
    {false, "actHelpAbout", "&About...", "", "About|Displays programs information, version number and copyright.", "Help", 50, 0, 0, 0, ""},
    {false, "actTrayIconShow", "&Show", "", "Show|Shows the application.", "TayIcon", 0, 0, 0, 0, ""},
    {true, "actFile", "&File", "", "Files related commands.", "File", -1, 0, 0, 1, ""},
    {true, "actFileExplore", "&Explore Database", "", "Contains commands for creating/opening a file.", "File", 0, 0, 0, 0, ""},
    {true, "actFileCDSSave", "&Save File", "Ctrl+S", "Save File|Saves the active file.", "File", 6, 0, 0, 0, ""},
    {true, "actFileCDSSaveAs", "Save File &As...", "Ctrl+Shift+S", "Save File As|Saves the active file with a new name.", "File", 8, 0, 0, 0, ""},
    {true, "actFileCDSSaveAll", "Sa&ve All Files", "", "Save All Files|Saves all actives files.", "File", 7, 0, 0, 0, ""},
    {true, "actFileRTFOpen", "&Open RTF file...", "", "Open|Opens an existing document to the description window.", "File", 9, 0, 0, 0, "H"},
    {true, "actFileRTFSave", "&Save", "", "Save|Saves the selected item as document to a file.", "File", 10, 0, 0, 0, "H"},
    {true, "actFileRTFSaveAs", "Save &As RTF File...", "", "Save As|Saves the selected item as document to a file with a new name.", "File", 11, 0, 0, 0, ""},
    {true, "actFileRTFSaveSelected", "Save Sele&cted as RTF", "", "Save Selected|Saves the selected text as document to a file with a new name.", "File", 12, 0, 0, 0, "H"},
    {true, "actFileRTFSendMail", "Sen&d Mail...", "", "Send Email|Sends the active document through the electronic mail.", "File", 13, 0, 0, 0, "H"},
    {true, "actFilePrint", "&Print...", "Ctrl+P", "Print|Prints the selected item.", "File", 14, 0, 0, 0, ""},
    {true, "actRecord", "&Record", "", "Contains commands for modifying items.", "Record", -1, 0, 0, 2, ""},
    {true, "actRecordInsert", "&Insert", "Alt+Ins", "Insert|Inserts new item.", "Record", 107, 1, 0, 0, ""},
    {true, "actRecordInsertChild", "Insert &Child", "Alt+Shift+Ins", "Insert Child|Adds a child item to the selected item.", "Record", 108, 2, 0, 0, ""},
    {true, "actRecordMoveUp", "&Move Up", "", "Move Up|Moves selected item one level up.", "Record", 109, 3, 0, 0, ""},
    {true, "actRecordDelete", "&Delete", "Del", "Delete|Deletes selected item.", "Record", 110, 4, 0, 0, ""},
    {true, "actRecordEdit", "&Edit", "F2", "Edit/Rename|Edits selected document or Renames the selected item.", "Record", 111, 5, 0, 0, ""},
    {true, "actRecordPost", "&Post changes", "Return, Enter", "Post|Saves edited data to the current item.", "Record", 112, 6, 0, 0, ""},
    {true, "actRecordCancel", "C&ancel changes", "Esc", "Cancel|Aborts edited data from the current item.", "Record", 113, 7, 0, 0, ""},
    {true, "actRecordRefresh", "&Refresh", "F5", "Refresh|Refreshs the contents of the database file.", "Record", 114, 8, 0, 0, ""},
    {true, "actRecordClientDataSet", "&Client DataSet", "", "Contains commands for modifying Client Dataset.", "Record", 115, 0, 0, 0, ""},
    {true, "actRecordSaveChanges", "Sa&ve Changes", "", "Apply Changes|Saves all changes to the database file.", "Record", 116, 9, 0, 0, ""},
    {true, "actRecordUndoLastChange", "Undo Las&t Change", "", "Undo Last Change|Undos previous change from the database file.", "Record", 117, 10, 0, 0, ""},
    {true, "actRecordUndoAllChanges", "Undo Al&l Changes", "", "Undo All Change|Undos all changes from the database file.", "Record", 118, 11, 0, 0, ""},
    {true, "actRecordImportExport", "&Import - Export", "", "Contains commands for import and export of data.", "Record", 119, 0, 0, 0, ""},
    {true, "actRecordImport", "I&mport", "", "Import|Imports data from a comma text file.", "Record", 120, 12, 0, 0, ""},
    {true, "actRecordExportNodes", "E&xport Nodes", "", "Export Nodes|Exports all nodes to multiple files as .TXT or .RTF in the directory you choose.", "Record", 121, 13, 0, 0, ""},
    {true, "actRecordExportHtmlGrid", "Export HtmlGrid", "", "Export HtmlGrid|Exports data to a single HTML file format as Grid like style view.", "Record", 122, 14, 0, 0, ""},
    {true, "actRecordExportHtmlTree", "Export HtmlTree", "", "Export HtmlTree|Exports data to a single HTML file format as Tree like style view.", "Record", 124, 15, 0, 0, ""},
    {true, "actRecordExportXmlData", "Export XmlData", "", "Export XmlData|Exports data to a single file that is encoded in XML data packets.", "Record", 123, 16, 0, 0, ""},
    {true, "actRecordNavigator", "Navi&gator", "", "Contains commands for navigating through items.", "Record", 126, 0, 0, 0, ""},
    {true, "actRecordBack", "&Back", "", "Back|Goes to the previous item.", "Record", 127, 21, 0, 0, ""},
    {true, "actRecordForward", "&Forward", "", "Forward|Goes to the next item.", "Record", 128, 22, 0, 0, ""},
    {true, "actRecordGoUp", "&Up", "", "Up|Goes one level up.", "Record", 129, 23, 0, 0, ""},
    {true, "actEdit", "&Edit", "", "Contains commands for modifying document.", "Edit", -1, 0, 0, 3, ""},
    {true, "actEditUndo", "&Undo", "Ctrl+Z", "Undo|Undo the last action.", "Edit", 51, 0, 0, 0, ""},
    {true, "actEditRedo", "&Redo", "Ctrl+Y", "Redo|Redo the last action.", "Edit", 52, 0, 0, 0, ""},
    {true, "actEditDoAgain", "&Do Again", "", "Do Again|Do the last action again.", "Edit", 53, 0, 0, 0, ""},
    {true, "actEditCut", "Cu&t", "Ctrl+X", "Cut|Cut out the selection and put it into the Clipboard.", "Edit", 54, 0, 0, 0, ""},
    {true, "actEditCopy", "&Copy", "Ctrl+C", "Copy|Copy the selection and put it into the Clipboard.", "Edit", 55, 0, 0, 0, ""},
    {true, "actEditPaste", "&Paste", "Ctrl+V", "Paste|Paste clipboard data into the window.", "Edit", 56, 0, 0, 0, ""},
    {true, "actEditPasteSpecial", "Paste &Special...", "", "Paste Special...|Inserts Clipboard contents with options.", "Edit", 57, 0, 0, 0, ""},
    {true, "actEditDelete", "&Delete", "", "Delete|Deletes selected text.", "Edit", 58, 0, 0, 0, ""},
    {true, "actEditSelectAll", "Select &All", "Ctrl+A", "Select all|Selects all text.", "Edit", 59, 0, 0, 0, ""},
    {true, "actEditObjectProperties", "Object &Properties...", "Alt+Return, Alt+Enter", "Object's Properties|Displays properties for the selected item.", "Edit", 66, 0, 0, 0, ""},
    {true, "actInsert", "&Insert", "", "Contains commands for inserting different objects into the document.", "Insert", -1, 0, 0, 4, ""},
    {true, "actInsertDateTime", "&Date and Time", "", "Insert Date|Inserts today's date and time.", "Insert", 60, 0, 0, 0, ""},
    {true, "actInsertPicture", "&Picture...", "", "Insert Picture|Inserts a picture into the document.", "Insert", 61, 0, 0, 0, ""},
    {true, "actInsertObject", "&Object...", "", "Insert Object|Inserts new embedded object.", "Insert", 62, 0, 0, 0, ""},
    {true, "actInsertHorizontalLine", "Horizontal &Line", "", "Insert Horizontal Line|Inserts characters that likes horizontal line.", "Insert", 63, 0, 0, 0, ""},
    {true, "actInsertFile", "&File...", "", "Insert File|Inserts a text or rich text document at the end of the current document.", "Insert", 64, 0, 0, 0, ""},
    {true, "actInsertPageNumber", "Page &Number", "", "Insert Page Number|Inserts page number.", "Insert", 65, 0, 0, 0, ""},
    {true, "actSearch", "&Search", "", "Contains commands for searching through the document.", "Search", -1, 0, 0, 5, ""},
    {true, "actSearchFind", "&Find...", "Ctrl+F", "Find|Finds text in current document.", "Search", 68, 0, 0, 0, ""},
    {true, "actSearchFindNext", "Find &Next", "F3", "Find Next|Repeats the last find.", "Search", 69, 0, 0, 0, ""},
    {true, "actSearchReplace", "R&eplace...", "Ctrl+H", "Replace|Replace specific text with the different text.", "Search", 70, 0, 0, 0, ""},
    {true, "actSearchGotoLine", "&Go to Line Number...", "Ctrl+G", "Goto Line Number|Goes to specified line number you want the cursor to go to.", "Search", 71, 0, 0, 0, ""},
    {true, "actFormat", "For&mat", "", "Contains formatting commands for modifying document.", "Format", -1, 0, 0, 6, ""},
    {true, "actFormatFont", "&Font...", "", "Font|Opens the font dialog for easy changing the font and character spacing formats of the selected text.", "Format", 72, 0, 0, 0, ""},
    {true, "actFormatFontName", "Font &Name...", "", "Font Name|Selects font type.", "Format", 72, 0, 0, 0, ""},
    {true, "actFormatFontSize", "Font &Size...", "", "Font Size|Selects font size.", "Format", 73, 0, 0, 0, ""},
    {true, "actFormatDecreaseFontSize", "Decrease Font Size", "", "Decrease Font Size|Decrease font size with 1 point.", "Format", 74, 0, 0, 0, ""},
    {true, "actFormatIncreaseFontSize", "Increase Font Size", "", "Increase Font Size|Increase font size with 1 point.", "Format", 75, 0, 0, 0, ""},
    {true, "actFormatStyle", "&Style", "", "Contains formatting commands for text style.", "Format", 79, 0, 0, 0, ""},
    {true, "actFormatBold", "&Bold", "", "Bold|Makes the selection bold.", "Format", 80, 0, 0, 0, "A"},
    {true, "actFormatItalic", "&Italic", "", "Italic|Makes the selection italic.", "Format", 81, 0, 0, 0, "A"},
    {true, "actFormatUnderline", "&Underline", "", "Underline|Formats the selection with continuous underline.", "Format", 82, 0, 0, 0, "A"},
    {true, "actFormatStrikeOut", "&Strikeout", "", "Strike Out|Strikes out the selection.", "Format", 83, 0, 0, 0, "A"},
    {true, "actFormatAlign", "&Align", "", "Contains formatting commands for align direction.", "Format", 84, 0, 0, 0, ""},
    {true, "actFormatAlignLeft", "Align &Left", "", "Align Left|Changes the alignment of the paragraph to the left.", "Format", 85, 31, 62, 0, "A"},
    {true, "actFormatAlignCenter", "Align &Center", "", "Align Center|Changes the alignment of the paragraph to center.", "Format", 86, 32, 62, 0, "A"},
    {true, "actFormatAlignJustify", "Align &Justify", "", "Align Justify|Changes the alignment of the paragraph to justify.", "Format", 87, 33, 62, 0, "A"},
    {true, "actFormatAlignRight", "Align &Right", "", "Align Right|Changes the alignment of the paragraph to the right.", "Format", 88, 34, 62, 0, "A"},
    {true, "actFormatNumbering", "&Numbering", "", "Contains formatting commands for numbering in paragraph.", "Format", 89, 0, 0, 0, ""},
    {true, "actFormatNumberingNoNumbering", "&No Numbering", "", "No Numbering|Removes numbering mode from this line.", "Format", 90, 40, 63, 0, "A"},
    {true, "actFormatNumberingSymbols", "Numbering &Bullet", "", "Numbering Bullets|Adds/removes bullets mode to this line.", "Format", 91, 45, 63, 0, "A"},
    {true, "actFormatNumberingNumber", "Numbering &Number", "", "Numbering Number|Adds/removes Number mode to this line.", "Format", 92, 46, 63, 0, "A"},
    {true, "actFormatNumberingLetterLC", "Numbering &Letter Lowercase", "", "Numbering Letter Lowercase|Adds/removes letter lowercase mode to this line.", "Format", 93, 41, 63, 0, "A"},
    {true, "actFormatNumberingLetterUC", "Numbering L&etter Uppercase", "", "Numbering Letter Uppercase|Adds/removes letter uppercase mode to this line.", "Format", 94, 42, 63, 0, "A"},
    {true, "actFormatNumberingRomanLC", "Numbering &Roman Lowercase", "", "Numbering Roman Lowercase|Adds/removes roman lowercase mode to this line.", "Format", 95, 43, 63, 0, "A"},
    {true, "actFormatNumberingRomanUC", "Numbering R&oman Uppercase", "", "Numbering Roman Uppercase|Adds/removes roman uppercase mode to this line.", "Format", 96, 44, 63, 0, "A"},
    {true, "actFormatNumberingUnicodeSeq", "Numbering &Unicode Sequence", "", "Numbering Unicode Sequence|Adds/removes unicode character mode to this line.", "Format", 97, 47, 63, 0, "A"},
    {true, "actFormatSubscriptStyle", "&Script Style", "", "Contains formatting commands for subscript style.", "Format", 98, 0, 0, 0, ""},
    {true, "actFormatSuperScript", "Su&perscript", "", "Superscript|Changes the format of the selection to superscript.", "Format", 99, 51, 64, 0, "A"},
    {true, "actFormatSubScript", "Subs&cript", "", "Subscript|Changes the format of the selection to subscript.", "Format", 100, 52, 64, 0, "A"},
    {true, "actFormatCharChangeType", "Change Character Type...", "", "Change Character Type|Chages selected character to uppercase, lowercase or capitalize.", "Format", 76, 0, 0, 0, ""},
    {true, "actFormatParagraph", "&Paragraph...", "", "Paragraph|Formats current or selected paragraph(s).", "Format", 77, 0, 0, 0, ""},
    {true, "actFormatCountChars", "&Count Characters...", "", "Count Characters|Counts the number of character in the current document.", "Format", 78, 0, 0, 0, ""},
    {true, "actFormatMaskEffect", "&Mask Effect", "", "Contains formatting commands for mask effects.", "Format", 101, 0, 0, 0, ""},
    {true, "actFormatProtected", "Pr&otected", "", "Protected|Protects the selected text.", "Format", 102, 0, 0, 0, "A"},
    {true, "actFormatHidden", "&Hidden", "", "Hidden|Hiddens the selected text.", "Format", 103, 0, 0, 0, "A"},
    {true, "actFormatDisabled", "&Disabled", "", "Disabled|Disables the selected text.", "Format", 104, 0, 0, 0, "A"},
    {true, "actFormatFColor", "Font &Color...", "", "Font Color|Formats the selection with a color.", "Format", 105, 0, 0, 0, ""},
    {true, "actFormatBColor", "Background C&olor...", "", "Background Color|Changes the background color of the selected text.", "Format", 106, 0, 0, 0, ""},
    {true, "actView", "&View", "", "Contains commands for changing the view of bars.", "View", -1, 0, 0, 8, ""},
    {true, "actViewToolBars", "&Toolbars", "", "Contains commands for configuring the toolbars, which allows to quickly perform some common tasks.", "View", 24, 0, 0, 0, ""},
    {true, "actViewBar_ChildRecord1", "&Folder bar", "", "Record Bar1|Shows or hides the record bar 1.", "View", 26, 0, 0, 0, "CA"},
    {true, "actViewBar_ChildRecord2", "Re&cord bar2", "", "Record Bar2|Shows or hides the record bar 2.", "View", 27, 0, 0, 0, "CA"},
    {true, "actViewBar_ChildEdit", "&Edit bar", "", "Edit Bar|Shows or hides the edit bar.", "View", 28, 0, 0, 0, "CA"},
    {true, "actViewBar_ChildFormat1", "For&mat bar1", "", "Format Bar1|Shows or hides the formatting bar 1.", "View", 29, 0, 0, 0, "CA"},
    {true, "actViewBar_ChildFormat2", "Form&at bar2", "", "Format Bar2|Shows or hides the formatting bar 2.", "View", 30, 0, 0, 0, "CA"},
    {true, "actViewBar_ChildStatus", "St&atus bar", "", "Status Bar|Shows or hides the status bar.", "View", 31, 0, 0, 0, "CA"},
    {true, "actViewBar_ChildRuler", "&Ruler", "", "Ruler Bar|Shows or hides the ruler bar.", "View", 34, 0, 0, 0, "CA"},
    {true, "actViewExplorerBars", "&Explorer bar", "", "Contains commands for viewing the explorer bars.", "View", 32, 0, 0, 0, ""},
    {true, "actViewTreeView", "&Tree View", "Ctrl+Shift+E", "ItemTree|Shows or hides the itemtree.", "View", 33, 0, 0, 0, "CA"},
};
// clang-format on

// An icon that remembers the image index it was made for.
class IndexIconEngine : public QIconEngine
{
public:
    explicit IndexIconEngine(int index) : m_index(index) {}
    void paint(QPainter *, const QRect &, QIcon::Mode, QIcon::State) override {}
    QIconEngine *clone() const override { return new IndexIconEngine(m_index); }
    QString iconName() override { return QStringLiteral("image%1").arg(m_index); }

private:
    int m_index;
};

QIcon indexIcon(int index)
{
    return QIcon(new IndexIconEngine(index));
}

QString shortcutText(const QAction *action)
{
    QStringList keys;
    for (const QKeySequence &key : action->shortcuts())
        keys << key.toString(QKeySequence::PortableText);
    return keys.join(QLatin1String(", "));
}

QStringList titles(const QList<QMenu *> &menus)
{
    QStringList out;
    for (const QMenu *menu : menus)
        out << menu->title();
    return out;
}

// The visible texts of a menu's items ("-" for a separator), without the
// shortcut text a stand-in item carries after a tab.
QStringList itemTexts(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions()) {
        if (!action->isVisible())
            continue;
        out << (action->isSeparator() ? QStringLiteral("-") : action->text().section('\t', 0, 0));
    }
    return out;
}

QMenu *submenu(const QMenu *menu, const QString &title)
{
    for (QAction *action : menu->actions())
        if (action->menu() && action->text() == title)
            return action->menu();
    return nullptr;
}

QAction *item(const QMenu *menu, const QString &objectName)
{
    for (QAction *action : menu->actions())
        if (action->objectName() == objectName)
            return action;
    return nullptr;
}

} // namespace

class tst_CommandCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void commands_data();
    void commands();
    void everyCommandHasOneRow();
    void childCommandsBeforeSetup();
    void setupIsRepeatable();
    void radioGroups_data();
    void radioGroups();
    void formatBarButtonsAreCheckButtons();
    void everyMenuItemNamesACommand();
    void mainMenuBar();
    void childMenuBar();
    void standInItemsFollowAndRunTheirCommand();
    void popupMenus_data();
    void popupMenus();
    void menuMerging();

private:
    QWidget *m_frame = nullptr;
    QWidget *m_document = nullptr;
    CommandSet m_main;
    CommandSet m_child;
    QAction *m_plugins = nullptr;
};

void tst_CommandCatalogue::init()
{
    m_frame = new QWidget;
    m_document = new QWidget;
    m_main = createCommands(CommandScope::Main, m_frame, indexIcon);
    m_child = createCommands(CommandScope::Child, m_document, indexIcon);
    auto *plugins = new QMenu(m_frame);
    m_plugins = plugins->menuAction();
    setupMainActions(m_main, m_plugins);
    setupChildActions(m_document);
}

void tst_CommandCatalogue::cleanup()
{
    delete m_frame;
    delete m_document;
    m_main.clear();
    m_child.clear();
}

void tst_CommandCatalogue::commands_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kExpected)); ++i)
        QTest::addRow("%s %s", kExpected[i].child ? "child" : "main", kExpected[i].name) << i;
}

void tst_CommandCatalogue::commands()
{
    QFETCH(int, row);
    const Expected &e = kExpected[row];
    QAction *action = (e.child ? m_child : m_main).value(QLatin1String(e.name));
    QVERIFY(action);
    QCOMPARE(action->objectName(), QLatin1String(e.name));
    QCOMPARE(action->text(), QString::fromUtf8(e.caption));
    QCOMPARE(shortcutText(action), QLatin1String(e.shortcuts));
    QCOMPARE(commandHint(action), QString::fromUtf8(e.hint));
    const QString hint = QString::fromUtf8(e.hint);
    QCOMPARE(action->toolTip(), hint.section('|', 0, 0));
    QCOMPARE(action->statusTip(), hint.contains('|') ? hint.section('|', 1) : hint);
    QCOMPARE(commandCategory(action), QLatin1String(e.category));
    QCOMPARE(action->icon().isNull(), e.image < 0);
    if (e.image >= 0)
        QCOMPARE(action->icon().name(), QStringLiteral("image%1").arg(e.image));
    QCOMPARE(commandTag(action), e.tag);
    QCOMPARE(commandRadioGroup(action), e.radioGroup);
    QCOMPARE(action->actionGroup() != nullptr, e.radioGroup != 0);
    QCOMPARE(commandMenuGroup(action), e.menuGroup);
    const QString flags = QLatin1String(e.flags);
    QCOMPARE(action->isChecked(), flags.contains('C'));
    QCOMPARE(action->isVisible(), !flags.contains('H'));
    QCOMPARE(commandAutoCheck(action), flags.contains('A') || (!e.child && flags.contains('C')));
    QCOMPARE(action->isCheckable(), commandAutoCheck(action));
    // A hidden command is out of the user's reach; the others start enabled.
    QCOMPARE(action->isEnabled(), action->isVisible());
}

void tst_CommandCatalogue::everyCommandHasOneRow()
{
    QCOMPARE(m_main.size() + m_child.size(), qsizetype(std::size(kExpected)));
    QCOMPARE(m_main.size(), 36);
    QCOMPARE(m_child.size(), 105);
    QCOMPARE(commandHint(m_plugins), QStringLiteral("Contains plug-ins commands if any."));
    QCOMPARE(m_plugins->statusTip(), QStringLiteral("Contains plug-ins commands if any."));
}

void tst_CommandCatalogue::childCommandsBeforeSetup()
{
    // Given a document window whose commands were only created,
    // then they have no hint, shortcut, tag, radio group or auto-check yet.
    QWidget window;
    const CommandSet commands = createCommands(CommandScope::Child, &window);
    for (QAction *action : commands) {
        QVERIFY2(commandHint(action).isEmpty(), qPrintable(action->objectName()));
        QVERIFY(action->statusTip().isEmpty());
        QVERIFY(action->shortcuts().isEmpty());
        QCOMPARE(commandTag(action), 0);
        QCOMPARE(commandRadioGroup(action), 0);
        QVERIFY(!action->actionGroup());
        QVERIFY(!action->isCheckable());
    }
    // The checked state at start is kept and shows once set-up has run.
    setupChildActions(&window);
    QVERIFY(commands.value("actViewTreeView")->isChecked());
    QCOMPARE(commands.value("actRecordInsert")->shortcut(), QKeySequence("Alt+Ins"));
    setupChildActions(nullptr); // no active document window: nothing happens
}

void tst_CommandCatalogue::setupIsRepeatable()
{
    setupChildActions(m_document);
    QCOMPARE(m_document->findChildren<QActionGroup *>().size(), 3);
    const QActionGroup *align = m_child.value("actFormatAlignLeft")->actionGroup();
    QCOMPARE(align->actions().size(), 4);
    QCOMPARE(align->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
    const QActionGroup *numbering = m_child.value("actFormatNumberingRomanUC")->actionGroup();
    QCOMPARE(numbering->actions().size(), 8);
    QCOMPARE(numbering->exclusionPolicy(), QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const QActionGroup *script = m_child.value("actFormatSubScript")->actionGroup();
    QCOMPARE(script->actions().size(), 2);
    QCOMPARE(script->exclusionPolicy(), QActionGroup::ExclusionPolicy::ExclusiveOptional);
}

void tst_CommandCatalogue::radioGroups_data()
{
    QTest::addColumn<QStringList>("triggered");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("center unchecks left")
        << QStringList{"actFormatAlignLeft", "actFormatAlignCenter"}
        << QStringList{"actFormatAlignCenter"};
    QTest::newRow("an alignment stays checked")
        << QStringList{"actFormatAlignRight", "actFormatAlignRight"}
        << QStringList{"actFormatAlignRight"};
    QTest::newRow("bullet unchecks the other numberings")
        << QStringList{"actFormatNumberingRomanLC", "actFormatNumberingSymbols"}
        << QStringList{"actFormatNumberingSymbols"};
    QTest::newRow("a numbering can be released")
        << QStringList{"actFormatNumberingNumber", "actFormatNumberingNumber"} << QStringList{};
    QTest::newRow("superscript and subscript exclude each other")
        << QStringList{"actFormatSuperScript", "actFormatSubScript"}
        << QStringList{"actFormatSubScript"};
    QTest::newRow("groups are independent")
        << QStringList{"actFormatAlignJustify", "actFormatNumberingUnicodeSeq",
                       "actFormatSuperScript", "actFormatBold"}
        << QStringList{"actFormatAlignJustify", "actFormatNumberingUnicodeSeq",
                       "actFormatSuperScript", "actFormatBold"};
    QTest::newRow("bold toggles") << QStringList{"actFormatBold", "actFormatBold"} << QStringList{};
}

void tst_CommandCatalogue::radioGroups()
{
    QFETCH(QStringList, triggered);
    QFETCH(QStringList, checked);
    for (const QString &name : triggered)
        m_child.value(name)->trigger();
    QStringList nowChecked;
    for (const CommandRow &row : commandRows()) {
        const QString name = QLatin1String(row.name);
        if (row.scope == CommandScope::Child && (row.radioGroup || name == "actFormatBold") &&
            m_child.value(name)->isChecked())
            nowChecked << name;
    }
    std::sort(checked.begin(), checked.end());
    std::sort(nowChecked.begin(), nowChecked.end());
    QCOMPARE(nowChecked, checked);
}

void tst_CommandCatalogue::formatBarButtonsAreCheckButtons()
{
    QToolBar bar(m_document);
    const QStringList names{"actFormatBold", "actFormatAlignLeft", "actFormatAlignRight",
                            "actFormatNumberingNumber", "actFormatSuperScript"};
    for (const QString &name : names)
        bar.addAction(m_child.value(name));
    auto button = [&](const QString &name) {
        return qobject_cast<QToolButton *>(bar.widgetForAction(m_child.value(name)));
    };
    for (const QString &name : names)
        QVERIFY(button(name)->isCheckable());
    button("actFormatAlignLeft")->click();
    button("actFormatAlignRight")->click();
    button("actFormatAlignRight")->click();
    QVERIFY(!button("actFormatAlignLeft")->isChecked());
    QVERIFY(button("actFormatAlignRight")->isChecked()); // one always stays down
    button("actFormatNumberingNumber")->click();
    button("actFormatNumberingNumber")->click();
    QVERIFY(!button("actFormatNumberingNumber")->isChecked()); // all may be up
    button("actFormatBold")->click();
    QVERIFY(button("actFormatBold")->isChecked());
}

void tst_CommandCatalogue::everyMenuItemNamesACommand()
{
    const CommandLookup lookup = lookupIn({m_child, m_main});
    QSet<QString> shown;
    std::function<void(const QList<MenuNode> &)> walk = [&](const QList<MenuNode> &nodes) {
        for (const MenuNode &node : nodes) {
            if (!node.command.isEmpty()) {
                QVERIFY2(lookup(node.command), qPrintable(node.command));
                shown.insert(node.command);
            }
            walk(node.children);
        }
    };
    for (const QString &name : menuNames())
        walk(menuDefinition(name));
    // Every command is in a menu but the font boxes, the page number, the
    // colour buttons (the document window builds their menus) and the tray's.
    QStringList missing;
    for (const CommandRow &row : commandRows())
        if (!shown.contains(QLatin1String(row.name)))
            missing << QLatin1String(row.name);
    missing.sort();
    QCOMPARE(missing, (QStringList{"actFileMRUClear", "actFileMRURemove", "actFileMRUReopen",
                                   "actFormatBColor", "actFormatFColor", "actFormatFontName",
                                   "actFormatFontSize", "actInsertPageNumber"}));
}

void tst_CommandCatalogue::mainMenuBar()
{
    const QList<QMenu *> menus = buildMenuBar(kMainMenu, lookupIn({m_main}), m_frame, indexIcon);
    QCOMPARE(titles(menus), (QStringList{"&File", "&Tools", "&View", "&Window", "&Help"}));
    QCOMPARE(menuBarMenus(m_frame, kMainMenu), menus);
    QCOMPARE(menus[0]->objectName(), QStringLiteral("miFile"));
    QCOMPARE(menus[3]->objectName(), QStringLiteral("miWindow"));
    QCOMPARE(menus[0]->menuAction()->statusTip(), QStringLiteral("Files related commands."));
    // Print Setup is hidden; the recent-files separator sits before Exit.
    QCOMPARE(itemTexts(menus[0]), (QStringList{"&Explore Database", "-", "-", "E&xit"}));
    QVERIFY(item(menus[0], "miFileMRUSeparator"));
    QVERIFY(item(menus[0], "miFileMRUSeparator")->isSeparator());
    QCOMPARE(itemTexts(submenu(menus[0], "&Explore Database")),
             (QStringList{"&New File", "&Open File...", "-", "C&lose File", "Cl&ose All Files"}));
    QCOMPARE(itemTexts(menus[1]),
             (QStringList{"&Options...", "-", "&Search...", "-", "&Plug-ins"}));
    QMenu *plugins = submenu(menus[1], "&Plug-ins");
    QCOMPARE(plugins->objectName(), QStringLiteral("miToolsPlugins"));
    QCOMPARE(plugins->icon().name(), QStringLiteral("image23"));
    QCOMPARE(itemTexts(plugins), QStringList{"   ( Empty )   "});
    QVERIFY(!plugins->actions().first()->isEnabled());
    QCOMPARE(itemTexts(submenu(menus[2], "&Toolbars")), (QStringList{"&Main bar", "&Status bar"}));
    QCOMPARE(itemTexts(menus[3]),
             (QStringList{"&Cascade", "Tile &Horizontally", "&Tile Vertically", "&Arrange Icons",
                          "&Minimize All", "-", "C&lose", "Cl&ose All"}));
    // The four help-file items and the separator after them are hidden, their
    // commands are not, so F1 and Shift+F1 still reach them.
    QCOMPARE(itemTexts(menus[4]),
             (QStringList{"Tip of the &Day...", "-", "E-&mail", "Home &Page", "-", "&About..."}));
    QVERIFY(m_main.value("actHelpContents")->isVisible());
}

void tst_CommandCatalogue::childMenuBar()
{
    const QList<QMenu *> menus =
        buildMenuBar(kChildMenu, lookupIn({m_child, m_main}), m_document, indexIcon);
    QCOMPARE(titles(menus),
             (QStringList{"&File", "&Folders", "&Edit", "&Insert", "&Search", "For&mat", "&View"}));
    QCOMPARE(itemTexts(menus[0]), (QStringList{"&Explore Database", "-", "Save &As RTF File...",
                                               "-", "&Print...", "-", "E&xit"}));
    QCOMPARE(itemTexts(submenu(menus[0], "&Explore Database")),
             (QStringList{"&New File", "&Open File...", "-", "&Save File", "Save File &As...",
                          "Sa&ve All Files", "-", "C&lose File", "Cl&ose All Files"}));
    QCOMPARE(itemTexts(menus[1]),
             (QStringList{"&Insert", "Insert &Child", "-", "&Move Up", "&Delete", "&Edit", "-",
                          "&Save changes", "C&ancel changes", "&Refresh", "-", "&Client DataSet",
                          "&Import - Export", "Navi&gator"}));
    QCOMPARE(menus[1]->menuAction()->statusTip(),
             QStringLiteral("Contains commands for modifying items."));
    QCOMPARE(itemTexts(submenu(menus[1], "&Import - Export")),
             (QStringList{"I&mport", "-", "E&xport Nodes", "Export HtmlGrid", "Export HtmlTree",
                          "Export XmlData"}));
    QAction *properties = item(menus[2], "miEditObjectProperties");
    QVERIFY(properties && !properties->isEnabled());
    QCOMPARE(itemTexts(menus[3]).size(), 5); // Page Number is in no menu
    QCOMPARE(itemTexts(submenu(menus[5], "&Numbering")),
             (QStringList{"&No Numbering", "Numbering &Bullet", "Numbering &Number", "-",
                          "Numbering &Letter Lowercase", "Numbering L&etter Uppercase", "-",
                          "Numbering &Roman Lowercase", "Numbering R&oman Uppercase",
                          "Numbering &Unicode Sequence"}));
    QCOMPARE(itemTexts(menus[6]), QStringList{"&Toolbars"}); // Explorer bar is hidden
    QCOMPARE(
        itemTexts(submenu(menus[6], "&Toolbars")),
        (QStringList{"&Main bar", "&Status bar", "-", "&Folder bar", "Re&cord bar2", "&Edit bar",
                     "For&mat bar1", "Form&at bar2", "St&atus bar", "-", "&Ruler"}));
    // The main window's own commands appear in the document window's menus.
    QVERIFY(menus[0]->actions().contains(m_main.value("actFileExit")));
}

void tst_CommandCatalogue::standInItemsFollowAndRunTheirCommand()
{
    QMenu *menu = buildPopupMenu(kViewMenu, lookupIn({m_child, m_main}), m_document);
    QAction *folderBar = item(menu, "pmiViewBar_ChildRecord1");
    QAction *command = m_child.value("actViewBar_ChildRecord1");
    QCOMPARE(folderBar->text(), QStringLiteral("&Folderbar bar"));
    QCOMPARE(folderBar->statusTip(), command->statusTip());
    QVERIFY(folderBar->isChecked());
    folderBar->trigger();
    QVERIFY(!command->isChecked());
    QVERIFY(!folderBar->isChecked());
    command->setEnabled(false);
    QVERIFY(!folderBar->isEnabled());
    // A hidden item stays hidden while its command shows; the command still runs.
    QAction *treeView = item(menu, "pmiViewTreeView");
    QVERIFY(!treeView->isVisible());
    QVERIFY(m_child.value("actViewTreeView")->isVisible());
    QCOMPARE(m_child.value("actViewTreeView")->shortcut(), QKeySequence("Ctrl+Shift+E"));
    // A caption of its own keeps the command's shortcut beside it.
    QMenu *record = buildMenuBar(kChildMenu, lookupIn({m_child, m_main}), m_document)[1];
    QCOMPARE(item(record, "miRecordPost")->text(), QStringLiteral("&Save changes\tReturn"));
    m_child.value("actRecordPost")->setShortcuts({});
    QCOMPARE(item(record, "miRecordPost")->text(), QStringLiteral("&Save changes"));
}

void tst_CommandCatalogue::popupMenus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("tray") << QString(kTrayIconMenu)
                          << QStringList{"&Show", "&Options...", "-", "&About...", "E&xit"};
    QTest::newRow("tree") << QString(kTreeViewMenu)
                          << QStringList{"&Insert",  "Insert &Child", "-",
                                         "&Move Up", "&Delete",       "&Rename"};
    QTest::newRow("editor") << QString(kRichEditMenu)
                            << QStringList{"&Undo", "&Redo",  "-",       "Cu&t",
                                           "&Copy", "&Paste", "&Delete", "Select &All"};
    QTest::newRow("view") << QString(kViewMenu)
                          << QStringList{"&Folderbar bar", "&Edit bar",   "For&mat bar1",
                                         "Form&at bar2",   "St&atus bar", "&Ruler"};
    QTest::newRow("font") << QString(kFontMenu) << QStringList{"&Font..."};
}

void tst_CommandCatalogue::popupMenus()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QMenu *popup = buildPopupMenu(menu, lookupIn({m_child, m_main}), m_document);
    QCOMPARE(popup->objectName(), menu);
    QCOMPARE(itemTexts(popup), items);
}

void tst_CommandCatalogue::menuMerging()
{
    const QList<QMenu *> frame = buildMenuBar(kMainMenu, lookupIn({m_main}), m_frame);
    const QList<QMenu *> document =
        buildMenuBar(kChildMenu, lookupIn({m_child, m_main}), m_document);
    const QList<QMenu *> merged = mergeMenus(frame, document);
    QCOMPARE(titles(merged), (QStringList{"&File", "&Folders", "&Edit", "&Insert", "&Search",
                                          "For&mat", "&Tools", "&View", "&Window", "&Help"}));
    QCOMPARE(merged[0], document[0]); // the document window's File, without Reopen
    QCOMPARE(merged[6], frame[1]);
    QCOMPARE(merged[7], document[6]);
    QCOMPARE(merged[8], frame[3]);
    QCOMPARE(mergeMenus(frame, {}), frame);
}

QTEST_MAIN(tst_CommandCatalogue)
#include "tst_command_catalogue.moc"
