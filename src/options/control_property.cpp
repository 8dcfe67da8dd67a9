#include "control_property.h"

#include "options/system_colors.h"
#include "settings/color_value.h"
#include "settings/encodings.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QMetaProperty>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVariant>

namespace bw::settings {

namespace {

// Qt property names tried in order for each stored property.
QList<QByteArray> candidates(const QString &storedProperty)
{
    static const QHash<QString, QList<QByteArray>> table = {
        {QStringLiteral("Checked"), {"checked"}},
        {QStringLiteral("Text"), {"text", "currentText", "value"}},
        {QStringLiteral("ItemIndex"), {"currentIndex", "itemIndex"}},
        {QStringLiteral("Color"), {"colorValue", "color"}},
        {QStringLiteral("Selected"), {"colorValue", "selectedColor", "color"}},
        {QStringLiteral("FontName"), {"fontName", "currentFont", "currentText"}},
        {QStringLiteral("ActivePage"), {"activePage"}},
        {QStringLiteral("Left"), {"left"}},
        {QStringLiteral("Value"), {"value"}},
    };
    QList<QByteArray> names = table.value(storedProperty);
    QByteArray generic = storedProperty.toLatin1();
    if (!generic.isEmpty())
        generic[0] = char(QChar::toLower(uint(generic[0])));
    if (!names.contains(generic))
        names << generic;
    return names;
}

QMetaProperty metaProperty(const QObject *control, const QByteArray &name)
{
    const QMetaObject *mo = control->metaObject();
    const int i = mo->indexOfProperty(name.constData());
    return i < 0 ? QMetaProperty() : mo->property(i);
}

bool isPageControl(const QObject *control)
{
    return qobject_cast<const QStackedWidget *>(control) ||
           qobject_cast<const QTabWidget *>(control);
}

QWidget *currentPage(const QObject *control)
{
    if (auto *s = qobject_cast<const QStackedWidget *>(control))
        return s->currentWidget();
    if (auto *t = qobject_cast<const QTabWidget *>(control))
        return t->currentWidget();
    return nullptr;
}

void setCurrentPage(QObject *control, QWidget *page)
{
    if (auto *s = qobject_cast<QStackedWidget *>(control); s && s->indexOf(page) >= 0)
        s->setCurrentWidget(page);
    else if (auto *t = qobject_cast<QTabWidget *>(control); t && t->indexOf(page) >= 0)
        t->setCurrentWidget(page);
    else
        throw PropertyError("no such page");
}

QString variantText(const QVariant &v, Kind kind)
{
    switch (kind) {
    case Kind::Boolean:
        return encodeBool(v.toBool());
    case Kind::Integer:
        return encodeInt(v.toInt());
    case Kind::Color:
        if (v.metaType() == QMetaType::fromType<QColor>())
            return colorValueFromQColor(v.value<QColor>()).toText();
        if (v.metaType() == QMetaType::fromType<ColorValue>())
            return v.value<ColorValue>().toText();
        return encodeInt(v.toInt());
    case Kind::Text:
    case Kind::ControlRef:
        if (v.metaType() == QMetaType::fromType<QFont>())
            return v.value<QFont>().family();
        return trimText(v.toString());
    case Kind::TextList:
        return v.toStringList().join(QLatin1Char(','));
    }
    return {};
}

// The stored text as a value of the property's own type.
QVariant variantFor(const QMetaProperty &mp, const QVariant &current, Kind kind,
                    const QString &text)
{
    const QMetaType type = mp.metaType();
    if (kind == Kind::Color) {
        const ColorValue c = ColorValue::fromText(text);
        if (type == QMetaType::fromType<QColor>())
            return toQColor(c);
        if (type == QMetaType::fromType<ColorValue>())
            return QVariant::fromValue(c);
        return c.raw();
    }
    if (type == QMetaType::fromType<QFont>()) {
        QFont f = current.value<QFont>();
        f.setFamily(text);
        return f;
    }
    if (type.id() == QMetaType::Int)
        return kind == Kind::Boolean ? QVariant(text == encodeBool(true))
                                     : QVariant(decodeInt(text));
    if (type.id() == QMetaType::Bool)
        return decodeBool(text).value_or(current.toBool());
    return text;
}

} // namespace

QByteArray qtPropertyFor(const QObject *control, const QString &storedProperty)
{
    for (const QByteArray &name : candidates(storedProperty)) {
        const QMetaProperty mp = metaProperty(control, name);
        if (mp.isValid() && mp.isWritable())
            return name;
        if (!mp.isValid() && control->dynamicPropertyNames().contains(name))
            return name;
    }
    return {};
}

QString controlText(const QObject *control, const QString &storedProperty, Kind kind)
{
    const QByteArray name = qtPropertyFor(control, storedProperty);
    if (name.isEmpty()) {
        if (kind == Kind::ControlRef && isPageControl(control)) {
            const QWidget *page = currentPage(control);
            return page ? page->objectName() : QString();
        }
        if (auto *splitter = qobject_cast<const QSplitter *>(control))
            return encodeInt(splitter->sizes().value(0));
        throw PropertyError("no property " + storedProperty.toStdString());
    }
    return variantText(control->property(name.constData()), kind);
}

namespace {

void setChecked(QObject *control, const QByteArray &name, bool checked)
{
    auto *button = qobject_cast<QAbstractButton *>(control);
    if (!button || name != "checked") {
        control->setProperty(name.constData(), checked);
        return;
    }
    if (button->isChecked() == checked)
        return;
    // Emitting clicked() runs the control's click handling as a user's click
    // does, also while the button is disabled (click() would do nothing then).
    button->setChecked(checked);
    emit button->clicked(checked);
}

void setWithoutProperty(QObject *control, Kind kind, const QString &text,
                        const QString &storedProperty)
{
    if (kind == Kind::ControlRef && isPageControl(control)) {
        QWidget *page = static_cast<QWidget *>(control)->findChild<QWidget *>(text);
        setCurrentPage(control, page);
        return;
    }
    if (auto *splitter = qobject_cast<QSplitter *>(control)) {
        const int left = decodeInt(text);
        const QList<int> sizes = splitter->sizes();
        int total = 0;
        for (int s : sizes)
            total += s;
        splitter->setSizes({left, total > left ? total - left : left});
        return;
    }
    throw PropertyError("no property " + storedProperty.toStdString());
}

} // namespace

void setControlText(QObject *control, const QString &storedProperty, Kind kind, const QString &text)
{
    const QByteArray name = qtPropertyFor(control, storedProperty);
    if (name.isEmpty())
        return setWithoutProperty(control, kind, text, storedProperty);
    if (kind == Kind::Boolean) {
        if (const auto value = decodeBool(text))
            setChecked(control, name, *value);
        return;
    }
    const QMetaProperty mp = metaProperty(control, name);
    const QVariant current = control->property(name.constData());
    const QVariant value = mp.isValid() ? variantFor(mp, current, kind, text) : QVariant(text);
    if (!control->setProperty(name.constData(), value) && mp.isValid())
        throw PropertyError("cannot set " + storedProperty.toStdString());
}

} // namespace bw::settings
