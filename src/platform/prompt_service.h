#pragma once
// Every message box and modal question of the program goes through a
// PromptService, so windows never call QMessageBox or QFileDialog directly and
// tests can script every answer (see tests/support/scripted_prompt_service.h).

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace bw {

// The question before unsaved changes would go (%1, the file or item).
inline const QString kSaveChangesQuestion =
    QStringLiteral("Do you want to save changes to \"%1\"?");

class PromptService
{
public:
    enum class Icon { None, Information, Warning, Error, Question };

    // Buttons and results of a message box.
    enum Button {
        NoButton = 0,
        Ok = 0x1,
        Cancel = 0x2,
        Yes = 0x4,
        No = 0x8,
        Abort = 0x10,
        Retry = 0x20,
        Ignore = 0x40,
        YesToAll = 0x80,
        NoToAll = 0x100,
    };
    using Buttons = int;

    struct FileRequest
    {
        QString caption;
        QString initialDir;
        QString fileName;    // proposed name
        QString filter;      // pipe form "Text (*.a)|*.a|All Files (*.*)|*.*"
        int filterIndex = 1; // 1-based, among the filter's entries
        QString defaultExt;
        bool mustExist = true;       // open: only existing files
        bool promptOverwrite = true; // save: ask before replacing
    };
    struct FileAnswer
    {
        QString fileName;
        int filterIndex = 1;
    };

    struct FontAnswer
    {
        QFont font;
        QColor color;
    };

    virtual ~PromptService() = default;

    // A message box; returns the button pressed (Cancel when closed otherwise).
    virtual int message(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                        Buttons buttons, Button defaultButton = NoButton) = 0;

    // The question every window asks before unsaved changes would go:
    // "Do you want to save changes to "NAME"?", Yes (the default), No, Cancel.
    int askSaveChanges(QWidget *parent, const QString &caption, const QString &name);

    // A one-line input; nullopt when cancelled.
    virtual std::optional<QString> input(QWidget *parent, const QString &caption,
                                         const QString &label, const QString &value) = 0;

    virtual std::optional<FileAnswer> openFile(QWidget *parent, const FileRequest &request) = 0;
    virtual std::optional<FileAnswer> saveFile(QWidget *parent, const FileRequest &request) = 0;
    // A folder; caption is the window's caption, title the text above the
    // folders.
    virtual std::optional<QString> chooseDirectory(QWidget *parent, const QString &caption,
                                                   const QString &title,
                                                   const QString &initialDir) = 0;

    // customColors holds the shared custom colours; the dialog may change them.
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial,
                                              QList<QColor> *customColors) = 0;

    // Font with colour, underline and strike-out; apply is called by the
    // dialog's Apply button with the current choice.
    virtual std::optional<FontAnswer>
    chooseFont(QWidget *parent, const FontAnswer &initial,
               const std::function<void(const FontAnswer &)> &apply) = 0;

    virtual bool print(QWidget *parent, QPrinter *printer) = 0;
    virtual bool pageSetup(QWidget *parent, QPrinter *printer) = 0;

    // Runs one of the program's own modal dialogs and returns its result code.
    virtual int exec(QDialog *dialog) = 0;

    // The pipe form of a filter, "A (*.a)|*.a|B (*.*)|*.*", as Qt's "A (*.a);;B (*)".
    static QString qtFilter(const QString &pipeFilter);
};

// The real service: Qt's standard dialogs and our own font dialog.
class DialogPromptService : public PromptService
{
public:
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
};

} // namespace bw
