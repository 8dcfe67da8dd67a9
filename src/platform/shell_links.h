#pragma once
// Program launchers in the user's desktop folders: freedesktop ".desktop"
// files that start the program, written into the autostart folder, the
// applications menu, the desktop or the favourites. Widget-free.

#include <QString>

namespace bw {

enum class ShellFolder { Startup, StartMenu, Desktop, QuickLaunch };

struct ShellLink
{
    QString name;             // shown name, also the file name without ".desktop"
    QString targetPath;       // the executable to start
    QString workingDirectory; // folder the program starts in
    QString iconName;         // icon theme name or path; empty for none
};

// The folder that holds launchers of the given kind, from the XDG variables:
// Startup $XDG_CONFIG_HOME/autostart, StartMenu and QuickLaunch
// $XDG_DATA_HOME/applications, Desktop the XDG desktop folder.
QString shellFolderPath(ShellFolder folder);

// The full text of the launcher file.
QString desktopEntryText(const ShellLink &link, ShellFolder folder);

// Quotes one Exec argument as the desktop entry format requires.
QString quoteExecArgument(const QString &argument);

// Writes (or replaces) "<folder>/<name>.desktop" and marks it executable.
// QuickLaunch also adds the launcher to the desktop's favourites where the
// desktop offers them (GNOME Shell). Returns the file written, empty on failure.
QString writeShellLink(ShellFolder folder, const ShellLink &link);

} // namespace bw
