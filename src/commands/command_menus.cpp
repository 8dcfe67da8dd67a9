#include "commands/command_menus.h"

#include "commands/command_catalogue.h"

#include "platform/guarded_dispatch.h"

#include <QAction>
#include <QMap>
#include <QMenu>
#include <QtDebug>

namespace bw {

namespace {

constexpr char kMenuBarProperty[] = "bwMenuBar";

struct BuildContext
{
    const CommandLookup &lookup;
    const IconSource &icons;
    QString prefix; // "mi" for menu bars, "pmi" for popup menus
};

QString itemName(const QString &prefix, const MenuNode &node)
{
    if (!node.objectName.isEmpty())
        return node.objectName;
    if (node.command.startsWith(QLatin1String("act")))
        return prefix + node.command.mid(3);
    return {};
}

// Keeps a menu action in step with the command it stands for: the node's own
// caption, hidden and disabled state win over the command's.
void followCommand(QAction *item, QAction *command, const MenuNode &node, bool showShortcut)
{
    auto follow = [item, command, caption = node.caption, hidden = node.hidden,
                   disabled = node.disabled, showShortcut] {
        QString text = caption.isEmpty() ? command->text() : caption;
        if (showShortcut && !command->shortcut().isEmpty())
            text += QLatin1Char('\t') + command->shortcut().toString(QKeySequence::NativeText);
        item->setText(text);
        item->setIcon(command->icon());
        item->setToolTip(command->toolTip());
        item->setStatusTip(command->statusTip());
        item->setCheckable(command->isCheckable());
        item->setChecked(command->isChecked());
        item->setEnabled(!disabled && command->isEnabled());
        item->setVisible(!hidden && command->isVisible());
    };
    follow();
    guardedConnect(command, &QAction::changed, item, follow);
}

QAction *commandOf(const BuildContext &context, const QString &name)
{
    QAction *command = context.lookup ? context.lookup(name) : nullptr;
    if (!command)
        qWarning("Menu item for unknown command %s", qPrintable(name));
    return command;
}

void addItems(QMenu *menu, const QList<MenuNode> &nodes, const BuildContext &context);

QMenu *buildSubmenu(const MenuNode &node, const BuildContext &context, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(itemName(context.prefix, node));
    if (!node.command.isEmpty()) {
        if (QAction *head = commandOf(context, node.command))
            followCommand(menu->menuAction(), head, node, false);
    } else {
        menu->setTitle(node.caption);
        if (node.image >= 0 && context.icons)
            menu->setIcon(context.icons(node.image));
        menu->menuAction()->setVisible(!node.hidden);
    }
    addItems(menu, node.children, context);
    return menu;
}

void addCommandItem(QMenu *menu, const MenuNode &node, const BuildContext &context)
{
    QAction *command = commandOf(context, node.command);
    if (!command)
        return;
    if (node.caption.isEmpty() && !node.hidden && !node.disabled) {
        menu->addAction(command);
        return;
    }
    auto *item = new QAction(menu);
    item->setObjectName(itemName(context.prefix, node));
    followCommand(item, command, node, true);
    QObject::connect(item, &QAction::triggered, command, [command] { command->trigger(); });
    menu->addAction(item);
}

void addItems(QMenu *menu, const QList<MenuNode> &nodes, const BuildContext &context)
{
    for (const MenuNode &node : nodes) {
        switch (node.kind) {
        case MenuNode::Kind::Command:
            addCommandItem(menu, node, context);
            break;
        case MenuNode::Kind::Separator: {
            QAction *separator = menu->addSeparator();
            separator->setObjectName(node.objectName);
            separator->setVisible(!node.hidden);
            break;
        }
        case MenuNode::Kind::Submenu:
            menu->addMenu(buildSubmenu(node, context, menu));
            break;
        case MenuNode::Kind::Plain: {
            QAction *item = menu->addAction(node.caption);
            item->setObjectName(node.objectName);
            item->setEnabled(!node.disabled);
            item->setVisible(!node.hidden);
            break;
        }
        }
    }
}

} // namespace

CommandLookup lookupIn(QList<CommandSet> sets)
{
    return [sets = std::move(sets)](const QString &name) -> QAction * {
        for (const CommandSet &set : sets)
            if (QAction *action = set.value(name))
                return action;
        return nullptr;
    };
}

QList<QMenu *> buildMenuBar(const QString &barName, const CommandLookup &lookup, QWidget *owner,
                            const IconSource &icons)
{
    const BuildContext context{lookup, icons, QStringLiteral("mi")};
    QList<QMenu *> menus;
    for (const MenuNode &node : menuDefinition(barName)) {
        QMenu *menu = buildSubmenu(node, context, owner);
        const QAction *head = lookup ? lookup(node.command) : nullptr;
        menu->setProperty(kMenuBarProperty, barName);
        menu->setProperty(kMenuGroupProperty, head ? commandMenuGroup(head) : 0);
        menus.append(menu);
    }
    return menus;
}

QMenu *buildPopupMenu(const QString &menuName, const CommandLookup &lookup, QWidget *parent,
                      const IconSource &icons)
{
    auto *menu = new QMenu(parent);
    fillMenu(menu, menuName, lookup, icons);
    return menu;
}

void fillMenu(QMenu *menu, const QString &menuName, const CommandLookup &lookup,
              const IconSource &icons)
{
    const BuildContext context{lookup, icons, QStringLiteral("pmi")};
    menu->setObjectName(menuName);
    addItems(menu, menuDefinition(menuName), context);
}

QList<QMenu *> menuBarMenus(const QWidget *owner, const QString &barName)
{
    QList<QMenu *> menus;
    if (!owner)
        return menus;
    for (QMenu *menu : owner->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly))
        if (menu->property(kMenuBarProperty).toString() == barName)
            menus.append(menu);
    return menus;
}

int menuGroupOf(const QMenu *menu)
{
    return menu->property(kMenuGroupProperty).toInt();
}

QList<QMenu *> mergeMenus(const QList<QMenu *> &frame, const QList<QMenu *> &document)
{
    QMap<int, QMenu *> byGroup;
    for (QMenu *menu : frame)
        byGroup.insert(menuGroupOf(menu), menu);
    for (QMenu *menu : document)
        byGroup.insert(menuGroupOf(menu), menu);
    return byGroup.values();
}

} // namespace bw
