// The shared image lists: icons of the installed icon theme looked up by
// standard names, with icons drawn here where the theme has no fitting one.
// The index of each entry is the image index the commands and windows use.

#include "data_module.h"

#include "options/system_colors.h"
#include "platform/guarded_dispatch.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStandardPaths>
#include <span>

namespace bw {

namespace {

// The toolbar pictures are drawn for one kind of background: the dark
// variant has light strokes.
constexpr const char *kLightIconTheme = "breeze";
constexpr const char *kDarkIconTheme = "breeze-dark";

// A theme name, or a short label drawn when the theme lacks the name.
struct ImageEntry
{
    const char *themeName;
    const char *label;
};

// imlCommon: every image index of the command catalogue.
constexpr ImageEntry kCommon[] = {
    {"document-open-folder", "Ex"},         // 0 explore database, tray show
    {"document-new", "N"},                  // 1 new file
    {"document-new-from-template", "N"},    // 2
    {"document-open", "O"},                 // 3 open file
    {"document-close", "C"},                // 4 close file
    {"geany-close-all", "CA"},              // 5 close all files
    {"document-save", "S"},                 // 6 save file
    {"document-save-all", "SA"},            // 7 save all files
    {"document-save-as", "S"},              // 8 save file as
    {"document-import", "Rt"},              // 9 open RTF file
    {"document-save", "S"},                 // 10 save RTF
    {"document-export", "Rt"},              // 11 save as RTF
    {"document-export-table", "Sel"},       // 12 save selected as RTF
    {"mail-send", "@"},                     // 13 send mail
    {"document-print", "P"},                // 14 print
    {"document-page-setup-symbolic", "Pg"}, // 15 print setup
    {"document-open-recent", "R"},          // 16 reopen
    {"edit-clear-history", "Cl"},           // 17 clear MRU list
    {"edit-clear-list", "Rm"},              // 18 remove obsolete
    {"application-exit", "X"},              // 19 exit
    {"tools-wizard", "T"},                  // 20 tools
    {"configure", "Op"},                    // 21 options
    {"system-search", "Se"},                // 22 search window
    {"view-list-details", "V"},             // 23
    {"configure-toolbars", "Tb"},           // 24 toolbars
    {"bookmark-toolbar", "MB"},             // 25 main bar
    {"folder", "Fb"},                       // 26 folder bar
    {"view-list-details", "R2"},            // 27 record bar 2
    {"document-edit", "Eb"},                // 28 edit bar
    {"preferences-desktop-font", "F1"},     // 29 format bar 1
    {"format-justify-left", "F2"},          // 30 format bar 2
    {"kt-show-statusbar", "St"},            // 31 status bar
    {"view-sidetree", "Xb"},                // 32 explorer bar
    {"view-list-tree", "Tr"},               // 33 tree view
    {"kruler", "Ru"},                       // 34 ruler
    {"window-duplicate", "Ca"},             // 35 cascade
    {"view-split-top-bottom", "TH"},        // 36 tile horizontally
    {"view-split-left-right", "TV"},        // 37 tile vertically
    {"view-grid", "Ar"},                    // 38 arrange icons
    {"window-minimize", "Mi"},              // 39 minimize all
    {"window-close", "X"},                  // 40 close window
    {"geany-close-all", "XA"},              // 41 close all windows
    {"help-hint", "Tip"},                   // 42 tip of the day
    {"help-contextual", "?"},               // 43 context help
    {"help-contents", "?"},                 // 44 contents
    {"help-browser", "?"},                  // 45 topic search
    {"help-contextual", "?"},               // 46 help on help
    {"mail-message-new", "@"},              // 47 e-mail
    {"go-home", "H"},                       // 48 home page
    {"globe", "W"},                         // 49
    {"help-about", "i"},                    // 50 about
    {"edit-undo", "U"},                     // 51 undo
    {"edit-redo", "Re"},                    // 52 redo
    {"media-playlist-repeat", "Ag"},        // 53 do again
    {"edit-cut", "Ct"},                     // 54 cut
    {"edit-copy", "Cp"},                    // 55 copy
    {"edit-paste", "Pa"},                   // 56 paste
    {"edit-paste-style", "PS"},             // 57 paste special
    {"edit-delete", "De"},                  // 58 delete
    {"edit-select-all", "SA"},              // 59 select all
    {"view-calendar-day", "Dt"},            // 60 date and time
    {"insert-image", "Pi"},                 // 61 picture
    {"application-x-object", "Ob"},         // 62 object
    {"insert-horizontal-rule", "--"},       // 63 horizontal line
    {"insert-text", "Fi"},                  // 64 insert file
    {"insert-page-break", "#"},             // 65 page number
    {"dialog-object-properties", "Pr"},     // 66 object properties
    {"insert-link", "L"},                   // 67
    {"edit-find", "F"},                     // 68 find
    {"go-down-search", "FN"},               // 69 find next
    {"edit-find-replace", "Rp"},            // 70 replace
    {"go-jump", "Go"},                      // 71 go to line
    {"preferences-desktop-font", "Fo"},     // 72 font, font name
    {"font", "Sz"},                         // 73 font size
    {"format-font-size-less", "A-"},        // 74 decrease font size
    {"format-font-size-more", "A+"},        // 75 increase font size
    {"format-text-capitalize", "Aa"},       // 76 change character type
    {"format-indent-more", "Pg"},           // 77 paragraph
    {"accessories-calculator", "12"},       // 78 count characters
    {"format-text-blockquote", "St"},       // 79 style
    {"format-text-bold", "B"},              // 80 bold
    {"format-text-italic", "I"},            // 81 italic
    {"format-text-underline", "U"},         // 82 underline
    {"format-text-strikethrough", "S"},     // 83 strikeout
    {"format-justify-left", "Al"},          // 84 align
    {"format-justify-left", "L"},           // 85 align left
    {"format-justify-center", "C"},         // 86 align center
    {"format-justify-fill", "J"},           // 87 align justify
    {"format-justify-right", "R"},          // 88 align right
    {"format-list-ordered", "1."},          // 89 numbering
    {"format-justify-left", "No"},          // 90 no numbering
    {"format-list-unordered", "*"},         // 91 bullets
    {"format-list-ordered", "1."},          // 92 numbers
    {nullptr, "a."},                        // 93 lower-case letters
    {nullptr, "A."},                        // 94 upper-case letters
    {nullptr, "i."},                        // 95 lower-case roman
    {nullptr, "I."},                        // 96 upper-case roman
    {nullptr, "\u2460"},                    // 97 unicode sequence
    {"format-text-superscript", "x\u00B2"}, // 98 script style
    {"format-text-superscript", "x\u00B2"}, // 99 superscript
    {"format-text-subscript", "x\u2082"},   // 100 subscript
    {"object-hidden", "M"},                 // 101 mask effect
    {"object-locked", "Pt"},                // 102 protected
    {"view-hidden", "H"},                   // 103 hidden
    {nullptr, "Ds"},                        // 104 disabled
    {"format-text-color", "A"},             // 105 font colour
    {"format-fill-color", "Bg"},            // 106 background colour
    {"list-add", "+"},                      // 107 insert item
    {"format-add-node", "+c"},              // 108 insert child
    {"go-up", "Up"},                        // 109 move up a level
    {"list-remove", "-"},                   // 110 delete item
    {"document-edit", "Ed"},                // 111 edit
    {"dialog-ok-apply", "Ok"},              // 112 post
    {"dialog-cancel", "Cn"},                // 113 cancel
    {"view-refresh", "Rf"},                 // 114 refresh
    {"server-database", "DB"},              // 115 client dataset
    {"document-save", "Sv"},                // 116 save changes
    {"edit-undo", "U1"},                    // 117 undo last change
    {"edit-undo-history", "UA"},            // 118 undo all changes
    {"document-multiple", "IE"},            // 119 import - export
    {"document-import", "Im"},              // 120 import
    {"document-export", "Ex"},              // 121 export nodes
    {"text-html", "Hg"},                    // 122 export HTML grid
    {"text-xml", "X"},                      // 123 export XML data
    {"view-list-tree", "Ht"},               // 124 export HTML tree
    {"compass", "N"},                       // 125
    {"compass", "Nv"},                      // 126 navigator
    {"go-previous", "<"},                   // 127 back
    {"go-next", ">"},                       // 128 forward
    {"go-up", "^"},                         // 129 up
};

// imlTreeView: pairs of an item icon (even) and its selected form (odd).
constexpr ImageEntry kTreeView[] = {
    {"folder", "F"},        {"folder-open", "F"},   {"text-plain", "T"},     {"document-edit", "T"},
    {"bookmarks", "B"},     {"bookmark-edit", "B"}, {"view-pim-notes", "N"}, {"knotes", "N"},
    {"folder-notes", "Fn"}, {"folder-open", "Fn"},  {"flag-blue", "Fl"},     {"flag-red", "Fl"},
};

// Options categories: Startup, Common, Main, Notes, ItemTree, Editor, Views, Shortcuts.
constexpr ImageEntry kOptions[] = {
    {"system-run", "St"},         {"preferences-system", "Co"},   {"preferences-desktop", "Ma"},
    {"view-pim-notes", "No"},     {"view-list-tree", "It"},       {"accessories-text-editor", "Ed"},
    {"configure-toolbars", "Vi"}, {"emblem-symbolic-link", "Sc"},
};

// Status bar: item count, then the table states inactive, browse, edit,
// insert, set key, calculated fields, filter, other.
constexpr ImageEntry kStatusBar[] = {
    {"view-list-tree", "#"},
    {"media-playback-stop", "-"},
    {"document-preview", "B"},
    {"document-edit", "E"},
    {"list-add", "I"},
    {"edit-find", "K"},
    {"accessories-calculator", "C"},
    {"view-filter", "F"},
    {"help-contextual", "?"},
};

// The search window's navigator buttons, in their order.
constexpr ImageEntry kSearch[] = {
    {"go-first", "|<"},          {"go-previous-view-page", "<<"},
    {"go-previous", "<"},        {"go-next", ">"},
    {"go-next-view-page", ">>"}, {"go-last", ">|"},
    {"list-add", "+"},           {"list-remove", "-"},
    {"document-edit", "Ed"},     {"dialog-ok-apply", "Ok"},
    {"dialog-cancel", "X"},      {"view-refresh", "Rf"},
    {"bookmark-new", "Bm"},      {"bookmarks", "Go"},
    {"view-filter", "Fl"},       {"document-preview", "Vw"},
    {"edit-find", "Lc"},         {"system-search", "Se"},
    {"document-save", "Sv"},     {"edit-undo", "U1"},
    {"edit-undo-history", "UA"}, {"edit-find", "F"},
    {"go-down-search", "FN"},
};

// Grid title sort markers: ascending, descending.
constexpr ImageEntry kGridHeaderSort[] = {
    {"view-sort-ascending", "^"},
    {"view-sort-descending", "v"},
};

QIcon drawnIcon(const QString &label, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x3d, 0x6e, 0xaf));
    p.setBrush(QColor(0xe8, 0xf0, 0xfa));
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 2, 2);
    QFont font = p.font();
    font.setPixelSize(std::max(6, size.height() * (label.size() > 1 ? 9 : 11) / 16));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x23, 0x26, 0x29));
    p.drawText(pixmap.rect(), Qt::AlignCenter, label);
    return QIcon(pixmap);
}

QIcon lookUp(const ImageEntry &entry, QSize size)
{
    if (entry.themeName && QIcon::hasThemeIcon(QLatin1String(entry.themeName)))
        return QIcon::fromTheme(QLatin1String(entry.themeName));
    return drawnIcon(QString::fromUtf8(entry.label), size);
}

void fill(ImageList &list, std::span<const ImageEntry> entries)
{
    for (const ImageEntry &entry : entries)
        list.add(lookUp(entry, list.size()));
}

// A colour swatch: the colour with a dark frame.
QIcon swatch(const QColor &color, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(color);
    p.drawRect(QRect(QPoint(1, 1), size - QSize(3, 3)));
    return QIcon(pixmap);
}

// The 17 colours of the colour menus; the last is "Automatic" (window text).
void fillColors(ImageList &list)
{
    const int rgb[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
                            {192, 192, 192}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const auto &c : rgb)
        list.add(swatch(QColor(c[0], c[1], c[2]), list.size()));
    list.add(swatch(toQColor(ColorValue::system(ColorValue::kWindowText)), list.size()));
}

// The theme is chosen here, not left to the desktop, so every machine shows
// the same icons, light or dark by the palette; hicolor backs it up.
void selectIconTheme()
{
    // Some platform plug-ins (offscreen, minimal) look only in the resources;
    // the installed themes live in the XDG data folders.
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList installed =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    for (const QString &dir : installed)
        if (!paths.contains(dir))
            paths << dir;
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(DataModule::iconThemeFor(QGuiApplication::palette()));
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

} // namespace

QIcon ImageList::icon(int index) const
{
    return index >= 0 && index < m_icons.size() ? m_icons[index] : QIcon();
}

QPixmap ImageList::pixmap(int index, QIcon::Mode mode) const
{
    return icon(index).pixmap(m_size, mode);
}

int ImageList::add(const QIcon &icon)
{
    m_icons << icon;
    return int(m_icons.size()) - 1;
}

QString DataModule::iconThemeFor(const QPalette &palette)
{
    const bool dark = palette.color(QPalette::Active, QPalette::Window).lightness() < 128;
    return QLatin1String(dark ? kDarkIconTheme : kLightIconTheme);
}

// Icons taken from the theme look themselves up again in the new theme; the
// disabled images are pictures and are drawn again.
void DataModule::followPalette()
{
    const QString theme = iconThemeFor(QGuiApplication::palette());
    if (theme == QIcon::themeName())
        return;
    QIcon::setThemeName(theme);
    fillDisabled();
}

bool DataModule::eventFilter(QObject *watched, QEvent *event)
{
    return guardedOr(false, [&] {
        if (event->type() == QEvent::ApplicationPaletteChange &&
            watched == QCoreApplication::instance())
            followPalette();
        return false;
    });
}

void DataModule::fillDisabled()
{
    imlCommonDis().clear();
    for (int i = 0; i < imlCommon().count(); ++i)
        imlCommonDis().add(QIcon(imlCommon().pixmap(i, QIcon::Disabled)));
}

ImageList &DataModule::images(Images role)
{
    return m_imageLists[int(role)];
}

void DataModule::createImageLists()
{
    selectIconTheme();
    const QSize s16(16, 16);
    m_imageLists = {
        ImageList(QStringLiteral("imlCommon"), s16),
        ImageList(QStringLiteral("imlCommonDis"), s16),
        ImageList(QStringLiteral("imlTreeView"), s16),
        ImageList(QStringLiteral("imlOptionsTreeView16"), s16),
        ImageList(QStringLiteral("imlOptionsTreeView32"), QSize(32, 32)),
        ImageList(QStringLiteral("imlPlugins"), s16),
        ImageList(QStringLiteral("imlStatusBar"), QSize(14, 14)),
        ImageList(QStringLiteral("imlSearch"), s16),
        ImageList(QStringLiteral("imlGridHeaderSort"), s16),
        ImageList(QStringLiteral("imlColors"), s16),
    };
    fill(imlCommon(), kCommon);
    // Disabled images: the same icons in Qt's disabled rendering.
    fillDisabled();
    fill(imlTreeView(), kTreeView);
    fill(imlOptionsTreeView16(), kOptions);
    fill(imlOptionsTreeView32(), kOptions);
    fill(imlStatusBar(), kStatusBar);
    fill(imlSearch(), kSearch);
    fill(imlGridHeaderSort(), kGridHeaderSort);
    fillColors(imlColors());
}

} // namespace bw
