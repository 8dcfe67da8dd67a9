// The import and export dialogs' entries from the event loop are guarded: a
// folder dialog that fails under the export dialog's Browse is reported and
// the dialog goes on; the progress window's Cancel and close mean Cancel.

#include "document/export_dialog.h"
#include "document/progress_window.h"
#include "platform/guarded_dispatch.h"
#include "scripted_prompt_service.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <stdexcept>

using namespace bw;

namespace {

class FailingFolderPrompts : public test::ScriptedPromptService
{
public:
    bool fail = false;
    std::optional<QString> chooseDirectory(QWidget *parent, const QString &caption,
                                           const QString &title, const QString &initialDir) override
    {
        if (fail)
            throw std::runtime_error("folder dialog failed");
        return ScriptedPromptService::chooseDirectory(parent, caption, title, initialDir);
    }
};

} // namespace

class tst_IoDialogsWindow : public QObject
{
    Q_OBJECT

private slots:
    void throwingBrowseKeepsExportDialog();
    void progressCancelAndCloseCancel();
};

void tst_IoDialogsWindow::throwingBrowseKeepsExportDialog()
{
    QStringList errors;
    ExceptionHandlerScope scope([&](std::exception_ptr error) { errors << exceptionText(error); });
    FailingFolderPrompts prompts;
    io::ExportDialog dialog(prompts);
    dialog.show();
    prompts.fail = true;
    QTest::mouseClick(dialog.btnBrowse, Qt::LeftButton);
    QCOMPARE(errors, QStringList{"folder dialog failed"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.folderName(), QString());
    prompts.fail = false;
    prompts.directoryAnswers.enqueue(QStringLiteral("/tmp/exported"));
    QTest::mouseClick(dialog.btnBrowse, Qt::LeftButton);
    QCOMPARE(dialog.folderName(), QStringLiteral("/tmp/exported"));
    QCOMPARE(errors.size(), 1);
}

void tst_IoDialogsWindow::progressCancelAndCloseCancel()
{
    for (const bool byClose : {false, true}) {
        io::ProgressWindow progress(QStringLiteral("Import"));
        progress.show();
        if (byClose)
            progress.close();
        else
            QTest::mouseClick(progress.btnCancel, Qt::LeftButton);
        QVERIFY(progress.Cancelled);
        // The running loop closes the window, not the user.
        QVERIFY(progress.isVisible());
    }
}

QTEST_MAIN(tst_IoDialogsWindow)
#include "tst_io_dialogs_window.moc"
