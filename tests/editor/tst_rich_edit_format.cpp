// Character and paragraph formats of the selection.

#include "editor_fixture.h"

#include "rtf/text_properties.h"

#include <QTextBlock>
#include <QTextList>
#include <QtTest>

using namespace bw;
using namespace bw::test;

class tst_RichEditFormat : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void wordAtCaret_data();
    void wordAtCaret();
    void wordFormatReadAtWordStart_data();
    void wordFormatReadAtWordStart();
    void mixedSelectionClearsMaskBits();
    void stylesWrittenTogether();
    void sizeInWholePointsKeptInTwips_data();
    void sizeInWholePointsKeptInTwips();
    void automaticColours();
    void scriptBitsClearEachOther();
    void masksToggle();
    void paraFormatOverSeveralParagraphs();
    void paraFormatMaskOnMixedParagraphs();
    void numberingUsesListsAndKeepsIndents();
    void numberingJoinsNeighbouringList();
    void spacingAndLineSpacingRules_data();
    void spacingAndLineSpacingRules();

private:
    std::unique_ptr<RichEdit> m_edit;
};

void tst_RichEditFormat::init()
{
    m_edit = std::make_unique<RichEdit>();
    m_edit->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
}

void tst_RichEditFormat::cleanup()
{
    m_edit.reset();
}

void tst_RichEditFormat::wordAtCaret_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("boldText");
    QTest::addColumn<bool>("readsBold");
    QTest::newRow("inside first word") << 2 << "hello" << true;
    QTest::newRow("inside second word") << 8 << "world" << true;
    QTest::newRow("at the end of a word") << 5 << "" << true;
    // Reading there shows the word, which setting left as it was.
    QTest::newRow("at the start of a word") << 6 << "" << false;
    QTest::newRow("at the end of the text") << 11 << "" << true;
}

void tst_RichEditFormat::wordAtCaret()
{
    QFETCH(int, caret);
    QFETCH(QString, boldText);
    QFETCH(bool, readsBold);
    m_edit->setPlainText(QStringLiteral("hello world"));
    m_edit->setSelection(caret, caret);
    CharFormat bold;
    bold.mask = CharFormat::Bold;
    bold.bold = true;
    m_edit->setSelectionCharFormat(bold, FormatTarget::SelectionWord);

    QString actual;
    for (int i = 0; i < m_edit->textLength(); ++i)
        if (formatAt(*m_edit, i).fontWeight() == QFont::Bold)
            actual += m_edit->document()->characterAt(i);
    QCOMPARE(actual, boldText);
    // Inside a word the word rule reads what it writes; after a word the
    // insertion format counts.
    QCOMPARE(m_edit->selectionCharFormat(FormatTarget::SelectionWord).bold, readsBold);
    QCOMPARE(m_edit->selectionStart(), caret);
    QCOMPARE(m_edit->selectionEnd(), caret);
}

void tst_RichEditFormat::wordFormatReadAtWordStart_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("bold");
    QTest::newRow("start of the text") << 0 << true;
    QTest::newRow("start of a plain word after a bold space") << 4 << false;
    QTest::newRow("start of a bold word after a plain space") << 10 << true;
    QTest::newRow("end of a word: the insertion format") << 3 << true;
}

void tst_RichEditFormat::wordFormatReadAtWordStart()
{
    // Given the caret before a word's first letter, when the word's format
    // is read, then it is that letter's format, as the font box shows it.
    QFETCH(int, caret);
    QFETCH(bool, bold);
    appendRuns(*m_edit,
               {{"Big ", boldFormat()}, {"small ", QTextCharFormat()}, {"Tall", boldFormat()}});
    m_edit->setSelection(caret, caret);
    QCOMPARE(m_edit->selectionCharFormat(FormatTarget::SelectionWord).bold, bold);
    QCOMPARE(m_edit->selectionStart(), caret);
    QCOMPARE(m_edit->selectionEnd(), caret);
}

void tst_RichEditFormat::mixedSelectionClearsMaskBits()
{
    QTextCharFormat red;
    red.setForeground(Qt::red);
    red.setFontWeight(QFont::Bold);
    appendRuns(*m_edit, {{"bold", red}, {" plain", QTextCharFormat()}});
    m_edit->setSelection(0, -1);
    const CharFormat f = m_edit->selectionCharFormat();
    QVERIFY(!f.has(CharFormat::Bold));
    QVERIFY(!f.has(CharFormat::Color));
    QVERIFY(f.has(CharFormat::Italic | CharFormat::Underline | CharFormat::Face | CharFormat::Size |
                  CharFormat::Protected));
    QCOMPARE(f.face, QStringLiteral("DejaVu Sans"));
    QCOMPARE(f.sizePoints(), 10);

    m_edit->setSelection(0, 4);
    const CharFormat first = m_edit->selectionCharFormat();
    QVERIFY(first.has(CharFormat::All));
    QVERIFY(first.bold);
    QCOMPARE(first.color, QColor(Qt::red));
    QVERIFY(!first.autoColor);
}

void tst_RichEditFormat::stylesWrittenTogether()
{
    // Given mixed bold and plain text, when the read styles are written back
    // with italic, then the whole selection takes the read bold value.
    appendRuns(*m_edit, {{"bold", boldFormat()}, {" plain", QTextCharFormat()}});
    m_edit->setSelection(0, -1);
    CharFormat f = m_edit->selectionCharFormat();
    f.mask = CharFormat::Styles;
    f.italic = true;
    m_edit->setSelectionCharFormat(f);
    const CharFormat after = m_edit->selectionCharFormat();
    QVERIFY(after.has(CharFormat::Styles));
    QCOMPARE(after.bold, f.bold);
    QVERIFY(after.italic);
}

void tst_RichEditFormat::sizeInWholePointsKeptInTwips_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("twipsRead");
    QTest::newRow("9 points") << 180 << 9 << 180;
    QTest::newRow("9.5 points reads 9") << 190 << 9 << 190;
    QTest::newRow("0 points becomes 1") << 0 << 1 << 20;
    QTest::newRow("negative becomes 1") << -20 << 1 << 20;
    QTest::newRow("beyond the largest") << 40000 << 1638 << 32760;
}

void tst_RichEditFormat::sizeInWholePointsKeptInTwips()
{
    QFETCH(int, twips);
    QFETCH(int, points);
    QFETCH(int, twipsRead);
    m_edit->setPlainText(QStringLiteral("some text"));
    m_edit->setSelection(0, 4);
    CharFormat f;
    f.mask = CharFormat::Size;
    f.sizeTwips = twips;
    m_edit->setSelectionCharFormat(f);
    const CharFormat read = m_edit->selectionCharFormat();
    QCOMPARE(read.sizePoints(), points);
    QCOMPARE(read.sizeTwips, twipsRead);
}

void tst_RichEditFormat::automaticColours()
{
    m_edit->setDefaultTextColor(QColor(10, 20, 30));
    m_edit->setDefaultBackgroundColor(QColor(250, 250, 240));
    m_edit->setPlainText(QStringLiteral("coloured"));
    m_edit->setSelection(0, -1);
    CharFormat f;
    f.mask = CharFormat::Color | CharFormat::BackColor;
    f.color = Qt::red;
    f.backColor = Qt::yellow;
    m_edit->setSelectionCharFormat(f);
    QCOMPARE(formatAt(*m_edit, 0).foreground().color(), QColor(Qt::red));

    f.autoColor = true;
    f.autoBackColor = true;
    m_edit->setSelectionCharFormat(f);
    const QTextCharFormat stored = formatAt(*m_edit, 0);
    QCOMPARE(stored.foreground().style(), Qt::NoBrush); // follows the palette
    QVERIFY(stored.boolProperty(rtf::AutoColor));
    QVERIFY(stored.boolProperty(rtf::AutoBackColor));
    const CharFormat read = m_edit->selectionCharFormat();
    QVERIFY(read.autoColor);
    QVERIFY(read.autoBackColor);
    QCOMPARE(read.color, QColor(10, 20, 30));
    QCOMPARE(read.backColor, QColor(250, 250, 240));
}

void tst_RichEditFormat::scriptBitsClearEachOther()
{
    m_edit->setPlainText(QStringLiteral("x2"));
    m_edit->setSelection(1, 2);
    CharFormat f;
    f.mask = CharFormat::Script;
    f.superscript = true;
    m_edit->setSelectionCharFormat(f);
    QVERIFY(m_edit->selectionCharFormat().superscript);
    f.superscript = false;
    f.subscript = true;
    m_edit->setSelectionCharFormat(f);
    QVERIFY(!m_edit->selectionCharFormat().superscript);
    QVERIFY(m_edit->selectionCharFormat().subscript);
    f.subscript = false;
    m_edit->setSelectionCharFormat(f);
    QCOMPARE(formatAt(*m_edit, 1).verticalAlignment(), QTextCharFormat::AlignNormal);
}

void tst_RichEditFormat::masksToggle()
{
    m_edit->setPlainText(QStringLiteral("secret"));
    m_edit->setProtectedHandler([](int, int) { return true; });
    m_edit->setSelection(0, -1);
    for (auto [bit, property] : {std::pair{CharFormat::Protected, int(rtf::Protected)},
                                 std::pair{CharFormat::Hidden, int(rtf::Hidden)},
                                 std::pair{CharFormat::Disabled, int(rtf::Disabled)}}) {
        CharFormat f;
        f.mask = bit;
        f.protectedText = f.hidden = f.disabled = true;
        m_edit->setSelectionCharFormat(f);
        QVERIFY(formatAt(*m_edit, 2).boolProperty(property));
        f.protectedText = f.hidden = f.disabled = false;
        m_edit->setSelectionCharFormat(f);
        QVERIFY(!formatAt(*m_edit, 2).hasProperty(property));
    }
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("secret"));
}

void tst_RichEditFormat::paraFormatOverSeveralParagraphs()
{
    m_edit->setPlainText(QStringLiteral("one\ntwo\nthree\nfour"));
    m_edit->setSelection(1, 10); // from inside "one" to inside "three"
    ParaFormat f;
    f.mask = ParaFormat::Alignment | ParaFormat::StartIndent | ParaFormat::Offset |
             ParaFormat::RightIndent;
    f.alignment = ParaFormat::Center;
    f.startIndent = 720;
    f.offset = -300;
    f.rightIndent = 150;
    m_edit->setParaFormat(f);

    const ParaFormat read = m_edit->paraFormat();
    QVERIFY(read.has(ParaFormat::All));
    QCOMPARE(read.alignment, int(ParaFormat::Center));
    QCOMPARE(read.startIndent, 720);
    QCOMPARE(read.offset, -300);
    QCOMPARE(read.rightIndent, 150);
    const QTextBlock fourth = m_edit->document()->findBlockByNumber(3);
    QCOMPARE(fourth.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(m_edit->document()->findBlockByNumber(2).blockFormat().alignment(), Qt::AlignHCenter);
    // First line at 720 twips, the other lines at 420: 48 and 28 pixels.
    QCOMPARE(m_edit->document()->firstBlock().blockFormat().leftMargin(), 28.0);
    QCOMPARE(m_edit->document()->firstBlock().blockFormat().textIndent(), 20.0);
}

void tst_RichEditFormat::paraFormatMaskOnMixedParagraphs()
{
    m_edit->setPlainText(QStringLiteral("one\ntwo"));
    m_edit->setSelection(5, 5);
    ParaFormat right;
    right.mask = ParaFormat::Alignment;
    right.alignment = ParaFormat::Right;
    m_edit->setParaFormat(right);
    m_edit->setSelection(0, -1);
    const ParaFormat read = m_edit->paraFormat();
    QVERIFY(!read.has(ParaFormat::Alignment));
    QVERIFY(read.has(ParaFormat::StartIndent | ParaFormat::Numbering | ParaFormat::LineSpacing));
}

void tst_RichEditFormat::numberingUsesListsAndKeepsIndents()
{
    m_edit->setPlainText(QStringLiteral("item"));
    ParaFormat f;
    f.mask = ParaFormat::Offset | ParaFormat::Numbering;
    f.offset = 200; // 10 points between the number and the text
    f.numbering = rtf::Bullet;
    m_edit->setParaFormat(f);
    QTextBlock block = m_edit->document()->firstBlock();
    QVERIFY(block.textList());
    QCOMPARE(block.textList()->format().style(), QTextListFormat::ListDisc);
    ParaFormat read = m_edit->paraFormat();
    QCOMPARE(read.numbering, int(rtf::Bullet));
    QCOMPARE(read.startIndent, 0);
    QCOMPARE(read.offset, 200);

    f.mask = ParaFormat::Numbering;
    f.numbering = rtf::UpperRoman;
    m_edit->setParaFormat(f);
    block = m_edit->document()->firstBlock();
    QCOMPARE(block.textList()->format().style(), QTextListFormat::ListUpperRoman);
    QCOMPARE(m_edit->paraFormat().offset, 200);

    f.mask = ParaFormat::Offset | ParaFormat::Numbering;
    f.numbering = rtf::NoNumbering;
    f.offset = 0;
    m_edit->setParaFormat(f);
    block = m_edit->document()->firstBlock();
    QVERIFY(!block.textList());
    read = m_edit->paraFormat();
    QCOMPARE(read.numbering, 0);
    QCOMPARE(read.startIndent, 0);
    QCOMPARE(read.offset, 0);
}

void tst_RichEditFormat::numberingJoinsNeighbouringList()
{
    m_edit->setPlainText(QStringLiteral("a\nb\nc\nd"));
    ParaFormat f;
    f.mask = ParaFormat::Numbering;
    f.numbering = rtf::Arabic;
    m_edit->setSelection(0, 3); // a and b
    m_edit->setParaFormat(f);
    m_edit->setSelection(4, 4); // c
    m_edit->setParaFormat(f);
    QTextDocument *doc = m_edit->document();
    QTextList *list = doc->firstBlock().textList();
    QVERIFY(list);
    QCOMPARE(doc->findBlockByNumber(2).textList(), list);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(doc->findBlockByNumber(2)), QStringLiteral("3."));
    QVERIFY(!doc->findBlockByNumber(3).textList());
}

void tst_RichEditFormat::spacingAndLineSpacingRules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("ruleRead");
    QTest::addColumn<int>("spacingRead");
    QTest::newRow("single") << 0 << 0 << 0 << 0;
    QTest::newRow("at least 18 points") << 3 << 360 << 3 << 360;
    QTest::newRow("exactly 12 points") << 4 << 240 << 4 << 240;
    QTest::newRow("double") << 2 << 0 << 2 << 40;
    QTest::newRow("three lines") << 5 << 60 << 5 << 60;
}

void tst_RichEditFormat::spacingAndLineSpacingRules()
{
    QFETCH(int, rule);
    QFETCH(int, spacing);
    QFETCH(int, ruleRead);
    QFETCH(int, spacingRead);
    m_edit->setPlainText(QStringLiteral("para"));
    ParaFormat f;
    f.mask = ParaFormat::SpaceBefore | ParaFormat::SpaceAfter | ParaFormat::LineSpacing;
    f.spaceBefore = 120;
    f.spaceAfter = 60;
    f.lineSpacingRule = rule;
    f.lineSpacing = spacing;
    m_edit->setParaFormat(f);
    const ParaFormat read = m_edit->paraFormat();
    QCOMPARE(read.spaceBefore, 120);
    QCOMPARE(read.spaceAfter, 60);
    QCOMPARE(read.lineSpacingRule, ruleRead);
    QCOMPARE(read.lineSpacing, spacingRead);
}

QTEST_MAIN(tst_RichEditFormat)
#include "tst_rich_edit_format.moc"
