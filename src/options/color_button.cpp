#include "color_button.h"

#include "options/system_colors.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

namespace bw {

namespace {

constexpr std::array<NamedColor, 20> kPalette{{
    {"Black", 0x000000}, {"Maroon", 0x000080},      {"Green", 0x008000},
    {"Olive", 0x008080}, {"Navy", 0x800000},        {"Purple", 0x800080},
    {"Teal", 0x808000},  {"Gray", 0x808080},        {"Silver", 0xC0C0C0},
    {"Red", 0x0000FF},   {"Lime", 0x00FF00},        {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},
    {"White", 0xFFFFFF}, {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6},
    {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0},
}};

constexpr qint32 kSystemColorBase = qint32(ColorValue::kSystemFlag);

constexpr std::array<NamedColor, 25> kSystem{{
    {"Scroll Bar", kSystemColorBase + 0},
    {"Background", kSystemColorBase + 1},
    {"Active Caption", kSystemColorBase + 2},
    {"Inactive Caption", kSystemColorBase + 3},
    {"Menu", kSystemColorBase + 4},
    {"Window", kSystemColorBase + 5},
    {"Window Frame", kSystemColorBase + 6},
    {"Menu Text", kSystemColorBase + 7},
    {"Window Text", kSystemColorBase + 8},
    {"Caption Text", kSystemColorBase + 9},
    {"Active Border", kSystemColorBase + 10},
    {"Inactive Border", kSystemColorBase + 11},
    {"Application Workspace", kSystemColorBase + 12},
    {"Highlight", kSystemColorBase + 13},
    {"Highlight Text", kSystemColorBase + 14},
    {"Button Face", kSystemColorBase + 15},
    {"Button Shadow", kSystemColorBase + 16},
    {"Gray Text", kSystemColorBase + 17},
    {"Button Text", kSystemColorBase + 18},
    {"Inactive Caption Text", kSystemColorBase + 19},
    {"Button Highlight", kSystemColorBase + 20},
    {"3D Dark Shadow", kSystemColorBase + 21},
    {"3D Light", kSystemColorBase + 22},
    {"Info Text", kSystemColorBase + 23},
    {"Info Background", kSystemColorBase + 24},
}};

constexpr int kSwatchSize = 18;
constexpr int kArrowWidth = 16;

} // namespace

std::span<const NamedColor> paletteColors()
{
    return kPalette;
}

std::span<const NamedColor> systemColors()
{
    return kSystem;
}

ColorPalettePopup::ColorPalettePopup(ColorButton *button)
    : QFrame(button, Qt::Popup), m_button(button)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *standard = new QGridLayout;
    standard->setSpacing(2);
    // Four columns of five.
    for (int i = 0; i < int(kPalette.size()); ++i)
        standard->addWidget(swatch(i, ColorValue(kPalette[i].value)), i % 5, i / 5);
    auto *custom = new QGridLayout;
    custom->setSpacing(2);
    // Eight columns of two, column by column.
    const QList<ColorValue> customs = button->customColors();
    for (int i = 0; i < customs.size(); ++i)
        custom->addWidget(swatch(int(kPalette.size()) + i, customs[i]), i % 2, i / 2);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto *other = new QPushButton(tr("&Other"), this);
    other->setObjectName(QStringLiteral("btnOther"));
    guardedConnect(other, &QPushButton::clicked, this, &ColorPalettePopup::chooseOther);
    layout->addLayout(standard);
    layout->addWidget(line);
    layout->addLayout(custom);
    layout->addWidget(other);
}

QWidget *ColorPalettePopup::swatch(int index, ColorValue value)
{
    auto *cell = new QToolButton(this);
    cell->setAutoRaise(true);
    cell->setFixedSize(kSwatchSize + 4, kSwatchSize + 4);
    QPixmap pixmap(kSwatchSize - 2, kSwatchSize - 2);
    pixmap.fill(toQColor(value));
    QPainter(&pixmap).drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    cell->setIcon(pixmap);
    cell->setIconSize(pixmap.size());
    if (index < int(kPalette.size()))
        cell->setToolTip(QString::fromLatin1(kPalette[index].name));
    guardedConnect(cell, &QToolButton::clicked, this, [this, index] { pick(index); });
    return cell;
}

void ColorPalettePopup::pick(int index)
{
    const int paletteCount = int(kPalette.size());
    const QList<ColorValue> customs = m_button->customColors();
    if (index >= 0 && index < paletteCount)
        m_button->setColor(ColorValue(kPalette[index].value));
    else if (index >= paletteCount && index - paletteCount < customs.size())
        m_button->setColor(customs[index - paletteCount]);
    close();
}

void ColorPalettePopup::chooseOther()
{
    ColorButton *button = m_button;
    close();
    PromptService *prompts = button->promptService();
    if (!prompts)
        return;
    QList<QColor> customs;
    for (ColorValue value : button->customColors())
        customs << toQColor(value);
    const auto chosen = prompts->chooseColor(button, toQColor(button->color()), &customs);
    QList<ColorValue> values;
    for (const QColor &c : customs)
        values << colorValueFromQColor(c);
    button->setCustomColors(values);
    if (chosen && chosen->isValid())
        button->setColor(colorValueFromQColor(*chosen));
}

ColorButton::ColorButton(QWidget *parent) : QPushButton(parent)
{
    setCustomColors({});
    guardedConnect(this, &QPushButton::clicked, this, &ColorButton::showPalette);
}

void ColorButton::setColor(ColorValue value)
{
    if (value == m_color)
        return;
    m_color = value;
    update();
    emit colorChanged(value.raw());
}

void ColorButton::setCustomColors(const QList<ColorValue> &colors)
{
    m_customColors = colors.mid(0, kCustomCount);
    while (m_customColors.size() < kCustomCount)
        m_customColors << ColorValue::fromRgb(255, 255, 255);
}

ColorPalettePopup *ColorButton::showPalette()
{
    if (m_popup)
        return m_popup;
    m_popup = new ColorPalettePopup(this);
    m_popup->adjustSize();
    QPoint below = mapToGlobal(QPoint(0, height()));
    m_popup->move(below);
    m_popup->show();
    return m_popup;
}

QSize ColorButton::sizeHint() const
{
    return QSize(80, QPushButton::sizeHint().height());
}

void ColorButton::paintEvent(QPaintEvent *event)
{
    guarded([&] {
        QPushButton::paintEvent(event);
        QPainter painter(this);
        const QRect swatchRect = rect().adjusted(6, 6, -(kArrowWidth + 8), -6);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.setBrush(isEnabled() ? toQColor(m_color) : palette().color(QPalette::Button));
        painter.drawRect(swatchRect);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = QRect(rect().right() - kArrowWidth - 4, 0, kArrowWidth, height());
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
    });
}

void ColorButton::focusInEvent(QFocusEvent *event)
{
    guarded([&] {
        QPushButton::focusInEvent(event);
        if (event->reason() != Qt::PopupFocusReason &&
            event->reason() != Qt::ActiveWindowFocusReason)
            emit entered();
    });
}

void ColorButton::focusOutEvent(QFocusEvent *event)
{
    guarded([&] {
        QPushButton::focusOutEvent(event);
        if (event->reason() != Qt::PopupFocusReason &&
            event->reason() != Qt::ActiveWindowFocusReason)
            emit exited();
    });
}

} // namespace bw
