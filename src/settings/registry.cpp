#include "registry.h"

#include "settings/encodings.h"
#include "settings/settings_catalogue.h"

#include <QSettings>
#include <QStandardPaths>

namespace bw::settings {

namespace {

// Opens the group of a key path for the lifetime of the guard.
class GroupGuard
{
public:
    GroupGuard(QSettings &settings, const QString &keyPath) : m_settings(settings)
    {
        m_settings.beginGroup(Registry::groupOf(keyPath));
    }
    ~GroupGuard() { m_settings.endGroup(); }
    GroupGuard(const GroupGuard &) = delete;
    GroupGuard &operator=(const GroupGuard &) = delete;

private:
    QSettings &m_settings;
};

// A value written by hand with commas reads as a list; join it back.
QString asText(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

} // namespace

QString Registry::defaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/bramblewick/registry.ini");
}

Registry::Registry() : Registry(defaultFileName()) {}

Registry::Registry(const QString &fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
}

Registry::~Registry()
{
    m_settings->sync();
}

QString Registry::fileName() const
{
    return m_settings->fileName();
}

QString Registry::groupOf(const QString &keyPath)
{
    QString g = keyPath;
    g.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return g;
}

QString Registry::subKey(const QString &keyPath, const QString &sub)
{
    return keyPath + QLatin1Char('\\') + sub;
}

std::optional<QString> Registry::read(const QString &keyPath, const QString &name) const
{
    GroupGuard group(*m_settings, keyPath);
    const QVariant v = m_settings->value(name);
    if (!v.isValid())
        return std::nullopt;
    return asText(v);
}

QString Registry::read(const QString &keyPath, const QString &name, const QString &fallback) const
{
    return read(keyPath, name).value_or(fallback);
}

void Registry::write(const QString &keyPath, const QString &name, const QString &text)
{
    GroupGuard group(*m_settings, keyPath);
    m_settings->setValue(name, text);
}

void Registry::deleteValues(const QString &keyPath)
{
    GroupGuard group(*m_settings, keyPath);
    const QStringList names = m_settings->childKeys();
    for (const QString &n : names)
        m_settings->remove(n);
}

QStringList Registry::valueNames(const QString &keyPath) const
{
    GroupGuard group(*m_settings, keyPath);
    return m_settings->childKeys();
}

bool Registry::keyExists(const QString &keyPath) const
{
    GroupGuard group(*m_settings, keyPath);
    return !m_settings->childKeys().isEmpty() || !m_settings->childGroups().isEmpty();
}

void Registry::sync()
{
    m_settings->sync();
}

QStringList readMruList(const Registry &registry, const QString &root)
{
    const QString key = Registry::subKey(root, QLatin1String(kMruKey));
    QStringList files;
    for (const QString &name : registry.valueNames(key)) {
        const QString file = registry.read(key, name, QString());
        if (!file.isEmpty() && files.size() < kMruMaxCount)
            files << file;
    }
    return files;
}

void writeMruList(Registry &registry, const QString &root, const QStringList &files)
{
    const QString key = Registry::subKey(root, QLatin1String(kMruKey));
    registry.deleteValues(key);
    for (int i = 0; i < files.size() && i < kMruMaxCount; ++i)
        registry.write(key, QStringLiteral("F%1").arg(i), files[i]);
    registry.sync();
}

QList<ColorValue> readColorButtonColors(const Registry &registry, const QString &root)
{
    const auto text = registry.read(Registry::subKey(root, QLatin1String(kColorsKey)),
                                    QLatin1String(kColorButtonValue));
    if (!text)
        return defaultColorButtonColors();
    return decodeColorButtonColors(*text);
}

void writeColorButtonColors(Registry &registry, const QString &root,
                            const QList<ColorValue> &colors)
{
    registry.write(Registry::subKey(root, QLatin1String(kColorsKey)),
                   QLatin1String(kColorButtonValue), encodeColorButtonColors(colors));
    registry.sync();
}

} // namespace bw::settings
