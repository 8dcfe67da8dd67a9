// The RTF writer: its dialect, escaping, numbering text, pictures and objects,
// ranges, and round trips through the reader.

#include "rtf/rtf.h"
#include "rtf/rtf_object.h"
#include "rtf_test_support.h"

#include <QBuffer>
#include <QTextCursor>
#include <QTextList>
#include <QtTest>

using namespace bw::rtf;
using bw::rtf::test::describe;
using bw::rtf::test::dump;
using bw::rtf::test::fixture;

namespace {

const QByteArray kFirstItem =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
    "Verdana;}{\\f1\\fnil Verdana;}}"
    "\\viewkind4\\uc1\\pard\\f0\\fs16 This is a description for your first item.\\par}";

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage filled(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray body(const QByteArray &rtf)
{
    const qsizetype at = rtf.indexOf("\\viewkind4\\uc1");
    return rtf.mid(at + 14);
}

QTextImageFormat imageAt(const QTextDocument &document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat().toImageFormat();
}

} // namespace

class tst_RtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void firstItemOfNewFile();
    void roundTrips_data();
    void roundTrips();
    void savingAgainDoesNotGrow_data();
    void savingAgainDoesNotGrow();
    void escapesText();
    void writesControlDocument();
    void numberText_data();
    void numberText();
    void qtListsWithoutNumberingProperty();
    void picturesKeepOriginalBytes_data();
    void picturesKeepOriginalBytes();
    void imageWithoutBytesWrittenAsPng();
    void objectsWrittenAndReadBack();
    void rangeIsASelection();
    void writesWhatWasRead_data();
    void writesWhatWasRead();
    void documentWithoutFontTableKeepsTheDefaultFont();
};

void tst_RtfWriter::firstItemOfNewFile()
{
    QTextDocument document;
    readRtf(kFirstItem, &document);
    QCOMPARE(
        writeRtf(&document),
        QByteArray(
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
            "Verdana;}}\n"
            "\\viewkind4\\uc1\\pard\\f0\\fs16 This is a description for your first item.\\par\n}"));
}

void tst_RtfWriter::roundTrips_data()
{
    // Every input has a font table, as every RTF writer writes one; without
    // it the second document would name the document's default font.
    QTest::addColumn<QByteArray>("rtf");
    const QByteArray png = encoded(filled(3, 2, Qt::red), "PNG").toHex();
    const QByteArray jpeg = encoded(filled(8, 8, Qt::blue), "JPEG").toHex();
    QTest::newRow("first item") << kFirstItem;
    QTest::newRow("character formats")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fmodern\\fprq1 "
                      "Courier New;}{\\f2\\fscript Comic;}}"
                      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\f0\\fs20 "
                      "a{\\b b}{\\i c}{\\ul d}{\\uld e}"
                      "{\\uldash f}{\\uldashd g}{\\uldashdd h}{\\ulwave i}{\\strike j}{\\cf1 "
                      "k}{\\highlight2 l}{\\super m}"
                      "{\\sub n}{\\protect o}{\\v p}{{\\*\\bwdisabled}q}\\f1\\fs31 r\\f2 s\\par}");
    QTest::newRow("paragraph formats") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\qc "
        "a\\par\\pard\\qr\\fi-360\\li720\\ri240\\sb120\\sa60 b\\par\\pard\\qj\\sl360\\slmult1 "
        "c\\par"
        "\\pard\\sl300\\slmult0 "
        "d\\par\\pard\\sl-270\\slmult0\\tx720\\tqr\\tx2880\\tqc\\tx1440\\tqdec\\tx4320 e\\par}");
    QTest::newRow("numbering both forms") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0 "
        "Arial;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc2\\levelstartat4{\\leveltext\\'02(\\'"
        "00);}}\\listid1}}"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
        "\\pard{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'B7}}\\fi-360\\li360 a\\par b\\par"
        "\\pard{\\*\\pn\\pnlvlbody\\pnstart3\\pnucltr{\\pntxta)}}c\\par d\\par"
        "\\pard\\ls1 e\\par f\\par\\pard g\\par}");
    QTest::newRow("code pages and unicode") << QByteArray(
        "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset128 MS "
        "Mincho;}}\\'cf\\'f0 \\f1\\'82\\'a0 "
        "\\u8364?\\uc0\\u-10179\\u-8704 \\~\\-\\_\\emdash\\tab x\\line y\\\\\\{\\}\\par}");
    QTest::newRow("links") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}} a{\\field{\\*\\fldinst{HYPERLINK "
        "\"http://example.com/?q=\\\\{x}\"}}"
        "{\\fldrslt{\\ul\\b link}}}{\\field{\\*\\fldinst HYPERLINK \\\\l \"n\"}{\\fldrslt n}} "
        "b\\par}");
    QTest::newRow("pictures")
        << "{\\rtf1{\\fonttbl{\\f0 Arial;}} "
           "a{\\pict\\pngblip\\picscalex50\\picwgoal1500\\pichgoal600 " +
               png + "}{\\pict\\jpegblip " + jpeg + "}{\\pict\\emfblip\\picw2540\\pich2540 0102}" +
               "{\\pict\\wmetafile8\\picwgoal100\\pichgoal100 0304}" +
               "{\\pict\\wbitmap0\\picw8\\pich1\\wbmbitspixel1\\wbmwidthbytes2 ff00}b\\par}";
    QTest::newRow("objects")
        << "{\\rtf1{\\fonttbl{\\f0 Arial;}} {\\object\\objemb{\\*\\objclass "
           "Bramblewick.File}{\\*\\objdata " +
               encodeObjectData({false,
                                 QStringLiteral("a.bin"),
                                 QStringLiteral("application/octet-stream"),
                                 {},
                                 "\x01\x02"})
                   .toHex() +
               "}{\\result{\\pict\\pngblip " + png +
               "}}}{\\object\\objemb{\\*\\objclass Excel.Sheet}{\\*\\objdata 0105}" +
               "{\\result{\\pict\\pngblip " + png + "}}}\\par}";
    QTest::newRow("empty paragraphs")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\fs40 \\par\\fs20 a\\par\\b\\par\\par}");
    QTest::newRow("no final par") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\qc a\\par b}");
    QTest::newRow("empty") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}}");
    QTest::newRow("sampler") << fixture(QStringLiteral("reader_sampler.rtf"));
    // Found by fuzzing: text before \object in its group was kept twice; an
    // object's own tables and code page changed the document it is written
    // into; a ';' in a font name ended the name.
    QTest::newRow("text before object word")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}} a{b\\object{\\pict\\pngblip}}\\par}");
    QTest::newRow("object holding tables")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0 "
                      "a{\\object{\\fonttbl{\\f0 Other;}}"
                      "{\\colortbl;\\red0\\green255\\blue0;}\\ansicpg1251\\deff1{\\result{"
                      "\\pict\\wmetafile8 01}}}\\cf1\\'e9\\par}");
    QTest::newRow("semicolon in font name")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Semi\\u59?colon;}}\\f0 a\\par}");
    // Two pictures of the same undecodable bytes but other sizes shared one
    // drawn box: the unfinished object's replaced the first one's.
    QTest::newRow("same bytes other box")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\pict\\pngblip\\pich30 "
                      "89c0}\\par{\\object{\\pict\\pngblip 89c0}");
    // A list table read after a paragraph of the same format had been made
    // left the next such paragraph without its start, so it was written as
    // another list.
    QTest::newRow("list defined after its first use")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 "
                      "Arial;}}{\\listoverride\\ls1}\\ls1{\\tx{{\\par}\\listtable{\\list{"
                      "\\listlevel\\levelstartat2}}}\\par} ");
    const QByteArray lists =
        "{\\rtf1{\\fonttbl{\\f0 "
        "Arial;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat5{\\leveltext\\'02\\'"
        "00.;}}"
        "{\\listlevel\\levelnfc4{\\leveltext\\'03(\\'01);}}{\\listlevel\\levelnfc23{\\leveltext\\'"
        "01\\u9642 ?;}}\\listid1}"
        "{\\list{\\listlevel\\levelnfc1\\levelstartat3{\\leveltext\\'02\\'00.;}}\\listid2}}"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}}";
    QTest::newRow("lists with levels")
        << lists + "\\pard\\ls1\\li720 a\\par\\pard\\ls1\\ilvl1\\li1440 b\\par\\pard\\ls1\\ilvl2 "
                   "c\\par\\pard d\\par"
                   "\\pard\\ls1 e\\par\\pard\\ls2 f\\par\\pard g\\par\\pard\\ls2 h\\par}";
    // Given a list defined again by a later list table, when written twice,
    // then its paragraphs after that keep their numbers (the fuzzer found
    // them written as one list with those before).
    QTest::newRow("list defined again")
        << lists + "\\pard\\ls2 "
                   "a\\par{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat5{"
                   "\\leveltext\\'02\\'00.;}}\\listid3}}"
                   "{\\*\\listoverridetable{\\listoverride\\listid3\\ls2}}\\pard\\ls2 "
                   "b\\par\\pard\\ls2 c\\par}";
    // Given a numbered paragraph before a table that ends the document, when
    // written twice, then the numbers are the same (the fuzzer found "2." on
    // the first write and "3." on the second): the numbered empty paragraph
    // before a table at the start is written, and no copy of the numbering
    // is left on text a table cut off or on the paragraph after the table.
    QTest::newRow("numbered paragraph before a table at the start")
        << lists + "\\pard\\ls1\\par\\intbl b}";
    QTest::newRow("table cuts off a numbered paragraph")
        << lists + "\\pard\\ls1 a\\par b{\\pict\\emfblip\\picw100\\pich100 01}\\intbl c}";
    QTest::newRow("numbered row ends the document")
        << lists + "\\pard\\ls1 a\\par\\trowd\\cellx1000\\intbl b\\cell\\row}";
    // Given number text holding characters that stand for level numbers in a
    // list table, when written twice, then the text is the same (the fuzzer
    // found the first write keep a NUL that the list table then lost).
    QTest::newRow("level number characters in number text") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0 "
        "Arial;}}\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb\\'08(}{\\pntxta)\\'00}}a\\par}");
    QTest::newRow("tables") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0 "
        "Arial;}}\\trowd\\clbrdrt\\brdrs\\cellx1440\\cellx4000\\pard\\intbl{\\b a}\\cell b\\par "
        "c\\cell\\row"
        "\\trowd\\cellx1440\\cellx4000\\pard\\intbl\\cell d\\cell\\row\\pard y\\par}");
    // Given cells wider together than the 22 inches a length may have, when
    // written twice, then the edges are the same (the fuzzer found them differ).
    QTest::newRow("table wider than lengths go")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\trowd\\cellx9452\\pard\\intbl a\\cell "
                      "b\\cell c\\cell d\\cell e\\cell\\row}");
    // Given a document that starts with a table, when written twice, then the
    // paragraph Qt keeps before the table names no font (the fuzzer found one).
    QTest::newRow("table first") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0\\froman Liberation Serif;}}\\f0\\trowd\\cellx9000\\pard\\intbl "
        "a\\par b\\cell\\row\\pard c\\par}");
    QTest::newRow("directions footnotes capitals") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green255\\blue0;}\\pard\\rtlpar "
        "a\\par\\pard b{\\super\\chftn{\\*\\footnote\\chftn A\\par B}}"
        "{\\caps c}{\\scaps d}{\\chcbpat1 e}{\\highlight1 f}\\par\\pard\\pagebb g\\page h\\par}");
}

void tst_RtfWriter::roundTrips()
{
    QFETCH(QByteArray, rtf);
    QTextDocument first;
    readRtf(rtf, &first);
    const QByteArray written = writeRtf(&first);
    QTextDocument second;
    readRtf(written, &second);
    QCOMPARE(dump(second), dump(first));
    QCOMPARE(writeRtf(&second), written);
}

void tst_RtfWriter::savingAgainDoesNotGrow_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("blocks");
    QTest::newRow("empty document") << QByteArray() << 1;
    QTest::newRow("no final par") << QByteArray("{\\rtf1 a}") << 1;
    QTest::newRow("final par") << QByteArray("{\\rtf1 a\\par}") << 1;
    QTest::newRow("final empty paragraph") << QByteArray("{\\rtf1 a\\par\\par}") << 2;
    QTest::newRow("only par") << QByteArray("{\\rtf1\\par}") << 1;
}

void tst_RtfWriter::savingAgainDoesNotGrow()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, blocks);
    QTextDocument document;
    if (!rtf.isEmpty())
        readRtf(rtf, &document);
    const QByteArray once = writeRtf(&document);
    for (int i = 0; i < 5; ++i) {
        readRtf(writeRtf(&document), &document);
        QCOMPARE(document.blockCount(), blocks);
    }
    QCOMPARE(writeRtf(&document), once);
}

void tst_RtfWriter::escapesText()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("Arial")});
    format.setFontPointSize(12);
    cursor.insertText(QString::fromUtf8("a\\{}\tb\u2028c\u00a0\u00ad\u2011é€П😀1"), format);
    QCOMPARE(body(writeRtf(&document)),
             QByteArray("\\pard\\f0 a\\\\\\{\\}\\tab b\\line "
                        "c\\~\\-\\_\\'e9\\'80\\u1055?\\u-10179?\\u-8704?1\\par\n}"));
    // Font names are escaped the same way.
    format.setFontFamilies({QString::fromUtf8("Schrift ü{x}")});
    QTextDocument named;
    QTextCursor(&named).insertText(QStringLiteral("x"), format);
    QVERIFY(writeRtf(&named).contains("{\\f0\\fnil\\fcharset0 Schrift \\'fc\\{x\\};}"));
}

void tst_RtfWriter::writesControlDocument()
{
    // A document made by editing (no font on plain text, colours, links,
    // a bold empty line) comes back with the same formats.
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Tahoma"), 10));
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("plain "));
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setBackground(QColor(255, 255, 0));
    red.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("red"), red);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/\"q\""));
    link.setFontUnderline(true);
    cursor.insertText(QStringLiteral(" link"), link);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLeftMargin(48);
    QTextCharFormat big;
    big.setFontPointSize(20);
    cursor.insertBlock(centred, big);
    QTextDocument copy;
    readRtf(writeRtf(&document), &copy);
    QCOMPARE(describe(copy),
             "P \"plain \"{font=Tahoma,pt=10} \"red\"{font=Tahoma,pt=10,b,fg=#ff0000,bg=#ffff00} "
             "\" link\"{font=Tahoma,pt=10,u=1,href=https://example.org/%22q%22} | "
             "P(c,li=720) {font=Tahoma,pt=20}");
}

void tst_RtfWriter::numberText_data()
{
    QTest::addColumn<QByteArray>("numbering");
    QTest::addColumn<QByteArrayList>("texts");
    QTest::newRow("bullet") << QByteArray("\\pnlvlblt")
                            << QByteArrayList{"{\\pntext\\'95\\tab}", "{\\pntext\\'95\\tab}"};
    QTest::newRow("arabic from 9") << QByteArray("\\pnlvlbody\\pndec\\pnstart9{\\pntxta.}")
                                   << QByteArrayList{"{\\pntext 9.\\tab}", "{\\pntext 10.\\tab}"};
    QTest::newRow("letters") << QByteArray("\\pnlvlbody\\pnlcltr\\pnstart26{\\pntxta)}")
                             << QByteArrayList{"{\\pntext z)\\tab}", "{\\pntext aa)\\tab}"};
    QTest::newRow("upper roman") << QByteArray(
                                        "\\pnlvlbody\\pnucrm\\pnstart3{\\pntxtb(}{\\pntxta)}")
                                 << QByteArrayList{"{\\pntext (III)\\tab}", "{\\pntext (IV)\\tab}"};
    QTest::newRow("lower roman") << QByteArray("\\pnlvlbody\\pnlcrm\\pnstart1999")
                                 << QByteArrayList{"{\\pntext mcmxcix\\tab}", "{\\pntext mm\\tab}"};
}

void tst_RtfWriter::numberText()
{
    QFETCH(QByteArray, numbering);
    QFETCH(QByteArrayList, texts);
    QTextDocument document;
    readRtf("{\\rtf1\\pard{\\*\\pn" + numbering + "}one\\par two\\par}", &document);
    const QByteArray rtf = writeRtf(&document);
    const qsizetype first = rtf.indexOf(texts[0]);
    QVERIFY2(first > 0 && rtf.indexOf("one", first) > first, rtf.constData());
    const qsizetype second = rtf.indexOf(texts[1] + "two", first);
    QVERIFY2(second > first, rtf.constData());
    QCOMPARE(rtf.count("\\pard"), 1); // the second paragraph keeps the numbering
}

void tst_RtfWriter::qtListsWithoutNumberingProperty()
{
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("one"));
    cursor.createList(QTextListFormat::ListUpperRoman);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two"));
    const QByteArray rtf = writeRtf(&document);
    QVERIFY2(rtf.contains("\\pnucrm"), rtf.constData());
    QVERIFY2(rtf.contains("{\\pntext II.\\tab}two"), rtf.constData());
    QVERIFY2(rtf.contains("\\li600"), rtf.constData()); // Qt's list indent: 40 pixels
    QTextDocument copy;
    readRtf(rtf, &copy);
    QCOMPARE(describe(copy), "P(li=600,num=6/1 list=-8 id=1) \"one\"{font=Arial} | "
                             "P(li=600,num=6/1 list=-8 id=1) \"two\"{font=Arial}");
}

void tst_RtfWriter::picturesKeepOriginalBytes_data()
{
    QTest::addColumn<QByteArray>("keyword");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("png") << QByteArray("\\pngblip") << encoded(filled(3, 3, Qt::green), "PNG");
    QTest::newRow("jpeg") << QByteArray("\\jpegblip") << encoded(filled(8, 8, Qt::blue), "JPEG");
    QTest::newRow("emf") << QByteArray("\\emfblip") << QByteArray("EMF bytes that cannot be drawn");
    QTest::newRow("wmf") << QByteArray("\\wmetafile8")
                         << QByteArray("\xd7\xcd\xc6\x9a metafile", 13);
    QByteArray dib(40, '\0');
    qToLittleEndian<quint32>(40, dib.data());
    qToLittleEndian<quint32>(1, dib.data() + 4);
    qToLittleEndian<quint32>(1, dib.data() + 8);
    qToLittleEndian<quint16>(1, dib.data() + 12);
    qToLittleEndian<quint16>(24, dib.data() + 14);
    dib.append(QByteArray::fromHex("00ff0000"));
    QTest::newRow("dib") << QByteArray("\\dibitmap0") << dib;
}

void tst_RtfWriter::picturesKeepOriginalBytes()
{
    QFETCH(QByteArray, keyword);
    QFETCH(QByteArray, data);
    QTextDocument document;
    readRtf("{\\rtf1{\\pict" + keyword + "\\picwgoal300\\pichgoal150 " + data.toHex() + "}}",
            &document);
    const QByteArray rtf = writeRtf(&document);
    const qsizetype at = rtf.indexOf("{\\pict" + keyword);
    QVERIFY2(at > 0, rtf.constData());
    QVERIFY(rtf.indexOf("\\picwgoal300\\pichgoal150", at) > at);
    const qsizetype start = rtf.indexOf('\n', at);
    const QByteArray hex = rtf.mid(start, rtf.indexOf('}', start) - start);
    QCOMPARE(QByteArray::fromHex(hex), data);
}

void tst_RtfWriter::imageWithoutBytesWrittenAsPng()
{
    // An image that reached the document as a resource only (pasted).
    QTextDocument document;
    const QImage image = filled(6, 4, QColor(10, 20, 30));
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pasted:1")), image);
    QTextImageFormat format;
    format.setName(QStringLiteral("pasted:1"));
    QTextCursor(&document).insertImage(format);
    const QByteArray rtf = writeRtf(&document);
    QVERIFY2(rtf.contains("{\\pict\\pngblip\\picw6\\pich4\\picwgoal90\\pichgoal60"),
             rtf.constData());
    QTextDocument copy;
    readRtf(rtf, &copy);
    const QTextImageFormat read = imageAt(copy, 0);
    QCOMPARE(read.stringProperty(PictureFormat), "png");
    QCOMPARE(
        copy.resource(QTextDocument::ImageResource, QUrl(read.name())).value<QImage>().pixel(5, 3),
        image.pixel(5, 3));
}

void tst_RtfWriter::objectsWrittenAndReadBack()
{
    QTextDocument document;
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("icon:pdf")),
                         filled(32, 32, Qt::gray));
    QTextImageFormat embedded;
    embedded.setName(QStringLiteral("icon:pdf"));
    embedded.setProperty(ObjectName, QString::fromUtf8("Übersicht.pdf"));
    embedded.setProperty(ObjectMimeType, QStringLiteral("application/pdf"));
    embedded.setProperty(ObjectData, QByteArray("%PDF-1.4 data", 13));
    QTextImageFormat linked;
    linked.setName(QStringLiteral("icon:missing")); // no resource: a framed box is written
    linked.setWidth(40);
    linked.setHeight(20);
    linked.setProperty(ObjectName, QStringLiteral("plan.ods"));
    linked.setProperty(ObjectLinkPath, QStringLiteral("/home/me/plan.ods"));
    QTextCursor cursor(&document);
    cursor.insertImage(embedded);
    cursor.insertImage(linked);
    const QByteArray rtf = writeRtf(&document);
    QVERIFY(rtf.contains(
        "{\\object\\objemb{\\*\\objclass Bramblewick.File}\\objw480\\objh480{\\*\\objdata"));
    QVERIFY(rtf.contains(
        "{\\object\\objemb{\\*\\objclass Bramblewick.Link}\\objw600\\objh300{\\*\\objdata"));
    QVERIFY(rtf.contains("}{\\result{\\pict\\pngblip"));
    QTextDocument copy;
    readRtf(rtf, &copy);
    QCOMPARE(describe(copy),
             QString::fromUtf8("P <object Übersicht.pdf application/pdf 13 png 480x480> "
                               "<link /home/me/plan.ods png 600x300>"));
    QCOMPARE(imageAt(copy, 0).property(ObjectData).toByteArray(), QByteArray("%PDF-1.4 data"));
}

void tst_RtfWriter::rangeIsASelection()
{
    QTextDocument document;
    readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard\\qc abc\\par{\\b def}\\par ghi\\par}",
            &document);
    // From "bc" to "de": the first paragraph's end is inside, the second's is not.
    const QByteArray part = writeRtf(&document, 6, 1);
    QVERIFY2(part.contains("bc\\par"), part.constData());
    QVERIFY2(part.endsWith("de}"), part.constData());
    QTextDocument target;
    target.setPlainText(QStringLiteral("[]"));
    QTextCursor cursor(&target);
    cursor.setPosition(1);
    insertRtf(part, cursor);
    QCOMPARE(target.toPlainText(), "[bc\nde]");

    // All of it, as select-all copies it, pastes without an extra paragraph.
    QTextDocument pasted;
    QTextCursor start(&pasted);
    insertRtf(writeRtf(&document, 0, document.characterCount() - 1), start);
    QCOMPARE(describe(pasted), describe(document));
}

// Each thing read comes back in the words it was read from, as word
// processors take them.
void tst_RtfWriter::writesWhatWasRead_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArrayList>("words");
    const QByteArray lists =
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
        "{\\listlevel\\levelnfc4\\levelstartat2{\\leveltext\\'02\\'01);}\\fi-360\\li1440}"
        "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u9702 ?;}}\\listid1}"
        "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid2}}"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}}";
    QTest::newRow("separate lists stay separate")
        << lists + "\\pard\\ls1 a\\par\\pard b\\par\\pard\\ls2 c\\par}"
        << QByteArrayList{"\\ls1{\\pntext 1.\\tab}\\f0 a\\par", "\\ls2{\\pntext 1.\\tab}c\\par"};
    QTest::newRow("a list goes on")
        << lists + "\\pard\\ls1 a\\par\\pard b\\par\\pard\\ls1 c\\par}"
        << QByteArrayList{"\\ls1{\\pntext 1.\\tab}\\f0 a\\par", "\\ls1{\\pntext 2.\\tab}c\\par"};
    QTest::newRow("levels with their kinds, starts, bullets and indents")
        << lists + "\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1\\fi-360\\li1440 b\\par\\pard\\ls1\\ilvl2 "
                   "c\\par}"
        << QByteArrayList{"{\\listlevel\\levelnfc4\\leveljc0\\levelstartat2\\levelfollow0{"
                          "\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}\\fi-360\\li1440}",
                          "{\\leveltext\\'01\\u9702?;}", "\\ilvl1\\ls1{\\pntext b)\\tab}b",
                          "\\ilvl2\\ls1{\\pntext\\u9702?\\tab}c"};
    QTest::newRow("table") << QByteArray("{\\rtf1\\trowd\\cellx1440\\cellx2880\\pard\\intbl "
                                         "a\\cell b\\par c\\cell\\row\\pard d\\par}")
                           << QByteArrayList{"\\trowd\\trgaph30\\cellx1440\\cellx2880\\pard\\intbl",
                                             " a\\cell b\\par\nc\\cell\\row\n\\pard d\\par"};
    QTest::newRow("bordered table")
        << QByteArray("{\\rtf1\\trowd\\clbrdrt\\brdrs\\cellx1440\\pard\\intbl a\\cell\\row}")
        << QByteArrayList{"\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdr"
                          "w10\\clbrdrr\\brdrs\\brdrw10\\cellx1440"};
    QTest::newRow("number text without level number characters")
        << QByteArray(
               "{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb\\'08(}{\\pntxta)\\'00}}a\\par}")
        << QByteArrayList{"{\\pntxtb (}{\\pntxta )}", "{\\pntext (1)\\tab}"};
    QTest::newRow("right to left") << QByteArray("{\\rtf1\\pard\\rtlpar a\\par}")
                                   << QByteArrayList{"\\pard\\rtlpar\\f0 a\\par"};
    QTest::newRow("footnote")
        << QByteArray(
               "{\\rtf1 a{\\super\\chftn{\\*\\footnote\\chftn\\pard\\plain One.\\par Two.}} b}")
        << QByteArrayList{
               "a\\super\\chftn{\\*\\footnote\\chftn\\pard\\plain One.\\par Two.}\\nosupersub  b"};
    QTest::newRow("capitals") << QByteArray("{\\rtf1{\\caps a}{\\scaps b}c}")
                              << QByteArrayList{"\\caps a\\caps0\\scaps b\\scaps0 c"};
    QTest::newRow("shading is no highlight")
        << QByteArray(
               "{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}{\\chcbpat1 a}{\\highlight1 b}c}")
        << QByteArrayList{"\\chcbpat1 a\\chcbpat0\\highlight1 b\\highlight0 c"};
    QTest::newRow("page breaks") << QByteArray("{\\rtf1 a\\page b\\par\\pard\\pagebb c\\par}")
                                 << QByteArrayList{"a\\par\n\\pard\\pagebb b\\par\nc\\par"};
}

void tst_RtfWriter::writesWhatWasRead()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArrayList, words);
    QTextDocument document;
    readRtf(rtf, &document);
    const QByteArray written = writeRtf(&document);
    for (const QByteArray &expected : words)
        QVERIFY2(written.contains(expected), (expected + "\n  not in\n" + written).constData());
}

// Given a document without a font table read where the default font is the
// editor's, when it is written, then its text names the editor's font.
void tst_RtfWriter::documentWithoutFontTableKeepsTheDefaultFont()
{
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    readRtf("{\\rtf1 plain\\par}", &document);
    const QByteArray written = writeRtf(&document);
    QVERIFY2(written.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}"),
             written.constData());
}

QTEST_MAIN(tst_RtfWriter)
#include "tst_rtf_writer.moc"
