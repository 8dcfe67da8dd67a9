#include "cli/bwnotes_io_commands.h"

#include "cli/bwnotes_command.h"
#include "notes/notes_table.h"
#include "transfer/csv_import.h"
#include "transfer/html_export.h"
#include "transfer/io_error.h"
#include "transfer/node_export.h"

#include <QDate>
#include <QFileInfo>
#include <QTextStream>

namespace bw::cli {

const char kIoUsage[] =
    "  import-csv FILE TEXT [--parent ID]\n"
    "                    add one item per line \"Name;Description\" of TEXT to the notes\n"
    "                    file, as children of the item ID (else at the top level)\n"
    "  export-nodes FILE DIR --txt|--rtf\n"
    "                    write every item to DIR/NAME.txt (plain text) or DIR/NAME.rtf;\n"
    "                    names that are no valid file names are converted\n"
    "  export-html-grid FILE OUT   write the items as an HTML table\n"
    "  export-html-tree FILE OUT   write the items as an HTML tree, with its pictures\n"
    "                              beside OUT\n"
    "  export-xml FILE OUT         write the notes file as an XML data packet\n";

namespace {

using dataset::ClientDataSet;
using notes::NotesTable;

struct UsageError
{
};

io::HtmlPage pageOf(const QString &notesPath)
{
    // The product name the build gives the program's version information.
    return {QStringLiteral(BW_PRODUCT_NAME), QFileInfo(notesPath).fileName(), QDate::currentDate()};
}

// Refuses an output that would overwrite the notes file being read.
void checkNotSameFile(const QString &notesPath, const QString &outPath)
{
    if (notes::isSameFile(notesPath, outPath))
        throw io::IoError(QStringLiteral("%1 is the notes file itself").arg(outPath));
}

std::optional<qint32> parentOption(const QStringList &rest)
{
    if (rest.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint32 id =
        rest.size() == 2 && rest[0] == QLatin1String("--parent") ? rest[1].toInt(&ok) : 0;
    if (!ok)
        throw UsageError();
    return id;
}

int importCsv(const QStringList &args, QTextStream &out)
{
    if (args.size() != 3 && args.size() != 5)
        throw UsageError();
    const std::optional<qint32> parent = parentOption(args.mid(3));
    NotesTable notes;
    notes.loadFromFile(args[1]);
    ClientDataSet &table = notes.cdsCommon();
    if (parent && !table.locate(notes::kFieldId, *parent))
        throw io::IoError(QStringLiteral("No item has the ID %1").arg(*parent));
    io::TableImportTarget target(table, parent);
    io::ImportObserver observer;
    const io::ImportResult result = io::importCsv(args[2], target, observer);
    table.mergeChangeLog();
    table.saveToFile(args[1], ClientDataSet::fileFormatForName(args[1]));
    out << result.added << " items imported\n";
    return kExitOk;
}

class CountConversions : public io::NodeExportObserver
{
public:
    explicit CountConversions(QTextStream &out) : m_out(out) {}
    bool convert(const QString &fileName, const QString &converted) override
    {
        m_out << "\"" << fileName << "\" written as \"" << converted << "\"\n";
        return true;
    }
    void renamed(const QString &fileName, const QString &target) override
    {
        convert(fileName, target);
    }

private:
    QTextStream &m_out;
};

int exportNodes(const QStringList &args, QTextStream &out)
{
    if (args.size() != 4 ||
        (args[3] != QLatin1String("--txt") && args[3] != QLatin1String("--rtf")))
        throw UsageError();
    QString folder = args[2];
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    if (!QFileInfo(folder).isDir())
        throw io::IoError(QStringLiteral("Directory Not Exists: ") + folder);
    NotesTable notes;
    notes.loadFromFile(args[1]);
    CountConversions observer(out);
    const QString ext = args[3] == QLatin1String("--rtf") ? io::kExtRtf : io::kExtTxt;
    const io::NodeExportResult result = io::exportNodes(notes.cdsCommon(), folder, ext, observer);
    out << result.written << " files written\n";
    return kExitOk;
}

int exportFile(const QStringList &args)
{
    if (args.size() != 3)
        throw UsageError();
    checkNotSameFile(args[1], args[2]);
    NotesTable notes;
    notes.loadFromFile(args[1]);
    ClientDataSet &table = notes.cdsCommon();
    if (args[0] == QLatin1String("export-html-grid"))
        io::exportHtmlGrid(table, args[2], pageOf(args[1]));
    else if (args[0] == QLatin1String("export-html-tree"))
        io::exportHtmlTree(table, args[2], pageOf(args[1]));
    else
        io::exportXmlData(table, args[2]);
    return kExitOk;
}

} // namespace

std::optional<int> runIoCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString command = arguments.value(0);
    try {
        if (command == QLatin1String("import-csv"))
            return importCsv(arguments, out);
        if (command == QLatin1String("export-nodes"))
            return exportNodes(arguments, out);
        if (command == QLatin1String("export-html-grid") ||
            command == QLatin1String("export-html-tree") || command == QLatin1String("export-xml"))
            return exportFile(arguments);
    } catch (const UsageError &) {
        return std::nullopt;
    } catch (const io::IoError &error) {
        out.flush();
        err << "bwnotes: " << error.message() << '\n';
        return kExitFailure;
    } catch (const dataset::DataSetError &error) {
        out.flush();
        err << "bwnotes: " << error.message() << '\n';
        return kExitFailure;
    }
    return std::nullopt;
}

} // namespace bw::cli
