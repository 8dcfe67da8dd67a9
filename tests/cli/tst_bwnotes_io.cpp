// The import and export commands of bwnotes, run as a separate program: the
// files they write are the ones bw_io writes for the document window.

#include "notes/notes_strings.h"
#include "notes/notes_table.h"
#include "rtf/rtf.h"
#include "transfer/html_export.h"
#include "transfer/node_export.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using bw::notes::NotesTable;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Puts a special file of `kind` under `path`: a pipe, a character device (a
// node of /dev/null's numbers made here, or without the right to make one a
// link to /dev/null, which is never written), a folder, or a chain of two
// links to a regular file holding `content`, whose path is returned.
QString makeSpecial(const QString &kind, const QString &path, const QByteArray &content)
{
    const QByteArray native = QFile::encodeName(path);
    if (kind == "fifo")
        return ::mkfifo(native.constData(), 0600) == 0 ? path : QString();
    if (kind == "device") {
        if (::mknod(native.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
            return path;
        return QFile::link(QStringLiteral("/dev/null"), path) ? path : QString();
    }
    if (kind == "folder")
        return QDir().mkdir(path) ? path : QString();
    const QString end = path + QStringLiteral(".end");
    if (!writeAll(end, content) || !QFile::link(QFileInfo(end).fileName(), path + ".2") ||
        !QFile::link(QFileInfo(path + ".2").fileName(), path))
        return QString();
    return end;
}

// Whether the special file is still what makeSpecial made.
bool stillSpecial(const QString &kind, const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    if (kind == "fifo")
        return S_ISFIFO(info.st_mode);
    if (kind == "device")
        return S_ISCHR(info.st_mode);
    return S_ISDIR(info.st_mode);
}

} // namespace

class tst_BwnotesIo : public QObject
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

    Result run(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(environment); // no display: bwnotes needs none
        process.start(qEnvironmentVariable("BW_BINARY_DIR") + "/bwnotes", arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A notes file of the first item and two children with non-ASCII names.
    QString makeFile(const QString &name)
    {
        NotesTable notes;
        notes.createNewContent();
        auto &table = notes.cdsCommon();
        for (const QString &child : {QStringLiteral("Čaj/☕"), QStringLiteral("<Zürich>")}) {
            table.append();
            table.setFieldValue(bw::notes::kFieldParent, 0);
            table.setFieldValue(bw::notes::kFieldName, child);
            table.setBytes(bw::notes::kFieldDescription, child.toUtf8());
            table.post();
        }
        table.mergeChangeLog();
        table.saveToFile(path(name), bw::dataset::ClientDataSet::fileFormatForName(name));
        return path(name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(qEnvironmentVariable("BW_BINARY_DIR") + "/bwnotes"),
                 "bwnotes is not built");
    }

    void importCsvUnderParent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("start"); // how the file written back begins
        QTest::newRow("binary") << "import.cds" << QByteArray("SQLite format 3");
        QTest::newRow("XML") << "import.xml" << QByteArray("<?xml");
    }

    // The notes file is written back in the form its name calls for.
    void importCsvUnderParent()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, start);
        const QString notes = makeFile(name);
        QVERIFY(writeAll(path("in.csv"), "Äpfel;rot\n\nBirnen;gelb;grün\n;nichts\n"));
        const Result result = run({"import-csv", notes, path("in.csv"), "--parent", "1"});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QStringLiteral("2 items imported\n"));
        QVERIFY(readAll(notes).startsWith(start));
        NotesTable loaded;
        loaded.loadFromFile(notes);
        auto &table = loaded.cdsCommon();
        QCOMPARE(table.recordCount(), 5);
        table.last();
        QCOMPARE(table.asInteger(bw::notes::kFieldId), 4);
        QCOMPARE(table.asInteger(bw::notes::kFieldParent), 1);
        QCOMPARE(table.asString(bw::notes::kFieldName), QStringLiteral("Birnen"));
        QCOMPARE(table.asBytes(bw::notes::kFieldDescription), QByteArray("gelb;grün"));
    }

    void importCsvErrors_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("unknown parent")
            << QStringList{"--parent", "77"} << 1 << "bwnotes: No item has the ID 77\n";
        QTest::newRow("bad parent") << QStringList{"--parent", "x"} << 2 << "Usage: bwnotes";
        QTest::newRow("bad option") << QStringList{"--under", "1"} << 2 << "Usage: bwnotes";
    }

    void importCsvErrors()
    {
        QFETCH(QStringList, extra);
        const QString notes = makeFile("errors.cds");
        const QByteArray before = readAll(notes);
        QVERIFY(writeAll(path("e.csv"), "x;y\n"));
        const Result result = run(QStringList{"import-csv", notes, path("e.csv")} + extra);
        QTEST(result.exitCode, "exitCode");
        QFETCH(QString, err);
        QVERIFY2(result.err.startsWith(err), qPrintable(result.err));
        QCOMPARE(readAll(notes), before);
    }

    void exportNodesConvertsNames_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("ext");
        QTest::newRow("txt") << "--txt"
                             << ".txt";
        QTest::newRow("rtf") << "--rtf"
                             << ".rtf";
    }

    void exportNodesConvertsNames()
    {
        QFETCH(QString, option);
        QFETCH(QString, ext);
        const QString notes = makeFile("nodes.cds");
        QTemporaryDir out;
        const Result result = run({"export-nodes", notes, out.path(), option});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QString("\"Čaj/☕%1\" written as \"Čaj☕%1\"\n"
                                     "\"<Zürich>%1\" written as \"Zürich%1\"\n3 files written\n")
                                 .arg(ext));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 (QStringList{"This Is Your First Item" + ext, "Zürich" + ext, "Čaj☕" + ext}));
        QCOMPARE(readAll(out.filePath("Čaj☕" + ext)),
                 bw::io::nodeFileBytes("Čaj/☕", bw::io::nodeFileKind(ext)));
        QCOMPARE(readAll(out.filePath("This Is Your First Item" + ext)),
                 bw::io::nodeFileBytes(bw::notes::kFirstItemDescription.toUtf8(),
                                       bw::io::nodeFileKind(ext)));
    }

    // Given items named as a new user might import them, when they are
    // exported, then every item has a file of its own and the count says so.
    void exportNodesGivesEveryItemAFile()
    {
        const QString notes = makeFile("same.cds");
        QVERIFY(writeAll(path("same.csv"), "..;two dots\n.;one dot\nDup;first\nDup;second\n"));
        QCOMPARE(run({"import-csv", notes, path("same.csv")}).exitCode, 0);
        QTemporaryDir out;
        const Result result = run({"export-nodes", notes, out.path(), "--txt"});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.endsWith("7 files written\n"), qPrintable(result.out));
        QVERIFY(result.out.contains("\"...txt\" written as \"Unnamed.txt\"\n"
                                    "\"..txt\" written as \"Unnamed (2).txt\"\n"
                                    "\"Dup.txt\" written as \"Dup (2).txt\"\n"));
        const QStringList files = QDir(out.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 7);
        QCOMPARE(readAll(out.filePath("Unnamed.txt")), QByteArray("two dots"));
        QCOMPARE(readAll(out.filePath("Unnamed (2).txt")), QByteArray("one dot"));
        QCOMPARE(readAll(out.filePath("Dup.txt")), QByteArray("first"));
        QCOMPARE(readAll(out.filePath("Dup (2).txt")), QByteArray("second"));
    }

    void exportNodesMissingFolder()
    {
        const QString notes = makeFile("missing.cds");
        const Result result = run({"export-nodes", notes, path("no/folder"), "--txt"});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, "bwnotes: Directory Not Exists: " + path("no/folder") + "/\n");
    }

    void exportPages_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::newRow("grid") << "export-html-grid"
                              << "grid.htm";
        QTest::newRow("tree") << "export-html-tree"
                              << "tree.htm";
        QTest::newRow("xml") << "export-xml"
                             << "data.xml";
    }

    void exportPages()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        const QString notes = makeFile("pages.cds");
        QTemporaryDir out;
        const Result result = run({command, notes, out.filePath(name)});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        NotesTable loaded;
        loaded.loadFromFile(notes);
        const bw::io::HtmlPage page{QStringLiteral("Bramblewick 2000"), QStringLiteral("pages.cds"),
                                    QDate::currentDate()};
        const QString expected = m_dir.filePath("expected-" + name);
        if (command == "export-html-grid")
            bw::io::exportHtmlGrid(loaded.cdsCommon(), expected, page);
        else if (command == "export-html-tree")
            bw::io::exportHtmlTree(loaded.cdsCommon(), expected, page);
        else
            bw::io::exportXmlData(loaded.cdsCommon(), expected);
        QCOMPARE(readAll(out.filePath(name)), readAll(expected));
        if (command == "export-html-tree")
            QCOMPARE(QDir(out.path()).entryList({"*.gif"}).size(), 16);
    }

    void specialFilesRefused_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("kind");
        for (const char *writer : {"export-html-grid", "export-html-tree", "tree picture",
                                   "export-xml", "export-nodes", "import-csv"})
            for (const char *kind : {"fifo", "device", "folder", "chain"})
                QTest::addRow("%s, %s", writer, kind) << writer << kind;
    }

    void specialFilesRefused()
    {
        // Given a pipe, a device or a folder under a name an export writes
        // (or the CSV import reads), it is refused with its name and left as
        // it is; a chain of two links is followed to the regular file at its
        // end, which is replaced (read), and the links stay.
        QFETCH(QString, writer);
        QFETCH(QString, kind);
        const QString notes = makeFile("special.cds");
        const QByteArray before = readAll(notes);
        QTemporaryDir out;
        QString special = out.filePath("out.htm");
        QStringList arguments{writer, notes, special};
        if (writer == "tree picture") {
            special = out.filePath("tv_Empty.gif");
            arguments = {"export-html-tree", notes, out.filePath("tree.htm")};
        } else if (writer == "export-nodes") {
            special = out.filePath("This Is Your First Item.txt");
            arguments = {writer, notes, out.path(), "--txt"};
        } else if (writer == "import-csv") {
            special = out.filePath("in.csv");
            arguments = {writer, notes, special};
        }
        const QByteArray old = "Äpfel;rot\n";
        const QString end = makeSpecial(kind, special, old);
        QVERIFY(!end.isEmpty());
        const Result result = run(arguments);
        if (kind == "chain") {
            QCOMPARE(result.err, QString());
            QCOMPARE(result.exitCode, 0);
            QVERIFY(QFileInfo(special).isSymLink() && QFileInfo(special + ".2").isSymLink());
            if (writer == "import-csv")
                QVERIFY(readAll(notes) != before);
            else
                QVERIFY(!readAll(end).isEmpty() && readAll(end) != old);
            return;
        }
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.startsWith("bwnotes: ") && result.err.contains(special + ": "),
                 qPrintable(result.err));
        QVERIFY(stillSpecial(kind, special));
        QCOMPARE(readAll(notes), before);
    }

    void exportOverNotesFileRefused()
    {
        const QString notes = makeFile("self.cds");
        const QByteArray before = readAll(notes);
        const Result result = run({"export-xml", notes, notes});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, "bwnotes: " + notes + " is the notes file itself\n");
        QCOMPARE(readAll(notes), before);
    }
};

QTEST_MAIN(tst_BwnotesIo)
#include "tst_bwnotes_io.moc"
