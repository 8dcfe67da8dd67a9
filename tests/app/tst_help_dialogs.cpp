// The exit confirmation, the Tip of the Day and the About box, and the Help
// menu's links.
#include "app/about_dialog.h"
#include "app/app_strings.h"
#include "app/exit_msg_dialog.h"
#include "app/help_commands.h"
#include "app/options_access.h"
#include "app/tip_dialog.h"
#include "app/version_info.h"
#include "program_cursor.h"
#include "scripted_prompt_service.h"

#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

using namespace bw;
using bw::settings::Key;
using bw::test::ScriptedPromptService;

namespace {

// The Options dialog as these dialogs see it: its check boxes and its section.
class FakeOptions : public OptionsAccess
{
public:
    QHash<Key, bool> checked{{Key::CommonDisplayExitConfirm_Checked, true},
                             {Key::DisplayTipOfTheDayAtStartup_Checked, true}};
    QHash<Key, QString> stored;
    QStringList writes; // "<value name>=<text>" in order

    bool isChecked(Key key) const override { return checked.value(key); }
    void writeImmediate(Key key, const QString &text) override
    {
        checked[key] = text == QLatin1String("True");
        writeValue(key, text);
    }
    QString readValue(Key key) const override
    {
        return stored.value(key, settings::defaultText(key));
    }
    void writeValue(Key key, const QString &text) override
    {
        stored[key] = text;
        writes << settings::valueName(key) + QLatin1Char('=') + text;
    }
};

class RecordingOpener : public UrlOpener
{
public:
    QList<QUrl> opened;
    bool open(const QUrl &url) override
    {
        opened << url;
        return false; // no handler: nothing may be reported
    }
};

using Script = std::function<int(QDialog *)>;

VersionFields version()
{
    VersionFields v;
    v.companyName = QStringLiteral("ORV");
    v.productName = QStringLiteral("Bramblewick 2000");
    v.fileVersion = QStringLiteral("4.0.4.0");
    v.legalCopyright = QStringLiteral("Copyright \u00a9 2003 ORV");
    return v;
}

QRect geometryOf(const QWidget *w)
{
    return w->geometry();
}

} // namespace

class tst_HelpDialogs : public QObject
{
    Q_OBJECT

private slots:
    void exitConfirmation_data();
    void exitConfirmation();
    void exitConfirmationOffAsksNothing();
    void exitDialogLayout();
    void tipStartsAtStoredIndex_data();
    void tipStartsAtStoredIndex();
    void nextTipCyclesAndStoresFollowingIndex();
    void tipStartupSwitchIsWrittenHoweverDialogEnds_data();
    void tipStartupSwitchIsWrittenHoweverDialogEnds();
    void tipTexts();
    void aboutBox();
    void mailAndHomePage();
};

void tst_HelpDialogs::exitConfirmation_data()
{
    QTest::addColumn<Script>("answer");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("mayClose");
    QTest::addColumn<QString>("written");

    auto click = [](const char *button) {
        return Script([button](QDialog *d) {
            d->findChild<QPushButton *>(QLatin1String(button))->click();
            return d->result();
        });
    };
    auto key = [](Qt::Key k) {
        return Script([k](QDialog *d) {
            d->show();
            QTest::keyClick(d, k);
            return d->result();
        });
    };
    const Script closeButton = [](QDialog *d) {
        d->show();
        d->close();
        return d->result();
    };
    QTest::newRow("Yes") << click("btnYes") << false << true << "True";
    QTest::newRow("No") << click("btnNo") << false << false << "True";
    QTest::newRow("No, don't show again") << click("btnNo") << true << false << "False";
    QTest::newRow("Yes, don't show again") << click("btnYes") << true << true << "False";
    QTest::newRow("Enter is Yes") << key(Qt::Key_Return) << false << true << "True";
    QTest::newRow("Esc is No") << key(Qt::Key_Escape) << false << false << "True";
    QTest::newRow("window closed") << closeButton << true << true << "False";
}

void tst_HelpDialogs::exitConfirmation()
{
    QFETCH(Script, answer);
    QFETCH(bool, tick);
    QFETCH(bool, mayClose);
    QFETCH(QString, written);

    ScriptedPromptService prompts;
    prompts.answerDialog([&](QDialog *d) {
        auto *box = d->findChild<QCheckBox *>(QStringLiteral("cbDontShowThisMsgAgain"));
        if (!box || box->isChecked())
            return -1;
        box->setChecked(tick);
        return answer(d);
    });
    FakeOptions options;
    QCOMPARE(confirmExit(prompts, nullptr, options), mayClose);
    QCOMPARE(prompts.count(QStringLiteral("exec")), 1);
    QCOMPARE(prompts.asked.first().caption, QStringLiteral("Confirm"));
    QCOMPARE(options.writes, QStringList{"CommonDisplayExitConfirm_Checked=" + written});
    QCOMPARE(options.isChecked(Key::CommonDisplayExitConfirm_Checked), written == "True");
}

// Given "Don't Show This Message Again" was ticked, the next close asks nothing.
void tst_HelpDialogs::exitConfirmationOffAsksNothing()
{
    ScriptedPromptService prompts;
    FakeOptions options;
    options.checked[Key::CommonDisplayExitConfirm_Checked] = false;
    QVERIFY(confirmExit(prompts, nullptr, options));
    QCOMPARE(prompts.count(QStringLiteral("exec")), 0);
    QVERIFY(options.writes.isEmpty());
}

void tst_HelpDialogs::exitDialogLayout()
{
    ExitMessageDialog dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirm"));
    QCOMPARE(dialog.lbMessage->text(), QStringLiteral("Do you want to eXit"));
    QCOMPARE(dialog.btnYes->text(), QStringLiteral("&Yes"));
    QCOMPARE(dialog.btnNo->text(), QStringLiteral("&No"));
    QCOMPARE(dialog.cbDontShowThisMsgAgain->text(),
             QStringLiteral("Don't Show This Message Again"));
    QVERIFY(!dialog.cbDontShowThisMsgAgain->isChecked());
    QVERIFY(dialog.btnYes->isDefault());
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());

    QCOMPARE(geometryOf(dialog.imgIcon).left(), 8);
    QCOMPARE(geometryOf(dialog.lbMessage).left(), 48);
    QCOMPARE(geometryOf(dialog.imgQuestion).left(), geometryOf(dialog.lbMessage).right() + 1);
    const int ruleWidth = geometryOf(dialog.imgQuestion).right() + 1 + 48;
    QVERIFY(dialog.width() >= ruleWidth);
    if (geometryOf(dialog.cbDontShowThisMsgAgain).right() + 1 + 8 <= ruleWidth)
        QCOMPARE(dialog.width(), ruleWidth);
    QCOMPARE(geometryOf(dialog.btnYes).left(), dialog.width() / 2 - dialog.btnYes->width() - 8);
    QCOMPARE(geometryOf(dialog.btnNo).left(), geometryOf(dialog.btnYes).right() + 1 + 8);
    QCOMPARE(geometryOf(dialog.imgCheck).left(), 8);
    QCOMPARE(geometryOf(dialog.cbDontShowThisMsgAgain).left(), 24);
    QVERIFY(geometryOf(dialog.cbDontShowThisMsgAgain).right() < dialog.width());
    QVERIFY(geometryOf(dialog.cbDontShowThisMsgAgain).bottom() < dialog.height());
}

void tst_HelpDialogs::tipStartsAtStoredIndex_data()
{
    QTest::addColumn<QString>("stored"); // "-" for no value
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("written");
    QTest::newRow("first start") << "-" << 0 << "1";
    QTest::newRow("1") << "1" << 1 << "2";
    QTest::newRow("last tip") << "10" << 10 << "11";
    QTest::newRow("11 starts over") << "11" << 0 << "1";
    QTest::newRow("negative") << "-3" << 0 << "1";
    QTest::newRow("empty") << "" << 0 << "1";
    QTest::newRow("no number") << "abc" << 0 << "1";
}

void tst_HelpDialogs::tipStartsAtStoredIndex()
{
    QFETCH(QString, stored);
    QFETCH(int, first);
    QFETCH(QString, written);
    FakeOptions options;
    if (stored != QLatin1String("-"))
        options.stored[Key::TipOfTheDayState] = stored;
    ScriptedPromptService prompts;
    QString shown;
    prompts.answerDialog([&](QDialog *d) {
        shown = d->findChild<QLabel *>(QStringLiteral("lbTip"))->text();
        d->findChild<QPushButton *>(QStringLiteral("btnOk"))->click();
        return d->result();
    });
    showTipOfTheDay(prompts, nullptr, options);
    QCOMPARE(prompts.asked.first().caption, QStringLiteral("Tip of the Day"));
    QCOMPARE(shown, tipOfTheDay(first));
    QCOMPARE(options.stored.value(Key::TipOfTheDayState), written);
}

void tst_HelpDialogs::nextTipCyclesAndStoresFollowingIndex()
{
    FakeOptions options;
    ScriptedPromptService prompts;
    QStringList shown;
    prompts.answerDialog([&](QDialog *d) {
        auto *tip = d->findChild<QLabel *>(QStringLiteral("lbTip"));
        auto *next = d->findChild<QPushButton *>(QStringLiteral("btnNext"));
        shown << tip->text();
        for (int i = 0; i < 11; ++i) {
            next->click();
            shown << tip->text();
        }
        return int(QDialog::Accepted);
    });
    showTipOfTheDay(prompts, nullptr, options);
    QStringList expected;
    for (int i = 0; i < 11; ++i)
        expected << tipOfTheDay(i);
    expected << tipOfTheDay(0);
    QCOMPARE(shown, expected);
    QCOMPARE(options.stored.value(Key::TipOfTheDayState), QStringLiteral("1"));
}

void tst_HelpDialogs::tipStartupSwitchIsWrittenHoweverDialogEnds_data()
{
    QTest::addColumn<bool>("optionBefore");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("escape");
    QTest::newRow("untick, Esc") << true << false << true;
    QTest::newRow("untick, Ok") << true << false << false;
    QTest::newRow("keep ticked, Esc") << true << true << true;
    QTest::newRow("tick again, Ok") << false << true << false;
}

void tst_HelpDialogs::tipStartupSwitchIsWrittenHoweverDialogEnds()
{
    QFETCH(bool, optionBefore);
    QFETCH(bool, tick);
    QFETCH(bool, escape);
    FakeOptions options;
    options.checked[Key::DisplayTipOfTheDayAtStartup_Checked] = optionBefore;
    ScriptedPromptService prompts;
    bool boxAtShow = !optionBefore;
    prompts.answerDialog([&](QDialog *d) {
        auto *box = d->findChild<QCheckBox *>(QStringLiteral("DisplayTipOfTheDayAtStartup"));
        boxAtShow = box->isChecked();
        box->setChecked(tick);
        d->show();
        QTest::keyClick(d, escape ? Qt::Key_Escape : Qt::Key_Return);
        return d->result();
    });
    showTipOfTheDay(prompts, nullptr, options);
    QCOMPARE(boxAtShow, optionBefore);
    const QString text = tick ? QStringLiteral("True") : QStringLiteral("False");
    QCOMPARE(options.writes, (QStringList{"DisplayTipOfTheDayAtStartup_Checked=" + text,
                                          QStringLiteral("TipOfTheDayState=1")}));
    QCOMPARE(options.isChecked(Key::DisplayTipOfTheDayAtStartup_Checked), tick);
}

void tst_HelpDialogs::tipTexts()
{
    const QString home = loadStr(StrId::HomePageAddress);
    QCOMPARE(tipOfTheDay(0),
             "ORV is the hub of a family of products. Visit " + home + " to read about the it.");
    QCOMPARE(tipOfTheDay(1), "Visit " + home +
                                 "  often to check for updates, tutorials, and plug-ins for "
                                 "Bramblewick.");
    QCOMPARE(tipOfTheDay(10), QStringLiteral("Depends of witch version you are running, the "
                                             "registry key has the file version number."));
    QVERIFY(tipOfTheDay(11).isEmpty());
    for (int i = 0; i < kTipCount; ++i)
        QCOMPARE(loadStr(StrId(int(StrId::TipFirst) + i)), tipOfTheDay(i));
}

void tst_HelpDialogs::aboutBox()
{
    RecordingOpener opener;
    ScriptedPromptService prompts;
    QStringList texts;
    prompts.answerDialog([&](QDialog *d) {
        for (const char *name :
             {"lbProductName", "lbFileVersion", "lbLegalCopyright", "lbComments"})
            texts << d->findChild<QLabel *>(QLatin1String(name))->text();
        auto *comments = d->findChild<QLabel *>(QStringLiteral("lbComments"));
        texts << comments->toolTip();
        if (!test::showsProgramCursor(comments, kCrHandPoint))
            texts << QStringLiteral("no hand cursor");
        d->show();
        QTest::mouseClick(comments, Qt::LeftButton);
        auto *description = d->findChild<QLabel *>(QStringLiteral("lbProductDescription"));
        if (description->height() < 3 * description->fontMetrics().height())
            texts << QStringLiteral("description cut");
        return int(QDialog::Accepted);
    });
    actHelpAboutExecute(prompts, nullptr, version(), opener);
    QCOMPARE(prompts.asked.first().caption, QStringLiteral("About Bramblewick 2000"));
    const QString email = loadStr(StrId::AboutEmail);
    QCOMPARE(texts, (QStringList{"Bramblewick 2000", "Version 4.0.4.0",
                                 QStringLiteral("Copyright \u00a9 2003 ORV"), email,
                                 "MailTo:\n" + email}));
    QCOMPARE(opener.opened, QList<QUrl>{authorMailUrl(QStringLiteral("Bramblewick 2000"))});
}

void tst_HelpDialogs::mailAndHomePage()
{
    RecordingOpener opener;
    actHelpEmailExecute(opener, QStringLiteral("Bramblewick 2000"));
    actHelpHomePageExecute(opener);
    QCOMPARE(opener.opened.size(), 2);
    const QUrl mail = opener.opened[0];
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QCOMPARE(mail.path(), loadStr(StrId::AuthorEmail));
    QCOMPARE(QUrlQuery(mail).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Bramblewick 2000"));
    QCOMPARE(mail.toString(QUrl::FullyEncoded),
             "mailto:" + loadStr(StrId::AuthorEmail) + "?subject=Bramblewick%202000");
    QCOMPARE(opener.opened[1], QUrl(loadStr(StrId::HomePageAddress)));
    QVERIFY(opener.opened[1].isValid());
}

QTEST_MAIN(tst_HelpDialogs)
#include "tst_help_dialogs.moc"
