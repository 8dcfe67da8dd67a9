// A save killed at any point leaves a file that loads and holds the old or
// the new content whole, in both forms and when the binary file is updated in
// place. A helper program saves two versions in turn and is killed (SIGKILL)
// after a different delay each time.

#include "helpers/save_loop_content.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using bw::dataset::ClientDataSet;

namespace {

// A journal that SQLite plays back when the file is next opened: the
// transaction had begun to change the file when it was killed.
bool isHotJournal(const QString &journal)
{
    QFile file(journal);
    return file.open(QIODevice::ReadOnly) &&
           file.read(8) == QByteArray("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
}

} // namespace

class tst_KilledSave : public QObject
{
    Q_OBJECT

private slots:
    void killedSaveLeavesOldOrNewFile_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("binary") << "binary"
                                << "killed.cds";
        QTest::newRow("XML") << "xml"
                             << "killed.xml";
        QTest::newRow("binary, in place") << "incremental"
                                          << "killed.cds";
    }

    void killedSaveLeavesOldOrNewFile()
    {
        QFETCH(QString, form);
        QFETCH(QString, fileName);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(fileName);
        const auto format =
            form == "xml" ? ClientDataSet::FileFormat::Xml : ClientDataSet::FileFormat::Binary;
        {
            ClientDataSet old;
            bw::testing::fillVersion(old, 0);
            QElapsedTimer timer;
            timer.start();
            old.saveToFile(file, format);
            m_saveMs = qMax<qint64>(1, timer.elapsed());
        }
        QRandomGenerator random(form == "xml" ? 11 : 7);
        int seen[2] = {0, 0};
        int insideTransaction = 0; // kills that left SQLite's journal beside the file
        int playedBack = 0;        // ... after it had started to change the file
        constexpr int kTrials = 30;
        // The in-place form goes on, with longer delays, until a kill has
        // landed inside its transaction: how long a save takes depends on
        // the machine (and on sanitizers).
        const int maxTrials = form == "incremental" ? 10 * kTrials : kTrials;
        int trials = 0;
        for (int trial = 0; trial < maxTrials && (trial < kTrials || insideTransaction == 0);
             ++trial) {
            ++trials;
            QProcess saver;
            saver.start(qEnvironmentVariable("BW_BINARY_DIR") + "/bw_save_loop", {file, form});
            QVERIFY2(saver.waitForReadyRead(30000), "the save loop did not start");
            // Up to three saves long: the kill lands anywhere in a save.
            QThread::usleep(random.bounded(quint32(m_saveMs * 3000 * (1 + trial / kTrials))));
            saver.kill();
            QVERIFY(saver.waitForFinished(30000));
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);
            insideTransaction += QFileInfo(file + "-journal").size() > 0;
            playedBack += isHotJournal(file + "-journal");

            ClientDataSet loaded;
            try {
                loaded.loadFromFile(file);
            } catch (const bw::dataset::DataSetError &error) {
                QFAIL(qPrintable(QString("trial %1: %2").arg(trial).arg(error.message())));
            }
            const int version = bw::testing::versionOf(loaded);
            QVERIFY2(version >= 0, qPrintable(QString("trial %1: mixed content").arg(trial)));
            ++seen[version];
        }
        qInfo("%s: %d kills, old content %d times, new content %d times, %d inside the "
              "transaction, %d of them played back (save %lld ms)",
              qPrintable(form), trials, seen[0], seen[1], insideTransaction, playedBack,
              static_cast<long long>(m_saveMs));
        if (form == "incremental")
            QVERIFY(insideTransaction > 0);
    }

private:
    qint64 m_saveMs = 1;
};

QTEST_GUILESS_MAIN(tst_KilledSave)
#include "tst_killed_save.moc"
