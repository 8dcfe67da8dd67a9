// The export of every item to a file of its own: valid and converted file
// names, plain text and RTF, the question, skipped items, cancel, failures.

#include "io_fixture.h"
#include "rtf/rtf.h"
#include "transfer/file_write.h"
#include "transfer/io_error.h"
#include "transfer/node_export.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace bw;
using test::Item;

namespace {

class Recorder : public io::NodeExportObserver
{
public:
    QStringList shown;
    QList<QPair<QString, QString>> asked;
    QList<bool> answers; // consumed by convert(); true when empty
    int steps = 0;
    int cancelAt = -1;

    void exporting(const QString &fileName) override { shown << io::exportingItemText(fileName); }
    bool convert(const QString &fileName, const QString &converted) override
    {
        asked.append({fileName, converted});
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    bool advance() override { return ++steps != cancelAt; }
};

QString plainTextOfRtf(const QByteArray &rtf)
{
    QTextDocument document;
    rtf::readRtf(rtf, &document);
    return document.toPlainText();
}

} // namespace

class tst_NodeExport : public QObject
{
    Q_OBJECT

private slots:
    void isValidFileName_data();
    void isValidFileName();
    void conversionQuestionText();
    void nodeFileKind_data();
    void nodeFileKind();
    void exportsEveryItem();
    void exportAsRtf();
    void cancelStopsAfterTheItem();
    void writeFailure();
    void noItemReplacesAnothersFile_data();
    void noItemReplacesAnothersFile();
    void writeFileBytes();
    void controlCharactersNeverReachFileNames();

private:
    void fill(notes::NotesTable &notes)
    {
        test::fillTable(
            notes,
            {
                Item{0, -1, "Shopping", test::rtfOf("Milk and \\'e9clairs")},
                Item{1, 0, "Čaj ☕", QByteArray("plain ž text\r\nsecond line")}, Item{2, 0, "a/b"},
                Item{3, 0, "??", test::rtfOf("question")}, Item{4, 0, "Dup", test::rtfOf("first")},
                Item{5, 0, "Dup", test::rtfOf("second")}, Item{6, 0, " lead", test::rtfOf("lead")},
                Item{7, 0, "Latin", QByteArray("caf\xe9 cr\xe8me")}, // Windows-1252 plain text
            });
    }

    QTemporaryDir m_dir;
};

void tst_NodeExport::isValidFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("converted");
    QTest::newRow("plain") << "Shopping.txt" << true << "Shopping.txt";
    QTest::newRow("empty") << "" << true << "";
    QTest::newRow("slash") << "a/b.txt" << false << "ab.txt";
    QTest::newRow("leading blank") << " lead.txt" << false << "lead.txt";
    QTest::newRow("blank before extension") << "trail .txt" << true << "trail .txt";
    QTest::newRow("trailing blank") << "x.txt " << false << "x.txt";
    QTest::newRow("control character") << "\tx.txt" << false << "x.txt";
    // A control character inside a name would reach the file system: a NUL
    // ends the name there (run.sh\0.txt was written as run.sh).
    QTest::newRow("NUL inside") << QString("run.sh") + QChar(0) + ".txt" << false << "run.sh.txt";
    QTest::newRow("controls inside") << QString("a") + QChar(0x01) + "b\tc\nd" + QChar(0x1B) +
                                            QChar(0x7F) + QChar(0x85) + "e.txt"
                                     << false << "abcde.txt";
    QTest::newRow("only a NUL") << QString(QChar(0)) + ".rtf" << false << "rtf";
    QTest::newRow("leading periods") << "..notes.txt" << false << "notes.txt";
    QTest::newRow("only invalid characters") << "??.txt" << false << "txt";
    QTest::newRow("all nine") << "a\"*/:<>?\\|b.rtf" << false << "ab.rtf";
    QTest::newRow("period inside") << "v1.2.txt" << true << "v1.2.txt";
    QTest::newRow("non-ASCII") << "Čaj ☕.txt" << true << "Čaj ☕.txt";
    QTest::newRow("blank then periods") << " ..x.txt" << false << "x.txt";
    // A Linux file name holds 255 bytes: a long non-ASCII name is cut before
    // its extension, never inside a character.
    QTest::newRow("200 ASCII characters")
        << QString(200, u'a') + ".txt" << true << QString(200, u'a') + ".txt";
    QTest::newRow("200 Cyrillic characters")
        << QString(200, u'Ж') + ".txt" << false << QString(125, u'Ж') + ".txt";
    QTest::newRow("emoji") << QString("😀").repeated(100) + ".rtf" << false
                           << QString("😀").repeated(62) + ".rtf";
    QTest::newRow("cut at a blank") << QString(254, u'b') + " Ж" << false << QString(254, u'b');
}

void tst_NodeExport::isValidFileName()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(io::isValidFileName(name), valid);
    QTEST(io::toValidFileName(name), "converted");
    QVERIFY(io::isValidFileName(io::toValidFileName(name)));
}

void tst_NodeExport::conversionQuestionText()
{
    QCOMPARE(io::conversionQuestion("a/b.txt", "ab.txt"),
             QStringLiteral("\" a/b.txt \" is not a valid file name. Do you want to convert it "
                            "to valid file name: \" ab.txt \" ?"));
}

void tst_NodeExport::nodeFileKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    QTest::newRow("txt") << "a.txt" << true;
    QTest::newRow("TXT") << "a.TXT" << true;
    QTest::newRow("rtf") << "a.rtf" << false;
    QTest::newRow("no extension") << "txt" << false;
    QTest::newRow("other") << "a.doc" << false;
}

void tst_NodeExport::nodeFileKind()
{
    QFETCH(QString, name);
    QTEST(io::nodeFileKind(name) == io::NodeFileKind::PlainText, "plain");
}

void tst_NodeExport::exportsEveryItem()
{
    notes::NotesTable notes;
    fill(notes);
    dataset::ClientDataSet &table = notes.cdsCommon();
    table.setRecNo(3);
    QTemporaryDir out;
    Recorder recorder;
    recorder.answers = {true, false, true}; // a/b yes, ?? no, " lead" yes
    const io::NodeExportResult result =
        io::exportNodes(table, out.path() + '/', io::kExtTxt, recorder);

    QVERIFY(!result.cancelled);
    QCOMPARE(result.written, 7);
    QCOMPARE(recorder.steps, 8);
    QCOMPARE(recorder.shown.first(), QStringLiteral("Exporting Item: Shopping.txt"));
    QCOMPARE(recorder.asked,
             (QList<QPair<QString, QString>>{
                 {"a/b.txt", "ab.txt"}, {"??.txt", "Unnamed.txt"}, {" lead.txt", "lead.txt"}}));
    QCOMPARE(test::readAll(out.filePath("Shopping.txt")), QByteArray("Milk and éclairs"));
    QCOMPARE(test::readAll(out.filePath("Čaj ☕.txt")), QByteArray("plain ž text\nsecond line"));
    QVERIFY(QFile::exists(out.filePath("ab.txt")));
    QCOMPARE(QFileInfo(out.filePath("ab.txt")).size(), 0); // no description: no text
    QVERIFY(!QFile::exists(out.filePath("Unnamed.txt")));  // answered No
    // Two items of one name: each has a file of its own.
    QCOMPARE(test::readAll(out.filePath("Dup.txt")), QByteArray("first"));
    QCOMPARE(test::readAll(out.filePath("Dup (2).txt")), QByteArray("second"));
    QCOMPARE(test::readAll(out.filePath("lead.txt")), QByteArray("lead"));
    QCOMPARE(test::readAll(out.filePath("Latin.txt")), QByteArray("café crème"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 7);
    QCOMPARE(table.recNo(), 3); // the current record is current again
}

void tst_NodeExport::exportAsRtf()
{
    notes::NotesTable notes;
    fill(notes);
    QTemporaryDir out;
    Recorder recorder;
    recorder.answers = {true, true, true};
    io::exportNodes(notes.cdsCommon(), out.path() + '/', io::kExtRtf, recorder);
    const QByteArray shopping = test::readAll(out.filePath("Shopping.rtf"));
    QVERIFY(rtf::looksLikeRtf(shopping));
    QCOMPARE(plainTextOfRtf(shopping), QStringLiteral("Milk and éclairs"));
    // Plain text descriptions become RTF documents too, non-ASCII kept.
    QCOMPARE(plainTextOfRtf(test::readAll(out.filePath("Čaj ☕.rtf"))),
             QStringLiteral("plain ž text\nsecond line"));
    // Nothing is left of ??: the neutral name keeps the extension.
    QVERIFY(rtf::looksLikeRtf(test::readAll(out.filePath("Unnamed.rtf"))));
    // The same description gives the same bytes every time.
    QCOMPARE(io::nodeFileBytes(test::rtfOf("question"), io::NodeFileKind::Rtf),
             test::readAll(out.filePath("Unnamed.rtf")));
}

void tst_NodeExport::cancelStopsAfterTheItem()
{
    notes::NotesTable notes;
    fill(notes);
    QTemporaryDir out;
    Recorder recorder;
    recorder.cancelAt = 2;
    const io::NodeExportResult result =
        io::exportNodes(notes.cdsCommon(), out.path() + '/', io::kExtTxt, recorder);
    QVERIFY(result.cancelled);
    QCOMPARE(recorder.steps, 2);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), (QStringList{"Shopping.txt", "Čaj ☕.txt"}));
}

void tst_NodeExport::writeFailure()
{
    notes::NotesTable notes;
    fill(notes);
    Recorder recorder;
    QVERIFY_THROWS_EXCEPTION(
        io::IoError,
        io::exportNodes(notes.cdsCommon(), m_dir.filePath("missing") + '/', io::kExtTxt, recorder));
    QCOMPARE(recorder.steps, 0);
}

void tst_NodeExport::noItemReplacesAnothersFile_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("links"); // "name>target", made before the export
    QTest::addColumn<QStringList>("files"); // the file of each item
    QTest::newRow("only periods") << QStringList{"..", "."} << QStringList{}
                                  << QStringList{"Unnamed.txt", "Unnamed (2).txt"};
    QTest::newRow("nothing left but blanks and the nine")
        << QStringList{" ", "??"} << QStringList{} << QStringList{"Unnamed.txt", "Unnamed (2).txt"};
    QTest::newRow("same after conversion") << QStringList{"a/b", "ab", "a:b"} << QStringList{}
                                           << QStringList{"ab.txt", "ab (2).txt", "ab (3).txt"};
    QTest::newRow("same name, and a name like a numbered one")
        << QStringList{"x", "x", "x (2)"} << QStringList{}
        << QStringList{"x.txt", "x (2).txt", "x (2) (2).txt"};
    // A link stands for a disk that ignores case: dup.txt is the file Dup.txt.
    QTest::newRow("same file under another name")
        << QStringList{"Dup", "dup"} << QStringList{"dup.txt>Dup.txt"}
        << QStringList{"Dup.txt", "dup (2).txt"};
    QTest::newRow("another case on a disk that keeps case")
        << QStringList{"Dup", "dup"} << QStringList{} << QStringList{"Dup.txt", "dup.txt"};
}

// Given items whose names reach the same file, when they are exported, then
// each item has its own file and the count is the files that exist.
void tst_NodeExport::noItemReplacesAnothersFile()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, links);
    QFETCH(QStringList, files);
    QList<Item> items;
    for (int i = 0; i < names.size(); ++i)
        items.append(Item{i, -1, names[i], QByteArray::number(i)});
    notes::NotesTable notes;
    test::fillTable(notes, items);
    QTemporaryDir out;
    for (const QString &link : links)
        QVERIFY(QFile::link(link.section('>', 1), out.filePath(link.section('>', 0, 0))));
    Recorder recorder;
    const io::NodeExportResult result =
        io::exportNodes(notes.cdsCommon(), out.path() + '/', io::kExtTxt, recorder);
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(test::readAll(out.filePath(files[i])), QByteArray::number(i));
    QCOMPARE(result.written, names.size());
    QDir folder(out.path());
    QCOMPARE(folder.entryList(QDir::Files | QDir::NoSymLinks | QDir::Hidden).size(), names.size());
}

void tst_NodeExport::writeFileBytes()
{
    QTemporaryDir out;
    const QString path = out.filePath("Notes.txt");
    // A new file is written whole.
    io::writeFileBytes(path, "first");
    QCOMPARE(test::readAll(path), QByteArray("first"));
    // An existing file is replaced, keeps its permissions, and no temporary file stays.
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    io::writeFileBytes(path, "second, longer");
    QCOMPARE(test::readAll(path), QByteArray("second, longer"));
    QCOMPARE(QFile::permissions(path) & others, QFile::ReadGroup);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Notes.txt"});
    // A folder where the file should go is an error, and leaves nothing behind.
    QVERIFY(QDir(out.path()).mkdir("Folder.txt"));
    QVERIFY_THROWS_EXCEPTION(io::IoError, io::writeFileBytes(out.filePath("Folder.txt"), "x"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Notes.txt"});
}

void tst_NodeExport::controlCharactersNeverReachFileNames()
{
    // Given an item named "run.sh" NUL, when it is exported as text, then the
    // question offers run.sh.txt and that file is written, not run.sh.
    notes::NotesTable notes;
    const QString name = QString("run.sh") + QChar(0);
    test::fillTable(notes, {Item{0, -1, name, QByteArray("echo")},
                            Item{1, 0, QString("line\nbreak"), QByteArray("two")}});
    QTemporaryDir out;
    Recorder recorder;
    const io::NodeExportResult result =
        io::exportNodes(notes.cdsCommon(), out.path() + '/', io::kExtTxt, recorder);
    QCOMPARE(result.written, 2);
    QCOMPARE(recorder.asked,
             (QList<QPair<QString, QString>>{{name + ".txt", "run.sh.txt"},
                                             {"line\nbreak.txt", "linebreak.txt"}}));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), (QStringList{"linebreak.txt", "run.sh.txt"}));
    QCOMPARE(test::readAll(out.filePath("run.sh.txt")), QByteArray("echo"));
}

QTEST_MAIN(tst_NodeExport)
#include "tst_node_export.moc"
