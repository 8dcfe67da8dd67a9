#pragma once
// Character and block properties of our own that the RTF reader and writer
// and the rich-text control share. They live in QTextFormat's user range.

#include <QTextFormat>

namespace bw::rtf {

enum TextProperty {
    // Character format (QTextCharFormat)
    Protected = QTextFormat::UserProperty + 1, // bool: edits need permission
    Hidden,                                    // bool: kept but not shown
    Disabled,                                  // bool: drawn in the disabled colour
    AutoColor,                                 // bool: text colour follows the default
    AutoBackColor,                             // bool: no background colour
    Shading,        // bool: a background shading (\chcbpat), not a highlight
    Footnote,       // QString: the footnote whose mark this text is
    FootnoteNumber, // int: keeps adjacent marks apart
    // Block format (QTextBlockFormat)
    Numbering = QTextFormat::UserProperty + 100, // int 0..6, see NumberingKind
    NumberingStart,                              // int: first number
    NumberingTab,                                // int twips: \pnindent / tab after number
    NumberingLevel,                              // int 0..8: the paragraph's level in its list
    NumberingList,                               // int > 0: the list the paragraph belongs to
    NumberingBullet,                             // QString: the bullet character of a bullet level
    OffsetBeforeNumbering, // int twips: the other lines' indent before numbering (editor only)
    // Image formats carrying original bytes (kept byte for byte)
    PictureFormat = QTextFormat::UserProperty + 200, // QString: "png", "jpeg", "emf", "wmf", "dib"
    PictureData,                                     // QByteArray: the original bytes
    // Embedded or linked objects
    ObjectName = QTextFormat::UserProperty + 300, // QString: file name shown
    ObjectMimeType,                               // QString
    ObjectData,                                   // QByteArray: embedded bytes
    ObjectLinkPath,                               // QString: linked file path
    ObjectRtf,                                    // QByteArray: foreign object kept verbatim
};

// The numbering kinds of a paragraph, in the control's numbering.
enum NumberingKind {
    NoNumbering = 0,
    Bullet = 1,
    Arabic = 2,
    LowerLetter = 3,
    UpperLetter = 4,
    LowerRoman = 5,
    UpperRoman = 6,
};

// Lengths in QTextFormat (indents, spacing, tab stops, image sizes) are Qt's
// document pixels, 1/96 inch, which is 15 twips (Qt scales them to the paint
// device). The reader and the writer convert with these.
inline constexpr qreal kTwipsPerDocumentPixel = 15.0;
inline constexpr qreal twipsToDocumentPixels(int twips)
{
    return twips / kTwipsPerDocumentPixel;
}
inline int documentPixelsToTwips(qreal pixels)
{
    return qRound(pixels * kTwipsPerDocumentPixel);
}

} // namespace bw::rtf
