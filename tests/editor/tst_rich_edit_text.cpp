// Selection, text ranges, display lines and find.

#include "editor_fixture.h"

#include "rtf/text_properties.h"

#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

using namespace bw;
using namespace bw::test;

class tst_RichEditText : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void textRangeAndLength();
    void setSelectionLimits();
    void replaceSelectionMakesParagraphs();
    void displayLinesFollowWrapping();
    void lineIndexBeyondTheEnd();
    void lineNumbersFollowEditsAndWidth();
    void hiddenTextCountsNoLines();
    void find_data();
    void find();
    void findSelectsMatchAndKeepsSelectionOnMiss();

private:
    std::unique_ptr<RichEdit> m_edit;
};

void tst_RichEditText::init()
{
    m_edit = std::make_unique<RichEdit>();
    m_edit->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    m_edit->resize(400, 300);
}

void tst_RichEditText::cleanup()
{
    m_edit.reset();
}

void tst_RichEditText::textRangeAndLength()
{
    m_edit->setPlainText(QStringLiteral("first\nsecond"));
    QCOMPARE(m_edit->textLength(), 12); // one character per paragraph break
    QCOMPARE(m_edit->textRange(3, 8), QStringLiteral("st\nse"));
    QCOMPARE(m_edit->textRange(6, -1), QStringLiteral("second"));
    QCOMPARE(m_edit->textRange(10, 99), QStringLiteral("nd"));
}

void tst_RichEditText::setSelectionLimits()
{
    m_edit->setPlainText(QStringLiteral("abcdef"));
    m_edit->setSelection(0, -1);
    QCOMPARE(m_edit->selectedPlainText(), QStringLiteral("abcdef"));
    m_edit->setSelection(4, 2);
    QCOMPARE(m_edit->selectionStart(), 2);
    QCOMPARE(m_edit->selectionEnd(), 4);
    m_edit->setSelection(-1, 0);
    QCOMPARE(m_edit->selectionStart(), m_edit->selectionEnd());
    m_edit->setSelection(3, 3);
    QCOMPARE(m_edit->lineIndex(-1), 0);
}

void tst_RichEditText::replaceSelectionMakesParagraphs()
{
    m_edit->setPlainText(QStringLiteral("line one\nline two"));
    m_edit->setSelection(9, 9);
    m_edit->replaceSelection(QStringLiteral("1.2.2024\r\n"));
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("line one\n1.2.2024\nline two"));
    m_edit->setSelection(0, 4);
    m_edit->replaceSelection(QStringLiteral("LINE\r"));
    QCOMPARE(m_edit->document()->blockCount(), 4);
}

void tst_RichEditText::displayLinesFollowWrapping()
{
    m_edit->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_edit->setLineWrapColumnOrWidth(150);
    const QString longText = QStringLiteral("one two three four five six seven eight nine ten");
    m_edit->setPlainText(longText + QStringLiteral("\nshort"));
    const QTextBlock first = m_edit->document()->firstBlock();
    m_edit->lineCount(); // lays the document out
    const int wrapped = first.layout()->lineCount();
    QVERIFY2(wrapped > 2, "the long paragraph wraps");
    QCOMPARE(m_edit->lineCount(), wrapped + 1);

    const QTextLine second = first.layout()->lineAt(1);
    QCOMPARE(m_edit->lineIndex(1), second.textStart());
    QCOMPARE(m_edit->lineFromChar(second.textStart()), 1);
    QCOMPARE(m_edit->lineFromChar(second.textStart() - 1), 0);
    QCOMPARE(m_edit->lineLength(second.textStart()), second.textLength());
    QCOMPARE(m_edit->lineIndex(wrapped), int(longText.size()) + 1);
    QCOMPARE(m_edit->lineFromChar(m_edit->textLength()), wrapped);
    QCOMPARE(m_edit->lineLength(m_edit->textLength()), 5);
    QCOMPARE(m_edit->lineText(wrapped), QStringLiteral("short"));

    m_edit->setWordWrap(false);
    QCOMPARE(m_edit->lineCount(), 2);
    QCOMPARE(m_edit->lineIndex(1), int(longText.size()) + 1);
}

void tst_RichEditText::lineIndexBeyondTheEnd()
{
    m_edit->setPlainText(QStringLiteral("a\nb\nc"));
    QCOMPARE(m_edit->lineCount(), 3);
    QCOMPARE(m_edit->lineIndex(2), 4);
    QCOMPARE(m_edit->lineIndex(3), -1);
    QCOMPARE(m_edit->lineIndex(1000), -1);
    QCOMPARE(m_edit->lineLength(1000), 0);
    m_edit->clear();
    QCOMPARE(m_edit->lineCount(), 1);
    QCOMPARE(m_edit->lineIndex(0), 0);
}

void tst_RichEditText::lineNumbersFollowEditsAndWidth()
{
    // Given line numbers already asked for, when text above and the width
    // change, then the numbers follow (nothing stale is kept).
    m_edit->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_edit->setLineWrapColumnOrWidth(200);
    QStringList lines;
    for (int i = 0; i < 50; ++i)
        lines << QStringLiteral("paragraph %1").arg(i);
    m_edit->setPlainText(lines.join(u'\n'));
    const int lastStart = m_edit->textLength() - int(lines.last().size());
    QCOMPARE(m_edit->lineFromChar(lastStart), 49);

    QTextCursor cursor(m_edit->document());
    cursor.insertText(QStringLiteral("new\nnew\n"));
    QCOMPARE(m_edit->lineFromChar(lastStart + 8), 51);

    cursor.insertText(QString(40, u'w') + u' ' + QString(40, u'w') + u' ');
    const int wrapped = m_edit->document()->findBlockByNumber(2).layout()->lineCount();
    QVERIFY(wrapped > 1);
    QCOMPARE(m_edit->lineCount(), 52 + wrapped - 1);

    m_edit->setLineWrapColumnOrWidth(5000);
    QCOMPARE(m_edit->lineCount(), 52);
}

void tst_RichEditText::hiddenTextCountsNoLines()
{
    m_edit->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_edit->setLineWrapColumnOrWidth(150);
    QTextCharFormat hidden = propertyFormat(rtf::Hidden);
    appendRuns(*m_edit, {{"shown ", QTextCharFormat()},
                         {QString(20, u'h') + u' ' + QString(20, u'h'), hidden}});
    QCoreApplication::processEvents(); // the display formats are laid over
    QCOMPARE(m_edit->lineCount(), 1);
}

void tst_RichEditText::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("down");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<int>("expected");
    const QString cats = QStringLiteral("Cat concat cat\nCATalog cat");
    QTest::newRow("down from 0") << cats << "cat" << 0 << true << false << false << 0;
    QTest::newRow("down match case") << cats << "cat" << 0 << true << true << false << 7;
    QTest::newRow("down whole word") << cats << "cat" << 1 << true << false << true << 11;
    QTest::newRow("down whole word, case") << cats << "CAT" << 0 << true << true << true << -1;
    QTest::newRow("down across paragraphs")
        << cats << "catalog" << 5 << true << false << false << 15;
    QTest::newRow("down to the end") << cats << "cat" << 24 << true << false << false << -1;
    QTest::newRow("up from the end") << cats << "cat" << 26 << false << false << false << 23;
    QTest::newRow("up, match ends before start")
        << cats << "cat" << 13 << false << false << false << 7;
    QTest::newRow("up whole word") << cats << "cat" << 11 << false << false << true << 0;
    QTest::newRow("up match case") << cats << "CAT" << 26 << false << true << false << 15;
    QTest::newRow("up nothing before") << cats << "cat" << 2 << false << false << false << -1;
    QTest::newRow("non-ASCII, any case")
        << QStringLiteral("Straße ÆRØ ærø") << "ærø" << 0 << true << false << true << 7;
    QTest::newRow("empty needle") << cats << "" << 0 << true << false << false << -1;
}

void tst_RichEditText::find()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(int, start);
    QFETCH(bool, down);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(int, expected);
    m_edit->setPlainText(text);
    QCOMPARE(m_edit->findText(needle, start, FindOptions{down, matchCase, wholeWord}), expected);
}

void tst_RichEditText::findSelectsMatchAndKeepsSelectionOnMiss()
{
    m_edit->setPlainText(QStringLiteral("a cat and a cat"));
    QCOMPARE(m_edit->findText(QStringLiteral("cat"), 0, FindOptions{}), 2);
    QCOMPARE(m_edit->selectionStart(), 2);
    QCOMPARE(m_edit->selectionEnd(), 5);
    // Find next starts at the end of the selection.
    QCOMPARE(m_edit->findText(QStringLiteral("cat"), m_edit->selectionEnd(), FindOptions{}), 12);
    QCOMPARE(m_edit->findText(QStringLiteral("cat"), m_edit->selectionEnd(), FindOptions{}), -1);
    QCOMPARE(m_edit->selectionStart(), 12);
    // A limit that cuts the match off finds nothing.
    QCOMPARE(m_edit->findText(QStringLiteral("cat"), 0, FindOptions{}, 4), -1);
}

QTEST_MAIN(tst_RichEditText)
#include "tst_rich_edit_text.moc"
