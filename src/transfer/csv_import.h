#pragma once
// The import of a text file in which every line is "Name;Description": every
// non-empty line with a name becomes a child item of one parent item, the
// text after the first semicolon its plain-text description. Nothing is
// trimmed, unquoted or unescaped. A line without a semicolon is an item with
// that name and no description; a line that starts with the semicolon adds
// nothing. The file is read twice: once to count the lines for the progress,
// once to import them.

#include <QString>
#include <optional>

namespace bw::dataset {
class ClientDataSet;
}

namespace bw::io {

struct CsvLine
{
    QString name;
    QString description;
};

// Splits at the first semicolon; a line without one is all name.
CsvLine splitCsvLine(const QString &line);

// Where the items go: the document window adds them through its folder tree,
// bwnotes straight into the table.
class ImportTarget
{
public:
    virtual ~ImportTarget() = default;
    // Adds a child item of that name under the parent; it becomes the current record.
    virtual void addItem(const QString &name) = 0;
    // Sets the plain-text description of the item just added and posts it.
    virtual void setDescription(const QString &text) = 0;
};

// What the progress window shows and whether the user cancelled.
class ImportObserver
{
public:
    virtual ~ImportObserver() = default;
    // The number of non-empty lines, known after the first pass.
    virtual void counted(qint64 lines) { (void)lines; }
    // An empty line is skipped.
    virtual void skipped() {}
    // "Adding Item " + name is shown before the item is added.
    virtual void adding(const QString &name) { (void)name; }
    // One non-empty line is done; false stops the import (Cancel).
    virtual bool advance() { return true; }
};

struct ImportResult
{
    qint64 added = 0;
    bool cancelled = false;
};

// Runs both passes. Items added before a cancel or an error stay added.
// Throws IoError when the file cannot be read, and what the target throws.
ImportResult importCsv(const QString &path, ImportTarget &target, ImportObserver &observer);

// Sets the plain-text description of the table's current item and posts it.
// A failure cancels the edit before it is passed on: the table is back in
// browse state with the item as it was. Every import target uses it.
void setItemDescription(dataset::ClientDataSet &table, const QString &text);

inline QString addingItemText(const QString &name)
{
    return QStringLiteral("Adding Item ") + name;
}

// Adds the items straight into a notes table: a new record with the next
// ID (the table's after-insert handler gives it), Parent and Name, posted;
// a parent of nullopt makes top-level items (Parent = own ID).
class TableImportTarget : public ImportTarget
{
public:
    TableImportTarget(dataset::ClientDataSet &table, std::optional<qint32> parent);
    void addItem(const QString &name) override;
    void setDescription(const QString &text) override;

private:
    dataset::ClientDataSet &m_table;
    std::optional<qint32> m_parent;
};

} // namespace bw::io
