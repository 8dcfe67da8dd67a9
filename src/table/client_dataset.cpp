#include "table/client_dataset.h"

#include "files/atomic_file.h"
#include "files/file_checks.h"
#include "table/client_dataset_p.h"
#include "table/sqlite_file.h"
#include "table/value_arena.h"
#include "table/xml_packet.h"

#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <utility>

namespace bw::dataset {

ClientDataSet::ClientDataSet(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this))
{
}

ClientDataSet::~ClientDataSet() = default;

// ---------------------------------------------------------------- signals

void ClientDataSet::Private::emitState()
{
    if (disableCount == 0)
        emit q->stateChanged(state);
}

void ClientDataSet::Private::emitField(const QString &name)
{
    if (disableCount == 0)
        emit q->fieldChanged(name);
}

void ClientDataSet::Private::emitDataSetChanged()
{
    if (disableCount == 0)
        emit q->dataSetChanged();
}

void ClientDataSet::Private::emitBeforeScroll()
{
    if (disableCount == 0)
        emit q->beforeScroll();
}

void ClientDataSet::Private::emitAfterScroll()
{
    if (disableCount == 0)
        emit q->afterScroll();
}

void ClientDataSet::Private::setState(State newState)
{
    if (state == newState)
        return;
    state = newState;
    emitState();
}

void ClientDataSet::disableControls()
{
    if (d->disableCount++ == 0)
        d->stateAtDisable = d->state;
}

void ClientDataSet::enableControls()
{
    if (d->disableCount == 0 || --d->disableCount > 0)
        return;
    if (d->state != d->stateAtDisable)
        emit stateChanged(d->state);
    emit dataSetChanged();
}

bool ClientDataSet::controlsDisabled() const
{
    return d->disableCount > 0;
}

// ---------------------------------------------------------------- checks

void ClientDataSet::Private::checkActive() const
{
    if (!active)
        throw DataSetError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void ClientDataSet::Private::checkCanModify() const
{
    checkActive();
    if (readOnly)
        throw DataSetError(QStringLiteral("Cannot modify a read-only dataset"));
    if (storedValues)
        storedValues->preserve();
}

int ClientDataSet::Private::requireField(const QString &name) const
{
    // A few fields are found faster by comparing than by hashing the name.
    constexpr int kLinearSearchLimit = 8;
    if (fields.size() <= kLinearSearchLimit) {
        for (int i = 0; i < fields.size(); ++i) {
            if (fields[i].name == name)
                return i;
        }
    }
    const int index = fieldIndexByName.value(name, -1);
    if (index < 0)
        throw DataSetError(QStringLiteral("Field '%1' not found").arg(name));
    return index;
}

// ---------------------------------------------------------------- definitions

void ClientDataSet::addFieldDef(const FieldDef &def)
{
    d->fieldDefs.append(def);
}

void ClientDataSet::clearFieldDefs()
{
    d->fieldDefs.clear();
}

QList<FieldDef> ClientDataSet::fieldDefs() const
{
    return d->fieldDefs;
}

void ClientDataSet::addIndexDef(const QString &name, const QString &fields, bool descending)
{
    d->indexDefs.append(IndexDef{name, splitFieldList(fields), descending});
}

void ClientDataSet::clearIndexDefs()
{
    d->indexDefs.clear();
}

QList<IndexDef> ClientDataSet::indexDefs() const
{
    return d->indexDefs;
}

void ClientDataSet::addAggregate(const QString &name, const QString &expression)
{
    d->aggregateDefs.append({name, expression});
    if (d->active)
        d->setupAggregates();
}

void ClientDataSet::setAggregatesActive(bool active)
{
    d->aggregatesActive = active;
}

bool ClientDataSet::aggregatesActive() const
{
    return d->aggregatesActive;
}

QVariant ClientDataSet::aggregateValue(const QString &name) const
{
    if (!d->active || !d->aggregatesActive)
        return {};
    for (const Private::Aggregate &aggregate : d->aggregates) {
        if (aggregate.name != name)
            continue;
        const ValueCounts &values = d->valueCounts.at(aggregate.field);
        const std::optional<qint32> value = aggregate.max ? values.max() : values.min();
        return value ? QVariant(*value) : QVariant();
    }
    throw DataSetError(QStringLiteral("Aggregate '%1' not found").arg(name));
}

void ClientDataSet::Private::setupAggregates()
{
    static const QRegularExpression kPattern(
        QStringLiteral("^\\s*(max|min)\\s*\\(\\s*([^()\\s]+)\\s*\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    aggregates.clear();
    valueCounts.clear();
    for (const AggregateDef &def : aggregateDefs) {
        const auto match = kPattern.match(def.expression);
        const int field = match.hasMatch() ? fieldIndexByName.value(match.captured(2), -1) : -1;
        if (field < 0 || fields[field].type != FieldType::Integer)
            throw DataSetError(
                QStringLiteral("Invalid aggregate expression '%1'").arg(def.expression));
        aggregates.push_back(
            {def.name, field,
             match.captured(1).compare(QLatin1String("max"), Qt::CaseInsensitive) == 0});
        countsOf(field);
    }
}

void ClientDataSet::Private::countValues(const Cells &cells, quint64 row, int delta)
{
    for (auto &[field, counts] : valueCounts) {
        const Cell &cell = cells[size_t(field)];
        if (cell.null)
            continue;
        if (delta > 0)
            counts.add(cell.number, row);
        else
            counts.remove(cell.number);
    }
}

void ClientDataSet::Private::recountValues(const Cells &before, const Cells &after, quint64 row)
{
    for (auto &[field, counts] : valueCounts) {
        const Cell &old = before[size_t(field)];
        const Cell &now = after[size_t(field)];
        if (old.null == now.null && (old.null || old.number == now.number))
            continue;
        if (!old.null)
            counts.remove(old.number);
        if (!now.null)
            counts.add(now.number, row);
    }
}

const ValueCounts &ClientDataSet::Private::countsOf(int field)
{
    const auto found = valueCounts.find(field);
    if (found != valueCounts.end())
        return found->second;
    ValueCounts &counts = valueCounts[field];
    counts.reserve(rows.size());
    for (size_t pos = 0; pos < rows.size(); ++pos) {
        const Cell &cell = rows[pos].cells[size_t(field)];
        if (!cell.null)
            counts.add(cell.number, rows[pos].id);
    }
    return counts;
}

// ---------------------------------------------------------------- open, close, files

void ClientDataSet::Private::install(QList<FieldDef> newFields, std::vector<Row> newRows)
{
    QHash<QString, int> byName;
    for (int i = 0; i < newFields.size(); ++i)
        byName.insert(newFields[i].name, i);
    fields = std::move(newFields);
    fieldIndexByName = std::move(byName);
    ++dataVersion;
    const quint64 firstId = nextRowId;
    for (Row &row : newRows)
        row.id = nextRowId++;
    rows.assign(std::move(newRows), firstId);
    setupAggregates();
    changeLog.clear();
    buffer.clear();
    keyBuffer.clear();
    bool indexKnown = false;
    for (const IndexDef &index : indexDefs)
        indexKnown = indexKnown || index.name == indexName;
    if (!indexKnown)
        indexName.clear();
    active = true;
    state = State::Browse;
    rebuildView();
    cur = viewCount() > 0 ? 0 : -1;
    bof = true;
    eof = cur < 0;
}

void ClientDataSet::createDataSet()
{
    close();
    if (d->fieldDefs.isEmpty())
        throw DataSetError(QStringLiteral("No fields defined"));
    validateDefinitions(d->fieldDefs, d->indexDefs);
    d->install(d->fieldDefs, {});
    emit afterOpen();
    d->emitState();
    d->emitDataSetChanged();
}

void ClientDataSet::close()
{
    if (!d->active)
        return;
    emit beforeClose();
    d->active = false;
    ++d->dataVersion;
    d->rows.clear();
    d->view.clear();
    d->viewOfStorage.clear();
    d->sortKeys.clear();
    d->indexOrders.clear();
    d->changeLog.clear();
    d->buffer.clear();
    d->keyBuffer.clear();
    d->valueCounts.clear();
    d->forgetFile();
    d->loadedValues.reset();
    d->cur = -1;
    d->bof = d->eof = true;
    d->setState(State::Inactive);
    d->emitDataSetChanged();
}

bool ClientDataSet::isActive() const
{
    return d->active;
}

namespace {

std::atomic<qint64> onDemandMinimumSize{4 << 20};

TableContent readTableFile(const QString &path)
{
    QFile file;
    if (!file.open(files::openRegularFile(path), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw FileAccessError::cannotOpen(path, file.errorString());
    const QByteArray head = file.peek(16);
    if (head.startsWith("SQLite format 3")) {
        // A small file is read whole: it costs little, and a damaged value is
        // refused at once rather than when its record is shown.
        const bool onDemand = file.size() >= onDemandMinimumSize.load();
        file.close();
        TableContent content = readSqliteFile(path, onDemand);
        content.binaryForm = true;
        return content;
    }
    if (head.trimmed().startsWith('<') || head.startsWith("\xEF\xBB\xBF<"))
        return readXmlPacket(file, path);
    throw FileFormatError::refused(path, QStringLiteral("it is neither a SQLite database nor XML"));
}

// The table's own field definitions must all be in the file, with their types.
QList<FieldDef> matchFields(const QList<FieldDef> &own, QList<FieldDef> fromFile,
                            const QString &path)
{
    for (const FieldDef &def : own) {
        auto it = std::find_if(fromFile.begin(), fromFile.end(),
                               [&](const FieldDef &f) { return f.name == def.name; });
        if (it == fromFile.end())
            throw FileFormatError::refused(path,
                                           QStringLiteral("field '%1' is missing").arg(def.name));
        if (it->type != def.type)
            throw FileFormatError::refused(
                path, QStringLiteral("field '%1' has the wrong type").arg(def.name));
        it->required = it->required || def.required;
    }
    return fromFile;
}

} // namespace

void ClientDataSet::loadFromFile(const QString &path)
{
    close();
    // Taken before reading: a change made meanwhile shows at the next save.
    QByteArray stamp;
    try {
        stamp = files::fileStamp(files::resolveLinkChain(path));
    } catch (const FileAccessError &) {
        // A looping chain: the read below refuses it with its reason.
    }
    TableContent content = readTableFile(path);
    const QList<FieldDef> fileFields = content.fields;
    QList<FieldDef> fields = matchFields(d->fieldDefs, std::move(content.fields), path);
    QList<IndexDef> indexes = d->indexDefs;
    for (const IndexDef &index : content.indexes) {
        if (std::none_of(indexes.begin(), indexes.end(),
                         [&](const IndexDef &own) { return own.name == index.name; }))
            indexes.append(index);
    }
    validateDefinitions(fields, indexes, path);
    const QList<FieldDef> savedFieldDefs = d->fieldDefs;
    const QList<IndexDef> savedIndexDefs = d->indexDefs;
    d->fieldDefs = fields;
    d->indexDefs = indexes;
    try {
        d->loadedValues = content.values;
        d->install(fields, std::move(content.rows));
        content.fields = fileFields;
        d->bindLoaded(path, stamp, content);
    } catch (...) {
        d->fieldDefs = savedFieldDefs;
        d->indexDefs = savedIndexDefs;
        d->active = false;
        d->state = State::Inactive;
        d->rows.clear();
        d->forgetFile();
        d->loadedValues.reset();
        throw;
    }
    emit afterOpen();
    d->emitState();
    d->emitDataSetChanged();
}

void ClientDataSet::saveToFile(const QString &path, FileFormat format, Binding binding)
{
    d->checkActive();
    checkBrowseMode();
    // Refused before anything is written, rather than part way.
    checkStoredValues();
    const bool takeAsOwn = binding == Binding::TakeAsOwnFile;
    if (format == FileFormat::Binary) {
        d->saveBinary(path, takeAsOwn);
        return;
    }
    if (d->xmlUnchanged(files::resolveLinkChain(path)))
        return; // the same content again: the file keeps its inode and time
    std::optional<files::AtomicFile> target;
    d->asOneOperation([&] {
        target.reset();
        target.emplace(path);
        // Unbuffered: every write reaches the file at once, so a full disk is
        // reported with its reason by the write that met it.
        QFile file(target->tempPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            throw FileAccessError::cannotWrite(path, file.errorString());
        writeXmlPacket(file, d->fields, d->rows.contiguous(), path, d->storedValues.get());
        file.close();
    });
    target->commit();
    d->afterXmlSave(target->targetPath(), takeAsOwn);
}

void ClientDataSet::checkStoredValues() const
{
    if (d->storedValues)
        d->storedValues->check();
}

FileReadOperation::FileReadOperation(const ClientDataSet &dataSet)
    : m_reader(dataSet.d->storedValues)
{
    if (m_reader)
        m_reader->beginOperation();
}

FileReadOperation::~FileReadOperation()
{
    if (m_reader)
        m_reader->abandonOperation();
}

void FileReadOperation::finish()
{
    const std::shared_ptr<const StoredValueReader> reader = std::exchange(m_reader, nullptr);
    if (reader && !reader->endOperation())
        throw FileChangedError::changedInPlace(reader->fileName());
}

void ClientDataSet::setOnDemandMinimumSize(qint64 bytes)
{
    onDemandMinimumSize.store(bytes);
}

ClientDataSet::FileFormat ClientDataSet::fileFormatForName(const QString &path)
{
    return path.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ? FileFormat::Xml
                                                                     : FileFormat::Binary;
}

void ClientDataSet::setReadOnly(bool readOnly)
{
    d->readOnly = readOnly;
}

bool ClientDataSet::isReadOnly() const
{
    return d->readOnly;
}

bool ClientDataSet::canModify() const
{
    return d->active && !d->readOnly;
}

ClientDataSet::State ClientDataSet::state() const
{
    return d->state;
}

// ---------------------------------------------------------------- fields

int ClientDataSet::fieldCount() const
{
    return d->active ? int(d->fields.size()) : int(d->fieldDefs.size());
}

int ClientDataSet::fieldIndex(const QString &name) const
{
    return d->fieldIndexByName.value(name, -1);
}

FieldDef ClientDataSet::fieldDef(const QString &name) const
{
    return d->fields[d->requireField(name)];
}

const Cells *ClientDataSet::Private::activeCells() const
{
    switch (state) {
    case State::Filter:
        return filterRow ? &filterRow->cells : nullptr;
    case State::Edit:
    case State::Insert:
        return &buffer;
    case State::SetKey:
        return &keyBuffer;
    default:
        break;
    }
    if (!active || cur < 0 || cur >= viewCount())
        return nullptr;
    return &rows[size_t(storageAt(cur))].cells;
}

const Row *ClientDataSet::Private::activeRow() const
{
    switch (state) {
    case State::Filter:
        return filterRow;
    case State::Edit: {
        const int pos = storagePosOf(editId);
        return pos >= 0 ? &rows[size_t(pos)] : nullptr;
    }
    case State::Insert:
    case State::SetKey:
        return nullptr;
    default:
        break;
    }
    if (!active || cur < 0 || cur >= viewCount())
        return nullptr;
    return &rows[size_t(storageAt(cur))];
}

const Cell *ClientDataSet::Private::activeCell(int field, Cell &scratch) const
{
    const Cells *cells = activeCells();
    if (!cells)
        return nullptr;
    const Cell &cell = (*cells)[size_t(field)];
    if (!cell.stored)
        return &cell;
    const Row *row = activeRow();
    scratch = readStoredCell(row ? row->filePos : kNoFilePos, field, storedValues.get());
    return &scratch;
}

QVariant ClientDataSet::fieldValue(const QString &name) const
{
    const int index = d->requireField(name);
    Cell scratch;
    const Cell *cell = d->activeCell(index, scratch);
    if (!cell || cell->null)
        return {};
    switch (d->fields[index].type) {
    case FieldType::Integer:
        return cell->number;
    case FieldType::String:
        return QString::fromUtf8(cell->data);
    case FieldType::Memo:
        return ownedBytes(cell->data);
    }
    return {};
}

bool ClientDataSet::isNull(const QString &name) const
{
    const int index = d->requireField(name);
    const Cells *cells = d->activeCells();
    return !cells || (*cells)[size_t(index)].null; // a stored cell is never null
}

int ClientDataSet::asInteger(const QString &name) const
{
    const int index = d->requireField(name);
    Cell scratch;
    const Cell *cell = d->activeCell(index, scratch);
    if (!cell || cell->null)
        return 0;
    if (d->fields[index].type == FieldType::Integer)
        return cell->number;
    return QString::fromUtf8(cell->data).trimmed().toInt();
}

QString ClientDataSet::asString(const QString &name) const
{
    const int index = d->requireField(name);
    Cell scratch;
    const Cell *cell = d->activeCell(index, scratch);
    if (!cell || cell->null)
        return {};
    if (d->fields[index].type == FieldType::Integer)
        return QString::number(cell->number);
    return QString::fromUtf8(cell->data);
}

QByteArray ClientDataSet::asBytes(const QString &name) const
{
    const int index = d->requireField(name);
    Cell scratch;
    const Cell *cell = d->activeCell(index, scratch);
    if (!cell || cell->null)
        return {};
    if (d->fields[index].type == FieldType::Integer)
        return QByteArray::number(cell->number);
    return ownedBytes(cell->data);
}

} // namespace bw::dataset
