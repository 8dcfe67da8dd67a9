// The guarded dispatch: a handler entered from the event loop through each
// kind of entry (action, timer, connected signal, event filter, queued call)
// throws; the error reaches the installed handler, the program goes on.

#include "platform/guarded_dispatch.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <stdexcept>

using namespace bw;

namespace {

class Receiver : public QObject
{
    Q_OBJECT
public:
    int calls = 0;
    QString lastText;
    void fail() { throw std::runtime_error("member failed"); }
    void takeText(const QString &text)
    {
        lastText = text;
        ++calls;
    }
};

// An event filter whose work may throw: KeyPress is eaten when it fails.
class Filter : public QObject
{
public:
    bool throwOnKey = true;
    int seen = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        return guardedOr(true, [&] {
            ++seen;
            if (throwOnKey)
                throw std::runtime_error("filter failed");
            return false;
        });
    }
};

} // namespace

class tst_GuardedDispatch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void guardedReportsAndReturns();
    void actionEntry();
    void timerEntry();
    void connectedSignalEntry();
    void memberFunctionHandler();
    void handlerTakesFewerArgumentsThanSignal();
    void eventFilterEntry();
    void queuedCallEntry();
    void errorInsideHandlerIsLoggedNotStacked();
    void scopeRestoresPreviousHandler();
    void withoutHandlerNothingEscapes();

private:
    QStringList m_errors;
    std::unique_ptr<ExceptionHandlerScope> m_scope;
};

void tst_GuardedDispatch::init()
{
    m_errors.clear();
    m_scope = std::make_unique<ExceptionHandlerScope>(
        [this](std::exception_ptr error) { m_errors.append(exceptionText(error)); });
}

void tst_GuardedDispatch::cleanup()
{
    m_scope.reset();
}

void tst_GuardedDispatch::guardedReportsAndReturns()
{
    QVERIFY(guarded([] {}));
    QVERIFY(!guarded([] { throw std::runtime_error("plain"); }));
    QCOMPARE(guardedOr(7, []() -> int { throw 1; }), 7);
    QCOMPARE(guardedOr(7, [] { return 3; }), 3);
    QCOMPARE(m_errors, QStringList({"plain", "An unexpected error occurred"}));
}

void tst_GuardedDispatch::actionEntry()
{
    // A button bound to an action, clicked with the mouse: the click comes
    // from the event loop, the handler throws.
    QWidget window;
    auto *action = new QAction("Go", &window);
    auto *button = new QToolButton(&window);
    button->setDefaultAction(action);
    int after = 0;
    guardedConnect(action, &QAction::triggered, &window,
                   [] { throw std::runtime_error("action failed"); });
    guardedConnect(action, &QAction::triggered, &window, [&after] { ++after; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_errors, QStringList{"action failed"});
    // The next receiver ran and the button is not left pressed.
    QCOMPARE(after, 1);
    QVERIFY(!button->isDown());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_errors.size(), 2);
}

void tst_GuardedDispatch::timerEntry()
{
    QObject context;
    QTimer timer;
    timer.setInterval(1);
    int ticks = 0;
    guardedConnect(&timer, &QTimer::timeout, &context, [&ticks] {
        ++ticks;
        throw std::runtime_error("tick failed");
    });
    timer.start();
    QTRY_VERIFY(ticks >= 3);
    timer.stop();
    QCOMPARE(m_errors.size(), ticks);
    QCOMPARE(m_errors.first(), QStringLiteral("tick failed"));
}

void tst_GuardedDispatch::connectedSignalEntry()
{
    // Typing into a line edit: textChanged comes from a key event.
    QLineEdit edit;
    guardedConnect(&edit, &QLineEdit::textChanged, &edit,
                   [](const QString &text) { throw std::runtime_error(text.toStdString()); });
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(&edit, "ab");
    QCOMPARE(edit.text(), QStringLiteral("ab"));
    QCOMPARE(m_errors, QStringList({"a", "ab"}));
}

void tst_GuardedDispatch::memberFunctionHandler()
{
    Receiver receiver;
    QTimer timer;
    guardedConnect(&timer, &QTimer::timeout, &receiver, &Receiver::fail);
    QMetaObject::invokeMethod(&timer, "timeout", Qt::DirectConnection);
    QCOMPARE(m_errors, QStringList{"member failed"});
}

void tst_GuardedDispatch::handlerTakesFewerArgumentsThanSignal()
{
    QLineEdit edit;
    Receiver receiver;
    int plain = 0;
    guardedConnect(&edit, &QLineEdit::textChanged, &receiver, &Receiver::takeText);
    guardedConnect(&edit, &QLineEdit::textChanged, &receiver, [&plain] { ++plain; });
    auto connection = guardedConnect(&edit, &QLineEdit::cursorPositionChanged, &receiver,
                                     [](int oldPos) { (void)oldPos; });
    QVERIFY(connection);
    edit.setText("xy");
    QCOMPARE(receiver.lastText, QStringLiteral("xy"));
    QCOMPARE(plain, 1);
    QVERIFY(m_errors.isEmpty());
}

void tst_GuardedDispatch::eventFilterEntry()
{
    QLineEdit edit;
    Filter filter;
    edit.installEventFilter(&filter);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(&edit, "q");
    // The failing filter ate the key; the program goes on.
    QCOMPARE(filter.seen, 1);
    QCOMPARE(edit.text(), QString());
    QCOMPARE(m_errors, QStringList{"filter failed"});
    filter.throwOnKey = false;
    QTest::keyClicks(&edit, "r");
    QCOMPARE(edit.text(), QStringLiteral("r"));
}

void tst_GuardedDispatch::queuedCallEntry()
{
    QObject context;
    bool ran = false;
    QMetaObject::invokeMethod(&context, guard([&ran] {
        ran = true;
        throw std::runtime_error("queued failed");
    }),
                              Qt::QueuedConnection);
    QTimer::singleShot(0, &context, guard([] { throw std::runtime_error("single shot failed"); }));
    QTRY_COMPARE(m_errors.size(), 2);
    QVERIFY(ran);
    QVERIFY(m_errors.contains("queued failed"));
    QVERIFY(m_errors.contains("single shot failed"));
}

void tst_GuardedDispatch::errorInsideHandlerIsLoggedNotStacked()
{
    // The handler (an error box, in the program) runs an event loop in which
    // another entry fails: that error is logged, not handed to a second box.
    int boxes = 0;
    ExceptionHandlerScope scope([&boxes](std::exception_ptr) {
        ++boxes;
        guarded([] { throw std::runtime_error("while the box is up"); });
    });
    QTest::ignoreMessage(QtCriticalMsg, "while the box is up");
    guarded([] { throw std::runtime_error("first"); });
    QCOMPARE(boxes, 1);
    // After the box, errors are handed over again.
    QTest::ignoreMessage(QtCriticalMsg, "while the box is up");
    guarded([] { throw std::runtime_error("second"); });
    QCOMPARE(boxes, 2);
}

void tst_GuardedDispatch::scopeRestoresPreviousHandler()
{
    {
        QStringList inner;
        ExceptionHandlerScope scope(
            [&inner](std::exception_ptr error) { inner.append(exceptionText(error)); });
        guarded([] { throw std::runtime_error("inner"); });
        QCOMPARE(inner, QStringList{"inner"});
    }
    guarded([] { throw std::runtime_error("outer"); });
    QCOMPARE(m_errors, QStringList{"outer"});
}

void tst_GuardedDispatch::withoutHandlerNothingEscapes()
{
    m_scope.reset();
    ExceptionHandlerScope none{ExceptionHandler()};
    QTest::ignoreMessage(QtCriticalMsg, "logged only");
    QVERIFY(!guarded([] { throw std::runtime_error("logged only"); }));
    // A handler that throws itself is logged as well.
    ExceptionHandlerScope throwing(
        [](std::exception_ptr) { throw std::runtime_error("handler broke"); });
    QTest::ignoreMessage(QtCriticalMsg, "handler broke");
    QVERIFY(!guarded([] { throw std::runtime_error("x"); }));
}

QTEST_MAIN(tst_GuardedDispatch)
#include "tst_guarded_dispatch.moc"
