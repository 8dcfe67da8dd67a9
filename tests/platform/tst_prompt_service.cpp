#include "platform/prompt_service.h"
#include "scripted_prompt_service.h"

#include <QDialog>
#include <QTest>

using bw::PromptService;

class tst_PromptService : public QObject
{
    Q_OBJECT
private slots:
    void qtFilter_data();
    void qtFilter();
    void scriptedAnswersInOrder();
    void strictScript();
    void unexpectedQuestionFailsTest();
    void unusedAnswerFailsTest();
};

void tst_PromptService::qtFilter_data()
{
    QTest::addColumn<QString>("pipe");
    QTest::addColumn<QString>("qt");
    QTest::newRow("notes") << "Notes Files (*.cds)|*.cds|All Files (*.*)|*.*"
                           << "Notes Files (*.cds);;All Files (*)";
    QTest::newRow("label without patterns") << "Text|*.txt;*.csv"
                                            << "Text (*.txt *.csv)";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_PromptService::qtFilter()
{
    QFETCH(QString, pipe);
    QFETCH(QString, qt);
    QCOMPARE(PromptService::qtFilter(pipe), qt);
}

void tst_PromptService::scriptedAnswersInOrder()
{
    bw::test::ScriptedPromptService prompts;
    prompts.answerMessage(PromptService::No);
    prompts.answerMessage(PromptService::Yes);
    prompts.cancelFile();
    const auto ask = [&](const QString &text) {
        return prompts.message(nullptr, "Cap", text, PromptService::Icon::Question,
                               PromptService::Yes | PromptService::No | PromptService::Cancel);
    };
    QCOMPARE(ask("First?"), int(PromptService::No));
    QCOMPARE(ask("Second?"), int(PromptService::Yes));
    QVERIFY(!prompts.saveFile(nullptr, {}).has_value());
    QCOMPARE(prompts.messages(), QStringList({"First?", "Second?"}));
    QCOMPARE(prompts.count("save"), 1);
}

// Given a script, when a question comes that it has no answer for, or the
// service ends with answers unused, then each is reported as a violation.
void tst_PromptService::strictScript()
{
    QStringList violations;
    {
        bw::test::ScriptedPromptService prompts;
        prompts.reportViolation = [&](const QString &what) { violations << what; };
        // Unscripted questions get the cancel answer of their kind.
        QCOMPARE(prompts.message(nullptr, "Confirm", "Delete?", PromptService::Icon::Question,
                                 PromptService::Yes | PromptService::No),
                 int(PromptService::No));
        QVERIFY(!prompts.input(nullptr, "Rename", "Name:", "x").has_value());
        PromptService::FileRequest open;
        open.caption = "Open";
        open.fileName = "a.cds";
        QVERIFY(!prompts.openFile(nullptr, open).has_value());
        QDialog dialog;
        dialog.setWindowTitle("Options");
        QCOMPARE(prompts.exec(&dialog), int(QDialog::Rejected));
        QCOMPARE(violations, QStringList({"Unexpected message box \"Confirm\": \"Delete?\"",
                                          "Unexpected input box \"Rename\": \"Name:\"",
                                          "Unexpected open dialog \"Open\": \"a.cds\"",
                                          "Unexpected dialog \"Options\": \"\""}));
        violations.clear();
        prompts.answerMessage(PromptService::Ok);
        prompts.answerFile("b.cds");
        prompts.answerFile("c.cds");
        QVERIFY(prompts.saveFile(nullptr, {}).has_value());
        // clear() forgets what was asked, not what is still to be answered.
        prompts.clear();
        QVERIFY(prompts.asked.isEmpty());
    }
    QCOMPARE(violations, QStringList({"Scripted answers left unused: 1 message, 1 file"}));
}

// Run by CTest with a pattern that expects the test to fail: the default
// report fails the running test.
void tst_PromptService::unexpectedQuestionFailsTest()
{
    if (qEnvironmentVariableIsEmpty("BW_EXPECT_FAILURE"))
        QSKIP("run by its own CTest entry");
    bw::test::ScriptedPromptService prompts;
    prompts.message(nullptr, "Confirm", "Unscripted?", PromptService::Icon::Question,
                    PromptService::Yes | PromptService::No);
}

void tst_PromptService::unusedAnswerFailsTest()
{
    if (qEnvironmentVariableIsEmpty("BW_EXPECT_FAILURE"))
        QSKIP("run by its own CTest entry");
    bw::test::ScriptedPromptService prompts;
    prompts.answerMessage(PromptService::Yes);
}

QTEST_MAIN(tst_PromptService)
#include "tst_prompt_service.moc"
