#pragma once
// Counts the attributes of every start tag of an XML byte stream in one pass,
// ahead of the XML reader, so that an element with more attributes than it
// may have is refused before the reader parses it: the reader's check for
// repeated attributes costs the square of their number.

#include <QIODevice>
#include <QString>

namespace bw::dataset {

class TagScanner
{
public:
    // A ROW may carry one attribute per FIELD seen before it plus the change
    // log's RowState; any other element at most kMaxOtherAttributes.
    static constexpr int kChangeLogAttributes = 1;
    static constexpr int kMaxOtherAttributes = 32;

    // Scans the next bytes; false once an element has too many attributes.
    bool scan(const char *data, qint64 size);
    bool failed() const { return !m_failure.isEmpty(); }
    QString failure() const { return m_failure; } // reason and line

private:
    enum class Mode {
        Text,
        Open,
        Bang,
        Comment,
        Cdata,
        Declaration,
        Pi,
        EndTag,
        Name,
        Tag,
        Quoted
    };

    void startTag();
    void countAttribute();

    Mode m_mode = Mode::Text;
    QByteArray m_name; // the first characters of the element name or "<!" prefix
    char m_quote = 0;
    char m_last[2] = {0, 0}; // the two bytes before, for "-->", "]]>" and "?>"
    int m_depth = 0;         // brackets of a declaration's internal subset
    int m_attributes = 0;
    int m_limit = 0;
    int m_fields = 0;
    qint64 m_line = 1;
    QString m_failure;
};

// A read-only device that passes the bytes of `source` through a TagScanner;
// it ends early (an unexpected end for the reader) once the scanner refuses.
class ScannedDevice : public QIODevice
{
public:
    explicit ScannedDevice(QIODevice &source);
    const TagScanner &scanner() const { return m_scanner; }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice &m_source;
    TagScanner m_scanner;
};

} // namespace bw::dataset
