// What the control shows: hidden and disabled text, recognised links.

#include "editor_fixture.h"

#include "editor/link_finder.h"
#include "rtf/rtf.h"
#include "rtf/text_properties.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QClipboard>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

using namespace bw;
using namespace bw::test;

Q_DECLARE_METATYPE(bw::LinkEvent)

class tst_RichEditDisplay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hiddenTextTakesNoRoomButIsKept();
    void caretStepsOverHiddenText();
    void disabledTextInTheDisabledColour();
    void printedWithoutHiddenText();
    void listNumbersShownFromTheirStart();
    void findLinks_data();
    void findLinks();
    void linkNotifications_data();
    void linkNotifications();
    void linkDetectionSwitchedOff();
    void longRunsWrapAnywhere_data();
    void longRunsWrapAnywhere();
    void longParagraphLaidOutOnce_data();
    void longParagraphLaidOutOnce();

private:
    QPoint pointOf(int position) const;
    std::unique_ptr<RichEdit> m_edit;
};

void tst_RichEditDisplay::init()
{
    qRegisterMetaType<bw::LinkEvent>();
    m_edit = std::make_unique<RichEdit>();
    m_edit->resize(500, 200);
    m_edit->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_edit.get()));
}

void tst_RichEditDisplay::cleanup()
{
    m_edit.reset();
}

QPoint tst_RichEditDisplay::pointOf(int position) const
{
    QTextCursor cursor(m_edit->document());
    cursor.setPosition(position);
    const QRect r = m_edit->cursorRect(cursor);
    return QPoint(r.x() + 3, r.center().y());
}

void tst_RichEditDisplay::hiddenTextTakesNoRoomButIsKept()
{
    appendRuns(*m_edit, {{"ab", QTextCharFormat()},
                         {"HIDDEN TEXT", propertyFormat(rtf::Hidden)},
                         {"cd", QTextCharFormat()}});
    QCoreApplication::processEvents();
    QTextCursor before(m_edit->document());
    before.setPosition(2);
    QTextCursor after(m_edit->document());
    after.setPosition(13);
    QVERIFY(qAbs(m_edit->cursorRect(before).x() - m_edit->cursorRect(after).x()) <= 1);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("abHIDDEN TEXTcd"));
    QCOMPARE(m_edit->textLength(), 15);
    QVERIFY(rtf::writeRtf(m_edit->document()).contains("HIDDEN TEXT"));
    // Unhidden, it takes its room again.
    m_edit->setSelection(2, 13);
    CharFormat shown;
    shown.mask = CharFormat::Hidden;
    m_edit->setSelectionCharFormat(shown);
    QVERIFY(m_edit->cursorRect(after).x() - m_edit->cursorRect(before).x() > 30);
}

void tst_RichEditDisplay::caretStepsOverHiddenText()
{
    appendRuns(*m_edit, {{"ab", QTextCharFormat()},
                         {"XYZ", propertyFormat(rtf::Hidden)},
                         {"cd", QTextCharFormat()}});
    m_edit->setSelection(2, 2);
    QTest::keyClick(m_edit.get(), Qt::Key_Right);
    QCOMPARE(m_edit->textCursor().position(), 6); // past the hidden text and "c"
    QTest::keyClick(m_edit.get(), Qt::Key_Left);
    QCOMPARE(m_edit->textCursor().position(), 2); // not right after the hidden text
    QTest::keyClick(m_edit.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(m_edit->selectedPlainText(), QStringLiteral("XYZc"));
    m_edit->setSelection(1, 1);
    QTest::keyClick(m_edit.get(), Qt::Key_Right);
    QCOMPARE(m_edit->textCursor().position(), 2);
}

void tst_RichEditDisplay::disabledTextInTheDisabledColour()
{
    appendRuns(*m_edit, {{"on ", QTextCharFormat()}, {"off", propertyFormat(rtf::Disabled)}});
    QCoreApplication::processEvents();
    const QList<QTextLayout::FormatRange> ranges =
        m_edit->document()->firstBlock().layout()->formats();
    QCOMPARE(ranges.size(), 1);
    QCOMPARE(ranges.first().start, 3);
    QCOMPARE(ranges.first().length, 3);
    QCOMPARE(ranges.first().format.foreground().color(),
             m_edit->palette().color(QPalette::Disabled, QPalette::Text));
    QVERIFY(!formatAt(*m_edit, 4).hasProperty(QTextFormat::ForegroundBrush)); // kept as it was
}

void tst_RichEditDisplay::printedWithoutHiddenText()
{
    appendRuns(*m_edit, {{"shown ", QTextCharFormat()},
                         {"HIDDEN ", propertyFormat(rtf::Hidden)},
                         {"greyed", propertyFormat(rtf::Disabled)}});
    const auto printable = m_edit->printableDocument();
    QCOMPARE(printable->toPlainText(), QStringLiteral("shown greyed"));
    QTextCursor cursor(printable.get());
    cursor.setPosition(8);
    QCOMPARE(cursor.charFormat().foreground().color(),
             m_edit->palette().color(QPalette::Disabled, QPalette::Text));
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("shown HIDDEN greyed")); // the original keeps it

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
    m_edit->print(&printer);
    QVERIFY(QFileInfo(printer.outputFileName()).size() > 0);
}

// Given lists that start at 5 and at III (Qt counts every list from 1), when
// shown, the control draws 5., 6. and III. before the paragraphs (after them
// right to left), and prints them as text.
void tst_RichEditDisplay::listNumbersShownFromTheirStart()
{
    const QByteArray rtf =
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat5{\\leveltext\\'02\\'00."
        ";}}\\listid1}"
        "{\\list{\\listlevel\\levelnfc1\\levelstartat3{\\leveltext\\'02\\'00.;}}\\listid2}"
        "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid3}}"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}{"
        "\\listoverride\\listid3\\ls3}}"
        "\\pard\\ls1\\fi-360\\li720 five\\par six\\par\\pard\\ls2\\rtlpar\\fi-360\\li720 three\\par"
        "\\pard\\ls3 one\\par}";
    QBuffer buffer;
    buffer.setData(rtf);
    buffer.open(QIODevice::ReadOnly);
    m_edit->loadFromStream(&buffer, StreamFormat::Rtf);
    const std::vector<ListMarker> markers = m_edit->visibleListMarkers();
    QCOMPARE(int(markers.size()), 3); // the list from 1 is Qt's to draw
    QCOMPARE(markers[0].text, QStringLiteral("5."));
    QCOMPARE(markers[1].text, QStringLiteral("6."));
    QCOMPARE(markers[2].text, QStringLiteral("III."));
    for (int i = 0; i < 2; ++i) {
        const QRect first =
            m_edit->cursorRect(QTextCursor(m_edit->document()->findBlockByNumber(i)));
        QVERIFY(markers[i].rect.right() <= first.left() + 1);
        QVERIFY(markers[i].rect.left() > 0);
        QVERIFY(qAbs(markers[i].rect.top() - first.top()) < 4);
    }
    const QRect rtlStart =
        m_edit->cursorRect(QTextCursor(m_edit->document()->findBlockByNumber(2)));
    QVERIFY(markers[2].rect.left() >= rtlStart.right() - 1);
    QImage shown(m_edit->viewport()->size(), QImage::Format_RGB32);
    m_edit->viewport()->render(&shown);
    const QRect inked = markers[0].rect.toAlignedRect() & shown.rect();
    bool ink = false;
    for (int y = inked.top(); y <= inked.bottom() && !ink; ++y) {
        for (int x = inked.left(); x <= inked.right() && !ink; ++x)
            ink = shown.pixelColor(x, y).lightness() < 128;
    }
    QVERIFY(ink);
    QCOMPARE(m_edit->printableDocument()->toPlainText(),
             QStringLiteral("5.\tfive\n6.\tsix\nIII.\tthree\none"));
}

void tst_RichEditDisplay::findLinks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("links");
    QTest::newRow("sentence end") << "see http://example.com/a."
                                  << QStringList{"http://example.com/a"};
    QTest::newRow("www") << "at www.kde.org, then" << QStringList{"www.kde.org"};
    QTest::newRow("mail") << "mailto:me@example.com" << QStringList{"mailto:me@example.com"};
    QTest::newRow("brackets") << "(https://a.b/c)" << QStringList{"https://a.b/c"};
    QTest::newRow("brackets inside") << "https://en.wikipedia.org/wiki/A_(b)"
                                     << QStringList{"https://en.wikipedia.org/wiki/A_(b)"};
    QTest::newRow("two") << "ftp://x.y and file:///tmp/a"
                         << QStringList{"ftp://x.y", "file:///tmp/a"};
    QTest::newRow("bare scheme") << "http: is a scheme" << QStringList{};
    QTest::newRow("no link") << "time: 10:30" << QStringList{};
}

void tst_RichEditDisplay::findLinks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, links);
    QStringList found;
    for (const LinkRange &link : bw::findLinks(text))
        found << text.mid(link.start, link.length);
    QCOMPARE(found, links);
}

void tst_RichEditDisplay::linkNotifications_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
}

void tst_RichEditDisplay::linkNotifications()
{
    QFETCH(int, button);
    m_edit->setContextMenuPolicy(Qt::NoContextMenu);
    m_edit->setPlainText(QStringLiteral("go to www.example.com now"));
    QCoreApplication::processEvents();
    QSignalSpy events(m_edit.get(), &RichEdit::link);
    QSignalSpy clicks(m_edit.get(), &RichEdit::linkClicked);
    const auto b = Qt::MouseButton(button);
    QTest::mousePress(m_edit->viewport(), b, {}, pointOf(10));
    QTest::mouseRelease(m_edit->viewport(), b, {}, pointOf(10));
    QCOMPARE(events.count(), 2);
    const auto press = events.at(0).at(0).value<LinkEvent>();
    const auto release = events.at(1).at(0).value<LinkEvent>();
    QCOMPARE(press.text, QStringLiteral("www.example.com"));
    QCOMPARE(press.start, 6);
    QCOMPARE(press.end, 21);
    QCOMPARE(press.button, b);
    QVERIFY(!press.released);
    QVERIFY(release.released);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toString(), QStringLiteral("www.example.com"));
    QCOMPARE(clicks.at(0).at(1).value<Qt::MouseButton>(), b);

    // Down on the link, up elsewhere: no click.
    QTest::mousePress(m_edit->viewport(), b, {}, pointOf(10));
    QTest::mouseRelease(m_edit->viewport(), b, {}, pointOf(1));
    QCOMPARE(clicks.count(), 1);
    // Plain text is no link.
    QTest::mouseClick(m_edit->viewport(), b, {}, pointOf(1));
    QCOMPARE(events.count(), 3);
}

void tst_RichEditDisplay::linkDetectionSwitchedOff()
{
    m_edit->setPlainText(QStringLiteral("www.example.com"));
    QCoreApplication::processEvents();
    QVERIFY(!m_edit->document()->firstBlock().layout()->formats().isEmpty());
    QSignalSpy changes(m_edit.get(), &RichEdit::change);
    QSignalSpy events(m_edit.get(), &RichEdit::link);
    m_edit->setAutoUrlDetect(false);
    QVERIFY(m_edit->document()->firstBlock().layout()->formats().isEmpty());
    QVERIFY(m_edit->linkAt(3).isEmpty());
    QTest::mouseClick(m_edit->viewport(), Qt::LeftButton, {}, pointOf(5));
    QCOMPARE(events.count(), 0);
    QCOMPARE(changes.count(), 0); // showing links is no change of the text
    m_edit->setAutoUrlDetect(true);
    QCOMPARE(m_edit->linkAt(3), QStringLiteral("www.example.com"));
}

namespace {

// 60,000 letters without a space, or as many in words of five.
QString longRun()
{
    return QString(60000, u'x');
}

QString words()
{
    return QStringLiteral("words ").repeated(10000);
}

void loadPlain(RichEdit &edit, const QString &text)
{
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    edit.loadFromStream(&buffer, StreamFormat::PlainText);
}

} // namespace

void tst_RichEditDisplay::longRunsWrapAnywhere_data()
{
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QString>("then");  // pasted at the end, or loaded after ("load:")
    QTest::addColumn<bool>("anywhere"); // wraps anywhere rather than at words first
    const QString load = QStringLiteral("load:");
    QTest::newRow("words") << words() << QString() << false;
    QTest::newRow("one long line") << longRun() << QString() << true;
    QTest::newRow("long line among words")
        << words() + '\n' + longRun() + '\n' + words() << QString() << true;
    QTest::newRow("long line pasted") << words() << longRun() << true;
    QTest::newRow("short run pasted") << words() << QString(1000, u'y') << false;
    QTest::newRow("words loaded after") << longRun() << load + words() << false;
}

void tst_RichEditDisplay::longRunsWrapAnywhere()
{
    // Given a paragraph with a run of thousands of letters without a space,
    // when it is shown, the document wraps anywhere: Qt lays such a run out
    // at word boundaries in time that grows with the square of its length.
    QFETCH(QString, loaded);
    QFETCH(QString, then);
    QFETCH(bool, anywhere);
    loadPlain(*m_edit, loaded);
    if (then.startsWith(QLatin1String("load:"))) {
        loadPlain(*m_edit, then.mid(5));
    } else if (!then.isEmpty()) {
        m_edit->setSelection(m_edit->textLength(), -1);
        QApplication::clipboard()->setText(then);
        m_edit->paste();
    }
    QCOMPARE(m_edit->wordWrapMode(),
             anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    QCOMPARE(m_edit->document()->defaultTextOption().wrapMode(), m_edit->wordWrapMode());
    // Every line fits the view: nothing runs past its right edge.
    QVERIFY(m_edit->lineCount() > 100);
    QVERIFY(m_edit->document()->size().width() <= m_edit->viewport()->width());
}

namespace {

// Counts the layouts of the documents the control takes from now on, and of
// the one it shows now: a document's layout reports an update after each.
class LayoutCounter : public QObject
{
public:
    explicit LayoutCounter(RichEdit &edit)
    {
        count(edit.document(), &m_shown);
        edit.installEventFilter(this);
    }
    int shown() const { return m_shown; } // layouts of the document shown before
    int taken() const { return m_taken; } // layouts of the documents taken since

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            if (auto *document =
                    qobject_cast<QTextDocument *>(static_cast<QChildEvent *>(event)->child()))
                count(document, &m_taken);
        }
        return false;
    }

private:
    void count(QTextDocument *document, int *layouts)
    {
        connect(document->documentLayout(), &QAbstractTextDocumentLayout::update, this,
                [layouts] { ++*layouts; });
    }

    int m_shown = 0;
    int m_taken = 0;
};

} // namespace

void tst_RichEditDisplay::longParagraphLaidOutOnce_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one long line") << QString(200000, u'x');
    QTest::newRow("words") << QStringLiteral("words ").repeated(40000);
}

void tst_RichEditDisplay::longParagraphLaidOutOnce()
{
    // Given a shown control, when a paragraph of 200,000 characters is
    // loaded, then Qt lays the whole paragraph out once (not again for each
    // change the control makes to a new document, nor when the scroll bar
    // appears), and keeps its shaping for the caret and the painting.
    QFETCH(QString, text);
    loadPlain(*m_edit, QStringLiteral("short"));
    LayoutCounter counter(*m_edit);
    loadPlain(*m_edit, text);
    QCOMPARE(counter.taken(), 1);
    QCOMPARE(counter.shown(), 0); // the document replaced is not laid out again
    QVERIFY(m_edit->document()->firstBlock().layout()->cacheEnabled());
    QVERIFY(m_edit->verticalScrollBar()->isVisible());
    QCOMPARE(m_edit->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QVERIFY(m_edit->document()->size().width() <= m_edit->viewport()->width());
    QVERIFY(m_edit->lineCount() > 100);

    // A long paragraph typed or pasted into a short one keeps its shaping too.
    loadPlain(*m_edit, QStringLiteral("short\nparagraphs"));
    QVERIFY(!m_edit->verticalScrollBar()->isVisible());
    QVERIFY(!m_edit->document()->firstBlock().layout()->cacheEnabled());
    m_edit->setSelection(m_edit->textLength(), -1);
    QApplication::clipboard()->setText(text.left(20000));
    m_edit->paste();
    QVERIFY(!m_edit->document()->firstBlock().layout()->cacheEnabled());
    QVERIFY(m_edit->document()->lastBlock().layout()->cacheEnabled());
}

QTEST_MAIN(tst_RichEditDisplay)
#include "tst_rich_edit_display.moc"
