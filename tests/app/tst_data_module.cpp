// The data module: version information, settings root and version, its
// settings section, the shared dialogs and the image lists.

#include "app/data_module.h"
#include "app/version_info.h"
#include "scripted_prompt_service.h"
#include "settings/encodings.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace bw;
using bw::test::ScriptedPromptService;

namespace {

const QString kGroup = QStringLiteral("Software/ORV/Bramblewick 2000/4.0.4.0");

VersionResource resourceWithVersion(const QString &fileVersion)
{
    VersionResource r = programVersionResource();
    for (auto &table : r.stringTables)
        table.insert(QStringLiteral("FileVersion"), fileVersion);
    return r;
}

} // namespace

class tst_DataModule : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void programVersion();
    void versionDerivation_data();
    void versionDerivation();
    void versionResourceRules();
    void firstStartWritesDefaults();
    void restoresStoredSection();
    void newVersionStartsFresh();
    void openDialog();
    void saveDialog();
    void colorDialogKeepsCustomColors();
    void fontApply();
    void imageLists();

private:
    std::unique_ptr<DataModule> create(const VersionResource &r = programVersionResource());
    QString onDisk(const QString &path, const QString &name);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings::Registry> m_registry;
    ScriptedPromptService m_prompts;
};

void tst_DataModule::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_registry =
        std::make_unique<settings::Registry>(m_dir->filePath(QStringLiteral("registry.ini")));
    m_prompts.clear();
}

void tst_DataModule::cleanup()
{
    m_prompts.verifyAllAnswersUsed();
    m_registry.reset();
    m_dir.reset();
}

std::unique_ptr<DataModule> tst_DataModule::create(const VersionResource &r)
{
    return std::make_unique<DataModule>(m_prompts, m_registry.get(), r);
}

QString tst_DataModule::onDisk(const QString &path, const QString &name)
{
    QSettings file(m_registry->fileName(), QSettings::IniFormat);
    const QVariant v = file.value(path + QLatin1Char('/') + name);
    return v.isValid() ? v.toString() : QStringLiteral("<absent>");
}

void tst_DataModule::programVersion()
{
    auto dm = create();
    QCOMPARE(dm->companyName(), QStringLiteral("ORV"));
    QCOMPARE(dm->productName(), QStringLiteral("Bramblewick 2000"));
    QCOMPARE(dm->fileVersion(), QStringLiteral("4.0.4.0"));
    QVERIFY(dm->legalCopyright().contains(QStringLiteral("ORV")));
    QCOMPARE(dm->registryRoot(), QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0"));
    QCOMPARE(dm->storageVersion(), 4040);
    const VersionResource r = programVersionResource();
    QCOMPARE(r.stringTables.keys(), QStringList{QStringLiteral("040904E4")});
}

void tst_DataModule::versionDerivation_data()
{
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("root");
    QTest::addColumn<int>("storageVersion");
    const QString base = QStringLiteral("Software\\ORV\\Bramblewick 2000\\");
    QTest::newRow("4.0.4.0") << "4.0.4.0" << base + "4.0.4.0" << 4040;
    QTest::newRow("4.0.5.0") << "4.0.5.0" << base + "4.0.5.0" << 4050;
    QTest::newRow("9.9.9.9") << "9.9.9.9" << base + "9.9.9.9" << 9999;
    QTest::newRow("4.10.2.0") << "4.10.2.0" << base + "4.10.2.0" << 4100200;
    QTest::newRow("4.1.0.20") << "4.1.0.20" << base + "4.1.0.20" << 4010020;
    QTest::newRow("4.0.10.0") << "4.0.10.0" << base + "4.0.10.0" << 4001000;
    QTest::newRow("12.0.0.1") << "12.0.0.1" << base + "12.0.0.1" << 12000001;
    QTest::newRow("three parts") << "4.1.2" << base + "4.1.2" << 4010200;
}

void tst_DataModule::versionDerivation()
{
    QFETCH(QString, fileVersion);
    QFETCH(QString, root);
    QFETCH(int, storageVersion);
    const VersionFields f = readVersionFields(resourceWithVersion(fileVersion));
    QCOMPARE(f.registryRoot, root);
    QCOMPARE(f.storageVersion, storageVersion);
    QCOMPARE(storageVersionOf(fileVersion), storageVersion);
}

void tst_DataModule::versionResourceRules()
{
    // An empty fileVersion string is formed from the fixed numeric version.
    VersionResource r = resourceWithVersion(QString());
    r.fileVersionMS = (4u << 16) | 1u;
    r.fileVersionLS = (2u << 16) | 3u;
    QCOMPARE(readVersionFields(r).fileVersion, QStringLiteral("4.1.2.3"));
    QCOMPARE(readVersionFields(r).storageVersion, 4123);
    // The string table named by the first translation is the one read.
    VersionResource german = programVersionResource();
    german.translations = {{0x0407, 0x04B0}};
    german.stringTables.insert(QStringLiteral("040704B0"),
                               {{QStringLiteral("CompanyName"), QStringLiteral("ORV GmbH")},
                                {QStringLiteral("ProductName"), QStringLiteral("Brombeere")},
                                {QStringLiteral("FileVersion"), QStringLiteral("5.0.0.0")}});
    const VersionFields g = readVersionFields(german);
    QCOMPARE(g.registryRoot, QStringLiteral("Software\\ORV GmbH\\Brombeere\\5.0.0.0"));
    QCOMPARE(g.legalCopyright, QString());
    // No resource: empty strings; the root still has its four levels.
    const VersionFields none = readVersionFields(VersionResource{});
    QCOMPARE(none.productName, QString());
    QCOMPARE(none.registryRoot, QStringLiteral("Software\\Unknown\\Unknown\\Unknown"));
    QCOMPARE(none.storageVersion, 0);
}

// Given a new settings root, when the main window's first show clears
// FirstTime and saves, then the section holds every default.
void tst_DataModule::firstStartWritesDefaults()
{
    auto dm = create();
    QVERIFY(dm->firstTime());
    dm->setFirstTime(false);
    dm->settingsStore().save();
    const QString group = kGroup + QStringLiteral("/DataModule");
    QCOMPARE(onDisk(group, QStringLiteral("FormVersion")), QStringLiteral("4040"));
    QCOMPARE(onDisk(group, QStringLiteral("FirstTime")), QStringLiteral("False"));
    QCOMPARE(onDisk(group, QStringLiteral("ColorDialog_Color")), QStringLiteral("13160660"));
    for (const char *name : {"OpenDialog_InitialDir", "SaveDialog_InitialDir",
                             "OpenPictureDialog1_InitialDir", "SavePictureDialog1_InitialDir"})
        QCOMPARE(onDisk(group, QLatin1String(name)), QString());
    const QString colors = kGroup + QStringLiteral("/DataModule.ColorDialog_CustomColors");
    QCOMPARE(onDisk(colors, QStringLiteral("Count")), QStringLiteral("16"));
    QCOMPARE(onDisk(colors, QStringLiteral("Item0")), QStringLiteral("ColorA=FFFFFFFF"));
    QCOMPARE(onDisk(colors, QStringLiteral("Item15")), QStringLiteral("ColorP=C8D0D4"));
    // The next start is not a first start.
    dm.reset();
    QVERIFY(!create()->firstTime());
}

void tst_DataModule::restoresStoredSection()
{
    {
        auto dm = create();
        dm->openDialog()->setInitialDir(QStringLiteral("/home/user/Notizen"));
        dm->colorDialog()->setColorValue(255);
        dm->setFirstTime(false);
    } // destruction saves
    auto dm = create();
    QCOMPARE(dm->openDialog()->initialDir(), QStringLiteral("/home/user/Notizen"));
    QCOMPARE(dm->saveDialog()->initialDir(), QString());
    QCOMPARE(dm->colorDialog()->colorValue(), 255);
    QVERIFY(!dm->firstTime());
}

void tst_DataModule::newVersionStartsFresh()
{
    {
        auto dm = create();
        dm->openDialog()->setInitialDir(QStringLiteral("/old"));
        dm->setFirstTime(false);
    }
    auto next = create(resourceWithVersion(QStringLiteral("4.0.5.0")));
    QCOMPARE(next->registryRoot(), QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.5.0"));
    QCOMPARE(next->storageVersion(), 4050);
    QVERIFY(next->firstTime());
    QCOMPARE(next->openDialog()->initialDir(), QString());
    next.reset();
    // A section of an older version below the same root is ignored.
    m_registry->write(QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.5.0\\DataModule"),
                      QStringLiteral("FormVersion"), QStringLiteral("4040"));
    m_registry->write(QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.5.0\\DataModule"),
                      QStringLiteral("FirstTime"), QStringLiteral("False"));
    QVERIFY(create(resourceWithVersion(QStringLiteral("4.0.5.0")))->firstTime());
}

void tst_DataModule::openDialog()
{
    auto dm = create();
    const QString existing = m_dir->filePath(QStringLiteral("Notizen ä.cds"));
    QFile f(existing);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    FileDialog *open = dm->openDialog();
    open->setFilter(QStringLiteral("Notes (*.cds)|*.cds|All Files (*.*)|*.*"));
    open->setInitialDir(QStringLiteral("/start"));
    // A missing file is refused with the system dialog's message and asked again.
    m_prompts.answerFile(m_dir->filePath(QStringLiteral("missing.cds")));
    m_prompts.answerMessage(PromptService::Ok);
    m_prompts.answerFile(existing, 2);
    QVERIFY(open->execute());
    QCOMPARE(m_prompts.count(QStringLiteral("open")), 2);
    const auto &request = m_prompts.asked.first().file;
    QVERIFY(request.mustExist);
    QCOMPARE(request.initialDir, QStringLiteral("/start"));
    QCOMPARE(request.filter, QStringLiteral("Notes (*.cds)|*.cds|All Files (*.*)|*.*"));
    QCOMPARE(m_prompts.messages(),
             QStringList{m_dir->filePath(QStringLiteral("missing.cds")) +
                         QStringLiteral("\nFile not found.\nCheck the file name and try again.")});
    QCOMPARE(open->fileName(), existing);
    QCOMPARE(open->filterIndex(), 2);
    QCOMPARE(open->initialDir(), m_dir->path());
    // Cancel keeps everything.
    m_prompts.cancelFile();
    QVERIFY(!open->execute());
    QCOMPARE(open->fileName(), existing);
}

void tst_DataModule::saveDialog()
{
    auto dm = create();
    FileDialog *save = dm->saveDialog();
    const QString badFolder = m_dir->filePath(QStringLiteral("no such folder/a.cds"));
    m_prompts.answerFile(badFolder);
    m_prompts.answerMessage(PromptService::Ok);
    m_prompts.answerFile(m_dir->filePath(QStringLiteral("new.cds")));
    QVERIFY(save->execute());
    QVERIFY(m_prompts.asked.first().file.promptOverwrite);
    QVERIFY(!m_prompts.asked.first().file.mustExist);
    QCOMPARE(m_prompts.messages(),
             QStringList{badFolder +
                         QStringLiteral("\nPath does not exist.\nCheck the path and try again.")});
    QCOMPARE(save->fileName(), m_dir->filePath(QStringLiteral("new.cds")));
    QCOMPARE(dm->savePictureDialog()->mode(), FileDialog::Mode::Save);
    QCOMPARE(dm->openPictureDialog()->mode(), FileDialog::Mode::Open);
    QVERIFY(dm->openPictureDialog()->filter().contains(QStringLiteral("*.jpg")));
}

void tst_DataModule::colorDialogKeepsCustomColors()
{
    auto dm = create();
    m_prompts.colorAnswers.enqueue(QColor(0x11, 0x22, 0x33));
    QVERIFY(dm->colorDialog()->execute());
    QCOMPARE(dm->colorDialog()->color(), ColorValue::fromRgb(0x11, 0x22, 0x33));
    QCOMPARE(dm->colorDialog()->customColors().size(), 16);
    QCOMPARE(dm->colorDialog()->customColors()[7], QStringLiteral("ColorH=AF6E3A"));
}

void tst_DataModule::fontApply()
{
    auto dm = create();
    QSignalSpy beeped(dm.get(), &DataModule::beeped);
    const PromptService::FontAnswer font{QFont(QStringLiteral("DejaVu Serif"), 14), Qt::red};
    // No document window, or its editor without the focus: only a beep.
    dm->fontDialogApply(font);
    QCOMPARE(beeped.size(), 1);
    bool editorFocused = false;
    QList<QString> applied;
    dm->setFontApplyHandler([&](const PromptService::FontAnswer &f) {
        if (editorFocused)
            applied << f.font.family();
        return editorFocused;
    });
    dm->fontDialogApply(font);
    QCOMPARE(beeped.size(), 2);
    editorFocused = true;
    dm->fontDialogApply(font);
    QCOMPARE(beeped.size(), 2);
    QCOMPARE(applied, QList<QString>{QStringLiteral("DejaVu Serif")});
    m_prompts.fontAnswers.enqueue(font);
    QCOMPARE(dm->fontDialogExecute(nullptr, font)->font.pointSize(), 14);
    QCOMPARE(m_prompts.count(QStringLiteral("font")), 1);
}

void tst_DataModule::imageLists()
{
    auto dm = create();
    // Every image index of the command catalogue has an icon.
    QCOMPARE(dm->imlCommon().count(), 130);
    QCOMPARE(dm->imlCommonDis().count(), dm->imlCommon().count());
    for (int i = 0; i < dm->imlCommon().count(); ++i) {
        QVERIFY2(!dm->imlCommon().pixmap(i).isNull(), qPrintable(QString::number(i)));
        QVERIFY(!dm->imlCommonDis().pixmap(i).isNull());
    }
    QVERIFY(dm->imlCommon().icon(130).isNull());
    // The theme is used where it has the name: "New File" is the theme's document-new.
    QCOMPARE(QIcon::themeName(), QStringLiteral("breeze"));
    QCOMPARE(dm->imlCommon().icon(1).name(), QStringLiteral("document-new"));
    QCOMPARE(dm->imlTreeView().count(), 12);
    QCOMPARE(dm->imlOptionsTreeView16().count(), 8);
    QCOMPARE(dm->imlOptionsTreeView32().count(), 8);
    QCOMPARE(dm->imlOptionsTreeView32().size(), QSize(32, 32));
    QCOMPARE(dm->imlOptionsTreeView32().pixmap(0).size(), QSize(32, 32));
    QCOMPARE(dm->imlStatusBar().size(), QSize(14, 14));
    QCOMPARE(dm->imlStatusBar().count(), 9);
    QCOMPARE(dm->imlSearch().count(), 23);
    QCOMPARE(dm->imlGridHeaderSort().count(), 2);
    QCOMPARE(dm->imlColors().count(), 17);
    QCOMPARE(dm->imlColors().pixmap(9).toImage().pixelColor(8, 8), QColor(255, 0, 0));
    QCOMPARE(dm->imlPlugins().count(), 0);
    QCOMPARE(dm->imlPlugins().add(QIcon(dm->imlCommon().pixmap(1))), 0);
}

QTEST_MAIN(tst_DataModule)
#include "tst_data_module.moc"
