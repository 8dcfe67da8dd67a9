#pragma once
// Reads RTF into a QTextDocument: follows the tokenizer's events, keeps the
// group state (destination, character and paragraph format) on a stack, and
// hands text, pictures, objects and paragraph ends to the document builder.

#include "rtf/code_page.h"
#include "rtf/rtf_control_words.h"
#include "rtf/rtf_document_builder.h"
#include "rtf/rtf_escape.h"
#include "rtf/rtf_picture.h"
#include "rtf/rtf_tokenizer.h"

#include <QColor>
#include <QList>
#include <QStringList>
#include <QTextImageFormat>
#include <QTextOption>

#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

class QTextDocument;

namespace bw::rtf {

class RtfReader
{
public:
    // Groups nested deeper than this share the state of the deepest one.
    static constexpr int kMaxDepth = 1000;

    RtfReader(QTextCursor &cursor, RtfDocumentBuilder::Mode mode);

    // Reads the RTF; throws RtfError when it is not RTF at all.
    void read(const QByteArray &rtf);

private:
    // The character format of a run.
    struct CharState
    {
        std::int32_t font = -1; // font number; -1: the default font
        std::int32_t halfPoints = 24;
        std::int32_t bold = 0;
        std::int32_t italic = 0;
        std::int32_t underline = 0; // QTextCharFormat::UnderlineStyle
        std::int32_t strike = 0;
        std::int32_t fore = -1; // colour table index; -1: automatic
        std::int32_t back = -1;
        std::int32_t script = 0; // 0 none, 1 subscript, 2 superscript
        std::int32_t protect = 0;
        std::int32_t hidden = 0;
        std::int32_t disabled = 0;
        std::int32_t link = -1; // index into the link targets
        std::int32_t caps = 0;
        std::int32_t smallCaps = 0;
        std::int32_t shading = 0;   // the background came from \chcbpat or \cb
        std::int32_t footnote = -1; // the mark of this footnote (index into m_footnotes)
        bool operator==(const CharState &) const = default;
    };
    struct CharStateHash
    {
        std::size_t operator()(const CharState &state) const;
    };

    enum class Dest : std::uint8_t {
        Body,
        Skip,
        FontTable,
        ColorTable,
        Picture,
        Object,
        ObjClass,
        ObjData,
        Field,
        FieldInst,
        Pn,
        PnTextBefore,
        PnTextAfter,
        ListTable,
        List,
        ListLevel,
        LevelText,
        ListOverrideTable,
        ListOverride,
        Upr,
        Footnote,
    };

    struct ParaState
    {
        std::int32_t align = 0;       // 0 left, 1 right, 2 centre, 3 justify
        std::int32_t firstIndent = 0; // twips
        std::int32_t leftIndent = 0;
        std::int32_t rightIndent = 0;
        std::int32_t spaceBefore = 0;
        std::int32_t spaceAfter = 0;
        std::int32_t lineSpacing = 0;
        std::int32_t lineMultiple = 0;
        std::int32_t tabKind = 0; // of the next \tx
        QList<QTextOption::Tab> tabs;
        std::int32_t pnKind = -1; // numbering of \pn; -1: none given
        std::int32_t pnStart = 1;
        std::int32_t pnIndent = 0;
        QString pnBefore;
        QString pnAfter;
        std::int32_t listOverride = 0; // \ls
        std::int32_t listLevel = 0;    // \ilvl
        std::int32_t rtl = 0;
        std::int32_t pageBreak = 0;
        std::int32_t inTable = 0;
        bool operator==(const ParaState &) const = default;
    };

    struct GroupState
    {
        Dest dest = Dest::Body;
        Dest uprOuter = Dest::Body; // the destination \ud returns to
        CharState chr;
        ParaState para;
        std::int32_t uc = 1;
        std::int32_t field = -1;  // index into m_fields
        std::int32_t object = -1; // index into m_objects
    };

    struct FontEntry
    {
        QString name;
        std::int32_t family = 0; // QFont::StyleHint
        std::int32_t charset = 0;
        std::int32_t pitch = 0;
    };

    struct FieldInfo
    {
        QString instruction;
    };

    struct ObjectInfo
    {
        qint64 start = 0; // byte offset of the \object word
        QString className;
        HexAccumulator data;
        std::optional<QTextImageFormat> result;
        QString resultText;
        int width = 0; // twips
        int height = 0;
        bool finished = false;
    };

    struct ListLevelDef
    {
        int nfc = 0;
        int start = 1;
        QString text;
    };

    struct FootnoteInfo
    {
        QString text;
        bool claimed = false; // a footnote group has filled it
    };

    struct ListDef
    {
        int id = 0;
        std::vector<ListLevelDef> levels;
    };

    // Token dispatch
    void run();
    void onGroupStart();
    void onGroupEnd(const Token &token);
    void onControlWord(const Token &token);
    void onControlSymbol(const Token &token);
    void onBytes(std::string_view bytes);
    void onBinary(std::string_view data);
    void skipGroup();
    void endDestination(const GroupState &popped, qint64 endPosition);

    // Keyword handlers by area; each returns false when the word is not its own.
    bool handleDestination(const KeywordInfo &info, std::int32_t param);
    bool handleTables(const KeywordInfo &info, std::int32_t param);
    bool handleCharacter(const KeywordInfo &info, std::int32_t param);
    bool handleParagraph(const KeywordInfo &info, std::int32_t param);
    bool handleNumbering(const KeywordInfo &info, std::int32_t param);
    bool handleListTable(const KeywordInfo &info, std::int32_t param);
    bool handlePicture(const KeywordInfo &info, std::int32_t param);
    bool handleObject(const KeywordInfo &info, std::int32_t param);
    void handleSpecial(const KeywordInfo &info, std::int32_t param);
    void setUnderline(int style, std::int32_t param);
    void startField();
    void startFieldResult();

    // Text
    void appendCharacter(char16_t c);
    void appendText(const QString &text);
    void flushBytes();
    // Before body text in the format `chr`: ends the run when the format
    // it shows in changes.
    void startBodyText(const CharState &chr);
    void flushText();
    void endParagraph();
    void endCell();
    void endRow();
    void pageBreak();
    void footnoteMark();
    void tableContext();
    int codePage();

    // Tables, pictures, objects
    void commitFont();
    void commitColor();
    void finishPicture();
    void finishObject(int index, qint64 endPosition);
    QTextImageFormat imageFormat(const DecodedPicture &picture);

    // Formats
    const QTextCharFormat &charFormat(const CharState &state);
    CharState effectiveState(const CharState &state) const;
    const QTextBlockFormat &blockFormat(const ParaState &para);
    // blockFormat(), starting a page after a \page.
    QTextBlockFormat paragraphFormat(const ParaState &para);
    QTextBlockFormat makeBlockFormat(const ParaState &para) const;
    ParagraphNumbering numbering(const ParaState &para) const;
    int colorIndex(std::int32_t param) const;

    GroupState &top() { return m_stack.back(); }

    QTextDocument *m_document;
    RtfDocumentBuilder m_builder;
    std::string_view m_input;
    RtfTokenizer m_tokenizer{{}};
    std::vector<GroupState> m_stack;
    int m_overflowDepth = 0;
    bool m_done = false;
    bool m_star = false;
    int m_skip = 0;            // characters of a \u fallback still to skip
    qint64 m_wordPosition = 0; // byte offset of the control word being handled

    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    std::map<int, FontEntry> m_fonts;
    int m_fontNumber = 0;
    FontEntry m_font;
    std::vector<QColor> m_colors;
    std::vector<std::int32_t> m_firstOfColor; // per entry: the first entry of the same colour
    std::unordered_map<QRgb, std::int32_t> m_colorEntries; // colour → its first entry
    int m_red = -1, m_green = -1, m_blue = -1;

    QByteArray m_pendingBytes;
    QString m_text;
    CharState m_textState;     // as the group had it
    CharState m_textEffective; // effectiveState(m_textState)
    CodePageDecoder m_codePages;
    std::unordered_map<CharState, QTextCharFormat, CharStateHash> m_charFormats;
    std::optional<ParaState> m_lastPara; // the paragraph format built last
    QTextBlockFormat m_lastBlockFormat;

    RtfPicture m_picture;
    HexAccumulator m_pictureData;
    std::vector<FieldInfo> m_fields;
    std::vector<ObjectInfo> m_objects;
    QStringList m_links;
    ParaState m_pn; // the \pn group being read
    std::vector<ListDef> m_lists;
    std::map<int, int> m_listOverrides; // \ls → \listid
    int m_overrideList = 0;
    int m_overrideLs = 0;
    std::vector<FootnoteInfo> m_footnotes;
    bool m_pageBreakNext = false; // a \page: the next paragraph starts a page
    std::vector<int> m_cellEdges; // \cellx of the row being defined, twips
    bool m_rowBorders = false;    // the row being defined draws borders
};

} // namespace bw::rtf
