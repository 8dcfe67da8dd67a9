// The two file forms of the table engine: round trips, escaping, atomic
// replacement and refusal of damaged or foreign files.

#include "table/client_dataset.h"
#include "table/sqlite_file.h"
#include "table/xml_packet.h"

#include <QBuffer>
#include <QDomDocument>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using bw::dataset::ClientDataSet;
using bw::dataset::DataSetError;
using bw::dataset::FieldDef;
using bw::dataset::FieldType;
using bw::dataset::FileAccessError;
using bw::dataset::FileFormatError;

namespace {

void defineNotes(ClientDataSet &table)
{
    table.addFieldDef({"ID", FieldType::Integer, 0, true});
    table.addFieldDef({"Parent", FieldType::Integer, 0, true});
    table.addFieldDef({"Name", FieldType::String, 200, true});
    table.addFieldDef({"Description", FieldType::Memo, 32765, false});
    table.addIndexDef("idxIDAsc", "ID");
}

struct Record
{
    QVariant id, parent, name, description;
};

QByteArray allBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

QList<Record> fixtureRecords()
{
    return {
        {0, -1, QString::fromUtf8("Grüße, ünïcödé — 日本語 😀"), QByteArray("{\\rtf1 plain}")},
        {1, 0, QString("Quotes \" & <tags> 'apostrophe'"),
         QString("line1\nline2\r\n\ttabbed").toUtf8()},
        {2, 0, QString(""), QByteArray("")}, // empty, not null
        {3, 2, QString(" "), QVariant()},    // null description
        {4, 4, QString(200, QChar(0x00E9)), QByteArray(300000, 'x')},
        {-2147483647 - 1, 2147483647, QString("extremes"), QByteArray("a\0b", 3)},
    };
}

void fill(ClientDataSet &table, const QList<Record> &records)
{
    for (const Record &r : records) {
        table.append();
        table.setFieldValue("ID", r.id);
        table.setFieldValue("Parent", r.parent);
        table.setFieldValue("Name", r.name);
        table.setFieldValue("Description", r.description);
        table.post();
    }
}

void compareWith(ClientDataSet &table, const QList<Record> &records)
{
    QCOMPARE(table.recordCount(), records.size());
    table.first();
    for (const Record &r : records) {
        QCOMPARE(table.fieldValue("ID"), r.id);
        QCOMPARE(table.fieldValue("Parent"), r.parent);
        QCOMPARE(table.fieldValue("Name").toString(), r.name.toString());
        QCOMPARE(table.isNull("Description"), r.description.isNull());
        QCOMPARE(table.asBytes("Description"), r.description.toByteArray());
        table.next();
    }
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void runSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

const char kGoodPacket[] =
    "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"ID\" fieldtype=\"i4\" required=\"true\"/>"
    "<FIELD attrname=\"Parent\" fieldtype=\"i4\" required=\"true\"/>"
    "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"200\" required=\"true\"/>"
    "<FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\" WIDTH=\"32765\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>"
    "<ROW ID=\"0\" Parent=\"-1\" Name=\"a\" Description=\"x!y\"/></ROWDATA></DATAPACKET>";

} // namespace

class tst_DatasetFiles : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ClientDataSet> m_table;

    QString path(const QString &name) const { return m_dir->filePath(name); }

    // A valid binary file with the fixture, written by the engine.
    QString writeFixture(const QString &name)
    {
        fill(*m_table, fixtureRecords());
        m_table->saveToFile(path(name), ClientDataSet::fileFormatForName(name));
        return path(name);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_table = std::make_unique<ClientDataSet>();
        defineNotes(*m_table);
        m_table->createDataSet();
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("expectedStart");
        QTest::newRow("binary") << "notes.cds" << int(ClientDataSet::FileFormat::Binary)
                                << QByteArray("SQLite format 3");
        QTest::newRow("xml asked")
            << "notes.cds" << int(ClientDataSet::FileFormat::Xml) << QByteArray("<?xml");
        // The form asked is the form written, whatever the name says.
        QTest::newRow("binary asked, .XML path")
            << "notes.XmL" << int(ClientDataSet::FileFormat::Binary)
            << QByteArray("SQLite format 3");
    }

    void roundTrip()
    {
        QFETCH(QString, fileName);
        QFETCH(int, format);
        QFETCH(QByteArray, expectedStart);
        QList<Record> records = fixtureRecords();
        records.append({7, 0, QString("binary memo"), allBytes()});
        // Names XML cannot carry as they are go out escaped (see below).
        records.append({8, 0, QString("run.sh") + QChar(0) + ".txt", QVariant()});
        records.append({9, 0, QString("bell\x07 back\\slash \\x00"), QVariant()});
        fill(*m_table, records);
        m_table->saveToFile(path(fileName), ClientDataSet::FileFormat(format));
        QVERIFY(readAll(path(fileName)).startsWith(expectedStart));

        ClientDataSet loaded;
        defineNotes(loaded);
        loaded.loadFromFile(path(fileName));
        QCOMPARE(loaded.changeCount(), 0);
        QCOMPARE(loaded.state(), ClientDataSet::State::Browse);
        compareWith(loaded, records);
        QCOMPARE(loaded.fieldDef("Name").size, 200);
        QVERIFY(loaded.fieldDef("Name").required);
    }

    void binaryFileKeepsDefinitions()
    {
        ClientDataSet table;
        table.addFieldDef({"Key", FieldType::Integer, 0, false});
        table.addFieldDef({"Odd \"name\"", FieldType::String, 5, true});
        table.addIndexDef("idxBoth", "Key;Odd \"name\"", true);
        table.createDataSet();
        table.saveToFile(path("defs.cds"));
        ClientDataSet loaded; // no definitions of its own: takes the file's
        loaded.loadFromFile(path("defs.cds"));
        QCOMPARE(loaded.fieldDefs(), table.fieldDefs());
        QCOMPARE(loaded.indexDefs(), table.indexDefs());
        loaded.setIndexName("idxBoth");
    }

    void xmlEscapingSurvivesStandardParser()
    {
        fill(*m_table, fixtureRecords());
        m_table->saveToFile(path("packet.xml"), ClientDataSet::FileFormat::Xml);
        QDomDocument document;
        const auto parsed = document.setContent(readAll(path("packet.xml")));
        QVERIFY(parsed);
        const QDomElement root = document.documentElement();
        QCOMPARE(root.tagName(), QString("DATAPACKET"));
        QCOMPARE(root.attribute("Version"), QString("2.0"));
        const QDomNodeList fields = root.elementsByTagName("FIELD");
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields.at(0).toElement().attribute("fieldtype"), QString("i4"));
        QCOMPARE(fields.at(2).toElement().attribute("WIDTH"), QString("200"));
        QVERIFY(!fields.at(2).toElement().hasAttribute("ESCAPE")); // no name needs it
        QCOMPARE(fields.at(3).toElement().attribute("fieldtype"), QString("bin.hex"));
        // "a\0b" in the last record turns the memo field to base64
        QCOMPARE(fields.at(3).toElement().attribute("SUBTYPE"), QString("Binary"));
        const QDomNodeList rows = root.elementsByTagName("ROW");
        QCOMPARE(rows.size(), fixtureRecords().size());
        const QDomElement second = rows.at(1).toElement();
        QCOMPARE(second.attribute("Name"), fixtureRecords()[1].name.toString());
        QCOMPARE(rows.at(0).toElement().attribute("Name"), fixtureRecords()[0].name.toString());
        QVERIFY(!rows.at(3).toElement().hasAttribute("Description"));
        QVERIFY(rows.at(2).toElement().hasAttribute("Description"));
    }

    void xmlEscapesNamesXmlCannotCarry()
    {
        // Given names with NUL and other control characters, U+FFFE and
        // backslashes, when the table is saved in XML form, then the Name
        // field is written escaped, any XML parser reads the file, and both
        // readers give every name back as it was.
        const QList<QByteArray> names = {QByteArray("run.sh\0.txt", 11),
                                         "bell\x07\x1F\x01",
                                         "back\\slash \\x00 \\\\",
                                         "\xEF\xBF\xBE U+FFFE",
                                         QByteArray("NUL last \xC3\xA9\0", 12),
                                         "tab\tline\nreturn\r",
                                         "plain"};
        int id = 0;
        for (const QByteArray &name : names) {
            m_table->append();
            m_table->setFieldValue("ID", id++);
            m_table->setFieldValue("Parent", -1);
            m_table->setFieldValue("Name", name);
            m_table->post();
        }
        m_table->saveToFile(path("escaped.xml"), ClientDataSet::FileFormat::Xml);
        const QByteArray xml = readAll(path("escaped.xml"));
        QVERIFY(xml.contains(
            "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"200\" ESCAPE=\"\\\" "
            "required=\"true\"/>"));
        QVERIFY(xml.contains("Name=\"run.sh\\x00.txt\""));
        QVERIFY(xml.contains("Name=\"back\\\\slash \\\\x00 \\\\\\\\\""));
        QVERIFY(xml.contains("Name=\"tab&#9;line&#10;return&#13;\""));
        QDomDocument document;
        QVERIFY(bool(document.setContent(xml)));
        QCOMPARE(document.elementsByTagName("ROW").at(1).toElement().attribute("Name"),
                 QString("bell\\x07\\x1F\\x01"));
        QCOMPARE(document.elementsByTagName("ROW").at(6).toElement().attribute("Name"),
                 QString("plain"));

        for (const bool fast : {true, false}) {
            bw::dataset::TableContent content;
            if (fast) {
                const auto read = bw::dataset::readXmlPacketFast(xml.constData(), xml.size(),
                                                                 QStringLiteral("x"));
                QVERIFY(read);
                content = *read;
            } else {
                QByteArray copy = xml;
                QBuffer buffer(&copy); // not a file: the full reader alone
                QVERIFY(buffer.open(QIODevice::ReadOnly));
                content = bw::dataset::readXmlPacket(buffer, QStringLiteral("x"));
            }
            QCOMPARE(content.rows.size(), size_t(names.size()));
            for (qsizetype i = 0; i < names.size(); ++i)
                QCOMPARE(content.rows[size_t(i)].cells[2].data, names[i]);
        }
        ClientDataSet loaded;
        defineNotes(loaded);
        loaded.loadFromFile(path("escaped.xml"));
        loaded.first();
        for (const QByteArray &name : names) {
            QCOMPARE(loaded.asBytes("Name"), name);
            loaded.next();
        }
        // Saved again, the file is the same.
        loaded.saveToFile(path("again.xml"), ClientDataSet::FileFormat::Xml);
        QCOMPARE(readAll(path("again.xml")), xml);
    }

    void xmlRefusesStringsThatAreNotUtf8()
    {
        // Only a program using the engine can store such bytes in a string
        // field; the XML form holds text, so the save fails naming the
        // field and the record, and leaves the old file.
        writeAll(path("old.xml"), "old content");
        fill(*m_table, fixtureRecords());
        m_table->edit();
        m_table->setFieldValue("Name", QByteArray("not UTF-8 \xC3\x28"));
        m_table->post();
        try {
            m_table->saveToFile(path("old.xml"), ClientDataSet::FileFormat::Xml);
            QFAIL("saved");
        } catch (const DataSetError &error) {
            QCOMPARE(error.message(),
                     QString("Field 'Name' of record %1 holds bytes that are not UTF-8 text and "
                             "cannot be saved in XML form")
                         .arg(m_table->recNo()));
        }
        QCOMPARE(readAll(path("old.xml")), QByteArray("old content"));
    }

    void xmlTextMemoIsReadableText()
    {
        m_table->append();
        m_table->setFieldValue("ID", 1);
        m_table->setFieldValue("Parent", 1);
        m_table->setFieldValue("Name", "n");
        m_table->setFieldValue("Description", QByteArray("a < b & \"c\"\r\n\td"));
        m_table->post();
        m_table->saveToFile(path("text.xml"), ClientDataSet::FileFormat::Xml);
        const QByteArray xml = readAll(path("text.xml"));
        QVERIFY(xml.contains("SUBTYPE=\"Text\""));
        QVERIFY(xml.contains("Description=\"a &lt; b &amp; &quot;c&quot;&#13;&#10;&#9;d\""));
        QDomDocument document;
        QVERIFY(bool(document.setContent(xml)));
        QCOMPARE(document.elementsByTagName("ROW").at(0).toElement().attribute("Description"),
                 QString("a < b & \"c\"\r\n\td"));
    }

    void loadClosesFirstAndHoldsNoChanges()
    {
        const QString file = writeFixture("a.cds");
        QCOMPARE(m_table->changeCount(), fixtureRecords().size());
        QSignalSpy closes(m_table.get(), &ClientDataSet::beforeClose);
        QSignalSpy opens(m_table.get(), &ClientDataSet::afterOpen);
        m_table->loadFromFile(file);
        QCOMPARE(closes.count(), 1);
        QCOMPARE(opens.count(), 1);
        QCOMPARE(m_table->changeCount(), 0);
        QCOMPARE(m_table->recNo(), 1);
        QVERIFY(!m_table->undoLastChange());
    }

    // Every refusal names the file and says why.
    void loadRequiresDefinedFields_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing field") << "ALTER TABLE records DROP COLUMN \"Description\";"
                                          "DELETE FROM fields WHERE name = 'Description';"
                                       << "field 'Description' is missing";
        QTest::newRow("other type") << "UPDATE fields SET type = 'memo' WHERE name = 'Name';"
                                    << "field 'Name' has the wrong type";
        QTest::newRow("invalid width") << "UPDATE fields SET size = 0 WHERE name = 'Name';"
                                       << "field 'Name' has an invalid width";
        QTest::newRow("index on unknown field")
            << "UPDATE indexes SET fields = 'Nope' WHERE name = 'idxIDAsc';"
            << "index 'idxIDAsc' names an unknown field";
        QTest::newRow("field defined twice")
            << "CREATE TABLE f2 AS SELECT * FROM fields; DROP TABLE fields;"
               "CREATE TABLE fields (position INTEGER PRIMARY KEY, name TEXT NOT NULL,"
               " type TEXT NOT NULL, size INTEGER NOT NULL, required INTEGER NOT NULL);"
               "INSERT INTO fields SELECT * FROM f2; DROP TABLE f2;"
               "UPDATE fields SET name = 'ID' WHERE name = 'Parent';"
            << "field 'ID' is defined twice";
    }

    void loadRequiresDefinedFields()
    {
        QFETCH(QString, sql);
        QFETCH(QString, reason);
        const QString file = writeFixture("a.cds");
        const QString message = "The file " + file + " is not a notes file: " + reason;
        runSql(file, sql.toUtf8().constData());
        const auto defsBefore = m_table->fieldDefs();
        try {
            m_table->loadFromFile(file);
            QFAIL("loaded");
        } catch (const FileFormatError &error) {
            QCOMPARE(error.message(), message);
        }
        QVERIFY(!m_table->isActive());
        QCOMPARE(m_table->fieldDefs(), defsBefore);
    }

    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("badField"); // a field name XML cannot carry, or empty
        QTest::newRow("folder missing") << "missing/notes.cds"
                                        << "";
        QTest::newRow("target is a folder") << "folder"
                                            << "";
        QTest::newRow("unwritable XML field name") << "old.xml" << QString("Bad name");
        QTest::newRow("read-only folder") << "ro/notes.cds"
                                          << "";
        QTest::newRow("read-only file") << "rofile.cds"
                                        << "";
    }

    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, badField);
        QVERIFY(QDir(m_dir->path()).mkdir("folder"));
        QVERIFY(QDir(m_dir->path()).mkdir("ro"));
        writeAll(path("ro/notes.cds"), "old content");
        writeAll(path("old.xml"), "old content");
        writeAll(path("rofile.cds"), "old content");
        QFile::setPermissions(path("rofile.cds"), QFile::ReadOwner | QFile::ReadGroup);
        if (target.startsWith("ro/")) {
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders");
            QFile::setPermissions(path("ro"), QFile::ReadOwner | QFile::ExeOwner);
        }
        if (!badField.isEmpty()) {
            m_table->close();
            m_table->addFieldDef({badField, FieldType::Integer, 0, false});
            m_table->createDataSet();
        }
        fill(*m_table, fixtureRecords());
        const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden);
        QVERIFY_THROWS_EXCEPTION(
            DataSetError,
            m_table->saveToFile(path(target), ClientDataSet::fileFormatForName(target)));
        QFile::setPermissions(path("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QFileInfo(path(target)).isFile())
            QCOMPARE(readAll(path(target)), QByteArray("old content"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(m_table->recordCount(), fixtureRecords().size());
    }

    void saveReplacesFileAndKeepsPermissions()
    {
        writeAll(path("n.cds"), "old");
        QFile::setPermissions(path("n.cds"), QFile::ReadOwner | QFile::WriteOwner);
        fill(*m_table, fixtureRecords());
        m_table->saveToFile(path("n.cds"));
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(path("n.cds")).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QVERIFY(readAll(path("n.cds")).startsWith("SQLite format 3"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"n.cds"});
    }

    void fullDiskNamesTheFileAndKeepsIt_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("binary") << "n.cds" << QString::fromLocal8Bit(std::strerror(EFBIG));
        QTest::newRow("XML") << "n.xml" << QString::fromLocal8Bit(std::strerror(EFBIG));
    }

    void fullDiskNamesTheFileAndKeepsIt()
    {
        // Given a disk that takes no more than 64 KB per file (a file size
        // limit stands in for a full disk), when a larger table is saved,
        // then the error names the file being saved, not its temporary file,
        // and the old file stays with nothing left beside it.
        QFETCH(QString, name);
        QFETCH(QString, reason);
        writeAll(path(name), "old content");
        fill(*m_table, fixtureRecords());
        m_table->last();
        m_table->edit();
        m_table->setFieldValue("Description", QByteArray(256 * 1024, 'x'));
        m_table->post();
        struct rlimit saved;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = 64 * 1024;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        QString message;
        try {
            m_table->saveToFile(path(name), ClientDataSet::fileFormatForName(name));
        } catch (const FileAccessError &error) {
            message = error.message();
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::signal(SIGXFSZ, oldHandler);
        QCOMPARE(message, "Cannot write the file " + path(name) + ": " + reason);
        QCOMPARE(readAll(path(name)), QByteArray("old content"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    void saveRemovesTempsOfKilledSaves()
    {
        // Given the leftovers of saves that were killed (temporary files and
        // a journal) and the temporary file of a save still running (locked),
        // when a save of the same file succeeds, then only the leftovers go.
        writeAll(path("n.cds"), "old");
        const QStringList abandoned{".n.cds.a1B2c3", ".n.cds.a1B2c3-journal", ".n.cds.Zz9yX8",
                                    ".n.cds.gone01-journal"};
        const QStringList kept{".n.cds.Run123", ".n.cds.notes", ".m.cds.a1B2c3", "n.cds.a1B2c3"};
        for (const QString &name : abandoned + kept)
            writeAll(path(name), "partial");
        const int running = ::open(QFile::encodeName(path(".n.cds.Run123")).constData(), O_RDONLY);
        QVERIFY(running >= 0);
        QCOMPARE(::flock(running, LOCK_EX), 0);
        fill(*m_table, fixtureRecords());
        m_table->saveToFile(path("n.cds"));
        ::close(running);
        QStringList expected = kept + QStringList{"n.cds"};
        expected.sort();
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    }

    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("empty file") << "empty";
        QTest::newRow("random bytes") << "random";
        QTest::newRow("truncated binary") << "truncate";
        QTest::newRow("damaged pages") << "scribble";
        QTest::newRow("sqlite header only") << "header";
        QTest::newRow("wrong magic") << "sql:PRAGMA application_id = 1234;";
        QTest::newRow("wrong version") << "sql:PRAGMA user_version = 2;";
        QTest::newRow("unknown field type")
            << "sql:UPDATE fields SET type = 'float' WHERE position = 0;";
        QTest::newRow("text in integer field")
            << "sql:UPDATE records SET \"ID\" = 'seven' WHERE position = 0;";
        QTest::newRow("integer out of range")
            << "sql:UPDATE records SET \"ID\" = 4294967296 WHERE position = 0;";
        QTest::newRow("string longer than width")
            << "sql:UPDATE records SET \"Name\" = printf('%.*c', 201, 'x') WHERE position = 0;";
        QTest::newRow("number in memo field")
            << "sql:UPDATE records SET \"Description\" = 3.5 WHERE position = 0;";
        QTest::newRow("records table missing") << "sql:DROP TABLE records;";
        QTest::newRow("records is a view")
            << "sql:DROP TABLE records; CREATE VIEW records AS SELECT 1;";
        QTest::newRow("columns out of order")
            << "sql:UPDATE fields SET position = position + 10 WHERE name = 'ID';";
        QTest::newRow("absurd field size")
            << "sql:UPDATE fields SET size = 1e12 WHERE name = 'Name';";
        QTest::newRow("index on unknown field")
            << "sql:UPDATE indexes SET fields = 'Nope' WHERE position = 0;";
        QTest::newRow("malformed xml") << "xml:<DATAPACKET Version=\"2.0\"><METADATA>";
        QTest::newRow("xml not a packet") << "xml:<html><body/></html>";
        QTest::newRow("xml entity bomb")
            << "xml:<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\">"
               "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><DATAPACKET>&b;</DATAPACKET>";
        QTest::newRow("xml wrong field type") << "xmlreplace:i4|r8";
        QTest::newRow("xml unknown row field") << "xmlreplace:Name=\"a\"|Nmae=\"a\"";
        QTest::newRow("xml integer text") << "xmlreplace:ID=\"0\"|ID=\"zero\"";
        QTest::newRow("xml integer overflow") << "xmlreplace:ID=\"0\"|ID=\"99999999999\"";
        QTest::newRow("xml absurd width") << "xmlreplace:WIDTH=\"200\"|WIDTH=\"99999999999\"";
        QTest::newRow("xml missing field")
            << "xmlreplace:<FIELD attrname=\"Name\"|<FIELD attrname=\"Title\"";
        QTest::newRow("xml change log row") << "xmlreplace:<ROW |<ROW RowState=\"4\" ";
        QTest::newRow("xml bad base64") << "xmlreplace:SUBTYPE=\"Text\"|SUBTYPE=\"Binary\"";
        QTest::newRow("xml trailing element") << "xmlreplace:</DATAPACKET>|</DATAPACKET><x/>";
        QTest::newRow("xml truncated") << "xmltruncate";
    }

    void damagedFilesAreRefused()
    {
        QFETCH(QString, damage);
        const QString file = path("bad.cds");
        if (damage == "empty") {
            writeAll(file, {});
        } else if (damage == "random") {
            QByteArray bytes(4096, '\0');
            QRandomGenerator generator(42);
            for (char &c : bytes)
                c = char(generator.bounded(256));
            writeAll(file, bytes);
        } else if (damage.startsWith("xml:")) {
            writeAll(file, damage.mid(4).toUtf8());
        } else if (damage.startsWith("xmlreplace:")) {
            const QStringList parts = damage.mid(11).split('|');
            QByteArray packet(kGoodPacket);
            QVERIFY(packet.contains(parts[0].toUtf8()));
            writeAll(file, packet.replace(parts[0].toUtf8(), parts[1].toUtf8()));
        } else if (damage == "xmltruncate") {
            writeAll(file, QByteArray(kGoodPacket).left(int(sizeof kGoodPacket) / 2));
        } else {
            writeFixture("bad.cds");
            const QByteArray good = readAll(file);
            if (damage == "truncate")
                writeAll(file, good.left(good.size() / 2));
            else if (damage == "header")
                writeAll(file, good.left(100));
            else if (damage == "scribble")
                writeAll(file, good.left(4096) + QByteArray(good.size() - 4096, '\xA5'));
            else
                runSql(file, damage.mid(4).toUtf8().constData());
        }
        // The packet itself must load, so each row tests only its damage.
        writeAll(path("good.xml"), kGoodPacket);
        ClientDataSet probe;
        defineNotes(probe);
        probe.loadFromFile(path("good.xml"));
        QCOMPARE(probe.recordCount(), 1);

        ClientDataSet table;
        defineNotes(table);
        QVERIFY_THROWS_EXCEPTION(FileFormatError, table.loadFromFile(file));
        QVERIFY(!table.isActive());
        QCOMPARE(table.recordCount(), 0);
    }

    void mutatedFilesLoadOrFailCleanly_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("binary") << "m.cds";
        QTest::newRow("xml") << "m.xml";
    }

    // Given many truncations and byte flips of a valid file, when each is loaded,
    // then it loads or raises a table error: no crash, no hang, no other exception.
    void mutatedFilesLoadOrFailCleanly()
    {
        QFETCH(QString, fileName);
        const QString file = writeFixture(fileName);
        const QByteArray good = readAll(file);
        QRandomGenerator generator(2024);
        int refused = 0;
        for (int round = 0; round < 120; ++round) {
            QByteArray bad = good;
            if (round % 3 == 0) {
                bad.truncate(int(generator.bounded(good.size())));
            } else {
                for (int flips = 0; flips < 1 + round % 5; ++flips)
                    bad[int(generator.bounded(good.size()))] = char(generator.bounded(256));
            }
            writeAll(file, bad);
            ClientDataSet table;
            defineNotes(table);
            try {
                table.loadFromFile(file);
                QVERIFY(table.isActive());
            } catch (const DataSetError &) {
                QVERIFY(!table.isActive());
                ++refused;
            }
        }
        QVERIFY(refused > 0);
    }

    void missingFileIsAccessError()
    {
        QVERIFY_THROWS_EXCEPTION(FileAccessError, m_table->loadFromFile(path("none.cds")));
        QVERIFY(!m_table->isActive());
    }
};

QTEST_GUILESS_MAIN(tst_DatasetFiles)
#include "tst_dataset_files.moc"
