#include "platform/prompt_service.h"
#include "scripted_prompt_service.h"

#include <QTest>

using bw::PromptService;

class tst_PromptService : public QObject
{
    Q_OBJECT
private slots:
    void qtFilter_data();
    void qtFilter();
    void scriptedAnswersInOrder();
};

void tst_PromptService::qtFilter_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("qt");
    QTest::newRow("notes") << "Notes Files (*.cds)|*.cds|All Files (*.*)|*.*"
                           << "Notes Files (*.cds);;All Files (*)";
    QTest::newRow("label without patterns") << "Text|*.txt;*.csv"
                                            << "Text (*.txt *.csv)";
    QTest::newRow("empty") << "" << "";
}

void tst_PromptService::qtFilter()
{
    QFETCH(QString, design);
    QFETCH(QString, qt);
    QCOMPARE(PromptService::qtFilter(design), qt);
}

void tst_PromptService::scriptedAnswersInOrder()
{
    bw::test::ScriptedPromptService prompts;
    prompts.answerMessage(PromptService::No);
    QCOMPARE(prompts.message(nullptr, "Cap", "First?", PromptService::Icon::Question,
                             PromptService::Yes | PromptService::No | PromptService::Cancel),
             int(PromptService::No));
    // Unscripted: the cancel answer of its kind.
    QCOMPARE(prompts.message(nullptr, "Cap", "Second?", PromptService::Icon::Question,
                             PromptService::Yes | PromptService::No | PromptService::Cancel),
             int(PromptService::Cancel));
    QVERIFY(!prompts.saveFile(nullptr, {}).has_value());
    QCOMPARE(prompts.messages(), QStringList({"First?", "Second?"}));
    QCOMPARE(prompts.count("save"), 1);
}

QTEST_MAIN(tst_PromptService)
#include "tst_prompt_service.moc"
