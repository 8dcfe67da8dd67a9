#pragma once
// Typed errors of the table engine. Every failure of a table operation throws
// one of these; the caller decides what the user sees.

#include <QString>
#include <stdexcept>

namespace bw::dataset {

class DataSetError : public std::runtime_error
{
public:
    explicit DataSetError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// A post found a required field without a value: "Field 'Name' must have a value".
class RequiredFieldError : public DataSetError
{
public:
    explicit RequiredFieldError(const QString &fieldName)
        : DataSetError(QStringLiteral("Field '%1' must have a value").arg(fieldName)),
          m_fieldName(fieldName)
    {
    }
    QString fieldName() const { return m_fieldName; }

private:
    QString m_fieldName;
};

// A file could not be opened, read, written or replaced.
class FileAccessError : public DataSetError
{
public:
    using DataSetError::DataSetError;
};

// A file was read but its content is not a table this engine accepts
// (foreign, damaged, truncated, wrong version, fields that do not match).
class FileFormatError : public DataSetError
{
public:
    using DataSetError::DataSetError;
};

} // namespace bw::dataset
