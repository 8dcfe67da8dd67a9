#include "document/standalone_frame_services.h"

#include "commands/command_catalogue.h"
#include "document/document_window.h"
#include "document/format_commands.h"

#include "settings/registry.h"
#include <QApplication>

namespace bw::notes {

StandaloneFrameServices::StandaloneFrameServices(PromptService &prompts,
                                                 settings::Registry &registry,
                                                 const QString &settingsRoot, int storageVersion)
    : m_prompts(prompts), m_registry(registry), m_root(settingsRoot), m_version(storageVersion)
{
}

QString StandaloneFrameServices::optionsKey() const
{
    return settings::Registry::subKey(m_root, settings::sectionName(settings::Section::Options));
}

QString StandaloneFrameServices::optionText(settings::Key key) const
{
    return m_registry.read(optionsKey(), settings::valueName(key), settings::defaultText(key));
}

void StandaloneFrameServices::writeOption(settings::Key key, const QString &text)
{
    m_registry.write(optionsKey(), settings::valueName(key), text);
    m_registry.sync();
}

void StandaloneFrameServices::loadAndApplyOptions()
{
    const auto windows = documentWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->applyOptions();
}

void StandaloneFrameServices::createChildCommands(QObject *window)
{
    bw::createCommands(CommandScope::Child, window);
}

std::optional<QString>
StandaloneFrameServices::executeSaveDialog(QWidget *parent,
                                           const PromptService::FileRequest &request)
{
    const auto answer = m_prompts.saveFile(parent, request);
    if (!answer)
        return std::nullopt;
    return answer->fileName;
}

QList<DocumentWindow *> StandaloneFrameServices::documentWindows() const
{
    QList<DocumentWindow *> windows;
    for (const auto &window : m_windows)
        if (window)
            windows.append(window);
    return windows;
}

void StandaloneFrameServices::documentWindowClosed(DocumentWindow *window)
{
    m_windows.removeAll(window);
}

void StandaloneFrameServices::addWindow(DocumentWindow *window)
{
    m_windows.removeAll(window);
    m_windows.append(window);
}

void StandaloneFrameServices::filesDropped(const QStringList &paths)
{
    const auto windows = documentWindows();
    if (paths.isEmpty() || windows.isEmpty())
        return;
    windows.last()->loadDroppedFile(paths.first());
}

std::optional<PromptService::FontAnswer>
StandaloneFrameServices::executeFontDialog(QWidget *parent,
                                           const PromptService::FontAnswer &initial)
{
    return m_prompts.chooseFont(parent, initial, [this](const PromptService::FontAnswer &font) {
        const auto windows = documentWindows();
        auto *commands = windows.isEmpty() ? nullptr : FormatCommands::of(windows.last());
        if (!commands || !commands->fontDialogApply(font))
            QApplication::beep();
    });
}

} // namespace bw::notes
