#include "cli/bwnotes_command.h"

#include "cli/bwnotes_io_commands.h"
#include "notes/notes_table.h"

#include <QFileInfo>
#include <QTextStream>

#include <optional>

namespace bw::cli {

namespace {

using dataset::ClientDataSet;
using notes::NotesTable;

const char kUsage[] =
    "Usage: bwnotes COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  dump FILE         print one line per item in stored order: ID, Parent, Name and\n"
    "                    the length of Description in bytes, separated by tabs\n"
    "                    (tab, line break and backslash in a name are written \\t, \\n, \\r, "
    "\\\\)\n"
    "  convert IN OUT    rewrite the notes file IN as OUT; an OUT ending in .xml is\n"
    "                    written in XML form, any other in binary form\n"
    "  new FILE          write the one-item file of a new document (FILE must not exist;\n"
    "                    a FILE ending in .xml is written in XML form)\n"
    "  help              print this text; COMMAND --help prints the part of one command,\n"
    "                    --version the version\n";

// Keeps one item on one line of the dump.
QString escapeField(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            result += QLatin1String("\\\\");
            break;
        case '\t':
            result += QLatin1String("\\t");
            break;
        case '\n':
            result += QLatin1String("\\n");
            break;
        case '\r':
            result += QLatin1String("\\r");
            break;
        default:
            result += c;
        }
    }
    return result;
}

void dump(const QString &path, QTextStream &out)
{
    NotesTable notes;
    notes.loadFromFile(path);
    ClientDataSet &table = notes.cdsCommon();
    dataset::FileReadOperation reads(table);
    for (table.first(); !table.eof(); table.next()) {
        out << table.asString(notes::kFieldId) << '\t' << table.asString(notes::kFieldParent)
            << '\t' << escapeField(table.asString(notes::kFieldName)) << '\t'
            << table.asBytes(notes::kFieldDescription).size() << '\n';
    }
    reads.finish();
}

void convert(const QString &in, const QString &outPath)
{
    NotesTable notes;
    notes.loadFromFile(in);
    notes.cdsCommon().saveToFile(outPath, ClientDataSet::fileFormatForName(outPath));
}

void createNew(const QString &path)
{
    if (QFileInfo::exists(path))
        throw dataset::FileAccessError(QStringLiteral("%1 already exists").arg(path));
    NotesTable notes;
    notes.createNewContent();
    notes.cdsCommon().mergeChangeLog();
    notes.cdsCommon().saveToFile(path, ClientDataSet::fileFormatForName(path));
}

int usage(QTextStream &err)
{
    err << kUsage << kIoUsage;
    return kExitUsage;
}

// The lines of the usage text that describe command: its own line and the
// indented lines that continue it. Empty for an unknown command.
QString commandUsage(const QString &command)
{
    const QString text = QLatin1String(kUsage) + QLatin1String(kIoUsage);
    QString block;
    bool inside = false;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const bool commandLine = line.startsWith(QLatin1String("  ")) && line.size() > 2 &&
                                 line.at(2) != QLatin1Char(' ');
        if (commandLine)
            inside = line.mid(2).section(QLatin1Char(' '), 0, 0) == command;
        else if (!line.startsWith(QLatin1String("    ")))
            inside = false;
        if (inside)
            block += line + QLatin1Char('\n');
    }
    return block;
}

// --help and --version, after a command or alone; nullopt when neither is given.
std::optional<int> helpOrVersion(const QStringList &arguments, QTextStream &out)
{
    if (arguments.contains(QLatin1String("--version"))) {
        out << "bwnotes " << BW_VERSION_TEXT << '\n';
        return kExitOk;
    }
    if (!arguments.contains(QLatin1String("--help")))
        return std::nullopt;
    const QString block = commandUsage(arguments.value(0));
    if (block.isEmpty())
        out << kUsage << kIoUsage;
    else
        out << "Usage: bwnotes " << block.trimmed().section(QLatin1Char(' '), 0, 0) << " ...\n\n"
            << block;
    return kExitOk;
}

} // namespace

int runBwnotes(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString command = arguments.value(0);
    const qsizetype count = arguments.size() - 1;
    if (command == QLatin1String("help") && count == 0) {
        out << kUsage << kIoUsage;
        return kExitOk;
    }
    if (const std::optional<int> result = helpOrVersion(arguments, out))
        return *result;
    if (const std::optional<int> result = runIoCommand(arguments, out, err))
        return *result;
    try {
        if (command == QLatin1String("dump") && count == 1)
            dump(arguments[1], out);
        else if (command == QLatin1String("convert") && count == 2)
            convert(arguments[1], arguments[2]);
        else if (command == QLatin1String("new") && count == 1)
            createNew(arguments[1]);
        else
            return usage(err);
    } catch (const dataset::DataSetError &error) {
        out.flush();
        err << "bwnotes: " << error.message() << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace bw::cli
