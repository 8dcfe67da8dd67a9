#pragma once
// The XML form of a table file: the client-dataset XML data packet
// (docs/notes-file-format.md).

#include "table/table_store.h"

#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace bw::dataset {

// Throws FileAccessError or FileFormatError; never returns partial content.
TableContent readXmlPacket(const QString &path);
TableContent readXmlPacket(QIODevice &device, const QString &name);
// Reads a packet of the usual shape straight from its bytes; nothing, without
// a word, for anything else (damage included), which readXmlPacket's full
// reader then reads and judges. Used by readXmlPacket on files.
// `consumed`, when given, learns now and then how far the reader got: it
// never looks at bytes well before that point again.
std::optional<TableContent>
readXmlPacketFast(const char *data, qsizetype size, const QString &name,
                  const std::function<void(const char *consumed)> &consumed = {});
// Writes the packet to an open device. A string field with a value XML
// cannot carry is written escaped (below). Throws DataSetError when a field
// name is no XML name or a string value is not UTF-8, FileAccessError
// naming `shownName` on write errors. Stored cells are read through `stored`.
void writeXmlPacket(QIODevice &device, const QList<FieldDef> &fields, const std::vector<Row> &rows,
                    const QString &shownName, const StoredValueReader *stored = nullptr);

// The escaped form of a string field (FIELD ESCAPE="\"): a backslash is
// written as two, every byte of a character XML 1.0 cannot carry (control
// characters but tab, line feed and carriage return; U+FFFE, U+FFFF) as
// \xHH. Unescaping gives nothing for a backslash followed by anything else;
// the readers then refuse what is not UTF-8.
inline constexpr char kEscapeAttribute[] = "ESCAPE";
inline constexpr char kBackslashEscape[] = "\\";
QByteArray escapeXmlString(const QByteArray &value);
std::optional<QByteArray> unescapeXmlString(const QByteArray &escaped);

} // namespace bw::dataset
