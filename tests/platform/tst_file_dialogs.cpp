// The file dialogs of the real prompt service: open and save list hidden
// files, the folder dialog carries its caption and its title.

#include "platform/prompt_service.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace bw;

class tst_FileDialogs : public QObject
{
    Q_OBJECT

private slots:
    void openAndSaveShowHiddenFiles_data();
    void openAndSaveShowHiddenFiles();
    void folderDialogTitle();
};

namespace {

struct Seen
{
    bool found = false;
    QDir::Filters filter;
    QString caption;
    QString lookIn;
    QStringList labels;
};

// Looks at the modal file dialog once it is up, then cancels it.
void inspectAndCancel(Seen *seen)
{
    QTimer::singleShot(0, [seen] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen->found = true;
        seen->filter = dialog->filter();
        seen->caption = dialog->windowTitle();
        seen->lookIn = dialog->labelText(QFileDialog::LookIn);
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            if (label->isVisible())
                seen->labels << label->text();
        dialog->reject();
    });
}

} // namespace

void tst_FileDialogs::openAndSaveShowHiddenFiles_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("open") << false;
    QTest::newRow("save") << true;
}

void tst_FileDialogs::openAndSaveShowHiddenFiles()
{
    QFETCH(bool, save);
    QTemporaryDir dir;
    DialogPromptService prompts;
    PromptService::FileRequest request;
    request.caption = save ? QStringLiteral("Save As") : QStringLiteral("Open");
    request.initialDir = dir.path();
    request.filter = QStringLiteral("Client DataSet (*.cds)|*.cds|All Files (*.*)|*.*");
    Seen seen;
    inspectAndCancel(&seen);
    const auto answer =
        save ? prompts.saveFile(nullptr, request) : prompts.openFile(nullptr, request);
    QVERIFY(!answer);
    QVERIFY(seen.found);
    QVERIFY(seen.filter & QDir::Hidden);
    QCOMPARE(seen.caption, request.caption);
}

void tst_FileDialogs::folderDialogTitle()
{
    QTemporaryDir dir;
    DialogPromptService prompts;
    Seen seen;
    inspectAndCancel(&seen);
    QVERIFY(!prompts.chooseDirectory(nullptr, QStringLiteral("Browse For Folder"),
                                     QStringLiteral("Choose a Folder:"), dir.path()));
    QVERIFY(seen.found);
    QCOMPARE(seen.caption, QStringLiteral("Browse For Folder"));
    QCOMPARE(seen.lookIn, QStringLiteral("Choose a Folder:"));
    QVERIFY2(seen.labels.contains(QStringLiteral("Choose a Folder:")),
             qPrintable(seen.labels.join('|')));
}

QTEST_MAIN(tst_FileDialogs)
#include "tst_file_dialogs.moc"
