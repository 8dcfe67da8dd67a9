// The file behind a ClientDataSet: which binary file the table agrees with,
// and saves that write only what changed since.
//
// A table loaded from a file (or that wrote it whole) is bound to that file.
// An XML save onto the bound XML file, unchanged on disk since, with no
// record touched and the same fields, writes nothing. For the binary form: Every record it changes
// afterwards is counted in `touched` (an undo of a change made since takes the count back) and the
// file position of every record that leaves it in `leftFile`. A binary save onto the bound file,
// unchanged on disk since, then writes just those records in one SQLite transaction. Records
// inserted since get positions between those of their neighbours; where no number is free there,
// the file is written whole.
//
// Stored cells (values left in the file at load) are read from the file at
// the record's position. Before a save writes over or removes a record, the
// stored cells of the change log that stand for its old values are read into
// memory, so that an undo afterwards restores what the record held.

#include "files/atomic_file.h"
#include "files/file_checks.h"
#include "table/client_dataset_p.h"
#include "table/sqlite_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace bw::dataset {

namespace {

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// The stamp of a binary file: files::fileStamp() and SQLite's change counter, which
// every commit counts up (two writes close together may leave the time).
QByteArray boundStamp(const QString &path)
{
    QByteArray stamp = files::fileStamp(path);
    QFile file(path);
    if (!stamp.isEmpty() && file.open(QIODevice::ReadOnly) && file.seek(24))
        stamp += ':' + file.read(4).toHex();
    return stamp;
}

// "device:inode" of a stamp: equal for one file, whatever its name.
QByteArray fileIdentity(const QByteArray &stamp)
{
    const int second = stamp.indexOf(':', stamp.indexOf(':') + 1);
    return second < 0 ? QByteArray() : stamp.left(second);
}

} // namespace

void ClientDataSet::Private::forgetFile()
{
    bound.reset();
    storedValues.reset();
    touched.clear();
    leftFile.clear();
    ++epoch;
}

void ClientDataSet::Private::bindLoaded(const QString &path, const QByteArray &stamp,
                                        const TableContent &content)
{
    forgetFile();
    storedValues = content.storedValues;
    if (stamp.isEmpty())
        return;
    bound = BoundFile{absolute(files::resolveLinkChain(path)), stamp, content.fields,
                      content.indexes, !content.binaryForm};
    if (bound->xml)
        return;
    QFile file(bound->path);
    if (file.open(QIODevice::ReadOnly) && file.seek(24))
        bound->stamp += ':' + file.read(4).toHex();
}

bool ClientDataSet::Private::xmlUnchanged(const QString &target) const
{
    return bound && bound->xml && absolute(target) == bound->path && touched.empty() &&
           leftFile.empty() && fields == bound->fields && files::fileStamp(target) == bound->stamp;
}

void ClientDataSet::Private::afterXmlSave(const QString &target, bool takeAsOwn)
{
    // Save As onto another file leaves the table bound to its own. The
    // stored cells still read the binary file as it was loaded (the reader
    // keeps it open), at the records' old positions.
    if (!takeAsOwn && bound && absolute(target) != bound->path)
        return;
    touched.clear();
    leftFile.clear();
    ++epoch;
    bound = BoundFile{absolute(target), files::fileStamp(target), fields, {}, true};
}

QList<IndexDef> ClientDataSet::Private::indexesToWrite() const
{
    QList<IndexDef> indexes;
    for (const IndexDef &index : indexDefs) {
        if (std::all_of(index.fields.begin(), index.fields.end(),
                        [&](const QString &f) { return fieldIndexByName.contains(f); }))
            indexes.append(index);
    }
    return indexes;
}

void ClientDataSet::Private::saveBinary(const QString &path, bool takeAsOwn)
{
    const QString target = files::resolveLinkChain(path);
    if (saveIncrementally(target, path))
        return;
    std::optional<files::AtomicFile> file;
    asOneOperation([&] {
        file.reset();
        file.emplace(path);
        writeSqliteFile(file->tempPath(), fields, indexesToWrite(), rows.contiguous(), path,
                        storedValues.get());
    });
    file->commit();
    // Save As onto another file leaves the table bound to its own.
    const bool ownFile = takeAsOwn || !bound || absolute(target) == bound->path ||
                         fileIdentity(files::fileStamp(target)) == fileIdentity(bound->stamp);
    if (ownFile)
        rebindAfterWhole(target);
}

// The new records between two records of the file (or before the first, or
// after the last) get evenly spread positions between theirs. False when
// some run has no free numbers left.
bool ClientDataSet::Private::placeNewRecords(std::vector<int> storagePositions,
                                             std::vector<std::pair<qint64, Row *>> &placed)
{
    std::sort(storagePositions.begin(), storagePositions.end());
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    for (size_t i = 0; i < storagePositions.size();) {
        size_t end = i + 1;
        while (end < storagePositions.size() &&
               storagePositions[end] == storagePositions[end - 1] + 1)
            ++end;
        const int first = storagePositions[i];
        const int last = storagePositions[end - 1];
        const qint64 count = qint64(end - i);
        const bool hasLow = first > 0;
        const bool hasHigh = last + 1 < int(rows.size());
        const qint64 low = hasLow ? rows[size_t(first - 1)].filePos : 0;
        const qint64 high = hasHigh ? rows[size_t(last + 1)].filePos : 0;
        if ((hasLow && low == kNoFilePos) || (hasHigh && high == kNoFilePos))
            return false; // a record without position beside the run: not ours to place
        qint64 start = 0;
        qint64 step = kFilePositionStep;
        if (hasLow && hasHigh) {
            step = (high - low) / (count + 1);
            start = low + step;
        } else if (hasLow) {
            if (low > kMax - kFilePositionStep * (count + 1))
                return false;
            start = low + kFilePositionStep;
        } else if (hasHigh) {
            if (high < -kMax + kFilePositionStep * (count + 1))
                return false;
            start = high - kFilePositionStep * count;
        }
        if (step < 1)
            return false;
        for (qint64 k = 0; k < count; ++k)
            placed.emplace_back(start + k * step, &rows[size_t(first + int(k))]);
        i = end;
    }
    return true;
}

bool ClientDataSet::Private::saveIncrementally(const QString &target, const QString &shownName)
{
    if (!bound || bound->xml)
        return false;
    // A file changed on disk since (by another program, or replaced) is
    // written whole, from what the table holds.
    const QByteArray stamp = boundStamp(target);
    if (stamp.isEmpty() || stamp != bound->stamp)
        return false;
    const QList<IndexDef> indexes = indexesToWrite();
    FileUpdate update;
    update.fields = fields;
    update.indexes = indexes;
    update.definitionsChanged = fields != bound->fields || indexes != bound->indexes;
    if (touched.empty() && leftFile.empty() && !update.definitionsChanged)
        return true; // nothing to write: the file keeps its time
    files::checkWritableTarget(target, shownName);

    std::vector<int> newRecords;
    for (const auto &[id, count] : touched) {
        const int pos = rows.positionOf(id);
        if (pos < 0)
            continue;
        if (rows[size_t(pos)].filePos == kNoFilePos)
            newRecords.push_back(pos);
        else
            update.updates.push_back(&rows[size_t(pos)]);
    }
    std::vector<std::pair<qint64, Row *>> placed;
    if (!placeNewRecords(std::move(newRecords), placed))
        return false;
    for (const auto &[position, row] : placed)
        update.insertions.emplace_back(position, row);
    for (const auto &[id, position] : leftFile)
        update.deletions.push_back(position);

    readStoredCellsOfLog(true);
    updateSqliteFile(target, shownName, update);

    for (const auto &[position, row] : placed)
        row->filePos = position;
    for (Change &change : changeLog)
        change.removed.filePos = kNoFilePos; // removed records are gone from the file
    touched.clear();
    leftFile.clear();
    ++epoch;
    bound->stamp = boundStamp(target);
    bound->fields = fields;
    bound->indexes = indexes;
    // The reader's cache holds pages from before the update.
    if (storedValues)
        storedValues = openStoredValues(target, fields);
    return true;
}

void ClientDataSet::Private::rebindAfterWhole(const QString &target)
{
    // The change log's stored cells stand for the old file's values.
    readStoredCellsOfLog(false);
    const std::vector<Row> &all = rows.contiguous();
    for (size_t r = 0; r < all.size(); ++r)
        rows[r].filePos = qint64(r) * kFilePositionStep;
    for (Change &change : changeLog)
        change.removed.filePos = kNoFilePos;
    touched.clear();
    leftFile.clear();
    ++epoch;
    bound = BoundFile{absolute(target), boundStamp(target), fields, indexesToWrite()};
    if (storedValues)
        storedValues = openStoredValues(target, fields);
}

// Reads into memory the stored cells of the change log (only of the records
// touched since the last save, with `onlyTouched`).
void ClientDataSet::Private::readStoredCellsOfLog(bool onlyTouched)
{
    if (!storedValues)
        return;
    std::unordered_map<quint64, qint64> removedAt; // records the log holds as deleted
    for (const Change &change : changeLog) {
        if (change.kind == Change::Deleted)
            removedAt[change.id] = change.removed.filePos;
    }
    // Read first and put in place once the operation proved them whole.
    std::vector<std::pair<Cell *, Cell>> read;
    auto load = [&](Cells &cells, qint64 filePos) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].stored)
                read.emplace_back(&cells[i], readStoredCell(filePos, int(i), storedValues.get()));
        }
    };
    asOneOperation([&] {
        read.clear();
        for (Change &change : changeLog) {
            if (onlyTouched && !touched.count(change.id))
                continue;
            if (change.kind == Change::Deleted) {
                load(change.removed.cells, change.removed.filePos);
            } else if (change.kind == Change::Modified) {
                const int pos = rows.positionOf(change.id);
                const auto removed = removedAt.find(change.id);
                const qint64 filePos =
                    pos >= 0 ? rows[size_t(pos)].filePos
                             : (removed != removedAt.end() ? removed->second : kNoFilePos);
                load(change.old, filePos);
            }
        }
    });
    for (auto &[cell, value] : read)
        *cell = std::move(value);
}

} // namespace bw::dataset
