#include "document/editor_format_keys.h"

#include "document/document_context.h"
#include "document/format_commands.h"
#include "editor/para_format.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>

namespace bw::notes {

namespace {

struct KeyRow
{
    const char *keys; // as QKeySequence writes them
    const char *command;
    int lineSpacingRule;
};

const KeyRow kKeyRows[] = {
    {"Ctrl+B", "actFormatBold", -1},
    {"Ctrl+I", "actFormatItalic", -1},
    {"Ctrl+U", "actFormatUnderline", -1},
    {"Ctrl+L", "actFormatAlignLeft", -1},
    {"Ctrl+E", "actFormatAlignCenter", -1},
    {"Ctrl+R", "actFormatAlignRight", -1},
    {"Ctrl+J", "actFormatAlignJustify", -1},
    {"Ctrl+Shift+=", "actFormatSuperScript", -1},
    {"Ctrl+=", "actFormatSubScript", -1},
    {"Ctrl+]", "actFormatIncreaseFontSize", -1},
    {"Ctrl+[", "actFormatDecreaseFontSize", -1},
    {"Ctrl+1", nullptr, ParaFormat::Single},
    {"Ctrl+2", nullptr, ParaFormat::Double},
    {"Ctrl+5", nullptr, ParaFormat::OneAndHalf},
};

QKeyCombination combination(const char *keys)
{
    return QKeySequence::fromString(QLatin1String(keys), QKeySequence::PortableText)[0];
}

bool isCatalogueShortcut(QKeyCombination key, std::span<const CommandRow> rows)
{
    for (const CommandRow &row : rows)
        for (const QKeySequence &sequence : keySequences(QLatin1String(row.shortcut)))
            if (sequence.count() == 1 && sequence[0] == key)
                return true;
    return false;
}

// The key as the table writes it: the keypad's keys as the others, and "+"
// typed with Shift as the "=" key it shares on most layouts.
QKeyCombination pressedKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() &
        (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    int key = event->key();
    if (key == Qt::Key_Plus && (modifiers & Qt::ShiftModifier))
        key = Qt::Key_Equal;
    return QKeyCombination(modifiers, Qt::Key(key));
}

} // namespace

QList<EditorFormatKey> editorFormatKeys(std::span<const CommandRow> rows)
{
    QList<EditorFormatKey> keys;
    for (const KeyRow &row : kKeyRows) {
        const QKeyCombination key = combination(row.keys);
        if (!isCatalogueShortcut(key, rows))
            keys.append({key, row.command, row.lineSpacingRule});
    }
    return keys;
}

EditorFormatKeys::EditorFormatKeys(DocumentContext &window, FormatCommands &commands)
    : QObject(&commands), m_window(window), m_commands(commands), m_keys(editorFormatKeys())
{
    setObjectName(QStringLiteral("EditorFormatKeys"));
    m_window.editor()->installEventFilter(this);
}

const EditorFormatKey *EditorFormatKeys::find(const QKeyEvent *event) const
{
    const QKeyCombination pressed = pressedKey(event);
    for (const EditorFormatKey &key : m_keys)
        if (key.key == pressed)
            return &key;
    return nullptr;
}

bool EditorFormatKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const EditorFormatKey *key = find(static_cast<QKeyEvent *>(event));
    if (!key)
        return QObject::eventFilter(watched, event);
    // The editor takes its keys before any shortcut outside the catalogue,
    // and the control never sees them (Ctrl+U would delete the line).
    event->accept();
    if (type == QEvent::KeyPress)
        guarded([&] { run(*key); });
    return true;
}

void EditorFormatKeys::run(const EditorFormatKey &key)
{
    // The update first, as before a click, so the command's state is current.
    m_commands.aclFormatUpdate();
    if (key.command)
        m_window.action(QString::fromLatin1(key.command))->trigger();
    else
        setLineSpacing(key.lineSpacingRule);
}

// Line spacing has no command of its own: it follows the paragraph
// commands' enabling and writes like them.
void EditorFormatKeys::setLineSpacing(int rule)
{
    if (!m_window.action(QStringLiteral("actFormatParagraph"))->isEnabled() ||
        m_window.updatingFormatControls())
        return;
    ParaFormat format;
    format.mask = ParaFormat::LineSpacing;
    format.lineSpacingRule = rule;
    m_commands.writeParaFormat(format);
    m_commands.aclFormatUpdate();
}

} // namespace bw::notes
