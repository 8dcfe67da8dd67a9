#pragma once
// ClientDataSet: an in-memory table with field and index definitions, a
// current record, edit states, a change log that can be undone, maintained
// Max/Min aggregates, bookmarks, locate, filters and two file forms (a SQLite
// database and the XML data packet; see docs/notes-file-format.md).
//
// Signals follow the life of the table. The "control" signals (stateChanged,
// fieldChanged, dataSetChanged, beforeScroll, afterScroll, updatingRecord) are
// held back while controls are disabled; when the nesting count returns to
// zero the table sends one stateChanged (if the state differs) and one
// dataSetChanged. The table events (afterInsert, beforePost, afterPost,
// afterCancel, afterDelete, afterOpen, beforeClose) always fire.

#include "table/dataset_error.h"
#include "table/field_def.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace bw::dataset {

class ClientDataSet : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert, SetKey, CalcFields, Filter };
    Q_ENUM(State)

    enum class FileFormat { Binary, Xml };

    enum LocateOption {
        NoLocateOptions = 0,
        CaseInsensitive = 0x1, // compare text without regard to case
        PartialKey = 0x2,      // the field's text starts with the value
        PartialAnywhere = 0x4, // the field's text contains the value
    };
    Q_DECLARE_FLAGS(LocateOptions, LocateOption)

    // Identifies one record for as long as it exists; survives changes to other
    // records, index changes and undo. Null when default-constructed.
    struct Bookmark
    {
        quint64 id = 0;
        bool isNull() const { return id == 0; }
        friend bool operator==(Bookmark, Bookmark) = default;
    };

    // Reads the fields of the record being filtered (state Filter).
    using FilterPredicate = std::function<bool(const ClientDataSet &)>;

    explicit ClientDataSet(QObject *parent = nullptr);
    ~ClientDataSet() override;

    // --- Definitions (change them while the table is closed) ---
    void addFieldDef(const FieldDef &def);
    void clearFieldDefs();
    QList<FieldDef> fieldDefs() const;
    // fields: "ID" or "ID;Parent".
    void addIndexDef(const QString &name, const QString &fields, bool descending = false);
    void clearIndexDefs();
    QList<IndexDef> indexDefs() const;
    // expression: "Max(Field)" or "Min(Field)" on an Integer field.
    void addAggregate(const QString &name, const QString &expression);
    void setAggregatesActive(bool active);
    bool aggregatesActive() const;
    // Null while the table holds no record or aggregates are off.
    QVariant aggregateValue(const QString &name) const;

    // --- Opening, closing, files ---
    // Opens an empty table with the defined fields, indexes and aggregates.
    void createDataSet();
    void close();
    bool isActive() const;
    // Closes the table, then reads the file. Fields are matched by name: every
    // defined field must be in the file with the same type. On failure the
    // table stays closed and keeps its definitions. Throws FileAccessError or
    // FileFormatError.
    void loadFromFile(const QString &path);
    // Writes the current records (a pending edit is posted first, or dropped if
    // nothing changed) in the form asked, whatever the name. The old file is
    // replaced only when the new one is complete, and only a regular file is
    // replaced; through symbolic links, the file the last one points to.
    // The binary form saved onto the file the table was loaded from (or last
    // wrote whole), unchanged on disk since, is updated in place instead:
    // only the records changed since, in one SQLite transaction; nothing at
    // all when nothing changed. The XML form saved onto the file the table
    // was loaded from (or last wrote), unchanged on disk since, is not
    // written when nothing changed. Throws FileAccessError (or DataSetError);
    // FileChangedError, writing nothing, when memo values the table left in
    // its file are gone (see checkStoredValues).
    //
    // Afterwards the table keeps the file it had as its own (the file saved
    // becomes its own when it had none, or when it is that file), unless
    // binding is TakeAsOwnFile: then the file saved is its own from now on.
    enum class Binding { KeepOwnFile, TakeAsOwnFile };
    void saveToFile(const QString &path, FileFormat format = FileFormat::Binary,
                    Binding binding = Binding::KeepOwnFile);
    // Throws FileChangedError when the memo values a load left in the file
    // can no longer be read as loaded: another program changed the file in
    // place. A file replaced, renamed or removed since still reads as loaded.
    void checkStoredValues() const;
    // Memo values of binary files at least this large stay in the file when it
    // is loaded and are read when a record needs them (4 MiB by default).
    static void setOnDemandMinimumSize(qint64 bytes);
    // The form a user means by a file name: XML for a name ending in ".xml"
    // (any case), else binary. For callers that let the user name the file.
    static FileFormat fileFormatForName(const QString &path);
    void setReadOnly(bool readOnly);
    bool isReadOnly() const;
    bool canModify() const; // open and not read-only

    // --- State and navigation ---
    State state() const;
    int recordCount() const; // records visible in the current order and filter
    bool isEmpty() const;
    int recNo() const; // 1-based position of the current record; 0 when none
    void first();
    void last();
    void next();
    void prior();
    int moveBy(int distance); // returns the distance actually moved
    bool eof() const;         // after next() on the last record, or empty
    bool bof() const;
    void setRecNo(int recNo);

    // While a filter runs (state Filter), the record being filtered.
    Bookmark bookmark() const;
    // Every record, in stored order, whatever the current order and filter:
    // the order in which values left in the file are read fastest.
    std::vector<Bookmark> storedBookmarks() const;
    bool bookmarkValid(Bookmark bookmark) const; // the record still exists
    // Makes the bookmarked record current; false when it is gone or filtered out.
    bool gotoBookmark(Bookmark bookmark);

    // Makes the first matching record (in the current order) current.
    bool locate(const QString &field, const QVariant &value, LocateOptions options = {});
    // The same, searching from the record after the current one.
    bool locateNext(const QString &field, const QVariant &value, LocateOptions options = {});
    // The values of an Integer field that more than one record holds (filter
    // or not), in ascending order.
    QList<qint32> sharedValues(const QString &field);
    // The number of records (filter or not) in which the field is null.
    int nullCount(const QString &field) const;

    // The value of a field of the record at a 1-based position in the current
    // order and filter, read without moving to it, as fieldValue() gives it
    // (grids read only the rows they show). The stored record, not a pending
    // edit; a null QVariant for null or out of range.
    QVariant fieldValueAt(int recNo, const QString &name) const;
    // The same for the bookmarked record, filtered out or not; null when it is gone.
    QVariant fieldValueOf(Bookmark bookmark, const QString &name) const;

    // "" selects the default order: the order in which records are stored.
    void setIndexName(const QString &name);
    QString indexName() const;

    void setFilter(FilterPredicate predicate);
    void setFiltered(bool filtered);
    bool isFiltered() const;

    // --- Editing ---
    void append(); // new record at the end; state Insert, afterInsert fires
    void insert(); // new record before the current one
    void edit();
    void post(); // throws RequiredFieldError, leaving the state as it was
    void cancel();
    void deleteRecord();
    // Posts a pending edit or insert if anything was changed, else cancels it.
    void checkBrowseMode();
    bool isModified() const; // the pending edit or insert changed a field

    // Key search (state SetKey): setKey(), set fields, gotoKey().
    void setKey();
    bool gotoKey();

    // --- Fields of the current record (or of the record being filtered) ---
    int fieldCount() const;
    int fieldIndex(const QString &name) const;    // -1 when there is no such field
    FieldDef fieldDef(const QString &name) const; // throws when there is none
    // Integer -> int, String -> QString, Memo -> QByteArray; null QVariant for null.
    QVariant fieldValue(const QString &name) const;
    bool isNull(const QString &name) const;
    int asInteger(const QString &name) const;      // 0 for null
    QString asString(const QString &name) const;   // Memo decoded as UTF-8
    QByteArray asBytes(const QString &name) const; // the value as stored
    // Needs state Edit, Insert or SetKey. A null QVariant clears the field.
    // Integer fields accept numbers and decimal text; String values are cut
    // to the field's width.
    void setFieldValue(const QString &name, const QVariant &value);
    void setBytes(const QString &name, const QByteArray &bytes);
    void clearField(const QString &name);

    // Grows with every change of the records, of their order or of the
    // table's state (open, closed): an unchanged version means the records
    // read the same, in the same order. For views that rebuild themselves.
    quint64 dataVersion() const;

    // --- Change log ---
    int changeCount() const;
    void mergeChangeLog();
    // Drops a pending edit, reverts the newest change and makes its record
    // current. Returns false when the log is empty.
    bool undoLastChange(bool followChange = true);
    void cancelUpdates();

    // --- Bound controls ---
    void disableControls();
    void enableControls();
    bool controlsDisabled() const;

signals:
    void stateChanged(bw::dataset::ClientDataSet::State state);
    void fieldChanged(const QString &fieldName); // a field of the current record was set
    void dataSetChanged();                       // general change: reread everything
    void beforeScroll();
    void afterScroll();
    void updatingRecord(); // a post begins: bound controls write their values now
    void afterInsert();    // the new record exists, no field is set yet
    void beforePost();
    void afterPost();
    void afterCancel();
    void afterDelete();
    void afterOpen();
    void beforeClose();

private:
    friend class FileReadOperation;
    struct Private;
    std::unique_ptr<Private> d;
};

class StoredValueReader;

// Makes the reads of the values a table left in its file (the memos of a
// large binary file), from the guard's making to finish(), one operation:
// whether the file changed is checked at its two ends rather than at every
// value. For a run over many records, such as a dump or an export. The
// constructor throws FileChangedError when the values are gone already.
class FileReadOperation
{
public:
    explicit FileReadOperation(const ClientDataSet &dataSet);
    ~FileReadOperation();
    FileReadOperation(const FileReadOperation &) = delete;
    FileReadOperation &operator=(const FileReadOperation &) = delete;

    // Throws FileChangedError when another program changed the file during
    // the operation: values read since may not be the ones loaded.
    void finish();

private:
    std::shared_ptr<const StoredValueReader> m_reader;
};

// Disables the controls of a table for the guard's life.
class ControlsDisabler
{
public:
    explicit ControlsDisabler(ClientDataSet &dataSet) : m_dataSet(dataSet)
    {
        m_dataSet.disableControls();
    }
    // Never throws: enabling tells the receivers of dataSetChanged, and an
    // exception of theirs (they are guarded, see platform/guarded_dispatch.h)
    // is logged here rather than ending the program.
    ~ControlsDisabler()
    {
        try {
            m_dataSet.enableControls();
        } catch (const std::exception &e) {
            qCritical("%s", e.what());
        } catch (...) {
            qCritical("Unknown error while enabling the controls of a table");
        }
    }
    ControlsDisabler(const ControlsDisabler &) = delete;
    ControlsDisabler &operator=(const ControlsDisabler &) = delete;

private:
    ClientDataSet &m_dataSet;
};

// Remembers the current record and returns to it (if it still exists) when
// the guard ends.
class BookmarkKeeper
{
public:
    explicit BookmarkKeeper(ClientDataSet &dataSet)
        : m_dataSet(dataSet), m_bookmark(dataSet.bookmark())
    {
    }
    ~BookmarkKeeper()
    {
        try {
            if (m_dataSet.isActive() && m_dataSet.bookmarkValid(m_bookmark))
                m_dataSet.gotoBookmark(m_bookmark);
        } catch (...) {
            // Returning is a courtesy; the error that ended the scope matters
            // more. Never throws, whatever a receiver of the scroll does.
        }
    }
    BookmarkKeeper(const BookmarkKeeper &) = delete;
    BookmarkKeeper &operator=(const BookmarkKeeper &) = delete;

private:
    ClientDataSet &m_dataSet;
    ClientDataSet::Bookmark m_bookmark;
};

} // namespace bw::dataset

Q_DECLARE_OPERATORS_FOR_FLAGS(bw::dataset::ClientDataSet::LocateOptions)
