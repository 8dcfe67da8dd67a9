// The HTML tree export: the tree-ordered copy of the table, the glyphs of each
// line and the pictures written beside the page.

#include "transfer/html_export.h"

#include "notes/notes_table.h"
#include "transfer/file_write.h"
#include "transfer/io_error.h"

#include <QCollator>
#include <QFile>
#include <QHash>
#include <algorithm>

namespace bw::io {

namespace {

constexpr int kNone = -1;

struct Node
{
    qint32 id = 0;
    qint32 parent = 0;
    int firstChild = kNone;
    int lastChild = kNone;
    int nextChild = kNone; // the next child of the same parent in stored order
    bool topLevel = false;
    bool listed = false;
};

// Reads ID and Parent of every record in stored order and links each node
// to its parent's list of children.
std::vector<Node> readNodes(dataset::ClientDataSet &table, std::vector<int> &lastSibling)
{
    std::vector<Node> nodes;
    nodes.reserve(size_t(table.recordCount()));
    QHash<qint32, int> byId;
    for (table.first(); !table.eof(); table.next()) {
        Node node;
        node.id = table.asInteger(notes::kFieldId);
        node.parent = table.asInteger(notes::kFieldParent);
        byId.insert(node.id, int(nodes.size())); // a later duplicate ID wins, as in a lookup
        nodes.push_back(node);
    }
    // The last sibling in the tree's order is the greatest name; of equal
    // names the one stored last.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::vector<QString> greatest(nodes.size());
    lastSibling.assign(nodes.size(), kNone);
    int position = 0;
    for (table.first(); !table.eof(); table.next(), ++position) {
        Node &node = nodes[size_t(position)];
        const auto parent = byId.constFind(node.parent);
        if (node.parent == node.id || parent == byId.constEnd() || *parent == position) {
            node.topLevel = true;
            continue;
        }
        Node &owner = nodes[size_t(*parent)];
        if (owner.lastChild == kNone)
            owner.firstChild = position;
        else
            nodes[size_t(owner.lastChild)].nextChild = position;
        owner.lastChild = position;
        const QString name = table.asString(notes::kFieldName);
        int &last = lastSibling[size_t(*parent)];
        if (last == kNone || collator.compare(name, greatest[size_t(*parent)]) >= 0) {
            last = position;
            greatest[size_t(*parent)] = name;
        }
    }
    return nodes;
}

// Appends the subtree of root in depth-first order, without recursion.
void listSubtree(std::vector<Node> &nodes, int root, std::vector<TreeLine> &lines)
{
    std::vector<std::pair<int, int>> stack{{root, 0}}; // node, level
    while (!stack.empty()) {
        const auto [index, level] = stack.back();
        stack.pop_back();
        Node &node = nodes[size_t(index)];
        if (node.listed)
            continue;
        node.listed = true;
        TreeLine line;
        line.recNo = index + 1;
        line.level = level;
        line.hasChildren = node.firstChild != kNone;
        lines.push_back(line);
        // Children go onto the stack last first, so the first comes out first.
        const size_t mark = stack.size();
        for (int child = node.firstChild; child != kNone; child = nodes[size_t(child)].nextChild)
            stack.emplace_back(child, level + 1);
        std::reverse(stack.begin() + qsizetype(mark), stack.end());
    }
}

} // namespace

std::vector<TreeLine> buildTreeOrder(dataset::ClientDataSet &table)
{
    dataset::BookmarkKeeper keep(table);
    std::vector<int> lastSibling;
    std::vector<Node> nodes = readNodes(table, lastSibling);
    std::vector<TreeLine> lines;
    lines.reserve(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].topLevel)
            listSubtree(nodes, int(i), lines);
    // Items in a cycle of Parent values hang under no top-level item.
    for (size_t i = 0; i < nodes.size(); ++i)
        if (!nodes[i].listed)
            listSubtree(nodes, int(i), lines);
    // A child has a next sibling unless it is the last of its parent's children.
    std::vector<int> parentOf(nodes.size(), kNone);
    for (size_t i = 0; i < nodes.size(); ++i)
        for (int child = nodes[i].firstChild; child != kNone;
             child = nodes[size_t(child)].nextChild)
            parentOf[size_t(child)] = int(i);
    for (TreeLine &line : lines) {
        const int parent = parentOf[size_t(line.recNo - 1)];
        line.hasNextSibling = parent != kNone && lastSibling[size_t(parent)] != line.recNo - 1;
    }
    return lines;
}

// The pictures only draw the tree's lines and folders, which the names and
// their order already tell: an empty ALT, so that a reader skips them. The
// size lets the browser lay the page out before the pictures arrive.
QString imageTag(const QString &fileName)
{
    return QStringLiteral(
               "<IMG SRC=\"%1\" ALT=\"\" WIDTH=\"%2\" HEIGHT=\"%2\" ALIGN=\"ABSMIDDLE\">")
        .arg(fileName)
        .arg(kTreeImageSize);
}

QString treeGlyphTags(const TreeLine &line, int recNo, int recordCount)
{
    // The tags are made once: a page of many items repeats them on every line.
    static const QString vertical = imageTag(QStringLiteral("tv_Line_Vert.gif"));
    static const QString withChildren[] = {
        imageTag(QStringLiteral("tv_First_Minus.gif")),
        imageTag(QStringLiteral("tv_Midt_Minus.gif")),
        imageTag(QStringLiteral("tv_Sist_Minus.gif")),
    };
    static const QString withoutChildren[] = {
        imageTag(QStringLiteral("tv_First_Ingen.gif")),
        imageTag(QStringLiteral("tv_Midt_Ingen.gif")),
        imageTag(QStringLiteral("tv_Sist_ingen.gif")),
    };
    static const QString folderOpen = imageTag(QStringLiteral("tv_Folder_Open.gif"));
    static const QString folderClosed = imageTag(QStringLiteral("tv_Folder_Close.gif"));
    enum { First, Midt, Sist } place;
    QString tags;
    if (line.level == 0) {
        place = recNo == 1 ? First : recNo == recordCount ? Sist : Midt;
    } else {
        tags.reserve(vertical.size() * (line.level + 2));
        for (int i = 0; i < line.level; ++i)
            tags += vertical;
        place = line.hasNextSibling ? Midt : Sist;
    }
    if (line.hasChildren)
        tags += withChildren[place] + folderOpen;
    else
        tags += withoutChildren[place] + folderClosed;
    return tags;
}

void writeHtmlTree(dataset::ClientDataSet &table, HtmlLineWriter &out)
{
    dataset::BookmarkKeeper keep(table);
    const std::vector<TreeLine> lines = buildTreeOrder(table);
    const int count = int(lines.size());
    for (int i = 0; i < count; ++i) {
        const TreeLine &line = lines[size_t(i)];
        table.setRecNo(line.recNo);
        out.line(treeGlyphTags(line, i + 1, count) + QLatin1Char(' ') +
                 table.asString(notes::kFieldName).toHtmlEscaped() + QStringLiteral("<Br>"));
    }
}

const QStringList &treeGifNames()
{
    static const QStringList names = {
        QStringLiteral("tv_Empty.gif"),        QStringLiteral("tv_First_Ingen.gif"),
        QStringLiteral("tv_First_Minus.gif"),  QStringLiteral("tv_First_MinusRoot.gif"),
        QStringLiteral("tv_First_Pluss.gif"),  QStringLiteral("tv_First_PlussRoot.gif"),
        QStringLiteral("tv_Folder_Close.gif"), QStringLiteral("tv_Folder_Open.gif"),
        QStringLiteral("tv_Line_Hors.gif"),    QStringLiteral("tv_Line_Vert.gif"),
        QStringLiteral("tv_Midt_Ingen.gif"),   QStringLiteral("tv_Midt_Minus.gif"),
        QStringLiteral("tv_Midt_Pluss.gif"),   QStringLiteral("tv_Sist_ingen.gif"),
        QStringLiteral("tv_Sist_Minus.gif"),   QStringLiteral("tv_Sist_Pluss.gif"),
    };
    return names;
}

void saveGifResource(const QString &resourceName, const QString &fileName)
{
    QFile resource(QStringLiteral(":/tree_export/") + resourceName);
    if (!resource.open(QIODevice::ReadOnly))
        throw IoError(
            QStringLiteral("The picture %1 is missing from the program").arg(resourceName));
    writeFileBytes(fileName, resource.readAll());
}

} // namespace bw::io
