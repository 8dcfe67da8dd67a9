#pragma once
// The per-user key and value store standing for HKEY_CURRENT_USER: one INI
// file read and written through QSettings. A key path such as
// "Software\ORV\Bramblewick 2000\4.0.4.0\Options" is a QSettings group; every
// value is a string.

#include "settings/color_value.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QSettings;

namespace bw::settings {

class Registry
{
public:
    // The file of the current user: <config>/bramblewick/registry.ini, where
    // <config> is QStandardPaths' GenericConfigLocation (XDG_CONFIG_HOME).
    static QString defaultFileName();

    Registry(); // on defaultFileName()
    explicit Registry(const QString &fileName);
    ~Registry();
    Registry(const Registry &) = delete;
    Registry &operator=(const Registry &) = delete;

    QString fileName() const;

    // "A\B\C" -> "A/B/C" (also accepts "/" already).
    static QString groupOf(const QString &keyPath);
    // keyPath + "\" + sub.
    static QString subKey(const QString &keyPath, const QString &sub);

    // nullopt when absent (told apart from an empty value).
    std::optional<QString> read(const QString &keyPath, const QString &name) const;
    QString read(const QString &keyPath, const QString &name, const QString &fallback) const;
    void write(const QString &keyPath, const QString &name, const QString &text);
    // Deletes every value of the key (not its subkeys).
    void deleteValues(const QString &keyPath);
    // The key's value names in stored order (QSettings keeps them sorted).
    QStringList valueNames(const QString &keyPath) const;
    bool keyExists(const QString &keyPath) const;

    // Writes pending changes to disk now.
    void sync();

private:
    std::unique_ptr<QSettings> m_settings;
};

// The recent-files list below the settings root, key "MRUFileList": F0, F1, ...
QStringList readMruList(const Registry &registry, const QString &root);
// Empties the key, then writes F0... (at most kMruMaxCount) and syncs.
void writeMruList(Registry &registry, const QString &root, const QStringList &files);

// The colour buttons' shared custom colours (key "Colors").
QList<ColorValue> readColorButtonColors(const Registry &registry, const QString &root);
void writeColorButtonColors(Registry &registry, const QString &root,
                            const QList<ColorValue> &colors);

} // namespace bw::settings
