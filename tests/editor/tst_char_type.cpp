// Changing the character type of a text: word case as the 8-bit character
// set knows it, and the locale's lower and upper case.

#include "editor/char_type.h"

#include <QTest>

using namespace bw;

class tst_CharType : public QObject
{
    Q_OBJECT

private slots:
    void wordCase_data();
    void wordCase();
    void lowerAndUpperCase();
};

void tst_CharType::wordCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // Only a blank starts a word: after a line break the letter stays small.
    QTest::newRow("line break") << "hello wORLD\nnew line"
                                << "Hello World\nnew Line";
    QTest::newRow("ø and æ") << QString::fromUtf8("øresund ærø")
                             << QString::fromUtf8("Øresund Ærø");
    QTest::newRow("é stays") << QString::fromUtf8("élan") << QString::fromUtf8("élan");
    QTest::newRow("å") << QString::fromUtf8("åbo") << QString::fromUtf8("Åbo");
    // Capitals other than A to Z are left as they are.
    QTest::newRow("É stays capital")
        << QString::fromUtf8("ÉLAN vital") << QString::fromUtf8("Élan Vital");
    QTest::newRow("tab, hyphen") << "a\tb-c d"
                                 << "A\tb-c D";
    QTest::newRow("double blank") << "x  y"
                                  << "X  Y";
    QTest::newRow("digits") << "1st place"
                            << "1st Place";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_CharType::wordCase()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(bw::wordCase(text), expected);
    QCOMPARE(changeCharType(text, CharType::WordCase), expected);
}

void tst_CharType::lowerAndUpperCase()
{
    const QString text = QString::fromUtf8("Straße ÆØÅ abc");
    QCOMPARE(changeCharType(text, CharType::Lowercase), QLocale().toLower(text));
    QCOMPARE(changeCharType(text, CharType::Uppercase), QLocale().toUpper(text));
    QCOMPARE(changeCharType(QStringLiteral("MiXeD"), CharType::Lowercase), QStringLiteral("mixed"));
}

QTEST_MAIN(tst_CharType)
#include "tst_char_type.moc"
