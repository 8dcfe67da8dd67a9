#include "help_commands.h"

#include "app/about_dialog.h"
#include "app/app_strings.h"
#include "app/tip_dialog.h"
#include "platform/prompt_service.h"

#include <QDesktopServices>
#include <QUrlQuery>

namespace bw {

bool DesktopUrlOpener::open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

// The address and the subject are encoded, so that the mail program gets the
// address without a leading blank and the whole title as the subject.
QUrl authorMailUrl(const QString &applicationTitle)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(loadStr(StrId::AuthorEmail));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), applicationTitle);
    url.setQuery(query);
    return url;
}

QUrl homePageUrl()
{
    return QUrl(loadStr(StrId::HomePageAddress));
}

void actHelpEmailExecute(UrlOpener &opener, const QString &applicationTitle)
{
    opener.open(authorMailUrl(applicationTitle));
}

void actHelpHomePageExecute(UrlOpener &opener)
{
    opener.open(homePageUrl());
}

void actHelpTipsOfTheDayExecute(PromptService &prompts, QWidget *parent, OptionsAccess &options)
{
    showTipOfTheDay(prompts, parent, options);
}

void actHelpAboutExecute(PromptService &prompts, QWidget *parent, const VersionFields &version,
                         UrlOpener &opener)
{
    AboutDialog about(version, opener, parent);
    prompts.exec(&about);
}

} // namespace bw
