#include "options/palette_color_binding.h"

#include "options/system_colors.h"
#include "platform/guarded_dispatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>

namespace bw {

PaletteColorBinding::PaletteColorBinding(QWidget *widget, Setter setter)
    : QObject(widget), m_widget(widget), m_setter(std::move(setter))
{
    widget->installEventFilter(this);
}

void PaletteColorBinding::bind(QPalette::ColorRole role, ColorValue value)
{
    auto it = std::find_if(m_bound.begin(), m_bound.end(),
                           [role](const Bound &b) { return b.role == role; });
    if (it == m_bound.end())
        it = m_bound.insert(m_bound.end(), Bound{role, value, QColor()});
    it->value = value;
    show(*it);
}

ColorValue PaletteColorBinding::value(QPalette::ColorRole role) const
{
    for (const Bound &b : m_bound)
        if (b.role == role)
            return b.value;
    return {};
}

void PaletteColorBinding::refresh()
{
    for (Bound &b : m_bound)
        show(b);
}

// Only a colour that changed is set again: setting the palette sends the
// widget another palette change, which then finds nothing to do.
void PaletteColorBinding::show(Bound &bound)
{
    const QColor color = toQColor(bound.value, QGuiApplication::palette());
    if (color == bound.shown)
        return;
    bound.shown = color;
    if (m_setter) {
        m_setter(bound.role, color);
        return;
    }
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::Active, bound.role, color);
    palette.setColor(QPalette::Inactive, bound.role, color);
    m_widget->setPalette(palette);
}

void PaletteColorBinding::watchApplication()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

bool PaletteColorBinding::eventFilter(QObject *watched, QEvent *event)
{
    return guardedOr(false, [&] {
        const bool changed = watched == m_widget
                                 ? event->type() == QEvent::ApplicationPaletteChange ||
                                       event->type() == QEvent::PaletteChange
                                 : event->type() == QEvent::ApplicationPaletteChange &&
                                       watched == QCoreApplication::instance();
        if (changed)
            refresh();
        return false;
    });
}

} // namespace bw
