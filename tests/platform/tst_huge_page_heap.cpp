// The restart that gives the heap huge pages: it happens once, only where the
// kernel gives them on request, and the restarted program sees (and passes on
// to the programs it starts) the environment the user gave it.

#include "platform/huge_page_heap.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <cstdio>

namespace {

// Child mode: restart if needed, then print the environment this process was
// started with (the restarted one's) and the one it has now.
int child(char **argv)
{
    bw::platform::restartWithHugePageHeap(argv);
    QFile environ("/proc/self/environ");
    // (glibc may cut GLIBC_TUNABLES there as it parses it, at the first ':'.)
    QByteArray startTunables = "-";
    bool restarted = false;
    if (environ.open(QIODevice::ReadOnly))
        for (const QByteArray &entry : environ.readAll().split('\0')) {
            if (entry.startsWith("GLIBC_TUNABLES="))
                startTunables = entry.mid(15);
            restarted = restarted || entry == "BW_HUGE_PAGES=restarted";
        }
    auto now = [](const char *name) {
        const char *value = std::getenv(name);
        return value ? value : "-";
    };
    QFile comm("/proc/self/comm");
    const QByteArray name =
        comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
    std::printf("%s|%d|%s|%s|%s|%s\n", name.constData(), restarted, startTunables.constData(),
                now("GLIBC_TUNABLES"), now("BW_HUGE_PAGES"), now("BW_SAVED_GLIBC_TUNABLES"));
    return 0;
}

bool kernelGivesOnRequest()
{
    QFile mode("/sys/kernel/mm/transparent_hugepage/enabled");
    return mode.open(QIODevice::ReadOnly) && mode.readAll().contains("[madvise]");
}

} // namespace

class tst_HugePageHeap : public QObject
{
    Q_OBJECT

private slots:
    void restartKeepsUsersEnvironment_data()
    {
        QTest::addColumn<QString>("tunables"); // "-": not set
        QTest::addColumn<QString>("hugePages");
        QTest::addColumn<bool>("restarts");
        QTest::newRow("nothing set") << "-"
                                     << "-" << true;
        QTest::newRow("user's tunables kept") << "glibc.malloc.tcache_count=7"
                                              << "-" << true;
        QTest::newRow("turned off") << "-"
                                    << "0" << false;
        QTest::newRow("user chose already") << "glibc.malloc.hugetlb=0"
                                            << "-" << false;
    }

    void restartKeepsUsersEnvironment()
    {
        QFETCH(QString, tunables);
        QFETCH(QString, hugePages);
        QFETCH(bool, restarts);
        restarts = restarts && kernelGivesOnRequest();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("GLIBC_TUNABLES");
        environment.remove("BW_HUGE_PAGES");
        environment.remove("BW_SAVED_GLIBC_TUNABLES");
        if (tunables != "-")
            environment.insert("GLIBC_TUNABLES", tunables);
        if (hugePages != "-")
            environment.insert("BW_HUGE_PAGES", hugePages);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationFilePath(), {"--child"});
        QVERIFY(process.waitForFinished(30000));
        QStringList seen = QString::fromUtf8(process.readAllStandardOutput()).trimmed().split('|');
        QCOMPARE(seen.size(), 6);
        // The process keeps its name (ps and top show it), restarted or not.
        QCOMPARE(seen.takeFirst(), QStringLiteral("tst_huge_page_heap").left(15));
        QCOMPARE(seen[0], restarts ? QStringLiteral("1") : QStringLiteral("0"));
        if (restarts && tunables == "-")
            QCOMPARE(seen[1], QStringLiteral("glibc.malloc.hugetlb=1"));
        else
            QVERIFY2(seen[1].startsWith(tunables), qPrintable(seen[1]));
        QCOMPARE(seen[2], tunables);
        QCOMPARE(seen[3], hugePages);
        QCOMPARE(seen[4], QStringLiteral("-"));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return child(argv);
    QCoreApplication app(argc, argv);
    tst_HugePageHeap test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_huge_page_heap.moc"
