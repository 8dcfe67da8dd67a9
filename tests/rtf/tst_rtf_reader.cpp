// The RTF reader on small documents: every format word, code pages, Unicode,
// pictures, objects, numbering, links, skipped destinations, broken input.

#include "rtf/rtf.h"
#include "rtf/rtf_object.h"
#include "rtf_test_support.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextList>
#include <QtTest>

using namespace bw::rtf;
using bw::rtf::test::describe;
using bw::rtf::test::fixture;

namespace {

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex();
}

QByteArray pngBytes(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray jpegBytes()
{
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// A packed DIB of 2 x 2 pixels, 24 bits, bottom-up: red, green / blue, white.
QByteArray dibBytes()
{
    QByteArray dib(40, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, dib.data() + at); };
    put32(0, 40);
    put32(4, 2);
    put32(8, 2);
    qToLittleEndian<quint16>(1, dib.data() + 12);
    qToLittleEndian<quint16>(24, dib.data() + 14);
    // Bottom row first: blue, white; then red, green. Rows padded to 4 bytes.
    dib.append(QByteArray::fromHex("ff0000"
                                   "ffffff"
                                   "0000"));
    dib.append(QByteArray::fromHex("0000ff"
                                   "00ff00"
                                   "0000"));
    return dib;
}

QTextImageFormat firstImage(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                return it.fragment().charFormat().toImageFormat();
        }
    }
    return {};
}

QImage resourceImage(const QTextDocument &document, const QTextImageFormat &format)
{
    return document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
}

} // namespace

class tst_RtfReader : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void firstItemOfNewFile();
    void listsJoinConsecutiveParagraphs();
    void listTableKeepsNumberText();
    void pictures_data();
    void pictures();
    void pictureBytesAreKept();
    void objects();
    void foreignObjectKeptVerbatim();
    void notRtfThrows_data();
    void notRtfThrows();
    void malformedInputKeepsText_data();
    void malformedInputKeepsText();
    void truncationsAndMutationsNeverCrash();
    void insertSplitsParagraphAtCursor();
    void insertIsOneUndoStep();
    void readReplacesContentAndUndo();
};

void tst_RtfReader::reads_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Characters and paragraphs
    QTest::newRow("plain") << QByteArray("{\\rtf1 Hello}") << "P \"Hello\"";
    QTest::newRow("last par ends last paragraph")
        << QByteArray("{\\rtf1 a\\par b\\par}") << "P \"a\" | P \"b\"";
    QTest::newRow("text after last par") << QByteArray("{\\rtf1 a\\par b}") << "P \"a\" | P \"b\"";
    QTest::newRow("empty paragraph kept") << QByteArray("{\\rtf1 a\\par\\par}") << "P \"a\" | P";
    QTest::newRow("backslash newline is par")
        << QByteArray("{\\rtf1 a\\\nb}") << "P \"a\" | P \"b\"";
    QTest::newRow("line ends ignored") << QByteArray("{\\rtf1 a\r\nb\nc}") << "P \"abc\"";
    QTest::newRow("tab line") << QByteArray("{\\rtf1 a\\tab b\\line c}") << "P \"a\tb\\nc\"";
    QTest::newRow("symbols")
        << QByteArray(
               "{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\-\\_}")
        << QString::fromUtf8("P \"—–‘’“”•\u00a0\u00ad\u2011\"");
    QTest::newRow("escaped specials") << QByteArray("{\\rtf1 \\\\\\{\\}}") << "P \"\\{}\"";
    QTest::newRow("cell and row") << QByteArray("{\\rtf1 a\\cell b\\cell\\row c}")
                                  << "P \"a\tb\t\" | P \"c\"";
    // Found by fuzzing: these characters made blocks behind the reader's back.
    QTest::newRow("break characters stay in paragraph")
        << QByteArray("{\\rtf1{\\pn}a\\u10?b\\'0d\\'0ac\\u8233?d\\u-560?e\\'0df\\'0a\\'0dg}")
        << "P(num=2/1 list=-4 id=1) \"a\\nb\\nc\\nde\\nf\\n\\ng\"";

    // Code pages
    QTest::newRow("cp1252 hex") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}")
                                << QString::fromUtf8("P \"café €\"");
    QTest::newRow("cp1252 raw bytes")
        << QByteArray("{\\rtf1\\ansi caf\xe9}") << QString::fromUtf8("P \"café\"");
    QTest::newRow("ansicpg1251")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}")
        << QString::fromUtf8("P \"Привет\"");
    QTest::newRow("fcharset204")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss\\fcharset0 "
                      "Arial;}{\\f1\\fswiss\\fcharset204 Arial Cyr;}}"
                      "\\f0 \\'e9\\f1 \\'cf\\'f0\\'e8}")
        << QString::fromUtf8("P \"é\"{font=Arial} \"При\"{font=Arial Cyr}");
    QTest::newRow("fcharset238")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset238 Arial CE;}}\\f0 \\'b9}")
        << QString::fromUtf8("P \"ą\"{font=Arial CE}");
    QTest::newRow("shift-jis pairs")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'82\\'a2}")
        << QString::fromUtf8("P \"あい\"");
    QTest::newRow("font name in its charset")
        << QByteArray(
               "{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}\\f0 x}")
        << QString::fromUtf8("P \"x\"{font=Ариал}");

    // Unicode
    QTest::newRow("uc1") << QByteArray("{\\rtf1\\uc1\\u1055?\\u1088?}")
                         << QString::fromUtf8("P \"Пр\"");
    QTest::newRow("uc0") << QByteArray("{\\rtf1\\uc0\\u1055\\u1088 x}")
                         << QString::fromUtf8("P \"Прx\"");
    QTest::newRow("uc2 hex fallback")
        << QByteArray("{\\rtf1\\uc2\\u1055\\'3f\\'3fa}") << QString::fromUtf8("P \"Пa\"");
    QTest::newRow("uc is scoped") << QByteArray("{\\rtf1{\\uc2\\u1055??}\\u1088?b}")
                                  << QString::fromUtf8("P \"Прb\"");
    QTest::newRow("default uc1") << QByteArray("{\\rtf1\\u233\\'e9 x}")
                                 << QString::fromUtf8("P \"é x\"");
    QTest::newRow("negative and surrogates")
        << QByteArray("{\\rtf1\\u-3913?\\u-10179?\\u-8704?}") << QString::fromUtf8("P \"\uf0b7😀\"");
    QTest::newRow("fallback ends with group")
        << QByteArray("{\\rtf1\\uc3{\\u1055}ab}") << QString::fromUtf8("P \"Пab\"");
    QTest::newRow("bin skipped with braces")
        << QByteArray("{\\rtf1 a{\\*\\foo\\bin3 {}}}b}") << "P \"ab\"";

    // Character format
    QTest::newRow("bold italic") << QByteArray("{\\rtf1 a{\\b b}{\\i c}\\b d\\b0 e}")
                                 << "P \"a\" \"b\"{b} \"c\"{i} \"d\"{b} \"e\"";
    QTest::newRow("underline kinds")
        << QByteArray("{\\rtf1{\\ul a}{\\uld b}{\\uldash c}{\\uldashd d}{\\uldashdd e}{\\ulwave "
                      "f}{\\uldb g}\\ul h\\ulnone i\\ul j\\ul0 k}")
        << "P \"a\"{u=1} \"b\"{u=3} \"c\"{u=2} \"d\"{u=4} \"e\"{u=5} \"f\"{u=6} \"gh\"{u=1} \"i\" "
           "\"j\"{u=1} \"k\"";
    QTest::newRow("strike") << QByteArray("{\\rtf1{\\strike a}{\\striked1 b}\\strike0 c}")
                            << "P \"ab\"{s} \"c\"";
    QTest::newRow("fonts and sizes")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss "
                      "Arial;}}\\f0\\fs20 a\\f1\\fs31 b\\f7 c}")
        << "P \"a\"{font=Times New Roman,pt=10} \"b\"{font=Arial,pt=15.5} \"c\"{font=Times New "
           "Roman,pt=15.5}";
    QTest::newRow("font table without braces")
        << QByteArray("{\\rtf1\\deff1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\fmodern Courier;}x}")
        << "P \"x\"{font=Courier}";
    QTest::newRow("colours")
        << QByteArray("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                      "\\cf1 a\\cf0 b\\highlight2 c\\cb1 d\\chcbpat0 e\\cf9 f}")
        << "P \"a\"{fg=#ff0000} \"b\" \"c\"{bg=#0000ff} \"d\"{shade=#ff0000} \"ef\"";
    QTest::newRow("super sub")
        << QByteArray("{\\rtf1{\\super a}{\\sub b}\\up6 c\\dn4 d\\up0 e\\super f\\nosupersub g}")
        << "P \"a\"{sup} \"b\"{sub} \"c\"{sup} \"d\"{sub} \"e\" \"f\"{sup} \"g\"";
    QTest::newRow("protect hidden disabled")
        << QByteArray("{\\rtf1{\\protect a}{\\v "
                      "b}{{\\*\\bwdisabled}c}{\\*\\bwdisabled}d{\\*\\bwdisabled0}e\\protect "
                      "f\\protect0 g}")
        << "P \"a\"{prot} \"b\"{hid} \"cd\"{dis} \"e\" \"f\"{prot} \"g\"";
    QTest::newRow("plain resets")
        << QByteArray(
               "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}\\deff0\\f1\\b\\fs40 a\\plain b}")
        << "P \"a\"{font=Courier,pt=20,b} \"b\"{font=Arial}";
    QTest::newRow("same look is one run")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 "
                      "Courier;}}{\\colortbl;\\red255\\green0\\blue0;\\red255\\green0\\blue0;}"
                      "\\f0 a{\\f0\\b0 b}\\plain c{\\cf1 d}{\\cf2 e}\\f1 f\\f5 g}")
        << "P \"abc\"{font=Arial} \"de\"{font=Arial,fg=#ff0000} \"f\"{font=Courier} "
           "\"g\"{font=Arial}";
    QTest::newRow("empty paragraph mark format")
        << QByteArray("{\\rtf1 a\\par\\fs40\\b\\par}") << "P \"a\" | P {pt=20,b}";

    // Paragraph format
    QTest::newRow("alignment")
        << QByteArray(
               "{\\rtf1\\pard\\qc a\\par\\pard\\qr b\\par\\pard\\qj c\\par\\pard\\ql d\\par}")
        << "P(c) \"a\" | P(r) \"b\" | P(j) \"c\" | P \"d\"";
    QTest::newRow("indents and spacing")
        << QByteArray("{\\rtf1\\pard\\fi-360\\li720\\ri240\\sb120\\sa60 a\\par}")
        << "P(fi=-360,li=720,ri=240,sb=120,sa=60) \"a\"";
    QTest::newRow("line spacing")
        << QByteArray("{\\rtf1\\pard\\sl360\\slmult1 a\\par\\pard\\sl300\\slmult0 "
                      "b\\par\\pard\\sl-270\\slmult0 c\\par}")
        << "P(lh=1:150) \"a\" | P(lh=3:20) \"b\" | P(lh=2:18) \"c\"";
    QTest::newRow("tab stops")
        << QByteArray("{\\rtf1\\pard\\tx720\\tqr\\tx2880\\tqc\\tx1440\\tqdec\\tx4320 a\\par}")
        << "P(tab=0:720,tab=1:2880,tab=2:1440,tab=3:4320) \"a\"";
    QTest::newRow("paragraph format lasts until pard")
        << QByteArray("{\\rtf1\\pard\\qc a\\par b\\par\\pard c\\par}")
        << "P(c) \"a\" | P(c) \"b\" | P \"c\"";
    QTest::newRow("format at par applies")
        << QByteArray("{\\rtf1 a\\qc\\par b}") << "P(c) \"a\" | P(c) \"b\"";

    // Numbering, the system control's form
    QTest::newRow("pn bullets")
        << QByteArray("{\\rtf1\\pard{\\pntext\\f0\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{"
                      "\\pntxtb\\'B7}}\\fi-720\\li720 one\\par"
                      "{\\pntext\\f0\\'B7\\tab}two\\par\\pard three\\par}")
        << "P(fi=-720,li=720,num=1 list=-1 id=1) \"one\" | P(fi=-720,li=720,num=1 list=-1 id=1) "
           "\"two\" | P \"three\"";
    QTest::newRow("pn decimal")
        << QByteArray("{\\rtf1\\pard{\\pntext\\f0 "
                      "1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}"
                      "one\\par}")
        << "P(num=2/1 list=-4 id=1) \"one\"";
    QTest::newRow("pn kinds")
        << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnlcltr}a\\par\\pard{\\*"
                      "\\pn\\pnlvlbody\\pnucltr\\pnstart3}b\\par"
                      "\\pard{\\*\\pn\\pnlvlbody\\pnlcrm}c\\par\\pard{\\*\\pn\\pnlvlbody\\pnucrm}"
                      "d\\par\\pard{\\*\\pn\\pnlvlcont}e\\par}")
        << "P(num=3/1 list=-5 id=1) \"a\" | P(num=4/3 list=0 id=2) \"b\" | P(num=5/1 list=-7 id=3) "
           "\"c\" | P(num=6/1 list=-8 id=4) \"d\" | P \"e\"";

    // Numbering, the list-table form
    QTest::newRow("list table")
        << QByteArray("{\\rtf1{\\*\\listtable{\\list\\listtemplateid1{"
                      "\\listlevel\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'00);}"
                      "{\\levelnumbers\\'01;}\\fi-360\\li720}{\\listlevel\\levelnfc4{\\leveltext\\'"
                      "02\\'01.;}}\\listid7}"
                      "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid8}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}{"
                      "\\listoverride\\listid8\\ls2}}"
                      "\\pard\\ls1\\fi-360\\li720{\\listtext 3)\\tab}a\\par{\\listtext "
                      "4)\\tab}b\\par\\pard\\ls1\\ilvl1 c\\par"
                      "\\pard\\ls2 d\\par\\pard\\ls9 e\\par}")
        << "P(fi=-360,li=720,num=2/3 list=0 id=1) \"a\" | P(fi=-360,li=720,num=2/3 list=0 id=1) "
           "\"b\" | P(num=3/1 list=-5 id=1 lvl=1) \"c\" | "
           "P(num=1 list=-1 id=2) \"d\" | P \"e\"";

    // Links and fields
    QTest::newRow("hyperlink")
        << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"http://example.com/a "
                      "b\"}}{\\fldrslt{\\ul\\cf1 example}}} now}")
        << "P \"see \" \"example\"{u=1,href=http://example.com/a b} \" now\"";
    QTest::newRow("hyperlink to anchor")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\" \\\\o "
                      "\"tip\"}{\\fldrslt up}}}")
        << "P \"up\"{href=#top}";
    QTest::newRow("hyperlink unquoted")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK http://x.org }{\\fldrslt x}}}")
        << "P \"x\"{href=http://x.org}";
    QTest::newRow("other field keeps result")
        << QByteArray("{\\rtf1 p{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}}") << "P \"p3\"";

    // Destinations
    // Lists keep their identity: two alike are two, one goes on across a
    // plain paragraph and a sublist, a sublist starts again after its parent.
    const QByteArray lists =
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
        "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01);}}\\listid1}"
        "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid2}}"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}}";
    QTest::newRow("separate lists alike")
        << lists + "\\pard\\ls1 a\\par\\pard b\\par\\pard\\ls2 c\\par}"
        << "P(num=2/1 list=-4 id=1) \"a\" | P \"b\" | P(num=2/1 list=-4 id=2) \"c\"";
    QTest::newRow("list goes on across other paragraphs")
        << lists + "\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 b\\par\\pard c\\par\\pard\\ls1 "
                   "d\\par\\pard\\ls1\\ilvl1 e\\par}"
        << "P(num=2/1 list=-4 id=1) \"a\" | P(num=3/1 list=-5 id=1 lvl=1) \"b\" | P \"c\" | "
           "P(num=2/1 list=-4 id=1) \"d\" | "
           "P(num=3/1 list=-5 id=1 lvl=1) \"e\"";
    // Given a table read after a numbered paragraph, then only the paragraphs
    // of the list are numbered: not the text a table cuts off before its
    // paragraph ends, nor the paragraph Qt keeps after a table that ends the
    // document; the last paragraph, open in a cell, is numbered there.
    QTest::newRow("a table cut off a numbered paragraph")
        << lists + "\\pard\\ls1 a\\par b{\\pict\\emfblip\\picw100\\pich100 01}\\intbl c\\cell\\row}"
        << "P(num=2/1 list=-4 id=1) \"a\" | P \"b\" <emf 57x57> | P(cell=0,0,num=2/1 list=-4 id=1) "
           "\"c\" | P";
    QTest::newRow("document ends in a numbered cell")
        << lists + "\\pard\\ls1\\par\\intbl b}"
        << "P(num=2/1 list=-4 id=1) | P(cell=0,0,num=2/1 list=-4 id=1) \"b\" | P";
    QTest::newRow("numbered table row ends the document")
        << lists + "\\pard\\ls1 a\\par\\trowd\\cellx1000\\intbl b\\cell\\row}"
        << "P(num=2/1 list=-4 id=1) \"a\" | P(cell=0,0,num=2/1 list=-4 id=1) \"b\" | P";
    QTest::newRow("list defined again is another list")
        << lists + "\\pard\\ls1 "
                   "a\\par{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat5{"
                   "\\leveltext\\'02\\'00.;}}\\listid3}}"
                   "{\\*\\listoverridetable{\\listoverride\\listid3\\ls1}}\\pard\\ls1 "
                   "b\\par\\pard\\ls1 c\\par}"
        << "P(num=2/1 list=-4 id=1) \"a\" | P(num=2/5 list=0 id=2) \"b\" | P(num=2/5 list=0 id=2) "
           "\"c\"";
    QTest::newRow("level bullets")
        << QByteArray(
               "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}"
               "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u9702 "
               "?;}}{\\listlevel\\levelnfc23{\\leveltext\\'01\\u9642 ?;}}\\listid1}}"
               "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 "
               "a\\par\\pard\\ls1\\ilvl1 b\\par\\pard\\ls1\\ilvl2 c\\par}")
        << QString::fromUtf8("P(num=1 list=-1 id=1) \"a\" | P(num=1 list=-2 id=1 lvl=1 bullet=◦) "
                             "\"b\" | P(num=1 list=-3 id=1 lvl=2 bullet=▪) \"c\"");

    QTest::newRow("symbol font and other bullets")
        << QByteArray(
               "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}"
               "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u10146 ?;}}\\listid1}}"
               "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 "
               "a\\par\\pard\\ls1\\ilvl1 b\\par}")
        << QString::fromUtf8(
               "P(num=1 list=-1 id=1) \"a\" | P(num=1 list=0 id=1 lvl=1 bullet=➢) \"b\"");

    // Tables, directions, footnotes, capitals, shading, page breaks
    QTest::newRow("table")
        << QByteArray(
               "{\\rtf1 x\\par\\trowd\\cellx1440\\cellx2880\\pard\\intbl a\\cell b\\par "
               "c\\cell\\row"
               "\\trowd\\cellx1440\\cellx2880\\pard\\intbl d\\cell e\\cell\\row\\pard y\\par}")
        << "P \"x\" | P(cell=0,0) \"a\" | P(cell=0,1) \"b\" | P(cell=0,1) \"c\" | P(cell=1,0) "
           "\"d\" | "
           "P(cell=1,1) \"e\" | P \"y\"";
    QTest::newRow("more cells than edges")
        << QByteArray("{\\rtf1\\trowd\\cellx1000\\intbl a\\cell b\\cell c\\cell\\row}")
        << "P | P(cell=0,0) \"a\" | P(cell=0,1) \"b\" | P(cell=0,2) \"c\" | P";
    QTest::newRow("cells outside a table")
        << QByteArray("{\\rtf1 a\\cell b\\cell\\row c}") << "P \"a\tb\t\" | P \"c\"";
    QTest::newRow("nested cells as tabs")
        << QByteArray("{\\rtf1\\trowd\\cellx2000\\intbl\\itap2 a\\nestcell "
                      "b\\nestcell{\\*\\nesttableprops\\trowd\\cellx900\\nestrow}"
                      "{\\nonesttables\\par}\\itap1 c\\cell\\row}")
        << "P | P(cell=0,0) \"a\tb\tc\" | P";
    QTest::newRow("right to left")
        << QByteArray(
               "{\\rtf1\\pard\\rtlpar\\rtlch a\\par\\pard\\ltrpar b\\par\\pard\\rtlpar\\qr c\\par}")
        << "P(rtl) \"a\" | P \"b\" | P(r,rtl) \"c\"";
    QTest::newRow("footnotes")
        << QByteArray("{\\rtf1 Text{\\super\\chftn{\\*\\footnote\\chftn\\pard\\plain A note.\\par "
                      "Its second line.}} more"
                      "{\\super\\chftn}{\\*\\footnote\\pard{\\super\\chftn} Two.}; {\\*\\footnote "
                      "Unmarked.}end\\par}")
        << "P \"Text\" \"1\"{sup,note=A note.\\nIts second line.} \" more\" \"2\"{sup,note= Two.} "
           "\"; \" \"3\"{note=Unmarked.} \"end\"";
    QTest::newRow("capitals")
        << QByteArray("{\\rtf1{\\caps a}{\\scaps b}\\caps c\\caps0 d\\scaps e\\scaps0 f}")
        << "P \"a\"{caps} \"b\"{scaps} \"c\"{caps} \"d\" \"e\"{scaps} \"f\"";
    QTest::newRow("shading and highlight")
        << QByteArray("{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}{\\chcbpat1 a}{\\highlight1 "
                      "b}{\\cb1 c}{\\chcbpat1\\highlight1 d}}")
        << "P \"a\"{shade=#ffff00} \"b\"{bg=#ffff00} \"c\"{shade=#ffff00} \"d\"{bg=#ffff00}";
    QTest::newRow("page breaks")
        << QByteArray("{\\rtf1 a\\page b\\par\\page c\\par\\pard\\pagebb d\\par\\pard e\\par}")
        << "P \"a\" | P(page) \"b\" | P(page) \"c\" | P(page) \"d\" | P \"e\"";

    QTest::newRow("skipped destinations")
        << QByteArray("{\\rtf1{\\*\\generator Foo;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title "
                      "T}}{\\header H}"
                      "{\\*\\unknown{nested}text}\\viewkind4 a}")
        << "P \"a\"";
    QTest::newRow("upr takes unicode part")
        << QByteArray("{\\rtf1{\\upr{ansi}{\\*\\ud{uni}}}}") << "P \"uni\"";
    QTest::newRow("text after document ignored") << QByteArray("{\\rtf1 abc}}}xyz") << "P \"abc\"";
}

void tst_RtfReader::reads()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QTextDocument document;
    readRtf(rtf, &document);
    QCOMPARE(describe(document), expected);
}

void tst_RtfReader::firstItemOfNewFile()
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}"
        "{\\f1\\fnil Verdana;}}\\viewkind4\\uc1\\pard\\f0\\fs16 This is a description for your "
        "first item.\\par}";
    QTextDocument document;
    readRtf(rtf, &document);
    QCOMPARE(document.blockCount(), 1);
    QCOMPARE(describe(document),
             "P \"This is a description for your first item.\"{font=Verdana,pt=8}");
}

void tst_RtfReader::listsJoinConsecutiveParagraphs()
{
    // Given two numbered paragraphs, a plain one, then numbered ones of
    // another start and text, and a bullet, when read, then the first two
    // share one list and each later one starts another.
    QTextDocument document;
    readRtf("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}a\\par b\\par\\pard "
            "c\\par\\pard{\\*\\pn\\pnlvlbody\\pndec}d\\par"
            "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart5}f\\par\\pard{\\*"
            "\\pn\\pnlvlbody\\pndec\\pnstart5{\\pntxta)}}g\\par"
            "\\pard{\\*\\pn\\pnlvlblt}e\\par}",
            &document);
    const QTextBlock a = document.begin();
    QVERIFY(a.textList());
    QCOMPARE(a.next().textList(), a.textList());
    QCOMPARE(a.textList()->itemText(a.next()), "2.");
    QVERIFY(!a.next().next().textList());
    QTextBlock previous = a.next();
    for (QTextBlock block = previous.next().next(); block.isValid();
         previous = block, block = block.next())
        QVERIFY2(block.textList() && block.textList() != previous.textList(),
                 qPrintable(block.text()));
    QCOMPARE(a.textList()->format().indent(), 0);
}

void tst_RtfReader::listTableKeepsNumberText()
{
    QTextDocument document;
    readRtf(
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'03(\\'00);}}\\listid3}}"
        "{\\*\\listoverridetable{\\listoverride\\listid3\\ls1}}\\pard\\ls1 a\\par}",
        &document);
    const QTextList *list = document.begin().textList();
    QVERIFY(list);
    QCOMPARE(list->format().numberPrefix(), "(");
    QCOMPARE(list->format().numberSuffix(), ")");
}

void tst_RtfReader::pictures_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QSize>("pixels");

    const QByteArray png = hex(pngBytes(4, 3, Qt::red));
    QTest::newRow("png") << "{\\rtf1 a{\\pict\\pngblip\\picw4\\pich3\\picwgoal60\\pichgoal45 " +
                                png + "}b}"
                         << "P \"a\" <png 60x45> \"b\"" << QSize(4, 3);
    QTest::newRow("png without goal") << "{\\rtf1{\\pict\\pngblip\\picw4\\pich3 " + png + "}}"
                                      << "P <png 60x45>" << QSize(4, 3);
    QTest::newRow("png scaled")
        << "{\\rtf1{\\pict\\pngblip\\picscalex50\\picscaley200\\picwgoal1500\\pichgoal1500 " + png +
               "}}"
        << "P <png 750x3000>" << QSize(4, 3);
    const QByteArray pngRaw = pngBytes(4, 3, Qt::red);
    QTest::newRow("png as bin") << "{\\rtf1{\\pict\\pngblip\\bin" +
                                       QByteArray::number(pngRaw.size()) + ' ' + pngRaw + "}}"
                                << "P <png 60x45>" << QSize(4, 3);
    QTest::newRow("jpeg") << "{\\rtf1{\\pict\\jpegblip\\picw16\\pich8\\picwgoal240\\pichgoal120 " +
                                 hex(jpegBytes()) + "}}"
                          << "P <jpeg 240x120>" << QSize(16, 8);
    QTest::newRow("dib") << "{\\rtf1{\\pict\\dibitmap0\\picw2\\pich2\\picwgoal30\\pichgoal30 " +
                                hex(dibBytes()) + "}}"
                         << "P <dib 30x30>" << QSize(2, 2);
    // 8 x 2 monochrome, rows of 2 bytes: 10101010 then 11110000.
    QTest::newRow("wbitmap")
        << QByteArray(
               "{\\rtf1{\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 "
               "aa00f000}}")
        << "P <png 120x30>" << QSize(8, 2);
    QTest::newRow("emf") << QByteArray("{\\rtf1{\\pict\\emfblip\\picw2540\\pich1270 0102030405}}")
                         << "P <emf 1440x720>" << QSize(96, 48);
    QTest::newRow("wmf")
        << QByteArray("{\\rtf1{\\pict\\wmetafile8\\picw100\\pich100\\picwgoal720\\pichgoal360 "
                      "d7cdc69a00}}")
        << "P <wmf 720x360>" << QSize(48, 24);
    QTest::newRow("shppict preferred") << "{\\rtf1{\\*\\shppict{\\pict\\pngblip " + png +
                                              "}}{\\nonshppict{\\pict\\wmetafile8 00}}}"
                                       << "P <png 60x45>" << QSize(4, 3);
    QTest::newRow("broken png framed")
        << QByteArray("{\\rtf1{\\pict\\pngblip\\picwgoal300\\pichgoal150 89504e47}}")
        << "P <png 300x150>" << QSize(20, 10);
    QTest::newRow("unknown kind skipped")
        << QByteArray("{\\rtf1 a{\\pict\\macpict 0011}b}") << "P \"ab\"" << QSize();
}

void tst_RtfReader::pictures()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QFETCH(QSize, pixels);
    QTextDocument document;
    readRtf(rtf, &document);
    QCOMPARE(describe(document), expected);
    if (pixels.isValid())
        QCOMPARE(resourceImage(document, firstImage(document)).size(), pixels);
}

void tst_RtfReader::pictureBytesAreKept()
{
    const QByteArray png = pngBytes(5, 5, Qt::green);
    const QByteArray jpeg = jpegBytes();
    QTextDocument document;
    readRtf("{\\rtf1{\\pict\\pngblip " + hex(png) + "}{\\pict\\jpegblip " + hex(jpeg) +
                "}{\\pict\\dibitmap0 " + hex(dibBytes()) + "}}",
            &document);
    QList<QTextImageFormat> images;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it)
        images << it.fragment().charFormat().toImageFormat();
    QCOMPARE(images.size(), 3);
    QCOMPARE(images[0].property(PictureData).toByteArray(), png);
    QCOMPARE(images[1].property(PictureData).toByteArray(), jpeg);
    QCOMPARE(images[2].property(PictureData).toByteArray(), dibBytes());
    // The JPEG is decoded (blue), and the DIB's rows are the right way up.
    QCOMPARE(QColor(resourceImage(document, images[1]).pixel(8, 4)).blue() > 200, true);
    const QImage dib = resourceImage(document, images[2]);
    QCOMPARE(QColor(dib.pixel(0, 0)), QColor(Qt::red));
    QCOMPARE(QColor(dib.pixel(1, 1)), QColor(Qt::white));
}

void tst_RtfReader::objects()
{
    EmbeddedObject file{
        false, QStringLiteral("Bericht ü.pdf"), QStringLiteral("application/pdf"), {}, "%PDF1"};
    EmbeddedObject link{true,
                        QStringLiteral("notes.txt"),
                        QStringLiteral("text/plain"),
                        QStringLiteral("/home/u/notes.txt"),
                        {}};
    const QByteArray png = hex(pngBytes(8, 8, Qt::gray));
    const auto group = [&](const char *cls, const EmbeddedObject &o) {
        return "{\\object\\objemb{\\*\\objclass " + QByteArray(cls) +
               "}\\objw600\\objh600{\\*\\objdata " + hex(encodeObjectData(o)) +
               "}{\\result{\\pict\\pngblip\\picwgoal600\\pichgoal600 " + png + "}}}";
    };
    QTextDocument document;
    readRtf("{\\rtf1 a" + group(kEmbeddedFileClass, file) + group(kLinkedFileClass, link) +
                "{\\object\\objemb{\\*\\objclass Bramblewick.File}\\objw300\\objh300{\\*\\objdata "
                "00}}b}",
            &document);
    QCOMPARE(describe(document),
             QString::fromUtf8("P \"a\" <object Bericht ü.pdf application/pdf 5 png 600x600> "
                               "<link /home/u/notes.txt png 600x600> \"b\""));
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.hasProperty(ObjectName) && !format.hasProperty(ObjectLinkPath))
            QCOMPARE(format.property(ObjectData).toByteArray(), QByteArray("%PDF1"));
    }
}

void tst_RtfReader::foreignObjectKeptVerbatim()
{
    const QByteArray object = "{\\object\\objemb{\\*\\objclass "
                              "Excel.Sheet.8}\\objw100\\objh100{\\*\\objdata 0105000002000000}"
                              "{\\result{\\pict\\pngblip\\picwgoal100\\pichgoal100 " +
                              hex(pngBytes(2, 2, Qt::blue)) + "}}}";
    QTextDocument document;
    readRtf("{\\rtf1 a" + object +
                "b{\\object\\objemb{\\*\\objclass Word.Document}{\\result fallback}}c}",
            &document);
    QCOMPARE(describe(document), "P \"a\" <foreign png 100x100> \"bfallbackc\"");
    QCOMPARE(firstImage(document).property(ObjectRtf).toByteArray(), object);
}

void tst_RtfReader::notRtfThrows_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("hello {\\rtf1}");
    QTest::newRow("no brace") << QByteArray("\\rtf1 x");
    QTest::newRow("html") << QByteArray("<html>{\\rtf</html>");
}

void tst_RtfReader::notRtfThrows()
{
    QFETCH(QByteArray, bytes);
    QTextDocument document;
    document.setPlainText(QStringLiteral("kept"));
    try {
        readRtf(bytes, &document);
        QFAIL("no RtfError");
    } catch (const RtfError &error) {
        QCOMPARE(error.position(), 0);
    }
    QCOMPARE(document.toPlainText(), "kept");
}

void tst_RtfReader::malformedInputKeepsText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 abc{\\b def") << "abcdef";
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}}b") << "a";
    QTest::newRow("deep nesting") << "{\\rtf1 " + QByteArray(100000, '{') + "x" +
                                         QByteArray(100000, '}') + "y}"
                                  << "xy";
    QTest::newRow("deep nesting unclosed") << "{\\rtf1 " + QByteArray(100000, '{') + "x"
                                           << "x";
    QTest::newRow("deep star groups")
        << "{\\rtf1 a" + QByteArray(50000, '{') + "\\*\\x" + QByteArray(50000, '}') + "b}"
        << "ab";
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'4") << "a";
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zz b\\'4z}") << "azz bz";
    QTest::newRow("truncated picture")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e470d0a1") << "a";
    QTest::newRow("odd hex digits") << QByteArray("{\\rtf1 a{\\pict\\emfblip 123}b}") << "a\uFFFCb";
    QTest::newRow("absurd numbers")
        << QByteArray("{\\rtf1\\fs999999999999 a\\fi-99999999999\\li2147483648\\sl-2147483648 "
                      "b\\u99999999 c\\uc99999 d}")
        << QString("ab") + QChar(0xFFFD) + "d";
    QTest::newRow("huge bin at end") << QByteArray("{\\rtf1 a\\bin999999999 xyz") << "a";
    QTest::newRow("long control word") << "{\\rtf1 a\\" + QByteArray(5000, 'q') + "12 b}"
                                       << "ab";
    QTest::newRow("lone backslash") << QByteArray("{\\rtf1 a\\") << "a";
    QTest::newRow("huge picture size")
        << QByteArray(
               "{\\rtf1{\\pict\\wbitmap0\\picw2000000000\\pich2000000000\\wbmbitspixel32 00}}")
        << "\uFFFC";
    QTest::newRow("objects nested in fields")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst{\\object\\objemb{\\result "
                      "x}}}{\\fldrslt{\\object{\\result y}}}}}")
        << "y";
}

void tst_RtfReader::malformedInputKeepsText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument document;
    readRtf(rtf, &document);
    QCOMPARE(document.toPlainText(), text);
}

void tst_RtfReader::truncationsAndMutationsNeverCrash()
{
    const QByteArray rtf = fixture(QStringLiteral("reader_sampler.rtf"));
    for (qsizetype length = 5; length < rtf.size(); length += 7) {
        QTextDocument document;
        readRtf(rtf.left(length), &document);
    }
    QRandomGenerator random(20240521);
    for (int round = 0; round < 300; ++round) {
        QByteArray mutated = rtf;
        for (int i = 0; i < 8; ++i) {
            const auto at = 6 + random.bounded(int(mutated.size() - 6));
            static const char kBytes[] = "{}\\'*0123456789abu- ;\xff";
            mutated[at] = kBytes[random.bounded(int(sizeof kBytes - 1))];
        }
        QTextDocument document;
        readRtf(mutated, &document);
    }
}

void tst_RtfReader::insertSplitsParagraphAtCursor()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("xyz"));
    QTextCursor cursor(&document);
    cursor.setPosition(2);
    insertRtf("{\\rtf1 {\\b A}\\par B}", cursor);
    QCOMPARE(document.toPlainText(), "xyA\nBz");
    QCOMPARE(cursor.position(), 5);

    document.setPlainText(QStringLiteral("xyz"));
    cursor = QTextCursor(&document);
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    insertRtf("{\\rtf1\\pard\\qc A\\par}", cursor);
    QCOMPARE(describe(document), "P(c) \"x\" \"A\" | P \"z\"");

    // Given a paste whose last paragraph has no \par, when inserted, then
    // that paragraph joins the rest of the split one in its own format, not
    // in the numbered paragraph's before it.
    document.setPlainText(QStringLiteral("xyz"));
    cursor = QTextCursor(&document);
    cursor.setPosition(1);
    insertRtf("{\\rtf1\\pard\\qc{\\*\\pn\\pnlvlbody\\pndec}A\\par\\pard\\qr B}", cursor);
    QCOMPARE(describe(document), "P(c,num=2/1 list=-4 id=1) \"x\" \"A\" | P(r) \"B\" \"yz\"");
    QCOMPARE(cursor.position(), 4);
}

void tst_RtfReader::insertIsOneUndoStep()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("start"));
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    insertRtf("{\\rtf1 a\\par b\\par c}", cursor);
    QCOMPARE(document.blockCount(), 3);
    document.undo();
    QCOMPARE(document.toPlainText(), "start");
}

void tst_RtfReader::readReplacesContentAndUndo()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("old\nlines"));
    readRtf("{\\rtf1 new}", &document);
    QCOMPARE(document.toPlainText(), "new");
    QVERIFY(!document.isUndoAvailable());
    QVERIFY(document.isUndoRedoEnabled());
}

QTEST_MAIN(tst_RtfReader)
#include "tst_rtf_reader.moc"
