// The settings catalogue and the text forms of stored values.

#include "settings/color_value.h"
#include "settings/encodings.h"
#include "settings/settings_catalogue.h"

#include <QSet>
#include <QtTest>

using namespace bw;
using namespace bw::settings;

class tst_SettingsCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void namesAreUniqueAndFormed();
    void defaults_data();
    void defaults();
    void sectionsKeepOrder();
    void booleans_data();
    void booleans();
    void numbers_data();
    void numbers();
    void tipIndex_data();
    void tipIndex();
    void trimming();
    void colors_data();
    void colors();
    void customColorEntries();
    void colorButtonColors();
};

void tst_SettingsCatalogue::namesAreUniqueAndFormed()
{
    QSet<QString> names;
    for (const Setting &s : catalogue()) {
        const QString name = s.valueName();
        QVERIFY2(!name.isEmpty(), "every row has a value name");
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
        if (!s.isNamedValue())
            QCOMPARE(name, QLatin1String(s.control) + QLatin1Char('_') + QLatin1String(s.property));
        QCOMPARE(setting(s.key).valueName(), name);
    }
}

void tst_SettingsCatalogue::defaults_data()
{
    QTest::addColumn<Key>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("restoreDefault");
    QTest::newRow("tip at startup")
        << Key::DisplayTipOfTheDayAtStartup_Checked << "DisplayTipOfTheDayAtStartup_Checked"
        << "True"
        << "True";
    QTest::newRow("task bar") << Key::TaskBarType_ItemIndex << "TaskBarType_ItemIndex"
                              << "0"
                              << "0";
    QTest::newRow("main background")
        << Key::MainBackgroundColor_Color << "MainBackgroundColor_Color"
        << "-2147483633"
        << "-2147483633";
    QTest::newRow("hint colour") << Key::CommonHintColor_Color << "CommonHintColor_Color"
                                 << "-2147483624"
                                 << "-2147483624";
    QTest::newRow("autosave") << Key::ChildAutoSave_Checked << "ChildAutoSave_Checked"
                              << "False"
                              << "False";
    QTest::newRow("minutes") << Key::ChildAutoSaveMinutes_Text << "ChildAutoSaveMinutes_Text"
                             << "5"
                             << "5";
    // The font colours are the window text, on a new settings root too.
    QTest::newRow("tree font colour") << Key::TreeViewFontColor_Color << "TreeViewFontColor_Color"
                                      << "-2147483640"
                                      << "-2147483640";
    QTest::newRow("editor font colour") << Key::RichEditFontColor_Color << "RichEditFontColor_Color"
                                        << "-2147483640"
                                        << "-2147483640";
    QTest::newRow("tree background")
        << Key::TreeViewBackgroundColor_Selected << "TreeViewBackgroundColor_Selected"
        << "-2147483643"
        << "-2147483643";
    QTest::newRow("font name") << Key::RichEditFontName_FontName << "RichEditFontName_FontName"
                               << "MS Sans Serif"
                               << "MS Sans Serif";
    QTest::newRow("horizontal line")
        << Key::RichEditHorizontalLine_Text << "RichEditHorizontalLine_Text" << QString(68, u'-')
        << QString(68, u'-');
    QTest::newRow("page") << Key::PageControl_ActivePage << "PageControl_ActivePage"
                          << "tsStartup"
                          << "tsStartup";
    QTest::newRow("tip state") << Key::TipOfTheDayState << "TipOfTheDayState"
                               << "0"
                               << "0";
    QTest::newRow("splitter") << Key::SplitterMain_Left << "SplitterMain_Left"
                              << "289"
                              << "289";
    QTest::newRow("colour dialog") << Key::ColorDialog_Color << "ColorDialog_Color"
                                   << "13160660"
                                   << "13160660";
    QTest::newRow("first time") << Key::FirstTime << "FirstTime"
                                << "True"
                                << "True";
}

void tst_SettingsCatalogue::defaults()
{
    QFETCH(Key, key);
    QFETCH(QString, name);
    QFETCH(QString, defaultValue);
    QFETCH(QString, restoreDefault);
    QCOMPARE(valueName(key), name);
    QCOMPARE(defaultText(key), defaultValue);
    QCOMPARE(restoreDefaultText(key), restoreDefault);
}

void tst_SettingsCatalogue::sectionsKeepOrder()
{
    const QList<Key> options = keysOf(Section::Options);
    QCOMPARE(options.first(), Key::DisplayTipOfTheDayAtStartup_Checked);
    QCOMPARE(options.size(), 39);
    QCOMPARE(keysOf(Section::Main), QList<Key>());
    QCOMPARE(keysOf(Section::Child), QList<Key>{Key::SplitterMain_Left});
    // The data module stores the dialogs' properties in this order, then FirstTime.
    const QList<Key> data{Key::ColorDialog_Color,
                          Key::ColorDialog_CustomColors,
                          Key::OpenDialog_InitialDir,
                          Key::SaveDialog_InitialDir,
                          Key::OpenPictureDialog1_InitialDir,
                          Key::SavePictureDialog1_InitialDir,
                          Key::FirstTime};
    QCOMPARE(keysOf(Section::DataModule), data);
    QCOMPARE(listKeyName(Section::DataModule, Key::ColorDialog_CustomColors),
             QStringLiteral("DataModule.ColorDialog_CustomColors"));
}

void tst_SettingsCatalogue::booleans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // 1 true, 0 false, -1 unchanged
    QTest::newRow("True") << "True" << 1;
    QTest::newRow("true") << "true" << 1;
    QTest::newRow("TRUE") << "TRUE" << 1;
    QTest::newRow("False") << "False" << 0;
    QTest::newRow("fALSE") << "fALSE" << 0;
    QTest::newRow("yes") << "yes" << -1;
    QTest::newRow("1") << "1" << -1;
    QTest::newRow("empty") << "" << -1;
}

void tst_SettingsCatalogue::booleans()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<bool> value = decodeBool(text);
    QCOMPARE(value.has_value(), expected >= 0);
    if (value)
        QCOMPARE(*value, expected == 1);
    QCOMPARE(encodeBool(true), QStringLiteral("True"));
    QCOMPARE(encodeBool(false), QStringLiteral("False"));
}

void tst_SettingsCatalogue::numbers_data()
{
    QTest::addColumn<Key>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("minutes abc") << Key::ChildAutoSaveMinutes_Text << "abc" << 5;
    QTest::newRow("minutes 20") << Key::ChildAutoSaveMinutes_Text << "20" << 20;
    QTest::newRow("tree size empty") << Key::TreeViewFontSize_Text << "" << 8;
    QTest::newRow("editor size 12") << Key::RichEditFontSize_Text << " 12 " << 12;
    QTest::newRow("icon x") << Key::TreeViewIcon_Text << "x" << 0;
    QTest::newRow("icon 4") << Key::TreeViewIcon_Text << "4" << 4;
}

void tst_SettingsCatalogue::numbers()
{
    QFETCH(Key, key);
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(numberOr(text, setting(key).numberFallback), expected);
    QCOMPARE(decodeInt(QStringLiteral("abc")), 0);
    QCOMPARE(decodeInt(QStringLiteral("-17")), -17);
}

void tst_SettingsCatalogue::tipIndex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("3") << "3" << 3;
    QTest::newRow("10") << "10" << 10;
    QTest::newRow("11") << "11" << 0;
    QTest::newRow("no number") << "next" << 0;
    QTest::newRow("negative") << "-1" << 0;
}

void tst_SettingsCatalogue::tipIndex()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(decodeTipIndex(text), expected);
}

void tst_SettingsCatalogue::trimming()
{
    QCOMPARE(trimText(QStringLiteral(" \t C:\\Notes \r\n")), QStringLiteral("C:\\Notes"));
    QCOMPARE(trimText(QString(QChar(1)) + QStringLiteral("a b") + QChar(31)),
             QStringLiteral("a b"));
    QCOMPARE(trimText(QString()), QString());
}

void tst_SettingsCatalogue::colors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("system");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::newRow("button face") << "-2147483633" << true << 15 << 0 << 0 << 0;
    QTest::newRow("info background") << "-2147483624" << true << 24 << 0 << 0 << 0;
    QTest::newRow("window text") << "-2147483640" << true << 8 << 0 << 0 << 0;
    QTest::newRow("window") << "-2147483643" << true << 5 << 0 << 0 << 0;
    QTest::newRow("black") << "0" << false << -1 << 0 << 0 << 0;
    QTest::newRow("C8D0D4") << "13160660" << false << -1 << 0xD4 << 0xD0 << 0xC8;
    QTest::newRow("no number") << "abc" << false << -1 << 0 << 0 << 0;
}

void tst_SettingsCatalogue::colors()
{
    QFETCH(QString, text);
    QFETCH(bool, system);
    QFETCH(int, index);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    const ColorValue c = ColorValue::fromText(text);
    QCOMPARE(c.isSystem(), system);
    QCOMPARE(c.systemIndex(), index);
    if (!system) {
        QCOMPARE(c.red(), red);
        QCOMPARE(c.green(), green);
        QCOMPARE(c.blue(), blue);
    }
    if (text != QLatin1String("abc"))
        QCOMPARE(c.toText(), text); // written back exactly as read
    QCOMPARE(ColorValue::system(ColorValue::kButtonFace).toText(), QStringLiteral("-2147483633"));
}

void tst_SettingsCatalogue::customColorEntries()
{
    const QStringList defaults = defaultCustomColors();
    QCOMPARE(defaults.size(), 16);
    QCOMPARE(defaults[0], QStringLiteral("ColorA=FFFFFFFF"));
    QCOMPARE(defaults[6], QStringLiteral("ColorG=808000"));
    QCOMPARE(defaults[7], QStringLiteral("ColorH=AF6E3A"));
    QCOMPARE(defaults[13], QStringLiteral("ColorN=FFFFFFFF"));
    QCOMPARE(defaults[14], QStringLiteral("ColorO=C0C0C0"));
    QCOMPARE(defaults[15], QStringLiteral("ColorP=C8D0D4"));
    QCOMPARE(customColorEntry(15, ColorValue(0x00C8D0D4)), QStringLiteral("ColorP=C8D0D4"));
    QCOMPARE(parseCustomColorEntry(QStringLiteral("ColorH=AF6E3A"))->raw(), 0x00AF6E3A);
    QCOMPARE(parseCustomColorEntry(QStringLiteral("ColorA=FFFFFFFF"))->raw(), -1);
    QVERIFY(!parseCustomColorEntry(QStringLiteral("nonsense")));
}

void tst_SettingsCatalogue::colorButtonColors()
{
    const QList<ColorValue> defaults = defaultColorButtonColors();
    const QString text = encodeColorButtonColors(defaults);
    QCOMPARE(text, QStringLiteral("$00AF6E3A,$00FFFFFF,$00C8D0D4,$00FFFFFF,$00808000,$00FFFFFF,"
                                  "$00C0C0C0,$00FFFFFF,$00FFFFFF,$00FFFFFF,$00FFFFFF,$00FFFFFF,"
                                  "$00FFFFFF,$00FFFFFF,$00FFFFFF,$00FFFFFF"));
    QCOMPARE(decodeColorButtonColors(text), defaults);
    // Given a short list with a bad entry, when read, then missing and bad entries are white.
    const QList<ColorValue> read = decodeColorButtonColors(QStringLiteral("$000000FF,zz"));
    QCOMPARE(read.size(), 16);
    QCOMPARE(read[0], ColorValue::fromRgb(255, 0, 0));
    QCOMPARE(read[1], ColorValue::fromRgb(255, 255, 255));
    QCOMPARE(read[15], ColorValue::fromRgb(255, 255, 255));
    QCOMPARE(encodeColorButtonColors({ColorValue::system(ColorValue::kButtonFace)}).left(9),
             QStringLiteral("$8000000F"));
}

QTEST_GUILESS_MAIN(tst_SettingsCatalogue)
#include "tst_settings_catalogue.moc"
