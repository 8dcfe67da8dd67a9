// Reading records of ClientDataSet by position, without moving the cursor.

#include "table/client_dataset_p.h"
#include "table/value_arena.h"

namespace bw::dataset {

// The value of a field of the stored row at pos, as fieldValue gives it: the
// bytes are the caller's own, never a view into the table's blocks.
QVariant ClientDataSet::Private::variantAt(size_t pos, const QString &name) const
{
    const int field = requireField(name);
    Cell scratch;
    const Cell &cell = valueOf(rows[pos], field, scratch);
    if (cell.null)
        return {};
    switch (fields[field].type) {
    case FieldType::Integer:
        return cell.number;
    case FieldType::String:
        return QString::fromUtf8(cell.data);
    case FieldType::Memo:
        return ownedBytes(cell.data);
    }
    return {};
}

QVariant ClientDataSet::fieldValueAt(int recNo, const QString &name) const
{
    if (!d->active || recNo < 1 || recNo > d->viewCount())
        return {};
    return d->variantAt(size_t(d->storageAt(recNo - 1)), name);
}

QVariant ClientDataSet::fieldValueOf(Bookmark bookmark, const QString &name) const
{
    const int pos = d->active ? d->storagePosOf(bookmark.id) : -1;
    if (pos < 0)
        return {};
    return d->variantAt(size_t(pos), name);
}

} // namespace bw::dataset
