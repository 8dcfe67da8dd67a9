#include "scripted_prompt_service.h"

#include <QPrinter>
#include <QTest>

namespace bw::test {

ScriptedPromptService::ScriptedPromptService()
    : reportViolation(
          [](const QString &what) { QTest::qFail(qPrintable(what), __FILE__, __LINE__); })
{
}

ScriptedPromptService::~ScriptedPromptService()
{
    verifyAllAnswersUsed();
}

QStringList ScriptedPromptService::messages() const
{
    QStringList out;
    for (const Asked &a : asked)
        if (a.kind == QLatin1String("message"))
            out << a.text;
    return out;
}

int ScriptedPromptService::count(const QString &kind) const
{
    int n = 0;
    for (const Asked &a : asked)
        n += a.kind == kind ? 1 : 0;
    return n;
}

void ScriptedPromptService::clear()
{
    asked.clear();
    inputValues.clear();
}

void ScriptedPromptService::verifyAllAnswersUsed()
{
    const std::pair<const char *, qsizetype> queues[] = {
        {"message", messageAnswers.size()}, {"input", inputAnswers.size()},
        {"file", fileAnswers.size()},       {"directory", directoryAnswers.size()},
        {"color", colorAnswers.size()},     {"font", fontAnswers.size()},
        {"print", printAnswers.size()},     {"dialog", dialogAnswers.size()},
    };
    QStringList left;
    for (const auto &[kind, n] : queues)
        if (n > 0)
            left << QStringLiteral("%1 %2").arg(n).arg(QLatin1String(kind));
    // After a failure the test stopped early; its unused answers say nothing new.
    if (!left.isEmpty() && reportViolation && !QTest::currentTestFailed())
        reportViolation(QStringLiteral("Scripted answers left unused: %1")
                            .arg(left.join(QStringLiteral(", "))));
    messageAnswers.clear();
    inputAnswers.clear();
    fileAnswers.clear();
    directoryAnswers.clear();
    colorAnswers.clear();
    fontAnswers.clear();
    printAnswers.clear();
    dialogAnswers.clear();
}

void ScriptedPromptService::unexpected(const QString &kind, const QString &caption,
                                       const QString &text)
{
    if (reportViolation)
        reportViolation(QStringLiteral("Unexpected %1 \"%2\": \"%3\"").arg(kind, caption, text));
}

int ScriptedPromptService::message(QWidget *, const QString &caption, const QString &text,
                                   Icon icon, Buttons buttons, Button)
{
    asked.append(Asked{QStringLiteral("message"), caption, text, icon, buttons, {}});
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    unexpected(QStringLiteral("message box"), caption, text);
    if (buttons & Cancel)
        return Cancel;
    if (buttons & No)
        return No;
    return Ok;
}

std::optional<QString> ScriptedPromptService::input(QWidget *, const QString &caption,
                                                    const QString &label, const QString &value)
{
    asked.append(Asked{QStringLiteral("input"), caption, label, Icon::None, 0, {}});
    inputValues.append(value);
    if (!inputAnswers.isEmpty())
        return inputAnswers.dequeue();
    unexpected(QStringLiteral("input box"), caption, label);
    return std::nullopt;
}

std::optional<PromptService::FileAnswer> ScriptedPromptService::openFile(QWidget *,
                                                                         const FileRequest &request)
{
    asked.append(Asked{QStringLiteral("open"), request.caption, {}, Icon::None, 0, request});
    if (!fileAnswers.isEmpty())
        return fileAnswers.dequeue();
    unexpected(QStringLiteral("open dialog"), request.caption, request.fileName);
    return std::nullopt;
}

std::optional<PromptService::FileAnswer> ScriptedPromptService::saveFile(QWidget *,
                                                                         const FileRequest &request)
{
    asked.append(Asked{QStringLiteral("save"), request.caption, {}, Icon::None, 0, request});
    if (!fileAnswers.isEmpty())
        return fileAnswers.dequeue();
    unexpected(QStringLiteral("save dialog"), request.caption, request.fileName);
    return std::nullopt;
}

std::optional<QString> ScriptedPromptService::chooseDirectory(QWidget *, const QString &caption,
                                                              const QString &title,
                                                              const QString &initialDir)
{
    FileRequest folder;
    folder.initialDir = initialDir;
    asked.append(Asked{QStringLiteral("directory"), caption, title, Icon::None, 0, folder});
    if (!directoryAnswers.isEmpty())
        return directoryAnswers.dequeue();
    unexpected(QStringLiteral("folder dialog"), caption, initialDir);
    return std::nullopt;
}

std::optional<QColor> ScriptedPromptService::chooseColor(QWidget *, const QColor &initial,
                                                         QList<QColor> *)
{
    asked.append(Asked{QStringLiteral("color"), {}, {}, Icon::None, 0, {}});
    if (!colorAnswers.isEmpty())
        return colorAnswers.dequeue();
    unexpected(QStringLiteral("colour dialog"), {}, initial.name());
    return std::nullopt;
}

std::optional<PromptService::FontAnswer>
ScriptedPromptService::chooseFont(QWidget *, const FontAnswer &initial,
                                  const std::function<void(const FontAnswer &)> &)
{
    asked.append(Asked{QStringLiteral("font"), {}, {}, Icon::None, 0, {}});
    if (!fontAnswers.isEmpty())
        return fontAnswers.dequeue();
    unexpected(QStringLiteral("font dialog"), {}, initial.font.family());
    return std::nullopt;
}

bool ScriptedPromptService::print(QWidget *, QPrinter *printer)
{
    asked.append(Asked{QStringLiteral("print"), {}, {}, Icon::None, 0, {}});
    if (printAnswers.isEmpty()) {
        unexpected(QStringLiteral("print dialog"), {}, {});
        return false;
    }
    const bool ok = printAnswers.dequeue();
    if (ok && !printToFile.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(printToFile);
    }
    return ok;
}

bool ScriptedPromptService::pageSetup(QWidget *, QPrinter *)
{
    asked.append(Asked{QStringLiteral("pageSetup"), {}, {}, Icon::None, 0, {}});
    if (printAnswers.isEmpty()) {
        unexpected(QStringLiteral("page setup dialog"), {}, {});
        return false;
    }
    return printAnswers.dequeue();
}

int ScriptedPromptService::exec(QDialog *dialog)
{
    asked.append(Asked{
        QStringLiteral("exec"), dialog->windowTitle(), dialog->objectName(), Icon::None, 0, {}});
    if (dialogAnswers.isEmpty()) {
        unexpected(QStringLiteral("dialog"), dialog->windowTitle(), dialog->objectName());
        return QDialog::Rejected;
    }
    return dialogAnswers.dequeue()(dialog);
}

} // namespace bw::test
