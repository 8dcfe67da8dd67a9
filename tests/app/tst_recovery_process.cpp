// Recovery after a crash, with the real program: it runs on a virtual X
// display (Xvfb, openbox), text is typed through the X server's input
// (xdotool), the process is killed with SIGKILL once its recovery copy holds
// the text, and a second start offers the copy; Yes opens it as an untitled
// window, which is saved through the Save dialog to a file that holds the text.

#include "document/recovery_store.h"
#include "notes/notes_strings.h"
#include "notes/notes_table.h"
#include "table/client_dataset.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>
#include <sys/types.h>

using namespace bw;
using namespace bw::notes;

namespace {
const QString kTyped = QStringLiteral("Typed before the crash");
// The program under the sanitizers starts slowly on a busy machine.
constexpr int kWaitMs = 90000;
} // namespace

class tst_RecoveryProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void typedTextSurvivesKill();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QProcessEnvironment environment() const;
    // Runs xdotool with the arguments; its standard output, trimmed.
    QString xdotool(const QStringList &arguments, int timeoutMs = kWaitMs,
                    bool reportErrors = true);
    // The id of the visible window with that title, once it shows.
    QString waitForWindow(const QString &title);
    // Answers the logon (no user name, no password) and closes the tip of
    // the day, as every start asks; false when one did not show.
    bool passStartDialogs();
    // Activates the window with that title and presses the keys.
    bool pressIn(const QString &title, const QString &keys);
    void startProgram(QProcess &program, const QStringList &arguments);
    void typeIntoEditor(const QString &mainWindow, const QString &text);
    bool copyHoldsTyped() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_xvfb;
    QProcess m_windowManager;
    QString m_display;
    QString m_xdotool;
};

void tst_RecoveryProcess::initTestCase()
{
    // CI installs these with the project's dependencies (scripts/install-deps).
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    QVERIFY2(!xvfb.isEmpty() && !openbox.isEmpty() && !m_xdotool.isEmpty(),
             "Xvfb, openbox and xdotool are needed: run scripts/install-deps");
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(path("runtime")));
    QVERIFY(QFile::setPermissions(path("runtime"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // The server picks a free display and writes its number to standard output.
    m_xvfb.start(xvfb,
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    QVERIFY2(m_xvfb.waitForStarted(), qPrintable(m_xvfb.errorString()));
    const QDeadlineTimer deadline(kWaitMs);
    while (!m_xvfb.canReadLine() && !deadline.hasExpired() && m_xvfb.state() == QProcess::Running)
        m_xvfb.waitForReadyRead(100);
    const QByteArray number = m_xvfb.readLine().trimmed();
    QVERIFY2(!number.isEmpty(), "Xvfb did not start");
    m_display = QLatin1Char(':') + QString::fromLatin1(number);
    m_windowManager.setProcessEnvironment(environment());
    m_windowManager.start(openbox, {});
    QVERIFY2(m_windowManager.waitForStarted(), qPrintable(m_windowManager.errorString()));
    // A window mapped while the manager takes over the screen may stay hidden:
    // the program starts once the manager announces its desktops.
    const auto managed = [this] {
        return xdotool({QStringLiteral("get_num_desktops")}, 10000, false).toInt() > 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(managed(), kWaitMs);
}

void tst_RecoveryProcess::cleanupTestCase()
{
    for (QProcess *process : {&m_windowManager, &m_xvfb}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(10000)) {
            process->kill();
            process->waitForFinished(10000);
        }
    }
}

QProcessEnvironment tst_RecoveryProcess::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path("runtime"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
    env.insert(QStringLiteral("XDG_STATE_HOME"), path("state"));
    env.insert(QStringLiteral("BRAMBLEWICK_RECOVERY_INTERVAL_MS"), QStringLiteral("200"));
    return env;
}

QString tst_RecoveryProcess::xdotool(const QStringList &arguments, int timeoutMs, bool reportErrors)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(m_xdotool, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        qWarning() << "xdotool timed out:" << arguments;
        return {};
    }
    const QByteArray errors = process.readAllStandardError();
    if (reportErrors && !errors.isEmpty())
        qWarning() << "xdotool" << arguments << errors;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// Polled: a search walks every window and fails when one goes away meanwhile.
QString tst_RecoveryProcess::waitForWindow(const QString &title)
{
    for (QDeadlineTimer deadline(kWaitMs); !deadline.hasExpired(); QThread::msleep(200)) {
        const QString found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), QLatin1Char('^') + title},
                                      10000, false);
        if (!found.isEmpty())
            return found.section(QLatin1Char('\n'), 0, 0);
    }
    return {};
}

bool tst_RecoveryProcess::pressIn(const QString &title, const QString &keys)
{
    const QString window = waitForWindow(title);
    if (window.isEmpty()) {
        // What the screen shows instead, for the log.
        qWarning() << "no window" << title << "; the windows shown:"
                   << xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                               QStringLiteral("--name"), QStringLiteral("."),
                               QStringLiteral("getwindowname"), QStringLiteral("%@")});
        return false;
    }
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window,
             QStringLiteral("key"), keys});
    return true;
}

bool tst_RecoveryProcess::passStartDialogs()
{
    return pressIn(QStringLiteral("Logon"), QStringLiteral("Return")) &&
           pressIn(QStringLiteral("Tip of the Day"), QStringLiteral("Escape"));
}

void tst_RecoveryProcess::startProgram(QProcess &program, const QStringList &arguments)
{
    const QString binary = qEnvironmentVariable("BW_BINARY_DIR") + QStringLiteral("/bramblewick");
    program.setProcessEnvironment(environment());
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(binary, arguments);
    QVERIFY2(program.waitForStarted(), qPrintable(binary + ": " + program.errorString()));
}

// Where a user types: into the editor of the one document window, after
// Window > Tile Horizontally has it fill the frame (right of the tree).
void tst_RecoveryProcess::typeIntoEditor(const QString &mainWindow, const QString &text)
{
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), mainWindow,
             QStringLiteral("key"), QStringLiteral("shift+ctrl+k")});
    const QString geometry =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), mainWindow});
    int x = 0, y = 0, width = 0, height = 0;
    for (const QString &line : geometry.split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("X=")))
            x = value.toInt();
        else if (line.startsWith(QLatin1String("Y=")))
            y = value.toInt();
        else if (line.startsWith(QLatin1String("WIDTH=")))
            width = value.toInt();
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            height = value.toInt();
    }
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"),
             QString::number(x + width * 3 / 4), QString::number(y + height * 6 / 10),
             QStringLiteral("click"), QStringLiteral("1")});
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

// A copy's description holds the editor's unposted document (RTF, base64).
bool tst_RecoveryProcess::copyHoldsTyped() const
{
    const QDir folder(path("state/bramblewick/recovery"));
    for (const QString &name : folder.entryList({QStringLiteral("*.info")}, QDir::Files)) {
        QFile info(folder.filePath(name));
        if (!info.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject object = QJsonDocument::fromJson(info.readAll()).object();
        const QByteArray rtf =
            QByteArray::fromBase64(object.value(QStringLiteral("editorRtf")).toString().toLatin1());
        if (rtf.contains(kTyped.toLatin1()))
            return true;
    }
    return false;
}

void tst_RecoveryProcess::typedTextSurvivesKill()
{
    {
        NotesTable table;
        table.createNewContent();
        table.cdsCommon().saveToFile(path("notes.cds"), dataset::ClientDataSet::FileFormat::Binary);
    }
    QProcess first;
    QProcess second;
    // A failed check leaves no program running.
    const auto stop = qScopeGuard([&] {
        for (QProcess *program : {&first, &second}) {
            program->kill();
            program->waitForFinished(kWaitMs);
        }
    });
    startProgram(first, {path("notes.cds")});
    QVERIFY(passStartDialogs());
    const QString frame = waitForWindow(QStringLiteral("Bramblewick 2000"));
    QVERIFY(!frame.isEmpty());
    // The file opens right after the tip closes; typing that came before its
    // window is typed again.
    for (int attempt = 0; attempt < 5 && !copyHoldsTyped(); ++attempt) {
        typeIntoEditor(frame, kTyped);
        for (QDeadlineTimer wait(kWaitMs / 5); !wait.hasExpired() && !copyHoldsTyped();)
            QThread::msleep(100);
    }
    QVERIFY2(copyHoldsTyped(), "no recovery copy holds the typed text");

    QCOMPARE(::kill(pid_t(first.processId()), SIGKILL), 0);
    QVERIFY(first.waitForFinished(kWaitMs));
    QCOMPARE(first.exitStatus(), QProcess::CrashExit);
    const QList<RecoveryEntry> left = RecoveryStore(path("state/bramblewick/recovery")).pending();
    QCOMPARE(left.size(), 1);
    QVERIFY(left.first().fileName.endsWith(QStringLiteral("notes.cds")));

    startProgram(second, {});
    QVERIFY(passStartDialogs());
    // Yes, the question's default button, opens the copy as a new window.
    QVERIFY2(pressIn(QStringLiteral("Recovery"), QStringLiteral("Return")),
             "the recovery copy was not offered");
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(left.first().tablePath), kWaitMs);
    // Save asks where to write the untitled window.
    QVERIFY(pressIn(QStringLiteral("Bramblewick 2000"), QStringLiteral("ctrl+s")));
    const QString saveDialog = waitForWindow(QStringLiteral("Save As"));
    QVERIFY2(!saveDialog.isEmpty(), "Save did not ask for a file name");
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), saveDialog,
             QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
             path("recovered.cds")});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path("recovered.cds")), kWaitMs);

    // The save renames a complete file into place: it holds the typed text
    // in an item's document.
    dataset::ClientDataSet saved;
    saved.loadFromFile(path("recovered.cds"));
    bool found = false;
    for (saved.first(); !saved.eof() && !found; saved.next())
        found = saved.asBytes(kFieldDescription).contains(kTyped.toLatin1());
    QVERIFY2(found, "the saved recovered window does not hold the typed text");
}

QTEST_GUILESS_MAIN(tst_RecoveryProcess)
#include "tst_recovery_process.moc"
