// The HTML exports and the XML data export: the page frame line by line, the
// grid, the tree-ordered copy and its glyphs on small tables, the escaping of
// names, the sixteen pictures, and the round trips.

#include "io_fixture.h"
#include "notes/notes_strings.h"
#include "transfer/csv_import.h"
#include "transfer/html_export.h"
#include "transfer/io_error.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace bw;
using test::Item;

namespace {

const QDate kDate(2024, 12, 8);

QStringList bodyLines(void (*write)(dataset::ClientDataSet &, io::HtmlLineWriter &),
                      dataset::ClientDataSet &table)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        io::HtmlLineWriter out(buffer);
        write(table, out);
        out.flush();
    }
    QString text = QString::fromUtf8(buffer.data());
    if (!text.endsWith(QLatin1String("\r\n")))
        return {QStringLiteral("missing CR LF at the end")};
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

// A picture of the tree as the page spells it: an empty ALT (the pictures only
// draw lines and folders) and its size.
QString tag(const char *file)
{
    return QStringLiteral(
               "<IMG SRC=\"%1\" ALT=\"\" WIDTH=\"16\" HEIGHT=\"16\" ALIGN=\"ABSMIDDLE\">")
        .arg(QString::fromLatin1(file));
}

QString gifPath(const QString &name)
{
    return qEnvironmentVariable("BW_SOURCE_DIR") + QStringLiteral("/resources/tree_export/") + name;
}

} // namespace

class tst_HtmlExport : public QObject
{
    Q_OBJECT

private slots:
    void pageHeadAndFoot();
    void proposedExportName_data();
    void proposedExportName();
    void gridOfNewFile();
    void gridPageNamesTheDocument();
    void gridEscapesAndKeepsCurrentRecord();
    void treeGlyphs_data();
    void treeGlyphs();
    void treeEscapesNames();
    void treeWritesPictures();
    void picturesAreDrawnAsDescribed();
    void writeFailure();
    void xmlRoundTrip();
    void importThenGrid();

private:
    QTemporaryDir m_dir;
};

void tst_HtmlExport::pageHeadAndFoot()
{
    // The page starts with a DOCTYPE (standards mode: the grid takes the
    // page's font), and its frame is a DIV that a TABLE does not end.
    const io::HtmlPage page{QStringLiteral("Notes & Co <3>"), QStringLiteral("work & play.cds"),
                            kDate};
    QCOMPARE(
        io::htmlHeaderLines(page),
        (QStringList{
            "<!DOCTYPE HTML>",
            "<HTML>",
            "<HEAD>",
            "<META Name=\"Generator\" Content=\"Notes &amp; Co &lt;3&gt;\">",
            "<META http-equiv=\"Content-Type\" Content=\"text/html; charset=utf-8\">",
            "<TITLE>Notes &amp; Co &lt;3&gt; - work &amp; play.cds</TITLE>",
            "<STYLE>DIV { font-size: x-small; line-height: 16px } TABLE { line-height: normal } "
            "IMG { vertical-align: top }</STYLE>",
            "</HEAD>",
            "<BODY>",
            "<H2><CENTER><FONT FACE=\"Verdana\">work &amp; play.cds</FONT></CENTER></H2>",
            "<DIV><FONT FACE=\"MS Sans Serif\" SIZE=\"1\">",
            "",
        }));
    QCOMPARE(io::htmlFooterLines(page),
             (QStringList{
                 "",
                 "</FONT></DIV>",
                 "<HR>",
                 "<P ALIGN=\"RIGHT\"><FONT FACE=\"Verdana\" SIZE=\"1\"><I>Automatically generated "
                 "by Notes &amp; Co &lt;3&gt; on: 8.12.2024</I></FONT></P>",
                 "</BODY>",
                 "</HTML>",
                 "",
             }));
    QCOMPARE(io::shortDate(QDate(2025, 1, 31)), QStringLiteral("31.1.2025"));
}

void tst_HtmlExport::proposedExportName_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("notes file") << "work.cds"
                                << ".htm"
                                << "work.htm";
    QTest::newRow("untitled") << "NoName1"
                              << ".htm"
                              << "NoName1.htm";
    QTest::newRow("xml") << "work.cds"
                         << ".xml"
                         << "work.xml";
    QTest::newRow("two periods") << "my.notes.cds"
                                 << ".htm"
                                 << "my.notes.htm";
    QTest::newRow("non-ASCII") << "Zápisník.cds"
                               << ".xml"
                               << "Zápisník.xml";
}

void tst_HtmlExport::proposedExportName()
{
    QFETCH(QString, document);
    QFETCH(QString, ext);
    QTEST(io::proposedExportName(document, ext), "proposed");
}

void tst_HtmlExport::gridOfNewFile()
{
    notes::NotesTable notes;
    notes.createNewContent();
    QCOMPARE(
        bodyLines(io::writeHtmlGrid, notes.cdsCommon()),
        (QStringList{"<TABLE BORDER>", "<TR>", "<TH>ID</TH>", "<TH>Parent</TH>", "<TH>Name</TH>",
                     "<TH>Description</TH>", "</TR>", "<TR>", "<TD>0</TD>", "<TD>-1</TD>",
                     "<TD>This Is Your First Item</TD>", "<TD>(MEMO)</TD>", "</TR>", "</TABLE>"}));
}

void tst_HtmlExport::gridPageNamesTheDocument()
{
    notes::NotesTable notes;
    test::fillTable(notes, {Item{1, 1, "Ünïcode"}});
    const QString path = m_dir.filePath("report.htm");
    const io::HtmlPage page{QStringLiteral("Bramblewick 2000"), QStringLiteral("work.cds"), kDate};
    io::exportHtmlGrid(notes.cdsCommon(), path, page);
    const QStringList lines = io::htmlHeaderLines(page) +
                              bodyLines(io::writeHtmlGrid, notes.cdsCommon()) +
                              io::htmlFooterLines(page);
    // Every line ends with CR LF, the last (empty) one too; UTF-8 throughout.
    QCOMPARE(test::readAll(path), (lines.join("\r\n") + "\r\n").toUtf8());
    QVERIFY(test::readAll(path).contains("<TD>(Memo)</TD>"));
    QVERIFY(test::readAll(path).contains("<TD>Ünïcode</TD>"));
}

void tst_HtmlExport::gridEscapesAndKeepsCurrentRecord()
{
    notes::NotesTable notes;
    test::fillTable(notes, {Item{1, 1, "a"}, Item{2, 1, "<script>alert(\"x\")</script> & co"},
                            Item{3, 1, "c"}});
    notes.cdsCommon().setRecNo(2);
    const QStringList lines = bodyLines(io::writeHtmlGrid, notes.cdsCommon());
    QVERIFY(lines.contains("<TD>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; co</TD>"));
    QCOMPARE(notes.cdsCommon().recNo(), 2);
}

void tst_HtmlExport::treeGlyphs_data()
{
    QTest::addColumn<QList<Item>>("items");
    QTest::addColumn<QStringList>("lines");
    const QString vert = tag("tv_Line_Vert.gif");
    const QString open = tag("tv_Folder_Open.gif");
    const QString close = tag("tv_Folder_Close.gif");

    QTest::newRow("new file") << QList<Item>{Item{0, -1, notes::kFirstItemName}}
                              << QStringList{tag("tv_First_Ingen.gif") + close +
                                             " This Is Your First Item<Br>"};
    QTest::newRow("two top-level") << QList<Item>{Item{1, 1, "One"}, Item{2, 2, "Two"}}
                                   << QStringList{tag("tv_First_Ingen.gif") + close + " One<Br>",
                                                  tag("tv_Sist_ingen.gif") + close + " Two<Br>"};
    // Y has children and is not first: Midt, though no top-level item follows.
    QTest::newRow("top-level with children")
        << QList<Item>{Item{1, -1, "X"}, Item{2, -1, "Y"}, Item{3, 2, "Z"}}
        << QStringList{tag("tv_First_Ingen.gif") + close + " X<Br>",
                       tag("tv_Midt_Minus.gif") + open + " Y<Br>",
                       vert + tag("tv_Sist_ingen.gif") + close + " Z<Br>"};
    QTest::newRow("depth two") << QList<Item>{Item{1, 1, "R"}, Item{2, 1, "C"}, Item{3, 2, "G"}}
                               << QStringList{tag("tv_First_Minus.gif") + open + " R<Br>",
                                              vert + tag("tv_Sist_Minus.gif") + open + " C<Br>",
                                              vert + vert + tag("tv_Sist_ingen.gif") + close +
                                                  " G<Br>"};
    // Stored B then A: listed B, A; the tree sorts A before B, so B is last.
    QTest::newRow("B before A") << QList<Item>{Item{1, 1, "P"}, Item{2, 1, "B"}, Item{3, 1, "A"}}
                                << QStringList{tag("tv_First_Minus.gif") + open + " P<Br>",
                                               vert + tag("tv_Sist_ingen.gif") + close + " B<Br>",
                                               vert + tag("tv_Midt_Ingen.gif") + close + " A<Br>"};
    // Children stored before their parent are listed after it.
    QTest::newRow("children first")
        << QList<Item>{Item{3, 1, "kid"}, Item{1, 1, "root"}, Item{2, 2, "other"}}
        << QStringList{tag("tv_First_Minus.gif") + open + " root<Br>",
                       vert + tag("tv_Sist_ingen.gif") + close + " kid<Br>",
                       tag("tv_Sist_ingen.gif") + close + " other<Br>"};
    // Parent -1, a Parent matching no ID and one's own ID are all top level.
    QTest::newRow("top-level rules")
        << QList<Item>{Item{1, -1, "a"}, Item{2, 99, "b"}, Item{3, 3, "c"}}
        << QStringList{tag("tv_First_Ingen.gif") + close + " a<Br>",
                       tag("tv_Midt_Ingen.gif") + close + " b<Br>",
                       tag("tv_Sist_ingen.gif") + close + " c<Br>"};
    // Equal names keep stored order: the second "Same" is the last sibling.
    QTest::newRow("equal names") << QList<Item>{Item{1, 1, "P"}, Item{2, 1, "Same"},
                                                Item{3, 1, "Same"}}
                                 << QStringList{
                                        tag("tv_First_Minus.gif") + open + " P<Br>",
                                        vert + tag("tv_Midt_Ingen.gif") + close + " Same<Br>",
                                        vert + tag("tv_Sist_ingen.gif") + close + " Same<Br>"};
    // A cycle of Parent values (another program's file) ends and lists both.
    QTest::newRow("cycle") << QList<Item>{Item{1, 1, "T"}, Item{2, 3, "A"}, Item{3, 2, "B"}}
                           << QStringList{tag("tv_First_Ingen.gif") + close + " T<Br>",
                                          tag("tv_Midt_Minus.gif") + open + " A<Br>",
                                          vert + tag("tv_Sist_Minus.gif") + open + " B<Br>"};
}

void tst_HtmlExport::treeGlyphs()
{
    QFETCH(QList<Item>, items);
    notes::NotesTable notes;
    test::fillTable(notes, items);
    notes.cdsCommon().setRecNo(items.size());
    QTEST(bodyLines(io::writeHtmlTree, notes.cdsCommon()), "lines");
    QCOMPARE(notes.cdsCommon().recNo(), items.size());
}

void tst_HtmlExport::treeEscapesNames()
{
    notes::NotesTable notes;
    test::fillTable(notes, {Item{1, 1, "<b>bold</b> & \"quoted\""}});
    QCOMPARE(bodyLines(io::writeHtmlTree, notes.cdsCommon()).value(0),
             tag("tv_First_Ingen.gif") + tag("tv_Folder_Close.gif") +
                 " &lt;b&gt;bold&lt;/b&gt; &amp; &quot;quoted&quot;<Br>");
}

void tst_HtmlExport::treeWritesPictures()
{
    notes::NotesTable notes;
    notes.createNewContent();
    QTemporaryDir out;
    const QString path = out.filePath("tree.htm");
    QVERIFY(test::writeAll(out.filePath("tv_Line_Vert.gif"), "old picture"));
    for (int run = 0; run < 2; ++run) // a second export overwrites everything
        io::exportHtmlTree(notes.cdsCommon(), path,
                           {QStringLiteral("Bramblewick 2000"), QStringLiteral("NoName1"), kDate});
    QCOMPARE(io::treeGifNames().size(), 16);
    for (const QString &name : io::treeGifNames())
        QCOMPARE(test::readAll(out.filePath(name)), test::readAll(gifPath(name)));
    QVERIFY(test::readAll(path).contains("<TITLE>Bramblewick 2000 - NoName1</TITLE>"));
}

void tst_HtmlExport::picturesAreDrawnAsDescribed()
{
    const QRgb grey = qRgb(0x84, 0x84, 0x84);
    const auto load = [](const char *name) {
        QImage image(gifPath(QString::fromLatin1(name)));
        return image.convertToFormat(QImage::Format_ARGB32);
    };
    for (const QString &name : io::treeGifNames()) {
        const QImage image(gifPath(name));
        QCOMPARE(image.size(), QSize(16, 16));
        QVERIFY2(image.hasAlphaChannel(), qPrintable(name));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0); // the corner is background
    }
    const QImage empty = load("tv_Empty.gif");
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            QCOMPARE(qAlpha(empty.pixel(x, y)), 0);
    // Dotted lines: every other pixel of column 7 and of row 8.
    const QImage vert = load("tv_Line_Vert.gif");
    const QImage hors = load("tv_Line_Hors.gif");
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(vert.pixel(7, i) == grey, (7 + i) % 2 == 1);
        QCOMPARE(qAlpha(vert.pixel(6, i)), 0);
        QCOMPARE(hors.pixel(i, 8) == grey, (i + 8) % 2 == 1);
    }
    // The box: a grey 9 x 9 square at columns 3 to 11, rows 4 to 12, with a
    // black minus of five pixels, and a plus that adds five down the middle.
    const QImage minus = load("tv_Midt_Minus.gif");
    const QImage plus = load("tv_Midt_Pluss.gif");
    for (int i = 3; i <= 11; ++i) {
        QCOMPARE(minus.pixel(i, 4), grey);
        QCOMPARE(minus.pixel(i, 12), grey);
        QCOMPARE(minus.pixel(3, i + 1), grey);
        QCOMPARE(minus.pixel(11, i + 1), grey);
    }
    for (int i = 5; i <= 9; ++i) {
        QCOMPARE(minus.pixel(i, 8), qRgb(0, 0, 0));
        QCOMPARE(plus.pixel(i, 8), qRgb(0, 0, 0));
        QCOMPARE(plus.pixel(7, i + 1), qRgb(0, 0, 0));
    }
    QVERIFY(minus.pixel(7, 6) != qRgb(0, 0, 0));
    // Root boxes have no line below them; the others do.
    QCOMPARE(qAlpha(load("tv_First_MinusRoot.gif").pixel(7, 14)), 0);
    QCOMPARE(load("tv_First_Minus.gif").pixel(7, 14), grey);
    QCOMPARE(qAlpha(load("tv_Sist_ingen.gif").pixel(7, 14)), 0);
    QCOMPARE(load("tv_Midt_Ingen.gif").pixel(7, 14), grey);
}

void tst_HtmlExport::writeFailure()
{
    notes::NotesTable notes;
    notes.createNewContent();
    notes.cdsCommon().setRecNo(1);
    QVERIFY_THROWS_EXCEPTION(
        io::IoError,
        io::exportHtmlGrid(notes.cdsCommon(), m_dir.filePath("no/such.htm"),
                           {QStringLiteral("Bramblewick 2000"), QStringLiteral("x"), kDate}));
    QVERIFY_THROWS_EXCEPTION(
        io::IoError,
        io::exportHtmlTree(notes.cdsCommon(), m_dir.filePath("no/such.htm"),
                           {QStringLiteral("Bramblewick 2000"), QStringLiteral("x"), kDate}));
    QCOMPARE(notes.cdsCommon().recNo(), 1);
}

void tst_HtmlExport::xmlRoundTrip()
{
    // Given a table with unsaved changes and non-ASCII names,
    notes::NotesTable notes;
    test::fillTable(notes, {Item{1, 1, "Übersicht", test::rtfOf("x")}, Item{2, 1, "日本語"}});
    dataset::ClientDataSet &table = notes.cdsCommon();
    table.last();
    table.edit();
    table.setFieldValue(notes::kFieldName, QStringLiteral("Ελληνικά <&>"));
    table.post();
    QCOMPARE(table.changeCount(), 1);
    // when it is exported as XML data,
    const QString path = m_dir.filePath("data.xml");
    io::exportXmlData(table, path);
    // then the change log stays and the file opens as the same items.
    QCOMPARE(table.changeCount(), 1);
    QVERIFY(test::readAll(path).startsWith("<?xml"));
    notes::NotesTable loaded;
    loaded.loadFromFile(path);
    dataset::ClientDataSet &back = loaded.cdsCommon();
    QCOMPARE(back.recordCount(), 2);
    QCOMPARE(back.changeCount(), 0);
    back.first();
    QCOMPARE(back.asString(notes::kFieldName), QStringLiteral("Übersicht"));
    QCOMPARE(back.asBytes(notes::kFieldDescription), test::rtfOf("x"));
    back.next();
    QCOMPARE(back.asInteger(notes::kFieldParent), 1);
    QCOMPARE(back.asString(notes::kFieldName), QStringLiteral("Ελληνικά <&>"));
    QVERIFY(back.isNull(notes::kFieldDescription));
}

void tst_HtmlExport::importThenGrid()
{
    notes::NotesTable notes;
    notes.createNewContent();
    const QString csv = m_dir.filePath("in.csv");
    QVERIFY(test::writeAll(csv, "Äpfel;rot\nBirnen\n<Kirschen>;\n"));
    io::TableImportTarget target(notes.cdsCommon(), 0);
    io::ImportObserver observer;
    io::importCsv(csv, target, observer);
    const QStringList lines = bodyLines(io::writeHtmlGrid, notes.cdsCommon());
    const QStringList rows = lines.mid(7); // after the title row
    QCOMPARE(rows.mid(6, 6), (QStringList{"<TR>", "<TD>1</TD>", "<TD>0</TD>", "<TD>Äpfel</TD>",
                                          "<TD>(MEMO)</TD>", "</TR>"}));
    QCOMPARE(rows.mid(12, 6), (QStringList{"<TR>", "<TD>2</TD>", "<TD>0</TD>", "<TD>Birnen</TD>",
                                           "<TD>(Memo)</TD>", "</TR>"}));
    QCOMPARE(rows.value(21), QStringLiteral("<TD>&lt;Kirschen&gt;</TD>"));
    QCOMPARE(lines.last(), QStringLiteral("</TABLE>"));
}

QTEST_MAIN(tst_HtmlExport)
#include "tst_html_export.moc"
