#pragma once
// The two HTML exports of a notes table: the grid (one table row per item,
// one column per field) and the tree (one line per item in depth-first order,
// drawn with small GIF pictures written beside the page). Both walk the table
// in its stored order and return to the record that was current.

#include "transfer/html_page.h"

#include <QString>
#include <vector>

namespace bw::dataset {
class ClientDataSet;
}

namespace bw::io {

class HtmlLineWriter;

// One line of the tree-ordered copy of the table.
struct TreeLine
{
    int recNo = 0;               // the record's position in stored order, from 1
    int level = 0;               // dx$level: 0 for a top-level item
    bool hasChildren = false;    // dx$haschildren
    bool hasNextSibling = false; // a sibling follows it in the folder tree's order (by name)
};

// The items in depth-first order (dx$recno is the index + 1): top-level items
// and the children of each item in stored order. Siblings in the folder tree
// are ordered by name (case-sensitive, locale-aware; equal names in stored
// order). Items whose Parent values form a cycle are listed from the first of
// them in stored order, as if it were top-level.
std::vector<TreeLine> buildTreeOrder(dataset::ClientDataSet &table);

// The image tags in front of an item's name.
QString treeGlyphTags(const TreeLine &line, int recNo, int recordCount);
QString imageTag(const QString &fileName);

// WriteHtmlGrid and WriteHtmlTree: the body lines.
void writeHtmlGrid(dataset::ClientDataSet &table, HtmlLineWriter &out);
void writeHtmlTree(dataset::ClientDataSet &table, HtmlLineWriter &out);

// Whole pages written to a file (replaced when complete); the tree export
// also writes the sixteen pictures into the page's folder. Throw IoError.
void exportHtmlGrid(dataset::ClientDataSet &table, const QString &path, const HtmlPage &page);
void exportHtmlTree(dataset::ClientDataSet &table, const QString &path, const HtmlPage &page);

// The pictures of the tree, in the order they are written.
const QStringList &treeGifNames();
// Writes the bytes of the picture resource unchanged into the file.
void saveGifResource(const QString &resourceName, const QString &fileName);

// The table in the engine's XML form, its change log left as it is.
void exportXmlData(dataset::ClientDataSet &table, const QString &path);

} // namespace bw::io
