#include "rtf/rtf_control_words.h"

#include <unordered_map>

namespace bw::rtf {
namespace {

using K = Keyword;
using Kind = KeywordKind;

struct Entry
{
    std::string_view name;
    KeywordInfo info;
};

// clang-format off
constexpr Entry kEntries[] = {
    {"rtf", {K::Rtf, Kind::Value, 1}},
    {"ansi", {K::Ansi, Kind::Flag, 0}},
    {"mac", {K::Mac, Kind::Flag, 0}},
    {"pc", {K::Pc, Kind::Flag, 0}},
    {"pca", {K::Pca, Kind::Flag, 0}},
    {"ansicpg", {K::AnsiCpg, Kind::Value, 1252}},
    {"deff", {K::Deff, Kind::Value, 0}},
    {"fonttbl", {K::FontTable, Kind::Destination, 0}},
    {"f", {K::Font, Kind::Value, 0}},
    {"fnil", {K::FontNil, Kind::Flag, 0}},
    {"froman", {K::FontRoman, Kind::Flag, 0}},
    {"fswiss", {K::FontSwiss, Kind::Flag, 0}},
    {"fmodern", {K::FontModern, Kind::Flag, 0}},
    {"fscript", {K::FontScript, Kind::Flag, 0}},
    {"fdecor", {K::FontDecor, Kind::Flag, 0}},
    {"ftech", {K::FontTech, Kind::Flag, 0}},
    {"fbidi", {K::FontBidi, Kind::Flag, 0}},
    {"fcharset", {K::FontCharset, Kind::Value, 0}},
    {"fprq", {K::FontPitch, Kind::Value, 0}},
    {"colortbl", {K::ColorTable, Kind::Destination, 0}},
    {"red", {K::Red, Kind::Value, 0}},
    {"green", {K::Green, Kind::Value, 0}},
    {"blue", {K::Blue, Kind::Value, 0}},
    {"uc", {K::Uc, Kind::Value, 1}},
    {"u", {K::U, Kind::Value, 0}},
    {"upr", {K::Upr, Kind::Destination, 0}},
    {"ud", {K::Ud, Kind::Destination, 0}},

    {"par", {K::Par, Kind::Flag, 0}},
    {"sect", {K::Sect, Kind::Flag, 0}},
    {"page", {K::Page, Kind::Flag, 0}},
    {"cell", {K::Cell, Kind::Flag, 0}},
    {"nestcell", {K::NestCell, Kind::Flag, 0}},
    {"row", {K::Row, Kind::Flag, 0}},
    {"nestrow", {K::NestRow, Kind::Flag, 0}},
    {"chftn", {K::FootnoteMark, Kind::Flag, 0}},
    {"tab", {K::Tab, Kind::Symbol, 0x0009}},
    {"line", {K::Line, Kind::Symbol, 0x2028}},
    {"emdash", {K::Symbol, Kind::Symbol, 0x2014}},
    {"endash", {K::Symbol, Kind::Symbol, 0x2013}},
    {"emspace", {K::Symbol, Kind::Symbol, 0x2003}},
    {"enspace", {K::Symbol, Kind::Symbol, 0x2002}},
    {"qmspace", {K::Symbol, Kind::Symbol, 0x2005}},
    {"bullet", {K::Symbol, Kind::Symbol, 0x2022}},
    {"lquote", {K::Symbol, Kind::Symbol, 0x2018}},
    {"rquote", {K::Symbol, Kind::Symbol, 0x2019}},
    {"ldblquote", {K::Symbol, Kind::Symbol, 0x201C}},
    {"rdblquote", {K::Symbol, Kind::Symbol, 0x201D}},
    {"zwj", {K::Symbol, Kind::Symbol, 0x200D}},
    {"zwnj", {K::Symbol, Kind::Symbol, 0x200C}},
    {"zwbo", {K::Symbol, Kind::Symbol, 0x200B}},
    {"ltrmark", {K::Symbol, Kind::Symbol, 0x200E}},
    {"rtlmark", {K::Symbol, Kind::Symbol, 0x200F}},

    {"plain", {K::Plain, Kind::Flag, 0}},
    {"fs", {K::FontSize, Kind::Value, 24}},
    {"b", {K::Bold, Kind::Toggle, 1}},
    {"i", {K::Italic, Kind::Toggle, 1}},
    {"ul", {K::Underline, Kind::Toggle, 1}},
    {"ulnone", {K::UnderlineNone, Kind::Flag, 0}},
    {"uld", {K::UnderlineDotted, Kind::Toggle, 1}},
    {"ulthd", {K::UnderlineDotted, Kind::Toggle, 1}},
    {"uldash", {K::UnderlineDash, Kind::Toggle, 1}},
    {"ulldash", {K::UnderlineDash, Kind::Toggle, 1}},
    {"ulthdash", {K::UnderlineDash, Kind::Toggle, 1}},
    {"ulthldash", {K::UnderlineDash, Kind::Toggle, 1}},
    {"uldashd", {K::UnderlineDashDot, Kind::Toggle, 1}},
    {"ulthdashd", {K::UnderlineDashDot, Kind::Toggle, 1}},
    {"uldashdd", {K::UnderlineDashDotDot, Kind::Toggle, 1}},
    {"ulthdashdd", {K::UnderlineDashDotDot, Kind::Toggle, 1}},
    {"ulwave", {K::UnderlineWave, Kind::Toggle, 1}},
    {"ulhwave", {K::UnderlineWave, Kind::Toggle, 1}},
    {"ululdbwave", {K::UnderlineWave, Kind::Toggle, 1}},
    {"uldb", {K::UnderlineOther, Kind::Toggle, 1}},
    {"ulw", {K::UnderlineOther, Kind::Toggle, 1}},
    {"ulth", {K::UnderlineOther, Kind::Toggle, 1}},
    {"strike", {K::Strike, Kind::Toggle, 1}},
    {"striked", {K::Strike, Kind::Toggle, 1}},
    {"cf", {K::ColorFore, Kind::Value, 0}},
    {"highlight", {K::Highlight, Kind::Value, 0}},
    {"cb", {K::ColorBack, Kind::Value, 0}},
    {"chcbpat", {K::ColorBack, Kind::Value, 0}},
    {"super", {K::Super, Kind::Flag, 0}},
    {"sub", {K::Sub, Kind::Flag, 0}},
    {"nosupersub", {K::NoSuperSub, Kind::Flag, 0}},
    {"up", {K::Up, Kind::Value, 6}},
    {"dn", {K::Down, Kind::Value, 6}},
    {"protect", {K::Protect, Kind::Toggle, 1}},
    {"v", {K::Hidden, Kind::Toggle, 1}},
    {"bwdisabled", {K::BwDisabled, Kind::Toggle, 1}},
    {"caps", {K::Caps, Kind::Toggle, 1}},
    {"scaps", {K::SmallCaps, Kind::Toggle, 1}},
    {"rtlch", {K::RtlChars, Kind::Flag, 0}},
    {"ltrch", {K::LtrChars, Kind::Flag, 0}},

    {"pard", {K::Pard, Kind::Flag, 0}},
    {"ql", {K::AlignLeft, Kind::Flag, 0}},
    {"qr", {K::AlignRight, Kind::Flag, 0}},
    {"qc", {K::AlignCenter, Kind::Flag, 0}},
    {"qj", {K::AlignJustify, Kind::Flag, 0}},
    {"fi", {K::FirstIndent, Kind::Value, 0}},
    {"li", {K::LeftIndent, Kind::Value, 0}},
    {"ri", {K::RightIndent, Kind::Value, 0}},
    {"sb", {K::SpaceBefore, Kind::Value, 0}},
    {"sa", {K::SpaceAfter, Kind::Value, 0}},
    {"sl", {K::LineSpacing, Kind::Value, 0}},
    {"slmult", {K::LineMultiple, Kind::Value, 0}},
    {"tx", {K::TabPosition, Kind::Value, 0}},
    {"tqr", {K::TabRight, Kind::Flag, 0}},
    {"tqc", {K::TabCenter, Kind::Flag, 0}},
    {"tqdec", {K::TabDecimal, Kind::Flag, 0}},
    {"tb", {K::TabBar, Kind::Value, 0}},
    {"rtlpar", {K::RtlPar, Kind::Flag, 0}},
    {"ltrpar", {K::LtrPar, Kind::Flag, 0}},
    {"pagebb", {K::PageBreakBefore, Kind::Toggle, 1}},

    {"trowd", {K::RowDefaults, Kind::Flag, 0}},
    {"cellx", {K::CellEdge, Kind::Value, 0}},
    {"intbl", {K::InTable, Kind::Flag, 0}},
    {"brdrs", {K::Border, Kind::Flag, 0}},
    {"brdrth", {K::Border, Kind::Flag, 0}},
    {"brdrdb", {K::Border, Kind::Flag, 0}},
    {"brdrsh", {K::Border, Kind::Flag, 0}},
    {"brdrdot", {K::Border, Kind::Flag, 0}},
    {"brdrdash", {K::Border, Kind::Flag, 0}},
    {"brdrhair", {K::Border, Kind::Flag, 0}},
    {"brdrtriple", {K::Border, Kind::Flag, 0}},
    {"brdrnone", {K::NoBorder, Kind::Flag, 0}},
    {"brdrnil", {K::NoBorder, Kind::Flag, 0}},

    {"pn", {K::Pn, Kind::Destination, 0}},
    {"pnlvlblt", {K::PnLevelBullet, Kind::Flag, 0}},
    {"pnlvlbody", {K::PnLevelBody, Kind::Flag, 0}},
    {"pnlvlcont", {K::PnLevelCont, Kind::Flag, 0}},
    {"pnlvl", {K::PnLevel, Kind::Value, 1}},
    {"pndec", {K::PnDecimal, Kind::Flag, 0}},
    {"pnlcltr", {K::PnLowerLetter, Kind::Flag, 0}},
    {"pnucltr", {K::PnUpperLetter, Kind::Flag, 0}},
    {"pnlcrm", {K::PnLowerRoman, Kind::Flag, 0}},
    {"pnucrm", {K::PnUpperRoman, Kind::Flag, 0}},
    {"pnstart", {K::PnStart, Kind::Value, 1}},
    {"pnindent", {K::PnIndent, Kind::Value, 0}},
    {"pntxtb", {K::PnTextBefore, Kind::Destination, 0}},
    {"pntxta", {K::PnTextAfter, Kind::Destination, 0}},
    {"pntext", {K::PnText, Kind::Destination, 0}},

    {"listtable", {K::ListTable, Kind::Destination, 0}},
    {"list", {K::List, Kind::Destination, 0}},
    {"listlevel", {K::ListLevel, Kind::Destination, 0}},
    {"levelnfc", {K::LevelNfc, Kind::Value, 0}},
    {"levelnfcn", {K::LevelNfc, Kind::Value, 0}},
    {"levelstartat", {K::LevelStartAt, Kind::Value, 1}},
    {"leveltext", {K::LevelText, Kind::Destination, 0}},
    {"listid", {K::ListId, Kind::Value, 0}},
    {"listoverridetable", {K::ListOverrideTable, Kind::Destination, 0}},
    {"listoverride", {K::ListOverride, Kind::Destination, 0}},
    {"ls", {K::Ls, Kind::Value, 0}},
    {"ilvl", {K::Ilvl, Kind::Value, 0}},
    {"listtext", {K::ListText, Kind::Destination, 0}},

    {"pict", {K::Pict, Kind::Destination, 0}},
    {"pngblip", {K::PngBlip, Kind::Flag, 0}},
    {"jpegblip", {K::JpegBlip, Kind::Flag, 0}},
    {"dibitmap", {K::DiBitmap, Kind::Value, 0}},
    {"wbitmap", {K::WBitmap, Kind::Value, 0}},
    {"emfblip", {K::EmfBlip, Kind::Flag, 0}},
    {"wmetafile", {K::WMetafile, Kind::Value, 1}},
    {"macpict", {K::OtherPicture, Kind::Flag, 0}},
    {"pmmetafile", {K::OtherPicture, Kind::Value, 0}},
    {"picw", {K::PicW, Kind::Value, 0}},
    {"pich", {K::PicH, Kind::Value, 0}},
    {"picwgoal", {K::PicWGoal, Kind::Value, 0}},
    {"pichgoal", {K::PicHGoal, Kind::Value, 0}},
    {"picscalex", {K::PicScaleX, Kind::Value, 100}},
    {"picscaley", {K::PicScaleY, Kind::Value, 100}},
    {"wbmbitspixel", {K::WbmBitsPixel, Kind::Value, 1}},
    {"wbmwidthbytes", {K::WbmWidthBytes, Kind::Value, 0}},
    {"shppict", {K::ShpPict, Kind::Destination, 0}},
    {"nonshppict", {K::NonShpPict, Kind::Destination, 0}},
    {"shp", {K::Shp, Kind::Destination, 0}},
    {"shprslt", {K::ShpResult, Kind::Destination, 0}},

    {"object", {K::Object, Kind::Destination, 0}},
    {"objemb", {K::ObjEmb, Kind::Flag, 0}},
    {"objlink", {K::ObjLink, Kind::Flag, 0}},
    {"objautlink", {K::ObjLink, Kind::Flag, 0}},
    {"objclass", {K::ObjClass, Kind::Destination, 0}},
    {"objdata", {K::ObjData, Kind::Destination, 0}},
    {"result", {K::ObjResult, Kind::Destination, 0}},
    {"objw", {K::ObjW, Kind::Value, 0}},
    {"objh", {K::ObjH, Kind::Value, 0}},
    {"field", {K::Field, Kind::Destination, 0}},
    {"fldinst", {K::FieldInst, Kind::Destination, 0}},
    {"fldrslt", {K::FieldResult, Kind::Destination, 0}},

    // Destinations whose text is not part of the document body.
    {"stylesheet", {K::SkipDestination, Kind::Destination, 0}},
    {"info", {K::SkipDestination, Kind::Destination, 0}},
    {"header", {K::SkipDestination, Kind::Destination, 0}},
    {"headerl", {K::SkipDestination, Kind::Destination, 0}},
    {"headerr", {K::SkipDestination, Kind::Destination, 0}},
    {"headerf", {K::SkipDestination, Kind::Destination, 0}},
    {"footer", {K::SkipDestination, Kind::Destination, 0}},
    {"footerl", {K::SkipDestination, Kind::Destination, 0}},
    {"footerr", {K::SkipDestination, Kind::Destination, 0}},
    {"footerf", {K::SkipDestination, Kind::Destination, 0}},
    {"footnote", {K::Footnote, Kind::Destination, 0}},
    {"nonesttables", {K::SkipDestination, Kind::Destination, 0}},
    {"annotation", {K::SkipDestination, Kind::Destination, 0}},
    {"xe", {K::SkipDestination, Kind::Destination, 0}},
    {"tc", {K::SkipDestination, Kind::Destination, 0}},
    {"txe", {K::SkipDestination, Kind::Destination, 0}},
    {"rxe", {K::SkipDestination, Kind::Destination, 0}},
    {"template", {K::SkipDestination, Kind::Destination, 0}},
    {"pnseclvl", {K::SkipDestination, Kind::Destination, 0}},
    {"listname", {K::SkipDestination, Kind::Destination, 0}},
    {"levelnumbers", {K::SkipDestination, Kind::Destination, 0}},
    {"objname", {K::SkipDestination, Kind::Destination, 0}},
    {"revtbl", {K::SkipDestination, Kind::Destination, 0}},
    {"rsidtbl", {K::SkipDestination, Kind::Destination, 0}},
    {"filetbl", {K::SkipDestination, Kind::Destination, 0}},
};
// clang-format on

using KeywordMap = std::unordered_map<std::string_view, KeywordInfo>;

KeywordMap makeKeywordMap()
{
    KeywordMap map;
    map.reserve(std::size(kEntries) * 2);
    for (const Entry &entry : kEntries)
        map.emplace(entry.name, entry.info);
    return map;
}

} // namespace

KeywordInfo lookupKeyword(std::string_view word)
{
    // Immutable lookup table, built on first use.
    static const KeywordMap kMap = makeKeywordMap();
    const auto it = kMap.find(word);
    return it == kMap.end() ? KeywordInfo{} : it->second;
}

char16_t controlSymbolCharacter(char symbol)
{
    switch (symbol) {
    case '~':
        return 0x00A0; // non-breaking space
    case '-':
        return 0x00AD; // optional hyphen
    case '_':
        return 0x2011; // non-breaking hyphen
    case '\\':
    case '{':
    case '}':
        return char16_t(symbol);
    default:
        return 0;
    }
}

} // namespace bw::rtf
