#pragma once
// FrameServices for document windows without a main window (tests, tools):
// options are read from and written to the Options section of the settings
// file, the save dialog is the prompt service's, and the windows are listed
// in the order they were opened.

#include "document/frame_services.h"

#include <QList>
#include <QPointer>
#include <QSet>

namespace bw::notes {

class StandaloneFrameServices : public FrameServices
{
public:
    StandaloneFrameServices(PromptService &prompts, settings::Registry &registry,
                            const QString &settingsRoot, int storageVersion);

    PromptService &prompts() override { return m_prompts; }
    settings::Registry &registry() override { return m_registry; }
    QString settingsRoot() const override { return m_root; }
    int storageVersion() const override { return m_version; }
    QString optionText(settings::Key key) const override;
    void writeOption(settings::Key key, const QString &text) override;
    void loadAndApplyOptions() override;
    std::optional<QString> executeSaveDialog(QWidget *parent,
                                             const PromptService::FileRequest &request) override;
    // The catalogue's commands, without images.
    void createChildCommands(QObject *window) override;
    QList<DocumentWindow *> documentWindows() const override;
    void documentWindowClosed(DocumentWindow *window) override;
    void releaseUntitledNumber(int number) override { m_released.insert(number); }
    void filesDropped(const QStringList &paths) override;
    // Apply goes to the most recent window.
    std::optional<PromptService::FontAnswer>
    executeFontDialog(QWidget *parent, const PromptService::FontAnswer &initial) override;

    RecoveryStore *recoveryStore() override { return m_recovery; }
    const RecoveryEntry *recoveryToOpen() override { return m_recoveryToOpen; }
    void setRecoveryStore(RecoveryStore *store) { m_recovery = store; }
    // The next window created loads entry (null: none).
    void setRecoveryToOpen(const RecoveryEntry *entry) { m_recoveryToOpen = entry; }

    // A window joins the list as the active (most recent) one.
    void addWindow(DocumentWindow *window);
    QSet<int> releasedNumbers() const { return m_released; }

private:
    QString optionsKey() const;

    PromptService &m_prompts;
    settings::Registry &m_registry;
    QString m_root;
    int m_version;
    QList<QPointer<DocumentWindow>> m_windows;
    QSet<int> m_released;
    RecoveryStore *m_recovery = nullptr;
    const RecoveryEntry *m_recoveryToOpen = nullptr;
};

} // namespace bw::notes
