// The per-user lock file behind the single-instance test.
#include "platform/single_instance.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

using bw::SingleInstanceLock;

class tst_SingleInstanceLock : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lockFilePath_data();
    void lockFilePath();
    void secondHolderIsRefusedUntilFirstEnds();
    void unusableLockFileIsAFailureNotAnotherCopy_data();
    void unusableLockFileIsAFailureNotAnotherCopy();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedRuntimeDir;
};

void tst_SingleInstanceLock::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_savedRuntimeDir = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->path()));
}

void tst_SingleInstanceLock::cleanup()
{
    qputenv("XDG_RUNTIME_DIR", m_savedRuntimeDir);
}

void tst_SingleInstanceLock::lockFilePath_data()
{
    QTest::addColumn<QString>("runtimeDir");
    QTest::addColumn<QString>("expected");
    QTest::newRow("runtime folder")
        << QStringLiteral("/run/user/77") << QStringLiteral("/run/user/77/BramblewickOneCopyMutex");
    QTest::newRow("no runtime folder")
        << QString() << QStringLiteral("/tmp/BramblewickOneCopyMutex-%1").arg(::getuid());
}

void tst_SingleInstanceLock::lockFilePath()
{
    QFETCH(QString, runtimeDir);
    QFETCH(QString, expected);
    if (runtimeDir.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtimeDir.toUtf8());
    QCOMPARE(SingleInstanceLock::lockFilePath(QStringLiteral("BramblewickOneCopyMutex")), expected);
}

void tst_SingleInstanceLock::secondHolderIsRefusedUntilFirstEnds()
{
    const QString name = QStringLiteral("BramblewickOneCopyMutex");
    auto first = std::make_unique<SingleInstanceLock>(name);
    QCOMPARE(first->tryAcquire(), SingleInstanceLock::Result::Acquired);
    QVERIFY(first->isHeld());
    QCOMPARE(first->path(), m_dir->filePath(name));
    QVERIFY(QFileInfo(first->path()).permissions() & QFileDevice::ReadOwner);
    QVERIFY(!(QFileInfo(first->path()).permissions() & QFileDevice::ReadOther));

    // flock() locks belong to an open file, so a second open in this process
    // stands in for a second copy of the program.
    SingleInstanceLock second(name);
    QCOMPARE(second.tryAcquire(), SingleInstanceLock::Result::HeldElsewhere);
    QVERIFY(!second.isHeld());

    first.reset();
    QCOMPARE(second.tryAcquire(), SingleInstanceLock::Result::Acquired);
}

void tst_SingleInstanceLock::unusableLockFileIsAFailureNotAnotherCopy_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("missing runtime folder") << QStringLiteral("missing");
    QTest::newRow("symbolic link planted") << QStringLiteral("symlink");
}

void tst_SingleInstanceLock::unusableLockFileIsAFailureNotAnotherCopy()
{
    QFETCH(QString, setup);
    const QString name = QStringLiteral("BramblewickOneCopyMutex");
    if (setup == QLatin1String("missing")) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->filePath(QStringLiteral("gone"))));
    } else {
        const QString target = m_dir->filePath(QStringLiteral("victim"));
        QVERIFY(QFile::link(target, m_dir->filePath(name)));
    }
    SingleInstanceLock lock(name);
    // Start-up goes on after a failure; only HeldElsewhere ends the program.
    QCOMPARE(lock.tryAcquire(), SingleInstanceLock::Result::Failed);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("victim"))));
}

QTEST_GUILESS_MAIN(tst_SingleInstanceLock)
#include "tst_single_instance_lock.moc"
