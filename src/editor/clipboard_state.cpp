#include "editor/clipboard_state.h"

#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace bw {

namespace {
constexpr char kObjectName[] = "bwClipboardState";
}

ClipboardState::ClipboardState(QClipboard *clipboard) : QObject(clipboard), m_clipboard(clipboard)
{
    setObjectName(QLatin1String(kObjectName));
    guardedConnect(clipboard, &QClipboard::dataChanged, this, [this] { m_contents.reset(); });
}

ClipboardState &ClipboardState::instance()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (auto *state = clipboard->findChild<ClipboardState *>(QLatin1String(kObjectName),
                                                             Qt::FindDirectChildrenOnly))
        return *state;
    return *new ClipboardState(clipboard);
}

const ClipboardState::Contents &ClipboardState::contents()
{
    if (m_contents)
        return *m_contents;
    Contents contents;
    if (const QMimeData *data = m_clipboard->mimeData()) {
        contents.hasText = data->hasText();
        contents.canPaste = canInsertMimeData(data, true);
        contents.pasteSpecialFormats = pasteSpecialFormatsOf(data);
    }
    m_contents = std::move(contents);
    return *m_contents;
}

} // namespace bw
