#pragma once
// The numbers and bullets of numbered paragraphs as a word processor shows
// them (a list's start number, its levels, the text around the number), and
// a document's text with them, as word processors render it as plain text.

#include <QString>

class QTextBlock;
class QTextDocument;

namespace bw::rtf {

// The paragraph's NumberingKind: its Numbering property, else its list's.
int numberingKind(const QTextBlock &block);

// The paragraph's level in its list, 0..8.
int numberingLevel(const QTextBlock &block);

// The number written in a numbering kind ("iv", "D", "12").
QString numberText(int kind, int number);

// The bullet character of a bullet paragraph.
QString bulletOf(const QTextBlock &block);

// The text before and after the number of a numbered paragraph.
QString numberPrefix(const QTextBlock &block);
QString numberSuffix(const QTextBlock &block);

// The number the paragraph shows: its list's start plus its place there.
int itemNumber(const QTextBlock &block);

// What the paragraph shows before its text ("3.", "b)", "•"); empty when it
// is not numbered.
QString listMarker(const QTextBlock &block);

// The document's text with a paragraph a line (table cells too), numbered
// paragraphs indented four spaces a level and led by their marker and a
// space, pictures and footnote texts left out: the text LibreOffice writes.
QString plainText(const QTextDocument *document);

} // namespace bw::rtf
