// The recent-files list: its five entries, its Reopen submenu and its storage.
#include "app/mru_file_list.h"
#include "settings/registry.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using bw::MRUFileList;
using bw::settings::Registry;

namespace {
const QString kRoot = QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0");
const QString kKey = kRoot + QStringLiteral("\\MRUFileList");

QStringList captions(const QMenu *menu)
{
    QStringList result;
    for (const QAction *a : menu->actions())
        result << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return result;
}
} // namespace

class tst_MRUFileList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void add_data();
    void add();
    void reopenSubmenuSitsBeforeTheSeparator();
    void createdItemsAreAnnounced();
    void clickHandsOverPathAndKeepsOrder();
    void clearRemovesSubmenu();
    void removeObsoleteDropsMissingFilesOnly();
    void loadsAtRootAndSavesAtDestruction();
    void missingKeyGivesEmptyList();
    void shortenPath_data();
    void shortenPath();

private:
    std::unique_ptr<MRUFileList> makeList();
    QString file(const QString &name);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Registry> m_registry;
    std::unique_ptr<QMenu> m_fileMenu;
    QAction *m_mruSeparator = nullptr;
};

void tst_MRUFileList::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_registry = std::make_unique<Registry>(m_dir->filePath(QStringLiteral("registry.ini")));
    m_fileMenu = std::make_unique<QMenu>(QStringLiteral("&File"));
    m_fileMenu->addAction(QStringLiteral("&New"));
    m_mruSeparator = m_fileMenu->addSeparator();
    m_mruSeparator->setObjectName(QStringLiteral("miFileMRUSeparator"));
    m_fileMenu->addAction(QStringLiteral("E&xit"));
}

void tst_MRUFileList::cleanup()
{
    m_fileMenu.reset();
    m_registry.reset();
    m_dir.reset();
}

std::unique_ptr<MRUFileList> tst_MRUFileList::makeList()
{
    auto list = std::make_unique<MRUFileList>(m_fileMenu.get(), m_mruSeparator, *m_registry);
    list->setRoot(kRoot);
    return list;
}

QString tst_MRUFileList::file(const QString &name)
{
    return m_dir->filePath(name);
}

void tst_MRUFileList::add_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("expected");
    const QStringList five{"/n/1.cds", "/n/2.cds", "/n/3.cds", "/n/4.cds", "/n/5.cds"};
    QTest::newRow("oldest first") << QStringList{"/n/a.cds", "/n/b.cds"}
                                  << QStringList{"/n/a.cds", "/n/b.cds"};
    QTest::newRow("sixth drops the oldest")
        << five + QStringList{"/n/6.cds"}
        << QStringList{"/n/2.cds", "/n/3.cds", "/n/4.cds", "/n/5.cds", "/n/6.cds"};
    QTest::newRow("same path moves to the end")
        << five + QStringList{"/n/2.cds"}
        << QStringList{"/n/1.cds", "/n/3.cds", "/n/4.cds", "/n/5.cds", "/n/2.cds"};
    // No second entry; the spelling just opened is kept.
    QTest::newRow("other letter case moves to the end")
        << QStringList{"/n/Notes.cds", "/n/x.cds", "/N/NOTES.cds"}
        << QStringList{"/n/x.cds", "/N/NOTES.cds"};
    QTest::newRow("full list, duplicate keeps all five")
        << five + QStringList{"/N/1.CDS"}
        << QStringList{"/n/2.cds", "/n/3.cds", "/n/4.cds", "/n/5.cds", "/N/1.CDS"};
    QTest::newRow("empty path ignored") << QStringList{"/n/a.cds", ""} << QStringList{"/n/a.cds"};
}

void tst_MRUFileList::add()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, expected);
    auto list = makeList();
    for (const QString &path : added)
        list->add(path);
    QCOMPARE(list->items(), expected);
    QVERIFY(list->reopenMenu());
    QStringList entries;
    for (qsizetype i = 0; i < expected.size(); ++i)
        entries << QStringLiteral("&%1 %2").arg(i + 1).arg(expected[i]);
    QCOMPARE(captions(list->reopenMenu()),
             (entries + QStringList{"-", "&Clear MRU List", "&Remove Obsolete"}));
}

void tst_MRUFileList::reopenSubmenuSitsBeforeTheSeparator()
{
    auto list = makeList();
    QCOMPARE(captions(m_fileMenu.get()), (QStringList{"&New", "-", "E&xit"}));
    QVERIFY(!list->reopenMenu());

    list->add(QStringLiteral("/n/a&b.cds"));
    QCOMPARE(captions(m_fileMenu.get()), (QStringList{"&New", "-", "&Reopen", "-", "E&xit"}));
    QCOMPARE(m_fileMenu->actions().at(3), m_mruSeparator);
    QCOMPARE(m_fileMenu->actions().at(2)->menu(), list->reopenMenu());
    // An ampersand in a path is shown, not taken as a mnemonic.
    QCOMPARE(list->reopenMenu()->actions().first()->text(), QStringLiteral("&1 /n/a&&b.cds"));
}

void tst_MRUFileList::createdItemsAreAnnounced()
{
    auto list = std::make_unique<MRUFileList>(m_fileMenu.get(), m_mruSeparator, *m_registry);
    QStringList announced;
    connect(list.get(), &MRUFileList::mruFileListCreateMruItem, this,
            [&](QAction *item) { announced << item->text(); });
    list->setRoot(kRoot);
    list->add(QStringLiteral("/n/a.cds"));
    QCOMPARE(announced,
             (QStringList{"&Reopen", "&1 /n/a.cds", "&Clear MRU List", "&Remove Obsolete"}));
}

void tst_MRUFileList::clickHandsOverPathAndKeepsOrder()
{
    auto list = makeList();
    list->add(QStringLiteral("/n/a.cds"));
    list->add(QStringLiteral("/n/b.cds"));
    QSignalSpy clicked(list.get(), &MRUFileList::mruFileListMruItemClick);
    list->reopenMenu()->actions().at(0)->trigger();
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked.first().first().toString(), QStringLiteral("/n/a.cds"));
    QCOMPARE(list->items(), (QStringList{"/n/a.cds", "/n/b.cds"}));
}

void tst_MRUFileList::clearRemovesSubmenu()
{
    auto list = makeList();
    list->add(QStringLiteral("/n/a.cds"));
    QPointer<QMenu> reopen = list->reopenMenu();
    reopen->actions().at(2)->trigger(); // "&Clear MRU List"
    QCoreApplication::processEvents();
    QVERIFY(list->items().isEmpty());
    QVERIFY(!reopen);
    QCOMPARE(captions(m_fileMenu.get()), (QStringList{"&New", "-", "E&xit"}));
}

void tst_MRUFileList::removeObsoleteDropsMissingFilesOnly()
{
    QStringList paths;
    for (const char *name : {"one.cds", "two.cds", "three.cds"}) {
        QFile f(file(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        paths << f.fileName();
    }
    auto list = makeList();
    for (const QString &p : paths)
        list->add(p);
    QVERIFY(QFile::remove(paths[1]));
    list->reopenMenu()->actions().last()->trigger(); // "&Remove Obsolete"
    QCoreApplication::processEvents();
    QCOMPARE(list->items(), (QStringList{paths[0], paths[2]}));
    QCOMPARE(list->reopenMenu()->actions().size(), 2 + 3);
}

void tst_MRUFileList::loadsAtRootAndSavesAtDestruction()
{
    for (int i = 0; i < 5; ++i)
        m_registry->write(kKey, QStringLiteral("F%1").arg(i), QStringLiteral("/old/%1.cds").arg(i));
    {
        auto list = makeList();
        QCOMPARE(list->items().size(), 5);
        QCOMPARE(list->items().first(), QStringLiteral("/old/0.cds"));
        list->clear();
        list->add(QStringLiteral("/n/a.cds"));
        list->add(QStringLiteral("/n/b.cds"));
        // Nothing is written before the list is destroyed.
        QCOMPARE(m_registry->read(kKey, QStringLiteral("F4"), QString()),
                 QStringLiteral("/old/4.cds"));
    }
    Registry reread(m_registry->fileName());
    QCOMPARE(reread.valueNames(kKey), (QStringList{"F0", "F1"}));
    QCOMPARE(reread.read(kKey, QStringLiteral("F0"), QString()), QStringLiteral("/n/a.cds"));
    QCOMPARE(reread.read(kKey, QStringLiteral("F1"), QString()), QStringLiteral("/n/b.cds"));
}

void tst_MRUFileList::missingKeyGivesEmptyList()
{
    auto list = makeList();
    QVERIFY(list->items().isEmpty());
    QVERIFY(!list->reopenMenu());
    QCOMPARE(captions(m_fileMenu.get()), (QStringList{"&New", "-", "E&xit"}));
}

void tst_MRUFileList::shortenPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("short") << "/n/a.cds" << false;
    QTest::newRow("deep") << "/home/somebody/Documents/Notes/Projects/Bramblewick/2003/plan.cds"
                          << true;
    QTest::newRow("long folder names")
        << "/home/a-rather-long-user-name/a-very-long-folder-name-indeed/work.cds" << true;
    QTest::newRow("long file name") << "/home/ann/an-extremely-long-file-name-that-never-fits-"
                                       "into-two-hundred-pixels.cds"
                                    << true;
    QTest::newRow("relative") << "notes/and/more/notes/and/more/notes/and/more/file.cds" << true;
}

// Leading folders give way one by one, the file name stays whole, and no more
// is cut than needed to fit.
void tst_MRUFileList::shortenPath()
{
    QFETCH(QString, path);
    QFETCH(bool, shortened);
    const QFont font = QApplication::font("QMenu");
    const QFontMetrics metrics(font);
    const QString shown = MRUFileList::shortenPath(path, font, 200);
    const QString name = path.section(QLatin1Char('/'), -1);
    QVERIFY(shown.endsWith(name));
    QCOMPARE(shown != path, shortened);
    if (metrics.horizontalAdvance(path) <= 200) {
        QCOMPARE(shown, path);
        return;
    }
    QVERIFY(shown.contains(QStringLiteral("...")));
    const QString kept = shown.section(QStringLiteral("..."), 1);
    QVERIFY(path.endsWith(kept));
    if (metrics.horizontalAdvance(name) + metrics.horizontalAdvance(QStringLiteral("/.../")) <= 200)
        QVERIFY(metrics.horizontalAdvance(shown) <= 200);
    // One more folder would not have fitted.
    const qsizetype keptStart = path.size() - kept.size();
    const qsizetype previous = path.lastIndexOf(QLatin1Char('/'), keptStart - 1);
    if (previous > 0) {
        const QString longer = QStringLiteral("/...") + path.mid(previous);
        QVERIFY(metrics.horizontalAdvance(longer) > 200);
    }
}

QTEST_MAIN(tst_MRUFileList)
#include "tst_mru_file_list.moc"
