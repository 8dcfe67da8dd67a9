#pragma once
// A PromptService for tests: every question is recorded (kind, caption, text)
// and answered from a script queued by the test. The script is strict: a
// question with no answer queued for its kind fails the running test (it is
// then answered with the "cancel" answer of its kind, so nothing blocks), and
// so do answers still queued when the service is destroyed, so a test cannot
// pass by accident through a dialog it did not expect.

#include "platform/prompt_service.h"

#include <QDialog>
#include <QList>
#include <QQueue>
#include <QVariant>

namespace bw::test {

struct Asked
{
    QString kind; // "message", "input", "open", "save", "directory", "color", "font",
                  // "print", "pageSetup", "exec"
    QString caption;
    QString text; // message text, input label, folder title, dialog object name
    PromptService::Icon icon = PromptService::Icon::None;
    PromptService::Buttons buttons = 0;
    PromptService::FileRequest file;
};

class ScriptedPromptService : public PromptService
{
public:
    ScriptedPromptService();
    ~ScriptedPromptService() override;

    // Where a broken script is reported; fails the running test by default.
    std::function<void(const QString &)> reportViolation;

    QList<Asked> asked;
    // The value each input box started with, in order.
    QStringList inputValues;

    // Answers, consumed in order by the questions of the matching kind.
    QQueue<int> messageAnswers;
    QQueue<std::optional<QString>> inputAnswers;
    QQueue<std::optional<FileAnswer>> fileAnswers; // open and save
    QQueue<std::optional<QString>> directoryAnswers;
    QQueue<std::optional<QColor>> colorAnswers;
    QQueue<std::optional<FontAnswer>> fontAnswers;
    QQueue<bool> printAnswers;
    // When set, a print dialog answered OK prints to this PDF file.
    QString printToFile;
    // A scripted dialog is handed the live dialog, may set its controls, and
    // returns the result code exec() would have returned.
    QQueue<std::function<int(QDialog *)>> dialogAnswers;

    void answerMessage(int button) { messageAnswers.enqueue(button); }
    void answerFile(const QString &name, int filterIndex = 1)
    {
        fileAnswers.enqueue(FileAnswer{name, filterIndex});
    }
    void cancelFile() { fileAnswers.enqueue(std::nullopt); }
    void answerDialog(std::function<int(QDialog *)> f) { dialogAnswers.enqueue(std::move(f)); }

    // Texts of every message box shown so far.
    QStringList messages() const;
    int count(const QString &kind) const;
    // Forgets the questions asked so far; queued answers stay queued.
    void clear();
    // Reports every answer still queued (unless the test has already
    // failed), then drops them. Runs on destruction; a service that outlives
    // its test functions calls it from cleanup().
    void verifyAllAnswersUsed();

    int message(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                Buttons buttons, Button defaultButton = NoButton) override;
    std::optional<QString> input(QWidget *parent, const QString &caption, const QString &label,
                                 const QString &value) override;
    std::optional<FileAnswer> openFile(QWidget *parent, const FileRequest &request) override;
    std::optional<FileAnswer> saveFile(QWidget *parent, const FileRequest &request) override;
    std::optional<QString> chooseDirectory(QWidget *parent, const QString &caption,
                                           const QString &title,
                                           const QString &initialDir) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial,
                                      QList<QColor> *customColors) override;
    std::optional<FontAnswer>
    chooseFont(QWidget *parent, const FontAnswer &initial,
               const std::function<void(const FontAnswer &)> &apply) override;
    bool print(QWidget *parent, QPrinter *printer) override;
    bool pageSetup(QWidget *parent, QPrinter *printer) override;
    int exec(QDialog *dialog) override;

private:
    void unexpected(const QString &kind, const QString &caption, const QString &text);
};

} // namespace bw::test
