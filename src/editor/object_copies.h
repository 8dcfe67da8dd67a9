#pragma once
// The copies of embedded objects handed to the desktop's programs. The
// program that edits a copy is not ours to wait for, so each copy and its
// folder are watched: when a copy's bytes differ from what the document holds,
// changed(path) is sent (a short while after the last change, so a program
// that is still writing is not read half way). Editors that save by writing a
// new file and renaming it over the copy are followed too. The copies go with
// this object, except those kept for the user.

#include "editor/embedded_object.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

namespace bw {

class ObjectCopies : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSettleMs = 250;

    explicit ObjectCopies(QObject *parent = nullptr);
    ~ObjectCopies() override;

    // Writes a copy of the object that follows `at` and watches it; returns
    // the copy's path. Throws when the copy cannot be written.
    QString add(const EmbeddedObject &object, const QTextCursor &at);

    struct Copy
    {
        QString path;
        QString name;     // the object's name
        QByteArray bytes; // the object's bytes as the document holds them
        QTextCursor at;   // just before the object; follows edits around it
        // Every version the object has had from this copy (an undo may
        // bring back an earlier one).
        QList<QByteArray> versions;
    };
    const Copy *find(const QString &path) const;
    // The copy's bytes on disk; nullopt when it cannot be read (gone while
    // a program renames a new one into place).
    std::optional<QByteArray> read(const QString &path) const;
    // The document now holds these bytes for the copy.
    void accepted(const QString &path, const QByteArray &bytes);
    // Moves the copy out of the temporary folder, where it outlives us, and
    // stops following it; returns its new path.
    QString keep(const QString &path);
    // Compares every copy with the document now, without waiting.
    void checkNow();

signals:
    void changed(const QString &path);

private:
    void watch(const Copy &copy);
    Copy *findCopy(const QString &path);

    std::unique_ptr<QTemporaryDir> m_folder;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    std::vector<Copy> m_copies;
    int m_count = 0;
};

} // namespace bw
