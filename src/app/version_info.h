#pragma once
// The program's version information, compiled in from the build, read the way
// the data module reads a version resource: translations, string tables and
// the fixed numeric file version.

#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace bw {

struct VersionResource
{
    struct Translation
    {
        quint16 language = 0;
        quint16 codePage = 0;
    };
    bool exists = false;
    QList<Translation> translations;
    // String table name ("040904E4") -> name -> text.
    QHash<QString, QHash<QString, QString>> stringTables;
    // Fixed numeric file version: major.minor in the most significant half,
    // release.build in the least significant.
    quint32 fileVersionMS = 0;
    quint32 fileVersionLS = 0;
};

// The program's own version resource.
VersionResource programVersionResource();

// What the data module derives from a version resource.
struct VersionFields
{
    QString companyName;
    QString productName;
    QString fileVersion;
    QString legalCopyright;
    QString registryRoot;   // "Software\ORV\Bramblewick 2000\4.0.4.0"
    int storageVersion = 0; // 4040
};

VersionFields readVersionFields(const VersionResource &resource);

// "Software\" + company + "\" + product + "\" + version.
QString settingsRootOf(const QString &company, const QString &product, const QString &version);
// "4.0.4.0" -> 4040; other forms by the rule in docs/settings.md.
int storageVersionOf(const QString &fileVersion);

} // namespace bw
