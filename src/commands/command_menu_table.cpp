// The menus of both windows and every popup menu, as data. Captions given
// here are the ones the menu shows instead of its command's.

#include "commands/command_menus.h"

#include <QHash>

namespace bw {

namespace {

using Kind = MenuNode::Kind;

MenuNode cmd(const char *name, const char *caption = "")
{
    MenuNode node;
    node.command = QString::fromLatin1(name);
    node.caption = QString::fromUtf8(caption);
    return node;
}

MenuNode hiddenCmd(const char *name)
{
    MenuNode node = cmd(name);
    node.hidden = true;
    return node;
}

MenuNode disabledCmd(const char *name)
{
    MenuNode node = cmd(name);
    node.disabled = true;
    return node;
}

MenuNode sep(const char *objectName = "")
{
    MenuNode node;
    node.kind = Kind::Separator;
    node.objectName = QString::fromLatin1(objectName);
    return node;
}

MenuNode hiddenSep()
{
    MenuNode node = sep();
    node.hidden = true;
    return node;
}

MenuNode sub(const char *head, QList<MenuNode> items, const char *caption = "")
{
    MenuNode node = cmd(head, caption);
    node.kind = Kind::Submenu;
    node.children = std::move(items);
    return node;
}

MenuNode hiddenSub(const char *head, QList<MenuNode> items)
{
    MenuNode node = sub(head, std::move(items));
    node.hidden = true;
    return node;
}

// The Plug-ins submenu: no command stands behind it; the plug-in host fills it.
MenuNode pluginsMenu()
{
    MenuNode empty;
    empty.kind = Kind::Plain;
    empty.caption = QStringLiteral("   ( Empty )   ");
    empty.disabled = true;
    MenuNode node;
    node.kind = Kind::Submenu;
    node.caption = QStringLiteral("&Plug-ins");
    node.objectName = QStringLiteral("miToolsPlugins");
    node.image = 23;
    node.children = {empty};
    return node;
}

QList<MenuNode> mainMenu()
{
    return {
        sub("actFile",
            {sub("actFileExplore", {cmd("actFileCDSNew"), cmd("actFileCDSOpen"), sep(),
                                    cmd("actFileCDSClose"), cmd("actFileCDSCloseAll")}),
             sep(), cmd("actFilePrintSetup"), sep("miFileMRUSeparator"), cmd("actFileExit")}),
        sub("actTools",
            {cmd("actToolsOptions"), sep(), cmd("actToolsSearch"), sep(), pluginsMenu()}),
        sub("actView",
            {sub("actViewToolBars", {cmd("actViewBar_MainMain"), cmd("actViewBar_MainStatus")})}),
        sub("actWindow",
            {cmd("actWindowCascade"), cmd("actWindowTileHorizontal"), cmd("actWindowTileVertical"),
             cmd("actWindowArrangeIcons"), cmd("actWindowMinimizeAll"), sep(),
             cmd("actWindowClose"), cmd("actWindowCloseAll")}),
        sub("actHelp", {cmd("actHelpTipsOfTheDay"), sep(), hiddenCmd("actHelpContext"),
                        hiddenCmd("actHelpContents"), hiddenCmd("actHelpTopicSearch"),
                        hiddenCmd("actHelpOnHelp"), hiddenSep(), cmd("actHelpEmail"),
                        cmd("actHelpHomePage"), sep(), cmd("actHelpAbout")}),
    };
}

MenuNode childFileMenu()
{
    return sub("actFile",
               {sub("actFileExplore",
                    {cmd("actFileCDSNew"), cmd("actFileCDSOpen"), sep(), cmd("actFileCDSSave"),
                     cmd("actFileCDSSaveAs"), cmd("actFileCDSSaveAll"), sep(),
                     cmd("actFileCDSClose"), cmd("actFileCDSCloseAll")}),
                sep(), cmd("actFileRTFOpen"), hiddenSep(), cmd("actFileRTFSave"),
                cmd("actFileRTFSaveAs"), cmd("actFileRTFSaveSelected"), sep(), cmd("actFilePrint"),
                cmd("actFilePrintSetup"), hiddenSep(), cmd("actFileRTFSendMail"),
                sep("miFileMRUSeparator"), cmd("actFileExit")});
}

MenuNode childRecordMenu()
{
    return sub(
        "actRecord",
        {cmd("actRecordInsert"), cmd("actRecordInsertChild"), sep(), cmd("actRecordMoveUp"),
         cmd("actRecordDelete"), cmd("actRecordEdit"), sep(), cmd("actRecordPost", "&Save changes"),
         cmd("actRecordCancel"), cmd("actRecordRefresh"), sep(),
         sub("actRecordClientDataSet", {cmd("actRecordSaveChanges"), cmd("actRecordUndoLastChange"),
                                        cmd("actRecordUndoAllChanges")}),
         sub("actRecordImportExport",
             {cmd("actRecordImport"), sep(), cmd("actRecordExportNodes"),
              cmd("actRecordExportHtmlGrid"), cmd("actRecordExportHtmlTree"),
              cmd("actRecordExportXmlData")}),
         sub("actRecordNavigator",
             {cmd("actRecordBack"), cmd("actRecordForward"), cmd("actRecordGoUp")})},
        "&Folders");
}

MenuNode childFormatMenu()
{
    return sub(
        "actFormat",
        {cmd("actFormatFont"), cmd("actFormatIncreaseFontSize"), cmd("actFormatDecreaseFontSize"),
         sep(), cmd("actFormatCharChangeType"), cmd("actFormatParagraph"),
         cmd("actFormatCountChars"), sep(),
         sub("actFormatStyle", {cmd("actFormatBold"), cmd("actFormatItalic"),
                                cmd("actFormatUnderline"), cmd("actFormatStrikeOut")}),
         sub("actFormatAlign", {cmd("actFormatAlignLeft"), cmd("actFormatAlignCenter"),
                                cmd("actFormatAlignJustify"), cmd("actFormatAlignRight")}),
         sub("actFormatNumbering",
             {cmd("actFormatNumberingNoNumbering"), cmd("actFormatNumberingSymbols"),
              cmd("actFormatNumberingNumber"), sep(), cmd("actFormatNumberingLetterLC"),
              cmd("actFormatNumberingLetterUC"), sep(), cmd("actFormatNumberingRomanLC"),
              cmd("actFormatNumberingRomanUC"), cmd("actFormatNumberingUnicodeSeq")}),
         sub("actFormatSubscriptStyle", {cmd("actFormatSuperScript"), cmd("actFormatSubScript")}),
         sub("actFormatMaskEffect",
             {cmd("actFormatProtected"), cmd("actFormatHidden"), cmd("actFormatDisabled")}),
         sep()});
}

QList<MenuNode> childMenu()
{
    return {
        childFileMenu(),
        childRecordMenu(),
        sub("actEdit", {cmd("actEditUndo"), cmd("actEditRedo"), cmd("actEditDoAgain"), sep(),
                        cmd("actEditCut"), cmd("actEditCopy"), cmd("actEditPaste"),
                        cmd("actEditPasteSpecial"), cmd("actEditDelete"), cmd("actEditSelectAll"),
                        sep(), disabledCmd("actEditObjectProperties")}),
        sub("actInsert", {cmd("actInsertDateTime"), cmd("actInsertPicture"), cmd("actInsertObject"),
                          cmd("actInsertHorizontalLine"), cmd("actInsertFile")}),
        sub("actSearch", {cmd("actSearchFind"), cmd("actSearchFindNext"), cmd("actSearchReplace"),
                          sep(), cmd("actSearchGotoLine")}),
        childFormatMenu(),
        sub("actView", {sub("actViewToolBars",
                            {cmd("actViewBar_MainMain"), cmd("actViewBar_MainStatus"), sep(),
                             cmd("actViewBar_ChildRecord1"), cmd("actViewBar_ChildRecord2"),
                             cmd("actViewBar_ChildEdit"), cmd("actViewBar_ChildFormat1"),
                             cmd("actViewBar_ChildFormat2"), cmd("actViewBar_ChildStatus"), sep(),
                             cmd("actViewBar_ChildRuler")}),
                        hiddenSub("actViewExplorerBars", {hiddenCmd("actViewTreeView")})}),
    };
}

QHash<QString, QList<MenuNode>> allMenus()
{
    QHash<QString, QList<MenuNode>> menus;
    menus.insert(QLatin1String(kMainMenu), mainMenu());
    menus.insert(QLatin1String(kChildMenu), childMenu());
    menus.insert(QLatin1String(kTrayIconMenu), {cmd("actTrayIconShow"), cmd("actToolsOptions"),
                                                sep(), cmd("actHelpAbout"), cmd("actFileExit")});
    menus.insert(QLatin1String(kTreeViewMenu),
                 {cmd("actRecordInsert"), cmd("actRecordInsertChild"), sep(),
                  cmd("actRecordMoveUp"), cmd("actRecordDelete"), cmd("actRecordEdit", "&Rename")});
    menus.insert(QLatin1String(kRichEditMenu),
                 {cmd("actEditUndo"), cmd("actEditRedo"), sep(), cmd("actEditCut"),
                  cmd("actEditCopy"), cmd("actEditPaste"), cmd("actEditDelete"),
                  cmd("actEditSelectAll")});
    menus.insert(QLatin1String(kViewMenu),
                 {cmd("actViewBar_ChildRecord1", "&Folderbar bar"),
                  hiddenCmd("actViewBar_ChildRecord2"), cmd("actViewBar_ChildEdit"),
                  cmd("actViewBar_ChildFormat1"), cmd("actViewBar_ChildFormat2"),
                  cmd("actViewBar_ChildStatus"), hiddenCmd("actViewTreeView"),
                  cmd("actViewBar_ChildRuler")});
    menus.insert(QLatin1String(kFontMenu), {cmd("actFormatFont")});
    return menus;
}

const QHash<QString, QList<MenuNode>> &menus()
{
    static const QHash<QString, QList<MenuNode>> table = allMenus();
    return table;
}

} // namespace

const QList<MenuNode> &menuDefinition(const QString &menuName)
{
    static const QList<MenuNode> none;
    const auto it = menus().constFind(menuName);
    return it == menus().constEnd() ? none : *it;
}

QStringList menuNames()
{
    QStringList names = menus().keys();
    names.sort();
    return names;
}

} // namespace bw
