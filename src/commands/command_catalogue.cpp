#include "commands/command_catalogue.h"

#include <QAction>
#include <QActionGroup>
#include <QObject>
#include <QVariant>

namespace bw {

namespace {

constexpr char kTagProperty[] = "bwTag";
constexpr char kRadioGroupProperty[] = "bwRadioGroup";
constexpr char kAutoCheckProperty[] = "bwAutoCheck";
constexpr char kHintProperty[] = "bwHint";
constexpr char kCategoryProperty[] = "bwCategory";
constexpr char kActionListProperty[] = "bwActionList";

// The two pairs of main commands that share a shortcut and do the same
// thing. The Window menu's copy answers the key only while its menu has the
// focus, so the key never reaches two commands at once.
constexpr const char *kSharedShortcutCommands[] = {"actWindowClose", "actWindowCloseAll"};

// Alt+Enter belongs to Options in the whole frame; the document window's
// Object Properties answers it only where its own menu or button has focus.
constexpr char kObjectPropertiesCommand[] = "actEditObjectProperties";

constexpr char kPluginsHint[] = "Contains plug-ins commands if any.";

void setAutoCheck(QAction *action, bool on)
{
    action->setProperty(kAutoCheckProperty, on);
    action->setCheckable(on || commandRadioGroup(action) != 0);
}

void setHint(QAction *action, const QString &hint)
{
    action->setProperty(kHintProperty, hint);
    action->setToolTip(shortHint(hint));
    action->setStatusTip(longHint(hint));
}

void applyRowSetup(QAction *action, const CommandRow &row)
{
    setHint(action, row.hint());
    action->setShortcuts(keySequences(QString::fromLatin1(row.shortcut)));
}

QActionGroup *radioGroup(QObject *window, int group)
{
    const QString name = QStringLiteral("RadioGroup%1").arg(group);
    if (auto *existing = window->findChild<QActionGroup *>(name, Qt::FindDirectChildrenOnly))
        return existing;
    auto *actionGroup = new QActionGroup(window);
    actionGroup->setObjectName(name);
    actionGroup->setExclusionPolicy(group == kAlignGroup
                                        ? QActionGroup::ExclusionPolicy::Exclusive
                                        : QActionGroup::ExclusionPolicy::ExclusiveOptional);
    return actionGroup;
}

} // namespace

QString CommandRow::hint() const
{
    const QString status = QString::fromUtf8(statusText);
    if (*toolTip == '\0')
        return status;
    return QString::fromUtf8(toolTip) + QLatin1Char('|') + status;
}

const CommandRow *findCommandRow(CommandScope scope, const QString &name)
{
    for (const CommandRow &row : commandRows())
        if (row.scope == scope && name == QLatin1String(row.name))
            return &row;
    return nullptr;
}

CommandSet createCommands(CommandScope scope, QObject *parent, const IconSource &icons)
{
    CommandSet commands;
    for (const CommandRow &row : commandRows()) {
        if (row.scope != scope)
            continue;
        auto *action = new QAction(QString::fromUtf8(row.caption), parent);
        action->setObjectName(QString::fromLatin1(row.name));
        if (row.image >= 0 && icons)
            action->setIcon(icons(row.image));
        // Qt keeps the checked state of a command that is not yet checkable
        // and shows it once auto-check makes the command checkable.
        action->setChecked(row.checked);
        action->setVisible(row.visible);
        action->setProperty(kCategoryProperty, QString::fromLatin1(row.category));
        action->setProperty(kActionListProperty, QString::fromLatin1(row.actionList));
        action->setProperty(kMenuGroupProperty, row.menuGroup);
        action->setProperty(kTagProperty, 0);
        action->setProperty(kRadioGroupProperty, 0);
        action->setProperty(kAutoCheckProperty, false);
        commands.insert(action->objectName(), action);
    }
    return commands;
}

CommandSet findCommands(CommandScope scope, const QObject *window)
{
    CommandSet commands;
    if (!window)
        return commands;
    for (QAction *action : window->findChildren<QAction *>()) {
        const CommandRow *row = findCommandRow(scope, action->objectName());
        if (row && !commands.contains(action->objectName()))
            commands.insert(action->objectName(), action);
    }
    return commands;
}

void setupMainActions(const CommandSet &commands, QAction *pluginsMenuAction)
{
    for (const char *name : {"actViewBar_MainMain", "actViewBar_MainStatus"})
        if (QAction *action = commands.value(QLatin1String(name)))
            setAutoCheck(action, true);
    for (const CommandRow &row : commandRows()) {
        if (row.scope != CommandScope::Main)
            continue;
        if (QAction *action = commands.value(QLatin1String(row.name)))
            applyRowSetup(action, row);
    }
    if (pluginsMenuAction)
        setHint(pluginsMenuAction, QString::fromLatin1(kPluginsHint));
    for (const char *name : kSharedShortcutCommands)
        if (QAction *action = commands.value(QLatin1String(name)))
            action->setShortcutContext(Qt::WidgetShortcut);
}

void setupChildActions(QObject *window)
{
    if (!window)
        return;
    const CommandSet commands = findCommands(CommandScope::Child, window);
    for (const CommandRow &row : commandRows()) {
        if (row.scope != CommandScope::Child)
            continue;
        QAction *action = commands.value(QLatin1String(row.name));
        if (!action)
            continue;
        if (row.radioGroup != 0) {
            action->setProperty(kRadioGroupProperty, row.radioGroup);
            action->setActionGroup(radioGroup(window, row.radioGroup));
        }
        setAutoCheck(action, row.autoCheck);
        applyRowSetup(action, row);
        action->setProperty(kTagProperty, row.tag);
    }
    if (QAction *action = commands.value(QLatin1String(kObjectPropertiesCommand)))
        action->setShortcutContext(Qt::WidgetShortcut);
}

QList<QKeySequence> keySequences(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString keys = text;
    const bool enter = keys.endsWith(QLatin1String("Enter"));
    if (!enter)
        return {QKeySequence::fromString(keys, QKeySequence::PortableText)};
    keys.chop(5);
    return {QKeySequence::fromString(keys + QLatin1String("Return"), QKeySequence::PortableText),
            QKeySequence::fromString(keys + QLatin1String("Enter"), QKeySequence::PortableText)};
}

int commandTag(const QAction *action)
{
    return action->property(kTagProperty).toInt();
}

int commandRadioGroup(const QAction *action)
{
    return action->property(kRadioGroupProperty).toInt();
}

int commandMenuGroup(const QAction *action)
{
    return action->property(kMenuGroupProperty).toInt();
}

bool commandAutoCheck(const QAction *action)
{
    return action->property(kAutoCheckProperty).toBool();
}

QString commandHint(const QAction *action)
{
    return action->property(kHintProperty).toString();
}

QString commandCategory(const QAction *action)
{
    return action->property(kCategoryProperty).toString();
}

QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString shortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

} // namespace bw
