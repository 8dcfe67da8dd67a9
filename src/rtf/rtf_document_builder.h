#pragma once
// Puts what the RTF reader found into a QTextDocument through one cursor:
// runs of text, images, paragraph ends with their formats and numbering, and
// the cells and rows of tables.

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextImageFormat>

#include <array>
#include <map>
#include <vector>

class QTextList;
class QTextTable;

namespace bw::rtf {

// The numbering of one paragraph.
struct ParagraphNumbering
{
    int kind = 0; // NumberingKind
    int start = 1;
    int tab = 0; // twips
    QString prefix;
    QString suffix;
    int level = 0; // 0..8
    int list = 0;  // the list's \ls; 0: the \pn form, a list of adjacent paragraphs
    QString bullet;
};

class RtfDocumentBuilder
{
public:
    // Replace: the cursor is in an empty document, and the RTF's last \par
    // ends the last paragraph. Insert: the content goes in at the cursor, and
    // a last \par splits the paragraph there.
    enum class Mode { Replace, Insert };

    RtfDocumentBuilder(QTextCursor &cursor, Mode mode);

    void insertText(const QString &text, const QTextCharFormat &format);
    void insertImage(const QTextImageFormat &format);
    void endParagraph(const QTextBlockFormat &format, const QTextCharFormat &charFormat,
                      const ParagraphNumbering &numbering);
    // Called once at the end with the formats then in effect.
    void finish(const QTextBlockFormat &format, const QTextCharFormat &charFormat,
                const ParagraphNumbering &numbering);

    // Tables. Before content, whether it belongs in a table, with the cell
    // edges (twips) of the row being defined and whether it has borders (a
    // table shows them as a plain frame); a cell ends its last paragraph.
    void setTableContext(bool inTable, const std::vector<int> &cellEdges, bool borders);
    void endCell(const QTextBlockFormat &format, const QTextCharFormat &charFormat,
                 const ParagraphNumbering &numbering);
    void endRow();
    bool inTable() const { return m_table != nullptr; }
    bool cellEnded() const { return m_move != Move::None; }
    // Nothing in the paragraph being read yet.
    bool paragraphEmpty() const;

private:
    // A run held back until its paragraph's format is known.
    struct Run
    {
        QString text; // empty: an image
        QTextCharFormat format;
    };

    void breakIfPending();
    void insertHeldRuns();
    void applyBlockFormat(const QTextBlockFormat &format, const QTextCharFormat &charFormat);
    void applyNumbering(const ParagraphNumbering &numbering);
    QTextList *listFor(const ParagraphNumbering &numbering);
    QTextBlockFormat withListNumber(const QTextBlockFormat &format,
                                    const ParagraphNumbering &numbering);
    void closeParagraph(const QTextBlockFormat &format, const QTextCharFormat &charFormat,
                        const ParagraphNumbering &numbering);
    void startTable(const std::vector<int> &cellEdges, bool borders);
    void enterCell(int row, int column);
    void leaveTable();
    void dropCopiedNumbering();

    enum class Move { None, NextCell, NextRow };

    QTextCursor &m_cursor;
    Mode m_mode;
    bool m_pendingBreak = false;
    // While a break is pending, the next paragraph's runs wait here, so that
    // its block is made with its own format in one step at its \par.
    std::vector<Run> m_heldRuns;
    bool m_blockEmpty = false;       // nothing inserted into the current block yet
    bool m_blockMayBeListed = false; // the current block may belong to a list
    QTextBlockFormat m_blockFormat;  // of the current block, without list membership
    QTextCharFormat m_nextCharFormat;
    QTextBlockFormat m_originalBlockFormat; // Insert: of the paragraph split at the cursor
    QTextCharFormat m_originalCharFormat;
    QTextList *m_list = nullptr;
    ParagraphNumbering m_listNumbering; // of m_list
    // The lists of each numbered list by level: a level goes on across other
    // paragraphs, and starts again after an item of a level above it.
    struct ListLevels
    {
        std::array<QTextList *, 9> lists{};
        std::array<ParagraphNumbering, 9> numbering;
    };
    std::map<int, ListLevels> m_levels; // by \ls
    // Every list gets a number of its own in the document (NumberingList),
    // so that it is written back as a list of its own.
    std::map<int, int> m_listNumbers; // \ls → its number
    int m_nextListNumber = 1;
    int m_adjacentListNumber = 0; // of m_list
    QTextTable *m_table = nullptr;
    int m_row = 0;
    int m_column = 0;
    Move m_move = Move::None;
};

} // namespace bw::rtf
