#pragma once
// Inside of ClientDataSet, shared by its implementation files.

#include "table/client_dataset.h"
#include "table/row_store.h"
#include "table/value_counts.h"

#include <QCollatorSortKey>
#include <QHash>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

namespace bw::dataset {

struct ClientDataSet::Private
{
    struct AggregateDef
    {
        QString name;
        QString expression;
    };
    struct Aggregate
    {
        QString name;
        int field = -1;
        bool max = true;
    };
    struct Change
    {
        enum Kind { Inserted, Modified, Deleted } kind = Inserted;
        quint64 id = 0;
        Cells old;         // Modified: the cells before the post
        Row removed;       // Deleted: the whole record
        int position = 0;  // Deleted: its storage position
        quint64 epoch = 0; // the table's file epoch when the change was made
    };

    // The file the table was loaded from or last wrote whole: a binary save
    // onto it writes only what changed since, a save in its own form with
    // nothing changed writes nothing (see client_dataset_file.cpp).
    struct BoundFile
    {
        QString path;           // at the end of any links
        QByteArray stamp;       // device, inode, size and time after the load or the last save
        QList<FieldDef> fields; // the definitions the file holds
        QList<IndexDef> indexes;
        bool xml = false; // the file is in the XML form
    };

    explicit Private(ClientDataSet *owner) : q(owner) {}

    ClientDataSet *q;

    // Definitions.
    QList<FieldDef> fieldDefs;
    QList<IndexDef> indexDefs;
    QList<AggregateDef> aggregateDefs;
    bool aggregatesActive = false;

    // The open table.
    QList<FieldDef> fields;
    QHash<QString, int> fieldIndexByName;
    bool active = false;
    bool readOnly = false;
    State state = State::Inactive;
    RowStore rows; // stored order
    quint64 nextRowId = 1;
    std::vector<Aggregate> aggregates;
    // Integer field -> its values and the rows holding them: the fields of the
    // aggregates, and those a locate looked for (see findInView).
    std::map<int, ValueCounts> valueCounts;

    // Order and filter. Without index and filter the view is the stored order
    // itself and `view` stays empty, so appends cost nothing extra.
    QString indexName;
    FilterPredicate filter;
    bool filtered = false;
    std::vector<int> view;          // storage positions in view order
    std::vector<int> viewOfStorage; // storage position -> view position or -1

    // What sorting keeps between rebuilds of the view. The collation key of
    // a String value is made once and kept by record id (made again only
    // when the record's value changed); while no record changes, the rank
    // of every value of a sorted String field and the full order of every
    // index used are kept too, so that a sort back to an order seen before,
    // or a change of filter, sorts nothing.
    struct SortKey
    {
        QByteArray source; // shares the cell's bytes: the same buffer is the same value
        std::optional<QCollatorSortKey> key;
    };
    struct FieldSortKeys
    {
        QString locale; // the collation the keys were made with
        quint64 firstId = 0;
        std::vector<SortKey> byId;  // record id - firstId -> its key
        std::vector<quint32> ranks; // storage position -> 0 for null, else 1 + rank
    };
    std::map<int, FieldSortKeys> sortKeys;
    std::map<QString, std::vector<int>> indexOrders; // index -> storage positions of all records
    quint64 orderedVersion = 0;                      // dataVersion as the last rebuild left it
    QString orderedLocale; // the collation the kept ranks and orders follow

    // Cursor: view position of the current record, -1 when there is none.
    int cur = -1;
    bool bof = true;
    bool eof = true;

    // Pending edit or insert.
    Cells buffer;
    bool modified = false;
    quint64 editId = 0;
    int insertStoragePos = 0;
    bool insertAppends = true;
    int curBeforeInsert = -1;
    Cells keyBuffer;
    const Row *filterRow = nullptr;

    std::vector<Change> changeLog;
    quint64 dataVersion = 1;

    // The file behind the table.
    std::optional<BoundFile> bound;
    std::shared_ptr<StoredValueReader> storedValues; // reads stored cells; null when none
    // The bytes of the values the last load read; let go once no cell can
    // see them (the table closed or loaded again).
    std::shared_ptr<const ValueArena> loadedValues;
    quint64 epoch = 1; // grows whenever the table and its bound file agree
    // Records changed since the table and its bound file last agreed, with
    // the number of changes (an undo of one made since takes it back), and
    // the file positions of records that left the table since. Kept whatever
    // the form of the file; positions exist only for the binary form.
    std::unordered_map<quint64, int> touched;
    std::unordered_map<quint64, qint64> leftFile;

    int disableCount = 0;
    State stateAtDisable = State::Inactive;

    // --- Signals that bound controls see (held back while disabled) ---
    void emitState();
    void emitField(const QString &name);
    void emitDataSetChanged();
    void emitBeforeScroll();
    void emitAfterScroll();
    void setState(State newState);

    // --- Checks ---
    void checkActive() const;
    void checkCanModify() const;
    int requireField(const QString &name) const;

    // --- View and cursor ---
    bool identityView() const { return indexName.isEmpty() && !(filtered && filter); }
    int viewCount() const { return identityView() ? int(rows.size()) : int(view.size()); }
    int storageAt(int viewPos) const { return identityView() ? viewPos : view[size_t(viewPos)]; }
    int viewPosOfStorage(int storagePos) const;
    int storagePosOf(quint64 id) const { return rows.positionOf(id); }
    const Cells *activeCells() const;
    // The row whose cells activeCells() gives; null for the key buffer or a new record.
    const Row *activeRow() const;
    // A field's value in the active cells, read from the file when stored.
    const Cell *activeCell(int field, Cell &scratch) const;
    const Cell &valueOf(const Row &row, int field, Cell &scratch) const
    {
        return cellValue(row, field, storedValues.get(), scratch);
    }
    // The value of a field of the row stored at pos, owning its bytes.
    QVariant variantAt(size_t pos, const QString &name) const;
    // Rebuilds the view after a change and makes the record `id` current (or
    // the one at `fallbackStoragePos` in stored order when `id` is not visible).
    void reposition(quint64 id, int fallbackStoragePos);
    void rebuildView();
    // The storage positions of all records in the order of the index.
    const std::vector<int> &indexOrder(const IndexDef &index);
    std::vector<int> sortAll(const IndexDef &index);
    // The ranks of a String field's values by storage position, made where missing.
    const std::vector<quint32> &ranksOf(int field);
    void updateSortKeys(FieldSortKeys &keys, int field);
    bool passesFilter(const Row &row);
    void moveTo(int viewPos);
    int findInView(int field, const QVariant &value, LocateOptions options, int from);

    // --- Aggregates and value counts ---
    void setupAggregates();
    // A row's cells entered (+1) or left (-1) the table.
    void countValues(const Cells &cells, quint64 row, int delta);
    // A row's cells changed from `before` to `after`: only the values that
    // differ are counted again, so an edit of other fields keeps Max and Min
    // known (an edit of the record with the largest ID would otherwise make
    // the next LastID scan every value).
    void recountValues(const Cells &before, const Cells &after, quint64 row);
    // The counts of an Integer field, made on first use.
    const ValueCounts &countsOf(int field);

    // --- Editing ---
    Cell convert(int field, const QVariant &value) const;
    void checkRequired() const;
    void postInsert();
    void postEdit();
    void dropPending();
    void revert(Change change);
    void touch(quint64 id);
    void untouch(quint64 id, quint64 changeEpoch);

    // --- File (client_dataset_file.cpp) ---
    void bindLoaded(const QString &path, const QByteArray &stamp, const TableContent &content);
    // True when the XML file at target is the bound one, unchanged on disk,
    // and the table holds what it holds: saving it again would write the same.
    bool xmlUnchanged(const QString &target) const;
    void afterXmlSave(const QString &target, bool takeAsOwn);
    void saveBinary(const QString &path, bool takeAsOwn);
    bool saveIncrementally(const QString &target, const QString &shownName);
    bool placeNewRecords(std::vector<int> storagePositions,
                         std::vector<std::pair<qint64, Row *>> &placed);
    QList<IndexDef> indexesToWrite() const;
    void rebindAfterWhole(const QString &target);
    void readStoredCellsOfLog(bool onlyTouched);
    void forgetFile();
    // Runs `reads` (which reads stored cells, and writes only what a later
    // step commits) as one operation of the reader; again while the values'
    // source changed during it (they come from the private copy now). Throws
    // FileChangedError when it keeps changing.
    template <typename Reads> void asOneOperation(Reads &&reads)
    {
        const std::shared_ptr<StoredValueReader> reader = storedValues;
        for (int attempt = 0; attempt < 3; ++attempt) {
            StoredValueOperation operation(reader.get());
            reads();
            if (operation.finish())
                return;
        }
        throw FileChangedError::changedInPlace(reader->fileName());
    }

    // --- Opening ---
    void install(QList<FieldDef> newFields, std::vector<Row> newRows);
};

} // namespace bw::dataset
