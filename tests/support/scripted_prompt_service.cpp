#include "scripted_prompt_service.h"

#include <QPrinter>

namespace bw::test {

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
    messageAnswers.clear();
    inputAnswers.clear();
    fileAnswers.clear();
    directoryAnswers.clear();
    colorAnswers.clear();
    fontAnswers.clear();
    printAnswers.clear();
    dialogAnswers.clear();
}

int ScriptedPromptService::message(QWidget *, const QString &caption, const QString &text,
                                   Icon icon, Buttons buttons, Button)
{
    asked.append(Asked{QStringLiteral("message"), caption, text, icon, buttons, {}});
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
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
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
}

std::optional<PromptService::FileAnswer>
ScriptedPromptService::openFile(QWidget *, const FileRequest &request)
{
    asked.append(Asked{QStringLiteral("open"), request.caption, {}, Icon::None, 0, request});
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.dequeue();
}

std::optional<PromptService::FileAnswer>
ScriptedPromptService::saveFile(QWidget *, const FileRequest &request)
{
    asked.append(Asked{QStringLiteral("save"), request.caption, {}, Icon::None, 0, request});
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.dequeue();
}

std::optional<QString> ScriptedPromptService::chooseDirectory(QWidget *, const QString &caption,
                                                              const QString &title,
                                                              const QString &initialDir)
{
    FileRequest folder;
    folder.initialDir = initialDir;
    asked.append(Asked{QStringLiteral("directory"), caption, title, Icon::None, 0, folder});
    return directoryAnswers.isEmpty() ? std::nullopt : directoryAnswers.dequeue();
}

std::optional<QColor> ScriptedPromptService::chooseColor(QWidget *, const QColor &,
                                                         QList<QColor> *)
{
    asked.append(Asked{QStringLiteral("color"), {}, {}, Icon::None, 0, {}});
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.dequeue();
}

std::optional<PromptService::FontAnswer>
ScriptedPromptService::chooseFont(QWidget *, const FontAnswer &,
                                  const std::function<void(const FontAnswer &)> &)
{
    asked.append(Asked{QStringLiteral("font"), {}, {}, Icon::None, 0, {}});
    return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.dequeue();
}

bool ScriptedPromptService::print(QWidget *, QPrinter *printer)
{
    asked.append(Asked{QStringLiteral("print"), {}, {}, Icon::None, 0, {}});
    const bool ok = printAnswers.isEmpty() ? false : printAnswers.dequeue();
    if (ok && !printToFile.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(printToFile);
    }
    return ok;
}

bool ScriptedPromptService::pageSetup(QWidget *, QPrinter *)
{
    asked.append(Asked{QStringLiteral("pageSetup"), {}, {}, Icon::None, 0, {}});
    return printAnswers.isEmpty() ? false : printAnswers.dequeue();
}

int ScriptedPromptService::exec(QDialog *dialog)
{
    asked.append(Asked{QStringLiteral("exec"), dialog->windowTitle(), dialog->objectName(),
                       Icon::None, 0, {}});
    if (dialogAnswers.isEmpty())
        return QDialog::Rejected;
    return dialogAnswers.dequeue()(dialog);
}

} // namespace bw::test
