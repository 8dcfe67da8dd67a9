#pragma once
// The one decoding of the program's text files and plain-text descriptions:
// UTF-8, or Windows-1252 when the bytes are not valid UTF-8. The editor, the
// CSV import and the export of items all read text through it, so the same
// bytes give the same characters everywhere.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace bw::rtf {

// Every byte as its Windows-1252 character (the five undefined bytes as the
// code points of the same number, as Windows and browsers decode them).
QString fromWindows1252(QByteArrayView bytes);

// Whether the bytes are valid UTF-8.
bool isValidUtf8(QByteArrayView bytes);

// The bytes as UTF-8, else as Windows-1252; a leading byte order mark is
// dropped and CR LF and lone CR become LF.
QString plainTextFromBytes(QByteArrayView bytes);

} // namespace bw::rtf
