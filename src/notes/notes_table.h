#pragma once
// The notes table: one flat table of items (ID, Parent, Name, Description)
// with the aggregate LastID = Max(ID). NotesTable owns the table `cdsCommon`
// of a document window, allocates keys of new records and makes the content
// of a new file. isTopLevel() is the one top-level rule every reader uses.

#include "table/client_dataset.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <optional>

namespace bw::notes {

inline const QString kFieldId = QStringLiteral("ID");
inline const QString kFieldParent = QStringLiteral("Parent");
inline const QString kFieldName = QStringLiteral("Name");
inline const QString kFieldDescription = QStringLiteral("Description");
inline const QString kAggregateLastId = QStringLiteral("LastID");
inline const QString kIdxIdAsc = QStringLiteral("idxIDAsc");
inline const QString kIdxIdDesc = QStringLiteral("idxIDDesc");
inline const QString kIdxParentAsc = QStringLiteral("idxParentAsc");
inline const QString kIdxParentDesc = QStringLiteral("idxParentDesc");
constexpr int kNameWidth = 200;
constexpr int kDescriptionSize = 32765;

// Defines the four fields on a closed table.
void defineNotesFields(dataset::ClientDataSet &table);
// Defines the fields, the four indexes of a notes table and LastID (active).
void defineNotesTable(dataset::ClientDataSet &table);

// A record is top-level when its Parent names no ID of the table, or its own ID.
bool isTopLevel(qint32 id, qint32 parent, const QSet<qint32> &ids);
// Every ID of the table; walks it in default order and returns to the current record.
QSet<qint32> collectIds(dataset::ClientDataSet &table);

// True when two file names name one file: equal names, or two existing files
// that are one (a relative and an absolute name, "..", a symbolic link).
bool isSameFile(const QString &a, const QString &b);

class NotesTable : public QObject
{
    Q_OBJECT
public:
    explicit NotesTable(QObject *parent = nullptr);

    dataset::ClientDataSet &cdsCommon() { return m_cdsCommon; }
    const dataset::ClientDataSet &cdsCommon() const { return m_cdsCommon; }

    // Closes the table if open, creates it empty and adds the first item,
    // posted (so a new file starts with one change). Controls stay disabled
    // throughout. Throws dataset::DataSetError.
    void createNewContent();
    // Loads a notes file with controls disabled; a file lacking one of the
    // four fields fails. Throws dataset::DataSetError; the table stays closed.
    void loadFromFile(const QString &path);

    // LastID, or nothing while the table holds no record.
    std::optional<qint32> lastId() const;

    // Connected to the table's afterInsert: gives the new record its ID.
    void cdsCommonAfterInsert();

private:
    dataset::ClientDataSet m_cdsCommon;
};

} // namespace bw::notes
