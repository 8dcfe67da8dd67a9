// Document windows inside the main window: new file, closing with its save
// question, save all over the frame's windows, a file that cannot be read,
// and files dropped onto the frame.

#include "document/document_window.h"
#include "editor/rich_edit.h"
#include "main_window_fixture.h"
#include "notes/notes_strings.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using namespace bw;
using notes::DocumentWindow;

class tst_DocumentWindowFrame : public QObject, private test::MainWindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newFileAsksOnClose();
    void cancelledSaveDialogKeepsSubWindow();
    void saveAllOverFrameWindows();
    void unreadableFileOpensInert();
    void dropGoesToActiveWindow();

private:
    DocumentWindow *active() const;
    // Runs a command of the frame as the menu does, after the idle update.
    void run(const char *command);
    DocumentWindow *newFile();
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString saveQuestion(const QString &name) const
    {
        return QStringLiteral("Do you want to save changes to \"%1\"?").arg(name);
    }
};

void tst_DocumentWindowFrame::init()
{
    buildMainWindow(nullptr);
    if (QTest::currentTestFailed())
        return;
    m_options->writeImmediate(settings::Key::CommonDisplayExitConfirm_Checked, "False");
    showMainWindow();
    if (QTest::currentTestFailed())
        return;
    m_prompts->clear();
}

void tst_DocumentWindowFrame::cleanup()
{
    // Windows left open close without their questions.
    for (QMdiSubWindow *sub : m_main->mdiArea()->subWindowList())
        delete sub;
    destroyMainWindow();
}

DocumentWindow *tst_DocumentWindowFrame::active() const
{
    return qobject_cast<DocumentWindow *>(m_main->activeDocumentWindow());
}

void tst_DocumentWindowFrame::run(const char *command)
{
    m_main->updateCommands();
    m_main->action(command)->trigger();
}

DocumentWindow *tst_DocumentWindowFrame::newFile()
{
    run("actFileCDSNew");
    return active();
}

void tst_DocumentWindowFrame::newFileAsksOnClose()
{
    DocumentWindow *window = newFile();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("NoName1"));
    QCOMPARE(window->cdsCommon().recordCount(), 1);
    QVERIFY(m_main->documents().untitledNumberTaken(1));
    m_prompts->answerMessage(PromptService::No);
    run("actFileCDSClose");
    QCOMPARE(m_prompts->messages(), QStringList{saveQuestion("NoName1")});
    QTRY_VERIFY(m_main->mdiArea()->subWindowList().isEmpty());
    QVERIFY(!m_main->documents().untitledNumberTaken(1));
}

void tst_DocumentWindowFrame::cancelledSaveDialogKeepsSubWindow()
{
    // Given NoName1, when Yes is answered and the save dialog cancelled,
    // then the window and its number stay.
    newFile();
    m_prompts->answerMessage(PromptService::Yes);
    m_prompts->cancelFile();
    run("actFileCDSClose");
    QCOMPARE(m_prompts->count("save"), 1);
    QCOMPARE(m_main->mdiArea()->subWindowList().size(), 1);
    QVERIFY(m_main->documents().untitledNumberTaken(1));
}

void tst_DocumentWindowFrame::saveAllOverFrameWindows()
{
    newFile();
    DocumentWindow *second = newFile();
    // Both untitled: save all shows their dialogs in activation order.
    m_prompts->answerFile(path("a.cds"));
    m_prompts->answerFile(path("b.cds"));
    second->action("actFileCDSSaveAll")->trigger();
    QCOMPARE(m_prompts->count("save"), 2);
    QCOMPARE(m_prompts->asked.at(0).file.fileName, QStringLiteral("NoName1"));
    QCOMPARE(m_prompts->asked.at(1).file.fileName, QStringLiteral("NoName2"));
    QVERIFY(QFile::exists(path("a.cds")));
    QVERIFY(QFile::exists(path("b.cds")));
}

void tst_DocumentWindowFrame::unreadableFileOpensInert()
{
    QFile bad(path("bad.cds"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a notes file");
    bad.close();
    m_prompts->answerMessage(PromptService::Ok);
    m_main->openDocumentWindow(path("bad.cds"));
    QCOMPARE(m_prompts->messages(), QStringList{notes::kCannotReadWriteFile});
    DocumentWindow *window = active();
    QVERIFY(window);
    QVERIFY(!window->cdsCommon().isActive());
    m_prompts->clear();
    run("actFileCDSClose");
    QTRY_VERIFY(m_main->mdiArea()->subWindowList().isEmpty());
    QCOMPARE(m_prompts->asked.size(), 0);
}

void tst_DocumentWindowFrame::dropGoesToActiveWindow()
{
    QFile file(path("dropped.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Dropped onto the frame");
    file.close();
    newFile();
    DocumentWindow *window = newFile();
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "x");
    m_prompts->answerMessage(PromptService::Cancel);
    emit window->editor()->filesDropped({path("dropped.txt")});
    QCOMPARE(m_prompts->messages(), QStringList{saveQuestion(notes::kFirstItemName)});
    QVERIFY(window->editor()->toPlainText().startsWith("x"));

    m_prompts->answerMessage(PromptService::Yes);
    m_main->filesDropped({path("dropped.txt")});
    QCOMPARE(window->editor()->toPlainText(), QStringLiteral("Dropped onto the frame"));
    // The typed change was posted before the file replaced the document.
    window->cdsCommon().cancel();
    QVERIFY(window->cdsCommon().asString(notes::kFieldDescription).contains("x"));
}

QTEST_MAIN(tst_DocumentWindowFrame)
#include "tst_document_window_frame.moc"
