// The HTML grid export and the page files of both HTML exports.

#include "transfer/html_export.h"

#include "files/atomic_file.h"
#include "files/file_error.h"
#include "table/client_dataset.h"
#include "transfer/file_write.h"
#include "transfer/io_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bw::io {

namespace {

using dataset::FieldType;

QString displayText(const dataset::ClientDataSet &table, const dataset::FieldDef &field)
{
    switch (field.type) {
    case FieldType::Memo:
        return table.asBytes(field.name).isEmpty() ? QStringLiteral("(Memo)")
                                                   : QStringLiteral("(MEMO)");
    case FieldType::Integer:
        return table.isNull(field.name) ? QString() : QString::number(table.asInteger(field.name));
    case FieldType::String:
        break;
    }
    return table.asString(field.name).toHtmlEscaped();
}

// The page replaces its file only when complete, under the rule of every
// export (see replaceableTarget).
template <typename Body> void writePage(const QString &path, const HtmlPage &page, Body body)
{
    try {
        replaceableTarget(path);
        files::AtomicFile target(path);
        QFile file(target.tempPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw IoError(
                QStringLiteral("Cannot write the file %1: %2").arg(path, file.errorString()));
        try {
            HtmlLineWriter out(file);
            out.lines(htmlHeaderLines(page));
            body(out);
            out.lines(htmlFooterLines(page));
            out.flush();
        } catch (const IoError &) {
            throw IoError(
                QStringLiteral("Cannot write the file %1: %2").arg(path, file.errorString()));
        }
        file.close();
        if (file.error() != QFileDevice::NoError)
            throw IoError(
                QStringLiteral("Cannot write the file %1: %2").arg(path, file.errorString()));
        target.commit();
    } catch (const FileAccessError &error) {
        throw IoError(error.message());
    }
}

} // namespace

void writeHtmlGrid(dataset::ClientDataSet &table, HtmlLineWriter &out)
{
    const QList<dataset::FieldDef> fields = table.fieldDefs();
    out.line(QStringLiteral("<TABLE BORDER>"));
    out.line(QStringLiteral("<TR>"));
    for (const dataset::FieldDef &field : fields)
        out.line(QStringLiteral("<TH>") + field.name.toHtmlEscaped() + QStringLiteral("</TH>"));
    out.line(QStringLiteral("</TR>"));
    {
        dataset::BookmarkKeeper keep(table);
        for (table.first(); !table.eof(); table.next()) {
            out.line(QStringLiteral("<TR>"));
            for (const dataset::FieldDef &field : fields)
                out.line(QStringLiteral("<TD>") + displayText(table, field) +
                         QStringLiteral("</TD>"));
            out.line(QStringLiteral("</TR>"));
        }
    }
    out.line(QStringLiteral("</TABLE>"));
}

void exportHtmlGrid(dataset::ClientDataSet &table, const QString &path, const HtmlPage &page)
{
    writePage(path, page, [&](HtmlLineWriter &out) { writeHtmlGrid(table, out); });
}

void exportHtmlTree(dataset::ClientDataSet &table, const QString &path, const HtmlPage &page)
{
    writePage(path, page, [&](HtmlLineWriter &out) { writeHtmlTree(table, out); });
    const QDir folder = QFileInfo(path).absoluteDir();
    for (const QString &name : treeGifNames())
        saveGifResource(name, folder.filePath(name));
}

void exportXmlData(dataset::ClientDataSet &table, const QString &path)
{
    table.saveToFile(path, dataset::ClientDataSet::FileFormat::Xml);
}

} // namespace bw::io
