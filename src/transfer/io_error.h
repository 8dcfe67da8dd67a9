#pragma once
// The error of an import or export: a file that cannot be read or written,
// an item that is not there. The caller decides what the user sees.

#include <QString>
#include <stdexcept>

namespace bw::io {

class IoError : public std::runtime_error
{
public:
    explicit IoError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace bw::io
