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
};

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    tst_SearchFrame test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_search_frame.moc"
