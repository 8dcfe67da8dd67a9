// The text of RTF read without a document: the body's words, whatever the
// control words, groups and encodings around them, as the reader puts them
// into a document.

#include "rtf/rtf.h"
#include "rtf/rtf_text.h"

#include <QTextDocument>
#include <QtTest>

using namespace bw::rtf;

class tst_RtfText : public QObject
{
    Q_OBJECT

private slots:
    void text_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("asReader"); // the reader's document shows the same text
        QTest::newRow("header and format words")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 "
                          "Verdana;}}{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1"
                          "\\pard\\f0\\fs16 Notes on item 7\\par}")
            << "Notes on item 7" << true;
        QTest::newRow("a word split by a format change")
            << QByteArray("{\\rtf1 a ne\\b ed\\b0 le, {\\i ha}{\\cf1 y}stack\\par}")
            << "a needle, haystack" << true;
        QTest::newRow("paragraphs, lines and tabs")
            << QByteArray("{\\rtf1 one\\par two\\line three\\tab four\\par\\par five}")
            << "one\ntwo\nthree\tfour\n\nfive" << true;
        QTest::newRow("code page of the document")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 cr\\'e8me\\par}") << "café crème"
            << true;
        QTest::newRow("code page of the font")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset204 "
                          "Arial Cyr;}}\\f1 \\'cf\\'f0\\'e8\\f0  caf\\'e9\\par}")
            << "При café" << true;
        QTest::newRow("unicode with fallbacks")
            << QByteArray("{\\rtf1\\uc1 \\u8364?uro {\\uc2\\u8364\\'80\\'80 two}\\u-3971?\\par}")
            << QString::fromUtf8("€uro € two\uF07D") << true;
        QTest::newRow("skipped destinations")
            << QByteArray("{\\rtf1{\\*\\generator Riched20 10.0;}{\\info{\\title Title}}"
                          "{\\stylesheet{\\s0 Normal;}}{\\*\\unknown hidden}Body"
                          "{\\footnote note}\\par}")
            << "Body" << false;
        QTest::newRow("field result, not its instruction")
            << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x.org\"}"
                          "{\\fldrslt the link}} here\\par}")
            << "see the link here" << true;
        QTest::newRow("picture left out")
            << QByteArray("{\\rtf1 be{\\pict\\pngblip\\picw10\\pich10 0011aabb}fore\\par}")
            << "before" << false;
        QTest::newRow("symbols and escapes")
            << QByteArray("{\\rtf1 a\\~b\\emdash c\\{d\\}\\\\e\\bullet\\par}")
            << QString::fromUtf8("a\u00A0b\u2014c{d}\\e\u2022") << true;
        QTest::newRow("unicode part of upr")
            << QByteArray("{\\rtf1{\\upr{ansi text}{\\*\\ud{unicode text}}}\\par}")
            << "unicode text" << true;
        QTest::newRow("unclosed document")
            << QByteArray("{\\rtf1 cut {\\b off") << "cut off" << true;
    }

    void text()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QFETCH(bool, asReader);
        QCOMPARE(rtfText(rtf), text);
        if (!asReader)
            return;
        QTextDocument document;
        readRtf(rtf, &document);
        QString shown = document.toRawText();
        shown.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
        QCOMPARE(shown, text);
    }

    void notRtfIsRefused() { QVERIFY_THROWS_EXCEPTION(RtfError, rtfText("plain words")); }
};

QTEST_MAIN(tst_RtfText)
#include "tst_rtf_text.moc"
