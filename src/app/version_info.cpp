#include "version_info.h"

#include <QStringList>
#include <algorithm>

// The build passes the project's version (CMake project(VERSION ...)); the
// values below stand in when this file is compiled on its own.
#ifndef BW_VERSION_MAJOR
#define BW_VERSION_MAJOR 4
#define BW_VERSION_MINOR 0
#define BW_VERSION_PATCH 4
#define BW_VERSION_TWEAK 0
#endif

namespace bw {

namespace {

constexpr quint16 kLanguageUsEnglish = 0x0409;
constexpr quint16 kCodePageWestern = 0x04E4;

QString stringTableName(const VersionResource::Translation &t)
{
    return QStringLiteral("%1%2")
        .arg(t.language, 4, 16, QLatin1Char('0'))
        .arg(t.codePage, 4, 16, QLatin1Char('0'))
        .toUpper();
}

QString fixedVersionText(const VersionResource &r)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(r.fileVersionMS >> 16)
        .arg(r.fileVersionMS & 0xFFFF)
        .arg(r.fileVersionLS >> 16)
        .arg(r.fileVersionLS & 0xFFFF);
}

// "d.d.d.d": the four single digits at positions 1, 3, 5 and 7.
bool isSingleDigitVersion(const QString &v)
{
    if (v.size() != 7)
        return false;
    for (int i = 0; i < 7; ++i) {
        const bool digit = v.at(i).isDigit() && v.at(i).unicode() < 128;
        if (i % 2 == 0 ? !digit : v.at(i) != QLatin1Char('.'))
            return false;
    }
    return true;
}

} // namespace

VersionResource programVersionResource()
{
    VersionResource r;
    r.exists = true;
    r.translations = {{kLanguageUsEnglish, kCodePageWestern}};
    r.fileVersionMS = (quint32(BW_VERSION_MAJOR) << 16) | quint32(BW_VERSION_MINOR);
    r.fileVersionLS = (quint32(BW_VERSION_PATCH) << 16) | quint32(BW_VERSION_TWEAK);
    const QString version = fixedVersionText(r);
    r.stringTables.insert(
        stringTableName(r.translations.first()),
        {
            {QStringLiteral("CompanyName"), QStringLiteral("ORV")},
            {QStringLiteral("FileDescription"), QStringLiteral(BW_PRODUCT_NAME " notes manager")},
            {QStringLiteral("FileVersion"), version},
            {QStringLiteral("InternalName"), QStringLiteral("bramblewick")},
            {QStringLiteral("LegalCopyright"), QStringLiteral("Copyright \u00A9 2000-2025 ORV")},
            {QStringLiteral("OriginalFilename"), QStringLiteral("bramblewick")},
            {QStringLiteral("ProductName"), QStringLiteral(BW_PRODUCT_NAME)},
            {QStringLiteral("ProductVersion"),
             QStringLiteral("%1.%2").arg(BW_VERSION_MAJOR).arg(BW_VERSION_MINOR)},
        });
    return r;
}

VersionFields readVersionFields(const VersionResource &resource)
{
    VersionFields f;
    QHash<QString, QString> strings;
    if (resource.exists && !resource.translations.isEmpty())
        strings = resource.stringTables.value(stringTableName(resource.translations.first()));
    f.companyName = strings.value(QStringLiteral("CompanyName"));
    f.productName = strings.value(QStringLiteral("ProductName"));
    f.fileVersion = strings.value(QStringLiteral("FileVersion"));
    f.legalCopyright = strings.value(QStringLiteral("LegalCopyright"));
    if (f.fileVersion.isEmpty() && resource.exists)
        f.fileVersion = fixedVersionText(resource);
    f.registryRoot = settingsRootOf(f.companyName, f.productName, f.fileVersion);
    f.storageVersion = storageVersionOf(f.fileVersion);
    return f;
}

QString settingsRootOf(const QString &company, const QString &product, const QString &version)
{
    // An empty part would merge two levels of the key path; it reads "Unknown".
    const auto part = [](const QString &s) {
        QString p = s.trimmed();
        p.replace(QLatin1Char('\\'), QLatin1Char('_')).replace(QLatin1Char('/'), QLatin1Char('_'));
        return p.isEmpty() ? QStringLiteral("Unknown") : p;
    };
    return QStringLiteral("Software\\%1\\%2\\%3").arg(part(company), part(product), part(version));
}

int storageVersionOf(const QString &fileVersion)
{
    if (isSingleDigitVersion(fileVersion)) {
        const QString digits =
            QString(fileVersion.at(0)) + fileVersion.at(2) + fileVersion.at(4) + fileVersion.at(6);
        return digits.toInt();
    }
    // Other forms: major * 1000000 + minor * 10000 + release * 100 + build,
    // each part a number (0 when it is none) limited to 0..99 (major to 0..2146).
    const QStringList parts = fileVersion.split(QLatin1Char('.'));
    const int limits[4] = {2146, 99, 99, 99};
    const int weights[4] = {1000000, 10000, 100, 1};
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int n = i < parts.size() ? parts[i].trimmed().toInt() : 0;
        value += std::clamp(n, 0, limits[i]) * weights[i];
    }
    return value;
}

} // namespace bw
