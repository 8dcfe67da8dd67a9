#pragma once
// Replaces a file only once its new content is complete: the content goes to
// a temporary file in the target's folder, which commit() flushes to disk and
// renames over the target. Without commit() the temporary file is removed and
// the target stays as it was. A commit also removes the temporary files that
// saves of the same target left when they were killed.

#include <QString>

namespace bw::files {

// The checks a save runs before it writes to `targetPath` (at the end of any
// links): a regular file (or none yet) that is not read-only. Throws
// FileAccessError naming `shownName`.
void checkWritableTarget(const QString &targetPath, const QString &shownName);

class AtomicFile
{
public:
    // Creates the temporary file; throws FileAccessError when the target is
    // not a regular file, is read-only, or the folder cannot take it
    // (missing, read-only). A target reached through symbolic links is the
    // file at the end of the chain; messages name `targetPath` as given.
    explicit AtomicFile(const QString &targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    QString tempPath() const { return m_tempPath; }
    QString shownName() const { return m_shownName; }
    QString targetPath() const { return m_targetPath; } // at the end of any links
    // Flushes the temporary file, gives it the target's permissions and
    // renames it over the target. Throws FileAccessError.
    void commit();

private:
    QString m_shownName;
    QString m_targetPath;
    QString m_tempPath;
    int m_lockFd = -1; // holds the temporary file's lock while the save runs
    bool m_committed = false;
};

} // namespace bw::files
