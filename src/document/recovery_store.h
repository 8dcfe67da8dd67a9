#pragma once
// Recovery copies: while a document window has unsaved changes it writes, at
// most once per interval (60 seconds), a copy of its table and of the
// editor's unposted document into $XDG_STATE_HOME/bramblewick/recovery/
// (~/.local/state when the variable is unset), through the same atomic write
// as saving. A copy is removed when its window is saved or closed. Copies
// left by a copy of the program that is no longer running are offered at the
// next start (see docs/crash-recovery.md).

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace bw::notes {

struct RecoveryEntry
{
    QString key;      // names the copy's files: <key>.cds and <key>.info
    QString fileName; // the caption of the window it came from
    QDateTime time;   // when the copy was written
    qint64 pid = 0;   // the process that wrote it
    QString tablePath;
    // The editor's document that was not yet stored into its item.
    bool hasEditorText = false;
    qint32 editorItem = 0; // the ID of the item the editor showed
    QByteArray editorRtf;
};

class RecoveryStore
{
public:
    static constexpr int kDefaultIntervalMs = 60000;

    // $XDG_STATE_HOME/bramblewick/recovery, or ~/.local/state/bramblewick/recovery.
    static QString defaultFolder();

    explicit RecoveryStore(QString folder = defaultFolder(), int intervalMs = kDefaultIntervalMs);

    QString folder() const { return m_folder; }
    int intervalMs() const { return m_intervalMs; }
    void setIntervalMs(int ms) { m_intervalMs = ms; }

    // A key no other window of any process uses: the process id and a number.
    QString newKey();
    QString tablePath(const QString &key) const;
    // Creates the folder when needed; throws dataset::FileAccessError.
    void ensureFolder() const;
    // Writes the entry's description (the table copy is written by the
    // window, to tablePath(key)), atomically. Throws dataset::FileAccessError.
    void writeInfo(const RecoveryEntry &entry) const;
    // Removes both files of the copy; no error when they are gone.
    void remove(const QString &key) const;
    // The complete copies (description and table) written by a process that
    // is no longer running, oldest first.
    QList<RecoveryEntry> pending() const;

private:
    QString m_folder;
    int m_intervalMs;
    int m_nextNumber = 1;
};

} // namespace bw::notes
