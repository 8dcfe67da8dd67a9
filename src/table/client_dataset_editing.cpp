// Editing, posting, deleting and the change log of ClientDataSet.

#include "table/client_dataset_p.h"

namespace bw::dataset {

namespace {

// The first `width` characters of UTF-8 text.
QByteArray cutUtf8(const QByteArray &utf8, int width)
{
    int characters = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && characters++ == width)
            return utf8.left(i);
    }
    return utf8;
}

} // namespace

// ---------------------------------------------------------------- field values

Cell ClientDataSet::Private::convert(int field, const QVariant &value) const
{
    Cell cell;
    if (!value.isValid() || value.isNull())
        return cell;
    cell.null = false;
    const FieldDef &def = fields[field];
    switch (def.type) {
    case FieldType::Integer: {
        bool ok = false;
        const bool textual =
            value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
        const qint64 number =
            textual ? value.toString().trimmed().toLongLong(&ok) : value.toLongLong(&ok);
        if (!ok || number < std::numeric_limits<qint32>::min() ||
            number > std::numeric_limits<qint32>::max())
            throw DataSetError(QStringLiteral("'%1' is not a valid integer value for field '%2'")
                                   .arg(value.toString(), def.name));
        cell.number = qint32(number);
        break;
    }
    case FieldType::String: {
        const QByteArray utf8 = value.typeId() == QMetaType::QByteArray ? value.toByteArray()
                                                                        : value.toString().toUtf8();
        cell.data = cutUtf8(utf8, def.size);
        break;
    }
    case FieldType::Memo:
        cell.data = value.typeId() == QMetaType::QByteArray ? value.toByteArray()
                                                            : value.toString().toUtf8();
        break;
    }
    if (def.type != FieldType::Integer && cell.data.isNull())
        cell.data = QByteArray(""); // empty, not null
    cell.data.squeeze();            // toUtf8 reserves three bytes per character
    return cell;
}

void ClientDataSet::setFieldValue(const QString &name, const QVariant &value)
{
    d->checkActive();
    const int index = d->requireField(name);
    if (d->state == State::SetKey) {
        d->keyBuffer[size_t(index)] = d->convert(index, value);
        return;
    }
    if (d->state != State::Edit && d->state != State::Insert)
        throw DataSetError(QStringLiteral("Dataset not in edit or insert mode"));
    d->buffer[size_t(index)] = d->convert(index, value);
    d->modified = true;
    d->emitField(name);
}

void ClientDataSet::setBytes(const QString &name, const QByteArray &bytes)
{
    setFieldValue(name, QVariant(bytes.isNull() ? QByteArray("") : bytes));
}

void ClientDataSet::clearField(const QString &name)
{
    setFieldValue(name, QVariant());
}

// ---------------------------------------------------------------- states

void ClientDataSet::append()
{
    d->checkCanModify();
    checkBrowseMode();
    d->emitBeforeScroll();
    d->buffer.assign(size_t(d->fields.size()), Cell{});
    d->modified = false;
    d->insertAppends = true;
    d->insertStoragePos = int(d->rows.size());
    d->curBeforeInsert = d->cur;
    d->setState(State::Insert);
    emit afterInsert();
    d->emitAfterScroll();
}

void ClientDataSet::insert()
{
    d->checkCanModify();
    checkBrowseMode();
    if (d->viewCount() == 0) {
        append();
        return;
    }
    d->emitBeforeScroll();
    d->buffer.assign(size_t(d->fields.size()), Cell{});
    d->modified = false;
    d->insertAppends = false;
    d->insertStoragePos = d->storageAt(d->cur);
    d->curBeforeInsert = d->cur;
    d->setState(State::Insert);
    emit afterInsert();
    d->emitAfterScroll();
}

void ClientDataSet::edit()
{
    d->checkCanModify();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    if (d->state == State::SetKey)
        cancel();
    if (d->viewCount() == 0) {
        append();
        return;
    }
    const Row &row = d->rows[size_t(d->storageAt(d->cur))];
    d->buffer = row.cells;
    d->editId = row.id;
    d->modified = false;
    d->setState(State::Edit);
}

void ClientDataSet::Private::checkRequired() const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].required && buffer[size_t(i)].null)
            throw RequiredFieldError(fields[i].name);
    }
}

void ClientDataSet::Private::postInsert()
{
    ++dataVersion;
    Row row{nextRowId++, std::move(buffer)};
    const quint64 id = row.id;
    countValues(row.cells, id, 1);
    const int pos = std::clamp(insertStoragePos, 0, int(rows.size()));
    rows.insert(size_t(pos), std::move(row));
    changeLog.push_back({Change::Inserted, id, {}, {}, 0, epoch});
    touch(id);
    state = State::Browse;
    if (identityView()) {
        cur = pos; // the common case, kept free of any rebuild
        bof = eof = false;
    } else {
        reposition(id, pos);
    }
}

void ClientDataSet::Private::postEdit()
{
    ++dataVersion;
    const int pos = storagePosOf(editId);
    Row &row = rows[size_t(pos)];
    recountValues(row.cells, buffer, editId);
    changeLog.push_back({Change::Modified, editId, std::move(row.cells), {}, 0, epoch});
    touch(editId);
    row.cells = std::move(buffer);
    state = State::Browse;
    if (!identityView())
        reposition(editId, pos);
}

void ClientDataSet::post()
{
    d->checkActive();
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    if (d->disableCount == 0)
        emit updatingRecord();
    emit beforePost();
    d->checkRequired();
    if (d->state == State::Insert)
        d->postInsert();
    else
        d->postEdit();
    d->buffer.clear();
    d->modified = false;
    d->emitState();
    emit afterPost();
    d->emitDataSetChanged();
}

// Leaves edit, insert or set-key state without storing anything or signalling.
void ClientDataSet::Private::dropPending()
{
    if (state == State::Insert)
        cur = curBeforeInsert;
    buffer.clear();
    keyBuffer.clear();
    modified = false;
    if (state == State::Edit || state == State::Insert || state == State::SetKey)
        state = State::Browse;
}

void ClientDataSet::cancel()
{
    if (!d->active)
        return;
    const State was = d->state;
    if (was != State::Edit && was != State::Insert && was != State::SetKey)
        return;
    d->dropPending();
    d->emitState();
    if (was == State::SetKey)
        return;
    emit afterCancel();
    d->emitDataSetChanged();
}

void ClientDataSet::checkBrowseMode()
{
    if (!d->active)
        return;
    switch (d->state) {
    case State::Edit: {
        const int pos = d->storagePosOf(d->editId);
        if (pos >= 0 && d->rows[size_t(pos)].cells == d->buffer)
            cancel();
        else
            post();
        break;
    }
    case State::Insert:
        if (d->modified)
            post();
        else
            cancel();
        break;
    case State::SetKey:
        cancel();
        break;
    default:
        break;
    }
}

bool ClientDataSet::isModified() const
{
    return d->modified;
}

void ClientDataSet::deleteRecord()
{
    d->checkCanModify();
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    const bool wasEditing = d->state == State::Edit;
    d->dropPending();
    if (d->viewCount() == 0)
        throw DataSetError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    d->emitBeforeScroll();
    const int viewPos = d->cur;
    const int pos = d->storageAt(viewPos);
    // The record after the deleted one in the current order becomes current.
    const quint64 nextId = viewPos + 1 < d->viewCount()
                               ? d->rows[size_t(d->storageAt(viewPos + 1))].id
                               : (viewPos > 0 ? d->rows[size_t(d->storageAt(viewPos - 1))].id : 0);
    Row removed = d->rows.take(size_t(pos));
    ++d->dataVersion;
    d->countValues(removed.cells, removed.id, -1);
    if (removed.filePos != kNoFilePos)
        d->leftFile[removed.id] = removed.filePos;
    d->touch(removed.id);
    d->changeLog.push_back(
        {Private::Change::Deleted, removed.id, {}, std::move(removed), pos, d->epoch});
    d->reposition(nextId, pos);
    if (wasEditing)
        d->emitState();
    emit afterDelete();
    d->emitAfterScroll();
    d->emitDataSetChanged();
}

// ---------------------------------------------------------------- key search

void ClientDataSet::setKey()
{
    d->checkActive();
    checkBrowseMode();
    d->keyBuffer.assign(size_t(d->fields.size()), Cell{});
    d->setState(State::SetKey);
}

bool ClientDataSet::gotoKey()
{
    d->checkActive();
    if (d->state != State::SetKey)
        throw DataSetError(QStringLiteral("Dataset not in set key mode"));
    const Cells key = std::move(d->keyBuffer);
    d->dropPending();
    d->emitState();
    const auto index = std::find_if(d->indexDefs.begin(), d->indexDefs.end(),
                                    [&](const IndexDef &def) { return def.name == d->indexName; });
    if (index == d->indexDefs.end())
        throw DataSetError(QStringLiteral("No index currently active"));
    for (int pos = 0; pos < d->viewCount(); ++pos) {
        const Row &row = d->rows[size_t(d->storageAt(pos))];
        bool match = true;
        for (const QString &name : index->fields) {
            const int field = d->fieldIndexByName.value(name);
            Cell scratch;
            if (!key[size_t(field)].null &&
                !(d->valueOf(row, field, scratch) == key[size_t(field)]))
                match = false;
        }
        if (match) {
            d->moveTo(pos);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- change log

quint64 ClientDataSet::dataVersion() const
{
    return d->dataVersion;
}

int ClientDataSet::changeCount() const
{
    return d->active ? int(d->changeLog.size()) : 0;
}

void ClientDataSet::mergeChangeLog()
{
    d->checkActive();
    checkBrowseMode();
    d->changeLog.clear();
    d->changeLog.shrink_to_fit();
}

void ClientDataSet::Private::touch(quint64 id)
{
    ++touched[id];
}

// An undo of a change made since the last save takes its count back; one of
// an older change is a new difference from the file.
void ClientDataSet::Private::untouch(quint64 id, quint64 changeEpoch)
{
    if (changeEpoch != epoch) {
        ++touched[id];
        return;
    }
    const auto it = touched.find(id);
    if (it != touched.end() && --it->second <= 0)
        touched.erase(it);
}

// Reverts one change in the storage; the caller repositions.
void ClientDataSet::Private::revert(Change change)
{
    ++dataVersion;
    const quint64 id = change.id;
    const quint64 changeEpoch = change.epoch;
    switch (change.kind) {
    case Change::Inserted: {
        const int pos = storagePosOf(id);
        Row row = rows.take(size_t(pos));
        countValues(row.cells, id, -1);
        if (row.filePos != kNoFilePos)
            leftFile[id] = row.filePos;
        break;
    }
    case Change::Modified: {
        Row &row = rows[size_t(storagePosOf(id))];
        recountValues(row.cells, change.old, id);
        row.cells = std::move(change.old);
        break;
    }
    case Change::Deleted: {
        const int pos = std::clamp(change.position, 0, int(rows.size()));
        countValues(change.removed.cells, id, 1);
        if (change.removed.filePos != kNoFilePos)
            leftFile.erase(id);
        rows.insert(size_t(pos), std::move(change.removed));
        break;
    }
    }
    untouch(id, changeEpoch);
}

bool ClientDataSet::undoLastChange(bool followChange)
{
    d->checkActive();
    const bool wasPending = d->state != State::Browse;
    d->dropPending();
    if (wasPending)
        d->emitState();
    if (d->changeLog.empty())
        return false;
    Private::Change change = std::move(d->changeLog.back());
    d->changeLog.pop_back();
    const quint64 current = bookmark().id;
    const int currentPos = current ? d->storagePosOf(current) : 0;
    const quint64 changed = change.id;
    const int changedPos =
        change.kind == Private::Change::Deleted ? change.position : d->storagePosOf(changed);
    d->emitBeforeScroll();
    d->revert(std::move(change));
    if (followChange)
        d->reposition(changed, changedPos);
    else
        d->reposition(current, currentPos);
    d->emitAfterScroll();
    d->emitDataSetChanged();
    return true;
}

void ClientDataSet::cancelUpdates()
{
    d->checkActive();
    const bool wasPending = d->state != State::Browse;
    d->dropPending();
    if (wasPending)
        d->emitState();
    if (d->changeLog.empty())
        return;
    const quint64 current = bookmark().id;
    d->emitBeforeScroll();
    while (!d->changeLog.empty()) {
        Private::Change change = std::move(d->changeLog.back());
        d->changeLog.pop_back();
        d->revert(std::move(change));
    }
    d->reposition(current, 0);
    d->emitAfterScroll();
    d->emitDataSetChanged();
}

} // namespace bw::dataset
