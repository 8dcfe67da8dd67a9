#pragma once
// Typed errors of the table engine. Every failure of a table operation throws
// one of these; the caller decides what the user sees.

#include "files/file_error.h"

#include <QString>

namespace bw::dataset {

using DataSetError = bw::Error;
using FileAccessError = bw::FileAccessError;

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

// A file a table still reads values from was changed in place by another
// program since the table read it: the values it left there are gone.
class FileChangedError : public FileAccessError
{
public:
    using FileAccessError::FileAccessError;

    static FileChangedError changedInPlace(const QString &path)
    {
        return FileChangedError(
            QStringLiteral("Cannot open the file %1: another program changed it while it was open")
                .arg(path));
    }
};

// A file was read but its content is not a table this engine accepts
// (foreign, damaged, truncated, wrong version, fields that do not match).
class FileFormatError : public DataSetError
{
public:
    using DataSetError::DataSetError;

    // "The file PATH is not a notes file: REASON", the one message of a refused file.
    static FileFormatError refused(const QString &path, const QString &reason)
    {
        return FileFormatError(
            QStringLiteral("The file %1 is not a notes file: %2").arg(path, reason));
    }
};

} // namespace bw::dataset
