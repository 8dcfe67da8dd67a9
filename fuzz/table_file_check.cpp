#include "table_file_check.h"

#include "notes/notes_table.h"
#include "table/client_dataset.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bw::fuzz {

namespace {

using dataset::ClientDataSet;
using dataset::DataSetError;
using dataset::FieldDef;
using dataset::FileAccessError;
using Format = ClientDataSet::FileFormat;

// Saves are flushed to disk; in memory that costs nothing.
const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/bw-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/bw-fuzz-XXXXXX"));
    if (!dir.isValid())
        fault("no scratch folder");
    return dir;
}

struct Snapshot
{
    QList<FieldDef> fields;
    std::vector<std::vector<std::pair<bool, QByteArray>>> rows; // null, bytes
    friend bool operator==(const Snapshot &, const Snapshot &) = default;
};

Snapshot snapshot(ClientDataSet &table)
{
    Snapshot result;
    result.fields = table.fieldDefs();
    for (table.first(); !table.eof(); table.next()) {
        auto &row = result.rows.emplace_back();
        for (const FieldDef &field : result.fields)
            row.emplace_back(table.isNull(field.name), table.asBytes(field.name));
    }
    return result;
}

// Loads `path` into `table`: true when accepted, false when refused cleanly.
bool load(ClientDataSet &table, const QString &path)
{
    const QList<FieldDef> defined = table.fieldDefs();
    try {
        table.loadFromFile(path);
    } catch (const DataSetError &) {
        if (table.isActive())
            fault("a refused file left the table open");
        if (table.fieldDefs() != defined)
            fault("a refused file changed the table's definitions");
        return false;
    }
    if (!table.isActive() || table.changeCount() != 0)
        fault("a loaded table is closed or holds changes");
    return true;
}

// The table saved in `format` and loaded into a table defined as `definedAs`
// must hold what it held.
void checkRoundTrip(ClientDataSet &table, Format format, const QList<FieldDef> &definedAs)
{
    const Snapshot before = snapshot(table);
    const QString path = scratchFile(format == Format::Xml ? "saved.xml" : "saved.cds");
    try {
        table.saveToFile(path, format);
    } catch (const FileAccessError &error) {
        fault("saving failed:", error.message());
    } catch (const DataSetError &error) {
        if (format == Format::Binary)
            fault("the binary form refused a loaded table:", error.message());
        return; // a field name the XML form cannot carry
    }
    ClientDataSet again;
    for (const FieldDef &field : definedAs)
        again.addFieldDef(field);
    try {
        again.loadFromFile(path);
    } catch (const DataSetError &error) {
        fault(format == Format::Xml ? "a saved XML file was refused:"
                                    : "a saved binary file was refused:",
              error.message());
    }
    if (!(snapshot(again) == before))
        fault(format == Format::Xml ? "the XML form changed the table"
                                    : "the binary form changed the table");
}

void checkTable(ClientDataSet &table, const QString &path)
{
    const QList<FieldDef> defined = table.fieldDefs();
    if (!load(table, path))
        return;
    checkRoundTrip(table, Format::Binary, defined);
    checkRoundTrip(table, Format::Xml, defined);
}

} // namespace

void fault(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s %s\n", what, qPrintable(detail));
    std::abort();
}

QString scratchFile(const char *name)
{
    return scratch().filePath(QLatin1String(name));
}

void checkSavedForms(ClientDataSet &table)
{
    for (const Format format : {Format::Binary, Format::Xml}) {
        checkRoundTrip(table, format, table.fieldDefs());
        checkRoundTrip(table, format, {});
    }
}

void checkTableFile(const uint8_t *data, size_t size)
{
    const QString path = scratchFile("input");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            fault("cannot write the input file");
    }
    notes::NotesTable notes;
    checkTable(notes.cdsCommon(), path);
    ClientDataSet bare;
    checkTable(bare, path);
}

} // namespace bw::fuzz
