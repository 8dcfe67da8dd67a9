#pragma once
// The frame of the exported HTML pages (head and foot) and a writer that
// streams lines to a device in UTF-8, each ended by CR LF, so that a page of
// any size needs little memory. Texts go into the pages through
// QString::toHtmlEscaped.

#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>

namespace bw::io {

inline const QString kHtmlExt = QStringLiteral(".htm");
inline const QString kHtmlFilter =
    QStringLiteral("HTML Document (*.htm;*.html)|*.htm;*.html|All Files (*.*)|*.*");
inline const QString kXmlExt = QStringLiteral(".xml");
inline const QString kXmlFilter = QStringLiteral("XML Document (*.xml)|*.xml|All Files (*.*)|*.*");

struct HtmlPage
{
    QString productName;  // the program's, from its version information
    QString documentName; // the notes file's name without folder, or "NoName1"
    QDate date;           // the day the page is written
};

// The pictures of the tree export are 16 x 16 pixels.
constexpr int kTreeImageSize = 16;
// The date as the program shows short dates: day.month.year without leading zeros.
QString shortDate(const QDate &date);

// WriteHtmlHeader and WriteHtmlFooter: the lines of the head and of the foot.
QStringList htmlHeaderLines(const HtmlPage &page);
QStringList htmlFooterLines(const HtmlPage &page);

// The file name proposed for an export: the document name with its extension
// replaced (work.cds -> work.htm, NoName1 -> NoName1.htm).
QString proposedExportName(const QString &documentName, const QString &ext);

class HtmlLineWriter
{
public:
    explicit HtmlLineWriter(QIODevice &device);
    ~HtmlLineWriter();
    HtmlLineWriter(const HtmlLineWriter &) = delete;
    HtmlLineWriter &operator=(const HtmlLineWriter &) = delete;

    void line(const QString &text);
    void lines(const QStringList &texts);
    // Writes what is buffered; throws IoError when the device refuses it.
    void flush();

private:
    QIODevice &m_device;
    QByteArray m_buffer;
};

} // namespace bw::io
