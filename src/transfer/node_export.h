#pragma once
// The export of every item to a file of its own: the file is named after the
// item's Name with the extension ".txt" (the item's text without formatting)
// or ".rtf" (its rich text as an RTF document). A name that is no valid file
// name is offered a converted one. The document of an item is made from its
// Description as the editor would show it, and written from there.

#include <QByteArray>
#include <QString>

namespace bw::dataset {
class ClientDataSet;
}

namespace bw::io {

inline const QString kExtTxt = QStringLiteral(".txt");
inline const QString kExtRtf = QStringLiteral(".rtf");

// Removes every character up to and including the blank at both ends.
QString trimBlanks(const QString &text);
// No leading or trailing blank, no control character (NUL included), none
// of the nine characters " * / : < > ? \ |, no leading period, at most 255
// bytes of UTF-8 (what a Linux file name holds). An empty text is valid.
bool isValidFileName(const QString &text);
// Trimmed, without control characters and the nine characters, without
// leading periods; a name still too long is cut before its extension.
QString toValidFileName(const QString &text);

// The name offered for an invalid file name `fileName` (an item's name +
// `ext`): toValidFileName's, or, when nothing of the item's name is left
// (".." + ".txt" would give "txt"), the neutral name + ext.
inline const QString kNeutralFileName = QStringLiteral("Unnamed");
QString convertedFileName(const QString &fileName, const QString &ext);

// The question asked before a converted name is used.
QString conversionQuestion(const QString &fileName, const QString &converted);

enum class NodeFileKind { PlainText, Rtf };
// Plain text for the extension "txt" (any case), RTF for any other name.
NodeFileKind nodeFileKind(const QString &fileName);

// The bytes of an item's file: its Description read as RTF (or as plain text
// when it is none) and written as UTF-8 plain text or as RTF.
QByteArray nodeFileBytes(const QByteArray &description, NodeFileKind kind);

class NodeExportObserver
{
public:
    virtual ~NodeExportObserver() = default;
    // "Exporting Item: " + file name is shown for the item.
    virtual void exporting(const QString &fileName) { (void)fileName; }
    // The file name is not valid: true writes the item under the converted
    // name, false skips it.
    virtual bool convert(const QString &fileName, const QString &converted)
    {
        (void)fileName;
        (void)converted;
        return true;
    }
    // A valid file name already written by this export (the same name, or
    // the same file on a disk that ignores case) is written as `target`.
    virtual void renamed(const QString &fileName, const QString &target)
    {
        (void)fileName;
        (void)target;
    }
    // One item is done; false stops the export (Cancel).
    virtual bool advance() { return true; }
};

inline QString exportingItemText(const QString &fileName)
{
    return QStringLiteral("Exporting Item: ") + fileName;
}

struct NodeExportResult
{
    int written = 0;
    bool cancelled = false;
};

// Walks the table from its first record to its last and writes one file per
// item into folder (which ends with a slash); the current record is the same
// afterwards. No item's file replaces another's: a name that reaches a file
// this export wrote gets " (2)", " (3)", ... before its extension, so
// `written` counts files that exist. Throws IoError when a file cannot be
// written.
NodeExportResult exportNodes(dataset::ClientDataSet &table, const QString &folder,
                             const QString &ext, NodeExportObserver &observer);

} // namespace bw::io
