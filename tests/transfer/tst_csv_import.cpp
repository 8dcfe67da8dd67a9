// The CSV import into a notes table: the split at the first semicolon,
// nothing trimmed, empty lines, encodings, cancel, and the items it makes.

#include "io_fixture.h"
#include "transfer/csv_import.h"
#include "transfer/io_error.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace bw;
using test::Item;

namespace {

// Records what the progress window would show; cancels at a given step.
class Recorder : public io::ImportObserver
{
public:
    qint64 total = -1;
    int skips = 0;
    QStringList shown;
    int steps = 0;
    int cancelAt = -1;

    void counted(qint64 lines) override { total = lines; }
    void skipped() override { ++skips; }
    void adding(const QString &name) override { shown << io::addingItemText(name); }
    bool advance() override { return ++steps != cancelAt; }
};

struct Row
{
    qint32 id;
    qint32 parent;
    QString name;
    QByteArray description;
    bool null;
};

QList<Row> rowsOf(dataset::ClientDataSet &table)
{
    QList<Row> rows;
    for (table.first(); !table.eof(); table.next())
        rows.append({table.asInteger(notes::kFieldId), table.asInteger(notes::kFieldParent),
                     table.asString(notes::kFieldName), table.asBytes(notes::kFieldDescription),
                     table.isNull(notes::kFieldDescription)});
    return rows;
}

} // namespace

class tst_CsvImport : public QObject
{
    Q_OBJECT

private slots:
    void splitCsvLine_data();
    void splitCsvLine();
    void importsUnderParent();
    void encodings_data();
    void encodings();
    void emptyFileAddsNothing();
    void cancelKeepsItemsAdded();
    void longNameIsCut();
    void topLevelWithoutParent();
    void unreadableFile_data();
    void unreadableFile();

private:
    QString writeFile(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("import%1.csv").arg(++m_files));
        if (!test::writeAll(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    // A table holding one item 5 (under which the tests import).
    void openTable(notes::NotesTable &notes)
    {
        test::fillTable(notes, {Item{5, -1, QStringLiteral("Fruit")}});
    }

    QTemporaryDir m_dir;
    int m_files = 0;
};

void tst_CsvImport::splitCsvLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("plain") << "Apples;Red and green"
                           << "Apples"
                           << "Red and green";
    QTest::newRow("more semicolons") << "A;b;c"
                                     << "A"
                                     << "b;c";
    QTest::newRow("empty description") << "Pears;"
                                       << "Pears"
                                       << "";
    QTest::newRow("empty name") << ";x"
                                << ""
                                << "x";
    QTest::newRow("blanks stay") << " Plums ;x"
                                 << " Plums "
                                 << "x";
    QTest::newRow("quotes stay") << "\"a\";\"b\""
                                 << "\"a\""
                                 << "\"b\"";
    QTest::newRow("no semicolon") << "Just a name"
                                  << "Just a name"
                                  << "";
    QTest::newRow("only semicolon") << ";"
                                    << ""
                                    << "";
}

void tst_CsvImport::splitCsvLine()
{
    QFETCH(QString, line);
    const io::CsvLine parts = io::splitCsvLine(line);
    QTEST(parts.name, "name");
    QTEST(parts.description, "description");
}

void tst_CsvImport::importsUnderParent()
{
    // Given lines of every kind, LF and CR LF mixed and empty lines between.
    const QString path = writeFile("Apples;Red and green\r\n"
                                   "\n"
                                   "A;b;c\n"
                                   ";nothing\r\n"
                                   "\r\n"
                                   "Pears;\n"
                                   " Plums ;x\n"
                                   "Äpfel;grün und rot\n"
                                   "No semicolon");
    notes::NotesTable notes;
    openTable(notes);
    io::TableImportTarget target(notes.cdsCommon(), 5);
    Recorder recorder;
    const io::ImportResult result = io::importCsv(path, target, recorder);

    QCOMPARE(result.added, 6);
    QVERIFY(!result.cancelled);
    QCOMPARE(recorder.total, 7); // empty lines are not counted
    QCOMPARE(recorder.steps, 7); // the line that starts with ';' still advances
    QCOMPARE(recorder.skips, 2);
    QCOMPARE(recorder.shown.at(2), QStringLiteral("Adding Item "));
    const QList<Row> rows = rowsOf(notes.cdsCommon());
    QCOMPARE(rows.size(), 7);
    const QStringList names = {"Fruit", "Apples", "A", "Pears", " Plums ", "Äpfel", "No semicolon"};
    const QList<QByteArray> descriptions = {"",  "Red and green", "b;c", "",
                                            "x", "grün und rot",  ""};
    for (int i = 1; i < rows.size(); ++i) {
        QCOMPARE(rows[i].id, 5 + i);
        QCOMPARE(rows[i].parent, 5);
        QCOMPARE(rows[i].name, names[i]);
        QCOMPARE(rows[i].description, descriptions[i]);
        QCOMPARE(rows[i].null, descriptions[i].isEmpty()); // no description: none at all
    }
    QCOMPARE(notes.cdsCommon().changeCount(), 6 + 4); // an item, and a post per description
}

void tst_CsvImport::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("utf-8") << QByteArray("Caf\xc3\xa9;cr\xc3\xa8me \xe2\x82\xac\n") << "Café"
                           << "crème €";
    QTest::newRow("utf-8 with BOM") << QByteArray("\xef\xbb\xbf"
                                                  "Caf\xc3\xa9;x")
                                    << "Café"
                                    << "x";
    QTest::newRow("windows-1252") << QByteArray("Caf\xe9;cr\xe8me \x80\n") << "Café"
                                  << "crème €";
    // One invalid line makes the whole file Windows-1252.
    QTest::newRow("mixed") << QByteArray("\xc3\xa9;a\n\xe9;b\n") << "Ã©"
                           << "a";
}

void tst_CsvImport::encodings()
{
    QFETCH(QByteArray, bytes);
    notes::NotesTable notes;
    openTable(notes);
    io::TableImportTarget target(notes.cdsCommon(), 5);
    io::ImportObserver observer;
    io::importCsv(writeFile(bytes), target, observer);
    const QList<Row> rows = rowsOf(notes.cdsCommon());
    QVERIFY(rows.size() >= 2);
    QTEST(rows[1].name, "name");
    QTEST(QString::fromUtf8(rows[1].description), "description");
}

void tst_CsvImport::emptyFileAddsNothing()
{
    notes::NotesTable notes;
    openTable(notes);
    io::TableImportTarget target(notes.cdsCommon(), 5);
    Recorder recorder;
    const io::ImportResult result = io::importCsv(writeFile(""), target, recorder);
    QCOMPARE(result.added, 0);
    QCOMPARE(recorder.total, 0);
    QCOMPARE(recorder.steps, 0);
    QCOMPARE(notes.cdsCommon().recordCount(), 1);
    QCOMPARE(notes.cdsCommon().changeCount(), 0);
}

void tst_CsvImport::cancelKeepsItemsAdded()
{
    notes::NotesTable notes;
    openTable(notes);
    io::TableImportTarget target(notes.cdsCommon(), 5);
    Recorder recorder;
    recorder.cancelAt = 2;
    const io::ImportResult result =
        io::importCsv(writeFile("one;1\ntwo;2\nthree;3\n"), target, recorder);
    QVERIFY(result.cancelled);
    QCOMPARE(result.added, 2);
    QCOMPARE(recorder.total, 3);
    const QList<Row> rows = rowsOf(notes.cdsCommon());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[2].name, QStringLiteral("two"));
    QCOMPARE(rows[2].description, QByteArray("2"));
}

void tst_CsvImport::longNameIsCut()
{
    notes::NotesTable notes;
    openTable(notes);
    io::TableImportTarget target(notes.cdsCommon(), 5);
    io::ImportObserver observer;
    const QByteArray name(250, 'n');
    io::importCsv(writeFile(name + ";d"), target, observer);
    notes.cdsCommon().last();
    QCOMPARE(notes.cdsCommon().asString(notes::kFieldName), QString(notes::kNameWidth, 'n'));
}

void tst_CsvImport::topLevelWithoutParent()
{
    notes::NotesTable notes;
    openTable(notes);
    io::TableImportTarget target(notes.cdsCommon(), std::nullopt);
    io::ImportObserver observer;
    io::importCsv(writeFile("Top;t\n"), target, observer);
    const QList<Row> rows = rowsOf(notes.cdsCommon());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].id, 6);
    QCOMPARE(rows[1].parent, 6);
}

void tst_CsvImport::unreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing") << "missing.csv";
    QTest::newRow("folder") << "folder.csv";
    // A pipe nobody writes to would block the import for ever.
    QTest::newRow("pipe without writer") << "pipe.csv";
}

void tst_CsvImport::unreadableFile()
{
    QFETCH(QString, name);
    QVERIFY(QDir(m_dir.path()).mkpath("folder.csv"));
    QVERIFY(QFileInfo::exists(m_dir.filePath("pipe.csv")) ||
            ::mkfifo(QFile::encodeName(m_dir.filePath("pipe.csv")).constData(), 0600) == 0);
    notes::NotesTable notes;
    openTable(notes);
    io::TableImportTarget target(notes.cdsCommon(), 5);
    io::ImportObserver observer;
    try {
        io::importCsv(m_dir.filePath(name), target, observer);
        QFAIL("the file was read");
    } catch (const io::IoError &error) {
        QVERIFY2(error.message().contains(m_dir.filePath(name)), qPrintable(error.message()));
    }
    QCOMPARE(notes.cdsCommon().recordCount(), 1);
}

QTEST_MAIN(tst_CsvImport)
#include "tst_csv_import.moc"
