// libFuzzer harness of the CSV import: every input is the text file to
// import, as child items of the first item of a new notes file (the document
// window's way). The import must add one item per line that has a name (as
// counted here from the bytes), under that parent, keep the old records as
// they were, leave the table browsing, and the result must survive a save
// and reload in both forms (see table_file_check.h). The import refuses
// nothing in a readable file; an error of the table aborts as a finding.

#include "table_file_check.h"

#include "notes/notes_table.h"
#include "table/client_dataset.h"
#include "table/dataset_error.h"
#include "transfer/csv_import.h"
#include "transfer/io_error.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

namespace {

using bw::dataset::ClientDataSet;
using bw::fuzz::fault;

bool validUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

// Lines end with LF or CR LF; a UTF-8 byte order mark before the first line
// is not part of it. A line that is empty or starts with ';' adds nothing.
// A file is UTF-8 when every line is, else Windows-1252; UTF-8 text loses a
// leading U+FEFF when decoded (Qt's rule), so a line of that alone adds nothing.
qint64 expectedItems(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QList<QByteArray> lines = bytes.split('\n');
    bool utf8 = true;
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        utf8 = utf8 && validUtf8(line);
    }
    qint64 count = 0;
    for (QByteArray line : std::as_const(lines)) {
        if (utf8 && line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
        if (!line.isEmpty() && !line.startsWith(';'))
            ++count;
    }
    return count;
}

struct Record
{
    qint32 id;
    qint32 parent;
    QByteArray name;
    QByteArray description;
};

QList<Record> records(ClientDataSet &table)
{
    QList<Record> result;
    for (table.first(); !table.eof(); table.next())
        result.append(
            {table.asInteger(bw::notes::kFieldId), table.asInteger(bw::notes::kFieldParent),
             table.asBytes(bw::notes::kFieldName), table.asBytes(bw::notes::kFieldDescription)});
    return result;
}

void checkImport(ClientDataSet &table, const QList<Record> &before, qint32 parent, qint64 added,
                 qint64 expected)
{
    if (table.state() != ClientDataSet::State::Browse)
        fault("the import left the table editing");
    if (added != expected)
        fault("the import added another number of items than the file has lines with names:",
              QString::number(added) + QStringLiteral(" for ") + QString::number(expected));
    const QList<Record> after = records(table);
    if (after.size() != before.size() + added)
        fault("the table does not hold the old records and the added items");
    for (qsizetype i = 0; i < after.size(); ++i) {
        const Record &record = after[i];
        const auto old = std::find_if(before.begin(), before.end(),
                                      [&](const Record &r) { return r.id == record.id; });
        if (old != before.end()) {
            if (old->parent != record.parent || old->name != record.name ||
                old->description != record.description)
                fault("the import changed an old record");
        } else if (record.parent != parent || record.name.isEmpty()) {
            fault("an imported item is not a named child of the chosen item:",
                  QString::fromUtf8(record.name));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = bw::fuzz::scratchFile("import.csv");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            fault("cannot write the input file");
    }
    bw::notes::NotesTable notes;
    notes.createNewContent();
    ClientDataSet &table = notes.cdsCommon();
    const QList<Record> before = records(table);
    table.first();
    const qint32 parent = table.asInteger(bw::notes::kFieldId);
    bw::io::TableImportTarget target(table, parent);
    bw::io::ImportObserver observer;
    bw::io::ImportResult result;
    try {
        result = bw::io::importCsv(path, target, observer);
    } catch (const bw::io::IoError &error) {
        fault("a readable file was refused:", error.message());
    } catch (const bw::dataset::DataSetError &error) {
        fault("the table refused an imported line:", error.message());
    }
    checkImport(table, before, parent, result.added, expectedItems(bytes));
    bw::fuzz::checkSavedForms(table);
    return 0;
}
