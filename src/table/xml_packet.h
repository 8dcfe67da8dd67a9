#pragma once
// The XML form of a table file: the client-dataset XML data packet
// (docs/notes-file-format.md).

#include "table/table_store.h"

#include <QString>

#include <optional>

class QIODevice;

namespace bw::dataset {

// Throws FileAccessError or FileFormatError; never returns partial content.
TableContent readXmlPacket(const QString &path);
TableContent readXmlPacket(QIODevice &device, const QString &name);
// Reads a packet of the usual shape straight from its bytes; nothing, without
// a word, for anything else (damage included), which readXmlPacket's full
// reader then reads and judges. Used by readXmlPacket on files.
std::optional<TableContent> readXmlPacketFast(const char *data, qsizetype size,
                                              const QString &name);
// Writes the packet to an open device. Throws DataSetError when a string
// value holds a character XML cannot carry, FileAccessError naming
// `shownName` on write errors. Stored cells are read through `stored`.
void writeXmlPacket(QIODevice &device, const QList<FieldDef> &fields, const std::vector<Row> &rows,
                    const QString &shownName, const StoredValueReader *stored = nullptr);

} // namespace bw::dataset
