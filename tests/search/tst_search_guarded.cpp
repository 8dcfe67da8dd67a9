// Every entry from the event loop into the search window is guarded: a
// command that throws from a button's signal, an action of the description
// editor, a table notification or the close event reports its error and the
// window goes on with its file. Every error reaches the program's one
// exception handler; one that fails in turn is logged.

#include "search_fixture.h"

#include "platform/guarded_dispatch.h"
#include "search/db_rich_edit.h"
#include "search/rich_text_actions.h"

#include <QAction>
#include <QCloseEvent>
#include <QTableView>

#include <stdexcept>

using namespace bw;
using namespace bw::test;

namespace {

// Scripted prompts that fail on the kinds of question named.
class FailingPrompts : public ScriptedPromptService
{
public:
    bool failOpen = false;
    bool failFont = false;
    bool failMessage = false;

    std::optional<FileAnswer> openFile(QWidget *parent, const FileRequest &request) override
    {
        if (failOpen)
            throw std::runtime_error("open dialog failed");
        return ScriptedPromptService::openFile(parent, request);
    }
    std::optional<FontAnswer>
    chooseFont(QWidget *parent, const FontAnswer &initial,
               const std::function<void(const FontAnswer &)> &apply) override
    {
        if (failFont)
            throw std::runtime_error("font dialog failed");
        return ScriptedPromptService::chooseFont(parent, initial, apply);
    }
    int message(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                Buttons buttons, Button defaultButton) override
    {
        if (failMessage)
            throw std::runtime_error("message box failed");
        return ScriptedPromptService::message(parent, caption, text, icon, buttons, defaultButton);
    }
};

} // namespace

class tst_SearchGuarded : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void throwingButtonSignalKeepsWindow();
    void throwingActionKeepsWindow();
    void throwingTableNotificationKeepsWindow();
    void throwingCloseEventKeepsWindowOpen();
    void failingHandlerIsLoggedAndWindowGoesOn();

private:
    // The window with the sample file open.
    void openSample();
    void checkSampleOpen();

    FailingPrompts m_prompts;
    QTemporaryDir m_dir;
    std::unique_ptr<search::SearchWindow> m_window;
    QStringList m_errors; // through the program's one exception handler
    std::unique_ptr<ExceptionHandlerScope> m_scope;
    bool m_failingHandler = false;
};

void tst_SearchGuarded::init()
{
    m_prompts.clear();
    m_prompts.failOpen = m_prompts.failFont = m_prompts.failMessage = false;
    m_errors.clear();
    m_failingHandler = false;
    m_scope = std::make_unique<ExceptionHandlerScope>([this](std::exception_ptr error) {
        if (m_failingHandler)
            throw std::runtime_error("error handler failed");
        m_errors << exceptionText(error);
    });
    search::SearchWindowContext context;
    context.prompts = &m_prompts;
    m_window = std::make_unique<search::SearchWindow>(std::move(context));
    m_window->show();
}

void tst_SearchGuarded::cleanup()
{
    m_window.reset();
    m_scope.reset();
}

void tst_SearchGuarded::openSample()
{
    const QString file = writeNotesFile(m_dir.filePath("sample.cds"),
                                        {{1, 1, "bravo", "{\\rtf1 the Colour red\\par}"},
                                         {2, 1, "charlie", "{\\rtf1 no match\\par}"}});
    m_prompts.answerFile(file);
    m_window->btnBrowse()->click();
    checkSampleOpen();
}

void tst_SearchGuarded::checkSampleOpen()
{
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->wwClientDataSet().isActive());
    QVERIFY(m_window->wwClientDataSet().recordCount() >= 2);
}

void tst_SearchGuarded::throwingButtonSignalKeepsWindow()
{
    openSample();
    m_prompts.failOpen = true;
    QTest::mouseClick(m_window->btnBrowse(), Qt::LeftButton);
    QCOMPARE(m_errors, QStringList{"open dialog failed"});
    checkSampleOpen();
    // The button works again once the dialog does.
    m_prompts.failOpen = false;
    m_prompts.cancelFile();
    QTest::mouseClick(m_window->btnBrowse(), Qt::LeftButton);
    QCOMPARE(m_errors.size(), 1);
}

void tst_SearchGuarded::throwingActionKeepsWindow()
{
    openSample();
    m_prompts.failFont = true;
    QAction *font = m_window->wwDBRichEdit()->commands()->action(QStringLiteral("Font"));
    QVERIFY(font);
    font->trigger();
    QCOMPARE(m_errors, QStringList{"font dialog failed"});
    checkSampleOpen();
}

void tst_SearchGuarded::throwingTableNotificationKeepsWindow()
{
    // The description editor follows the table's after-scroll notification;
    // a description it cannot load (one NUL byte) is reported, the move
    // completes and the window goes on.
    openSample();
    dataset::ClientDataSet &table = m_window->wwClientDataSet();
    table.append();
    table.setFieldValue(QStringLiteral("ID"), 3);
    table.setFieldValue(QStringLiteral("Parent"), 3);
    table.setFieldValue(QStringLiteral("Name"), QStringLiteral("unreadable"));
    table.setBytes(QStringLiteral("Description"), QByteArray(1, '\0'));
    table.post();
    m_errors.clear();
    table.first();
    table.last();
    QCOMPARE(m_errors, QStringList{"Failed to Load Stream"});
    QCOMPARE(table.asString(QStringLiteral("Name")), QStringLiteral("unreadable"));
    table.first();
    QCOMPARE(table.asString(QStringLiteral("Name")), QStringLiteral("bravo"));
}

void tst_SearchGuarded::throwingCloseEventKeepsWindowOpen()
{
    openSample();
    dataset::ClientDataSet &table = m_window->wwClientDataSet();
    table.edit();
    table.setFieldValue(QStringLiteral("Name"), QStringLiteral("changed"));
    table.post();
    // The close question fails: the window stays open with its change.
    m_prompts.failMessage = true;
    QVERIFY(!m_window->close());
    QCOMPARE(m_errors, QStringList{"message box failed"});
    QVERIFY(table.changeCount() > 0);
    checkSampleOpen();
    m_prompts.failMessage = false;
    m_prompts.answerMessage(PromptService::No);
    QVERIFY(m_window->close());
}

void tst_SearchGuarded::failingHandlerIsLoggedAndWindowGoesOn()
{
    openSample();
    m_failingHandler = true;
    m_prompts.failOpen = true;
    QTest::ignoreMessage(QtCriticalMsg, "error handler failed");
    QTest::mouseClick(m_window->btnBrowse(), Qt::LeftButton);
    QVERIFY(m_errors.isEmpty());
    checkSampleOpen();
    m_failingHandler = false;
    QTest::mouseClick(m_window->btnBrowse(), Qt::LeftButton);
    QCOMPARE(m_errors, QStringList{"open dialog failed"});
}

QTEST_MAIN(tst_SearchGuarded)
#include "tst_search_guarded.moc"
