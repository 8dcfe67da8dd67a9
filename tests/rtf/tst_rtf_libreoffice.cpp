// RTF saved by LibreOffice Writer (fixtures made from our own text) reads in
// with its text and formats, and survives our writer.

#include "editor/rtf/rtf.h"
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
    void roundTrips_data() { reads_data(); }
    void roundTrips();
};

void tst_RtfLibreOffice::reads_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    // Our writer's output of a formatted note, opened and saved by LibreOffice.
    QTest::newRow("lo_formatting") << QStringLiteral("lo_formatting.rtf")
            << QString::fromUtf8(
               "P(c) \"Title in Times 18\"{font=Times New Roman,pt=18,b} | "
               "P \"Plain Arial 10, \"{font=Arial,pt=10} \"bold\"{font=Arial,pt=10,b} \", \"{font=Arial,pt=10} \"italic\"{font=Arial,pt=10,i} \", \"{font=Arial,pt=10} \"underlined\"{font=Arial,pt=10,u=1} \", \"{font=Arial,pt=10} \"struck\"{font=Arial,pt=10,s} \", \"{font=Arial,pt=10} \"red\"{font=Arial,pt=10,fg=#ff0000} \", \"{font=Arial,pt=10} \"blue\"{font=Arial,pt=10,fg=#0000ff} \", \"{font=Arial,pt=10} \"yellow back\"{font=Arial,pt=10,fg=#000000,bg=#ffff00} \", x\"{font=Arial,pt=10} \"2\"{font=Arial,pt=10,sup} \" H\"{font=Arial,pt=10} \"2\"{font=Arial,pt=10,sub} \"O, café При\"{font=Arial,pt=10} | "
               "P(r) \"Courier right\"{font=Courier New} | "
               "P(j,fi=360,li=720,ri=720,sb=240,sa=120) \"Justified with indents, Justified with indents, Justified with indents, Justified with indents, Justified with indents.\"{font=Courier New} | "
               "P(fi=-360,li=720,num=1 list=-1) \"bullet one\"{font=Arial,pt=10} | "
               "P(fi=-360,li=720,num=1 list=-1) \"bullet two\"{font=Arial,pt=10} | "
               "P(fi=-360,li=720,num=2/1 list=-4) \"number one\"{font=Arial,pt=10} | "
               "P(fi=-360,li=720,num=2/1 list=-4) \"number two\"{font=Arial,pt=10} | "
               "P(fi=-360,li=720,num=5/3 list=-7) \"roman three\"{font=Arial,pt=10} | "
               "P \"Picture: \"{font=Arial,pt=10} <png 1200x600> \" and a \"{font=Arial,pt=10} \"link\"{font=Arial,pt=10,u=1,fg=#0000ff,href=http://example.com/} \".\"{font=Arial,pt=10}");
    // Lists, Unicode and pictures made in LibreOffice from HTML.
    QTest::newRow("lo_lists") << QStringLiteral("lo_lists.rtf")
            << QString::fromUtf8(
               "P(fi=-283,li=709,lh=1:115,tab=0:709,num=1 list=-1) \"apples\"{font=Liberation Serif} | "
               "P(fi=-283,li=709,sa=140,lh=1:115,tab=0:709,num=1 list=-1) \"pears\"{font=Liberation Serif} | "
               "P(fi=-283,li=709,lh=1:115,tab=0:709,num=4/1 list=-6) \"first letter\"{font=Liberation Serif} | "
               "P(fi=-283,li=709,sa=140,lh=1:115,tab=0:709,num=4/1 list=-6) \"second letter\"{font=Liberation Serif} | "
               "P(fi=-283,li=709,lh=1:115,tab=0:709,num=5/4 list=-7) \"four\"{font=Liberation Serif} | "
               "P(fi=-283,li=709,sa=140,lh=1:115,tab=0:709,num=5/4 list=-7) \"five\"{font=Liberation Serif} | "
               "P(sa=140,lh=1:115) \"after\"{font=Liberation Serif}");
    QTest::newRow("lo_unicode") << QStringLiteral("lo_unicode.rtf")
            << QString::fromUtf8(
               "P(sa=140,lh=1:115) \"Café déjà vu – “quoted” … € 5\"{font=Liberation Serif} | "
               "P(sa=140,lh=1:115) \"Привет, мир! Ελληνικά. 日本語のテキスト. 😀 done\"{font=Liberation Serif} | "
               "P(sa=140,lh=1:115) \"mono\"{font=Liberation Mono} \" \"{font=Liberation Serif} \"a link\"{font=Liberation Serif,u=1,fg=#000080,href=https://example.org/page?x=1}");
    QTest::newRow("lo_pictures") << QStringLiteral("lo_pictures.rtf")
            << QString::fromUtf8(
               "P(sa=140,lh=1:115) \"Kitchen notes with a green swatch \"{font=Liberation Serif} <png 900x450> \" and a blue photo \"{font=Liberation Serif} <jpeg 600x600> \" inline.\"{font=Liberation Serif} | "
               "P(c,sa=140,lh=1:115) \"Centred bold\"{font=Liberation Serif,b}");
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

QTEST_MAIN(tst_RtfLibreOffice)
#include "tst_rtf_libreoffice.moc"
