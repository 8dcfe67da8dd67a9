#pragma once
// The grid's model over the search window's table: one row per record in the
// table's current order and filter, read by position only for the rows the
// view draws, so a table of any size scrolls without building all its rows.
// While a record is inserted its row is shown at the insert position; a
// pending edit shows in its row. The title of a column carries the sort
// marker the window chooses (wwDBGridCalcTitleImage), the row header the
// record marker of the current record.

#include "table/client_dataset.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <functional>

namespace bw::search {

class SearchGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Given a field name, the title picture to show (null for none).
    using TitleImage = std::function<QIcon(const QString &field)>;
    // Shows why a typed value was refused (a value the field cannot hold).
    using Refusal = std::function<void(const QString &message)>;

    SearchGridModel(dataset::ClientDataSet &table, QStringList fields, QObject *parent = nullptr);

    void setTitleImage(TitleImage titleImage) { m_titleImage = std::move(titleImage); }
    void setRefusal(Refusal refusal) { m_refusal = std::move(refusal); }
    QString fieldAt(int column) const { return m_fields.value(column); }
    int columnOf(const QString &field) const { return int(m_fields.indexOf(field)); }

    // The row of the current record (or of the record being inserted), -1 when none.
    int currentRow() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Editing a cell moves to its record, puts the table into edit state and
    // sets the field; the record is posted when the user leaves it or posts.
    // A value the field cannot hold is refused (see setRefusal) and the
    // record stays as it was. Qt calls these from its item views, so none
    // lets an exception through (platform/guarded_dispatch.h).
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // The whole table changed (opened, closed, order, filter, insert begun or ended).
    void reset();
    // The current record's row changed.
    void refreshCurrentRow();
    // The title markers changed.
    void refreshTitles();

private:
    QVariant cellValue(int row, const QString &field) const;
    QVariant cellData(const QModelIndex &index, int role) const;
    QVariant headerCell(int section, Qt::Orientation orientation, int role) const;
    bool storeValue(const QModelIndex &index, const QVariant &value);

    dataset::ClientDataSet &m_table;
    QStringList m_fields;
    TitleImage m_titleImage;
    Refusal m_refusal;
    int m_lastCurrentRow = -1;
};

} // namespace bw::search
