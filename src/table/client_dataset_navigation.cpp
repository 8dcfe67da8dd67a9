// Order, filter, cursor, bookmarks and locate of ClientDataSet.

#include "table/client_dataset_p.h"
#include "table/text_collation.h"

#include <algorithm>
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
    ++dataVersion; // the order may have changed
    view.clear();
    viewOfStorage.clear();
    if (identityView())
        return;
    view.reserve(rows.size());
    for (int i = 0; i < int(rows.size()); ++i) {
        if (!(filtered && filter) || passesFilter(rows[size_t(i)]))
            view.push_back(i);
    }
    const auto index = std::find_if(indexDefs.begin(), indexDefs.end(),
                                    [&](const IndexDef &def) { return def.name == indexName; });
    if (index != indexDefs.end()) {
        struct Key
        {
            int field;
            FieldType type;
            // Sort keys made once per value of a string field: comparing them is
            // far cheaper than collating the two texts at every comparison.
            std::vector<std::optional<QCollatorSortKey>> strings;
            bool stored = false; // memo values may have to be read from the file
        };
        const QCollator &collator = textCollator();
        std::vector<Key> keys;
        for (const QString &name : index->fields) {
            const int field = fieldIndexByName.value(name, -1);
            if (field < 0)
                continue;
            Key key{field, fields[field].type, {}};
            if (key.type == FieldType::String) {
                key.strings.resize(rows.size());
                for (int pos : view)
                    key.strings[size_t(pos)].emplace(collator.sortKey(
                        QString::fromUtf8(rows[size_t(pos)].cells[size_t(field)].data)));
            }
            key.stored = key.type == FieldType::Memo && storedValues;
            keys.push_back(std::move(key));
        }
        const bool descending = index->descending;
        std::stable_sort(view.begin(), view.end(), [&](int a, int b) {
            for (const Key &key : keys) {
                Cell scratchA;
                Cell scratchB;
                const Cell &ca = key.stored ? valueOf(rows[size_t(a)], key.field, scratchA)
                                            : rows[size_t(a)].cells[size_t(key.field)];
                const Cell &cb = key.stored ? valueOf(rows[size_t(b)], key.field, scratchB)
                                            : rows[size_t(b)].cells[size_t(key.field)];
                int order = 0;
                if (key.type == FieldType::String && !ca.null && !cb.null)
                    order = key.strings[size_t(a)]->compare(*key.strings[size_t(b)]);
                else
                    order = compareCells(ca, cb, key.type);
                if (order != 0)
                    return descending ? order > 0 : order < 0;
            }
            return false;
        });
    }
    viewOfStorage.assign(rows.size(), -1);
    for (int i = 0; i < int(view.size()); ++i)
        viewOfStorage[size_t(view[size_t(i)])] = i;
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
    if (d->state == State::Insert || d->cur < 0 || d->cur >= d->viewCount())
        return {};
    return {d->rows[size_t(d->storageAt(d->cur))].id};
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
