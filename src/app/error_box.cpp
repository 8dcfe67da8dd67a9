#include "error_box.h"

#include "platform/prompt_service.h"

namespace bw {

QString errorBoxText(const QString &message)
{
    if (message.isEmpty() || message.back() <= QLatin1Char('.'))
        return message;
    return message + QLatin1Char('.');
}

void showErrorBox(PromptService &prompts, QWidget *parent, const QString &title,
                  const QString &message)
{
    prompts.message(parent, title, errorBoxText(message), PromptService::Icon::Error,
                    PromptService::Ok, PromptService::Ok);
}

} // namespace bw
