#pragma once
// The two owner-drawn colour menus of the document window (`pmFontColor`,
// `pmBackgroundColor`): 17 radio items, 16 named colours and "Automatic",
// each drawn with a framed swatch of its colour after the check mark.

#include <QColor>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace bw::notes {

// One entry of a colour menu: its caption and colour; the last entry,
// "Automatic", has an invalid colour (the editor's default colour).
struct ColorMenuEntry
{
    const char *caption;
    QColor color;
};
QList<ColorMenuEntry> colorMenuEntries();
inline constexpr int kColorMenuItemCount = 17;

// "Automatic" for the automatic (invalid) colour, the colour's standard name
// for the 16 named colours, else its hexadecimal form.
QString colorMenuCaption(const QColor &color);

// A new colour menu: its items are checkable radio items carrying their
// colour (invalid for Automatic) as data and their position in the property
// "colorIndex". The menu draws every item's swatch itself.
QMenu *createColorMenu(const QString &objectName, QWidget *parent);

// The colour an item stands for (invalid: automatic).
QColor colorOfItem(const QAction *item);

// The colour the Automatic item's swatch shows (the editor's own colour).
void setAutomaticColor(QMenu *menu, const QColor &color);

// Checks the item of the colour read (automatic: the Automatic item); a
// colour not in the table leaves every item unchecked.
void checkColorItem(QMenu *menu, const QColor &color, bool automatic);

} // namespace bw::notes
