#include "prompt_service.h"

#include "font_dialog.h"
#include "platform/guarded_dispatch.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace bw {

int PromptService::askSaveChanges(QWidget *parent, const QString &caption, const QString &name)
{
    return message(parent, caption, kSaveChangesQuestion.arg(name), Icon::Question,
                   Yes | No | Cancel, Yes);
}

QString PromptService::qtFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*.*" means every file on Windows; Qt's equivalent is "*".
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        label.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        if (label.contains(QLatin1Char('(')))
            filters << label;
        else
            filters << QStringLiteral("%1 (%2)").arg(label, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

QMessageBox::StandardButton toStandard(int button)
{
    switch (button) {
    case PromptService::Ok:
        return QMessageBox::Ok;
    case PromptService::Cancel:
        return QMessageBox::Cancel;
    case PromptService::Yes:
        return QMessageBox::Yes;
    case PromptService::No:
        return QMessageBox::No;
    case PromptService::Abort:
        return QMessageBox::Abort;
    case PromptService::Retry:
        return QMessageBox::Retry;
    case PromptService::Ignore:
        return QMessageBox::Ignore;
    case PromptService::YesToAll:
        return QMessageBox::YesToAll;
    case PromptService::NoToAll:
        return QMessageBox::NoToAll;
    default:
        return QMessageBox::NoButton;
    }
}

QMessageBox::Icon toIcon(PromptService::Icon icon)
{
    switch (icon) {
    case PromptService::Icon::Information:
        return QMessageBox::Information;
    case PromptService::Icon::Warning:
        return QMessageBox::Warning;
    case PromptService::Icon::Error:
        return QMessageBox::Critical;
    case PromptService::Icon::Question:
        return QMessageBox::Question;
    case PromptService::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Index (1-based) of the chosen Qt filter among the pipe filter's entries.
int filterIndexOf(const QString &qtFilters, const QString &selected)
{
    const QStringList list = qtFilters.split(QStringLiteral(";;"));
    const int i = list.indexOf(selected);
    return i < 0 ? 1 : i + 1;
}

QString selectedFilter(const PromptService::FileRequest &r, const QString &qtFilters)
{
    const QStringList list = qtFilters.split(QStringLiteral(";;"));
    const int i = r.filterIndex - 1;
    return i >= 0 && i < list.size() ? list[i] : QString();
}

// Whether a Qt name filter ("All Files (*)") lets every file through.
bool listsEveryFile(const QString &nameFilter)
{
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    const QString patterns =
        open >= 0 && close > open ? nameFilter.mid(open + 1, close - open - 1) : nameFilter;
    return patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts).contains(QStringLiteral("*"));
}

// The default extension is added to a name typed without one, but not while a
// filter for every file is chosen: there the name is saved as typed.
void useDefaultSuffix(QFileDialog &dialog, const QString &ext, const QString &selected)
{
    auto apply = [&dialog, ext](const QString &nameFilter) {
        dialog.setDefaultSuffix(listsEveryFile(nameFilter) ? QString() : ext);
    };
    guardedConnect(&dialog, &QFileDialog::filterSelected, &dialog, apply);
    apply(selected);
}

// Files whose names begin with a dot are listed like the others.
void showHiddenFiles(QFileDialog &dialog)
{
    dialog.setFilter(dialog.filter() | QDir::Hidden);
}

QString startPath(const PromptService::FileRequest &r)
{
    if (r.fileName.isEmpty())
        return r.initialDir;
    if (QFileInfo(r.fileName).isAbsolute() || r.initialDir.isEmpty())
        return r.fileName;
    return r.initialDir + QLatin1Char('/') + r.fileName;
}

} // namespace

int DialogPromptService::message(QWidget *parent, const QString &caption, const QString &text,
                                 Icon icon, Buttons buttons, Button defaultButton)
{
    QMessageBox box(toIcon(icon), caption, text, QMessageBox::NoButton, parent);
    const int all[] = {Yes, No, Ok, Cancel, Abort, Retry, Ignore, YesToAll, NoToAll};
    for (int b : all)
        if (buttons & b)
            box.addButton(toStandard(b));
    if (defaultButton != NoButton)
        box.setDefaultButton(toStandard(defaultButton));
    const auto result = static_cast<QMessageBox::StandardButton>(box.exec());
    for (int b : all)
        if (toStandard(b) == result)
            return b;
    return Cancel;
}

std::optional<QString> DialogPromptService::input(QWidget *parent, const QString &caption,
                                                  const QString &label, const QString &value)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, caption, label, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<PromptService::FileAnswer> DialogPromptService::openFile(QWidget *parent,
                                                                       const FileRequest &r)
{
    const QString filters = qtFilter(r.filter);
    QString selected = selectedFilter(r, filters);
    QFileDialog dialog(parent, r.caption, startPath(r), filters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(r.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    showHiddenFiles(dialog);
    if (!selected.isEmpty())
        dialog.selectNameFilter(selected);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileAnswer{dialog.selectedFiles().first(),
                      filterIndexOf(filters, dialog.selectedNameFilter())};
}

std::optional<PromptService::FileAnswer> DialogPromptService::saveFile(QWidget *parent,
                                                                       const FileRequest &r)
{
    const QString filters = qtFilter(r.filter);
    QString selected = selectedFilter(r, filters);
    QFileDialog dialog(parent, r.caption, startPath(r), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    showHiddenFiles(dialog);
    if (!r.promptOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!selected.isEmpty())
        dialog.selectNameFilter(selected);
    if (!r.defaultExt.isEmpty())
        useDefaultSuffix(dialog, r.defaultExt, dialog.selectedNameFilter());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileAnswer{dialog.selectedFiles().first(),
                      filterIndexOf(filters, dialog.selectedNameFilter())};
}

std::optional<QString> DialogPromptService::chooseDirectory(QWidget *parent, const QString &caption,
                                                            const QString &title,
                                                            const QString &initialDir)
{
    QFileDialog dialog(parent, caption, initialDir);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // The title stands where the dialog names the folder being looked in.
    dialog.setLabelText(QFileDialog::LookIn, title);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QColor> DialogPromptService::chooseColor(QWidget *parent, const QColor &initial,
                                                       QList<QColor> *customColors)
{
    if (customColors) {
        for (int i = 0; i < customColors->size() && i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, customColors->at(i));
    }
    const QColor c = QColorDialog::getColor(initial, parent);
    if (customColors) {
        for (int i = 0; i < customColors->size() && i < QColorDialog::customCount(); ++i)
            (*customColors)[i] = QColorDialog::customColor(i);
    }
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<PromptService::FontAnswer>
DialogPromptService::chooseFont(QWidget *parent, const FontAnswer &initial,
                                const std::function<void(const FontAnswer &)> &apply)
{
    FontDialog dialog(parent);
    dialog.setChoice(initial.font, initial.color);
    if (apply)
        guardedConnect(&dialog, &FontDialog::applied, &dialog, [&] {
            apply(FontAnswer{dialog.chosenFont(), dialog.chosenColor()});
        });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontAnswer{dialog.chosenFont(), dialog.chosenColor()};
}

bool DialogPromptService::print(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool DialogPromptService::pageSetup(QWidget *parent, QPrinter *printer)
{
    QPageSetupDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

int DialogPromptService::exec(QDialog *dialog)
{
    return dialog->exec();
}

} // namespace bw
