// The file dialogs of the real prompt service: open and save list hidden
// files, the folder dialog carries its caption and its title.

#include "platform/prompt_service.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
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
    void defaultExtensionFollowsFilter_data();
    void defaultExtensionFollowsFilter();
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

void tst_FileDialogs::defaultExtensionFollowsFilter_data()
{
    QTest::addColumn<int>("requested"); // the filter the request selects
    QTest::addColumn<int>("downs");     // filters moved down in the dialog by the user
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("filterIndex");
    QTest::newRow("first filter") << 1 << 0 << "Travel notes"
                                  << "Travel notes.cds" << 1;
    QTest::newRow("All Files chosen") << 1 << 1 << "Travel notes"
                                      << "Travel notes" << 2;
    QTest::newRow("All Files requested") << 2 << 0 << "Travel notes"
                                         << "Travel notes" << 2;
    QTest::newRow("back to the first") << 2 << -1 << "Travel notes"
                                       << "Travel notes.cds" << 1;
    QTest::newRow("own extension") << 1 << 0 << "Travel notes.bin"
                                   << "Travel notes.bin" << 1;
}

// Given a save dialog with the default extension "cds", when a name is typed
// under one filter or another, then only the notes filter adds ".cds".
void tst_FileDialogs::defaultExtensionFollowsFilter()
{
    QFETCH(int, requested);
    QFETCH(int, downs);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QTemporaryDir dir;
    DialogPromptService prompts;
    PromptService::FileRequest request;
    request.initialDir = dir.path();
    request.filter = QStringLiteral("Client DataSet (*.cds)|*.cds|All Files (*.*)|*.*");
    request.filterIndex = requested;
    request.defaultExt = QStringLiteral("cds");
    bool found = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        found = true;
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!types || !name) {
            dialog->reject();
            return;
        }
        for (int i = 0; i < qAbs(downs); ++i)
            QTest::keyClick(types, downs > 0 ? Qt::Key_Down : Qt::Key_Up);
        name->setText(typed);
        QMetaObject::invokeMethod(dialog, "accept"); // as the Save button does
    });
    const auto answer = prompts.saveFile(nullptr, request);
    QVERIFY(found);
    QVERIFY(answer);
    QCOMPARE(QFileInfo(answer->fileName).fileName(), saved);
    QTEST(answer->filterIndex, "filterIndex");
}

QTEST_MAIN(tst_FileDialogs)
#include "tst_file_dialogs.moc"
