#include "editor/line_index.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace bw {

LineIndex::LineIndex(QTextDocument *document)
{
    setDocument(document);
}

void LineIndex::setDocument(QTextDocument *document)
{
    m_document = document;
    m_firstLine.clear();
    m_valid = 0;
    m_width = -1;
}

void LineIndex::invalidateFrom(int blockNumber)
{
    m_valid = std::clamp(blockNumber, 0, m_valid);
}

void LineIndex::checkWidth()
{
    // A new width rewraps every block.
    const qreal width = m_document->pageSize().width();
    if (width != m_width) {
        m_width = width;
        m_valid = 0;
    }
}

int LineIndex::linesOf(const QTextBlock &block) const
{
    if (!block.isVisible())
        return 0;
    // Asking for the block's rectangle makes the layout reach the block.
    m_document->documentLayout()->blockBoundingRect(block);
    const QTextLayout *layout = block.layout();
    return layout ? std::max(1, layout->lineCount()) : 1;
}

int LineIndex::firstLineOf(int blockNumber)
{
    checkWidth();
    if (int(m_firstLine.size()) < m_document->blockCount() + 1)
        m_firstLine.resize(m_document->blockCount() + 1);
    if (m_valid == 0) {
        m_firstLine[0] = 0;
        m_valid = 1;
    }
    if (blockNumber >= m_valid) {
        QTextBlock block = m_document->findBlockByNumber(m_valid - 1);
        for (; m_valid <= blockNumber && block.isValid(); block = block.next()) {
            m_firstLine[m_valid] = m_firstLine[m_valid - 1] + linesOf(block);
            ++m_valid;
        }
    }
    return m_firstLine[std::min(blockNumber, m_valid - 1)];
}

int LineIndex::lineFromPosition(int position)
{
    if (!m_document)
        return 0;
    const QTextBlock block = m_document->findBlock(position);
    if (!block.isValid())
        return std::max(0, lineCount() - 1);
    const int first = firstLineOf(block.blockNumber());
    linesOf(block);
    const QTextLayout *layout = block.layout();
    const int inBlock =
        layout && layout->lineCount() > 0
            ? std::max(0, layout->lineForTextPosition(position - block.position()).lineNumber())
            : 0;
    return first + inBlock;
}

int LineIndex::lineCount()
{
    if (!m_document)
        return 0;
    return firstLineOf(m_document->blockCount());
}

QTextBlock LineIndex::blockOfLine(int line, int *lineInBlock)
{
    if (!m_document || line < 0 || line >= lineCount())
        return {};
    // The prefix is complete now: binary search for the last block whose
    // first line is not after `line`.
    const auto begin = m_firstLine.begin();
    const auto end = begin + m_document->blockCount();
    const auto it = std::upper_bound(begin, end, line) - 1;
    const int blockNumber = int(it - begin);
    if (lineInBlock)
        *lineInBlock = line - *it;
    return m_document->findBlockByNumber(blockNumber);
}

} // namespace bw
