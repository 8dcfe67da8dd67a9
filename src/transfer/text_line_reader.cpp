#include "transfer/text_line_reader.h"

#include "files/file_checks.h"
#include "rtf/text_encoding.h"
#include "table/dataset_error.h"
#include "transfer/io_error.h"

#include <unistd.h>

namespace bw::io {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

} // namespace

// Only a regular file is read: a pipe without a writer or a device would
// block the import for ever, or never end.
TextLineReader::TextLineReader(const QString &path) : m_path(path)
{
    int fd = -1;
    try {
        fd = files::openRegularFile(path);
    } catch (const dataset::DataSetError &error) {
        throw IoError(error.message());
    }
    if (!m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw IoError(
            QStringLiteral("Cannot read the file %1: %2").arg(path, m_file.errorString()));
    }
}

bool TextLineReader::readRawLine(QByteArray &line)
{
    if (m_file.atEnd())
        return false;
    line = m_file.readLine();
    if (line.isEmpty() && !m_file.atEnd())
        throw IoError(
            QStringLiteral("Cannot read the file %1: %2").arg(m_path, m_file.errorString()));
    if (m_atStart) {
        m_atStart = false;
        if (line.startsWith(kUtf8Bom))
            line.remove(0, 3);
    }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

qint64 TextLineReader::countNonEmptyLines()
{
    rewind();
    qint64 count = 0;
    bool utf8 = true;
    QByteArray line;
    while (readRawLine(line)) {
        if (line.isEmpty())
            continue;
        ++count;
        if (utf8 && !rtf::isValidUtf8(line))
            utf8 = false;
    }
    m_utf8 = utf8;
    rewind();
    return count;
}

void TextLineReader::rewind()
{
    if (!m_file.seek(0))
        throw IoError(
            QStringLiteral("Cannot read the file %1: %2").arg(m_path, m_file.errorString()));
    m_atStart = true;
}

bool TextLineReader::readLine(QString &line)
{
    QByteArray bytes;
    if (!readRawLine(bytes))
        return false;
    line = decode(bytes);
    return true;
}

QString TextLineReader::decode(const QByteArray &bytes) const
{
    return m_utf8 ? QString::fromUtf8(bytes) : rtf::fromWindows1252(bytes);
}

} // namespace bw::io
