#include "notes/notes_table.h"

#include "notes/notes_strings.h"

#include <QFileInfo>

namespace bw::notes {

using dataset::ClientDataSet;
using dataset::FieldDef;
using dataset::FieldType;

void defineNotesFields(ClientDataSet &table)
{
    table.clearFieldDefs();
    table.addFieldDef(FieldDef{kFieldId, FieldType::Integer, 0, true});
    table.addFieldDef(FieldDef{kFieldParent, FieldType::Integer, 0, true});
    table.addFieldDef(FieldDef{kFieldName, FieldType::String, kNameWidth, true});
    table.addFieldDef(FieldDef{kFieldDescription, FieldType::Memo, kDescriptionSize, false});
}

void defineNotesTable(ClientDataSet &table)
{
    defineNotesFields(table);
    table.clearIndexDefs();
    table.addIndexDef(kIdxIdAsc, kFieldId);
    table.addIndexDef(kIdxIdDesc, kFieldId, true);
    table.addIndexDef(kIdxParentAsc, kFieldParent);
    table.addIndexDef(kIdxParentDesc, kFieldParent, true);
    table.addAggregate(kAggregateLastId, QStringLiteral("Max(ID)"));
    table.setAggregatesActive(true);
}

bool isTopLevel(qint32 id, qint32 parent, const QSet<qint32> &ids)
{
    return parent == id || !ids.contains(parent);
}

bool isSameFile(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

QSet<qint32> collectIds(ClientDataSet &table)
{
    QSet<qint32> ids;
    if (!table.isActive())
        return ids;
    dataset::ControlsDisabler disabled(table);
    dataset::BookmarkKeeper keeper(table);
    ids.reserve(table.recordCount());
    for (table.first(); !table.eof(); table.next())
        ids.insert(table.asInteger(kFieldId));
    return ids;
}

NotesTable::NotesTable(QObject *parent) : QObject(parent), m_cdsCommon(this)
{
    m_cdsCommon.setObjectName(QStringLiteral("cdsCommon"));
    defineNotesTable(m_cdsCommon);
    connect(&m_cdsCommon, &ClientDataSet::afterInsert, this, &NotesTable::cdsCommonAfterInsert);
}

std::optional<qint32> NotesTable::lastId() const
{
    const QVariant value = m_cdsCommon.aggregateValue(kAggregateLastId);
    if (value.isNull())
        return std::nullopt;
    return value.toInt();
}

void NotesTable::cdsCommonAfterInsert()
{
    if (!m_cdsCommon.isNull(kFieldId))
        return;
    const std::optional<qint32> last = lastId();
    m_cdsCommon.setFieldValue(kFieldId, last ? *last + 1 : 0);
}

void NotesTable::createNewContent()
{
    dataset::ControlsDisabler disabled(m_cdsCommon);
    m_cdsCommon.close();
    m_cdsCommon.createDataSet();
    if (!m_cdsCommon.isEmpty())
        return;
    m_cdsCommon.append();
    m_cdsCommon.setFieldValue(kFieldId, kFirstItemId.toInt());
    m_cdsCommon.setFieldValue(kFieldParent, kFirstItemParent.toInt());
    m_cdsCommon.setFieldValue(kFieldName, kFirstItemName);
    m_cdsCommon.setFieldValue(kFieldDescription, kFirstItemDescription.toLatin1());
    m_cdsCommon.post();
}

void NotesTable::loadFromFile(const QString &path)
{
    dataset::ControlsDisabler disabled(m_cdsCommon);
    defineNotesFields(m_cdsCommon); // a file must carry these four fields, matched by name
    m_cdsCommon.loadFromFile(path);
}

} // namespace bw::notes
