#pragma once
// The typed table of RTF control words the reader understands: what each one
// is (flag, toggle, value, destination, symbol) and its default parameter.

#include <cstdint>
#include <string_view>

namespace bw::rtf {

enum class Keyword : std::uint16_t {
    Unknown,
    // Header and tables
    Rtf,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    FontTable,
    Font,
    FontNil,
    FontRoman,
    FontSwiss,
    FontModern,
    FontScript,
    FontDecor,
    FontTech,
    FontBidi,
    FontCharset,
    FontPitch,
    ColorTable,
    Red,
    Green,
    Blue,
    Uc,
    U,
    Upr,
    Ud,
    // Characters and breaks
    Par,
    Sect,
    Page,
    Cell,
    Row,
    NestCell,
    NestRow,
    Tab,
    Line,
    Symbol,
    FootnoteMark,
    // Character format
    Plain,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    UnderlineDotted,
    UnderlineDash,
    UnderlineDashDot,
    UnderlineDashDotDot,
    UnderlineWave,
    UnderlineOther,
    Strike,
    ColorFore,
    Highlight,
    ColorBack,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Down,
    Protect,
    Hidden,
    BwDisabled,
    Caps,
    SmallCaps,
    RtlChars,
    LtrChars,
    // Paragraph format
    Pard,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustify,
    FirstIndent,
    LeftIndent,
    RightIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    TabPosition,
    TabRight,
    TabCenter,
    TabDecimal,
    TabBar,
    RtlPar,
    LtrPar,
    PageBreakBefore,
    // Tables
    RowDefaults,
    CellEdge,
    InTable,
    Border,
    NoBorder,
    // Numbering, old form
    Pn,
    PnLevelBullet,
    PnLevelBody,
    PnLevelCont,
    PnLevel,
    PnDecimal,
    PnLowerLetter,
    PnUpperLetter,
    PnLowerRoman,
    PnUpperRoman,
    PnStart,
    PnIndent,
    PnTextBefore,
    PnTextAfter,
    PnText,
    // Numbering, list-table form
    ListTable,
    List,
    ListLevel,
    LevelNfc,
    LevelStartAt,
    LevelText,
    ListId,
    ListOverrideTable,
    ListOverride,
    Ls,
    Ilvl,
    ListText,
    // Pictures
    Pict,
    PngBlip,
    JpegBlip,
    DiBitmap,
    WBitmap,
    EmfBlip,
    WMetafile,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    WbmBitsPixel,
    WbmWidthBytes,
    ShpPict,
    NonShpPict,
    Shp,
    ShpResult,
    OtherPicture,
    // Objects and fields
    Object,
    ObjEmb,
    ObjLink,
    ObjClass,
    ObjData,
    ObjResult,
    ObjW,
    ObjH,
    Field,
    FieldInst,
    FieldResult,
    Footnote,
    // Destinations skipped whole
    SkipDestination,
};

enum class KeywordKind : std::uint8_t {
    Flag,        // no parameter, or one that is ignored
    Toggle,      // on without a parameter or with a non-zero one, off with 0
    Value,       // takes a number, `defaultParam` when it has none
    Destination, // starts a destination for the rest of its group
    Symbol,      // stands for one character, `defaultParam` is its code
};

struct KeywordInfo
{
    Keyword keyword = Keyword::Unknown;
    KeywordKind kind = KeywordKind::Flag;
    std::int32_t defaultParam = 0;
};

// The entry of a control word, or Keyword::Unknown.
KeywordInfo lookupKeyword(std::string_view word);

// The character of a control symbol such as "\~" (0 when it has none).
char16_t controlSymbolCharacter(char symbol);

} // namespace bw::rtf
