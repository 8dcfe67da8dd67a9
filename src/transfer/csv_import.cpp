#include "transfer/csv_import.h"

#include "notes/notes_table.h"
#include "transfer/io_error.h"
#include "transfer/text_line_reader.h"

namespace bw::io {

CsvLine splitCsvLine(const QString &line)
{
    const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
    if (semicolon < 0)
        return {line, QString()};
    return {line.left(semicolon), line.mid(semicolon + 1)};
}

ImportResult importCsv(const QString &path, ImportTarget &target, ImportObserver &observer)
{
    TextLineReader reader(path);
    observer.counted(reader.countNonEmptyLines());
    ImportResult result;
    QString line;
    while (reader.readLine(line)) {
        if (line.isEmpty()) {
            observer.skipped();
            continue;
        }
        const CsvLine parts = splitCsvLine(line);
        observer.adding(parts.name);
        if (!parts.name.isEmpty()) {
            target.addItem(parts.name);
            ++result.added;
            if (!parts.description.isEmpty())
                target.setDescription(parts.description);
        }
        if (!observer.advance()) {
            result.cancelled = true;
            break;
        }
    }
    return result;
}

TableImportTarget::TableImportTarget(dataset::ClientDataSet &table, std::optional<qint32> parent)
    : m_table(table), m_parent(parent)
{
}

void TableImportTarget::addItem(const QString &name)
{
    m_table.append(); // the notes table's after-insert handler gives the ID
    try {
        const qint32 id = m_table.asInteger(notes::kFieldId);
        m_table.setFieldValue(notes::kFieldParent, m_parent.value_or(id));
        m_table.setFieldValue(notes::kFieldName, name);
        m_table.post();
    } catch (...) {
        m_table.cancel();
        throw;
    }
}

void setItemDescription(dataset::ClientDataSet &table, const QString &text)
{
    table.edit();
    try {
        table.setBytes(notes::kFieldDescription, text.toUtf8());
        table.post();
    } catch (...) {
        table.cancel();
        throw;
    }
}

void TableImportTarget::setDescription(const QString &text)
{
    setItemDescription(m_table, text);
}

} // namespace bw::io
