#pragma once
// Searching a document the way the editor's find does: from a start position
// down to an end or up to a lower bound, with match case and whole word.

#include <QString>

class QTextDocument;

namespace bw {

struct FindOptions
{
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

// Down: the first match starting at or after `start` and ending at or before
// `limit` (-1: the end). Up: the last match ending at or before `start` and
// starting at or after `limit` (-1: the beginning). Returns the match start
// or -1. Matches never cross a paragraph break.
int findInDocument(const QTextDocument *document, const QString &text, int start, int limit,
                   const FindOptions &options);

} // namespace bw
