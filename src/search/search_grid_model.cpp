#include "search/search_grid_model.h"

#include "platform/guarded_dispatch.h"
#include "table/dataset_error.h"

namespace bw::search {

using State = dataset::ClientDataSet::State;

SearchGridModel::SearchGridModel(dataset::ClientDataSet &table, QStringList fields, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_fields(std::move(fields))
{
}

int SearchGridModel::currentRow() const
{
    if (!m_table.isActive() || (m_table.isEmpty() && m_table.state() != State::Insert))
        return -1;
    return m_table.recNo() - 1;
}

int SearchGridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return guardedOr(0, [&] {
        if (!m_table.isActive())
            return 0;
        return m_table.recordCount() + (m_table.state() == State::Insert ? 1 : 0);
    });
}

int SearchGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

// The pending edit or insert shows in its own row; the rows after an insert
// position are the stored records one further on.
QVariant SearchGridModel::cellValue(int row, const QString &field) const
{
    const State state = m_table.state();
    const int current = currentRow();
    if ((state == State::Edit || state == State::Insert) && row == current)
        return m_table.fieldValue(field);
    if (state == State::Insert && row > current)
        return m_table.fieldValueAt(row, field);
    return m_table.fieldValueAt(row + 1, field);
}

QVariant SearchGridModel::data(const QModelIndex &index, int role) const
{
    return guardedOr(QVariant(), [&] { return cellData(index, role); });
}

QVariant SearchGridModel::cellData(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_fields.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const QVariant value = cellValue(index.row(), m_fields[index.column()]);
        if (value.typeId() == QMetaType::QByteArray)
            return QString::fromUtf8(value.toByteArray());
        return role == Qt::DisplayRole && value.isValid() ? QVariant(value.toString()) : value;
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant SearchGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return guardedOr(QVariant(), [&] { return headerCell(section, orientation, role); });
}

QVariant SearchGridModel::headerCell(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_fields.size())
            return {};
        if (role == Qt::DisplayRole)
            return m_fields[section];
        if (role == Qt::DecorationRole && m_titleImage) {
            const QIcon icon = m_titleImage(m_fields[section]);
            return icon.isNull() ? QVariant() : QVariant(icon);
        }
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    }
    // The record marker: an arrow at the current record, "I" while inserting,
    // a pencil mark while editing.
    if (role == Qt::DisplayRole) {
        if (section != currentRow())
            return QString();
        switch (m_table.state()) {
        case State::Insert:
            return QStringLiteral("*");
        case State::Edit:
            return QStringLiteral("I");
        default:
            return QStringLiteral("\u25B6");
        }
    }
    return {};
}

Qt::ItemFlags SearchGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return guardedOr(f, [&] { return m_table.canModify() ? f | Qt::ItemIsEditable : f; });
}

bool SearchGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    return guardedOr(false, [&] { return storeValue(index, value); });
}

bool SearchGridModel::storeValue(const QModelIndex &index, const QVariant &value)
{
    if (!m_table.canModify())
        return false;
    const QString field = m_fields.value(index.column());
    if (index.row() != currentRow())
        m_table.setRecNo(index.row() + 1);
    const bool wasBrowsing = m_table.state() == State::Browse;
    if (wasBrowsing) {
        if (m_table.fieldValue(field).toString() == value.toString())
            return false; // nothing typed: no edit, no change logged
        m_table.edit();
    }
    try {
        m_table.setFieldValue(field, value.toString().isEmpty() ? QVariant() : value);
    } catch (const dataset::DataSetError &error) {
        // "4x" in an integer field: the record keeps its value and the cell
        // can be edited again.
        if (wasBrowsing && m_table.state() == State::Edit)
            m_table.cancel();
        if (m_refusal)
            m_refusal(error.message());
        return false;
    }
    return true;
}

void SearchGridModel::reset()
{
    beginResetModel();
    m_lastCurrentRow = currentRow();
    endResetModel();
}

void SearchGridModel::refreshCurrentRow()
{
    const int row = currentRow();
    const int last = m_lastCurrentRow;
    m_lastCurrentRow = row;
    for (int r : {last, row}) {
        if (r >= 0 && r < rowCount()) {
            emit dataChanged(index(r, 0), index(r, columnCount() - 1));
            emit headerDataChanged(Qt::Vertical, r, r);
        }
    }
}

void SearchGridModel::refreshTitles()
{
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

} // namespace bw::search
