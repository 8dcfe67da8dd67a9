#pragma once
// RecoveryCopy, the recovery copy of one document window: written at most
// once per interval while the window has unsaved changes, removed when it is
// saved or closed, and loaded into a new untitled window after a crash. It
// reads the window through its public state only.

#include <QObject>
#include <QString>
#include <QTimer>

namespace bw::dataset {
class ClientDataSet;
}

namespace bw::notes {

class DocumentWindow;
class RecoveryStore;
struct RecoveryEntry;

class RecoveryCopy : public QObject
{
    Q_OBJECT
public:
    // Watches the window's table and editor for changes; `store` holds the
    // copies of every window.
    RecoveryCopy(DocumentWindow &window, RecoveryStore &store);

    // The window's file was opened (or its table made): changes count from here.
    void opened(bool fromRecoveryCopy);
    // Writes the copy now (the timer's work), or removes it when the window
    // has nothing to recover.
    void write();
    // The window was saved: the copy goes unless changes are left.
    void saved();
    // Stops the timer and removes the copy.
    void remove();

    // Fills `table` (a new, empty table) with the items of a copy, and the
    // text that was being typed into its item.
    static void load(const RecoveryEntry &entry, dataset::ClientDataSet &table);

private:
    bool worthy() const;
    void schedule();

    DocumentWindow &m_window;
    RecoveryStore &m_store;
    QTimer m_timer;
    QString m_key;               // names this window's copy; empty: none yet
    bool m_tableWritten = false; // the copy holds a table
    bool m_wantsTable = false;   // posted changes wait for the edit to end
    int m_openChanges = 0;       // the change count once opened or saved
    bool m_recovered = false;    // loaded from a recovery copy
};

} // namespace bw::notes
