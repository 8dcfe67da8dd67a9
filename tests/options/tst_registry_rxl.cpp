// The settings store: restore and save of a section, single values, window
// placement and the list keys, on a settings file in a temporary folder.

#include "options/registry_rxl.h"
#include "options/system_colors.h"
#include "settings/encodings.h"
#include "settings/registry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <stdexcept>

using namespace bw;
using namespace bw::settings;

namespace {

const QString kRoot = QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0");
const QString kGroup = QStringLiteral("Software/ORV/Bramblewick 2000/4.0.4.0");

// A colour button as the options dialog has one: the colour kept as a value.
class ColorHolder : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int colorValue READ colorValue WRITE setColorValue)
public:
    using QWidget::QWidget;
    int colorValue() const { return m_value; }
    void setColorValue(int v) { m_value = v; }

private:
    int m_value = 0;
};

// A control with a plain QColor property.
class QColorHolder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    using QObject::QObject;
    QColor color() const { return m_color; }
    void setColor(const QColor &c) { m_color = c; }

private:
    QColor m_color;
};

// The colour dialog's stored list.
class ListHolder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList customColors READ customColors WRITE setCustomColors)
public:
    using QObject::QObject;
    QStringList customColors() const { return m_list; }
    void setCustomColors(const QStringList &l) { m_list = l; }

private:
    QStringList m_list;
};

template <class T> T *make(QObject *parent, const QString &name)
{
    T *t = nullptr;
    if constexpr (std::is_base_of_v<QWidget, T>)
        t = new T(qobject_cast<QWidget *>(parent));
    else
        t = new T(parent);
    t->setObjectName(name);
    return t;
}

} // namespace

class tst_RegistryRXL : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void registryValues();
    void restoreBoolean_data();
    void restoreBoolean();
    void restoreKinds();
    void saveKinds();
    void formVersion_data();
    void formVersion();
    void newRootWritesDefaults();
    void writeValueIsOnDiskAtOnce();
    void propertyErrorIgnored();
    void placementRoundTrip_data();
    void placementRoundTrip();
    void placementRules();
    void customColorsKey();
    void mruKey();
    void colorsKey();

private:
    std::unique_ptr<RegistryRXL> store(QObject *form, Section section, int version = 4040);
    void writeStored(const QString &section, const QString &name, const QString &text);
    QString onDisk(const QString &path, const QString &name);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Registry> m_registry;
};

void tst_RegistryRXL::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_registry = std::make_unique<Registry>(m_dir->filePath(QStringLiteral("registry.ini")));
}

void tst_RegistryRXL::cleanup()
{
    m_registry.reset();
    m_dir.reset();
}

std::unique_ptr<RegistryRXL> tst_RegistryRXL::store(QObject *form, Section section, int version)
{
    auto s = std::make_unique<RegistryRXL>(form, m_registry.get());
    s->setRoot(kRoot);
    s->setVersion(version);
    s->bindSection(section);
    return s;
}

void tst_RegistryRXL::writeStored(const QString &section, const QString &name, const QString &text)
{
    m_registry->write(Registry::subKey(kRoot, section), name, text);
    m_registry->sync();
}

// A value as another program would read it from the file now.
QString tst_RegistryRXL::onDisk(const QString &path, const QString &name)
{
    QSettings file(m_registry->fileName(), QSettings::IniFormat);
    const QVariant v = file.value(path + QLatin1Char('/') + name);
    return v.isValid() ? v.toString() : QStringLiteral("<absent>");
}

void tst_RegistryRXL::registryValues()
{
    const QString key = Registry::subKey(kRoot, QStringLiteral("Options"));
    QVERIFY(!m_registry->read(key, QStringLiteral("A")).has_value());
    m_registry->write(key, QStringLiteral("A"), QString());
    QCOMPARE(m_registry->read(key, QStringLiteral("A")), std::optional<QString>(QString()));
    m_registry->write(key, QStringLiteral("B"), QStringLiteral("1,2,3,4"));
    QCOMPARE(m_registry->read(key, QStringLiteral("B"), QString()), QStringLiteral("1,2,3,4"));
    QCOMPARE(Registry::groupOf(key), kGroup + QStringLiteral("/Options"));

    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(Registry::defaultFileName().startsWith(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
    QVERIFY(Registry::defaultFileName().endsWith(QStringLiteral("/bramblewick/registry.ini")));
    QStandardPaths::setTestModeEnabled(false);
}

void tst_RegistryRXL::restoreBoolean_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<int>("clicks");
    QTest::newRow("True") << "True" << false << true << 1;
    QTest::newRow("true") << "true" << false << true << 1;
    QTest::newRow("TRUE") << "TRUE" << false << true << 1;
    QTest::newRow("padded False") << "  False " << true << false << 1;
    QTest::newRow("same state, no click") << "True" << true << true << 0;
    QTest::newRow("yes unchanged") << "yes" << true << true << 0;
    QTest::newRow("empty unchanged") << "" << false << false << 0;
}

void tst_RegistryRXL::restoreBoolean()
{
    QFETCH(QString, stored);
    QFETCH(bool, initial);
    QFETCH(bool, expected);
    QFETCH(int, clicks);
    QWidget form;
    auto *box = make<QCheckBox>(&form, QStringLiteral("ChildAutoSave"));
    box->setChecked(initial);
    box->setEnabled(false); // a disabled box still runs its click handling
    QSignalSpy clicked(box, &QCheckBox::clicked);
    writeStored(QStringLiteral("Options"), QStringLiteral("FormVersion"), QStringLiteral("4040"));
    writeStored(QStringLiteral("Options"), valueName(Key::ChildAutoSave_Checked), stored);
    auto s = store(&form, Section::Options);
    QVERIFY(s->restore());
    QCOMPARE(box->isChecked(), expected);
    QCOMPARE(clicked.size(), clicks);
    if (clicks)
        QCOMPARE(clicked.first().first().toBool(), expected);
}

void tst_RegistryRXL::restoreKinds()
{
    QWidget form;
    auto *minutes = make<QLineEdit>(&form, QStringLiteral("ChildAutoSaveMinutes"));
    auto *icon = make<QComboBox>(&form, QStringLiteral("TreeViewIcon"));
    icon->addItems({"0", "2", "4", "6", "8", "10"});
    auto *size = make<QComboBox>(&form, QStringLiteral("TreeViewFontSize"));
    size->setEditable(true);
    size->addItems({"8", "9", "10"});
    auto *taskBar = make<QComboBox>(&form, QStringLiteral("TaskBarType"));
    taskBar->addItems({"Taskbar", "System Tray"});
    auto *background = make<ColorHolder>(&form, QStringLiteral("MainBackgroundColor"));
    auto *hint = make<QColorHolder>(&form, QStringLiteral("CommonHintColor"));
    auto *fontName = make<QFontComboBox>(&form, QStringLiteral("RichEditFontName"));
    auto *pages = make<QStackedWidget>(&form, QStringLiteral("PageControl"));
    pages->addWidget(make<QWidget>(pages, QStringLiteral("tsStartup")));
    pages->addWidget(make<QWidget>(pages, QStringLiteral("tsCommon")));
    const QString section = QStringLiteral("Options");
    writeStored(section, QStringLiteral("FormVersion"), QStringLiteral("4040"));
    writeStored(section, QStringLiteral("ChildAutoSaveMinutes_Text"), QStringLiteral("  15 \t"));
    writeStored(section, QStringLiteral("TreeViewIcon_Text"), QStringLiteral("4"));
    writeStored(section, QStringLiteral("TreeViewFontSize_Text"), QString());
    writeStored(section, QStringLiteral("TaskBarType_ItemIndex"), QStringLiteral("1"));
    writeStored(section, QStringLiteral("MainBackgroundColor_Color"),
                QStringLiteral("-2147483633"));
    writeStored(section, QStringLiteral("CommonHintColor_Color"), QStringLiteral("-2147483624"));
    writeStored(section, QStringLiteral("RichEditFontName_FontName"),
                QStringLiteral("DejaVu Sans"));
    writeStored(section, QStringLiteral("PageControl_ActivePage"), QStringLiteral("tsCommon"));
    auto s = store(&form, Section::Options);
    QSignalSpy restored(s.get(), &RegistryRXL::restored);
    QVERIFY(s->restore());
    QCOMPARE(restored.size(), 1);
    QCOMPARE(minutes->text(), QStringLiteral("15"));
    QCOMPARE(icon->currentText(), QStringLiteral("4"));
    QCOMPARE(size->currentText(), QString());
    QCOMPARE(taskBar->currentIndex(), 1);
    // A system colour stays symbolic; shown through the palette.
    QCOMPARE(background->colorValue(), ColorValue::system(ColorValue::kButtonFace).raw());
    QCOMPARE(hint->color(), QApplication::palette().color(QPalette::ToolTipBase));
    QCOMPARE(fontName->currentFont().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("tsCommon"));
}

void tst_RegistryRXL::saveKinds()
{
    QWidget form;
    make<QCheckBox>(&form, QStringLiteral("TreeViewHotTrack"))->setChecked(true);
    make<QLineEdit>(&form, QStringLiteral("RichEditHorizontalLine"))
        ->setText(QStringLiteral(" == "));
    auto *spin = make<QSpinBox>(&form, QStringLiteral("ChildAutoSaveMinutes"));
    spin->setRange(5, 120);
    spin->setValue(35);
    make<ColorHolder>(&form, QStringLiteral("TreeViewFontColor"))
        ->setColorValue(ColorValue::system(ColorValue::kWindowText).raw());
    make<QColorHolder>(&form, QStringLiteral("CommonHintColor"))->setColor(QColor(255, 0, 0));
    auto *splitter = make<QSplitter>(&form, QStringLiteral("SplitterMain"));
    splitter->addWidget(new QWidget);
    splitter->addWidget(new QWidget);
    splitter->resize(600, 200);
    form.show();
    splitter->setSizes({150, 450});
    auto options = store(&form, Section::Options);
    QSignalSpy saved(options.get(), &RegistryRXL::saved);
    options->save();
    QCOMPARE(saved.size(), 1);
    const QString group = kGroup + QStringLiteral("/Options");
    QCOMPARE(onDisk(group, QStringLiteral("FormVersion")), QStringLiteral("4040"));
    QCOMPARE(onDisk(group, QStringLiteral("TreeViewHotTrack_Checked")), QStringLiteral("True"));
    QCOMPARE(onDisk(group, QStringLiteral("RichEditHorizontalLine_Text")), QStringLiteral("=="));
    QCOMPARE(onDisk(group, QStringLiteral("ChildAutoSaveMinutes_Text")), QStringLiteral("35"));
    QCOMPARE(onDisk(group, QStringLiteral("TreeViewFontColor_Color")),
             QStringLiteral("-2147483640"));
    QCOMPARE(onDisk(group, QStringLiteral("CommonHintColor_Color")), QStringLiteral("255"));
    const int left = splitter->sizes().first();
    auto child = store(&form, Section::Child);
    child->save();
    QCOMPARE(onDisk(kGroup + QStringLiteral("/Child"), QStringLiteral("SplitterMain_Left")),
             QString::number(left));
    // The splitter position comes back after it was moved.
    splitter->setSizes({300, 300});
    QVERIFY(child->restore());
    QCOMPARE(splitter->sizes().first(), left);
}

void tst_RegistryRXL::formVersion_data()
{
    QTest::addColumn<QString>("stored"); // "<absent>" for none
    QTest::addColumn<bool>("restored");
    QTest::newRow("same") << "4040" << true;
    QTest::newRow("newer") << "5000" << true;
    QTest::newRow("older") << "4030" << false;
    QTest::newRow("missing") << "<absent>" << false;
    QTest::newRow("no number") << "abc" << false;
}

void tst_RegistryRXL::formVersion()
{
    QFETCH(QString, stored);
    QFETCH(bool, restored);
    QWidget form;
    auto *box = make<QCheckBox>(&form, QStringLiteral("ChildAutoSave"));
    if (stored != QLatin1String("<absent>"))
        writeStored(QStringLiteral("Options"), QStringLiteral("FormVersion"), stored);
    writeStored(QStringLiteral("Options"), QStringLiteral("ChildAutoSave_Checked"),
                QStringLiteral("True"));
    writeStored(QStringLiteral("Options"), QStringLiteral("NormPos"),
                QStringLiteral("10,10,300,200"));
    auto s = store(&form, Section::Options);
    QSignalSpy spy(s.get(), &RegistryRXL::restored);
    QCOMPARE(s->restore(), restored);
    QCOMPARE(spy.size(), restored ? 1 : 0);
    QCOMPARE(box->isChecked(), restored);
}

// A new settings root holds every default once the sections have been saved.
void tst_RegistryRXL::newRootWritesDefaults()
{
    QWidget form;
    for (Key key : keysOf(Section::Options)) {
        const Setting &row = setting(key);
        if (row.isNamedValue())
            continue;
        const QString name = QLatin1String(row.control);
        QObject *control = nullptr;
        switch (row.kind) {
        case Kind::Boolean:
            control = make<QCheckBox>(&form, name);
            break;
        case Kind::Color:
            control = make<ColorHolder>(&form, name);
            break;
        case Kind::Integer: {
            auto *combo = make<QComboBox>(&form, name);
            combo->addItems({"Taskbar", "System Tray"});
            control = combo;
            break;
        }
        case Kind::ControlRef: {
            auto *pages = make<QStackedWidget>(&form, name);
            pages->addWidget(make<QWidget>(pages, defaultText(key)));
            control = pages;
            break;
        }
        default: {
            auto *combo = make<QComboBox>(&form, name);
            combo->setEditable(true);
            control = combo;
        }
        }
        Q_UNUSED(control);
    }
    auto s = store(&form, Section::Options);
    // Set every control from the catalogue through the store's own path.
    for (Key key : keysOf(Section::Options))
        if (!setting(key).isNamedValue())
            writeStored(QStringLiteral("Options"), valueName(key), defaultText(key));
    writeStored(QStringLiteral("Options"), QStringLiteral("FormVersion"), QStringLiteral("4040"));
    QVERIFY(s->restore());
    m_registry->deleteValues(s->sectionKey());
    s->save();
    for (Key key : keysOf(Section::Options)) {
        if (setting(key).isNamedValue())
            continue;
        QCOMPARE(onDisk(kGroup + QStringLiteral("/Options"), valueName(key)), defaultText(key));
    }
}

void tst_RegistryRXL::writeValueIsOnDiskAtOnce()
{
    QWidget form;
    auto s = store(&form, Section::Options);
    QCOMPARE(s->readValue(Key::CommonDisplayExitConfirm_Checked), QStringLiteral("True"));
    QCOMPARE(s->readValue(Key::TipOfTheDayState), QStringLiteral("0"));
    s->writeValue(Key::CommonDisplayExitConfirm_Checked, QStringLiteral("False"));
    s->writeValue(Key::TipOfTheDayState, QStringLiteral("7"));
    const QString group = kGroup + QStringLiteral("/Options");
    QCOMPARE(onDisk(group, QStringLiteral("CommonDisplayExitConfirm_Checked")),
             QStringLiteral("False"));
    QCOMPARE(onDisk(group, QStringLiteral("TipOfTheDayState")), QStringLiteral("7"));
    QCOMPARE(s->readValue(QStringLiteral("TipOfTheDayState"), QString()), QStringLiteral("7"));
    // A value written one by one is not overwritten by the next save of the section.
    s->save();
    QCOMPARE(onDisk(group, QStringLiteral("TipOfTheDayState")), QStringLiteral("7"));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             s->writeValue(Key::FirstTime, QStringLiteral("x")));
}

void tst_RegistryRXL::propertyErrorIgnored()
{
    QWidget form;
    auto *first = make<QCheckBox>(&form, QStringLiteral("First"));
    make<QLabel>(&form, QStringLiteral("Label"));
    auto *thrower = make<QCheckBox>(&form, QStringLiteral("Thrower"));
    connect(thrower, &QCheckBox::clicked, this, [] { throw std::runtime_error("handler failed"); });
    auto *last = make<QLineEdit>(&form, QStringLiteral("Last"));
    RegistryRXL s(&form, m_registry.get());
    s.setRoot(kRoot);
    s.setSection(QStringLiteral("Test"));
    s.setVersion(1);
    s.setStoredProperties({{"First", "Checked", Kind::Boolean},
                           {"Missing", "Checked", Kind::Boolean},
                           {"Label", "Checked", Kind::Boolean},
                           {"Thrower", "Checked", Kind::Boolean},
                           {"Last", "Text", Kind::Text}});
    for (const char *name :
         {"First_Checked", "Missing_Checked", "Label_Checked", "Thrower_Checked"})
        writeStored(QStringLiteral("Test"), QLatin1String(name), QStringLiteral("True"));
    writeStored(QStringLiteral("Test"), QStringLiteral("Last_Text"), QStringLiteral("end"));
    writeStored(QStringLiteral("Test"), QStringLiteral("FormVersion"), QStringLiteral("1"));
    QSignalSpy failed(&s, &RegistryRXL::propertyFailed);
    QSignalSpy restored(&s, &RegistryRXL::restored);
    QVERIFY(s.restore());
    QVERIFY(first->isChecked());
    QCOMPARE(last->text(), QStringLiteral("end"));
    QCOMPARE(restored.size(), 1);
    QCOMPARE(failed.size(), 3);
    QCOMPARE(failed[0][0].toString(), QStringLiteral("Missing_Checked"));
    QCOMPARE(failed[1][0].toString(), QStringLiteral("Label_Checked"));
    QCOMPARE(failed[2][0].toString(), QStringLiteral("Thrower_Checked"));
    // Saving skips the same two controls and writes the rest.
    failed.clear();
    s.save();
    QCOMPARE(failed.size(), 2);
    QCOMPARE(onDisk(kGroup + QStringLiteral("/Test"), QStringLiteral("Last_Text")),
             QStringLiteral("end"));
}

void tst_RegistryRXL::placementRoundTrip_data()
{
    QTest::addColumn<int>("state"); // Qt::WindowStates
    QTest::addColumn<QString>("showCmd");
    QTest::newRow("normal") << int(Qt::WindowNoState) << "1";
    QTest::newRow("maximised") << int(Qt::WindowMaximized) << "3";
    QTest::newRow("minimised") << int(Qt::WindowMinimized) << "2";
}

void tst_RegistryRXL::placementRoundTrip()
{
    QFETCH(int, state);
    QFETCH(QString, showCmd);
    const QRect normal(120, 90, 500, 360);
    {
        QWidget window;
        auto s = store(&window, Section::Main);
        window.setGeometry(normal);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setWindowState(Qt::WindowStates(state));
        s->save();
    }
    const QString group = kGroup + QStringLiteral("/Main");
    QCOMPARE(onDisk(group, QStringLiteral("ShowCmd")), showCmd);
    QCOMPARE(onDisk(group, QStringLiteral("NormPos")), QStringLiteral("120,90,620,450"));
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QString suffix =
        QStringLiteral("(%1x%2)").arg(screen->geometry().width()).arg(screen->geometry().height());
    QCOMPARE(onDisk(group, QStringLiteral("NormPos") + suffix), QStringLiteral("120,90,620,450"));
    QCOMPARE(onDisk(group, QStringLiteral("Visible")), QStringLiteral("0"));
    QCOMPARE(onDisk(group, QStringLiteral("PixelsPerInch")),
             QString::number(qRound(screen->logicalDotsPerInch())));

    QWidget again;
    auto s = store(&again, Section::Main);
    QVERIFY(s->restore());
    QCOMPARE(again.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized),
             Qt::WindowStates(state));
    if (state == Qt::WindowNoState)
        QCOMPARE(again.geometry(), normal);
    else
        QCOMPARE(again.normalGeometry().isValid() ? again.normalGeometry() : again.geometry(),
                 normal);
}

void tst_RegistryRXL::placementRules()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QString suffix =
        QStringLiteral("(%1x%2)").arg(screen->geometry().width()).arg(screen->geometry().height());
    const QString ppi = QString::number(qRound(screen->logicalDotsPerInch()));
    const auto stored = [&](const QString &section, const QString &norm, const QString &sized,
                            const QString &dpi, const QString &show) {
        writeStored(section, QStringLiteral("FormVersion"), QStringLiteral("4040"));
        writeStored(section, QStringLiteral("NormPos"), norm);
        writeStored(section, QStringLiteral("NormPos") + suffix, sized);
        writeStored(section, QStringLiteral("PixelsPerInch"), dpi);
        writeStored(section, QStringLiteral("ShowCmd"), show);
    };
    // The rectangle stored for this screen size wins over the plain one.
    stored(QStringLiteral("Child"), "1,1,101,101", "20,30,220,130", ppi, "1");
    QWidget child;
    QVERIFY(store(&child, Section::Child)->restore());
    QCOMPARE(child.geometry(), QRect(20, 30, 200, 100));
    // Another pixel density, or left not less than right: the rectangle is ignored.
    stored(QStringLiteral("Child"), "", "20,30,220,130", "1", "1");
    QWidget otherDpi;
    otherDpi.setGeometry(5, 5, 50, 50);
    QVERIFY(store(&otherDpi, Section::Child)->restore());
    QCOMPARE(otherDpi.geometry(), QRect(5, 5, 50, 50));
    stored(QStringLiteral("Child"), "", "300,30,220,130", ppi, "1");
    QWidget reversed;
    reversed.setGeometry(5, 5, 50, 50);
    QVERIFY(store(&reversed, Section::Child)->restore());
    QCOMPARE(reversed.geometry(), QRect(5, 5, 50, 50));
    // A fixed-size dialog takes only the position.
    stored(QStringLiteral("Options"), "", "40,50,140,150", ppi, "3");
    QWidget dialog;
    dialog.setGeometry(0, 0, 400, 300);
    QVERIFY(store(&dialog, Section::Options)->restore());
    QCOMPARE(dialog.geometry(), QRect(40, 50, 400, 300));
    QVERIFY(!dialog.isMaximized());
    // An unknown show state keeps the main window's state and makes others normal.
    stored(QStringLiteral("Main"), "", "40,50,140,150", ppi, "0");
    QWidget main;
    main.setWindowState(Qt::WindowMaximized);
    QVERIFY(store(&main, Section::Main)->restore());
    QVERIFY(main.windowState() & Qt::WindowMaximized);
    stored(QStringLiteral("Child"), "", "40,50,140,150", ppi, "0");
    QWidget normalChild;
    normalChild.setWindowState(Qt::WindowMaximized);
    QVERIFY(store(&normalChild, Section::Child)->restore());
    QCOMPARE(normalChild.windowState(), Qt::WindowNoState);
    // A minimised document window adds flag 1; a store saved at destruction marks Visible.
    QWidget minimised;
    minimised.showMinimized();
    store(&minimised, Section::Child)->save(RegistryRXL::SaveReason::Destroying);
    QCOMPARE(onDisk(kGroup + QStringLiteral("/Child"), QStringLiteral("Flags")),
             QStringLiteral("1"));
    QCOMPARE(onDisk(kGroup + QStringLiteral("/Child"), QStringLiteral("ShowCmd")),
             QStringLiteral("2"));
    QCOMPARE(onDisk(kGroup + QStringLiteral("/Child"), QStringLiteral("Visible")),
             QStringLiteral("1"));
}

void tst_RegistryRXL::customColorsKey()
{
    QObject module;
    module.setObjectName(QStringLiteral("frmDataModule"));
    auto *dialog = make<ListHolder>(&module, QStringLiteral("ColorDialog"));
    dialog->setCustomColors(defaultCustomColors());
    const QString key = kRoot + QStringLiteral("\\DataModule.ColorDialog_CustomColors");
    m_registry->write(key, QStringLiteral("Item40"), QStringLiteral("left over"));
    auto s = store(&module, Section::DataModule);
    s->save();
    const QString group = kGroup + QStringLiteral("/DataModule.ColorDialog_CustomColors");
    QCOMPARE(onDisk(group, QStringLiteral("Count")), QStringLiteral("16"));
    QCOMPARE(onDisk(group, QStringLiteral("Item0")), QStringLiteral("ColorA=FFFFFFFF"));
    QCOMPARE(onDisk(group, QStringLiteral("Item6")), QStringLiteral("ColorG=808000"));
    QCOMPARE(onDisk(group, QStringLiteral("Item7")), QStringLiteral("ColorH=AF6E3A"));
    QCOMPARE(onDisk(group, QStringLiteral("Item15")), QStringLiteral("ColorP=C8D0D4"));
    QCOMPARE(onDisk(group, QStringLiteral("Item40")), QStringLiteral("<absent>"));
    QCOMPARE(onDisk(kGroup + QStringLiteral("/DataModule"), QStringLiteral("FirstTime")),
             QStringLiteral("True"));

    dialog->setCustomColors({QStringLiteral("ColorA=FF")});
    QVERIFY(s->restore());
    QCOMPARE(dialog->customColors(), defaultCustomColors());
    // An empty list leaves the key empty.
    dialog->setCustomColors({});
    s->save();
    QCOMPARE(m_registry->valueNames(key), QStringList());
}

void tst_RegistryRXL::mruKey()
{
    const QString key = kRoot + QStringLiteral("\\MRUFileList");
    for (int i = 0; i < 5; ++i)
        m_registry->write(key, QStringLiteral("F%1").arg(i), QStringLiteral("/old/%1.cds").arg(i));
    m_registry->write(key, QStringLiteral("Other"), QStringLiteral("x"));
    writeMruList(*m_registry, kRoot,
                 {QStringLiteral("/notes/b.cds"), QStringLiteral("/notes/ä.cds")});
    QCOMPARE(m_registry->valueNames(key), (QStringList{"F0", "F1"}));
    QCOMPARE(onDisk(kGroup + QStringLiteral("/MRUFileList"), QStringLiteral("F1")),
             QStringLiteral("/notes/ä.cds"));
    QCOMPARE(readMruList(*m_registry, kRoot),
             (QStringList{QStringLiteral("/notes/b.cds"), QStringLiteral("/notes/ä.cds")}));
    QStringList seven;
    for (int i = 0; i < 7; ++i)
        seven << QStringLiteral("/n/%1").arg(i);
    writeMruList(*m_registry, kRoot, seven);
    QCOMPARE(readMruList(*m_registry, kRoot), seven.mid(0, kMruMaxCount));
}

void tst_RegistryRXL::colorsKey()
{
    QCOMPARE(readColorButtonColors(*m_registry, kRoot), defaultColorButtonColors());
    QList<ColorValue> colors = defaultColorButtonColors();
    colors[1] = ColorValue::fromRgb(0x12, 0x34, 0x56);
    writeColorButtonColors(*m_registry, kRoot, colors);
    QCOMPARE(
        onDisk(kGroup + QStringLiteral("/Colors"), QStringLiteral("frmOptions.dfsColorButton1"))
            .left(20),
        QStringLiteral("$00AF6E3A,$00563412,"));
    QCOMPARE(readColorButtonColors(*m_registry, kRoot), colors);
}

QTEST_MAIN(tst_RegistryRXL)
#include "tst_registry_rxl.moc"
