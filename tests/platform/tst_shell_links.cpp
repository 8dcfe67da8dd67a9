#include "platform/shell_links.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using bw::ShellFolder;
using bw::ShellLink;

class tst_ShellLinks : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void folders_data();
    void folders();
    void writesAndReplaces_data();
    void writesAndReplaces();
    void quoting_data();
    void quoting();
    void unwritableFolderFails();

private:
    QString readFile(const QString &path) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_ShellLinks::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const QString root = m_dir->path();
    QDir(root).mkpath(QStringLiteral("config"));
    qputenv("HOME", (root + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
    QFile dirs(root + "/config/user-dirs.dirs");
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
}

QString tst_ShellLinks::readFile(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void tst_ShellLinks::folders_data()
{
    QTest::addColumn<ShellFolder>("folder");
    QTest::addColumn<QString>("below");
    QTest::newRow("startup") << ShellFolder::Startup << "/config/autostart";
    QTest::newRow("start menu") << ShellFolder::StartMenu << "/data/applications";
    QTest::newRow("desktop") << ShellFolder::Desktop << "/home/Schreibtisch";
    QTest::newRow("quick launch") << ShellFolder::QuickLaunch << "/data/applications";
}

void tst_ShellLinks::folders()
{
    QFETCH(ShellFolder, folder);
    QFETCH(QString, below);
    QCOMPARE(bw::shellFolderPath(folder), m_dir->path() + below);
}

void tst_ShellLinks::writesAndReplaces_data()
{
    folders_data();
}

void tst_ShellLinks::writesAndReplaces()
{
    QFETCH(ShellFolder, folder);
    QFETCH(QString, below);
    const QString expected = m_dir->path() + below + "/Bramblewick 2000.desktop";
    ShellLink link{"Bramblewick 2000", "/opt/old/bramblewick", "/opt/old", {}};
    QCOMPARE(bw::writeShellLink(folder, link), expected);

    // Given an existing launcher, when written again, then the new one replaces it.
    link.targetPath = "/opt/new/bramblewick";
    link.workingDirectory = "/opt/new";
    QCOMPARE(bw::writeShellLink(folder, link), expected);
    QCOMPARE(QDir(m_dir->path() + below).entryList(QDir::Files),
             QStringList{"Bramblewick 2000.desktop"});
    QSettings entry(expected, QSettings::IniFormat);
    entry.beginGroup("Desktop Entry");
    QCOMPARE(entry.value("Type").toString(), "Application");
    QCOMPARE(entry.value("Name").toString(), "Bramblewick 2000");
    QCOMPARE(entry.value("Exec").toString(), "/opt/new/bramblewick");
    QCOMPARE(entry.value("Path").toString(), "/opt/new");
    QVERIFY(QFileInfo(expected).isExecutable());
    QCOMPARE(readFile(expected).contains("X-GNOME-Autostart-enabled=true"),
             folder == ShellFolder::Startup);
}

void tst_ShellLinks::quoting_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << "/usr/bin/bramblewick"
                           << "/usr/bin/bramblewick";
    QTest::newRow("blank") << "/home/u/My Apps/bw"
                           << "\"/home/u/My Apps/bw\"";
    QTest::newRow("percent") << "/opt/100%/bw"
                             << "/opt/100%%/bw";
    QTest::newRow("dollar and quote") << "/opt/a$b\"c/bw"
                                      << "\"/opt/a\\$b\\\"c/bw\"";
    QTest::newRow("backslash") << "/opt/a\\b"
                               << "\"/opt/a\\\\b\"";
    QTest::newRow("non-ASCII") << "/home/jürgen/bw"
                               << "/home/jürgen/bw";
}

void tst_ShellLinks::quoting()
{
    QFETCH(QString, argument);
    QFETCH(QString, quoted);
    QCOMPARE(bw::quoteExecArgument(argument), quoted);
}

void tst_ShellLinks::unwritableFolderFails()
{
    // Given a file where the autostart folder should be, writing fails quietly.
    QFile blocker(m_dir->path() + "/config/autostart");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(bw::writeShellLink(ShellFolder::Startup, {"Bramblewick 2000", "/bin/bw", "/bin", {}})
                .isEmpty());
}

QTEST_GUILESS_MAIN(tst_ShellLinks)
#include "tst_shell_links.moc"
