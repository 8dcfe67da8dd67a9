#pragma once
// The colour button of the Options dialog: a swatch that drops down a palette
// of 20 colours, 16 custom colours and an "&Other" button for any colour; and
// the named colour tables that the colour lists offer.

#include "settings/color_value.h"

#include <QColor>
#include <QFrame>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <span>

namespace bw {

class PromptService;

struct NamedColor
{
    const char *name;
    qint32 value; // raw colour value
};

// The sixteen standard colours followed by four extra ones.
std::span<const NamedColor> paletteColors();
// The desktop's colours by role ("Window Text", "Info Background", ...).
std::span<const NamedColor> systemColors();

class ColorButton;

// The drop-down of a colour button.
class ColorPalettePopup : public QFrame
{
    Q_OBJECT
public:
    explicit ColorPalettePopup(ColorButton *button);

    // Picks the palette colour at index (0..19) or custom colour (20..35).
    void pick(int index);
    // The "&Other" button: the colour dialog with the button's custom colours.
    void chooseOther();

private:
    QWidget *swatch(int index, ColorValue value);

    ColorButton *m_button;
};

class ColorButton : public QPushButton
{
    Q_OBJECT
    // The stored colour value (raw, as the settings keep it).
    Q_PROPERTY(int colorValue READ colorValue WRITE setColorValue NOTIFY colorChanged)
public:
    static constexpr int kCustomCount = 16;

    explicit ColorButton(QWidget *parent = nullptr);

    ColorValue color() const { return m_color; }
    void setColor(ColorValue value);
    int colorValue() const { return m_color.raw(); }
    void setColorValue(int raw) { setColor(ColorValue(raw)); }

    // Column by column, upper row then lower row.
    QList<ColorValue> customColors() const { return m_customColors; }
    void setCustomColors(const QList<ColorValue> &colors);

    void setPromptService(PromptService *prompts) { m_prompts = prompts; }
    PromptService *promptService() const { return m_prompts; }

    // Drops the palette down; returns it while it is open.
    ColorPalettePopup *showPalette();
    ColorPalettePopup *palettePopup() const { return m_popup; }

    QSize sizeHint() const override;

signals:
    void colorChanged(int value);
    // The focus came into or left the button (not by a popup or a window change).
    void entered();
    void exited();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    ColorValue m_color;
    QList<ColorValue> m_customColors;
    PromptService *m_prompts = nullptr;
    // Cleared by Qt when the popup goes, also while this button is being destroyed.
    QPointer<ColorPalettePopup> m_popup;
};

} // namespace bw
