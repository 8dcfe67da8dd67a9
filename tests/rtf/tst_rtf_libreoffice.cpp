// RTF saved by LibreOffice Writer (fixtures made from our own text) reads in
// with its text and formats, shows the text LibreOffice shows, and survives
// our writer.

#include "rtf/list_marker.h"
#include "rtf/rtf.h"
#include "rtf_test_support.h"

#include <QtTest>

using namespace bw::rtf;
using bw::rtf::test::describe;
using bw::rtf::test::dump;
using bw::rtf::test::fixture;

class tst_RtfLibreOffice : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void roundTrips_data() { fixtures_data(); }
    void roundTrips();
    void plainTextIsLibreOffices_data() { fixtures_data(); }
    void plainTextIsLibreOffices();

private:
    void fixtures_data();
};

// Every fixture LibreOffice wrote, with its plain-text rendering beside it.
void tst_RtfLibreOffice::fixtures_data()
{
    QTest::addColumn<QString>("file");
    const QDir dir(QStringLiteral(BW_RTF_FIXTURES));
    for (const QString &name : dir.entryList({QStringLiteral("lo_*.rtf")}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << name;
    QVERIFY(dir.entryList({QStringLiteral("lo_*.rtf")}).size() >= 7);
}

void tst_RtfLibreOffice::reads_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    // Our writer's output of a formatted note, opened and saved by LibreOffice.
    QTest::newRow("lo_formatting")
        << QStringLiteral("lo_formatting.rtf")
        << QString::fromUtf8(
               "P(c) \"Title in Times 18\"{font=Times New Roman,pt=18,b} | "
               "P \"Plain Arial 10, \"{font=Arial,pt=10} \"bold\"{font=Arial,pt=10,b} \", "
               "\"{font=Arial,pt=10} \"italic\"{font=Arial,pt=10,i} \", \"{font=Arial,pt=10} "
               "\"underlined\"{font=Arial,pt=10,u=1} \", \"{font=Arial,pt=10} "
               "\"struck\"{font=Arial,pt=10,s} \", \"{font=Arial,pt=10} "
               "\"red\"{font=Arial,pt=10,fg=#ff0000} \", \"{font=Arial,pt=10} "
               "\"blue\"{font=Arial,pt=10,fg=#0000ff} \", \"{font=Arial,pt=10} \"yellow "
               "back\"{font=Arial,pt=10,fg=#000000,shade=#ffff00} \", x\"{font=Arial,pt=10} "
               "\"2\"{font=Arial,pt=10,sup} \" H\"{font=Arial,pt=10} \"2\"{font=Arial,pt=10,sub} "
               "\"O, café При\"{font=Arial,pt=10} | "
               "P(r) \"Courier right\"{font=Courier New} | "
               "P(j,fi=360,li=720,ri=720,sb=240,sa=120) \"Justified with indents, Justified with "
               "indents, Justified with indents, Justified with indents, Justified with "
               "indents.\"{font=Courier New} | "
               "P(fi=-360,li=720,num=1 list=-1 id=1) \"bullet one\"{font=Arial,pt=10} | "
               "P(fi=-360,li=720,num=1 list=-1 id=1) \"bullet two\"{font=Arial,pt=10} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=2) \"number one\"{font=Arial,pt=10} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=2) \"number two\"{font=Arial,pt=10} | "
               "P(fi=-360,li=720,num=5/3 list=0 id=3) \"roman three\"{font=Arial,pt=10} | "
               "P \"Picture: \"{font=Arial,pt=10} <png 1200x600> \" and a \"{font=Arial,pt=10} "
               "\"link\"{font=Arial,pt=10,u=1,fg=#0000ff,href=http://example.com/} "
               "\".\"{font=Arial,pt=10}");
    // Lists, Unicode and pictures made in LibreOffice from HTML.
    QTest::newRow("lo_lists") << QStringLiteral("lo_lists.rtf")
                              << QString::fromUtf8(
                                     "P(fi=-283,li=709,lh=1:115,tab=0:709,num=1 list=-1 id=1) "
                                     "\"apples\"{font=Liberation Serif} | "
                                     "P(fi=-283,li=709,sa=140,lh=1:115,tab=0:709,num=1 list=-1 "
                                     "id=1) \"pears\"{font=Liberation Serif} | "
                                     "P(fi=-283,li=709,lh=1:115,tab=0:709,num=4/1 list=-6 id=2) "
                                     "\"first letter\"{font=Liberation Serif} | "
                                     "P(fi=-283,li=709,sa=140,lh=1:115,tab=0:709,num=4/1 list=-6 "
                                     "id=2) \"second letter\"{font=Liberation Serif} | "
                                     "P(fi=-283,li=709,lh=1:115,tab=0:709,num=5/4 list=0 id=3) "
                                     "\"four\"{font=Liberation Serif} | "
                                     "P(fi=-283,li=709,sa=140,lh=1:115,tab=0:709,num=5/4 list=0 "
                                     "id=3) \"five\"{font=Liberation Serif} | "
                                     "P(sa=140,lh=1:115) \"after\"{font=Liberation Serif}");
    QTest::newRow("lo_unicode")
        << QStringLiteral("lo_unicode.rtf")
        << QString::fromUtf8(
               "P(sa=140,lh=1:115) \"Café déjà vu – “quoted” … € 5\"{font=Liberation Serif} | "
               "P(sa=140,lh=1:115) \"Привет, мир! Ελληνικά. 日本語のテキスト. 😀 "
               "done\"{font=Liberation Serif} | "
               "P(sa=140,lh=1:115) \"mono\"{font=Liberation Mono} \" \"{font=Liberation Serif} \"a "
               "link\"{font=Liberation Serif,u=1,fg=#000080,href=https://example.org/page?x=1}");
    QTest::newRow("lo_pictures")
        << QStringLiteral("lo_pictures.rtf")
        << QString::fromUtf8(
               "P(sa=140,lh=1:115) \"Kitchen notes with a green swatch \"{font=Liberation Serif} "
               "<png 900x450> \" and a blue photo \"{font=Liberation Serif} <jpeg 600x600> \" "
               "inline.\"{font=Liberation Serif} | "
               "P(c,sa=140,lh=1:115) \"Centred bold\"{font=Liberation Serif,b}");
    // Made in LibreOffice (tests/rtf/fixtures/src): nested lists going on
    // across a sublist and a plain paragraph, bullets of three shapes, start
    // numbers, and two lists alike but separate.
    QTest::newRow("lo_nested_lists")
        << QStringLiteral("lo_nested_lists.rtf")
        << QString::fromUtf8(
               "P \"Nested:\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=1) \"first\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=1) \"second\"{font=Liberation Serif} | "
               "P(fi=-360,li=1440,num=3/1 list=-5 id=1 lvl=1) \"inner one\"{font=Liberation Serif} "
               "| "
               "P(fi=-360,li=2160,num=1 list=-3 id=1 lvl=2 bullet=▪) \"deep\"{font=Liberation "
               "Serif} | "
               "P(fi=-360,li=1440,num=3/1 list=-5 id=1 lvl=1) \"inner two\"{font=Liberation Serif} "
               "| "
               "P(fi=-360,li=720,num=2/1 list=-4 id=1) \"third\"{font=Liberation Serif} | "
               "P(fi=-360,li=1440,num=3/1 list=-5 id=1 lvl=1) \"inner again\"{font=Liberation "
               "Serif} | "
               "P \"A plain paragraph between.\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=1) \"fourth, continued\"{font=Liberation "
               "Serif} | "
               "P \"Bullets:\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=1 list=-1 id=2) \"round\"{font=Liberation Serif} | "
               "P(fi=-360,li=1440,num=1 list=-2 id=2 lvl=1 bullet=◦) \"hollow\"{font=Liberation "
               "Serif} | "
               "P(fi=-360,li=720,num=1 list=-1 id=2) \"round again\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/5 list=0 id=3) \"five\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/5 list=0 id=3) \"six\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=6/3 list=0 id=4) \"roman three\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=6/3 list=0 id=4) \"roman four\"{font=Liberation Serif} | "
               "P \"Two separate lists:\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=5) \"alpha\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=5) \"beta\"{font=Liberation Serif} | "
               "P \"between\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=6) \"gamma\"{font=Liberation Serif} | "
               "P(fi=-360,li=720,num=2/1 list=-4 id=6) \"delta\"{font=Liberation Serif} | "
               "P \"End.\"{font=Liberation Serif}");
    // A table of three rows with a bold header, an italic word and a cell of
    // two paragraphs.
    QTest::newRow("lo_table") << QStringLiteral("lo_table.rtf")
                              << QString::fromUtf8(
                                     "P \"Before the table.\"{font=Liberation Serif} | "
                                     "P(cell=0,0) \"Item\"{font=Liberation Serif,b} | "
                                     "P(cell=0,1) \"Note\"{font=Liberation Serif,b} | "
                                     "P(cell=1,0) \"Tea\"{font=Liberation Serif} | "
                                     "P(cell=1,1) \"green, \"{font=Liberation Serif} "
                                     "\"loose\"{font=Liberation Serif,i} | "
                                     "P(cell=2,0) \"Café\"{font=Liberation Serif} | "
                                     "P(cell=2,1) \"first line\"{font=Liberation Serif} | "
                                     "P(cell=2,1) \"second line\"{font=Liberation Serif} | "
                                     "P \"After the table.\"{font=Liberation Serif}");
    // Arabic and Hebrew paragraphs, footnotes, capitals, a shading and a page break.
    QTest::newRow("lo_bidi_notes")
        << QStringLiteral("lo_bidi_notes.rtf")
        << QString::fromUtf8(
               "P \"English first.\"{font=Liberation Serif} | "
               "P(rtl) \"مرحبا بالعالم، هذه فقرة عربية.\"{font=Liberation Serif} | "
               "P(rtl) \"שלום עולם, זו פסקה בעברית.\"{font=Liberation Serif} | "
               "P \"Text\"{font=Liberation Serif} \"1\"{font=Liberation Serif,sup,note=\tThe first "
               "footnote.} \" more, and again\"{font=Liberation Serif} \"2\"{font=Liberation "
               "Serif,sup,note=\tA second note.} \".\"{font=Liberation Serif} | "
               "P \"Some \"{font=Liberation Serif} \"all capitals\"{font=Liberation Serif,caps} \" "
               "and \"{font=Liberation Serif} \"Small Capitals\"{font=Liberation Serif,scaps} \" "
               "and \"{font=Liberation Serif} \"shaded\"{font=Liberation Serif,shade=#ffff00} "
               "\".\"{font=Liberation Serif} | "
               "P(page) \"On a new page.\"{font=Liberation Serif}");
}

void tst_RtfLibreOffice::reads()
{
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QTextDocument document;
    readRtf(fixture(file), &document);
    QCOMPARE(describe(document), expected);
}

void tst_RtfLibreOffice::roundTrips()
{
    QFETCH(QString, file);
    QTextDocument first;
    readRtf(fixture(file), &first);
    const QByteArray written = writeRtf(&first);
    QTextDocument second;
    readRtf(written, &second);
    QCOMPARE(dump(second), dump(first));
    QCOMPARE(writeRtf(&second), written);
}

void tst_RtfLibreOffice::plainTextIsLibreOffices()
{
    QFETCH(QString, file);
    QTextDocument document;
    readRtf(fixture(file), &document);
    const QString expected = QString::fromUtf8(
        fixture(QString(file).replace(QLatin1String(".rtf"), QLatin1String(".txt"))));
    QCOMPARE(plainText(&document), expected);
    // What we save reads back to the same text.
    QTextDocument again;
    readRtf(writeRtf(&document), &again);
    QCOMPARE(plainText(&again), expected);
}

QTEST_MAIN(tst_RtfLibreOffice)
#include "tst_rtf_libreoffice.moc"
