#include "registry_rxl.h"

#include "options/control_property.h"
#include "settings/encodings.h"

#include <QWidget>
#include <stdexcept>

namespace bw {

using settings::Kind;

RegistryRXL::RegistryRXL(QObject *form, settings::Registry *registry, QObject *parent)
    : QObject(parent), m_form(form), m_registry(registry)
{
    if (!m_registry) {
        m_ownRegistry = std::make_unique<settings::Registry>();
        m_registry = m_ownRegistry.get();
    }
}

RegistryRXL::~RegistryRXL() = default;

void RegistryRXL::setRoot(const QString &keyPath)
{
    m_root = keyPath;
}

void RegistryRXL::setSection(const QString &section)
{
    m_section = section;
}

void RegistryRXL::setVersion(int version)
{
    m_version = version;
}

void RegistryRXL::setPlacement(Placement placement)
{
    m_placement = placement;
    // The form's showing tells whether it has a placement of its own.
    if (auto *form = qobject_cast<QWidget *>(m_form.data()))
        form->installEventFilter(this);
    if (QWidget *w = placementWidget())
        w->installEventFilter(this);
}

void RegistryRXL::setStoredProperties(const QList<StoredProperty> &properties)
{
    m_properties = properties;
}

void RegistryRXL::addNamedValue(const QString &name, const QString &defaultText)
{
    if (!m_named.contains(name))
        m_namedOrder << name;
    m_named.insert(name, defaultText);
}

void RegistryRXL::bindSection(settings::Section section)
{
    using settings::Section;
    setSection(settings::sectionName(section));
    QList<StoredProperty> properties;
    for (settings::Key key : settings::keysOf(section)) {
        const settings::Setting &s = settings::setting(key);
        if (!s.isNamedValue())
            properties << StoredProperty{QString::fromLatin1(s.control),
                                         QString::fromLatin1(s.property), s.kind};
        else if (!s.immediate) // values written only one by one are not part of the section
            addNamedValue(s.valueName(), QString::fromLatin1(s.defaultText));
    }
    setStoredProperties(properties);
    switch (section) {
    case Section::Options:
        setPlacement(Placement::FixedSize);
        break;
    case Section::Main:
        setPlacement(Placement::Main);
        break;
    case Section::Child:
        setPlacement(Placement::Child);
        break;
    case Section::DataModule:
        setPlacement(Placement::None);
        break;
    }
}

QString RegistryRXL::sectionKey() const
{
    return settings::Registry::subKey(m_root, m_section);
}

std::optional<QString> RegistryRXL::readRaw(const QString &name) const
{
    return m_registry->read(sectionKey(), name);
}

void RegistryRXL::writeRaw(const QString &name, const QString &text)
{
    m_registry->write(sectionKey(), name, text);
}

QString RegistryRXL::readValue(const QString &name, const QString &defaultText) const
{
    return readRaw(name).value_or(defaultText);
}

void RegistryRXL::writeValue(const QString &name, const QString &text)
{
    writeRaw(name, text);
    if (m_named.contains(name))
        m_named.insert(name, text);
    m_registry->sync();
}

namespace {

void checkSection(const RegistryRXL &store, settings::Key key)
{
    if (settings::sectionName(settings::setting(key).section) != store.section())
        throw std::invalid_argument("setting " + settings::valueName(key).toStdString() +
                                    " is not in section " + store.section().toStdString());
}

} // namespace

QString RegistryRXL::readValue(settings::Key key) const
{
    checkSection(*this, key);
    return readValue(settings::valueName(key), settings::defaultText(key));
}

void RegistryRXL::writeValue(settings::Key key, const QString &text)
{
    checkSection(*this, key);
    writeValue(settings::valueName(key), text);
}

QString RegistryRXL::namedValue(const QString &name) const
{
    return m_named.value(name);
}

void RegistryRXL::setNamedValue(const QString &name, const QString &text)
{
    if (!m_named.contains(name))
        m_namedOrder << name;
    m_named.insert(name, text);
}

QByteArray RegistryRXL::qtPropertyName(const QObject *control, const QString &storedProperty)
{
    return settings::qtPropertyFor(control, storedProperty);
}

bool RegistryRXL::restore()
{
    const int stored =
        settings::decodeInt(readRaw(QLatin1String(settings::kFormVersion)).value_or(QString()));
    if (stored < m_version)
        return false;
    if (m_placement != Placement::None)
        restorePlacement();
    for (const StoredProperty &p : std::as_const(m_properties))
        restoreProperty(p);
    for (const QString &name : std::as_const(m_namedOrder))
        if (const auto text = readRaw(name))
            m_named.insert(name, settings::trimText(*text));
    emit restored();
    return true;
}

void RegistryRXL::save(SaveReason reason)
{
    writeRaw(QLatin1String(settings::kFormVersion), settings::encodeInt(m_version));
    if (m_placement != Placement::None)
        savePlacement(reason);
    for (const StoredProperty &p : std::as_const(m_properties))
        saveProperty(p);
    for (const QString &name : std::as_const(m_namedOrder))
        writeRaw(name, m_named.value(name));
    m_registry->sync();
    emit saved();
}

namespace {

QObject *findControl(QObject *form, const QString &name)
{
    if (!form)
        return nullptr;
    if (form->objectName() == name)
        return form;
    return form->findChild<QObject *>(name);
}

QString valueNameOf(const RegistryRXL::StoredProperty &p)
{
    return p.control + QLatin1Char('_') + p.property;
}

} // namespace

void RegistryRXL::restoreProperty(const StoredProperty &p)
{
    try {
        QObject *control = findControl(m_form, p.control);
        if (!control)
            throw settings::PropertyError("no control " + p.control.toStdString());
        if (p.kind == Kind::TextList)
            return restoreList(p, control);
        const QString name = valueNameOf(p);
        const auto stored = readRaw(name);
        if (!stored)
            return; // a missing value leaves the setting unchanged
        settings::setControlText(control, p.property, p.kind, settings::trimText(*stored));
    } catch (const std::exception &e) {
        emit propertyFailed(valueNameOf(p), QString::fromUtf8(e.what()));
    } catch (...) {
        emit propertyFailed(valueNameOf(p), QStringLiteral("unknown error"));
    }
}

void RegistryRXL::saveProperty(const StoredProperty &p)
{
    try {
        QObject *control = findControl(m_form, p.control);
        if (!control)
            throw settings::PropertyError("no control " + p.control.toStdString());
        if (p.kind == Kind::TextList)
            return saveList(p, control);
        writeRaw(valueNameOf(p), settings::controlText(control, p.property, p.kind));
    } catch (const std::exception &e) {
        emit propertyFailed(valueNameOf(p), QString::fromUtf8(e.what()));
    } catch (...) {
        emit propertyFailed(valueNameOf(p), QStringLiteral("unknown error"));
    }
}

namespace {

QString listKey(const QString &root, const QString &section, const QString &valueName)
{
    return settings::Registry::subKey(root, section + QLatin1Char('.') + valueName);
}

} // namespace

void RegistryRXL::restoreList(const StoredProperty &p, QObject *control)
{
    const QString key = listKey(m_root, m_section, valueNameOf(p));
    const auto count = m_registry->read(key, QLatin1String(settings::kListCount));
    if (!count)
        return;
    QStringList items;
    const int n = settings::decodeInt(*count);
    for (int i = 0; i < n; ++i)
        items << m_registry->read(
            key, QLatin1String(settings::kListItemPrefix) + QString::number(i), QString());
    const QByteArray name = settings::qtPropertyFor(control, p.property);
    if (name.isEmpty() || !control->setProperty(name.constData(), items))
        throw settings::PropertyError("cannot set " + p.property.toStdString());
}

void RegistryRXL::saveList(const StoredProperty &p, QObject *control)
{
    const QByteArray name = settings::qtPropertyFor(control, p.property);
    if (name.isEmpty())
        throw settings::PropertyError("no property " + p.property.toStdString());
    const QStringList items = control->property(name.constData()).toStringList();
    const QString key = listKey(m_root, m_section, valueNameOf(p));
    m_registry->deleteValues(key);
    if (items.isEmpty())
        return;
    m_registry->write(key, QLatin1String(settings::kListCount),
                      settings::encodeInt(int(items.size())));
    for (int i = 0; i < items.size(); ++i)
        m_registry->write(key, QLatin1String(settings::kListItemPrefix) + QString::number(i),
                          items[i]);
}

} // namespace bw
