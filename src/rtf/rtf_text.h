#pragma once
// The text of RTF read without building a document: the characters the
// reader puts into the body, a paragraph a line. Searching the text of many
// descriptions cannot afford a QTextDocument for each.

#include <QByteArray>
#include <QString>

namespace bw::rtf {

// The body text: header tables, pictures, objects, field instructions,
// footnotes and numbering left out; \'hh decoded through the code page of
// the font or of \ansicpg, \uN with its fallback skipped; paragraph and row
// ends and line breaks as "\n", tabs and cells as "\t". A document's last
// paragraph end adds no empty line. Throws RtfError when the bytes are not
// RTF at all.
QString rtfText(const QByteArray &rtf);

} // namespace bw::rtf
