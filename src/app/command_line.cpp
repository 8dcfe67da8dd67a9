#include "app/command_line.h"

#include "app/version_info.h"

#include <QTextStream>

namespace bw {

namespace {

constexpr int kExitUsage = 2;

const char kUsage[] = "Usage: bramblewick [OPTION]... [FILE]\n"
                      "Opens the notes file FILE (a .cds or .xml notes file) in a window of its\n"
                      "own inside the main window; without FILE, the main window alone.\n"
                      "\n"
                      "  -h, --help     print this text and exit\n"
                      "      --version  print the version and exit\n"
                      "  --             end of the options: the next argument is FILE\n"
                      "\n"
                      "Qt's own options (-platform NAME, -display DISPLAY, -style NAME and\n"
                      "the others of every Qt program) are accepted as well.\n";

// Qt's own options that any Qt program takes: QApplication removes them from
// the arguments before the program reads them. Those that take a value.
const char *const kQtOptionsWithValue[] = {"-platform",
                                           "-platformpluginpath",
                                           "-platformtheme",
                                           "-plugin",
                                           "-qwindowgeometry",
                                           "-geometry",
                                           "-qwindowtitle",
                                           "-title",
                                           "-qwindowicon",
                                           "-icon",
                                           "-session",
                                           "-style",
                                           "-stylesheet",
                                           "-display",
                                           "-name",
                                           "-visual",
                                           "-fn",
                                           "-font",
                                           "-bg",
                                           "-background",
                                           "-fg",
                                           "-foreground",
                                           "-btn",
                                           "-button",
                                           "-im",
                                           "-inputstyle",
                                           "-cmap",
                                           "-ncols"};
// And those that stand alone (or carry their value after "=").
const char *const kQtFlags[] = {"-reverse",     "-widgetcount",   "-nograb", "-dograb",     "-sync",
                                "-testability", "-qmljsdebugger", "-style=", "-stylesheet="};

bool isQtOptionWithValue(const QString &argument)
{
    for (const char *option : kQtOptionsWithValue) {
        // Qt takes them with one dash or two.
        if (argument == QLatin1String(option) ||
            argument == QLatin1Char('-') + QLatin1String(option))
            return true;
    }
    return false;
}

bool isQtFlag(const QString &argument)
{
    for (const char *flag : kQtFlags) {
        const QLatin1String name(flag);
        const bool takesValue =
            name.back() == QLatin1Char('=') || name == QLatin1String("-qmljsdebugger");
        if (takesValue ? argument.startsWith(name) : argument == name)
            return true;
    }
    return false;
}

QString versionText()
{
    const VersionFields fields = readVersionFields(programVersionResource());
    return QStringLiteral("bramblewick (%1) %2\n").arg(fields.productName, fields.fileVersion);
}

} // namespace

std::optional<int> answerCommandLine(const QStringList &arguments, QTextStream &out,
                                     QTextStream &err)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--"))
            break; // what follows is a file name, whatever it looks like
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            out << kUsage;
            return 0;
        }
        if (argument == QLatin1String("--version")) {
            out << versionText();
            return 0;
        }
        if (isQtOptionWithValue(argument)) {
            ++i;
            continue;
        }
        if (argument.size() > 1 && argument.startsWith(QLatin1Char('-')) && !isQtFlag(argument)) {
            err << "bramblewick: unknown option '" << argument << "'\n" << kUsage;
            return kExitUsage;
        }
    }
    return std::nullopt;
}

QStringList fileArguments(QStringList arguments)
{
    arguments.removeOne(QStringLiteral("--"));
    return arguments;
}

} // namespace bw
