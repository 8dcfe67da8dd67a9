#pragma once
// Reading and writing RTF to and from a QTextDocument. Widget-free.

#include <QByteArray>
#include <QString>
#include <stdexcept>

class QTextCursor;
class QTextDocument;

namespace bw::rtf {

// A reader or writer failure, with the byte position where it happened (-1
// when it has none).
class RtfError : public std::runtime_error
{
public:
    RtfError(const std::string &what, qint64 position = -1)
        : std::runtime_error(what), m_position(position)
    {
    }
    qint64 position() const { return m_position; }

private:
    qint64 m_position;
};

// True when the bytes start like an RTF document ("{\rtf" after optional
// white space).
bool looksLikeRtf(const QByteArray &bytes);

// Replaces the document's content with the RTF; throws RtfError when the
// bytes are not RTF at all. Malformed RTF keeps whatever could be read.
void readRtf(const QByteArray &rtf, QTextDocument *document);

// Inserts the RTF at the cursor (replacing its selection), as a paste does.
void insertRtf(const QByteArray &rtf, QTextCursor &cursor);

// The whole document as RTF.
QByteArray writeRtf(const QTextDocument *document);

// The characters from position `from` to `to` as RTF (a selection).
QByteArray writeRtf(const QTextDocument *document, int from, int to);

} // namespace bw::rtf
