// Find, find next, replace, replace all and go to line through the document
// window, with the not-found message and the commands' enabling.

#include "document/search_commands.h"
#include "window_test_fixture.h"

#include <QAction>
#include <QSignalSpy>

using namespace bw;
using namespace bw::notes;
using State = dataset::ClientDataSet::State;

namespace {
const QString kNotFoundCat = QStringLiteral("Text \"cat\" not found.");
}

class tst_SearchCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dialogsTakeSelectionAndShareFindText();
    void findCatTwiceThenNotFoundWithBeep();
    void replaceSkipsSelectedMatch();
    void replaceAllFromTheMiddle_data();
    void replaceAllFromTheMiddle();
    void replaceAllWithNothingAfterCaret();
    void replaceAllUpEndsWhenReplacementHoldsFindText();
    void gotoLine_data();
    void gotoLine();
    void searchCommandsEnabling();

private:
    DocumentWindow *openWith(const QString &text);
    SearchCommands *search(DocumentWindow *window) { return window->searchCommands(); }

    std::unique_ptr<test::DocumentWindowFixture> m_fixture;
    int m_beeps = 0;
};

void tst_SearchCommands::init()
{
    m_fixture = std::make_unique<test::DocumentWindowFixture>();
    m_beeps = 0;
}

void tst_SearchCommands::cleanup()
{
    m_fixture.reset();
}

DocumentWindow *tst_SearchCommands::openWith(const QString &text)
{
    DocumentWindow *window = m_fixture->open();
    test::DocumentWindowFixture::setText(window, text);
    search(window)->setBeep([this] { ++m_beeps; });
    return window;
}

void tst_SearchCommands::dialogsTakeSelectionAndShareFindText()
{
    DocumentWindow *window = openWith("the cat sat on the mat");
    window->editor()->setSelection(4, 7);
    test::DocumentWindowFixture::run(window, "actSearchFind");
    FindDialog *find = search(window)->findDialog();
    QVERIFY(find && find->isVisible());
    QCOMPARE(find->findText(), QStringLiteral("cat"));
    QCOMPARE(find->windowTitle(), QStringLiteral("Find"));

    // No selection: the dialog keeps its last text.
    find->setFindText("mat");
    find->close();
    window->editor()->setSelection(0, 0);
    test::DocumentWindowFixture::run(window, "actSearchFind");
    QCOMPARE(search(window)->findDialog(), find);
    QCOMPARE(find->findText(), QStringLiteral("mat"));

    // The replace dialog starts with the find dialog's text.
    test::DocumentWindowFixture::run(window, "actSearchReplace");
    FindDialog *replace = search(window)->replaceDialog();
    QVERIFY(replace && replace != find);
    QCOMPARE(replace->findText(), QStringLiteral("mat"));
    QCOMPARE(replace->windowTitle(), QStringLiteral("Replace"));
}

// Given two cats after the caret: Find selects the first, Find Next the
// second, and the next Find Next says "not found" and beeps.
void tst_SearchCommands::findCatTwiceThenNotFoundWithBeep()
{
    DocumentWindow *window = openWith("a cat and another cat");
    RichEdit *editor = window->editor();
    editor->setSelection(0, 0);
    window->aclEditUpdate();
    search(window)->aclSearchUpdate();
    QVERIFY(!window->action("actSearchFindNext")->isEnabled());
    test::DocumentWindowFixture::run(window, "actSearchFind");
    FindDialog *find = search(window)->findDialog();
    find->setFindText("cat");
    find->clickFindNext();
    QCOMPARE(editor->selectionStart(), 2);
    QCOMPARE(editor->selectedPlainText(), QStringLiteral("cat"));
    search(window)->aclSearchUpdate();
    QVERIFY(window->action("actSearchFindNext")->isEnabled());

    test::DocumentWindowFixture::run(window, "actSearchFindNext");
    QCOMPARE(editor->selectionStart(), 18);
    QCOMPARE(m_beeps, 0);
    QVERIFY(m_fixture->prompts.messages().isEmpty());

    m_fixture->prompts.answerMessage(PromptService::Ok);
    test::DocumentWindowFixture::run(window, "actSearchFindNext");
    QCOMPARE(m_fixture->prompts.messages(), QStringList{kNotFoundCat});
    QCOMPARE(m_fixture->prompts.asked.last().icon, PromptService::Icon::Information);
    QCOMPARE(m_beeps, 1);
    QCOMPARE(editor->selectionStart(), 18);
}

// Given a Find that selected the first cat, Replace replaces the next one.
void tst_SearchCommands::replaceSkipsSelectedMatch()
{
    DocumentWindow *window = openWith("cat one cat two cat");
    RichEdit *editor = window->editor();
    editor->setSelection(0, 0);
    test::DocumentWindowFixture::run(window, "actSearchFind");
    search(window)->findDialog()->setFindText("cat");
    search(window)->findDialog()->clickFindNext();
    QCOMPARE(editor->selectionStart(), 0);
    test::DocumentWindowFixture::run(window, "actSearchReplace");
    FindDialog *replace = search(window)->replaceDialog();
    QCOMPARE(replace->findText(), QStringLiteral("cat"));
    replace->setReplaceText("dog");
    replace->clickReplace();
    QCOMPARE(editor->toPlainText(), QStringLiteral("cat one dog two cat"));
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    window->cdsCommon().post();
    QVERIFY(window->cdsCommon().asString(kFieldDescription).contains("dog"));
}

void tst_SearchCommands::replaceAllFromTheMiddle_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<QString>("expected");
    QTest::newRow("down") << true << "cat cat | dog dog";
    QTest::newRow("up") << false << "dog dog | cat cat";
}

// Given the caret in the middle, only the cats on the search's side change,
// and the change and selection events come once.
void tst_SearchCommands::replaceAllFromTheMiddle()
{
    QFETCH(bool, down);
    QFETCH(QString, expected);
    DocumentWindow *window = openWith("cat cat | cat cat");
    RichEdit *editor = window->editor();
    editor->setSelection(8, 8);
    test::DocumentWindowFixture::run(window, "actSearchReplace");
    FindDialog *replace = search(window)->replaceDialog();
    replace->setFindText("cat");
    replace->setReplaceText("dog");
    replace->setOptions(FindOptions{down, false, false});
    QSignalSpy changes(editor, &RichEdit::change);
    QSignalSpy selections(editor, &RichEdit::selectionChange);
    replace->clickReplaceAll();
    QCOMPARE(editor->toPlainText(), expected);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(selections.count(), 1);
    QVERIFY(m_fixture->prompts.messages().isEmpty());
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    window->cdsCommon().post();
    QVERIFY(window->cdsCommon().asString(kFieldDescription).contains(expected));
}

void tst_SearchCommands::replaceAllWithNothingAfterCaret()
{
    DocumentWindow *window = openWith("cat cat and more");
    RichEdit *editor = window->editor();
    editor->setSelection(9, 9);
    test::DocumentWindowFixture::run(window, "actSearchReplace");
    FindDialog *replace = search(window)->replaceDialog();
    replace->setFindText("cat");
    replace->setReplaceText("dog");
    m_fixture->prompts.answerMessage(PromptService::Ok);
    replace->clickReplaceAll();
    QCOMPARE(m_fixture->prompts.messages(), QStringList{kNotFoundCat});
    QCOMPARE(editor->toPlainText(), QStringLiteral("cat cat and more"));
}

// Upward, a replacement that contains the find text is not searched again:
// every cat before the caret is replaced once, and the loop ends.
void tst_SearchCommands::replaceAllUpEndsWhenReplacementHoldsFindText()
{
    DocumentWindow *window = openWith("cat, cat, cat");
    RichEdit *editor = window->editor();
    editor->setSelection(editor->textLength(), editor->textLength());
    test::DocumentWindowFixture::run(window, "actSearchReplace");
    FindDialog *replace = search(window)->replaceDialog();
    replace->setFindText("cat");
    replace->setReplaceText("concat");
    replace->setOptions(FindOptions{false, false, false});
    QCOMPARE(search(window)->replaceAll(replace), 3);
    QCOMPARE(editor->toPlainText(), QStringLiteral("concat, concat, concat"));
}

void tst_SearchCommands::gotoLine_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("start"); // -1: the selection is dropped in place
    QTest::newRow("7") << "7" << 6 * 7;
    QTest::newRow("x") << "x" << -2;
    QTest::newRow("0") << "0" << 2 * 7;
    QTest::newRow("smallest int") << "-2147483648" << 2 * 7;
    QTest::newRow("beyond") << "20" << -1;
    QTest::newRow("Cancel") << QString() << -2;
}

// Given ten lines with part of line 3 selected: the box shows 3 and the
// range; 7 goes to line 7, x and Cancel do nothing, 0 (or any number below
// it) goes to the start of the caret's line, and a line beyond the last only
// drops the selection.
void tst_SearchCommands::gotoLine()
{
    QFETCH(QString, answer);
    QFETCH(int, start);
    QStringList lines;
    for (int line = 1; line <= 10; ++line)
        lines << QStringLiteral("line%1").arg(line, 2, 10, QLatin1Char('0'));
    DocumentWindow *window = openWith(lines.join('\n') + '\n');
    RichEdit *editor = window->editor();
    editor->setSelection(2 * 7 + 1, 2 * 7 + 3);
    if (answer.isNull())
        m_fixture->prompts.inputAnswers.enqueue(std::nullopt);
    else
        m_fixture->prompts.inputAnswers.enqueue(answer);
    test::DocumentWindowFixture::run(window, "actSearchGotoLine");
    const test::Asked asked = m_fixture->prompts.asked.last();
    QCOMPARE(asked.caption, QStringLiteral("Go to Line Number"));
    QCOMPARE(asked.text, QStringLiteral("Enter Line Number (1 to 10)"));
    QCOMPARE(m_fixture->prompts.inputValues, QStringList{"3"});
    if (start == -2) {
        QCOMPARE(editor->selectionStart(), 15);
        QCOMPARE(editor->selectionEnd(), 17);
    } else if (start == -1) {
        QVERIFY(!editor->textCursor().hasSelection());
        QCOMPARE(editor->textCursor().position(), 17);
    } else {
        QCOMPARE(editor->selectionStart(), start);
        QCOMPARE(editor->selectionEnd(), start);
    }
}

void tst_SearchCommands::searchCommandsEnabling()
{
    DocumentWindow *window = openWith(QString());
    search(window)->aclSearchUpdate();
    for (const char *name :
         {"actSearchFind", "actSearchReplace", "actSearchGotoLine", "actSearchFindNext"})
        QVERIFY2(!window->action(name)->isEnabled(), name);
    test::DocumentWindowFixture::setText(window, "text");
    search(window)->aclSearchUpdate();
    for (const char *name : {"actSearchFind", "actSearchReplace", "actSearchGotoLine"})
        QVERIFY2(window->action(name)->isEnabled(), name);
    QVERIFY(!window->action("actSearchFindNext")->isEnabled());
}

QTEST_MAIN(tst_SearchCommands)
#include "tst_search_commands.moc"
