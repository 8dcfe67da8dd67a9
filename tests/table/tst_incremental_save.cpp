// Saves of the binary form onto the file a table was loaded from: only the
// changed records are written, in place; nothing at all when nothing changed;
// memo values left in the file stay right under undo and Save As; a file
// changed on disk since loading is written whole.

#include "outside_change.h"
#include "table/client_dataset.h"
#include "table/sqlite_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

using bw::dataset::ClientDataSet;
using bw::dataset::FieldType;
using Format = ClientDataSet::FileFormat;

namespace {

constexpr int kRecords = 1000;
constexpr int kPageSize = 16384;

QByteArray descriptionOf(int i)
{
    return "{\\rtf1 item " + QByteArray::number(i) + ' ' +
           QByteArray(900 + i % 50, char('a' + i % 26)) + "}";
}

void define(ClientDataSet &table)
{
    table.addFieldDef({"ID", FieldType::Integer, 0, true});
    table.addFieldDef({"Name", FieldType::String, 200, true});
    table.addFieldDef({"Description", FieldType::Memo, 32765, false});
}

void fill(ClientDataSet &table)
{
    define(table);
    table.createDataSet();
    for (int i = 0; i < kRecords; ++i) {
        table.append();
        table.setFieldValue("ID", i);
        table.setFieldValue("Name", QStringLiteral("Item %1").arg(i));
        if (i % 7 != 3) // some descriptions are null
            table.setBytes("Description", descriptionOf(i));
        table.post();
    }
    table.mergeChangeLog();
}

// ID, Name, null flag and bytes of the description, in stored order.
QStringList contentOf(ClientDataSet &table)
{
    QStringList rows;
    for (table.first(); !table.eof(); table.next()) {
        rows.append(QStringLiteral("%1|%2|%3|%4")
                        .arg(table.asInteger("ID"))
                        .arg(table.asString("Name"))
                        .arg(table.isNull("Description") ? "null" : "set")
                        .arg(QString::fromLatin1(table.asBytes("Description"))));
    }
    return rows;
}

QStringList contentOfFile(const QString &path)
{
    ClientDataSet::setOnDemandMinimumSize(qint64(1) << 40); // read whole
    ClientDataSet table;
    define(table);
    table.loadFromFile(path);
    ClientDataSet::setOnDemandMinimumSize(0);
    return contentOf(table);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct FileIdentity
{
    ino_t inode = 0;
    qint64 mtimeNs = 0;
};

FileIdentity identityOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {info.st_ino, qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// Sets the file's times back an hour, so that any write shows.
void ageFile(const QString &path)
{
    struct stat info;
    QVERIFY(::stat(QFile::encodeName(path).constData(), &info) == 0);
    struct utimbuf times
    {
        info.st_atime - 3600, info.st_mtime - 3600
    };
    QVERIFY(::utime(QFile::encodeName(path).constData(), &times) == 0);
}

int changedPages(const QByteArray &before, const QByteArray &after)
{
    int changed = 0;
    const qsizetype size = std::max(before.size(), after.size());
    for (qsizetype at = 0; at < size; at += kPageSize) {
        if (before.mid(at, kPageSize) != after.mid(at, kPageSize))
            ++changed;
    }
    return changed;
}

bool locateId(ClientDataSet &table, int id)
{
    return table.locate("ID", id);
}

// Another program's file that replaces the table's: one record of its own.
void writeOtherFile(const QString &path)
{
    ClientDataSet other;
    define(other);
    other.createDataSet();
    other.append();
    other.setFieldValue("ID", 1);
    other.setFieldValue("Name", QStringLiteral("someone else's"));
    other.post();
    other.saveToFile(path, Format::Binary);
}

void changeByAnotherProgram(const QString &path, const QString &change)
{
    bw::test::changeByAnotherProgram(path, change, writeOtherFile);
}

} // namespace

class tst_IncrementalSave : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("notes %1.cds").arg(++m_count));
        ClientDataSet source;
        fill(source);
        source.saveToFile(m_path, Format::Binary);
        // Every memo of the files loaded here stays in the file until needed.
        ClientDataSet::setOnDemandMinimumSize(0);
        m_table = std::make_unique<ClientDataSet>();
        define(*m_table);
        m_table->loadFromFile(m_path);
    }

    void cleanup()
    {
        m_table.reset();
        ClientDataSet::setOnDemandMinimumSize(4 << 20);
    }

    void saveWritesOnlyTheChangedRecords_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("name") << "name";
        QTest::newRow("description") << "description";
        QTest::newRow("append") << "append";
        QTest::newRow("insert in the middle") << "insert";
        QTest::newRow("delete") << "delete";
    }

    // Given a loaded file, when one record changes and the table is saved onto
    // it, then the file is changed in place, in no more pages than the record's
    // own and SQLite's bookkeeping, and holds the table's content.
    void saveWritesOnlyTheChangedRecords()
    {
        QFETCH(QString, change);
        ClientDataSet &table = *m_table;
        QVERIFY(locateId(table, 300));
        if (change == "name" || change == "description") {
            table.edit();
            if (change == "name")
                table.setFieldValue("Name", QStringLiteral("Renamed é"));
            else
                table.setBytes("Description", "{\\rtf1 new text}");
            table.post();
        } else if (change == "append" || change == "insert") {
            change == "append" ? table.append() : table.insert();
            table.setFieldValue("ID", 5000);
            table.setFieldValue("Name", QStringLiteral("New"));
            table.setBytes("Description", "{\\rtf1 new item}");
            table.post();
        } else {
            table.deleteRecord();
        }
        const QStringList expected = contentOf(table);
        const QByteArray before = readAll(m_path);
        const FileIdentity identity = identityOf(m_path);
        table.mergeChangeLog();
        table.saveToFile(m_path, Format::Binary);

        const QByteArray after = readAll(m_path);
        QCOMPARE(identityOf(m_path).inode, identity.inode);
        QVERIFY(before.size() / kPageSize > 40);
        const int changed = changedPages(before, after);
        QVERIFY2(changed <= 4, qPrintable(QStringLiteral("%1 pages changed").arg(changed)));
        QVERIFY(!QFile::exists(m_path + "-journal"));
        QCOMPARE(contentOfFile(m_path), expected);
        QCOMPARE(contentOf(table), expected);
    }

    // Given records inserted one after another at one place, when saved each
    // time, then the stored order holds even once the positions between the
    // neighbours run out (the file is then written whole).
    void manyInsertsAtOnePlaceKeepTheOrder()
    {
        ClientDataSet &table = *m_table;
        QVERIFY(locateId(table, 10));
        table.next();
        for (int i = 0; i < 40; ++i) {
            table.insert();
            table.setFieldValue("ID", 10000 + i);
            table.setFieldValue("Name", QStringLiteral("Inserted %1").arg(i));
            table.post();
            table.saveToFile(m_path, Format::Binary);
        }
        QCOMPARE(contentOfFile(m_path), contentOf(table));
    }

    void nothingChangedWritesNothing_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("no change") << "";
        QTest::newRow("a change undone") << "undo";
        QTest::newRow("all changes cancelled") << "cancel";
        QTest::newRow("a second save") << "saved";
        QTest::newRow("descriptions read") << "read";
    }

    // Given a table that holds what its file holds, when it is saved onto the
    // file, then nothing is written and the file keeps its time.
    void nothingChangedWritesNothing()
    {
        QFETCH(QString, before);
        ClientDataSet &table = *m_table;
        ageFile(m_path);
        table.loadFromFile(m_path);
        if (!before.isEmpty() && before != "read") {
            QVERIFY(locateId(table, 5));
            table.edit();
            table.setFieldValue("Name", QStringLiteral("changed"));
            table.post();
            table.deleteRecord();
            if (before == "undo") {
                QVERIFY(table.undoLastChange());
                QVERIFY(table.undoLastChange());
            } else if (before == "cancel") {
                table.cancelUpdates();
            } else {
                table.saveToFile(m_path, Format::Binary);
            }
        }
        if (before == "read")
            contentOf(table);
        const FileIdentity identity = identityOf(m_path);
        const QByteArray bytes = readAll(m_path);
        table.saveToFile(m_path, Format::Binary);
        QCOMPARE(identityOf(m_path).mtimeNs, identity.mtimeNs);
        QCOMPARE(identityOf(m_path).inode, identity.inode);
        QCOMPARE(readAll(m_path), bytes);
    }

    // Given changes to records whose descriptions were never read, saved
    // onto the file while still in the change log, when they are undone one
    // by one (or all at once), then every record holds its old description,
    // also where the save wrote a new one over it, and saving writes that back.
    void undoRestoresDescriptionsNotYetRead_data()
    {
        QTest::addColumn<bool>("all");
        QTest::newRow("undo last change") << false;
        QTest::newRow("cancel updates") << true;
    }

    void undoRestoresDescriptionsNotYetRead()
    {
        QFETCH(bool, all);
        ClientDataSet &table = *m_table;
        const QStringList original = contentOfFile(m_path);
        QVERIFY(locateId(table, 20));
        table.edit();
        table.setFieldValue("Name", QStringLiteral("only the name"));
        table.post();
        QVERIFY(locateId(table, 21));
        table.edit();
        table.setBytes("Description", "{\\rtf1 replaced}");
        table.post();
        QVERIFY(locateId(table, 22));
        table.deleteRecord();
        QVERIFY(locateId(table, 40));
        table.edit();
        table.setFieldValue("Name", QStringLiteral("renamed, then deleted"));
        table.post();
        table.deleteRecord();
        table.saveToFile(m_path, Format::Binary); // the change log stays
        QCOMPARE(table.changeCount(), 5);
        if (all) {
            table.cancelUpdates();
        } else {
            while (table.undoLastChange()) {
            }
        }
        QCOMPARE(contentOf(table), original);
        table.saveToFile(m_path, Format::Binary);
        QCOMPARE(contentOfFile(m_path), original);
    }

    void saveAsWritesEveryDescription_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("binary") << int(Format::Binary);
        QTest::newRow("XML") << int(Format::Xml);
    }

    // Given a loaded file whose descriptions were never read, when the table
    // is saved as another file, then that file holds every description, and
    // a later save still writes the table's own file in place.
    void saveAsWritesEveryDescription()
    {
        QFETCH(int, format);
        ClientDataSet &table = *m_table;
        const QStringList original = contentOfFile(m_path);
        const QString other =
            m_dir.filePath(format == int(Format::Xml) ? "other.xml" : "other.cds");
        table.saveToFile(other, Format(format));
        QCOMPARE(contentOfFile(other), original);

        const FileIdentity identity = identityOf(m_path);
        QVERIFY(locateId(table, 7));
        table.edit();
        table.setFieldValue("Name", QStringLiteral("after save as"));
        table.post();
        table.saveToFile(m_path, Format::Binary);
        QCOMPARE(identityOf(m_path).inode, identity.inode);
        QCOMPARE(contentOfFile(m_path), contentOf(table));
        QCOMPARE(contentOfFile(other), original);
    }

    void fileChangedOnDiskIsWrittenWhole_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("replaced by another file") << true;
        QTest::newRow("written in place") << false;
    }

    // Given a file changed on disk after the table loaded it, when the table
    // is saved onto it, then the file is written whole (a new file renamed
    // over it) with the table's content, descriptions not yet read included,
    // and the next save is in place again.
    void fileChangedOnDiskIsWrittenWhole()
    {
        QFETCH(bool, replaced);
        ClientDataSet &table = *m_table;
        const QStringList original = contentOfFile(m_path);
        if (replaced) {
            changeByAnotherProgram(m_path, "replace");
        } else {
            ageFile(m_path); // its time changes as any write's would
        }
        const FileIdentity identity = identityOf(m_path);
        QVERIFY(locateId(table, 9));
        table.edit();
        table.setFieldValue("Name", QStringLiteral("mine"));
        table.post();
        const QStringList expected = contentOf(table);
        QCOMPARE(expected.size(), original.size());
        table.saveToFile(m_path, Format::Binary);
        QVERIFY(identityOf(m_path).inode != identity.inode);
        QCOMPARE(contentOfFile(m_path), expected);

        const FileIdentity whole = identityOf(m_path);
        QVERIFY(locateId(table, 10));
        table.deleteRecord();
        table.saveToFile(m_path, Format::Binary);
        QCOMPARE(identityOf(m_path).inode, whole.inode);
        QCOMPARE(contentOfFile(m_path), contentOf(table));
    }

    void fileChangedByAnotherProgram_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("beforeFirstChange");
        QTest::addColumn<bool>("written");
        for (const char *target : {"own", "other.cds", "other.xml"}) {
            QTest::addRow("records deleted in place, %s", target)
                << "delete" << target << false << true;
            QTest::addRow("names and descriptions changed in place, %s", target)
                << "update" << target << false << true;
            QTest::addRow("replaced by rename, %s", target) << "replace" << target << false << true;
            QTest::addRow("removed, %s", target) << "remove" << target << false << true;
            QTest::addRow("changed in place before the first change, %s", target)
                << "update" << target << true << false;
            QTest::addRow("replaced before the first change, %s", target)
                << "replace" << target << true << true;
        }
    }

    // Given a table that changed one record of a loaded file whose other
    // descriptions stay in it, when another program changes the file and the
    // table is saved onto it or elsewhere, then the table's items are written
    // with the descriptions as loaded: a file replaced or removed still reads
    // as it was, and one changed in place after the table's first change is
    // read from the copy made at that change. Changed in place before, the
    // descriptions are gone and the save fails with FileChangedError, writing
    // nothing: never the table's names with the other program's descriptions.
    void fileChangedByAnotherProgram()
    {
        QFETCH(QString, change);
        QFETCH(QString, target);
        QFETCH(bool, beforeFirstChange);
        QFETCH(bool, written);
        ClientDataSet &table = *m_table;
        QStringList expected = contentOfFile(m_path);
        QVERIFY(locateId(table, 1));
        QCOMPARE(table.asBytes("Description"), descriptionOf(1)); // pages in SQLite's cache
        QVERIFY(locateId(table, 0));
        if (beforeFirstChange)
            changeByAnotherProgram(m_path, change);
        table.edit();
        table.setFieldValue("Name", QStringLiteral("mine"));
        table.setBytes("Description", "my words");
        table.post();
        expected[0] = QStringLiteral("0|mine|set|my words");

        if (!beforeFirstChange)
            changeByAnotherProgram(m_path, change);
        const QByteArray theirs = readAll(m_path);
        const QString path = target == "own"
                                 ? m_path
                                 : m_dir.filePath(QStringLiteral("%1 %2").arg(m_count).arg(target));
        const Format format = target.endsWith(".xml") ? Format::Xml : Format::Binary;
        if (written) {
            table.saveToFile(path, format);
            QCOMPARE(contentOfFile(path), expected);
            if (path != m_path)
                QCOMPARE(readAll(m_path), theirs);
            // A second save, in place on the file now written, keeps it whole.
            QVERIFY(locateId(table, 3));
            table.edit();
            table.setFieldValue("Name", QStringLiteral("again"));
            table.post();
            expected[3].replace(QRegularExpression("^3\\|[^|]*\\|"), "3|again|");
            table.saveToFile(path, format);
            QCOMPARE(contentOfFile(path), expected);
            return;
        }
        try {
            table.saveToFile(path, format);
            QFAIL("the table was saved");
        } catch (const bw::dataset::DataSetError &error) {
            QCOMPARE(error.message(), "Cannot open the file " + m_path +
                                          ": another program changed it while it was open");
            QVERIFY(dynamic_cast<const bw::dataset::FileChangedError *>(&error));
        }
        QCOMPARE(readAll(m_path), theirs);
        QVERIFY(path == m_path || !QFile::exists(path));
        QCOMPARE(table.changeCount(), 1);
        QCOMPARE(table.asString("Name"), QStringLiteral("mine"));
        // Nor does a description not yet read come from the other program's file.
        QVERIFY(locateId(table, 2));
        QVERIFY_THROWS_EXCEPTION(bw::dataset::FileChangedError, table.asBytes("Description"));
    }

    void fileCheckedOncePerOperation_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("every description read in one operation") << "read";
        QTest::newRow("saved whole as XML") << "xml";
        QTest::newRow("saved whole in binary form elsewhere") << "binary";
        QTest::newRow("saved in place after deleting a hundred records") << "in place";
    }

    // Given a table whose descriptions stay in its file, when one operation
    // reads all of them (or those of the records it deletes), then it looks
    // whether the file changed a few times in all, not once per description,
    // and reads every value right.
    void fileCheckedOncePerOperation()
    {
        QFETCH(QString, operation);
        ClientDataSet &table = *m_table;
        QStringList expected = contentOfFile(m_path);
        if (operation == "in place") {
            for (int i = 0; i < 100; ++i) {
                QVERIFY(locateId(table, 10 + 5 * i));
                table.deleteRecord();
            }
            expected.clear();
            for (const QString &row : contentOfFile(m_path)) {
                const int id = row.section('|', 0, 0).toInt();
                if (id < 10 || id >= 510 || id % 5 != 0)
                    expected.append(row);
            }
        }
        const quint64 before = bw::dataset::fileCheckCount();
        QString written = m_path;
        if (operation == "read") {
            bw::dataset::FileReadOperation reads(table);
            QCOMPARE(contentOf(table), expected);
            reads.finish();
        } else if (operation == "in place") {
            table.saveToFile(m_path, Format::Binary);
        } else {
            written = m_dir.filePath(operation == "xml" ? "copy.xml" : "copy.cds");
            table.saveToFile(written, operation == "xml" ? Format::Xml : Format::Binary);
        }
        const quint64 checks = bw::dataset::fileCheckCount() - before;
        QVERIFY2(checks <= 3, qPrintable(QString::number(checks)));
        QCOMPARE(contentOfFile(written), expected);
    }

    // Given a run of reads made one operation, when another program changes
    // the file in place part way, then the end of the operation says so:
    // values read since may be the other program's.
    void fileChangedDuringOneOperation()
    {
        ClientDataSet &table = *m_table;
        bw::dataset::FileReadOperation reads(table);
        table.first();
        QCOMPARE(table.asBytes("Description"), descriptionOf(0));
        changeByAnotherProgram(m_path, "update");
        try {
            for (table.next(); !table.eof(); table.next())
                table.asBytes("Description");
            reads.finish();
            QFAIL("the change went unnoticed");
        } catch (const bw::dataset::FileChangedError &error) {
            QCOMPARE(error.message(), "Cannot open the file " + m_path +
                                          ": another program changed it while it was open");
        }
        QVERIFY_THROWS_EXCEPTION(bw::dataset::FileChangedError, table.asBytes("Description"));
    }

    // Given a table whose descriptions stay in its file, when another
    // program cuts the file short, then reading a description it lost fails
    // with FileChangedError, alone or in one operation, and the process goes
    // on (the file is read through its memory map).
    void fileCutShortByAnotherProgram()
    {
        ClientDataSet &table = *m_table;
        QVERIFY(locateId(table, 1));
        QCOMPARE(table.asBytes("Description"), descriptionOf(1));
        QVERIFY(::truncate(QFile::encodeName(m_path).constData(), 4 * kPageSize) == 0);
        QVERIFY(locateId(table, 900));
        QVERIFY_THROWS_EXCEPTION(bw::dataset::FileChangedError, table.asBytes("Description"));
        QVERIFY_THROWS_EXCEPTION(bw::dataset::FileChangedError, [&] {
            bw::dataset::FileReadOperation reads(table);
            for (table.first(); !table.eof(); table.next())
                table.asBytes("Description");
            reads.finish();
        }());
    }

    // Given two tables that loaded one file, when one of them saves changes in
    // place, then the other still reads every description it did not see
    // changed, whole, from the file (its cache of old pages is dropped).
    void otherTableOfTheFileReadsOnAfterAnInPlaceSave()
    {
        const QStringList original = contentOfFile(m_path);
        ClientDataSet other;
        define(other);
        other.loadFromFile(m_path);
        QVERIFY(locateId(other, 1));
        QCOMPARE(other.asBytes("Description"), descriptionOf(1)); // its cache holds pages now

        ClientDataSet &table = *m_table;
        for (int id : {2, 501, 998}) {
            QVERIFY(locateId(table, id));
            table.edit();
            table.setBytes("Description", QByteArray(3000, 'z'));
            table.post();
        }
        table.saveToFile(m_path, Format::Binary);

        QStringList seen = contentOf(other);
        QCOMPARE(seen.size(), original.size());
        for (int i = 0; i < seen.size(); ++i) {
            if (i == 2 || i == 501 || i == 998)
                QVERIFY2(seen[i].endsWith(QString(3000, QLatin1Char('z'))),
                         qPrintable(seen[i].left(80)));
            else
                QCOMPARE(seen[i], original[i]);
        }
    }

    // Given a process that died inside a transaction after SQLite had begun to
    // write the file (its journal is hot), when the file is loaded, then the
    // journal is played back and the table holds the old content whole.
    void transactionCutShortIsRolledBackOnLoad()
    {
        const QStringList original = contentOfFile(m_path);
        const pid_t child = ::fork();
        if (child == 0) {
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(m_path).constData(), &db);
            // A tiny cache spills changed pages into the file before the commit.
            sqlite3_exec(db,
                         "PRAGMA cache_size=2; BEGIN;"
                         "UPDATE records SET \"Name\" = 'torn', \"Description\" = NULL;",
                         nullptr, nullptr, nullptr);
            ::_exit(0); // no commit, no rollback
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QFile journal(m_path + "-journal");
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QCOMPARE(journal.read(8), QByteArray("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8));
        journal.close();
        QVERIFY(readAll(m_path).contains("torn"));

        ClientDataSet table;
        define(table);
        table.loadFromFile(m_path);
        QCOMPARE(contentOf(table), original);
        QVERIFY(!QFile::exists(m_path + "-journal"));
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_count = 0;
    std::unique_ptr<ClientDataSet> m_table;
};

QTEST_GUILESS_MAIN(tst_IncrementalSave)
#include "tst_incremental_save.moc"
