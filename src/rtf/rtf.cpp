#include "rtf/rtf.h"

#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"

#include <QTextCursor>
#include <QTextDocument>

namespace bw::rtf {
namespace {

// Switches the document's undo off while it is loaded, and back on (which
// starts a fresh undo history) on every path.
class UndoSuspender
{
public:
    explicit UndoSuspender(QTextDocument *document)
        : m_document(document), m_wasEnabled(document->isUndoRedoEnabled())
    {
        m_document->setUndoRedoEnabled(false);
    }
    ~UndoSuspender() { m_document->setUndoRedoEnabled(m_wasEnabled); }
    UndoSuspender(const UndoSuspender &) = delete;
    UndoSuspender &operator=(const UndoSuspender &) = delete;

private:
    QTextDocument *m_document;
    bool m_wasEnabled;
};

// Ends the cursor's edit block on every path.
class EditBlock
{
public:
    explicit EditBlock(QTextCursor &cursor) : m_cursor(cursor) { m_cursor.beginEditBlock(); }
    ~EditBlock() { m_cursor.endEditBlock(); }
    EditBlock(const EditBlock &) = delete;
    EditBlock &operator=(const EditBlock &) = delete;

private:
    QTextCursor &m_cursor;
};

} // namespace

bool looksLikeRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

void readRtf(const QByteArray &rtf, QTextDocument *document)
{
    if (!looksLikeRtf(rtf))
        throw RtfError("The text is not RTF", 0);
    UndoSuspender undo(document);
    document->clear();
    QTextCursor cursor(document);
    EditBlock edit(cursor);
    RtfReader reader(cursor, RtfDocumentBuilder::Mode::Replace);
    reader.read(rtf);
}

void insertRtf(const QByteArray &rtf, QTextCursor &cursor)
{
    if (!looksLikeRtf(rtf))
        throw RtfError("The text is not RTF", 0);
    EditBlock edit(cursor);
    cursor.removeSelectedText();
    RtfReader reader(cursor, RtfDocumentBuilder::Mode::Insert);
    reader.read(rtf);
}

QByteArray writeRtf(const QTextDocument *document)
{
    return RtfWriter(document).write(0, document->characterCount() - 1, true);
}

QByteArray writeRtf(const QTextDocument *document, int from, int to)
{
    if (from > to)
        std::swap(from, to);
    return RtfWriter(document).write(from, to, false);
}

} // namespace bw::rtf
