// The fast reader of XML packets reads what the full reader reads, value for
// value, and gives up on anything outside its shape, damage included, so
// that the full reader judges it and words any refusal.

#include "table/dataset_error.h"
#include "table/xml_packet.h"

#include <QBuffer>
#include <QTest>

using namespace bw::dataset;

namespace {

const QByteArray kHead = "<?xml version=\"1.0\" standalone=\"yes\"?>\n"
                         "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                         "<FIELD attrname=\"ID\" fieldtype=\"i4\" required=\"true\"/>"
                         "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"20\"/>"
                         "<FIELD attrname=\"Memo\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
                         "</FIELDS><PARAMS/></METADATA>\n<ROWDATA>\n";
const QByteArray kTail = "\n</ROWDATA>\n</DATAPACKET>\n";

QByteArray packet(const QByteArray &rows)
{
    return kHead + rows + kTail;
}

// The same with the string field written escaped (ESCAPE="\\" or another).
QByteArray escapedPacket(const QByteArray &rows, const QByteArray &escape = "\\")
{
    return packet(rows).replace("WIDTH=\"20\"/>", "WIDTH=\"20\" ESCAPE=\"" + escape + "\"/>");
}

// What the full reader makes of the bytes, or its refusal.
std::optional<TableContent> fullRead(const QByteArray &bytes, QString &refusal)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy); // not a file, so the full reader alone reads it
    buffer.open(QIODevice::ReadOnly);
    try {
        return readXmlPacket(buffer, QStringLiteral("p.xml"));
    } catch (const DataSetError &error) {
        refusal = error.message();
        return std::nullopt;
    }
}

QString describe(const TableContent &content)
{
    QStringList parts;
    for (const FieldDef &field : content.fields)
        parts.append(QStringLiteral("%1:%2:%3:%4")
                         .arg(field.name)
                         .arg(int(field.type))
                         .arg(field.size)
                         .arg(field.required));
    for (const Row &row : content.rows) {
        for (const Cell &cell : row.cells)
            parts.append(cell.null ? QStringLiteral("null")
                                   : QString::number(cell.number) + '/' +
                                         QString::fromLatin1(cell.data.toHex()));
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

class tst_XmlFastReader : public QObject
{
    Q_OBJECT

private slots:
    void readsAsTheFullReaderOrGivesUp_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("fast"); // the fast reader reads it
        QTest::newRow("written by the engine")
            << packet("<ROW ID=\"1\" Name=\"a &quot;b&quot; &amp; &lt;c&gt;\" "
                      "Memo=\"x&#10;y&#13;&#10;&#9;z\"/>\n"
                      "<ROW ID=\"-2147483648\" Name=\"\" Memo=\"\"/>\n<ROW ID=\"3\"/>")
            << true;
        QTest::newRow("non-ASCII text")
            << packet("<ROW ID=\"1\" Name=\"Grüße 日本 😀\" Memo=\"é\"/>") << true;
        QTest::newRow("references")
            << packet("<ROW ID=\"1\" Name=\"&#x41;&#66;&apos;&#xe9;&#128512;\"/>") << true;
        QTest::newRow("white space made spaces")
            << packet("<ROW ID=\"1\" Name=\"a\tb\nc\r\nd\re\"/>") << true;
        QTest::newRow("single quotes, spaces around =")
            << packet("<ROW  ID = '1'\n Name='say \"hi\"' ></ROW>") << true;
        QTest::newRow("byte order mark, no declaration")
            << QByteArray("\xEF\xBB\xBF") + packet("<ROW ID=\"1\"/>").mid(kHead.indexOf('\n') + 1)
            << true;
        QTest::newRow("base64 memo") << packet("<ROW ID=\"1\" Memo=\"AAEC/w==\"/>")
                                            .replace("SUBTYPE=\"Text\"", "SUBTYPE=\"Binary\"")
                                     << true;
        QTest::newRow("empty row data")
            << QByteArray(kHead).replace("<ROWDATA>\n", "<ROWDATA/>") + "</DATAPACKET>" << true;

        QTest::newRow("escaped string")
            << escapedPacket("<ROW ID=\"1\" Name=\"run.sh\\x00.txt \\\\ &#9;\\xc3\\xa9\"/>\n"
                             "<ROW ID=\"2\" Name=\"\"/>")
            << true;
        // The width counts the characters the escapes stand for.
        QTest::newRow("escapes fit the width")
            << escapedPacket("<ROW ID=\"1\" Name=\"" + QByteArray("\\x01").repeated(20) + "\"/>")
            << true;
        QTest::newRow("escaped, too long")
            << escapedPacket("<ROW ID=\"1\" Name=\"" + QByteArray("\\x01").repeated(21) + "\"/>")
            << false;
        QTest::newRow("escapes that make no UTF-8")
            << escapedPacket("<ROW ID=\"1\" Name=\"a\\xC3\\x28\"/>") << false;
        QTest::newRow("backslash alone") << escapedPacket("<ROW ID=\"1\" Name=\"a\\b\"/>") << false;
        QTest::newRow("escape cut short")
            << escapedPacket("<ROW ID=\"1\" Name=\"a\\x0\"/>") << false;
        QTest::newRow("escape not hex") << escapedPacket("<ROW ID=\"1\" Name=\"\\xG0\"/>") << false;
        QTest::newRow("unknown escape") << escapedPacket("<ROW ID=\"1\"/>", "%") << false;
        QTest::newRow("escape of an integer field")
            << QByteArray(packet("<ROW ID=\"1\"/>"))
                   .replace("fieldtype=\"i4\"", "fieldtype=\"i4\" ESCAPE=\"\\\"")
            << false;
        QTest::newRow("backslashes of an unescaped field")
            << packet("<ROW ID=\"1\" Name=\"a\\x00\\q\"/>") << true;

        QTest::newRow("comment") << packet("<!-- c --><ROW ID=\"1\"/>") << false;
        QTest::newRow("document type") << "<!DOCTYPE x>" + packet("<ROW ID=\"1\"/>") << false;
        QTest::newRow("repeated attribute") << packet("<ROW ID=\"1\" ID=\"2\"/>") << false;
        QTest::newRow("no space between attributes")
            << packet("<ROW ID=\"1\"Name=\"a\"/>") << false;
        QTest::newRow("unknown field") << packet("<ROW ID=\"1\" Other=\"a\"/>") << false;
        QTest::newRow("change log") << packet("<ROW RowState=\"4\" ID=\"1\"/>") << false;
        QTest::newRow("not a number") << packet("<ROW ID=\"one\"/>") << false;
        QTest::newRow("number too large") << packet("<ROW ID=\"2147483648\"/>") << false;
        QTest::newRow("name too long")
            << packet("<ROW ID=\"1\" Name=\"123456789012345678901\"/>") << false;
        QTest::newRow("unknown entity") << packet("<ROW ID=\"1\" Name=\"&nbsp;\"/>") << false;
        QTest::newRow("reference to a control") << packet("<ROW ID=\"1\" Name=\"&#1;\"/>") << false;
        QTest::newRow("control character") << packet("<ROW ID=\"1\" Name=\"a\x01\"/>") << false;
        QTest::newRow("invalid UTF-8") << packet("<ROW ID=\"1\" Name=\"\xC3\x28\"/>") << false;
        QTest::newRow("U+FFFF") << packet("<ROW ID=\"1\" Name=\"\xEF\xBF\xBF\"/>") << false;
        QTest::newRow("less-than in a value") << packet("<ROW ID=\"1\" Name=\"a<b\"/>") << false;
        QTest::newRow("unclosed value") << packet("<ROW ID=\"1/>") << false;
        QTest::newRow("element in a row") << packet("<ROW ID=\"1\"><X/></ROW>") << false;
        QTest::newRow("text in row data") << packet("text<ROW ID=\"1\"/>") << false;
        QTest::newRow("after the packet") << packet("<ROW ID=\"1\"/>") + "<X/>" << false;
        QTest::newRow("truncated") << packet("<ROW ID=\"1\"/>").chopped(5) << false;
        QTest::newRow("other encoding")
            << QByteArray(packet("<ROW ID=\"1\"/>"))
                   .replace("standalone", "encoding=\"ISO-8859-1\" standalone")
            << false;
        QTest::newRow("namespace")
            << QByteArray(packet("<ROW ID=\"1\"/>")).replace("Version=", "xmlns:a=\"u\" Version=")
            << false;
        QTest::newRow("field defined twice")
            << QByteArray(packet("<ROW ID=\"1\"/>")).replace("attrname=\"Name\"", "attrname=\"ID\"")
            << false;
        // Plain runs are passed over eight bytes at a time: each kind of byte
        // that ends a run, at every place within and after a word.
        const std::pair<const char *, bool> kinds[] = {
            {"&amp;", true}, {"'", true},     {"\xC3\xA9", true}, {"\t", true},
            {"<", false},    {"\x01", false}, {"\x7F", true}};
        for (const auto &[kind, fast] : kinds) {
            for (int at = 0; at <= 17; ++at) {
                const QByteArray memo = QByteArray(at, 'a') + kind + QByteArray(17 - at, 'b');
                QTest::addRow("0x%02x at %d", static_cast<unsigned char>(kind[0]), at)
                    << packet("<ROW ID=\"1\" Memo=\"" + memo + "\"/>") << fast;
            }
        }
    }

    void readsAsTheFullReaderOrGivesUp()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, fast);
        const std::optional<TableContent> quick =
            readXmlPacketFast(bytes.constData(), bytes.size(), QStringLiteral("p.xml"));
        QCOMPARE(quick.has_value(), fast);
        QString refusal;
        const std::optional<TableContent> full = fullRead(bytes, refusal);
        if (quick) {
            QVERIFY2(full.has_value(), qPrintable(refusal));
            QCOMPARE(describe(*quick), describe(*full));
        }
    }

    void escapedValuesAreDecoded()
    {
        const QByteArray bytes =
            escapedPacket("<ROW ID=\"1\" Name=\"run.sh\\x00.txt \\\\x &#9;\\xc3\\xa9\"/>");
        const QByteArray expected("run.sh\0.txt \\x \t\xC3\xA9", 18);
        const std::optional<TableContent> quick =
            readXmlPacketFast(bytes.constData(), bytes.size(), QStringLiteral("p.xml"));
        QVERIFY(quick);
        QCOMPARE(quick->rows.at(0).cells.at(1).data, expected);
        QString refusal;
        const std::optional<TableContent> full = fullRead(bytes, refusal);
        QVERIFY2(full, qPrintable(refusal));
        QCOMPARE(full->rows.at(0).cells.at(1).data, expected);
        // A bad escape is refused with the row and the field named.
        for (const QByteArray &bad : {QByteArray("a\\b"), QByteArray("\\xC3\\x28")}) {
            QVERIFY(!fullRead(escapedPacket("<ROW ID=\"1\" Name=\"" + bad + "\"/>"), refusal));
            QVERIFY2(refusal.contains("row 1 holds a value that does not fit field 'Name'"),
                     qPrintable(refusal));
        }
        QVERIFY(!fullRead(escapedPacket("<ROW ID=\"1\"/>", "%"), refusal));
        QVERIFY2(refusal.contains("field 'Name' has the unsupported escape '%'"),
                 qPrintable(refusal));
    }
};

QTEST_GUILESS_MAIN(tst_XmlFastReader)
#include "tst_xml_fast_reader.moc"
