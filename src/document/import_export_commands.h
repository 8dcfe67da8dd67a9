#pragma once
// The import and export commands of a document window: the CSV import into
// the selected item, the export of every item to a file of its own, the HTML
// grid and tree pages and the XML data file. They ask for files and show
// progress and messages; the work itself is bw_io's, which bwnotes shares.

#include <QString>
#include <optional>

namespace bw::notes {

class FolderTreeLink;
class FrameServices;
class DocumentContext;

class ImportExportCommands
{
public:
    ImportExportCommands(DocumentContext &window, FrameServices &frame, FolderTreeLink &link);

    void importCsv();
    void exportNodes();
    // The export dialog: true when closed with OK and a folder; sets
    // ExportFolder (with a trailing slash) and ExportExt.
    bool askExportFolder();
    void exportHtmlGrid();
    void exportHtmlTree();
    void exportXmlData();

    QString ExportFolder;
    QString ExportExt;

private:
    // The output file of the page and data exports; nothing when cancelled
    // or when the chosen file is an open notes file.
    std::optional<QString> chooseOutputFile(const QString &ext, const QString &filter);
    QString documentName() const;
    bool editing() const;

    DocumentContext &m_window;
    FrameServices &m_frame;
    FolderTreeLink &m_link;
};

} // namespace bw::notes
