// The command-line companion bwnotes, run as a separate program.

#include "notes/notes_strings.h"
#include "notes/notes_table.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <elf.h>
#include <sys/stat.h>

using bw::notes::NotesTable;

class tst_Bwnotes : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    struct Result
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    static QString bwnotes() { return qEnvironmentVariable("BW_BINARY_DIR") + "/bwnotes"; }

    // The dynamic loader a program names (its PT_INTERP); empty when none.
    static QString interpreterOf(const QString &program)
    {
        QFile file(program);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray image = file.readAll();
        if (image.size() < qsizetype(sizeof(Elf64_Ehdr)))
            return {};
        Elf64_Ehdr header;
        std::memcpy(&header, image.constData(), sizeof header);
        for (int i = 0; i < header.e_phnum; ++i) {
            Elf64_Phdr segment;
            const qsizetype at = qsizetype(header.e_phoff) + i * qsizetype(sizeof segment);
            if (at + qsizetype(sizeof segment) > image.size())
                return {};
            std::memcpy(&segment, image.constData() + at, sizeof segment);
            if (segment.p_type == PT_INTERP)
                return QString::fromLocal8Bit(
                    image.mid(qsizetype(segment.p_offset), qsizetype(segment.p_filesz) - 1));
        }
        return {};
    }

    Result run(const QStringList &arguments, const QString &program = bwnotes())
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QString firstItemLine()
    {
        return QString("0\t-1\tThis Is Your First Item\t%1\n")
            .arg(bw::notes::kFirstItemDescription.size());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(qEnvironmentVariable("BW_BINARY_DIR") + "/bwnotes"),
                 "bwnotes is not built");
    }

    void newWritesOneItemFile()
    {
        const Result created = run({"new", path("new.cds")});
        QCOMPARE(created.exitCode, 0);
        QCOMPARE(created.err, QString());
        const Result dumped = run({"dump", path("new.cds")});
        QCOMPARE(dumped.exitCode, 0);
        QCOMPARE(dumped.out, firstItemLine());
    }

    void newRefusesExistingFile()
    {
        QFile file(path("existing.cds"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        const Result result = run({"new", path("existing.cds")});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, QString("bwnotes: %1 already exists\n").arg(path("existing.cds")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep me"));
    }

    void convertBetweenForms()
    {
        NotesTable notes;
        notes.createNewContent();
        auto &table = notes.cdsCommon();
        table.append();
        table.setFieldValue("Parent", 0);
        table.setFieldValue("Name", QString::fromUtf8("Tab\there, line\nbreak, back\\slash, ü"));
        table.setBytes("Description", QByteArray(""));
        table.post();
        table.saveToFile(path("source.cds"));
        const QString expected =
            firstItemLine() + QString::fromUtf8("1\t0\tTab\\there, line\\nbreak, "
                                                "back\\\\slash, ü\t0\n");

        QCOMPARE(run({"convert", path("source.cds"), path("copy.XML")}).exitCode, 0);
        QFile xml(path("copy.XML"));
        QVERIFY(xml.open(QIODevice::ReadOnly));
        QVERIFY(xml.read(5) == "<?xml");
        QCOMPARE(run({"convert", path("copy.XML"), path("back.cds")}).exitCode, 0);
        QFile binary(path("back.cds"));
        QVERIFY(binary.open(QIODevice::ReadOnly));
        QVERIFY(binary.read(15) == "SQLite format 3");
        QCOMPARE(run({"dump", path("source.cds")}).out, expected);
        QCOMPARE(run({"dump", path("copy.XML")}).out, expected);
        QCOMPARE(run({"dump", path("back.cds")}).out, expected);
    }

    void unreadableFilesFail_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("errorStart");
        QTest::newRow("dump missing")
            << QStringList{"dump", "missing.cds"} << "bwnotes: Cannot open the file";
        QTest::newRow("dump garbage") << QStringList{"dump", "garbage.cds"} << "bwnotes: The file";
        QTest::newRow("convert garbage")
            << QStringList{"convert", "garbage.cds", "out.cds"} << "bwnotes: The file";
        QTest::newRow("convert into missing folder")
            << QStringList{"convert", "good.cds", "no/such/out.cds"} << "bwnotes: Cannot create";
    }

    void unreadableFilesFail()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, errorStart);
        QFile garbage(path("garbage.cds"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("this is not a notes file");
        garbage.close();
        QCOMPARE(run({"new", path("good.cds")}).exitCode == 0 || QFile::exists(path("good.cds")),
                 true);
        for (int i = 1; i < arguments.size(); ++i)
            arguments[i] = path(arguments[i]);
        const Result result = run(arguments);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QString());
        QVERIFY2(result.err.startsWith(errorStart), qPrintable(result.err));
        QVERIFY(!QFile::exists(path("out.cds")));
    }

    // Given a pipe without a writer, when it is dumped or converted, then
    // bwnotes refuses it at once instead of waiting on it, and a convert onto
    // a pipe leaves it a pipe.
    void pipesAreRefusedWithoutBlocking_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("dump") << QStringList{"dump", "pipe"}
                              << "bwnotes: Cannot open the file %1: it is not a regular file\n";
        QTest::newRow("convert from")
            << QStringList{"convert", "pipe", "out.cds"}
            << "bwnotes: Cannot open the file %1: it is not a regular file\n";
        QTest::newRow("convert onto")
            << QStringList{"convert", "good.cds", "pipe"}
            << "bwnotes: Cannot write the file %1: it is not a regular file\n";
    }

    void pipesAreRefusedWithoutBlocking()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString pipe = dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QCOMPARE(run({"new", dir.filePath("good.cds")}).exitCode, 0);
        for (int i = 1; i < arguments.size(); ++i)
            arguments[i] = dir.filePath(arguments[i]);
        const Result result = run(arguments);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, error.arg(pipe));
        QVERIFY(QFileInfo(pipe).isFile() == false && QFileInfo::exists(pipe));
        QVERIFY(!QFile::exists(dir.filePath("out.cds")));
    }

    void badArgumentsShowUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"list", "a.cds"};
        QTest::newRow("dump without file") << QStringList{"dump"};
        QTest::newRow("convert one file") << QStringList{"convert", "a.cds"};
        QTest::newRow("new two files") << QStringList{"new", "a.cds", "b.cds"};
    }

    void badArgumentsShowUsage()
    {
        QFETCH(QStringList, arguments);
        const Result result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QString());
        QVERIFY(result.err.startsWith("Usage: bwnotes COMMAND ARGUMENTS\n"));
    }

    void helpGoesToStandardOutput()
    {
        const Result result = run({"help"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith("Usage: bwnotes"));
        QVERIFY(result.out.contains("convert IN OUT"));
    }

    void helpAndVersionOnEveryCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("begins");
        QTest::addColumn<QString>("holds");
        QTest::addColumn<QString>("lacks");
        QTest::newRow("alone") << QStringList{"--help"} << "Usage: bwnotes COMMAND"
                               << "export-xml"
                               << "";
        QTest::newRow("dump") << QStringList{"dump", "--help"} << "Usage: bwnotes dump"
                              << "length of Description"
                              << "convert";
        QTest::newRow("continued lines")
            << QStringList{"import-csv", "x.cds", "--help"} << "Usage: bwnotes import-csv"
            << "--parent ID"
            << "export-nodes";
        QTest::newRow("unknown") << QStringList{"frobnicate", "--help"} << "Usage: bwnotes COMMAND"
                                 << "new FILE"
                                 << "";
        QTest::newRow("version") << QStringList{"--version"} << "bwnotes 4.0.4.0\n"
                                 << ""
                                 << "Usage";
        QTest::newRow("version of a command")
            << QStringList{"convert", "--version"} << "bwnotes 4.0.4.0\n"
            << ""
            << "Usage";
    }

    void helpAndVersionOnEveryCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, begins);
        QFETCH(QString, holds);
        QFETCH(QString, lacks);
        const Result result = run(arguments);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QString());
        QVERIFY2(result.out.startsWith(begins), qPrintable(result.out));
        QVERIFY(result.out.contains(holds));
        if (!lacks.isEmpty())
            QVERIFY(!result.out.contains(lacks));
    }

    void startsThroughTheDynamicLoader_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        QTest::newRow("version") << QStringList{"--version"} << "bwnotes ";
        QTest::newRow("dump") << QStringList{"dump", "loaded.cds"} << "0\t-1\t";
    }

    // Given bwnotes started as an argument of the dynamic loader (as valgrind
    // and other tools start programs), when it runs, then it does its work in
    // that one process: it never starts itself a second time, which through
    // the loader would start the loader without the program.
    void startsThroughTheDynamicLoader()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        if (!QFile::exists(path("loaded.cds")))
            QCOMPARE(run({"new", path("loaded.cds")}).exitCode, 0);
        arguments.replaceInStrings("loaded.cds", path("loaded.cds"));
        const QString loader = interpreterOf(bwnotes());
        if (loader.isEmpty())
            QSKIP("bwnotes names no dynamic loader");
        const Result result = run(QStringList{bwnotes()} + arguments, loader);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.startsWith(out), qPrintable(result.out));
    }
};

QTEST_GUILESS_MAIN(tst_Bwnotes)
#include "tst_bwnotes.moc"
