#pragma once
// Every menu bar and popup menu as data (menu name -> commands, separators,
// submenus), built into QMenus from the commands of a window, and the
// merging of a document window's menu bar into the frame's by menu group.

#include "commands/command_catalogue.h"

#include <QList>
#include <QString>

#include <functional>

class QMenu;
class QWidget;

namespace bw {

// The menu bars and popup menus by name.
inline constexpr char kMainMenu[] = "MainMenu";       // the frame's bar
inline constexpr char kChildMenu[] = "ChildMainMenu"; // a document window's bar
inline constexpr char kTrayIconMenu[] = "pmTrayIcon";
inline constexpr char kTreeViewMenu[] = "pmTreeView";
inline constexpr char kRichEditMenu[] = "pmRichEdit";
inline constexpr char kViewMenu[] = "pmView";
inline constexpr char kFontMenu[] = "pmFont";

struct MenuNode
{
    enum class Kind {
        Command, // an item showing a command
        Separator,
        Submenu, // a submenu headed by a command (or by a caption of its own)
        Plain,   // an item of its own that no command stands behind
    };
    Kind kind = Kind::Command;
    QString command;       // the command shown or heading the submenu
    QString caption;       // shown instead of the command's caption when set
    QString objectName;    // "miFileMRUSeparator"; otherwise derived from the command
    bool hidden = false;   // the item is hidden although its command may be visible
    bool disabled = false; // the item is disabled whatever its command's state
    int image = -1;        // image of a submenu or item without a command
    QList<MenuNode> children;
};

// The items of a popup menu, or the top-level submenus of a menu bar.
const QList<MenuNode> &menuDefinition(const QString &menuName);
QStringList menuNames();

// Finds a command by name: the document window's own first, then the frame's.
using CommandLookup = std::function<QAction *(const QString &name)>;
CommandLookup lookupIn(QList<CommandSet> sets);

// Builds the top-level menus of a menu bar as children of owner, each
// carrying its menu group (menuGroupOf). Items whose caption differs from
// their command's, or that are hidden or disabled on their own, are separate
// menu actions that follow their command's state and run it.
QList<QMenu *> buildMenuBar(const QString &barName, const CommandLookup &lookup, QWidget *owner,
                            const IconSource &icons = {});
QMenu *buildPopupMenu(const QString &menuName, const CommandLookup &lookup, QWidget *parent,
                      const IconSource &icons = {});
// Adds the items of a popup menu to a menu of one's own (an owner-drawn one).
void fillMenu(QMenu *menu, const QString &menuName, const CommandLookup &lookup,
              const IconSource &icons = {});

// The top-level menus of a bar built earlier for owner, in bar order.
QList<QMenu *> menuBarMenus(const QWidget *owner, const QString &barName);
int menuGroupOf(const QMenu *menu);

// The merged bar: a document menu replaces the frame's menu of the same
// group, the others are placed by group order.
QList<QMenu *> mergeMenus(const QList<QMenu *> &frame, const QList<QMenu *> &document);

} // namespace bw
