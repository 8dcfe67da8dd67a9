#pragma once
// Reads a text file line by line, in two passes if asked: the first pass
// counts the lines that are not empty and finds out whether the file is
// UTF-8 (else it is read as Windows-1252); the second reads the lines.
// Lines end with LF or CR LF; the line end is not part of the line.

#include <QFile>
#include <QString>

namespace bw::io {

class TextLineReader
{
public:
    // Opens the file; throws IoError when it cannot be read.
    explicit TextLineReader(const QString &path);

    // Reads the file to its end: the number of non-empty lines. Decides the
    // encoding and leaves the reader at the start of the file again.
    qint64 countNonEmptyLines();
    // The next line; false at the end of the file. Throws IoError on a read error.
    bool readLine(QString &line);
    void rewind();

    bool isUtf8() const { return m_utf8; }

private:
    bool readRawLine(QByteArray &line);
    QString decode(const QByteArray &bytes) const;

    QString m_path;
    QFile m_file;
    bool m_utf8 = true;
    bool m_atStart = true;
};

} // namespace bw::io
