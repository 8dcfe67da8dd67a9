// The search window in the program: created at start-up after the Options
// dialog, hidden until Tools > Search shows it (not modal), asking for files
// through the shared open dialog, with the data module's pictures.

#include "app/application.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "scripted_prompt_service.h"
#include "search/search_grid_model.h"
#include "search_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolButton>

using namespace bw;
using bw::test::ScriptedPromptService;

class tst_SearchFrame : public QObject
{
    Q_OBJECT

private slots:
    void toolsSearchShowsTheStartupWindow()
    {
        auto *app = qobject_cast<Application *>(qApp);
        ScriptedPromptService prompts;
        prompts.answerDialog([](QDialog *) { return int(QDialog::Accepted); }); // logon
        Startup startup(*app, prompts);
        QVERIFY(startup.run());
        search::SearchWindow *window = startup.searchWindow();
        QVERIFY(window);
        QVERIFY(!window->isVisible());
        QVERIFY(!window->navButton("wwDBNavigator1First")->icon().isNull());

        MainWindow *frame = startup.mainWindow();
        frame->show();
        QAction *command = frame->action("actToolsSearch");
        QCOMPARE(command->shortcut(), QKeySequence("Shift+Ctrl+F"));
        command->trigger();
        QVERIFY(window->isVisible());
        QVERIFY(!window->isModal());
        QCOMPARE(window->windowTitle(), QStringLiteral("Search"));

        // Open goes through the shared open dialog, which remembers the folder.
        QTemporaryDir dir;
        const QString file = test::writeNotesFile(dir.filePath("frame.cds"),
                                                  {{0, -1, "only", "{\\rtf1 text\\par}"}});
        prompts.answerFile(file);
        window->btnBrowse()->click();
        QCOMPARE(prompts.asked.last().kind, QStringLiteral("open"));
        QCOMPARE(prompts.asked.last().file.filter, search::kCdsFilter);
        QCOMPARE(window->edFileName()->text(), file);
        QCOMPARE(window->statusPanelText(0), QStringLiteral("Current/All: 1/1"));
        QVERIFY(!window->gridModel()->headerData(0, Qt::Horizontal, Qt::DecorationRole).isNull());
        // A navigator button's status text shows on the main window's status bar.
        QStatusTipEvent tip(QStringLiteral("Inserts new record"));
        QCoreApplication::sendEvent(window->navButton("wwDBNavigator1Insert"), &tip);
        QCOMPARE(frame->statusPanel(0)->text(), QStringLiteral("Inserts new record"));
        QVERIFY(window->close());
        QVERIFY(prompts.dialogAnswers.isEmpty());
        QVERIFY(prompts.fileAnswers.isEmpty());
    }

    void exitAsksAboutSearchWindowChanges_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("exits");
        QTest::addColumn<QString>("savedName"); // in the file afterwards
        QTest::newRow("Yes") << int(PromptService::Yes) << true << "Changed";
        QTest::newRow("No") << int(PromptService::No) << true << "only";
        QTest::newRow("Cancel") << int(PromptService::Cancel) << false << "only";
    }

    // Given a change in the search window, when the program is closed from
    // the main window, then the change is asked about before the program ends.
    void exitAsksAboutSearchWindowChanges()
    {
        QFETCH(int, answer);
        QFETCH(bool, exits);
        QFETCH(QString, savedName);
        auto *app = qobject_cast<Application *>(qApp);
        ScriptedPromptService prompts;
        prompts.answerDialog([](QDialog *) { return int(QDialog::Accepted); }); // logon
        Startup startup(*app, prompts);
        QVERIFY(startup.run());
        MainWindow *frame = startup.mainWindow();
        frame->show();
        frame->action("actToolsSearch")->trigger();
        search::SearchWindow *window = startup.searchWindow();
        QTemporaryDir dir;
        const QString file = test::writeNotesFile(dir.filePath("exit.cds"), {{0, -1, "only", {}}});
        prompts.answerFile(file);
        window->btnBrowse()->click();
        window->navButton("wwDBNavigator1Edit")->click();
        window->wwClientDataSet().setFieldValue("Name", "Changed");
        prompts.answerMessage(answer);
        if (exits) // the exit question
            prompts.answerDialog([](QDialog *) { return int(QDialog::Accepted); });
        QCOMPARE(frame->close(), exits);
        QCOMPARE(prompts.messages(), QStringList{kSaveChangesQuestion.arg(file)});
        QCOMPARE(test::namesIn(file).value(0), savedName);
        QVERIFY(prompts.dialogAnswers.isEmpty());
        if (!exits) {
            prompts.answerMessage(PromptService::No);
            QVERIFY(window->close());
        }
    }
};

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    tst_SearchFrame test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_search_frame.moc"
