#pragma once
// The two versions of a table that the save loop writes in turn, and the
// check that a file holds one of them whole.

#include "table/client_dataset.h"

namespace bw::testing {

constexpr int kVersionRecords[] = {1500, 1700};

inline QByteArray versionDescription(int version, int record)
{
    return QByteArray(600 + record % 400, char('a' + (record + version) % 26));
}

// Gives the record being edited or appended its values of the version.
inline void setVersionValues(dataset::ClientDataSet &table, int version, int record)
{
    table.setFieldValue("Name", QStringLiteral("version %1 item %2").arg(version).arg(record));
    table.setBytes("Description", versionDescription(version, record));
}

// Defines the table's fields and fills it with version 0 or 1.
inline void fillVersion(dataset::ClientDataSet &table, int version)
{
    using dataset::FieldType;
    table.addFieldDef({"ID", FieldType::Integer, 0, true});
    table.addFieldDef({"Name", FieldType::String, 200, true});
    table.addFieldDef({"Description", FieldType::Memo, 32765, false});
    table.createDataSet();
    for (int i = 0; i < kVersionRecords[version]; ++i) {
        table.append();
        table.setFieldValue("ID", i);
        setVersionValues(table, version, i);
        table.post();
    }
    table.mergeChangeLog();
}

// Turns the open table (holding either version) into `version` by editing,
// appending and deleting records, as a user would; the change log is merged.
inline void applyVersion(dataset::ClientDataSet &table, int version)
{
    while (table.recordCount() > kVersionRecords[version]) {
        table.last();
        table.deleteRecord();
    }
    int i = 0;
    for (table.first(); !table.eof(); table.next(), ++i) {
        table.edit();
        setVersionValues(table, version, i);
        table.post();
    }
    for (; i < kVersionRecords[version]; ++i) {
        table.append();
        table.setFieldValue("ID", i);
        setVersionValues(table, version, i);
        table.post();
    }
    table.mergeChangeLog();
}

// The version the loaded table holds whole, or -1.
inline int versionOf(dataset::ClientDataSet &table)
{
    for (int version : {0, 1}) {
        if (table.recordCount() != kVersionRecords[version])
            continue;
        int i = 0;
        for (table.first(); !table.eof(); table.next(), ++i) {
            if (table.asInteger("ID") != i ||
                table.asString("Name") !=
                    QStringLiteral("version %1 item %2").arg(version).arg(i) ||
                table.asBytes("Description") != versionDescription(version, i))
                return -1;
        }
        return version;
    }
    return -1;
}

} // namespace bw::testing
