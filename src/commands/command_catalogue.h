#pragma once
// The one catalogue of every command of the main window and of the document
// window: each command is one row (caption, shortcut, image, hint, tag, radio
// group, auto-check, ...). Commands are created from the rows as QActions
// named after the command; the set-up functions then give them their hints,
// shortcuts, tags, radio groups and auto-check, as the windows expect.

#include <QHash>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <span>

class QAction;
class QObject;

namespace bw {

enum class CommandScope { Main, Child };

struct CommandRow
{
    CommandScope scope;
    const char *actionList; // "aclFile"
    const char *category;   // the table the command stands in: "File", "Record", "TayIcon"
    const char *name;       // "actFileCDSNew"
    const char *caption;    // "&New File"
    const char *shortcut;   // as on the keyboard: "Shift+Ctrl+F4", "Alt+Ins", "Enter"; "" none
    int image;              // index into the command image list, -1 none
    const char *toolTip;    // "" when the hint is the status text alone
    const char *statusText;
    int tag;
    int radioGroup;
    int menuGroup; // for the commands that head a top-level menu
    bool checked;  // at start
    bool visible;
    bool autoCheck;

    // Tool tip, "|" and status text; the status text alone without a tool tip.
    QString hint() const;
};

// Every row, main window first, in table order.
std::span<const CommandRow> commandRows();
const CommandRow *findCommandRow(CommandScope scope, const QString &name);

// The radio groups of the document window's formatting commands.
inline constexpr int kAlignGroup = 62;     // one always checked once one is
inline constexpr int kNumberingGroup = 63; // at most one checked
inline constexpr int kScriptGroup = 64;    // at most one checked

// The image of a command by its index; an empty icon where there is none.
using IconSource = std::function<QIcon(int imageIndex)>;
// The commands of one window by name.
using CommandSet = QHash<QString, QAction *>;

// Creates one QAction per command of the scope, as a child of parent, with
// its object name, caption, image, checked and visible state at start, its
// category and its menu group. Hints, shortcuts, tags, radio groups and
// auto-check come with setupMainActions / setupChildActions.
CommandSet createCommands(CommandScope scope, QObject *parent, const IconSource &icons = {});

// The document window's commands that live below window, by name.
CommandSet findCommands(CommandScope scope, const QObject *window);

// Auto-check of the two main View commands, every main command's hint (and
// the hint of the Plug-ins menu item when given), the shortcuts.
void setupMainActions(const CommandSet &commands, QAction *pluginsMenuAction = nullptr);

// Radio groups, auto-check, hints, shortcuts and tags of one document
// window's commands (found below window). Nothing happens for a null window.
// Running it again changes nothing.
void setupChildActions(QObject *window);

// The key sequences of a shortcut as the catalogue writes it ("Shift+Ctrl+F4");
// "Enter" stands for both Return and the keypad's Enter, "Ins" and "Del" for
// Insert and Delete.
QList<QKeySequence> keySequences(const QString &text);

// The properties the catalogue gives a QAction beyond Qt's own.
int commandTag(const QAction *action);
int commandRadioGroup(const QAction *action);
int commandMenuGroup(const QAction *action);
// The property that holds the menu group, on actions and on the menus built from them.
inline constexpr char kMenuGroupProperty[] = "bwMenuGroup";
bool commandAutoCheck(const QAction *action);
QString commandHint(const QAction *action);
QString commandCategory(const QAction *action);

// The status part of a hint: the text after the first "|", else the whole.
QString longHint(const QString &hint);
QString shortHint(const QString &hint);

} // namespace bw
