#include "document/color_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace bw::notes {

namespace {

constexpr char kColorIndexProperty[] = "colorIndex";
constexpr char kAutomaticColorProperty[] = "automaticColor";
constexpr int kSwatchGap = 6; // after the check mark
constexpr int kSwatchWidth = 20;
constexpr int kSwatchInset = 3; // above and below the swatch
constexpr int kCheckLeft = 7;   // where the style draws the check mark
constexpr int kTextGap = 6;     // between the swatch and the caption

// Draws the menu items as usual with room for a swatch after the check
// mark, then the swatch: framed in the menu text colour, filled 1 pixel in
// with the item's colour.
class ColorMenuStyle : public QProxyStyle
{
public:
    int swatchLeft() const { return kCheckLeft + pixelMetric(PM_IndicatorWidth) + kSwatchGap; }
    int textIndent() const { return swatchLeft() + kSwatchWidth + kTextGap; }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        const auto *menu = qobject_cast<const QMenu *>(widget);
        if (element != CE_MenuItem || !item || !menu ||
            item->menuItemType == QStyleOptionMenuItem::Separator) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        // The style draws the item without its check mark, its text after
        // the swatch (at least 20 pixels from the left); the check mark,
        // a radio dot, is drawn here so the swatch sits just after it.
        QStyleOptionMenuItem copy(*item);
        copy.icon = QIcon();
        copy.checkType = QStyleOptionMenuItem::NotCheckable;
        copy.checked = false;
        copy.state &= ~(State_On | State_Off);
        copy.maxIconWidth = textIndent() - kCheckLeft;
        QProxyStyle::drawControl(element, &copy, painter, widget);
        if (item->checked)
            drawCheckMark(item, painter);
        const QAction *action = actionOf(menu, item->rect);
        if (!action)
            return;
        const QRect swatch(item->rect.left() + swatchLeft(), item->rect.top() + kSwatchInset,
                           kSwatchWidth, item->rect.height() - 2 * kSwatchInset);
        painter->save();
        painter->setPen(item->palette.color(QPalette::Text));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(swatch.adjusted(0, 0, -1, -1));
        const QColor fill = colorOfItem(action);
        painter->fillRect(swatch.adjusted(1, 1, -1, -1),
                          fill.isValid() ? fill : automaticColor(menu, action));
        painter->restore();
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuItem)
            result.rwidth() += textIndent();
        return result;
    }

private:
    void drawCheckMark(const QStyleOptionMenuItem *item, QPainter *painter) const
    {
        const int size = pixelMetric(PM_IndicatorWidth);
        const QRect column(item->rect.left() + kCheckLeft, item->rect.top(), size,
                           item->rect.height());
        const bool selected = item->state & State_Selected;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(
            item->palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawEllipse(QRectF(column.center().x() - 2.5, column.center().y() - 2.5, 6, 6));
        painter->restore();
    }

    static const QAction *actionOf(const QMenu *menu, const QRect &rect)
    {
        for (const QAction *action : menu->actions())
            if (menu->actionGeometry(const_cast<QAction *>(action)) == rect)
                return action;
        return nullptr;
    }

    // The automatic item shows the colour the editor uses for it.
    static QColor automaticColor(const QMenu *menu, const QAction *action)
    {
        const QVariant shown = action->property(kAutomaticColorProperty);
        if (shown.canConvert<QColor>() && shown.value<QColor>().isValid())
            return shown.value<QColor>();
        return menu->palette().color(QPalette::Text);
    }
};

} // namespace

QList<ColorMenuEntry> colorMenuEntries()
{
    return {
        {"Black", QColor(0, 0, 0)},        {"Maroon", QColor(128, 0, 0)},
        {"Green", QColor(0, 128, 0)},      {"Olive", QColor(128, 128, 0)},
        {"Navy", QColor(0, 0, 128)},       {"Purple", QColor(128, 0, 128)},
        {"Teal", QColor(0, 128, 128)},     {"Gray", QColor(128, 128, 128)},
        {"Silver", QColor(192, 192, 192)}, {"Red", QColor(255, 0, 0)},
        {"Lime", QColor(0, 255, 0)},       {"Yellow", QColor(255, 255, 0)},
        {"Blue", QColor(0, 0, 255)},       {"Fuchsia", QColor(255, 0, 255)},
        {"Aqua", QColor(0, 255, 255)},     {"White", QColor(255, 255, 255)},
        {"Automatic", QColor()},
    };
}

QString colorMenuCaption(const QColor &color)
{
    if (!color.isValid())
        return QStringLiteral("Automatic");
    for (const ColorMenuEntry &entry : colorMenuEntries())
        if (entry.color.isValid() && entry.color.rgb() == color.rgb())
            return QString::fromLatin1(entry.caption);
    return color.name(QColor::HexRgb).toUpper();
}

QMenu *createColorMenu(const QString &objectName, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(objectName);
    auto *style = new ColorMenuStyle;
    style->setParent(menu);
    menu->setStyle(style);
    auto *group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const QList<ColorMenuEntry> entries = colorMenuEntries();
    for (int i = 0; i < entries.size(); ++i) {
        QAction *item = menu->addAction(colorMenuCaption(entries[i].color));
        item->setCheckable(true);
        item->setData(entries[i].color);
        item->setProperty(kColorIndexProperty, i);
        group->addAction(item);
    }
    return menu;
}

QColor colorOfItem(const QAction *item)
{
    return item->data().value<QColor>();
}

void setAutomaticColor(QMenu *menu, const QColor &color)
{
    for (QAction *item : menu->actions())
        if (!item->property(kColorIndexProperty).isNull() && !colorOfItem(item).isValid())
            item->setProperty(kAutomaticColorProperty, color);
}

void checkColorItem(QMenu *menu, const QColor &color, bool automatic)
{
    for (QAction *item : menu->actions()) {
        if (item->property(kColorIndexProperty).isNull())
            continue;
        const QColor own = colorOfItem(item);
        const bool match = automatic ? !own.isValid()
                                     : own.isValid() && color.isValid() && own.rgb() == color.rgb();
        item->setChecked(match);
    }
}

} // namespace bw::notes
