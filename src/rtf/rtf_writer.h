#pragma once
// Writes a QTextDocument, or a range of it, as RTF: the font and colour
// tables, the list table, paragraph formats with numbering in both forms,
// tables, runs of text with the changes of character format, links,
// footnotes, pictures and objects.

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <QTextBlock>

#include <array>

class QTextCharFormat;
class QTextTable;
class QTextDocument;
class QTextFragment;
class QTextImageFormat;

namespace bw::rtf {

class RtfWriter
{
public:
    explicit RtfWriter(const QTextDocument *document);

    // The characters from `from` to `to`; `wholeDocument` also ends the last
    // paragraph with \par.
    QByteArray write(int from, int to, bool wholeDocument);

private:
    struct RunState
    {
        int font = -1;
        int halfPoints = 24;
        bool bold = false;
        bool italic = false;
        int underline = 0;
        bool strike = false;
        int fore = 0; // colour table index, 0: automatic
        int back = 0;
        int script = 0; // 0 none, 1 subscript, 2 superscript
        bool protect = false;
        bool hidden = false;
        bool disabled = false;
        int caps = 0;         // 1 all capitals, 2 small capitals
        bool shading = false; // the background is written as \chcbpat
    };
    struct FontInfo
    {
        QString name;
        int styleHint = 0;
        bool fixedPitch = false;
    };

    // A numbered list: the first paragraph of each of its levels.
    struct ListLevels
    {
        std::array<QTextBlock, 9> first;
    };

    void collectTables(int from, int to);
    void collectList(const QTextBlock &block);
    void writeListTable();
    void writeListLevel(const QTextBlock &block, int level);
    QString listKey(const QTextBlock &block) const;
    void writeRowDefinition(const QTextTable *table);
    bool isTablesLeadingBlock(const QTextBlock &block) const;
    void writeFootnote(const QTextCharFormat &format);
    void collectFormat(const QTextCharFormat &format);
    void writeHeader();
    void writeBlock(const QTextBlock &block, int from, int to, bool endsParagraph);
    void writeParagraphFormat(const QTextBlock &block);
    void writeNumberText(const QTextBlock &block);
    void writeFragment(const QTextFragment &fragment, int from, int to);
    void writeImage(const QTextImageFormat &format);
    void writeObject(const QTextImageFormat &format);
    void writeDelta(const RunState &target);
    void writeWord(const char *word, int param);
    void writeWord(const char *word);
    void openLink(const QString &href);
    void closeLink();

    RunState stateOf(const QTextCharFormat &format) const;
    const RunState &stateOf(const QTextFragment &fragment);
    QString familyOf(const QTextCharFormat &format) const;
    qreal pointSizeOf(const QTextCharFormat &format) const;
    int colorIndexOf(const QTextCharFormat &format, int brushProperty, int autoProperty) const;
    QByteArray paragraphKey(const QTextBlock &block) const;
    int numberingOf(const QTextBlock &block) const;

    const QTextDocument *m_document;
    QByteArray m_out;
    bool m_delimit = false; // a control word was written last
    RunState m_state;
    QList<FontInfo> m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QColor> m_colors;
    QHash<QRgb, int> m_colorIndex;
    QHash<int, RunState> m_runStates; // by the document's format index
    QSet<int> m_collected;            // format indexes already in the tables
    QList<ListLevels> m_listLevels;   // of each list definition
    QHash<QString, int> m_listIndex;
    bool m_hasTables = false;
    const QTextTable *m_table = nullptr; // the table of the row being written
    int m_row = -1;
    bool m_inCell = false; // the block being written is in a table cell
    bool m_inLink = false;
    QString m_linkHref;
    RunState m_stateBeforeLink;
    QByteArray m_paragraphKey;
    bool m_firstParagraph = true;
    int m_numberKind = 0;
    int m_number = 0;
};

} // namespace bw::rtf
