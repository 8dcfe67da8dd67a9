#include "shell_links.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace bw {

namespace {

constexpr int kGsettingsTimeoutMs = 3000;

// Backslash escapes of a desktop entry string value.
QString escapeValue(QString value)
{
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    value.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    value.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return value;
}

QString homeBased(const char *variable, const QString &fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    // The XDG base directory rules ignore relative paths.
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir::homePath() + QLatin1Char('/') + fallbackBelowHome;
}

QString gsettings(const QStringList &arguments, bool *ok)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    *ok = false;
    if (program.isEmpty())
        return {};
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kGsettingsTimeoutMs) || process.exitCode() != 0) {
        process.kill();
        return {};
    }
    *ok = true;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// GNOME Shell keeps its dash favourites as a list of desktop file ids.
void addGnomeFavourite(const QString &desktopId)
{
    if (!qEnvironmentVariable("XDG_CURRENT_DESKTOP")
             .contains(QLatin1String("GNOME"), Qt::CaseInsensitive))
        return;
    const QStringList key{QStringLiteral("org.gnome.shell"), QStringLiteral("favorite-apps")};
    bool ok = false;
    QString list = gsettings(QStringList{QStringLiteral("get")} + key, &ok);
    const QString quoted = QLatin1Char('\'') + desktopId + QLatin1Char('\'');
    if (!ok || list.contains(quoted) || !list.endsWith(QLatin1Char(']')))
        return;
    if (list.startsWith(QLatin1String("@as")))
        list = QStringLiteral("[]");
    list.chop(1);
    list += (list.endsWith(QLatin1Char('[')) ? QString() : QStringLiteral(", ")) + quoted +
            QLatin1Char(']');
    gsettings(QStringList{QStringLiteral("set")} + key + QStringList{list}, &ok);
}

} // namespace

QString shellFolderPath(ShellFolder folder)
{
    switch (folder) {
    case ShellFolder::Startup:
        return homeBased("XDG_CONFIG_HOME", QStringLiteral(".config")) +
               QStringLiteral("/autostart");
    case ShellFolder::StartMenu:
    case ShellFolder::QuickLaunch:
        return homeBased("XDG_DATA_HOME", QStringLiteral(".local/share")) +
               QStringLiteral("/applications");
    case ShellFolder::Desktop:
        // Reads XDG_DESKTOP_DIR from user-dirs.dirs, else ~/Desktop.
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    }
    return {};
}

QString quoteExecArgument(const QString &argument)
{
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString result = argument;
    result.replace(QLatin1Char('%'), QStringLiteral("%%"));
    bool reserved = result.isEmpty();
    for (const QChar c : result)
        reserved = reserved || kReserved.contains(c);
    if (!reserved)
        return result;
    QString quoted;
    for (const QChar c : result) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString desktopEntryText(const ShellLink &link, ShellFolder folder)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n");
    text += QStringLiteral("Name=%1\n").arg(escapeValue(link.name));
    text += QStringLiteral("Exec=%1\n").arg(escapeValue(quoteExecArgument(link.targetPath)));
    if (!link.workingDirectory.isEmpty())
        text += QStringLiteral("Path=%1\n").arg(escapeValue(link.workingDirectory));
    if (!link.iconName.isEmpty())
        text += QStringLiteral("Icon=%1\n").arg(escapeValue(link.iconName));
    text += QStringLiteral("Terminal=false\n"
                           "Categories=Office;Utility;\n");
    if (folder == ShellFolder::Startup)
        text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text;
}

QString writeShellLink(ShellFolder folder, const ShellLink &link)
{
    const QString dir = shellFolderPath(folder);
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return {};
    const QString fileName = link.name + QStringLiteral(".desktop");
    const QString path = dir + QLatin1Char('/') + fileName;
    // The old launcher stays whole until the new one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(desktopEntryText(link, folder).toUtf8());
    if (!file.commit())
        return {};
    // Desktops run launchers on the desktop only when they are executable.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                    QFile::ExeOther);
    if (folder == ShellFolder::QuickLaunch)
        addGnomeFavourite(fileName);
    return path;
}

} // namespace bw
