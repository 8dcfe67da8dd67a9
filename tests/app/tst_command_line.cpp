// The command line before any window: --help and --version print and end the
// program with status 0, an unknown option prints the usage on standard error
// with status 2, and a file name (with Qt's own options) starts the program.

#include "app/command_line.h"

#include <QProcess>
#include <QTest>
#include <QTextStream>

#include <optional>

using namespace bw;

Q_DECLARE_METATYPE(std::optional<int>)

namespace {
constexpr int kWaitMs = 30000;
const QString kUsageStart = QStringLiteral("Usage: bramblewick [OPTION]... [FILE]\n");
} // namespace

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void programEndsWithoutWindow_data();
    void programEndsWithoutWindow();
    void fileArgumentsDropOptionsEnd();
};

void tst_CommandLine::answers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::optional<int>>("status");
    QTest::addColumn<QString>("out"); // the start of standard output
    QTest::addColumn<QString>("err"); // the start of standard error
    const std::optional<int> starts;
    const QString version = QStringLiteral("bramblewick (Bramblewick 2000) 4.0.4.0\n");
    const QString unknown = QStringLiteral("bramblewick: unknown option '%1'\n") + kUsageStart;

    QTest::newRow("no arguments") << QStringList{} << starts << QString() << QString();
    QTest::newRow("a file") << QStringList{"notes.cds"} << starts << QString() << QString();
    QTest::newRow("--help") << QStringList{"--help"} << std::optional(0) << kUsageStart
                            << QString();
    QTest::newRow("-h") << QStringList{"-h"} << std::optional(0) << kUsageStart << QString();
    QTest::newRow("--help after a file")
        << QStringList{"notes.cds", "--help"} << std::optional(0) << kUsageStart << QString();
    QTest::newRow("--version") << QStringList{"--version"} << std::optional(0) << version
                               << QString();
    QTest::newRow("unknown long option") << QStringList{"--frobnicate"} << std::optional(2)
                                         << QString() << unknown.arg("--frobnicate");
    QTest::newRow("unknown short option before a file")
        << QStringList{"-x", "notes.cds"} << std::optional(2) << QString() << unknown.arg("-x");
    QTest::newRow("file named like an option after --")
        << QStringList{"--", "--help"} << starts << QString() << QString();
    QTest::newRow("Qt's options with their values")
        << QStringList{"-platform", "offscreen", "-style=Fusion", "--display", ":1", "notes.cds"}
        << starts << QString() << QString();
    QTest::newRow("a lone dash is a file name")
        << QStringList{"-"} << starts << QString() << QString();
}

void tst_CommandLine::answers()
{
    QFETCH(QStringList, arguments);
    QFETCH(std::optional<int>, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QString outText;
    QString errText;
    {
        QTextStream outStream(&outText);
        QTextStream errStream(&errText);
        QCOMPARE(answerCommandLine(arguments, outStream, errStream), status);
    }
    QVERIFY2(outText.startsWith(out) && (out.isEmpty() == outText.isEmpty()), qPrintable(outText));
    QVERIFY2(errText.startsWith(err) && (err.isEmpty() == errText.isEmpty()), qPrintable(errText));
    // The usage names every option.
    if (outText.startsWith(kUsageStart) || errText.contains(kUsageStart)) {
        for (const char *option : {"--help", "--version", "FILE"})
            QVERIFY((outText + errText).contains(QLatin1String(option)));
    }
}

void tst_CommandLine::programEndsWithoutWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("onStdout");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << true;
    QTest::newRow("--version") << QStringList{"--version"} << 0 << true;
    QTest::newRow("unknown option") << QStringList{"--no-such-option"} << 2 << false;
}

void tst_CommandLine::programEndsWithoutWindow()
{
    // Given no display at all, when the program is asked for its usage or
    // version or given an unknown option, then it answers and ends at once.
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(bool, onStdout);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    program.start(qEnvironmentVariable("BW_BINARY_DIR") + QStringLiteral("/bramblewick"),
                  arguments);
    QVERIFY2(program.waitForStarted(kWaitMs), qPrintable(program.errorString()));
    if (!program.waitForFinished(kWaitMs)) {
        program.kill();
        program.waitForFinished();
        QFAIL("the program did not end");
    }
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    const QString &answer = onStdout ? out : err;
    QVERIFY2(!answer.isEmpty(), qPrintable(out + err));
    QVERIFY2((onStdout ? err : out).isEmpty(), qPrintable(out + err));
    if (arguments.first() == QLatin1String("--version"))
        QCOMPARE(answer, QStringLiteral("bramblewick (Bramblewick 2000) 4.0.4.0\n"));
    else
        QVERIFY(answer.contains(kUsageStart));
}

void tst_CommandLine::fileArgumentsDropOptionsEnd()
{
    QCOMPARE(fileArguments({"--", "--help"}), QStringList{"--help"});
    QCOMPARE(fileArguments({"notes.cds"}), QStringList{"notes.cds"});
}

QTEST_MAIN(tst_CommandLine)
#include "tst_command_line.moc"
