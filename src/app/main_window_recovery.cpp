// The offer of recovery copies at start: each copy left by a copy of the
// program that ended without saving is named with its file and time; Yes
// opens it as a modified untitled window, No discards it, Cancel keeps it
// for the next start.

#include "app/app_strings.h"
#include "app/main_window.h"
#include "platform/guarded_dispatch.h"

#include <QLocale>
#include <QScopeGuard>

namespace bw {

namespace {

const QString kRecoveryCaption = QStringLiteral("Recovery");
const QString kRecoveryQuestion = QStringLiteral(
    "Bramblewick ended without saving \"%1\". A recovery copy of it from %2 was kept.\n\n"
    "Open the copy? It opens as a new unsaved window, to be saved where you like.\n"
    "Yes opens it, No discards it, Cancel keeps it for the next start.");

} // namespace

void MainWindow::setRecoveryStore(std::unique_ptr<notes::RecoveryStore> store)
{
    m_recovery = std::move(store);
}

void MainWindow::offerRecoveryCopies()
{
    if (!m_recovery)
        return;
    const QList<notes::RecoveryEntry> entries = m_recovery->pending();
    for (const notes::RecoveryEntry &entry : entries) {
        const QString time = QLocale().toString(entry.time, QLocale::LongFormat);
        const int answer = m_prompts.message(
            this, kRecoveryCaption, kRecoveryQuestion.arg(entry.fileName, time),
            PromptService::Icon::Question,
            PromptService::Yes | PromptService::No | PromptService::Cancel, PromptService::Yes);
        if (answer == PromptService::No) {
            m_recovery->remove(entry.key);
            continue;
        }
        if (answer != PromptService::Yes)
            continue;
        // One copy that cannot be opened does not keep the others back.
        guarded([this, &entry] {
            m_recoveryToOpen = &entry;
            const auto reset = qScopeGuard([this] { m_recoveryToOpen = nullptr; });
            const int before = int(documentWindowList().size());
            actFileCDSNewExecute();
            // The new window keeps a copy of its own from now on.
            if (int(documentWindowList().size()) > before)
                m_recovery->remove(entry.key);
        });
    }
}

} // namespace bw
