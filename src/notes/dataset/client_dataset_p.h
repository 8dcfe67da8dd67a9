#pragma once
// Inside of ClientDataSet, shared by its implementation files.

#include "notes/dataset/client_dataset.h"
#include "notes/dataset/row_store.h"

#include <QHash>
#include <map>
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
        Cells old;       // Modified: the cells before the post
        Row removed;     // Deleted: the whole record
        int position = 0; // Deleted: its storage position
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
    std::map<int, std::map<qint32, int>> aggregateValues; // field -> value -> how many rows

    // Order and filter. Without index and filter the view is the stored order
    // itself and `view` stays empty, so appends cost nothing extra.
    QString indexName;
    FilterPredicate filter;
    bool filtered = false;
    std::vector<int> view;           // storage positions in view order
    std::vector<int> viewOfStorage;  // storage position -> view position or -1

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
    const Cells *filterCells = nullptr;

    std::vector<Change> changeLog;

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
    // Rebuilds the view after a change and makes the record `id` current (or
    // the one at `fallbackStoragePos` in stored order when `id` is not visible).
    void reposition(quint64 id, int fallbackStoragePos);
    void rebuildView();
    bool passesFilter(const Cells &cells);
    void moveTo(int viewPos);
    int findInView(int field, const QVariant &value, LocateOptions options, int from);

    // --- Aggregates ---
    void setupAggregates();
    void countAggregates(const Cells &cells, int delta);

    // --- Editing ---
    Cell convert(int field, const QVariant &value) const;
    void checkRequired() const;
    void postInsert();
    void postEdit();
    void dropPending();
    void revert(Change change);

    // --- Opening ---
    void install(QList<FieldDef> newFields, std::vector<Row> newRows);
};

} // namespace bw::dataset
