// What the table engine does with names that are not plain notes files: it
// replaces only regular files, follows chains of symbolic links to their end,
// never blocks on a pipe or a device, refuses hostile XML in time linear in
// its size, and reads without writing anything.

#include "table/client_dataset.h"
#include "table/tag_scanner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using bw::dataset::ClientDataSet;
using bw::dataset::FieldType;
using bw::dataset::FileAccessError;
using bw::dataset::FileFormatError;
using bw::dataset::TagScanner;
using Format = ClientDataSet::FileFormat;

namespace {

void defineNotes(ClientDataSet &table)
{
    table.addFieldDef({"ID", FieldType::Integer, 0, true});
    table.addFieldDef({"Parent", FieldType::Integer, 0, true});
    table.addFieldDef({"Name", FieldType::String, 200, true});
    table.addFieldDef({"Description", FieldType::Memo, 32765, false});
}

void addRecord(ClientDataSet &table, int id, const QString &name)
{
    table.append();
    table.setFieldValue("ID", id);
    table.setFieldValue("Parent", -1);
    table.setFieldValue("Name", name);
    table.post();
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
    QCOMPARE(file.write(bytes), bytes.size());
}

mode_t fileType(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

// The names of a notes table's name column, in stored order.
QStringList names(ClientDataSet &table)
{
    QStringList result;
    for (table.first(); !table.eof(); table.next())
        result.append(table.asString("Name"));
    return result;
}

const QByteArray kPacketHead =
    "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"ID\" fieldtype=\"i4\" required=\"true\"/>"
    "<FIELD attrname=\"Parent\" fieldtype=\"i4\" required=\"true\"/>"
    "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"200\" required=\"true\"/>"
    "<FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\" WIDTH=\"32765\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>";
const QByteArray kPacketTail = "</ROWDATA></DATAPACKET>";

// ` a0="1" a1="1" ...`: `count` attributes.
QByteArray manyAttributes(int count)
{
    QByteArray attributes;
    attributes.reserve(count * 12);
    for (int i = 0; i < count; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"1\"";
    return attributes;
}

} // namespace

class tst_FileSafety : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ClientDataSet> m_table;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }

    // What a special file of this kind is made with; false when this user cannot.
    bool makeSpecial(const QString &kind, const QString &name)
    {
        const QByteArray native = QFile::encodeName(path(name));
        if (kind == "fifo")
            return ::mkfifo(native.constData(), 0644) == 0;
        if (kind == "folder")
            return QDir(m_dir->path()).mkdir(name);
        if (kind == "device")
            return ::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)) ==
                   0; // like /dev/null
        if (kind == "socket") {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            if (native.size() >= qsizetype(sizeof address.sun_path))
                return false;
            std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
            const bool bound =
                ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
            ::close(fd);
            return bound;
        }
        return false;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_table = std::make_unique<ClientDataSet>();
        defineNotes(*m_table);
        m_table->createDataSet();
        addRecord(*m_table, 0, "new content");
    }

    void onlyRegularFilesAreReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("format");
        QTest::newRow("pipe, binary") << "fifo" << int(Format::Binary);
        QTest::newRow("pipe, XML") << "fifo" << int(Format::Xml);
        QTest::newRow("folder") << "folder" << int(Format::Binary);
        QTest::newRow("device node") << "device" << int(Format::Xml);
        QTest::newRow("socket") << "socket" << int(Format::Binary);
    }

    // Given a name that is a pipe, folder, device or socket, when the table
    // is saved to it, then the save is refused naming it and it stays.
    void onlyRegularFilesAreReplaced()
    {
        QFETCH(QString, kind);
        QFETCH(int, format);
        if (!makeSpecial(kind, "special"))
            QSKIP("this user cannot make that kind of file here");
        const mode_t type = fileType(path("special"));
        const QStringList before = entries();
        for (const QString &name : {QString("special"), QString("link")}) {
            if (name == "link")
                QVERIFY(QFile::link(path("special"), path("link")));
            try {
                m_table->saveToFile(path(name), Format(format));
                QFAIL("saved");
            } catch (const FileAccessError &error) {
                QCOMPARE(error.message(),
                         "Cannot write the file " + path(name) + ": it is not a regular file");
            }
            QCOMPARE(fileType(path("special")), type);
        }
        QStringList expected = before + QStringList{"link"};
        expected.sort();
        QCOMPARE(entries(), expected); // no temporary file left
    }

    void saveFollowsTheWholeLinkChain_data()
    {
        QTest::addColumn<QString>("l1Target"); // where sub/l1 points
        QTest::addColumn<int>("format");
        QTest::newRow("relative links, binary") << "../real.cds" << int(Format::Binary);
        QTest::newRow("relative links, XML") << "../real.cds" << int(Format::Xml);
        QTest::newRow("absolute link") << "ABSOLUTE" << int(Format::Binary);
        QTest::newRow("dangling link") << "../new.cds" << int(Format::Binary);
    }

    // Given l2 -> sub/l1 -> real.cds, when the table is saved to l2, then
    // real.cds holds the new content and both links stay links.
    void saveFollowsTheWholeLinkChain()
    {
        QFETCH(QString, l1Target);
        QFETCH(int, format);
        if (l1Target == "ABSOLUTE")
            l1Target = path("real.cds");
        writeAll(path("real.cds"), "old content");
        QVERIFY(QDir(m_dir->path()).mkdir("sub"));
        QVERIFY(QFile::link(l1Target, path("sub/l1")));
        QVERIFY(QFile::link("sub/l1", path("l2")));
        m_table->saveToFile(path("l2"), Format(format));

        QCOMPARE(fileType(path("l2")), mode_t(S_IFLNK));
        QCOMPARE(fileType(path("sub/l1")), mode_t(S_IFLNK));
        const QString final = QDir(path("sub")).absoluteFilePath(l1Target);
        QCOMPARE(fileType(final), mode_t(S_IFREG));
        ClientDataSet loaded;
        defineNotes(loaded);
        loaded.loadFromFile(final);
        QCOMPARE(names(loaded), QStringList{"new content"});
        if (!final.endsWith("real.cds"))
            QCOMPARE(readAll(path("real.cds")), QByteArray("old content"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Hidden | QDir::Files).filter(".cds."),
                 QStringList());
    }

    void linkLoopIsRefused()
    {
        QVERIFY(QFile::link("l2", path("l1")));
        QVERIFY(QFile::link("l1", path("l2")));
        try {
            m_table->saveToFile(path("l1"), Format::Binary);
            QFAIL("saved");
        } catch (const FileAccessError &error) {
            QCOMPARE(error.message(), "Cannot write the file " + path("l1") + ": " +
                                          QString::fromLocal8Bit(std::strerror(ELOOP)));
        }
        QCOMPARE(fileType(path("l1")), mode_t(S_IFLNK));
    }

    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe without writer") << "fifo";
        QTest::newRow("link to a pipe") << "fifo-link";
        QTest::newRow("folder") << "folder";
        QTest::newRow("endless device") << "/dev/zero";
    }

    // Given a name that is no regular file, when it is loaded, then it is
    // refused at once (a pipe without a writer would block the open).
    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, kind);
        QString file = kind;
        if (kind.startsWith("fifo")) {
            QVERIFY(makeSpecial("fifo", "pipe"));
            file = path("pipe");
            if (kind == "fifo-link") {
                QVERIFY(QFile::link(file, path("link")));
                file = path("link");
            }
        } else if (kind == "folder") {
            QVERIFY(makeSpecial("folder", "folder.cds"));
            file = path("folder.cds");
        }
        ClientDataSet table;
        defineNotes(table);
        try {
            table.loadFromFile(file);
            QFAIL("loaded");
        } catch (const FileAccessError &error) {
            QCOMPARE(error.message(),
                     "Cannot open the file " + file + ": it is not a regular file");
        }
        QVERIFY(!table.isActive());
    }

    void hostileAttributeCountsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<QString>("reason");
        const QByteArray many = manyAttributes(100000);
        QTest::newRow("row with 100000 attributes")
            << kPacketHead + "<ROW ID=\"0\"" + many + "/>" + kPacketTail
            << "a row has more attributes than the table has fields (line 1)";
        QTest::newRow("row with one attribute too many")
            << kPacketHead +
                   "<ROW ID=\"0\" Parent=\"0\" Name=\"a\" Description=\"\" RowState=\"4\" x='1'/>" +
                   kPacketTail
            << "a row has more attributes than the table has fields (line 1)";
        QTest::newRow("field with 100000 attributes")
            << "<?xml version=\"1.0\"?>\n<DATAPACKET><METADATA><FIELDS>\n<FIELD" + many + "/>"
            << "an element has more than 32 attributes (line 3)";
        QTest::newRow("root with 100000 attributes")
            << "<DATAPACKET" + many + ">" + kPacketTail
            << "an element has more than 32 attributes (line 1)";
    }

    // Given one element with more attributes than the table has fields, when
    // the packet is loaded, then it is refused before the XML reader's own
    // check (whose cost grows with the square of their number) runs.
    void hostileAttributeCountsAreRefused()
    {
        QFETCH(QByteArray, packet);
        QFETCH(QString, reason);
        writeAll(path("hostile.xml"), packet);
        ClientDataSet table;
        defineNotes(table);
        try {
            table.loadFromFile(path("hostile.xml"));
            QFAIL("loaded");
        } catch (const FileFormatError &error) {
            QCOMPARE(error.message(),
                     "The file " + path("hostile.xml") + " is not a notes file: " + reason);
        }
        QVERIFY(!table.isActive());
    }

    // Quotes and angle brackets inside comments, CDATA, processing
    // instructions and attribute values are not attributes.
    void scannerCountsOnlyAttributesOfTags()
    {
        const QByteArray packet =
            "<?xml version=\"1.0\"?><?pi \"a\" \"b\" \"c\" \"d\" \"e\" ?>" +
            kPacketHead.mid(kPacketHead.indexOf("<DATAPACKET")) +
            "<!-- <ROW a='' b='' c='' d='' e='' f=''/> --><![CDATA[ ' ' ' ' ' ' ]]>"
            "<ROW ID='7' Parent=\"-1\" Name='a \"quoted\" &gt; name' Description=\"x'y'z\"/>" +
            kPacketTail;
        TagScanner whole;
        QVERIFY(whole.scan(packet.constData(), packet.size()));
        TagScanner byteByByte; // a chunk may end anywhere
        for (char c : packet)
            QVERIFY(byteByByte.scan(&c, 1));
        writeAll(path("fine.xml"), packet);
        ClientDataSet table;
        defineNotes(table);
        table.loadFromFile(path("fine.xml"));
        QCOMPARE(names(table), QStringList{"a \"quoted\" > name"});
    }

    // Given a database in WAL mode, when it is read, then nothing is created
    // beside it and it is not changed; one whose -wal file still holds
    // changes is refused, since reading it would need SQLite's recovery.
    void readingWritesNothing()
    {
        m_table->saveToFile(path("wal.cds"), Format::Binary);
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path("wal.cds")).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        const QByteArray bytes = readAll(path("wal.cds"));
        QCOMPARE(bytes.at(18), char(2)); // the header says WAL mode
        const QStringList before = entries();

        ClientDataSet table;
        defineNotes(table);
        table.loadFromFile(path("wal.cds"));
        QCOMPARE(names(table), QStringList{"new content"});
        QCOMPARE(entries(), before);
        QCOMPARE(readAll(path("wal.cds")), bytes);

        // A copy taken while another program had changes only in its -wal file.
        QCOMPARE(sqlite3_open(QFile::encodeName(path("wal.cds")).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db,
                              "PRAGMA wal_autocheckpoint=0;"
                              "UPDATE records SET \"Name\" = 'changed in the log';",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QVERIFY(QFile::copy(path("wal.cds"), path("crash.cds")));
        QVERIFY(QFile::copy(path("wal.cds-wal"), path("crash.cds-wal")));
        sqlite3_close(db);
        const QStringList crashBefore = entries();
        const QByteArray crashBytes = readAll(path("crash.cds"));
        try {
            table.loadFromFile(path("crash.cds"));
            QFAIL("loaded");
        } catch (const FileFormatError &error) {
            QCOMPARE(error.message(), "The file " + path("crash.cds") +
                                          " is not a notes file: SQLite must first recover "
                                          "changes from crash.cds-wal");
        }
        QVERIFY(!table.isActive());
        QCOMPARE(entries(), crashBefore);
        QCOMPARE(readAll(path("crash.cds")), crashBytes);
    }

    void formFollowsTheCallerNotTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("chosen"); // what fileFormatForName gives
        QTest::newRow(".cds") << "a.cds" << int(Format::Binary);
        QTest::newRow(".xml") << "a.xml" << int(Format::Xml);
        QTest::newRow(".XmL") << "a.XmL" << int(Format::Xml);
        QTest::newRow(".xml.cds") << "a.xml.cds" << int(Format::Binary);
        QTest::newRow("no extension") << "xml" << int(Format::Binary);
    }

    // A save writes the form it is asked for; choosing by name is the
    // caller's step.
    void formFollowsTheCallerNotTheName()
    {
        QFETCH(QString, name);
        QFETCH(int, chosen);
        QCOMPARE(int(ClientDataSet::fileFormatForName(name)), chosen);
        m_table->saveToFile(path(name), Format::Binary);
        QVERIFY(readAll(path(name)).startsWith("SQLite format 3"));
        m_table->saveToFile(path(name), Format::Xml);
        QVERIFY(readAll(path(name)).startsWith("<?xml"));
    }
};

QTEST_GUILESS_MAIN(tst_FileSafety)
#include "tst_file_safety.moc"
