// Order, filter, cursor, bookmarks and locate of ClientDataSet.

#include "table/client_dataset_p.h"
#include "table/text_collation.h"

#include <QLocale>

#include <algorithm>
#include <limits>
#include <optional>

namespace bw::dataset {

namespace {

int compareCells(const Cell &a, const Cell &b, FieldType type)
{
    if (a.null || b.null)
        return int(b.null) - int(a.null); // null sorts first
    switch (type) {
    case FieldType::Integer:
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    case FieldType::String:
        return textCollator().compare(QString::fromUtf8(a.data), QString::fromUtf8(b.data));
    case FieldType::Memo:
        return a.data.compare(b.data);
    }
    return 0;
}

// Restores the table state after a filter predicate ran, also when it threw.
class FilterScope
{
public:
    FilterScope(ClientDataSet::State &state, const Row *&filtered, const Row &row)
        : m_state(state), m_saved(state), m_row(filtered)
    {
        m_state = ClientDataSet::State::Filter;
        m_row = &row;
    }
    ~FilterScope()
    {
        m_state = m_saved;
        m_row = nullptr;
    }

private:
    ClientDataSet::State &m_state;
    ClientDataSet::State m_saved;
    const Row *&m_row;
};

// A locate value prepared once for comparing with many cells.
struct Needle
{
    bool null = true;
    bool numeric = false;
    qint64 number = 0;
    QString text;
    QByteArray utf8;

    explicit Needle(const QVariant &value)
    {
        null = !value.isValid() || value.isNull();
        if (null)
            return;
        text = value.typeId() == QMetaType::QByteArray ? QString::fromUtf8(value.toByteArray())
                                                       : value.toString();
        utf8 = value.typeId() == QMetaType::QByteArray ? value.toByteArray() : text.toUtf8();
        number = text.trimmed().toLongLong(&numeric);
    }

    bool matches(const Cell &cell, FieldType type, ClientDataSet::LocateOptions options) const
    {
        if (null || cell.null)
            return null && cell.null;
        const bool partial = options & (ClientDataSet::PartialKey | ClientDataSet::PartialAnywhere);
        if (type == FieldType::Integer && !partial)
            return numeric && number == cell.number;
        if (!(options & ClientDataSet::CaseInsensitive)) {
            const QByteArray bytes =
                type == FieldType::Integer ? QByteArray::number(cell.number) : cell.data;
            if (options & ClientDataSet::PartialAnywhere)
                return bytes.contains(utf8);
            return options & ClientDataSet::PartialKey ? bytes.startsWith(utf8) : bytes == utf8;
        }
        const QString value = type == FieldType::Integer ? QString::number(cell.number)
                                                         : QString::fromUtf8(cell.data);
        if (options & ClientDataSet::PartialAnywhere)
            return value.contains(text, Qt::CaseInsensitive);
        if (options & ClientDataSet::PartialKey)
            return value.startsWith(text, Qt::CaseInsensitive);
        return value.compare(text, Qt::CaseInsensitive) == 0;
    }
};

} // namespace

bool ClientDataSet::Private::passesFilter(const Row &row)
{
    FilterScope scope(state, filterRow, row);
    return filter(*q);
}

void ClientDataSet::Private::rebuildView()
{
    // A version moved since the last rebuild means changed records (or a
    // table opened or closed): the kept ranks and orders are stale, and so
    // they are under another collation.
    const QString locale = QLocale().name();
    if (dataVersion != orderedVersion || locale != orderedLocale) {
        indexOrders.clear();
        for (auto &[field, keys] : sortKeys)
            keys.ranks.clear();
        orderedLocale = locale;
    }
    ++dataVersion; // the order may have changed
    orderedVersion = dataVersion;
    view.clear();
    viewOfStorage.clear();
    if (identityView())
        return;
    // The filter runs in stored order, in which values left in the file are
    // read fastest, whatever the order shown.
    const bool filtering = filtered && filter;
    std::vector<bool> passes;
    if (filtering) {
        passes.resize(rows.size());
        for (size_t i = 0; i < rows.size(); ++i)
            passes[i] = passesFilter(rows[i]);
    }
    view.reserve(rows.size());
    const auto index = std::find_if(indexDefs.begin(), indexDefs.end(),
                                    [&](const IndexDef &def) { return def.name == indexName; });
    if (index != indexDefs.end()) {
        for (int pos : indexOrder(*index)) {
            if (!filtering || passes[size_t(pos)])
                view.push_back(pos);
        }
    } else {
        for (int i = 0; i < int(rows.size()); ++i) {
            if (!filtering || passes[size_t(i)])
                view.push_back(i);
        }
    }
    viewOfStorage.assign(rows.size(), -1);
    for (int i = 0; i < int(view.size()); ++i)
        viewOfStorage[size_t(view[size_t(i)])] = i;
}

const std::vector<int> &ClientDataSet::Private::indexOrder(const IndexDef &index)
{
    auto it = indexOrders.find(index.name);
    if (it == indexOrders.end() || it->second.size() != rows.size())
        it = indexOrders.insert_or_assign(index.name, sortAll(index)).first;
    return it->second;
}

namespace {

// A record in an index order being made: its first two key fields as
// numbers that order as the fields do, null first, and its stored place.
struct OrderEntry
{
    quint64 first = 0;
    quint64 second = 0;
    int pos = 0;
};

quint64 integerRank(const Cell &cell)
{
    return cell.null ? 0 : quint64(qint64(cell.number) - std::numeric_limits<qint32>::min()) + 1;
}

} // namespace

// Records with equal keys keep their stored order, in either direction.
std::vector<int> ClientDataSet::Private::sortAll(const IndexDef &index)
{
    struct Key
    {
        int field;
        FieldType type;
        const std::vector<quint32> *ranks; // String fields
    };
    std::vector<Key> keys;
    for (const QString &name : index.fields) {
        const int field = fieldIndexByName.value(name, -1);
        if (field >= 0)
            keys.push_back({field, fields[field].type,
                            fields[field].type == FieldType::String ? &ranksOf(field) : nullptr});
    }
    auto number = [&](const Key &key, int pos) -> quint64 {
        if (key.ranks)
            return (*key.ranks)[size_t(pos)];
        return integerRank(rows[size_t(pos)].cells[size_t(key.field)]);
    };
    // The leading fields that are not memos (at most two) sort as numbers.
    size_t numbered = 0;
    while (numbered < std::min<size_t>(keys.size(), 2) && keys[numbered].type != FieldType::Memo)
        ++numbered;
    auto compareRest = [&](int a, int b) {
        for (size_t i = numbered; i < keys.size(); ++i) {
            const Key &key = keys[i];
            int order = 0;
            if (key.type != FieldType::Memo) {
                const quint64 na = number(key, a);
                const quint64 nb = number(key, b);
                order = na < nb ? -1 : (na > nb ? 1 : 0);
            } else {
                Cell scratchA;
                Cell scratchB;
                order = compareCells(valueOf(rows[size_t(a)], key.field, scratchA),
                                     valueOf(rows[size_t(b)], key.field, scratchB), key.type);
            }
            if (order != 0)
                return order;
        }
        return 0;
    };
    std::vector<OrderEntry> entries(rows.size());
    for (int pos = 0; pos < int(rows.size()); ++pos) {
        entries[size_t(pos)] = {numbered > 0 ? number(keys[0], pos) : 0,
                                numbered > 1 ? number(keys[1], pos) : 0, pos};
    }
    const bool descending = index.descending;
    const bool exact = numbered == keys.size();
    std::sort(entries.begin(), entries.end(), [&](const OrderEntry &a, const OrderEntry &b) {
        if (a.first != b.first)
            return descending ? a.first > b.first : a.first < b.first;
        if (a.second != b.second)
            return descending ? a.second > b.second : a.second < b.second;
        if (!exact) {
            const int order = compareRest(a.pos, b.pos);
            if (order != 0)
                return descending ? order > 0 : order < 0;
        }
        return a.pos < b.pos;
    });
    std::vector<int> order(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        order[i] = entries[i].pos;
    return order;
}

// Comparing two collation keys is far cheaper than collating two texts, and
// comparing two ranks cheaper still: the keys are sorted once, the records
// by rank.
const std::vector<quint32> &ClientDataSet::Private::ranksOf(int field)
{
    FieldSortKeys &keys = sortKeys[field];
    if (keys.ranks.size() == rows.size())
        return keys.ranks;
    updateSortKeys(keys, field);
    std::vector<std::pair<const QCollatorSortKey *, int>> sorted;
    sorted.reserve(rows.size());
    for (int pos = 0; pos < int(rows.size()); ++pos) {
        const Row &row = rows[size_t(pos)];
        if (!row.cells[size_t(field)].null)
            sorted.emplace_back(&*keys.byId[size_t(row.id - keys.firstId)].key, pos);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const auto &a, const auto &b) { return a.first->compare(*b.first) < 0; });
    keys.ranks.assign(rows.size(), 0);
    quint32 rank = 0;
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i == 0 || sorted[i - 1].first->compare(*sorted[i].first) != 0)
            ++rank;
        keys.ranks[size_t(sorted[i].second)] = rank;
    }
    return keys.ranks;
}

void ClientDataSet::Private::updateSortKeys(FieldSortKeys &keys, int field)
{
    const QString locale = QLocale().name();
    if (keys.locale != locale) {
        keys.byId.clear();
        keys.locale = locale;
    }
    if (rows.empty()) {
        keys.byId.clear();
        return;
    }
    // Keys of records that left the table are dropped.
    quint64 lowest = std::numeric_limits<quint64>::max();
    quint64 highest = 0;
    for (size_t pos = 0; pos < rows.size(); ++pos) {
        lowest = std::min(lowest, rows[pos].id);
        highest = std::max(highest, rows[pos].id);
    }
    if (lowest != keys.firstId || highest - lowest + 1 != keys.byId.size()) {
        std::vector<SortKey> kept(size_t(highest - lowest + 1));
        for (size_t i = 0; i < keys.byId.size(); ++i) {
            const quint64 id = keys.firstId + i;
            if (id >= lowest && id <= highest)
                kept[size_t(id - lowest)] = std::move(keys.byId[i]);
        }
        keys.byId = std::move(kept);
        keys.firstId = lowest;
    }
    const QCollator &collator = textCollator();
    for (size_t pos = 0; pos < rows.size(); ++pos) {
        const Row &row = rows[pos];
        const Cell &cell = row.cells[size_t(field)];
        if (cell.null)
            continue;
        SortKey &entry = keys.byId[size_t(row.id - lowest)];
        if (entry.key && entry.source.constData() == cell.data.constData() &&
            entry.source.size() == cell.data.size())
            continue;
        entry.source = cell.data;
        entry.key.emplace(collator.sortKey(QString::fromUtf8(cell.data)));
    }
}

int ClientDataSet::Private::viewPosOfStorage(int storagePos) const
{
    if (storagePos < 0)
        return -1;
    return identityView() ? storagePos : viewOfStorage[size_t(storagePos)];
}

void ClientDataSet::Private::reposition(quint64 id, int fallbackStoragePos)
{
    rebuildView();
    const int count = viewCount();
    int pos = viewPosOfStorage(storagePosOf(id));
    if (pos < 0 && identityView())
        pos = std::min(fallbackStoragePos, count - 1);
    if (pos < 0 && count > 0) {
        // The record is filtered out: take the first visible one after it in stored order.
        for (int s = std::max(fallbackStoragePos, 0); s < int(rows.size()) && pos < 0; ++s)
            pos = viewPosOfStorage(s);
        if (pos < 0)
            pos = count - 1;
    }
    cur = count > 0 ? pos : -1;
    bof = cur <= 0;
    eof = count == 0;
}

void ClientDataSet::Private::moveTo(int viewPos)
{
    bof = eof = false;
    if (viewPos == cur)
        return;
    emitBeforeScroll();
    cur = viewPos;
    emitAfterScroll();
}

// ---------------------------------------------------------------- navigation

int ClientDataSet::recordCount() const
{
    return d->active ? d->viewCount() : 0;
}

bool ClientDataSet::isEmpty() const
{
    return recordCount() == 0;
}

int ClientDataSet::recNo() const
{
    if (!d->active)
        return 0;
    if (d->state == State::Insert)
        return d->insertAppends ? d->viewCount() + 1 : d->curBeforeInsert + 1;
    return d->cur + 1;
}

void ClientDataSet::first()
{
    d->checkActive();
    checkBrowseMode();
    if (d->viewCount() > 0)
        d->moveTo(0);
    d->bof = true;
    d->eof = d->viewCount() == 0;
}

void ClientDataSet::last()
{
    d->checkActive();
    checkBrowseMode();
    if (d->viewCount() > 0)
        d->moveTo(d->viewCount() - 1);
    d->eof = true;
    d->bof = d->viewCount() == 0;
}

void ClientDataSet::next()
{
    moveBy(1);
}

void ClientDataSet::prior()
{
    moveBy(-1);
}

int ClientDataSet::moveBy(int distance)
{
    d->checkActive();
    checkBrowseMode();
    const int count = d->viewCount();
    if (count == 0) {
        d->bof = d->eof = true;
        return 0;
    }
    const qint64 wanted = qint64(d->cur) + distance;
    const int target = int(std::clamp<qint64>(wanted, 0, count - 1));
    const int moved = target - d->cur;
    d->moveTo(target);
    d->eof = distance > 0 && wanted > count - 1;
    d->bof = distance < 0 && wanted < 0;
    return moved;
}

bool ClientDataSet::eof() const
{
    return !d->active || d->eof;
}

bool ClientDataSet::bof() const
{
    return !d->active || d->bof;
}

void ClientDataSet::setRecNo(int recNo)
{
    d->checkActive();
    checkBrowseMode();
    if (d->viewCount() > 0)
        d->moveTo(std::clamp(recNo - 1, 0, d->viewCount() - 1));
}

ClientDataSet::Bookmark ClientDataSet::bookmark() const
{
    if (!d->active)
        return {};
    if (d->state == State::Edit)
        return {d->editId};
    if (d->state == State::Filter)
        return {d->filterRow ? d->filterRow->id : 0};
    if (d->state == State::Insert || d->cur < 0 || d->cur >= d->viewCount())
        return {};
    return {d->rows[size_t(d->storageAt(d->cur))].id};
}

std::vector<ClientDataSet::Bookmark> ClientDataSet::storedBookmarks() const
{
    std::vector<Bookmark> bookmarks;
    if (!d->active)
        return bookmarks;
    bookmarks.reserve(d->rows.size());
    for (size_t pos = 0; pos < d->rows.size(); ++pos)
        bookmarks.push_back({d->rows[pos].id});
    return bookmarks;
}

bool ClientDataSet::bookmarkValid(Bookmark bookmark) const
{
    return d->active && !bookmark.isNull() && d->storagePosOf(bookmark.id) >= 0;
}

bool ClientDataSet::gotoBookmark(Bookmark bookmark)
{
    d->checkActive();
    checkBrowseMode();
    if (bookmark.isNull())
        return false;
    const int pos = d->viewPosOfStorage(d->storagePosOf(bookmark.id));
    if (pos < 0)
        return false;
    d->moveTo(pos);
    return true;
}

// ---------------------------------------------------------------- locate

int ClientDataSet::Private::findInView(int field, const QVariant &value, LocateOptions options,
                                       int from)
{
    const Needle needle(value);
    const FieldType type = fields[field].type;
    // A whole Integer value held by one row is found through the field's
    // counts; a value several rows hold is looked for in view order below.
    if (type == FieldType::Integer && from <= 0 && !needle.null &&
        !(options & (PartialKey | PartialAnywhere))) {
        if (!needle.numeric || qint32(needle.number) != needle.number)
            return -1;
        const ValueCounts::Entry *entry = countsOf(field).find(qint32(needle.number));
        if (!entry)
            return -1;
        if (entry->row != 0) {
            const int storagePos = storagePosOf(entry->row);
            if (storagePos >= 0)
                return viewPosOfStorage(storagePos);
        }
    }
    const auto index = std::find_if(indexDefs.begin(), indexDefs.end(),
                                    [&](const IndexDef &def) { return def.name == indexName; });
    const bool indexed = index != indexDefs.end() && index->fields.first() == fields[field].name &&
                         options == NoLocateOptions && !needle.null && from == 0 &&
                         (type != FieldType::Integer || needle.numeric);
    if (indexed) {
        // Binary search on the selected index, then the first exact match among equals.
        Cell probe;
        probe.null = false;
        probe.number = qint32(needle.number);
        probe.data = needle.utf8;
        if (type == FieldType::Integer && probe.number != needle.number)
            return -1;
        const bool descending = index->descending;
        auto less = [&](int storagePos, int) {
            Cell scratch;
            const int order =
                compareCells(valueOf(rows[size_t(storagePos)], field, scratch), probe, type);
            return descending ? order > 0 : order < 0;
        };
        auto it = std::lower_bound(view.begin(), view.end(), 0, less);
        for (; it != view.end(); ++it) {
            Cell scratch;
            const Cell &cell = valueOf(rows[size_t(*it)], field, scratch);
            if (compareCells(cell, probe, type) != 0)
                break;
            if (needle.matches(cell, type, options))
                return int(it - view.begin());
        }
        return -1;
    }
    for (int pos = std::max(from, 0); pos < viewCount(); ++pos) {
        Cell scratch;
        if (needle.matches(valueOf(rows[size_t(storageAt(pos))], field, scratch), type, options))
            return pos;
    }
    return -1;
}

bool ClientDataSet::locate(const QString &field, const QVariant &value, LocateOptions options)
{
    d->checkActive();
    const int index = d->requireField(field);
    checkBrowseMode();
    const int pos = d->findInView(index, value, options, 0);
    if (pos < 0)
        return false;
    d->moveTo(pos);
    return true;
}

bool ClientDataSet::locateNext(const QString &field, const QVariant &value, LocateOptions options)
{
    d->checkActive();
    const int index = d->requireField(field);
    checkBrowseMode();
    const int pos = d->findInView(index, value, options, std::max(d->cur + 1, 1));
    if (pos < 0)
        return false;
    d->moveTo(pos);
    return true;
}

QList<qint32> ClientDataSet::sharedValues(const QString &field)
{
    d->checkActive();
    const int index = d->requireField(field);
    if (d->fields[index].type != FieldType::Integer)
        throw DataSetError(QStringLiteral("Field '%1' is not an integer field").arg(field));
    const std::vector<qint32> values = d->countsOf(index).shared();
    return QList<qint32>(values.begin(), values.end());
}

int ClientDataSet::nullCount(const QString &field) const
{
    d->checkActive();
    const int index = d->requireField(field);
    int count = 0;
    for (size_t pos = 0; pos < d->rows.size(); ++pos)
        count += d->rows[pos].cells[size_t(index)].null ? 1 : 0;
    return count;
}

// ---------------------------------------------------------------- order and filter

void ClientDataSet::setIndexName(const QString &name)
{
    if (!name.isEmpty() && std::none_of(d->indexDefs.begin(), d->indexDefs.end(),
                                        [&](const IndexDef &def) { return def.name == name; }))
        throw DataSetError(QStringLiteral("Index '%1' not found").arg(name));
    if (!d->active) {
        d->indexName = name;
        return;
    }
    checkBrowseMode();
    const Bookmark current = bookmark();
    d->indexName = name;
    d->reposition(current.id, 0);
    d->emitDataSetChanged();
}

QString ClientDataSet::indexName() const
{
    return d->indexName;
}

void ClientDataSet::setFilter(FilterPredicate predicate)
{
    d->filter = std::move(predicate);
    if (d->active && d->filtered) {
        checkBrowseMode();
        const Bookmark current = bookmark();
        d->reposition(current.id, current.isNull() ? 0 : d->storagePosOf(current.id));
        d->emitDataSetChanged();
    }
}

void ClientDataSet::setFiltered(bool filtered)
{
    if (d->filtered == filtered)
        return;
    if (!d->active) {
        d->filtered = filtered;
        return;
    }
    checkBrowseMode();
    const Bookmark current = bookmark();
    d->filtered = filtered;
    d->reposition(current.id, current.isNull() ? 0 : d->storagePosOf(current.id));
    d->emitDataSetChanged();
}

bool ClientDataSet::isFiltered() const
{
    return d->filtered;
}

} // namespace bw::dataset
