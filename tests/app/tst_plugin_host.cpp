// The plug-in host against real shared libraries built for these tests: the
// scan order, menu items with their tags and images, clicks, the copied
// texts, broken libraries skipped with the rest kept aligned, unloading, and
// the frame's Plug-ins submenu with the sample plug-ins.

#include "app/data_module.h"
#include "app/plugin_host.h"
#include "main_window_fixture.h"

#include <QAction>
#include <QFile>
#include <QLibrary>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

using namespace bw;

namespace {

const QString kPluginDir = QStringLiteral(BW_TEST_PLUGIN_DIR);

// Target name -> built plug-in name, or "" for a text file; a cut copy keeps
// only the first 2 KB of the library: its ELF and program headers, without
// the segments they point to.
struct PluginFile
{
    QString name;
    QString source;
    bool cut = false;
};
constexpr qint64 kCutSize = 2048;
using Files = QList<PluginFile>;

// A folder holding copies of test plug-ins under the given names.
class PluginFolder
{
public:
    explicit PluginFolder(const Files &files)
    {
        for (const auto &[name, source, cut] : files) {
            const QString target = m_dir.filePath(name);
            if (source.isEmpty()) {
                QFile text(target);
                if (text.open(QIODevice::WriteOnly))
                    text.write("not a library\n");
            } else {
                QFile::copy(kPluginDir + '/' + source + ".plg", target);
            }
            if (cut)
                QFile::resize(target, kCutSize);
        }
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Calls a Test* export of a loaded plug-in file.
template <typename Result> Result callTest(const QString &file, const char *name)
{
    QLibrary library(file);
    if (!library.load())
        return Result();
    auto proc = reinterpret_cast<Result (*)()>(library.resolve(name));
    return proc ? proc() : Result();
}

QMenu *emptyPluginsMenu(QObject *owner)
{
    auto *menu = new QMenu;
    QObject::connect(owner, &QObject::destroyed, menu, &QObject::deleteLater);
    QAction *empty = menu->addAction(QStringLiteral("   ( Empty )   "));
    empty->setEnabled(false);
    return menu;
}

PluginHost::Connect directConnect()
{
    return [](QAction *item, std::function<void()> click) {
        QObject::connect(item, &QAction::triggered, item, [click] { click(); });
    };
}

} // namespace

class tst_PluginHost : public QObject, public test::MainWindowFixture
{
    Q_OBJECT

private slots:
    void noPluginKeepsTheEmptyItem();
    void pluginsListedInScanOrderWithTheirImages();
    void pickingAnItemCallsOnlyThatPlugin();
    void textsAreCopiedAtOnce();
    void brokenFilesAreSkippedAndTheRestStayAligned();
    void unloadFreesTheLibraries();
    void frameListsTheSamplePluginsAndRunsThem();
};

void tst_PluginHost::noPluginKeepsTheEmptyItem()
{
    PluginFolder folder(Files{});
    PluginHost host([](const QString &) {});
    host.loadPlugins({folder.path()});
    QVERIFY(!host.pluginList().has_value());
    QObject owner;
    QMenu *menu = emptyPluginsMenu(&owner);
    host.buildPluginMenu(menu, directConnect());
    ImageList images(QStringLiteral("imlPlugins"), QSize(16, 16));
    host.loadPluginImages(images);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("   ( Empty )   "));
    QVERIFY(!menu->actions().first()->isEnabled());
    QCOMPARE(images.count(), 0);
}

void tst_PluginHost::pluginsListedInScanOrderWithTheirImages()
{
    // Given b.plg (Beta) and a.plg (Alpha), the scan takes them by name.
    PluginFolder folder(Files{{"b.plg", "tp_beta"}, {"a.plg", "tp_alpha"}, {"c.txt", "tp_beta"}});
    PluginHost host([](const QString &) {});
    host.loadPlugins({folder.path()});
    QVERIFY(host.pluginList().has_value());
    const QList<PluginEntry> &list = *host.pluginList();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0].MenuCaption, QStringLiteral("&Alpha"));
    QCOMPARE(list[0].Signature, QStringLiteral("alpha"));
    QCOMPARE(list[1].MenuCaption, QStringLiteral("Beta"));

    QObject owner;
    QMenu *menu = emptyPluginsMenu(&owner);
    host.buildPluginMenu(menu, directConnect());
    ImageList images(QStringLiteral("imlPlugins"), QSize(16, 16));
    host.loadPluginImages(images);
    const QList<QAction *> items = menu->actions();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0]->text(), QStringLiteral("&Alpha"));
    QCOMPARE(QKeySequence::mnemonic(items[0]->text()), QKeySequence(Qt::ALT | Qt::Key_A));
    QCOMPARE(items[1]->data().toInt(), 1);
    QVERIFY(items[1]->isEnabled());
    QCOMPARE(images.count(), 2);
    // Magenta is transparent; the drawing keeps its colours.
    const QImage alpha = list[0].Image;
    QCOMPARE(alpha.size(), QSize(16, 16));
    QCOMPARE(qAlpha(alpha.pixel(0, 0)), 0);
    QCOMPARE(alpha.pixel(7, 5), qRgb(0xf2, 0xc2, 0x30));
    QCOMPARE(list[1].Image.pixel(7, 12), qRgb(0xff, 0xff, 0xff));
    QVERIFY(!items[0]->icon().isNull());
    QCOMPARE(items[1]->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
             list[1].Image);
}

void tst_PluginHost::pickingAnItemCallsOnlyThatPlugin()
{
    PluginFolder folder(Files{{"a.plg", "tp_alpha"}, {"b.plg", "tp_beta"}});
    PluginHost host([](const QString &) {});
    host.loadPlugins({folder.path()});
    QObject owner;
    QMenu *menu = emptyPluginsMenu(&owner);
    host.buildPluginMenu(menu, directConnect());
    menu->actions().at(1)->trigger();
    menu->actions().at(1)->trigger();
    QCOMPARE(callTest<int>(folder.file("a.plg"), "TestClickCount"), 0);
    QCOMPARE(callTest<int>(folder.file("b.plg"), "TestClickCount"), 2);
    // Each plug-in was given the program's own handle.
    QCOMPARE(callTest<void *>(folder.file("a.plg"), "TestInstance"), dlopen(nullptr, RTLD_LAZY));
}

void tst_PluginHost::textsAreCopiedAtOnce()
{
    PluginFolder folder(Files{{"a.plg", "tp_alpha"}});
    PluginHost host([](const QString &) {});
    host.loadPlugins({folder.path()});
    callTest<int>(folder.file("a.plg"), "TestScribble");
    QCOMPARE(host.pluginList()->at(0).MenuCaption, QStringLiteral("&Alpha"));
    QCOMPARE(host.pluginList()->at(0).Signature, QStringLiteral("alpha"));
}

void tst_PluginHost::brokenFilesAreSkippedAndTheRestStayAligned()
{
    // Given broken files between two good plug-ins, the good ones keep
    // items 0 and 1 with their own images, and each broken file is logged;
    // a library cut short (e2) is refused before it is mapped, not loaded
    // into a SIGBUS.
    PluginFolder folder(Files{{"a.plg", "tp_alpha"},
                              {"b.plg", ""},
                              {"c.plg", "tp_no_click"},
                              {"d.plg", "tp_no_bitmap"},
                              {"e.plg", "tp_bad_bitmap"},
                              {"e2.plg", "tp_beta", true},
                              {"f.plg", "tp_beta"}});
    QStringList log;
    PluginHost host([&log](const QString &line) { log << line; });
    host.loadPlugins({folder.path()});
    QCOMPARE(host.pluginList()->size(), 2);
    QCOMPARE(log.size(), 5);
    QVERIFY(log[0].contains(folder.file("b.plg")));
    QVERIFY(log[1].contains(folder.file("c.plg")) && log[1].contains("SetPluginOnClick"));
    QVERIFY(log[2].contains(folder.file("d.plg")) && log[2].contains("MAINBITMAP"));
    QVERIFY(log[3].contains(folder.file("e.plg")) && log[3].contains("not a BMP"));
    QVERIFY2(log[4].contains(folder.file("e2.plg")) && log[4].contains("cut short"),
             qPrintable(log[4]));

    QObject owner;
    QMenu *menu = emptyPluginsMenu(&owner);
    host.buildPluginMenu(menu, directConnect());
    ImageList images(QStringLiteral("imlPlugins"), QSize(16, 16));
    host.loadPluginImages(images);
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Beta"));
    QCOMPARE(images.count(), 2);
    QCOMPARE(images.pixmap(1).toImage().convertToFormat(QImage::Format_ARGB32),
             host.pluginList()->at(1).Image);
    menu->actions().at(1)->trigger();
    QCOMPARE(callTest<int>(folder.file("f.plg"), "TestClickCount"), 1);
}

void tst_PluginHost::unloadFreesTheLibraries()
{
    PluginFolder folder(Files{{"a.plg", "tp_alpha"}});
    const QByteArray file = QFile::encodeName(folder.file("a.plg"));
    PluginHost host([](const QString &) {});
    host.loadPlugins({folder.path()});
    void *loaded = dlopen(file.constData(), RTLD_LAZY | RTLD_NOLOAD);
    QVERIFY(loaded);
    dlclose(loaded); // the look's own reference
    host.unloadPlugins();
    QVERIFY(!host.pluginList().has_value());
    QCOMPARE(dlopen(file.constData(), RTLD_LAZY | RTLD_NOLOAD), nullptr);
    host.pluginClick(0); // nothing left to call
}

void tst_PluginHost::frameListsTheSamplePluginsAndRunsThem()
{
    // The tests run from the program's own build folder, beside the samples.
    QTemporaryDir home;
    const QString journal = home.filePath(QStringLiteral("journal.txt"));
    qputenv("BW_JOURNAL_FILE", QFile::encodeName(journal));
    buildMainWindow(nullptr);
    if (QTest::currentTestFailed())
        return;
    auto *menu = m_main->findChild<QMenu *>(QStringLiteral("miToolsPlugins"));
    QVERIFY(menu);
    QVERIFY(menu->menuAction()->isEnabled());
    QStringList captions;
    for (QAction *item : menu->actions())
        captions << item->text();
    QCOMPARE(captions, QStringList({"&Hello, World!", "Write to &Journal"}));
    QCOMPARE(m_dataModule->imlPlugins().count(), 2);
    QVERIFY(!menu->actions().at(1)->icon().isNull());
    menu->actions().at(1)->trigger();
    menu->actions().at(1)->trigger();
    QFile written(journal);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().count("Bramblewick was here."), 2);
    destroyMainWindow();
    qunsetenv("BW_JOURNAL_FILE");
}

QTEST_MAIN(tst_PluginHost)
#include "tst_plugin_host.moc"
