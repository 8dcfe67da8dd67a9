#include "table/sqlite_file.h"

#include "files/file_checks.h"
#include "files/private_copy.h"
#include "table/dataset_error.h"
#include "table/value_arena.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::dataset {

namespace {

const char kSqliteHeader[] = "SQLite format 3"; // followed by a NUL byte in the file

struct DbCloser
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct StmtFinalizer
{
    void operator()(sqlite3_stmt *stmt) const { sqlite3_finalize(stmt); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
        return QStringLiteral("integer");
    case FieldType::String:
        return QStringLiteral("string");
    case FieldType::Memo:
        return QStringLiteral("memo");
    }
    return {};
}

QString columnType(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    case FieldType::String:
        return QStringLiteral("TEXT");
    case FieldType::Memo:
        return QStringLiteral("BLOB");
    }
    return {};
}

// How a connection opens its file.
enum class OpenMode {
    Read,   // immutable and read-only: no lock, no file made beside it
    Create, // our own new temporary file
    Update, // an existing file changed in place, with locks and a rollback journal
};

// Raises the error of a failed call, naming the file.
class Connection
{
public:
    // shownName: the file the messages name, when `path` is a temporary file.
    Connection(const QString &path, OpenMode mode, const QString &shownName = QString())
        : m_path(shownName.isEmpty() ? path : shownName), m_forWriting(mode != OpenMode::Read)
    {
        sqlite3 *raw = nullptr;
        // A file being read is opened immutable: SQLite then takes no lock and
        // never creates a -wal, -shm or journal file beside it.
        const QByteArray name =
            mode == OpenMode::Read ? immutableUri(path) : QFile::encodeName(path);
        const int flags = mode == OpenMode::Read     ? (SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
                          : mode == OpenMode::Create ? (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
                                                     : SQLITE_OPEN_READWRITE;
        const int rc =
            sqlite3_open_v2(name.constData(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        m_db.reset(raw);
        if (rc != SQLITE_OK)
            fail(rc);
        sqlite3_extended_result_codes(raw, 1);
        // A file being read or changed may come from anywhere. The file being
        // created is our own new temporary file, and defensive mode would keep
        // the rollback journal it does not need (journal_mode=OFF is ignored).
        if (mode != OpenMode::Create)
            sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    }

    // Reads the database image at `image` (a mapped file that outlives the
    // connection), read-only and without copying it.
    Connection(unsigned char *image, qint64 size, const QString &shownName)
        : m_path(shownName), m_forWriting(false)
    {
        sqlite3 *raw = nullptr;
        int rc =
            sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        m_db.reset(raw);
        if (rc == SQLITE_OK)
            rc = sqlite3_deserialize(raw, "main", image, size, size, SQLITE_DESERIALIZE_READONLY);
        if (rc != SQLITE_OK)
            fail(rc);
        sqlite3_extended_result_codes(raw, 1);
        sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    }

    sqlite3 *db() const { return m_db.get(); }

    [[noreturn]] void fail(int rc) const
    {
        const int primary = rc & 0xFF;
        QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get()))
                              : QString::fromUtf8(sqlite3_errstr(rc));
        // SQLite's "disk I/O error" hides why; the system's error says it
        // (a full disk, a file too large).
        int systemError = 0;
        if (m_db)
            sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_LAST_ERRNO, &systemError);
        if ((primary == SQLITE_IOERR || primary == SQLITE_FULL) && systemError != 0)
            reason = QString::fromLocal8Bit(std::strerror(systemError));
        if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FORMAT ||
            primary == SQLITE_RANGE || primary == SQLITE_MISMATCH || primary == SQLITE_TOOBIG)
            throw FileFormatError::refused(m_path,
                                           QStringLiteral("it is damaged (%1)").arg(reason));
        if (m_forWriting)
            throw FileAccessError::cannotWrite(m_path, reason);
        throw FileAccessError::cannotOpen(m_path, reason);
    }

    void exec(const QString &sql) const
    {
        const int rc =
            sqlite3_exec(m_db.get(), sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            fail(rc);
    }

    Stmt prepare(const QString &sql) const
    {
        sqlite3_stmt *raw = nullptr;
        const int rc = sqlite3_prepare_v2(m_db.get(), sql.toUtf8().constData(), -1, &raw, nullptr);
        Stmt stmt(raw);
        if (rc != SQLITE_OK)
            fail(rc);
        return stmt;
    }

    // Steps a statement; true while it yields rows.
    bool step(sqlite3_stmt *stmt) const
    {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail(rc);
        return false;
    }

    qint64 pragmaValue(const char *pragma) const
    {
        Stmt stmt = prepare(QStringLiteral("PRAGMA %1").arg(QLatin1String(pragma)));
        return step(stmt.get()) ? sqlite3_column_int64(stmt.get(), 0) : 0;
    }

    [[noreturn]] void refuse(const QString &why) const
    {
        throw FileFormatError::refused(m_path, why);
    }

private:
    static QByteArray immutableUri(const QString &path)
    {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        return "file:" + QUrl::toPercentEncoding(absolute, "/") + "?immutable=1";
    }

    QString m_path;
    bool m_forWriting;
    Db m_db;
};

QString columnText(sqlite3_stmt *stmt, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)) : QString();
}

// The database's column names of a table, in order; empty when it is not a table.
QStringList tableColumns(const Connection &c, const QString &table)
{
    Stmt kind = c.prepare(QStringLiteral("SELECT type FROM sqlite_schema WHERE name = ?1"));
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(kind.get(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    if (!c.step(kind.get()) || columnText(kind.get(), 0) != QLatin1String("table"))
        return {};
    QStringList columns;
    Stmt info = c.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table)));
    while (c.step(info.get()))
        columns.append(columnText(info.get(), 1));
    return columns;
}

void checkHeader(const QString &path)
{
    QFile file;
    if (!file.open(files::openRegularFile(path), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw FileAccessError::cannotOpen(path, file.errorString());
    const QByteArray head = file.read(sizeof kSqliteHeader);
    if (head != QByteArray(kSqliteHeader, sizeof kSqliteHeader))
        throw FileFormatError::refused(path, QStringLiteral("it is not a SQLite database"));
}

// A save of ours killed inside its transaction leaves a hot rollback journal
// beside the file; SQLite plays it back (the file's old content, whole) the
// first time the file is opened for writing, as any SQLite program would.
// Without the rights to write, the journal stays and the file is refused.
void rollBackHotJournal(const QString &path)
{
    sqlite3 *raw = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(raw, 5000);
        sqlite3_exec(raw, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(raw);
}

// A journal SQLite would play back: it starts with the journal's magic
// number. A killed transaction that had not yet written the database leaves
// a journal whose header is still zero; SQLite ignores it, and so do we.
bool isHotJournal(const QString &journal)
{
    static const QByteArray kMagic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    QFile file(journal);
    return file.open(QIODevice::ReadOnly) && file.read(kMagic.size()) == kMagic;
}

// A database another program left with changes in a -wal file needs SQLite
// to recover it first, which writes, and a WAL file is never ours. Read
// immutable it would show an old or torn state, so it is refused; opening it
// once with the sqlite3 tool recovers it. A rollback journal is played back.
void checkNeedsNoRecovery(const QString &path)
{
    const QFileInfo wal(path + QLatin1String("-wal"));
    if (wal.exists() && wal.size() > 0)
        throw FileFormatError::refused(
            path, QStringLiteral("SQLite must first recover changes from %1").arg(wal.fileName()));
    const QString journal = path + QLatin1String("-journal");
    if (!isHotJournal(journal))
        return;
    rollBackHotJournal(path);
    if (isHotJournal(journal))
        throw FileFormatError::refused(path,
                                       QStringLiteral("SQLite must first recover changes from %1")
                                           .arg(QFileInfo(journal).fileName()));
}

void checkIdentity(const Connection &c)
{
    if (c.pragmaValue("application_id") != kSqliteApplicationId)
        c.refuse(QStringLiteral("it belongs to another program"));
    const qint64 version = c.pragmaValue("user_version");
    if (version != kSqliteFormatVersion)
        c.refuse(QStringLiteral("format version %1 is not supported").arg(version));
    if (tableColumns(c, QStringLiteral("fields")) !=
        QStringList{"position", "name", "type", "size", "required"})
        c.refuse(QStringLiteral("the table of fields is missing or malformed"));
    if (tableColumns(c, QStringLiteral("indexes")) !=
        QStringList{"position", "name", "fields", "descending"})
        c.refuse(QStringLiteral("the table of indexes is missing or malformed"));
}

FieldType parseType(const Connection &c, const QString &type)
{
    if (type == QLatin1String("integer"))
        return FieldType::Integer;
    if (type == QLatin1String("string"))
        return FieldType::String;
    if (type == QLatin1String("memo"))
        return FieldType::Memo;
    c.refuse(QStringLiteral("unknown field type '%1'").arg(type.left(32)));
}

QList<FieldDef> readFieldDefs(const Connection &c)
{
    QList<FieldDef> fields;
    Stmt stmt = c.prepare(
        QStringLiteral("SELECT name, type, size, required FROM fields ORDER BY position"));
    while (c.step(stmt.get())) {
        if (fields.size() >= kMaxFieldCount)
            c.refuse(QStringLiteral("too many fields"));
        if (sqlite3_column_type(stmt.get(), 0) != SQLITE_TEXT ||
            sqlite3_column_type(stmt.get(), 2) != SQLITE_INTEGER)
            c.refuse(QStringLiteral("a field definition is malformed"));
        FieldDef def;
        def.name = columnText(stmt.get(), 0);
        def.type = parseType(c, columnText(stmt.get(), 1));
        const qint64 size = sqlite3_column_int64(stmt.get(), 2);
        if (size < 0 || size > std::numeric_limits<int>::max())
            c.refuse(QStringLiteral("field '%1' has an invalid size").arg(def.name));
        def.size = def.type == FieldType::Integer ? 0 : int(size); // an integer has no size
        def.required = sqlite3_column_int64(stmt.get(), 3) != 0;
        fields.append(def);
    }
    return fields;
}

QList<IndexDef> readIndexDefs(const Connection &c)
{
    QList<IndexDef> indexes;
    Stmt stmt =
        c.prepare(QStringLiteral("SELECT name, fields, descending FROM indexes ORDER BY position"));
    while (c.step(stmt.get())) {
        if (indexes.size() >= kMaxFieldCount)
            c.refuse(QStringLiteral("too many indexes"));
        IndexDef def;
        def.name = columnText(stmt.get(), 0);
        def.fields = splitFieldList(columnText(stmt.get(), 1));
        def.descending = sqlite3_column_int64(stmt.get(), 2) != 0;
        indexes.append(def);
    }
    return indexes;
}

[[noreturn]] void refuseValue(const Connection &c, const FieldDef &field, qint64 position)
{
    c.refuse(QStringLiteral("record %1 holds a value that does not fit field '%2'")
                 .arg(position)
                 .arg(field.name));
}

Cell readCell(const Connection &c, sqlite3_stmt *stmt, int column, const FieldDef &field,
              qint64 position, ValueArena *arena = nullptr)
{
    Cell cell;
    const int type = sqlite3_column_type(stmt, column);
    if (type == SQLITE_NULL)
        return cell;
    cell.null = false;
    if (field.type == FieldType::Integer) {
        const qint64 value = sqlite3_column_int64(stmt, column);
        if (type != SQLITE_INTEGER || value < std::numeric_limits<qint32>::min() ||
            value > std::numeric_limits<qint32>::max())
            refuseValue(c, field, position);
        cell.number = qint32(value);
        return cell;
    }
    if (field.type == FieldType::String ? type != SQLITE_TEXT
                                        : (type != SQLITE_BLOB && type != SQLITE_TEXT))
        refuseValue(c, field, position);
    const void *bytes = type == SQLITE_TEXT
                            ? static_cast<const void *>(sqlite3_column_text(stmt, column))
                            : sqlite3_column_blob(stmt, column);
    const int size = sqlite3_column_bytes(stmt, column);
    if (size > 0 && !bytes)
        c.fail(SQLITE_NOMEM);
    if (arena)
        cell.data = arena->add(static_cast<const char *>(bytes), size);
    else
        cell.data = size > 0 ? QByteArray(static_cast<const char *>(bytes), size) : QByteArray("");
    if (field.type == FieldType::String &&
        (!isValidUtf8(cell.data) || utf8Length(cell.data) > field.size))
        refuseValue(c, field, position);
    return cell;
}

// A memo left in the file must still be a value a memo can hold.
void checkStoredType(const Connection &c, sqlite3_stmt *stmt, int column, const FieldDef &field,
                     qint64 position, Cell &cell)
{
    const auto *type = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    const char kind = type ? type[0] : 0;
    if (kind == 'n')
        return; // null
    if (kind != 'b' && kind != 't')
        refuseValue(c, field, position);
    cell.null = false;
    cell.stored = true;
}

std::vector<Row> readRows(const Connection &c, const QList<FieldDef> &fields, bool onDemand,
                          ValueArena &arena)
{
    QStringList expected{QStringLiteral("position")};
    QStringList columns;
    for (const FieldDef &field : fields) {
        expected.append(field.name);
        // typeof() of a column reads its type from the record's header only.
        columns.append(onDemand && field.type == FieldType::Memo
                           ? QStringLiteral("typeof(%1)").arg(quoteIdentifier(field.name))
                           : quoteIdentifier(field.name));
    }
    if (tableColumns(c, QStringLiteral("records")) != expected)
        c.refuse(QStringLiteral("the table of records does not match its fields"));
    Stmt stmt = c.prepare(QStringLiteral("SELECT position, %1 FROM records ORDER BY position")
                              .arg(columns.join(QLatin1Char(','))));
    std::vector<Row> rows;
    while (c.step(stmt.get())) {
        Row row;
        row.cells.resize(size_t(fields.size()));
        const qint64 position = sqlite3_column_int64(stmt.get(), 0);
        row.filePos = position;
        for (int i = 0; i < fields.size(); ++i) {
            if (onDemand && fields[i].type == FieldType::Memo)
                checkStoredType(c, stmt.get(), i + 1, fields[i], position, row.cells[size_t(i)]);
            else
                row.cells[size_t(i)] = readCell(c, stmt.get(), i + 1, fields[i], position, &arena);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// Every check of a loaded file's state, for fileCheckCount().
std::atomic<quint64> s_checks{0};

// What tells whether a file changed: its size and time, and SQLite's header
// (the change counter every commit in rollback mode counts up, the page
// count, the journal mode).
struct FileState
{
    qint64 size = -1;
    qint64 mtimeNs = 0;
    QByteArray header;

    bool operator==(const FileState &) const = default;
    bool valid() const { return size >= 0; }
};

constexpr int kSqliteHeaderSize = 100;

FileState stateOf(int fd)
{
    struct stat info;
    char header[kSqliteHeaderSize] = {};
    if (fd < 0 || ::fstat(fd, &info) != 0 ||
        ::pread(fd, header, kSqliteHeaderSize, 0) != kSqliteHeaderSize)
        return {};
    return {qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            QByteArray(header, kSqliteHeaderSize)};
}

using FileKey = std::pair<quint64, quint64>; // device, inode

std::optional<FileKey> keyOf(int fd)
{
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0)
        return std::nullopt;
    return FileKey{quint64(info.st_dev), quint64(info.st_ino)};
}

// The files this process changed in place, with the state each save left.
// Another table's reader of such a file reads on from the new state; a file
// in any other state was changed by someone else.
class OwnChanges
{
public:
    static void note(const QString &path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (const auto key = keyOf(fd)) {
            const std::lock_guard lock(s_mutex);
            s_states[*key] = stateOf(fd);
        }
        if (fd >= 0)
            ::close(fd);
    }
    static bool made(int fd, const FileState &state)
    {
        const auto key = keyOf(fd);
        const std::lock_guard lock(s_mutex);
        const auto it = key ? s_states.find(*key) : s_states.end();
        return it != s_states.end() && it->second == state;
    }

private:
    static inline std::mutex s_mutex;
    static inline std::map<FileKey, FileState> s_states;
};

// Reads the memo values that a load left in the file, one record at a time,
// from the file as it was loaded: the connection and a descriptor keep it
// open, so a file replaced or removed since still reads as it was. A file
// changed in place is noticed (its size, time or SQLite header moved). After
// an in-place save of this process (another table's), the connection is
// opened again on the same file, so that SQLite's cache of old pages is not
// mixed with new ones. After anyone else's change the values are read from
// the private copy made before the table's first change; without one they
// are gone, and every read from then on fails: never a value of the other
// program's file in place of the one loaded. A file only touched (its time
// moved, its size and header the same, no journal of a half-done write
// beside it) reads on.
class SqliteValueReader : public StoredValueReader
{
public:
    SqliteValueReader(std::unique_ptr<Connection> connection, const QString &path,
                      const QList<FieldDef> &fields)
        : m_c(std::move(connection)), m_path(path), m_fields(fields),
          m_statements(size_t(fields.size()))
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        m_seen = stateOf(m_fd);
    }
    ~SqliteValueReader() override
    {
        m_statements.clear();
        m_c.reset();
        if (m_fd >= 0)
            ::close(m_fd);
        dropCopy();
    }

    Cell read(qint64 filePos, int field) const override
    {
        if (field < 0 || field >= m_fields.size())
            throw DataSetError(QStringLiteral("Field %1 not found").arg(field));
        if (m_gone)
            throw FileChangedError::changedInPlace(m_path);
        if (m_operations > 0)
            return readInOperation(filePos, field);
        // Checked after the read: a change before or during it shows then.
        for (;;) {
            const quint64 opened = m_opened;
            std::optional<Cell> cell;
            std::exception_ptr failure; // a record missing, or torn by a write
            try {
                cell = readAt(filePos, field);
            } catch (const DataSetError &) {
                failure = std::current_exception();
            }
            check();
            if (m_opened != opened)
                continue; // read again, from the file as this process's save left it
            if (failure)
                std::rethrow_exception(failure);
            return std::move(*cell);
        }
    }

    void check() const override
    {
        if (m_gone)
            throw FileChangedError::changedInPlace(m_path);
        if (m_fd < 0 || m_readingCopy)
            return;
        const FileState now = currentState();
        if (now == m_seen)
            return;
        if (now.valid() && OwnChanges::made(m_fd, now)) {
            dropCopy(); // it holds what the save replaced
            reopen(m_fd);
        } else if (m_copyFd >= 0 && readFromCopy()) {
            m_readingCopy = true;
        } else if (!onlyTouched(now)) {
            m_gone = true;
            throw FileChangedError::changedInPlace(m_path);
        }
        m_seen = now;
    }

    void beginOperation() const override
    {
        if (m_operations == 0) {
            check();
            m_openedAtBegin = m_opened;
        }
        ++m_operations;
    }

    bool endOperation() const override
    {
        if (m_operations == 0 || --m_operations > 0)
            return true;
        check();
        return m_opened == m_openedAtBegin;
    }

    void abandonOperation() const noexcept override
    {
        if (m_operations > 0)
            --m_operations;
    }

    QString fileName() const override { return m_path; }

    void preserve() const override
    {
        if (m_copyFd >= 0 || m_copyTried || m_gone || m_fd < 0)
            return;
        try {
            check();
        } catch (const FileChangedError &) {
            return; // too late: the values are gone already
        }
        if (m_readingCopy)
            return;
        m_copyTried = true;
        const int copy = files::openPrivateCopy(m_fd, m_path);
        if (copy < 0)
            return;
        // A copy that another program's write overlapped is no copy of the
        // file as loaded.
        if (currentState() != m_seen) {
            ::close(copy);
            return;
        }
        m_copyFd = copy;
    }

private:
    FileState currentState() const
    {
        s_checks.fetch_add(1, std::memory_order_relaxed);
        return stateOf(m_fd);
    }

    // A read inside an operation: the file is checked at its ends, and here
    // only when the read fails (a record missing, or pages torn by another
    // program's write), so that the failure is told as what it is.
    Cell readInOperation(qint64 filePos, int field) const
    {
        const quint64 opened = m_opened;
        try {
            return readAt(filePos, field);
        } catch (const DataSetError &) {
            check();
            if (m_opened == opened)
                throw;
        }
        return readAt(filePos, field); // from the copy, or the file after our own save
    }

    Cell readAt(qint64 filePos, int field) const
    {
        Stmt &stmt = m_statements[size_t(field)];
        if (!stmt)
            stmt = m_c->prepare(QStringLiteral("SELECT %1 FROM records WHERE position = ?1")
                                    .arg(quoteIdentifier(m_fields[field].name)));
        sqlite3_reset(stmt.get());
        sqlite3_bind_int64(stmt.get(), 1, filePos);
        if (!m_c->step(stmt.get()))
            m_c->refuse(QStringLiteral("record %1 is missing").arg(filePos));
        Cell cell = readCell(*m_c, stmt.get(), 0, m_fields[field], filePos);
        sqlite3_reset(stmt.get());
        return cell;
    }

    bool onlyTouched(const FileState &now) const
    {
        // Bytes 18 and 19 are 1 in rollback-journal mode; in WAL mode a
        // checkpoint writes pages without counting the header's counter up.
        const bool rollbackMode =
            now.header.size() == kSqliteHeaderSize && now.header[18] == 1 && now.header[19] == 1;
        return now.valid() && rollbackMode && now.size == m_seen.size &&
               now.header == m_seen.header && !isHotJournal(m_path + QLatin1String("-journal"));
    }

    // The copy has no name SQLite could open it by: it is read as a mapped
    // image instead. False when it cannot be mapped.
    bool readFromCopy() const
    {
        struct stat info;
        if (::fstat(m_copyFd, &info) != 0 || info.st_size <= 0)
            return false;
        void *image = ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_SHARED, m_copyFd, 0);
        if (image == MAP_FAILED)
            return false;
        m_copyImage = image;
        m_copySize = size_t(info.st_size);
        for (Stmt &stmt : m_statements)
            stmt.reset();
        m_c =
            std::make_unique<Connection>(static_cast<unsigned char *>(image), info.st_size, m_path);
        ++m_opened;
        return true;
    }

    void dropCopy() const
    {
        if (m_copyImage)
            ::munmap(m_copyImage, m_copySize);
        if (m_copyFd >= 0)
            ::close(m_copyFd);
        m_copyImage = nullptr;
        m_copyFd = -1;
        m_copyTried = false;
    }

    void reopen(int fd) const
    {
        auto fresh = std::make_unique<Connection>(QStringLiteral("/proc/self/fd/%1").arg(fd),
                                                  OpenMode::Read, m_path);
        fresh->exec(QStringLiteral("PRAGMA query_only=1"));
        for (Stmt &stmt : m_statements)
            stmt.reset();
        m_c = std::move(fresh);
        ++m_opened;
    }

    mutable std::unique_ptr<Connection> m_c;
    QString m_path;
    QList<FieldDef> m_fields;
    mutable std::vector<Stmt> m_statements;
    int m_fd = -1; // the file as loaded, for noticing changes made in place
    mutable FileState m_seen;
    mutable bool m_gone = false; // another program changed the file in place
    mutable int m_copyFd = -1;   // the private copy of the file as loaded
    mutable void *m_copyImage = nullptr;
    mutable size_t m_copySize = 0;
    mutable bool m_copyTried = false;
    mutable bool m_readingCopy = false; // the file changed; values come from the copy
    mutable quint64 m_opened = 0;       // counts the connections opened again
    mutable int m_operations = 0;       // nesting depth of operations
    mutable quint64 m_openedAtBegin = 0;
};

void createSchema(const Connection &c, const QList<FieldDef> &fields)
{
    // 16 KiB pages hold about fifteen 1 KB notes each with little waste.
    c.exec(QStringLiteral("PRAGMA page_size=16384; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                          "PRAGMA application_id=%1; PRAGMA user_version=%2;")
               .arg(kSqliteApplicationId)
               .arg(kSqliteFormatVersion));
    c.exec(QStringLiteral(
        "CREATE TABLE fields (position INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
        " type TEXT NOT NULL, size INTEGER NOT NULL, required INTEGER NOT NULL);"
        "CREATE TABLE indexes (position INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
        " fields TEXT NOT NULL, descending INTEGER NOT NULL);"));
    QStringList columns{QStringLiteral("position INTEGER PRIMARY KEY")};
    for (const FieldDef &field : fields)
        columns.append(quoteIdentifier(field.name) + QLatin1Char(' ') + columnType(field.type));
    c.exec(QStringLiteral("CREATE TABLE records (%1)").arg(columns.join(QStringLiteral(", "))));
}

void bindText(sqlite3_stmt *stmt, int column, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, column, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void writeDefinitions(const Connection &c, const QList<FieldDef> &fields,
                      const QList<IndexDef> &indexes)
{
    Stmt field = c.prepare(QStringLiteral("INSERT INTO fields VALUES (?1, ?2, ?3, ?4, ?5)"));
    for (int i = 0; i < fields.size(); ++i) {
        sqlite3_bind_int(field.get(), 1, i);
        bindText(field.get(), 2, fields[i].name);
        bindText(field.get(), 3, typeName(fields[i].type));
        sqlite3_bind_int(field.get(), 4, fields[i].size);
        sqlite3_bind_int(field.get(), 5, fields[i].required ? 1 : 0);
        c.step(field.get());
        sqlite3_reset(field.get());
    }
    Stmt index = c.prepare(QStringLiteral("INSERT INTO indexes VALUES (?1, ?2, ?3, ?4)"));
    for (int i = 0; i < indexes.size(); ++i) {
        sqlite3_bind_int(index.get(), 1, i);
        bindText(index.get(), 2, indexes[i].name);
        bindText(index.get(), 3, indexes[i].fields.join(QLatin1Char(';')));
        sqlite3_bind_int(index.get(), 4, indexes[i].descending ? 1 : 0);
        c.step(index.get());
        sqlite3_reset(index.get());
    }
}

void bindCell(sqlite3_stmt *stmt, int column, const Cell &cell, FieldType type)
{
    if (cell.null)
        sqlite3_bind_null(stmt, column);
    else if (type == FieldType::Integer)
        sqlite3_bind_int(stmt, column, cell.number);
    else if (type == FieldType::String)
        sqlite3_bind_text(stmt, column, cell.data.constData(), int(cell.data.size()),
                          SQLITE_STATIC);
    else
        sqlite3_bind_blob(stmt, column, cell.data.constData(), int(cell.data.size()),
                          SQLITE_STATIC);
}

QString insertStatement(int fieldCount)
{
    QStringList params;
    for (int i = 0; i <= fieldCount; ++i)
        params.append(QStringLiteral("?%1").arg(i + 1));
    return QStringLiteral("INSERT INTO records VALUES (%1)").arg(params.join(QLatin1Char(',')));
}

void insertRow(const Connection &c, sqlite3_stmt *stmt, const QList<FieldDef> &fields,
               qint64 position, const Row &row, const StoredValueReader *stored)
{
    std::vector<Cell> read; // values of stored cells, bound until the step
    read.reserve(size_t(fields.size()));
    sqlite3_bind_int64(stmt, 1, position);
    for (int i = 0; i < fields.size(); ++i) {
        const Cell &cell = row.cells[size_t(i)];
        if (cell.stored) {
            read.push_back(readStoredCell(row.filePos, i, stored));
            bindCell(stmt, i + 2, read.back(), fields[i].type);
        } else {
            bindCell(stmt, i + 2, cell, fields[i].type);
        }
    }
    c.step(stmt);
    sqlite3_reset(stmt);
}

void writeRows(const Connection &c, const QList<FieldDef> &fields, const std::vector<Row> &rows,
               const StoredValueReader *stored)
{
    Stmt stmt = c.prepare(insertStatement(int(fields.size())));
    for (size_t r = 0; r < rows.size(); ++r)
        insertRow(c, stmt.get(), fields, qint64(r) * kFilePositionStep, rows[r], stored);
}

void checkUpdatable(const Connection &c)
{
    if (c.pragmaValue("application_id") != kSqliteApplicationId ||
        c.pragmaValue("user_version") != kSqliteFormatVersion)
        c.refuse(QStringLiteral("it changed on disk"));
}

// One UPDATE per set of cells written: stored cells stay as they are.
void updateRow(const Connection &c, std::map<std::vector<bool>, Stmt> &statements,
               const QList<FieldDef> &fields, const Row &row)
{
    std::vector<bool> written(size_t(fields.size()));
    for (int i = 0; i < fields.size(); ++i)
        written[size_t(i)] = !row.cells[size_t(i)].stored;
    Stmt &stmt = statements[written];
    if (!stmt) {
        QStringList sets;
        for (int i = 0; i < fields.size(); ++i) {
            if (written[size_t(i)])
                sets.append(
                    QStringLiteral("%1 = ?%2").arg(quoteIdentifier(fields[i].name)).arg(i + 2));
        }
        if (sets.isEmpty())
            return;
        stmt = c.prepare(QStringLiteral("UPDATE records SET %1 WHERE position = ?1")
                             .arg(sets.join(QStringLiteral(", "))));
    }
    sqlite3_bind_int64(stmt.get(), 1, row.filePos);
    for (int i = 0; i < fields.size(); ++i) {
        if (written[size_t(i)])
            bindCell(stmt.get(), i + 2, row.cells[size_t(i)], fields[i].type);
    }
    c.step(stmt.get());
    if (sqlite3_changes(c.db()) != 1)
        c.refuse(QStringLiteral("record %1 is missing").arg(row.filePos));
    sqlite3_reset(stmt.get());
}

void applyUpdate(const Connection &c, const FileUpdate &update)
{
    if (update.definitionsChanged) {
        c.exec(QStringLiteral("DELETE FROM fields; DELETE FROM indexes;"));
        writeDefinitions(c, update.fields, update.indexes);
    }
    Stmt remove = c.prepare(QStringLiteral("DELETE FROM records WHERE position = ?1"));
    for (qint64 position : update.deletions) {
        sqlite3_bind_int64(remove.get(), 1, position);
        c.step(remove.get());
        sqlite3_reset(remove.get());
    }
    std::map<std::vector<bool>, Stmt> statements;
    for (const Row *row : update.updates)
        updateRow(c, statements, update.fields, *row);
    Stmt insert = c.prepare(insertStatement(int(update.fields.size())));
    for (const auto &[position, row] : update.insertions)
        insertRow(c, insert.get(), update.fields, position, *row, nullptr);
}

} // namespace

TableContent readSqliteFile(const QString &path, bool onDemand)
{
    checkHeader(path);
    checkNeedsNoRecovery(path);
    auto c = std::make_unique<Connection>(path, OpenMode::Read);
    c->exec(QStringLiteral("PRAGMA query_only=1"));
    checkIdentity(*c);
    TableContent content;
    content.fields = readFieldDefs(*c);
    content.indexes = readIndexDefs(*c);
    validateDefinitions(content.fields, content.indexes, path);
    auto arena = std::make_shared<ValueArena>();
    content.rows = readRows(*c, content.fields, onDemand, *arena);
    content.values = std::move(arena);
    const bool anyStored = std::any_of(content.fields.begin(), content.fields.end(),
                                       [](const FieldDef &f) { return f.type == FieldType::Memo; });
    if (onDemand && anyStored)
        content.storedValues =
            std::make_shared<SqliteValueReader>(std::move(c), path, content.fields);
    return content;
}

quint64 fileCheckCount()
{
    return s_checks.load(std::memory_order_relaxed);
}

std::shared_ptr<StoredValueReader> openStoredValues(const QString &path,
                                                    const QList<FieldDef> &fields)
{
    auto c = std::make_unique<Connection>(path, OpenMode::Read);
    c->exec(QStringLiteral("PRAGMA query_only=1"));
    return std::make_shared<SqliteValueReader>(std::move(c), path, fields);
}

void writeSqliteFile(const QString &path, const QList<FieldDef> &fields,
                     const QList<IndexDef> &indexes, const std::vector<Row> &rows,
                     const QString &shownName, const StoredValueReader *stored)
{
    const Connection c(path, OpenMode::Create, shownName);
    createSchema(c, fields);
    c.exec(QStringLiteral("BEGIN"));
    writeDefinitions(c, fields, indexes);
    writeRows(c, fields, rows, stored);
    c.exec(QStringLiteral("COMMIT"));
}

void updateSqliteFile(const QString &path, const QString &shownName, const FileUpdate &update)
{
    {
        const Connection c(path, OpenMode::Update, shownName);
        sqlite3_busy_timeout(c.db(), 5000);
        c.exec(QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;"));
        c.exec(QStringLiteral("BEGIN IMMEDIATE"));
        try {
            checkUpdatable(c);
            applyUpdate(c, update);
            c.exec(QStringLiteral("COMMIT"));
        } catch (...) {
            sqlite3_exec(c.db(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
    // Once the connection is closed: closing another descriptor of the file
    // would drop the locks it holds.
    OwnChanges::note(path);
}

} // namespace bw::dataset
