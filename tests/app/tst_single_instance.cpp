// One copy per user: real bramblewick processes against the lock file.
#include "platform/single_instance.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <vector>

using bw::SingleInstanceLock;

namespace {
const QString kLockName = QStringLiteral("BramblewickOneCopyMutex");
constexpr int kQuickExitMs = 10000;
} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondCopyEndsAtOnce_data();
    void secondCopyEndsAtOnce();
    void secondCopyEndsWhileFirstCopyIsInLogon();
    void lockOfKilledCopyDoesNotBlock();

private:
    QProcess *startCopy(const QStringList &args = {});
    bool waitUntilLockHeld(const QProcess &copy, int timeoutMs = 20000);
    void verifyEndedSilently(QProcess &copy);

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QTemporaryDir> m_config;
    std::vector<std::unique_ptr<QProcess>> m_running;
};

void tst_SingleInstance::init()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("BW_BINARY_DIR"), "BW_BINARY_DIR is not set");
    if (!QFile::exists(QStringLiteral("/proc/locks")))
        QSKIP("needs /proc/locks to see which process holds the lock");
    m_runtime = std::make_unique<QTemporaryDir>();
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid() && m_config->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
}

void tst_SingleInstance::cleanup()
{
    for (const auto &p : m_running) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    m_running.clear();
}

// Copies are owned by the fixture, which kills any still running.
QProcess *tst_SingleInstance::startCopy(const QStringList &args)
{
    m_running.push_back(std::make_unique<QProcess>());
    QProcess *copy = m_running.back().get();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config->path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    copy->setProcessEnvironment(env);
    copy->setProgram(qEnvironmentVariable("BW_BINARY_DIR") + QStringLiteral("/bramblewick"));
    copy->setArguments(args);
    copy->start();
    return copy;
}

// Whether process pid holds a flock() on the lock file, read from
// /proc/locks so that looking never takes the lock away from a starting copy.
static bool holdsLock(qint64 pid, const QString &lockFile)
{
    struct stat st;
    if (::stat(QFile::encodeName(lockFile).constData(), &st) != 0)
        return false;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    const QString inode = QString::number(st.st_ino);
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        // "1: FLOCK ADVISORY WRITE <pid> <major>:<minor>:<inode> 0 EOF"
        if (f.size() >= 6 && f[1] == "FLOCK" && f[4].toLongLong() == pid &&
            QString::fromLatin1(f[5]).section(QLatin1Char(':'), 2) == inode)
            return true;
    }
    return false;
}

bool tst_SingleInstance::waitUntilLockHeld(const QProcess &copy, int timeoutMs)
{
    const QString lockFile = SingleInstanceLock::lockFilePath(kLockName);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs && copy.state() != QProcess::NotRunning) {
        if (holdsLock(copy.processId(), lockFile))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void tst_SingleInstance::verifyEndedSilently(QProcess &copy)
{
    QVERIFY2(copy.waitForFinished(kQuickExitMs), "the second copy did not end at once");
    QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
    QCOMPARE(copy.exitCode(), 0);
    // It ends before the application object exists: no window, no message.
    QCOMPARE(copy.readAllStandardOutput(), QByteArray());
    QCOMPARE(copy.readAllStandardError(), QByteArray());
}

void tst_SingleInstance::secondCopyEndsAtOnce_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no file") << QStringList{};
    QTest::newRow("with a file") << QStringList{QStringLiteral("/tmp/notes.cds")};
}

void tst_SingleInstance::secondCopyEndsAtOnce()
{
    QFETCH(QStringList, args);
    SingleInstanceLock held(kLockName);
    QCOMPARE(held.tryAcquire(), SingleInstanceLock::Result::Acquired);
    auto copy = startCopy(args);
    verifyEndedSilently(*copy);
}

void tst_SingleInstance::secondCopyEndsWhileFirstCopyIsInLogon()
{
    auto first = startCopy();
    QVERIFY(waitUntilLockHeld(*first));
    // The first copy now waits in its logon dialog.
    auto second = startCopy({QStringLiteral("/tmp/other.cds")});
    verifyEndedSilently(*second);
    QCOMPARE(first->state(), QProcess::Running);
}

void tst_SingleInstance::lockOfKilledCopyDoesNotBlock()
{
    auto first = startCopy();
    QVERIFY(waitUntilLockHeld(*first));
    first->kill(); // SIGKILL: no chance to clean up
    QVERIFY(first->waitForFinished(5000));

    auto next = startCopy();
    QVERIFY(waitUntilLockHeld(*next));
    // It starts normally and keeps running (it waits for the logon).
    QVERIFY(!next->waitForFinished(1500));
    QCOMPARE(next->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_single_instance.moc"
