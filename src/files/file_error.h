#pragma once
// The program's typed errors: Error carries the message a user is shown, and
// FileAccessError is a file that could not be opened, read, written or
// replaced. The libraries throw them; the window that called decides what the
// user sees.

#include <QString>
#include <stdexcept>

namespace bw {

class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

class FileAccessError : public Error
{
public:
    using Error::Error;

    // "Cannot write the file PATH: REASON", the one message of a failed save.
    static FileAccessError cannotWrite(const QString &path, const QString &reason)
    {
        return FileAccessError(QStringLiteral("Cannot write the file %1: %2").arg(path, reason));
    }
    // "Cannot open the file PATH: REASON", the one message of a file that cannot be read.
    static FileAccessError cannotOpen(const QString &path, const QString &reason)
    {
        return FileAccessError(QStringLiteral("Cannot open the file %1: %2").arg(path, reason));
    }
};

} // namespace bw
