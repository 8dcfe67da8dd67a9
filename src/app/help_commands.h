#pragma once
// The actions of the Help menu that the main window runs. Links go through a
// UrlOpener so tests can see them without starting a browser or mail program.
// The help-file commands (Context, Contents, Topic Search, Help on Help) stay
// enabled without a handler: there is no help file.

#include <QString>
#include <QUrl>

class QWidget;

namespace bw {

class OptionsAccess;
class PromptService;
struct VersionFields;

class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    // False when the desktop has no handler; nobody reports that.
    virtual bool open(const QUrl &url) = 0;
};

// The desktop's default handler (QDesktopServices).
class DesktopUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl &url) override;
};

// "mailto:<author>?subject=<title>", encoded as a URL.
QUrl authorMailUrl(const QString &applicationTitle);
QUrl homePageUrl();

void actHelpEmailExecute(UrlOpener &opener, const QString &applicationTitle);
void actHelpHomePageExecute(UrlOpener &opener);
void actHelpTipsOfTheDayExecute(PromptService &prompts, QWidget *parent, OptionsAccess &options);
// version: the data module's productName, fileVersion and legalCopyright.
void actHelpAboutExecute(PromptService &prompts, QWidget *parent, const VersionFields &version,
                         UrlOpener &opener);

} // namespace bw
