#include "rtf/rtf_reader.h"

#include "rtf/rtf.h"
#include "rtf/rtf_object.h"
#include "rtf/text_properties.h"

#include <QFont>
#include <QTextDocument>

#include <algorithm>
#include <cstring>

namespace bw::rtf {
namespace {

constexpr std::int32_t kMaxTwips = 31680; // 22 inches
constexpr std::int32_t kMaxHalfPoints = 3276;
constexpr int kMaxTabs = 64;
constexpr int kMaxListLevels = 9;
constexpr int kMaxUc = 10;
constexpr int kMaxCellEdges = 64;
constexpr std::size_t kMaxFootnotes = 10000;

std::int32_t clampTwips(std::int32_t value)
{
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

// The numbering kind of a list level's \levelnfc.
int kindOfNfc(int nfc)
{
    switch (nfc) {
    case 1:
        return UpperRoman;
    case 2:
        return LowerRoman;
    case 3:
        return UpperLetter;
    case 4:
        return LowerLetter;
    case 23:
        return Bullet;
    case 255:
        return NoNumbering;
    default:
        return Arabic;
    }
}

// The character of a bullet level. Word's bullets in the Symbol and Wingdings
// fonts are in the private use area; they are the bullets they show.
QString bulletOfLevelText(const QString &levelText)
{
    QString text = levelText.mid(1);
    if (text.endsWith(u';'))
        text.chop(1);
    text = text.left(!text.isEmpty() && text.front().isHighSurrogate() ? 2 : 1);
    if (text == QStringLiteral("\uF0B7"))
        return QStringLiteral("\u2022");
    if (text == QStringLiteral("\uF0A7"))
        return QStringLiteral("\u25AA");
    return text;
}

// Characters 0 to 8 stand for the level numbers in a list table's
// \leveltext, where the number's text is written too: that text cannot hold
// them, so the \pn form's text drops them.
QString withoutLevelPlaceholders(QString text)
{
    text.removeIf([](QChar c) { return c.unicode() < 9; });
    return text;
}

// A foreign object is kept and written back byte for byte into other
// documents, so what it holds must not change the document around it: inside
// an object the header's tables are skipped and document-wide settings ignored.
bool isDocumentTable(Keyword keyword)
{
    return keyword == Keyword::FontTable || keyword == Keyword::ColorTable ||
           keyword == Keyword::ListTable || keyword == Keyword::ListOverrideTable;
}

bool isDocumentSetting(Keyword keyword)
{
    switch (keyword) {
    case Keyword::Ansi:
    case Keyword::Mac:
    case Keyword::Pc:
    case Keyword::Pca:
    case Keyword::AnsiCpg:
    case Keyword::Deff:
        return true;
    default:
        return false;
    }
}

// The link target of a HYPERLINK field instruction, or an empty string.
QString hyperlinkTarget(const QString &instruction)
{
    QStringList parts;
    QString part;
    bool quoted = false;
    for (const QChar c : instruction) {
        if (c == u'"') {
            quoted = !quoted;
            if (!quoted) {
                parts.append(part);
                part.clear();
            }
        } else if (c.isSpace() && !quoted) {
            if (!part.isEmpty())
                parts.append(part);
            part.clear();
        } else {
            part.append(c);
        }
    }
    if (!part.isEmpty())
        parts.append(part);
    if (parts.isEmpty() || parts.first().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    QString target;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString &word = parts[i];
        if (word == QLatin1String("\\l") && i + 1 < parts.size())
            target += u'#' + parts[++i];
        else if ((word == QLatin1String("\\o") || word == QLatin1String("\\t")) &&
                 i + 1 < parts.size())
            ++i;
        else if (!word.startsWith(u'\\') && target.isEmpty())
            target = word;
    }
    return target;
}

} // namespace

std::size_t RtfReader::CharStateHash::operator()(const CharState &state) const
{
    static_assert(std::has_unique_object_representations_v<CharState>);
    return qHashBits(&state, sizeof state);
}

RtfReader::RtfReader(QTextCursor &cursor, RtfDocumentBuilder::Mode mode)
    : m_document(cursor.document()), m_builder(cursor, mode)
{
}

void RtfReader::read(const QByteArray &rtf)
{
    if (!looksLikeRtf(rtf))
        throw RtfError("The text is not RTF", 0);
    m_input = std::string_view(rtf.constData(), std::size_t(rtf.size()));
    m_tokenizer = RtfTokenizer(m_input);
    m_stack.reserve(64);
    run();
    flushBytes();
    flushText();
    const GroupState last = m_stack.empty() ? GroupState{} : m_stack.back();
    m_builder.finish(paragraphFormat(last.para), charFormat(last.chr), numbering(last.para));
}

void RtfReader::run()
{
    // Everything before the first brace is white space (looksLikeRtf).
    for (;;) {
        const Token token = m_tokenizer.next();
        if (!m_pendingBytes.isEmpty() && token.type != TokenType::Text &&
            token.type != TokenType::HexByte)
            flushBytes();
        switch (token.type) {
        case TokenType::GroupStart:
            onGroupStart();
            break;
        case TokenType::GroupEnd:
            onGroupEnd(token);
            if (m_done)
                return; // the document's group is closed; the rest is ignored
            break;
        case TokenType::ControlWord:
            onControlWord(token);
            break;
        case TokenType::ControlSymbol:
            onControlSymbol(token);
            break;
        case TokenType::Text:
            onBytes(token.text);
            break;
        case TokenType::HexByte: {
            const char byte = char(token.byte);
            onBytes({&byte, 1});
            break;
        }
        case TokenType::Binary:
            onBinary(token.text);
            break;
        case TokenType::EndOfInput:
            return; // unclosed groups: keep what was read
        }
    }
}

void RtfReader::onGroupStart()
{
    m_skip = 0;
    m_star = false;
    if (m_stack.size() >= std::size_t(kMaxDepth)) {
        ++m_overflowDepth;
        return;
    }
    if (m_stack.empty()) {
        m_stack.emplace_back();
        m_stack.back().chr.font = -1;
    } else {
        m_stack.push_back(m_stack.back());
    }
}

void RtfReader::onGroupEnd(const Token &token)
{
    m_skip = 0;
    m_star = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.empty())
        return;
    if (m_stack.size() == 1) {
        m_done = true; // the root state stays for the last paragraph
        return;
    }
    GroupState popped = std::move(m_stack.back());
    m_stack.pop_back();
    if (popped.dest != top().dest || popped.dest == Dest::FontTable)
        endDestination(popped, token.position);
}

void RtfReader::skipGroup()
{
    int depth = 1;
    for (;;) {
        const Token token = m_tokenizer.next();
        if (token.type == TokenType::EndOfInput)
            return;
        if (token.type == TokenType::GroupStart)
            ++depth;
        else if (token.type == TokenType::GroupEnd && --depth == 0) {
            onGroupEnd(token);
            return;
        }
    }
}

void RtfReader::onBinary(std::string_view data)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (top().dest == Dest::Picture)
        m_pictureData.append(QByteArray(data.data(), qsizetype(data.size())));
    else if (top().dest == Dest::ObjData && top().object >= 0)
        m_objects[std::size_t(top().object)].data.append(
            QByteArray(data.data(), qsizetype(data.size())));
}

void RtfReader::onControlWord(const Token &token)
{
    if (m_stack.empty())
        return;
    const bool star = std::exchange(m_star, false);
    if (m_skip > 0) {
        --m_skip; // part of a \u fallback
        return;
    }
    const KeywordInfo info = lookupKeyword(token.text);
    const std::int32_t param = token.hasParam ? token.param : info.defaultParam;
    m_wordPosition = token.position;
    if (info.keyword == Keyword::BwDisabled) {
        // Written as {\*\bwdisabled}: it sets the format of the enclosing group.
        GroupState &target = star && m_stack.size() >= 2 ? m_stack[m_stack.size() - 2] : top();
        target.chr.disabled = param != 0;
        if (star)
            skipGroup();
        return;
    }
    if (star && info.kind != KeywordKind::Destination) {
        skipGroup(); // an optional destination we do not know
        return;
    }
    if (info.kind == KeywordKind::Symbol) {
        appendCharacter(char16_t(info.defaultParam));
        return;
    }
    if (handleDestination(info, param) || handleTables(info, param) ||
        handleCharacter(info, param) || handleParagraph(info, param) ||
        handleNumbering(info, param) || handleListTable(info, param) ||
        handlePicture(info, param) || handleObject(info, param))
        return;
    handleSpecial(info, param);
}

void RtfReader::onControlSymbol(const Token &token)
{
    if (m_stack.empty())
        return;
    if (token.symbol == '*') {
        m_star = true;
        return;
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (const char16_t c = controlSymbolCharacter(token.symbol))
        appendCharacter(c);
}

bool RtfReader::handleDestination(const KeywordInfo &info, std::int32_t)
{
    GroupState &state = top();
    if (state.object >= 0 && isDocumentTable(info.keyword)) {
        skipGroup(); // see isDocumentTable()
        return true;
    }
    switch (info.keyword) {
    case Keyword::FontTable:
        state.dest = Dest::FontTable;
        m_font = {};
        return true;
    case Keyword::ColorTable:
        state.dest = Dest::ColorTable;
        m_colors.clear();
        m_firstOfColor.clear();
        m_colorEntries.clear();
        m_red = m_green = m_blue = -1;
        return true;
    case Keyword::SkipDestination:
    case Keyword::PnText:
    case Keyword::ListText:
    case Keyword::NonShpPict:
        skipGroup();
        return true;
    case Keyword::Upr:
        state.uprOuter = state.dest;
        state.dest = Dest::Upr;
        return true;
    case Keyword::Ud:
        if (state.dest == Dest::Upr)
            state.dest = state.uprOuter;
        return true;
    case Keyword::Pn:
        state.dest = Dest::Pn;
        m_pn = {};
        return true;
    case Keyword::PnTextBefore:
    case Keyword::PnTextAfter:
        if (state.dest == Dest::Pn)
            state.dest =
                info.keyword == Keyword::PnTextBefore ? Dest::PnTextBefore : Dest::PnTextAfter;
        return true;
    case Keyword::ListTable:
        state.dest = Dest::ListTable;
        return true;
    case Keyword::List:
        if (state.dest == Dest::ListTable) {
            m_lists.emplace_back();
            state.dest = Dest::List;
        }
        return true;
    case Keyword::ListLevel:
        if (state.dest != Dest::List || m_lists.back().levels.size() >= kMaxListLevels) {
            skipGroup();
            return true;
        }
        m_lists.back().levels.emplace_back();
        state.dest = Dest::ListLevel;
        return true;
    case Keyword::LevelText:
        if (state.dest == Dest::ListLevel)
            state.dest = Dest::LevelText;
        return true;
    case Keyword::ListOverrideTable:
        state.dest = Dest::ListOverrideTable;
        return true;
    case Keyword::ListOverride:
        state.dest = Dest::ListOverride;
        m_overrideList = m_overrideLs = 0;
        return true;
    case Keyword::Footnote:
        if (state.dest != Dest::Body || state.object >= 0 || m_footnotes.size() >= kMaxFootnotes) {
            skipGroup();
            return true;
        }
        // The footnote belongs to the mark before it; one without a mark gets one.
        if (m_footnotes.empty() || m_footnotes.back().claimed)
            footnoteMark();
        m_footnotes.back().claimed = true;
        state.dest = Dest::Footnote;
        return true;
    default:
        return false;
    }
}

bool RtfReader::handleTables(const KeywordInfo &info, std::int32_t param)
{
    if (top().object >= 0 && isDocumentSetting(info.keyword))
        return true; // see isDocumentTable()
    switch (info.keyword) {
    case Keyword::Ansi:
        m_ansiCodePage = 1252;
        return true;
    case Keyword::Mac:
        m_ansiCodePage = 10000;
        return true;
    case Keyword::Pc:
        m_ansiCodePage = 437;
        return true;
    case Keyword::Pca:
        m_ansiCodePage = 850;
        return true;
    case Keyword::AnsiCpg:
        if (param > 0 && param < 100000)
            m_ansiCodePage = param;
        return true;
    case Keyword::Deff:
        m_defaultFont = param;
        return true;
    case Keyword::Uc:
        top().uc = std::clamp(param, 0, kMaxUc);
        return true;
    case Keyword::U:
        // Values outside 16 bits (signed or not) are not characters.
        appendCharacter(param < -32768 || param > 65535 ? char16_t(0xFFFD)
                                                        : char16_t(param & 0xFFFF));
        m_skip = top().uc;
        return true;
    case Keyword::Font:
        if (top().dest == Dest::FontTable)
            m_fontNumber = param;
        else
            top().chr.font = param;
        return true;
    case Keyword::FontNil:
        m_font.family = QFont::AnyStyle;
        return true;
    case Keyword::FontRoman:
        m_font.family = QFont::Serif;
        return true;
    case Keyword::FontSwiss:
        m_font.family = QFont::SansSerif;
        return true;
    case Keyword::FontModern:
        m_font.family = QFont::TypeWriter;
        return true;
    case Keyword::FontScript:
        m_font.family = QFont::Cursive;
        return true;
    case Keyword::FontDecor:
        m_font.family = QFont::Decorative;
        return true;
    case Keyword::FontTech:
    case Keyword::FontBidi:
        m_font.family = QFont::AnyStyle;
        return true;
    case Keyword::FontCharset:
        m_font.charset = param;
        return true;
    case Keyword::FontPitch:
        m_font.pitch = param;
        return true;
    case Keyword::Red:
        m_red = std::clamp(param, 0, 255);
        return true;
    case Keyword::Green:
        m_green = std::clamp(param, 0, 255);
        return true;
    case Keyword::Blue:
        m_blue = std::clamp(param, 0, 255);
        return true;
    default:
        return false;
    }
}

void RtfReader::setUnderline(int style, std::int32_t param)
{
    top().chr.underline = param != 0 ? style : QTextCharFormat::NoUnderline;
}

bool RtfReader::handleCharacter(const KeywordInfo &info, std::int32_t param)
{
    CharState &chr = top().chr;
    switch (info.keyword) {
    case Keyword::Plain: {
        const std::int32_t link = chr.link;
        chr = CharState{};
        chr.link = link;
        return true;
    }
    case Keyword::FontSize:
        chr.halfPoints = param > 0 ? std::min(param, kMaxHalfPoints) : 24;
        return true;
    case Keyword::Bold:
        chr.bold = param != 0;
        return true;
    case Keyword::Italic:
        chr.italic = param != 0;
        return true;
    case Keyword::Underline:
        setUnderline(QTextCharFormat::SingleUnderline, param);
        return true;
    case Keyword::UnderlineOther:
        setUnderline(QTextCharFormat::SingleUnderline, param);
        return true;
    case Keyword::UnderlineNone:
        chr.underline = QTextCharFormat::NoUnderline;
        return true;
    case Keyword::UnderlineDotted:
        setUnderline(QTextCharFormat::DotLine, param);
        return true;
    case Keyword::UnderlineDash:
        setUnderline(QTextCharFormat::DashUnderline, param);
        return true;
    case Keyword::UnderlineDashDot:
        setUnderline(QTextCharFormat::DashDotLine, param);
        return true;
    case Keyword::UnderlineDashDotDot:
        setUnderline(QTextCharFormat::DashDotDotLine, param);
        return true;
    case Keyword::UnderlineWave:
        setUnderline(QTextCharFormat::WaveUnderline, param);
        return true;
    case Keyword::Strike:
        chr.strike = param != 0;
        return true;
    case Keyword::ColorFore:
        chr.fore = colorIndex(param);
        return true;
    case Keyword::Highlight:
        chr.back = colorIndex(param);
        chr.shading = 0;
        return true;
    case Keyword::ColorBack:
        chr.back = colorIndex(param);
        chr.shading = 1;
        return true;
    case Keyword::Caps:
        chr.caps = param != 0;
        return true;
    case Keyword::SmallCaps:
        chr.smallCaps = param != 0;
        return true;
    case Keyword::RtlChars:
    case Keyword::LtrChars:
        return true; // the characters' own direction orders them
    case Keyword::Super:
        chr.script = 2;
        return true;
    case Keyword::Sub:
        chr.script = 1;
        return true;
    case Keyword::NoSuperSub:
        chr.script = 0;
        return true;
    case Keyword::Up:
        chr.script = param > 0 ? 2 : 0;
        return true;
    case Keyword::Down:
        chr.script = param > 0 ? 1 : 0;
        return true;
    case Keyword::Protect:
        chr.protect = param != 0;
        return true;
    case Keyword::Hidden:
        chr.hidden = param != 0;
        return true;
    default:
        return false;
    }
}

bool RtfReader::handleParagraph(const KeywordInfo &info, std::int32_t param)
{
    ParaState &para = top().para;
    switch (info.keyword) {
    case Keyword::Pard:
        para = ParaState{};
        return true;
    case Keyword::AlignLeft:
        para.align = 0;
        return true;
    case Keyword::AlignRight:
        para.align = 1;
        return true;
    case Keyword::AlignCenter:
        para.align = 2;
        return true;
    case Keyword::AlignJustify:
        para.align = 3;
        return true;
    case Keyword::FirstIndent:
        para.firstIndent = clampTwips(param);
        return true;
    case Keyword::LeftIndent:
        para.leftIndent = clampTwips(param);
        return true;
    case Keyword::RightIndent:
        para.rightIndent = clampTwips(param);
        return true;
    case Keyword::SpaceBefore:
        para.spaceBefore = std::clamp(param, 0, kMaxTwips);
        return true;
    case Keyword::SpaceAfter:
        para.spaceAfter = std::clamp(param, 0, kMaxTwips);
        return true;
    case Keyword::LineSpacing:
        para.lineSpacing = clampTwips(param);
        return true;
    case Keyword::LineMultiple:
        para.lineMultiple = param != 0;
        return true;
    case Keyword::TabRight:
        para.tabKind = QTextOption::RightTab;
        return true;
    case Keyword::TabCenter:
        para.tabKind = QTextOption::CenterTab;
        return true;
    case Keyword::TabDecimal:
        para.tabKind = QTextOption::DelimiterTab;
        return true;
    case Keyword::TabBar:
        para.tabKind = QTextOption::LeftTab;
        return true;
    case Keyword::RtlPar:
        para.rtl = 1;
        return true;
    case Keyword::LtrPar:
        para.rtl = 0;
        return true;
    case Keyword::PageBreakBefore:
        para.pageBreak = param != 0;
        return true;
    case Keyword::InTable:
        para.inTable = 1;
        return true;
    case Keyword::RowDefaults:
        m_cellEdges.clear();
        m_rowBorders = false;
        return true;
    case Keyword::Border:
        m_rowBorders = true;
        return true;
    case Keyword::NoBorder:
        return true;
    case Keyword::CellEdge:
        if (m_cellEdges.size() < std::size_t(kMaxCellEdges))
            m_cellEdges.push_back(std::clamp(param, 0, kMaxTwips));
        return true;
    case Keyword::TabPosition: {
        const auto kind = QTextOption::TabType(para.tabKind);
        if (para.tabs.size() < kMaxTabs && param >= 0)
            para.tabs.append(
                QTextOption::Tab(twipsToDocumentPixels(std::min(param, kMaxTwips)), kind,
                                 kind == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
        para.tabKind = QTextOption::LeftTab;
        return true;
    }
    default:
        return false;
    }
}

bool RtfReader::handleNumbering(const KeywordInfo &info, std::int32_t param)
{
    switch (info.keyword) {
    case Keyword::PnLevelBullet:
        m_pn.pnKind = Bullet;
        return true;
    case Keyword::PnLevelBody:
    case Keyword::PnLevel:
        if (m_pn.pnKind < Arabic)
            m_pn.pnKind = Arabic;
        return true;
    case Keyword::PnLevelCont:
        m_pn.pnKind = NoNumbering;
        return true;
    case Keyword::PnDecimal:
        m_pn.pnKind = Arabic;
        return true;
    case Keyword::PnLowerLetter:
        m_pn.pnKind = LowerLetter;
        return true;
    case Keyword::PnUpperLetter:
        m_pn.pnKind = UpperLetter;
        return true;
    case Keyword::PnLowerRoman:
        m_pn.pnKind = LowerRoman;
        return true;
    case Keyword::PnUpperRoman:
        m_pn.pnKind = UpperRoman;
        return true;
    case Keyword::PnStart:
        m_pn.pnStart = std::clamp(param, 0, 32767);
        return true;
    case Keyword::PnIndent:
        m_pn.pnIndent = std::clamp(param, 0, kMaxTwips);
        return true;
    default:
        return false;
    }
}

bool RtfReader::handleListTable(const KeywordInfo &info, std::int32_t param)
{
    const Dest dest = top().dest;
    ListLevelDef *level =
        dest == Dest::ListLevel && !m_lists.empty() && !m_lists.back().levels.empty()
            ? &m_lists.back().levels.back()
            : nullptr;
    switch (info.keyword) {
    case Keyword::LevelNfc:
        if (level)
            level->nfc = param;
        return true;
    case Keyword::LevelStartAt:
        if (level)
            level->start = std::clamp(param, 0, 32767);
        return true;
    case Keyword::ListId:
        if (dest == Dest::List)
            m_lists.back().id = param;
        else if (dest == Dest::ListOverride)
            m_overrideList = param;
        return true;
    case Keyword::Ls:
        if (dest == Dest::ListOverride)
            m_overrideLs = param;
        else
            top().para.listOverride = param;
        return true;
    case Keyword::Ilvl:
        top().para.listLevel = std::clamp(param, 0, kMaxListLevels - 1);
        return true;
    default:
        return false;
    }
}

bool RtfReader::handlePicture(const KeywordInfo &info, std::int32_t param)
{
    constexpr std::int32_t kMaxPictureUnits = 10'000'000;
    switch (info.keyword) {
    case Keyword::Pict:
        top().dest = Dest::Picture;
        m_picture = {};
        m_pictureData.clear();
        return true;
    case Keyword::ShpPict:
    case Keyword::Shp:
    case Keyword::ShpResult:
        return true; // their pictures and text are read as usual
    case Keyword::PngBlip:
        m_picture.kind = PictureKind::Png;
        return true;
    case Keyword::JpegBlip:
        m_picture.kind = PictureKind::Jpeg;
        return true;
    case Keyword::DiBitmap:
        m_picture.kind = PictureKind::Dib;
        return true;
    case Keyword::WBitmap:
        m_picture.kind = PictureKind::WBitmap;
        return true;
    case Keyword::EmfBlip:
        m_picture.kind = PictureKind::Emf;
        return true;
    case Keyword::WMetafile:
        m_picture.kind = PictureKind::Wmf;
        return true;
    case Keyword::OtherPicture:
        m_picture.kind = PictureKind::Other;
        return true;
    case Keyword::PicW:
        m_picture.width = std::clamp(param, 0, kMaxPictureUnits);
        return true;
    case Keyword::PicH:
        m_picture.height = std::clamp(param, 0, kMaxPictureUnits);
        return true;
    case Keyword::PicWGoal:
        m_picture.goalWidth = std::clamp(param, 0, kMaxPictureUnits);
        return true;
    case Keyword::PicHGoal:
        m_picture.goalHeight = std::clamp(param, 0, kMaxPictureUnits);
        return true;
    case Keyword::PicScaleX:
        m_picture.scaleX = std::clamp(param, 1, 10000);
        return true;
    case Keyword::PicScaleY:
        m_picture.scaleY = std::clamp(param, 1, 10000);
        return true;
    case Keyword::WbmBitsPixel:
        m_picture.bitsPerPixel = std::clamp(param, 1, 32);
        return true;
    case Keyword::WbmWidthBytes:
        m_picture.widthBytes = std::clamp(param, 0, kMaxPictureUnits);
        return true;
    default:
        return false;
    }
}

bool RtfReader::handleObject(const KeywordInfo &info, std::int32_t param)
{
    GroupState &state = top();
    ObjectInfo *object = state.object >= 0 ? &m_objects[std::size_t(state.object)] : nullptr;
    switch (info.keyword) {
    case Keyword::Object:
        m_objects.push_back({});
        m_objects.back().start = m_wordPosition;
        state.object = int(m_objects.size()) - 1;
        state.dest = Dest::Object;
        return true;
    case Keyword::ObjClass:
    case Keyword::ObjData:
        if (!object)
            skipGroup();
        else
            state.dest = info.keyword == Keyword::ObjClass ? Dest::ObjClass : Dest::ObjData;
        return true;
    case Keyword::ObjResult:
        state.dest = Dest::Body;
        return true;
    case Keyword::ObjW:
    case Keyword::ObjH:
        if (object)
            (info.keyword == Keyword::ObjW ? object->width : object->height) =
                std::clamp(param, 0, kMaxTwips);
        return true;
    case Keyword::ObjEmb:
    case Keyword::ObjLink:
        return true;
    case Keyword::Field:
        startField();
        return true;
    case Keyword::FieldInst:
        state.dest = state.field >= 0 ? Dest::FieldInst : Dest::Skip;
        if (state.field < 0)
            skipGroup();
        return true;
    case Keyword::FieldResult:
        startFieldResult();
        return true;
    default:
        return false;
    }
}

void RtfReader::startField()
{
    m_fields.push_back({});
    top().field = int(m_fields.size()) - 1;
    top().dest = Dest::Field;
}

void RtfReader::startFieldResult()
{
    GroupState &state = top();
    state.dest = Dest::Body;
    if (state.field < 0)
        return;
    const QString target = hyperlinkTarget(m_fields[std::size_t(state.field)].instruction);
    if (target.isEmpty())
        return;
    m_links.append(target);
    state.chr.link = int(m_links.size()) - 1;
}

void RtfReader::handleSpecial(const KeywordInfo &info, std::int32_t)
{
    switch (info.keyword) {
    case Keyword::Par:
    case Keyword::NestRow:
        endParagraph();
        break;
    case Keyword::Row:
        endRow();
        break;
    case Keyword::Cell:
        endCell();
        break;
    case Keyword::NestCell:
        appendCharacter(u'\t');
        break;
    case Keyword::Page:
        pageBreak();
        break;
    case Keyword::FootnoteMark:
        footnoteMark();
        break;
    default:
        break; // unknown words are ignored
    }
}

void RtfReader::onBytes(std::string_view bytes)
{
    if (m_stack.empty())
        return;
    if (m_skip > 0) {
        const auto skipped = std::min<std::size_t>(std::size_t(m_skip), bytes.size());
        bytes.remove_prefix(skipped);
        m_skip -= int(skipped);
    }
    if (bytes.empty())
        return;
    GroupState &state = top();
    switch (state.dest) {
    case Dest::Picture:
        m_pictureData.feed(bytes);
        return;
    case Dest::ObjData:
        m_objects[std::size_t(state.object)].data.feed(bytes);
        return;
    case Dest::ColorTable:
        for (const char c : bytes) {
            if (c == ';')
                commitColor();
        }
        return;
    case Dest::FontTable:
        for (const char c : bytes) {
            if (c == ';') {
                flushBytes();
                commitFont();
            } else {
                m_pendingBytes.append(c);
            }
        }
        return;
    case Dest::Body:
    case Dest::Footnote:
    case Dest::FieldInst:
    case Dest::ObjClass:
    case Dest::PnTextBefore:
    case Dest::PnTextAfter:
    case Dest::LevelText:
        m_pendingBytes.append(bytes.data(), qsizetype(bytes.size()));
        return;
    default:
        return;
    }
}

int RtfReader::codePage()
{
    if (top().dest == Dest::FontTable)
        return codePageForCharset(m_font.charset, m_ansiCodePage);
    const int number = top().chr.font >= 0 ? top().chr.font : m_defaultFont;
    const auto it = m_fonts.find(number);
    return it == m_fonts.end() ? m_ansiCodePage
                               : codePageForCharset(it->second.charset, m_ansiCodePage);
}

void RtfReader::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    const GroupState &state = top();
    if (state.dest == Dest::Body && state.object < 0) {
        // Body text, the bulk of a document: decoded straight into the run.
        startBodyText(state.chr);
        m_codePages.decodeAppend(codePage(), m_pendingBytes, m_text);
    } else {
        appendText(m_codePages.decode(codePage(), m_pendingBytes));
    }
    m_pendingBytes.resize(0); // keeps the buffer for the next run
}

void RtfReader::appendCharacter(char16_t c)
{
    if (m_stack.empty())
        return;
    flushBytes();
    appendText(QString(QChar(c)));
}

void RtfReader::appendText(const QString &text)
{
    GroupState &state = top();
    switch (state.dest) {
    case Dest::Body:
        if (state.object >= 0) {
            m_objects[std::size_t(state.object)].resultText += text;
        } else {
            startBodyText(state.chr);
            m_text += text;
        }
        return;
    case Dest::FontTable:
        m_font.name += text;
        return;
    case Dest::Footnote:
        m_footnotes.back().text += text;
        return;
    case Dest::FieldInst:
        m_fields[std::size_t(state.field)].instruction += text;
        return;
    case Dest::ObjClass:
        m_objects[std::size_t(state.object)].className += text;
        return;
    case Dest::PnTextBefore:
        m_pn.pnBefore += text;
        return;
    case Dest::PnTextAfter:
        m_pn.pnAfter += text;
        return;
    case Dest::LevelText:
        if (!m_lists.empty() && !m_lists.back().levels.empty())
            m_lists.back().levels.back().text += text;
        return;
    default:
        return;
    }
}

void RtfReader::startBodyText(const CharState &chr)
{
    if (m_text.isEmpty()) {
        m_textState = chr;
        m_textEffective = effectiveState(chr);
        return;
    }
    // Groups and \plain often come back to the format of the run before;
    // such runs are one run, and one fragment of the document.
    if (m_textState == chr)
        return;
    const CharState effective = effectiveState(chr);
    if (!(m_textEffective == effective)) {
        flushText();
        m_textEffective = effective;
    }
    m_textState = chr;
}

void RtfReader::flushText()
{
    if (m_text.isEmpty())
        return;
    tableContext();
    m_builder.insertText(m_text, charFormat(m_textEffective));
    m_text.clear();
}

void RtfReader::tableContext()
{
    if (top().para.inTable || m_builder.inTable())
        m_builder.setTableContext(top().para.inTable != 0, m_cellEdges, m_rowBorders);
}

void RtfReader::endParagraph()
{
    const GroupState &state = top();
    if (state.dest == Dest::Footnote) {
        m_footnotes.back().text += u'\n';
        return;
    }
    if (state.dest != Dest::Body || state.object >= 0)
        return;
    flushText();
    tableContext();
    m_builder.endParagraph(paragraphFormat(state.para), charFormat(state.chr),
                           numbering(state.para));
}

void RtfReader::endCell()
{
    const GroupState &state = top();
    if (state.dest == Dest::Footnote || (!state.para.inTable && !m_builder.inTable())) {
        appendCharacter(u'\t'); // a cell outside any table keeps its text apart
        return;
    }
    if (state.dest != Dest::Body || state.object >= 0)
        return;
    flushText();
    m_builder.setTableContext(true, m_cellEdges, m_rowBorders);
    m_builder.endCell(paragraphFormat(state.para), charFormat(state.chr), numbering(state.para));
}

void RtfReader::endRow()
{
    const GroupState &state = top();
    if (state.dest != Dest::Body || state.object >= 0 || !m_builder.inTable()) {
        endParagraph();
        return;
    }
    // A row whose last cell has no \cell of its own ends that cell too.
    if (!m_text.isEmpty() || !m_builder.cellEnded())
        endCell();
    m_builder.endRow();
}

void RtfReader::pageBreak()
{
    const GroupState &state = top();
    if (state.dest != Dest::Body || state.object >= 0)
        return;
    // The paragraph before ends here; the one after starts a new page.
    if (!m_text.isEmpty() || !m_builder.paragraphEmpty())
        endParagraph();
    m_pageBreakNext = true;
}

void RtfReader::footnoteMark()
{
    GroupState &state = top();
    if (state.dest != Dest::Body || state.object >= 0 || m_footnotes.size() >= kMaxFootnotes)
        return; // the number shown inside the footnote itself
    m_footnotes.emplace_back();
    state.chr.footnote = std::int32_t(m_footnotes.size()) - 1;
    appendText(QString::number(m_footnotes.size()));
}

QTextBlockFormat RtfReader::paragraphFormat(const ParaState &para)
{
    if (!std::exchange(m_pageBreakNext, false) || para.pageBreak)
        return blockFormat(para);
    ParaState breaking = para;
    breaking.pageBreak = 1;
    return blockFormat(breaking);
}

void RtfReader::commitFont()
{
    m_font.name = m_font.name.trimmed();
    if (!m_font.name.isEmpty() && m_fonts.size() < 4096)
        m_fonts[m_fontNumber] = m_font;
    m_font = {};
    m_charFormats.clear();
}

void RtfReader::commitColor()
{
    const bool automatic = m_red < 0 && m_green < 0 && m_blue < 0;
    if (m_colors.size() < 4096) {
        const QColor color =
            automatic ? QColor()
                      : QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0));
        const auto index = std::int32_t(m_colors.size());
        m_colors.push_back(color);
        m_firstOfColor.push_back(
            color.isValid() ? m_colorEntries.try_emplace(color.rgb(), index).first->second : -1);
    }
    m_red = m_green = m_blue = -1;
    m_charFormats.clear();
}

int RtfReader::colorIndex(std::int32_t param) const
{
    // Index 0 is always the automatic colour.
    if (param <= 0 || std::size_t(param) >= m_colors.size() ||
        !m_colors[std::size_t(param)].isValid())
        return -1;
    return param;
}

void RtfReader::endDestination(const GroupState &popped, qint64 endPosition)
{
    // A list definition read now changes what a paragraph's \ls stands for:
    // the paragraph format built last may hold the old meaning.
    if (popped.dest >= Dest::ListTable && popped.dest <= Dest::ListOverride)
        m_lastPara.reset();
    switch (popped.dest) {
    case Dest::FontTable:
        flushBytes();
        if (!m_font.name.trimmed().isEmpty())
            commitFont(); // an entry without its ';'
        break;
    case Dest::Picture:
        finishPicture();
        break;
    case Dest::Object:
        finishObject(popped.object, endPosition);
        break;
    case Dest::Pn:
        top().para.pnKind = m_pn.pnKind < 0 ? Arabic : m_pn.pnKind;
        top().para.pnStart = m_pn.pnStart;
        top().para.pnIndent = m_pn.pnIndent;
        top().para.pnBefore = withoutLevelPlaceholders(m_pn.pnBefore);
        top().para.pnAfter = withoutLevelPlaceholders(m_pn.pnAfter);
        break;
    case Dest::ListOverride:
        if (m_overrideLs > 0 && m_listOverrides.size() < 4096)
            m_listOverrides[m_overrideLs] = m_overrideList;
        m_lastPara.reset();
        break;
    case Dest::Footnote:
        top().chr.footnote = -1; // text after the footnote is no part of its mark
        break;
    default:
        break;
    }
}

QTextImageFormat RtfReader::imageFormat(const DecodedPicture &picture)
{
    const QString name = pictureResourceName(picture);
    m_document->addResource(QTextDocument::ImageResource, QUrl(name), picture.image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(picture.size.width());
    format.setHeight(picture.size.height());
    if (!picture.format.isEmpty()) {
        format.setProperty(PictureFormat, picture.format);
        format.setProperty(PictureData, picture.data);
    }
    return format;
}

void RtfReader::finishPicture()
{
    m_picture.data = m_pictureData.bytes();
    m_pictureData.clear();
    if (m_picture.kind == PictureKind::None || m_picture.kind == PictureKind::Other)
        return; // a picture kind we cannot show and do not keep
    const QTextImageFormat format = imageFormat(decodePicture(m_picture));
    m_picture = {};
    const int object = top().object;
    if (object >= 0) {
        m_objects[std::size_t(object)].result = format;
        return;
    }
    if (top().dest != Dest::Body)
        return;
    flushText();
    tableContext();
    m_builder.insertImage(format);
}

void RtfReader::finishObject(int index, qint64 endPosition)
{
    if (index < 0 || std::size_t(index) >= m_objects.size() ||
        m_objects[std::size_t(index)].finished)
        return;
    ObjectInfo object = std::move(m_objects[std::size_t(index)]);
    m_objects[std::size_t(index)] = {};
    m_objects[std::size_t(index)].finished = true;
    const QString className = object.className.trimmed();
    const std::optional<EmbeddedObject> ours = className == QLatin1String(kEmbeddedFileClass) ||
                                                       className == QLatin1String(kLinkedFileClass)
                                                   ? decodeObjectData(object.data.bytes())
                                                   : std::nullopt;
    if (!ours && !object.result) {
        // A foreign object without a picture: its result text stands in for it.
        if (!object.resultText.isEmpty())
            appendText(object.resultText);
        return;
    }
    QTextImageFormat format;
    if (object.result) {
        format = *object.result;
    } else {
        const QSizeF size(object.width > 0 ? twipsToDocumentPixels(object.width) : 64,
                          object.height > 0 ? twipsToDocumentPixels(object.height) : 64);
        DecodedPicture box{placeholderImage(size.toSize(), ours->name), {}, {}, size, true};
        format = imageFormat(box);
    }
    if (ours) {
        format.setProperty(ObjectName, ours->name);
        format.setProperty(ObjectMimeType, ours->mimeType);
        if (ours->isLink)
            format.setProperty(ObjectLinkPath, ours->linkPath);
        else
            format.setProperty(ObjectData, ours->data);
    } else {
        // Kept from its \object word: text or words before it in its group
        // were read as such.
        const auto length = std::size_t(std::clamp<qint64>(endPosition + 1 - object.start, 0,
                                                           qint64(m_input.size()) - object.start));
        format.setProperty(ObjectRtf,
                           '{' + QByteArray(m_input.data() + object.start, qsizetype(length)));
    }
    if (top().dest != Dest::Body || top().object >= 0)
        return;
    flushText();
    tableContext();
    m_builder.insertImage(format);
}

// The state with the font and colours resolved as the format shows them, so
// that states that look alike compare equal.
RtfReader::CharState RtfReader::effectiveState(const CharState &state) const
{
    CharState effective = state;
    if (!m_fonts.contains(state.font >= 0 ? state.font : m_defaultFont))
        effective.font = m_fonts.contains(m_defaultFont) ? m_defaultFont : -1;
    else if (state.font < 0)
        effective.font = m_defaultFont;
    const auto color = [this](std::int32_t index) {
        return index >= 0 && std::size_t(index) < m_firstOfColor.size()
                   ? m_firstOfColor[std::size_t(index)]
                   : -1;
    };
    effective.fore = color(state.fore);
    effective.back = color(state.back);
    if (effective.back < 0)
        effective.shading = 0;
    return effective;
}

const QTextCharFormat &RtfReader::charFormat(const CharState &raw)
{
    const CharState state = effectiveState(raw);
    const auto found = m_charFormats.find(state);
    if (found != m_charFormats.end())
        return found->second;
    QTextCharFormat format;
    auto font = m_fonts.find(state.font >= 0 ? state.font : m_defaultFont);
    if (font == m_fonts.end())
        font = m_fonts.find(m_defaultFont);
    if (font != m_fonts.end()) {
        format.setFontFamilies(QStringList{font->second.name});
        if (font->second.family != QFont::AnyStyle)
            format.setFontStyleHint(QFont::StyleHint(font->second.family));
        if (font->second.pitch == 1)
            format.setFontFixedPitch(true);
    }
    format.setFontPointSize(state.halfPoints / 2.0);
    if (state.bold)
        format.setFontWeight(QFont::Bold);
    if (state.italic)
        format.setFontItalic(true);
    if (state.underline)
        format.setUnderlineStyle(QTextCharFormat::UnderlineStyle(state.underline));
    if (state.strike)
        format.setFontStrikeOut(true);
    if (state.fore >= 0 && std::size_t(state.fore) < m_colors.size())
        format.setForeground(m_colors[std::size_t(state.fore)]);
    else
        format.setProperty(AutoColor, true);
    if (state.back >= 0 && std::size_t(state.back) < m_colors.size())
        format.setBackground(m_colors[std::size_t(state.back)]);
    else
        format.setProperty(AutoBackColor, true);
    if (state.script)
        format.setVerticalAlignment(state.script == 2 ? QTextCharFormat::AlignSuperScript
                                                      : QTextCharFormat::AlignSubScript);
    if (state.protect)
        format.setProperty(Protected, true);
    if (state.hidden)
        format.setProperty(Hidden, true);
    if (state.disabled)
        format.setProperty(Disabled, true);
    if (state.link >= 0) {
        format.setAnchor(true);
        format.setAnchorHref(m_links[state.link]);
    }
    if (state.caps)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (state.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (state.shading && state.back >= 0)
        format.setProperty(Shading, true);
    if (state.footnote >= 0) {
        format.setProperty(Footnote, m_footnotes[std::size_t(state.footnote)].text);
        format.setProperty(FootnoteNumber, state.footnote + 1);
    }
    return m_charFormats.emplace(state, format).first->second;
}

const QTextBlockFormat &RtfReader::blockFormat(const ParaState &para)
{
    // Paragraphs mostly repeat the format of the one before.
    if (!m_lastPara || !(*m_lastPara == para)) {
        m_lastBlockFormat = makeBlockFormat(para);
        m_lastPara = para;
    }
    return m_lastBlockFormat;
}

QTextBlockFormat RtfReader::makeBlockFormat(const ParaState &para) const
{
    QTextBlockFormat format;
    static constexpr Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                                    Qt::AlignJustify};
    if (para.align != 0)
        format.setAlignment(kAlignments[para.align]);
    if (para.firstIndent)
        format.setTextIndent(twipsToDocumentPixels(para.firstIndent));
    if (para.leftIndent)
        format.setLeftMargin(twipsToDocumentPixels(para.leftIndent));
    if (para.rightIndent)
        format.setRightMargin(twipsToDocumentPixels(para.rightIndent));
    if (para.spaceBefore)
        format.setTopMargin(twipsToDocumentPixels(para.spaceBefore));
    if (para.spaceAfter)
        format.setBottomMargin(twipsToDocumentPixels(para.spaceAfter));
    if (para.lineSpacing != 0) {
        if (para.lineMultiple)
            format.setLineHeight(std::abs(para.lineSpacing) * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else
            format.setLineHeight(twipsToDocumentPixels(std::abs(para.lineSpacing)),
                                 para.lineSpacing > 0 ? QTextBlockFormat::MinimumHeight
                                                      : QTextBlockFormat::FixedHeight);
    }
    if (!para.tabs.isEmpty())
        format.setTabPositions(para.tabs);
    if (para.rtl)
        format.setLayoutDirection(Qt::RightToLeft);
    if (para.pageBreak)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    const ParagraphNumbering number = numbering(para);
    if (number.kind != NoNumbering) {
        format.setProperty(Numbering, number.kind);
        if (number.kind != Bullet)
            format.setProperty(NumberingStart, number.start);
        if (number.tab)
            format.setProperty(NumberingTab, number.tab);
        if (number.level)
            format.setProperty(NumberingLevel, number.level);
        if (!number.bullet.isEmpty())
            format.setProperty(NumberingBullet, number.bullet);
    }
    return format;
}

ParagraphNumbering RtfReader::numbering(const ParaState &para) const
{
    const ParagraphNumbering pn{
        para.pnKind, para.pnStart, para.pnIndent, para.pnBefore, para.pnAfter, 0, 0, {}};
    if (para.listOverride <= 0)
        return para.pnKind >= 0 ? pn : ParagraphNumbering{};
    const auto override = m_listOverrides.find(para.listOverride);
    const auto list = override == m_listOverrides.end()
                          ? m_lists.end()
                          : std::find_if(m_lists.begin(), m_lists.end(), [&](const ListDef &def) {
                                return def.id == override->second;
                            });
    if (list == m_lists.end() || list->levels.empty())
        return para.pnKind >= 0 ? pn : ParagraphNumbering{};
    // The list table describes the list whole (its levels, and which
    // paragraphs are one list); the \pn form adds the number's tab.
    const std::size_t levelIndex =
        std::min<std::size_t>(std::size_t(para.listLevel), list->levels.size() - 1);
    const ListLevelDef &level = list->levels[levelIndex];
    ParagraphNumbering result{kindOfNfc(level.nfc),
                              level.start,
                              para.pnKind >= 0 ? para.pnIndent : 0,
                              {},
                              QStringLiteral("."),
                              0,
                              0,
                              {}};
    result.level = int(levelIndex);
    result.list = para.listOverride;
    if (result.kind == Bullet) {
        result.bullet = bulletOfLevelText(level.text);
        if (result.bullet == QStringLiteral("\u2022"))
            result.bullet.clear(); // the bullet every list has unless it says otherwise
        return result;
    }
    // \leveltext: a length, then text with the level numbers as bytes 0 to 8.
    QString text = level.text.mid(1);
    if (text.endsWith(u';'))
        text.chop(1);
    const auto isPlaceholder = [](QChar c) { return c.unicode() < 9; };
    const auto first = std::find_if(text.begin(), text.end(), isPlaceholder);
    if (first != text.end()) {
        const auto last = std::find_if(text.rbegin(), text.rend(), isPlaceholder).base();
        result.prefix = QString(text.begin(), first - text.begin());
        result.suffix = QString(last, text.end() - last);
    }
    return result;
}

} // namespace bw::rtf
