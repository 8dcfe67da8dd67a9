#pragma once
// Small notes tables and files for the import and export tests.

#include "notes/notes_table.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace bw::test {

struct Item
{
    qint32 id;
    qint32 parent;
    QString name;
    std::optional<QByteArray> description = std::nullopt;
};

// Opens the table empty and appends the items in the order given, posted and
// merged (as a file that was just loaded).
inline void fillTable(notes::NotesTable &notes, const QList<Item> &items)
{
    dataset::ClientDataSet &table = notes.cdsCommon();
    table.createDataSet();
    for (const Item &item : items) {
        table.append();
        table.setFieldValue(notes::kFieldId, item.id);
        table.setFieldValue(notes::kFieldParent, item.parent);
        table.setFieldValue(notes::kFieldName, item.name);
        if (item.description)
            table.setBytes(notes::kFieldDescription, *item.description);
        table.post();
    }
    table.mergeChangeLog();
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// An RTF document of one paragraph, as the editor writes them.
inline QByteArray rtfOf(const char *text)
{
    return QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Verdana;}}"
                      "\\pard\\f0\\fs16 ") +
           text + "\\par}";
}

} // namespace bw::test
