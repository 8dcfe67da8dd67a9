#pragma once
// What a document window needs from the program around it: the prompt
// service, the settings (file, root, version and the options as the options
// dialog holds them), the shared save dialog, the other document windows, the
// untitled numbers and the drop handling. The main window implements it;
// StandaloneFrameServices serves a window on its own (tests, tools).

#include "platform/prompt_service.h"
#include "settings/settings_catalogue.h"

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <optional>

class QObject;
class QWidget;

namespace bw::settings {
class Registry;
}

namespace bw::notes {

class RecoveryStore;
struct RecoveryEntry;
class DeleteMessageDialog;
class DocumentWindow;

class FrameServices
{
public:
    virtual ~FrameServices() = default;

    virtual PromptService &prompts() = 0;

    // The settings file, the settings root and the settings version number
    // every settings store binds to.
    virtual settings::Registry &registry() = 0;
    virtual QString settingsRoot() const = 0;
    virtual int storageVersion() const = 0;
    // The program's product name, which the exported pages are signed with.
    // By default the product part of the settings root
    // ("Software\Company\Product\Version"), which is made from it.
    virtual QString productName() const
    {
        return settingsRoot().section(QLatin1Char('\\'), -2, -2);
    }

    // An option as the options dialog holds it now (its stored text form).
    virtual QString optionText(settings::Key key) const = 0;
    // A setting changed outside the options dialog: copied into the dialog's
    // control and written at once.
    virtual void writeOption(settings::Key key, const QString &text) = 0;
    // loadOptions then applyOptions: every document window's
    // DocumentWindow::applyOptions runs, from the last in the list to the first.
    virtual void loadAndApplyOptions() = 0;

    // Creates the document window's commands from the command catalogue as
    // its children (QActions named after the commands, with caption and
    // image). A window asks for no command the catalogue does not give it.
    virtual void createChildCommands(QObject *window) { (void)window; }

    // The shared save dialog, set up from the request; the chosen path, or
    // nothing when cancelled.
    virtual std::optional<QString> executeSaveDialog(QWidget *parent,
                                                     const PromptService::FileRequest &request) = 0;

    // The shared open dialog, set up from the request; the chosen path, or
    // nothing when cancelled.
    virtual std::optional<QString> executeOpenDialog(QWidget *parent,
                                                     const PromptService::FileRequest &request)
    {
        const auto answer = prompts().openFile(parent, request);
        if (!answer || answer->fileName.isEmpty())
            return std::nullopt;
        return answer->fileName;
    }

    // Every document window, from the least recently active to the active one.
    virtual QList<DocumentWindow *> documentWindows() const = 0;
    virtual void documentWindowClosed(DocumentWindow *window) { (void)window; }
    // Brings the window to the front and gives it the focus.
    virtual void activateDocumentWindow(DocumentWindow *window) { (void)window; }
    // The window saved its items to a file chosen in the save dialog and is
    // now that file's window: its caption is the file's path.
    virtual void documentFileNamed(DocumentWindow *window) { (void)window; }
    // An untitled window "NoName<n>" closed, or took a file's name: n (0 to
    // 255) is free again.
    virtual void releaseUntitledNumber(int number) = 0;

    // Files dropped onto a document window's editor. The frame hands the
    // first one to the active document window (DocumentWindow::loadDroppedFile)
    // and then comes to the front.
    virtual void filesDropped(const QStringList &paths) = 0;

    // A picture of the status-bar image list (14 x 14); null when there is none.
    virtual QPixmap statusBarImage(int index) const
    {
        (void)index;
        return QPixmap();
    }

    // A picture of the tree image list (pairs: item, selected item); null
    // when there is none.
    virtual QIcon treeImage(int index) const
    {
        (void)index;
        return QIcon();
    }

    // The font dialog with Apply (colour, underline, strike-out); its Apply
    // button applies the font to the active document window's editor, or
    // beeps when that editor does not have the focus. Nothing on Cancel.
    virtual std::optional<PromptService::FontAnswer>
    executeFontDialog(QWidget *parent, const PromptService::FontAnswer &initial)
    {
        return prompts().chooseFont(parent, initial, {});
    }

    // The delete confirmation created once at start-up and shared by every
    // document window; null: each window makes one of its own.
    virtual DeleteMessageDialog *deleteConfirmation() { return nullptr; }

    // Where the windows keep their recovery copies; null: they keep none.
    virtual RecoveryStore *recoveryStore() { return nullptr; }
    // The recovery copy that the window being created loads instead of its
    // file (it opens as a modified untitled window); null for any other.
    virtual const RecoveryEntry *recoveryToOpen() { return nullptr; }
};

} // namespace bw::notes
