#pragma once
// Display-line numbering of a document shown by a QTextEdit: the first line
// number of each block, kept as a prefix that is extended on demand and cut
// back at the first block a change touches, so edits near the caret cost
// only the blocks between the change and the line asked for.

#include <QTextBlock>

#include <vector>

class QTextDocument;

namespace bw {

class LineIndex
{
public:
    explicit LineIndex(QTextDocument *document = nullptr);

    void setDocument(QTextDocument *document);
    void invalidateFrom(int blockNumber);
    void invalidateAll() { invalidateFrom(0); }

    // The display line holding the position (0-based).
    int lineFromPosition(int position);
    // The block holding a line and the line's number inside it; invalid
    // block when the line is beyond the end.
    QTextBlock blockOfLine(int line, int *lineInBlock);
    int lineCount();

private:
    int linesOf(const QTextBlock &block) const;
    int firstLineOf(int blockNumber); // extends the prefix up to the block
    void checkWidth();

    QTextDocument *m_document = nullptr;
    std::vector<int> m_firstLine; // valid for block numbers below m_valid
    int m_valid = 0;
    qreal m_width = -1;
};

} // namespace bw
