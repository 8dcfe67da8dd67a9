#pragma once
// Stored colours on a widget's palette. A system colour ("window text",
// "window background") is looked up in the application's palette again each
// time the palette changes, so text stays readable when the desktop turns
// dark or light; an RGB colour the user chose stays that colour.

#include "settings/color_value.h"

#include <QColor>
#include <QObject>
#include <QPalette>
#include <functional>
#include <vector>

class QWidget;

namespace bw {

class PaletteColorBinding : public QObject
{
public:
    // Puts a colour where it shows; by default into role of the widget's
    // palette, in the active and inactive groups.
    using Setter = std::function<void(QPalette::ColorRole role, const QColor &color)>;

    explicit PaletteColorBinding(QWidget *widget, Setter setter = {});

    // Qt posts the palette change to shown windows only; colours that belong
    // to the application (the tool tips') are looked up again as soon as the
    // application's palette changes.
    void watchApplication();

    // Binds role to value and shows it now.
    void bind(QPalette::ColorRole role, ColorValue value);
    ColorValue value(QPalette::ColorRole role) const;
    // Looks every bound system colour up again.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Bound
    {
        QPalette::ColorRole role;
        ColorValue value;
        QColor shown;
    };
    void show(Bound &bound);

    QWidget *m_widget;
    Setter m_setter;
    std::vector<Bound> m_bound;
};

} // namespace bw
