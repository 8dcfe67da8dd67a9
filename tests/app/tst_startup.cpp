// Start-up: the logon dialog and its three attempts, the splash window and
// the main window's hand-over, and the error handler that works before the
// main window exists.
#include "app/application.h"
#include "app/data_module.h"
#include "app/error_box.h"
#include "app/main_window.h"
#include "app/password_dialog.h"
#include "app/splash_window.h"
#include "app/startup.h"
#include "document/delete_msg_dialog.h"
#include "options/help_popup.h"
#include "options/options_dialog.h"
#include "scripted_prompt_service.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <stdexcept>

using namespace bw;
using bw::test::ScriptedPromptService;

namespace {

// A scripted showing of the logon dialog: checks that it comes up empty with
// the focus in the user name box, types the texts, then presses key on the
// control named target.
std::function<int(QDialog *)> attempt(const QString &user, const QString &password, int key,
                                      const QString &target = QStringLiteral("edPassword"))
{
    return [=](QDialog *dialog) {
        auto *form = qobject_cast<PasswordDialog *>(dialog);
        if (!form)
            return -1;
        dialog->show();
        if (!form->edUsername->text().isEmpty() || !form->edPassword->text().isEmpty() ||
            dialog->focusWidget() != form->edUsername)
            return -1; // makes the logon fail and the test see it
        QTest::keyClicks(form->edUsername, user);
        QTest::keyClicks(form->edPassword, password);
        QTest::keyClick(dialog->findChild<QWidget *>(target), Qt::Key(key));
        return dialog->result();
    };
}

std::function<int(QDialog *)> closeWindow()
{
    return [](QDialog *) { return int(QDialog::Rejected); };
}

// An object whose handler throws what the test asks for.
class Thrower : public QObject
{
public:
    std::function<void()> raise;
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            raise();
        return QObject::event(e);
    }
};

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void logonDialogControls();
    void logonDialogTakesTheKeyboard();
    void logon_data();
    void logon();
    void fullStopRule_data();
    void fullStopRule();
    void errorsBeforeMainWindowShowErrorBox_data();
    void errorsBeforeMainWindowShowErrorBox();
    void failedLogonCreatesNothing();
    void splashLivesUntilMainWindowFirstShown();
};

void tst_Startup::logonDialogControls()
{
    PasswordDialog form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Logon"));
    QCOMPARE(form.lbUsername->text(), QStringLiteral("Username:"));
    QCOMPARE(form.lbPassword->text(), QStringLiteral("Password:"));
    QCOMPARE(form.btnOk->text(), QStringLiteral("Ok"));
    QCOMPARE(form.btnCancel->text(), QStringLiteral("Cancel"));
    QCOMPARE(form.edPassword->echoMode(), QLineEdit::Password);
    QCOMPARE(form.edUsername->echoMode(), QLineEdit::Normal);
    QCOMPARE(form.minimumSize(), form.maximumSize());
    form.show();
    QVERIFY(!form.btnCancel->isVisible());
    QCOMPARE(form.focusWidget(), form.edUsername);
    QCOMPARE(form.edUsername->nextInFocusChain(), form.edPassword);
    QCOMPARE(form.edPassword->nextInFocusChain(), form.btnOk);
}

void tst_Startup::logonDialogTakesTheKeyboard()
{
    // Given another window with the keyboard, when the logon dialog shows,
    // then it is the active window and its user name box has the focus: the
    // first keys typed go there, and Enter logs on.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    ScriptedPromptService prompts;
    prompts.answerDialog([&](QDialog *dialog) {
        dialog->show();
        if (!QTest::qWaitForWindowActive(dialog))
            return -1;
        QWidget *focused = QApplication::focusWidget();
        if (QApplication::activeWindow() != dialog || !focused ||
            focused->objectName() != QLatin1String("edUsername"))
            return -1; // makes the logon fail and the test see it
        QTest::keyClick(focused, Qt::Key_Return);
        return dialog->result();
    });
    QVERIFY(bw::logon(prompts));
}

void tst_Startup::logon_data()
{
    using Attempts = QList<std::function<int(QDialog *)>>;
    QTest::addColumn<Attempts>("attempts");
    QTest::addColumn<bool>("loggedOn");
    QTest::addColumn<int>("shown");

    const QString ok = QStringLiteral("btnOk");
    const QString cancel = QStringLiteral("btnCancel");
    QTest::newRow("Enter with both empty")
        << Attempts{attempt({}, {}, Qt::Key_Return)} << true << 1;
    QTest::newRow("keypad Enter") << Attempts{attempt({}, {}, Qt::Key_Enter)} << true << 1;
    QTest::newRow("Enter in user name box")
        << Attempts{attempt({}, {}, Qt::Key_Return, QStringLiteral("edUsername"))} << true << 1;
    QTest::newRow("wrong, then right")
        << Attempts{attempt(QStringLiteral("admin"), QStringLiteral("secret"), Qt::Key_Return),
                    attempt({}, {}, Qt::Key_Return)}
        << true << 2;
    QTest::newRow("wrong password only")
        << Attempts{attempt({}, QStringLiteral("x"), Qt::Key_Return),
                    attempt({}, {}, Qt::Key_Return)}
        << true << 2;
    QTest::newRow("three wrong") << Attempts{attempt(QStringLiteral("a"), {}, Qt::Key_Return),
                                             attempt(QStringLiteral("b"), {}, Qt::Key_Return),
                                             attempt(QStringLiteral("c"), {}, Qt::Key_Return)}
                                 << false << 3;
    QTest::newRow("Esc at first attempt")
        << Attempts{attempt({}, {}, Qt::Key_Escape)} << false << 1;
    QTest::newRow("Esc after a wrong entry")
        << Attempts{attempt(QStringLiteral("a"), {}, Qt::Key_Return),
                    attempt({}, {}, Qt::Key_Escape)}
        << false << 2;
    QTest::newRow("Enter on Ok") << Attempts{attempt({}, {}, Qt::Key_Return, ok)} << true << 1;
    QTest::newRow("Space on Ok") << Attempts{attempt({}, {}, Qt::Key_Space, ok)} << true << 1;
    QTest::newRow("Space on Ok with wrong name")
        << Attempts{attempt(QStringLiteral("me"), {}, Qt::Key_Space, ok),
                    attempt({}, {}, Qt::Key_Space, ok)}
        << true << 2;
    QTest::newRow("Enter on Cancel")
        << Attempts{attempt({}, {}, Qt::Key_Return, cancel)} << false << 1;
    QTest::newRow("Space on Cancel")
        << Attempts{attempt({}, {}, Qt::Key_Space, cancel)} << false << 1;
    // Space in an edit box is typed, not a click.
    QTest::newRow("Space in password box")
        << Attempts{attempt({}, {}, Qt::Key_Space), attempt({}, {}, Qt::Key_Return)} << true << 2;
    QTest::newRow("closed by the window manager counts as failed")
        << Attempts{closeWindow(), closeWindow(), attempt({}, {}, Qt::Key_Return)} << true << 3;
    QTest::newRow("closed three times")
        << Attempts{closeWindow(), closeWindow(), closeWindow()} << false << 3;
}

void tst_Startup::logon()
{
    using Attempts = QList<std::function<int(QDialog *)>>;
    QFETCH(Attempts, attempts);
    QFETCH(bool, loggedOn);
    QFETCH(int, shown);

    ScriptedPromptService prompts;
    for (const auto &a : attempts)
        prompts.answerDialog(a);
    QCOMPARE(bw::logon(prompts), loggedOn);
    QCOMPARE(prompts.count(QStringLiteral("exec")), shown);
    QCOMPARE(prompts.count(QStringLiteral("message")), 0); // no message between attempts
    QCOMPARE(prompts.asked.first().caption, QStringLiteral("Logon"));
}

void tst_Startup::fullStopRule_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "Disk full"
                           << "Disk full.";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("exclamation") << "Stop!"
                                 << "Stop!";
    QTest::newRow("closing parenthesis") << "Failed (3)"
                                         << "Failed (3)";
    QTest::newRow("comma") << "a,"
                           << "a,";
    QTest::newRow("hyphen") << "a -"
                            << "a -";
    QTest::newRow("blank") << "trailing "
                           << "trailing ";
    QTest::newRow("newline") << "line\n"
                             << "line\n";
    QTest::newRow("question mark sorts after") << "Why?"
                                               << "Why?.";
    QTest::newRow("slash sorts after") << "path /"
                                       << "path /.";
    QTest::newRow("digit") << "Error 42"
                           << "Error 42.";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Datei ä") << QString::fromUtf8("Datei ä.");
    QTest::newRow("empty") << ""
                           << "";
}

void tst_Startup::fullStopRule()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorBoxText(message), shown);
}

void tst_Startup::errorsBeforeMainWindowShowErrorBox_data()
{
    QTest::addColumn<std::function<void()>>("raise");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("runtime error")
        << std::function<void()>([] { throw std::runtime_error("Cannot read/write the file!"); })
        << QStringList{QStringLiteral("Cannot read/write the file!")};
    QTest::newRow("needs a full stop")
        << std::function<void()>([] { throw std::runtime_error("Index out of range"); })
        << QStringList{QStringLiteral("Index out of range.")};
    QTest::newRow("not a std::exception")
        << std::function<void()>([] { throw 42; })
        << QStringList{QStringLiteral("An unexpected error occurred.")};
}

void tst_Startup::errorsBeforeMainWindowShowErrorBox()
{
    QFETCH(std::function<void()>, raise);
    QFETCH(QStringList, shown);
    auto *app = qobject_cast<Application *>(qApp);
    QVERIFY(app);
    ScriptedPromptService prompts;
    for (qsizetype n = 0; n < shown.size(); ++n)
        prompts.answerMessage(PromptService::Ok);
    Startup startup(*app, prompts);

    Thrower thrower;
    thrower.raise = raise;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &event); // through notify()
    QCOMPARE(prompts.messages(), shown);
    if (!shown.isEmpty()) {
        QCOMPARE(prompts.asked.first().caption, QStringLiteral("Bramblewick 2000"));
        QCOMPARE(prompts.asked.first().icon, PromptService::Icon::Error);
    }
    // The program goes on: the next event is handled as usual.
    thrower.raise = [] {};
    QVERIFY(QCoreApplication::sendEvent(&thrower, &event));
    QCOMPARE(prompts.messages(), shown);
}

void tst_Startup::failedLogonCreatesNothing()
{
    auto *app = qobject_cast<Application *>(qApp);
    ScriptedPromptService prompts;
    prompts.answerDialog(attempt({}, {}, Qt::Key_Escape));
    Startup startup(*app, prompts);
    QVERIFY(!startup.run());
    QVERIFY(!startup.splash());
    QVERIFY(!startup.dataModule());
    QVERIFY(!startup.mainWindow());
    QVERIFY(!startup.options());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || qobject_cast<PasswordDialog *>(w), qPrintable(w->objectName()));
}

void tst_Startup::splashLivesUntilMainWindowFirstShown()
{
    auto *app = qobject_cast<Application *>(qApp);
    ScriptedPromptService prompts;
    prompts.answerDialog(attempt({}, {}, Qt::Key_Return));
    Startup startup(*app, prompts);
    QVERIFY(startup.run());
    QCOMPARE(QApplication::overrideCursor(), nullptr); // hourglass gone again

    QPointer<SplashWindow> splash = startup.splash();
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->size(), QSize(410, 307));
    QCOMPARE(splash->picture().size(), QSize(410, 307));
    QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);

    QVERIFY(startup.dataModule());
    QCOMPARE(startup.dataModule()->registryRoot(),
             QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0"));
    QVERIFY(startup.options());
    QVERIFY(startup.helpPopup());
    QCOMPARE(startup.options()->helpPopup(), startup.helpPopup());
    QVERIFY(!startup.options()->isVisible());
    QVERIFY(!startup.helpPopup()->isVisible());
    QVERIFY(startup.deleteConfirmation());
    QVERIFY(!startup.deleteConfirmation()->isVisible());
    QCOMPARE(startup.mainWindow()->deleteConfirmation(), startup.deleteConfirmation());

    QWidget *frame = startup.mainWindow();
    QVERIFY(frame);
    QVERIFY(!frame->isVisible()); // the message loop shows it
    QCOMPARE(frame->windowTitle(), QStringLiteral("Bramblewick 2000"));
    frame->show();
    QVERIFY(!splash);
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // the settings file of the data module
    tst_Startup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
