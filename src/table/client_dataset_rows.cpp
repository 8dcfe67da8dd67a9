// Reading records of ClientDataSet by position, without moving the cursor.

#include "table/client_dataset_p.h"
#include "table/value_arena.h"

namespace bw::dataset {

QVariant ClientDataSet::fieldValueAt(int recNo, const QString &name) const
{
    if (!d->active || recNo < 1 || recNo > d->viewCount())
        return {};
    const int field = d->requireField(name);
    Cell scratch;
    const Cell &cell = d->valueOf(d->rows[size_t(d->storageAt(recNo - 1))], field, scratch);
    if (cell.null)
        return {};
    switch (d->fields[field].type) {
    case FieldType::Integer:
        return cell.number;
    case FieldType::String:
        return QString::fromUtf8(cell.data);
    case FieldType::Memo:
        return ownedBytes(cell.data);
    }
    return {};
}

} // namespace bw::dataset
