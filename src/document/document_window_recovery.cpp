// Recovery copies of the window (notes/recovery_store.h): written at most
// once per interval while the window has unsaved changes, removed when it is
// saved or closed, and loaded into a new untitled window after a crash.

#include "document/document_window.h"

#include "document/document_strings.h"
#include "document/frame_services.h"
#include "document/recovery_store.h"
#include "editor/rich_edit.h"
#include "files/atomic_file.h"
#include "notes/notes_strings.h"
#include "platform/guarded_dispatch.h"
#include "table/dataset_error.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace bw::notes {

namespace {

using State = dataset::ClientDataSet::State;

const QString kRecoveredItemName = QStringLiteral("Recovered text");

// Copies a file through the atomic write of saving.
void copyAtomically(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw dataset::FileAccessError(
            QStringLiteral("Cannot read the file %1: %2").arg(from, source.errorString()));
    files::AtomicFile target(to);
    QFile file(target.tempPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw dataset::FileAccessError(
            QStringLiteral("Cannot write the file %1: %2").arg(to, file.errorString()));
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (file.write(chunk) != chunk.size())
            throw dataset::FileAccessError(
                QStringLiteral("Cannot write the file %1: %2").arg(to, file.errorString()));
    }
    if (!file.flush())
        throw dataset::FileAccessError(
            QStringLiteral("Cannot write the file %1: %2").arg(to, file.errorString()));
    file.close();
    target.commit();
}

} // namespace

void DocumentWindow::setupRecovery()
{
    m_recovery = m_frame.recoveryStore();
    if (!m_recovery)
        return;
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setParent(this);
    m_recoveryTimer.setObjectName(QStringLiteral("RecoveryTimer"));
    guardedConnect(&m_recoveryTimer, &QTimer::timeout, this, &DocumentWindow::writeRecoveryCopy);
    using DS = dataset::ClientDataSet;
    DS *table = &cdsCommon();
    guardedConnect(table, &DS::dataSetChanged, this, &DocumentWindow::scheduleRecoveryCopy);
    guardedConnect(table, &DS::fieldChanged, this, &DocumentWindow::scheduleRecoveryCopy);
    guardedConnect(table, &DS::stateChanged, this, [this] {
        // A copy that waited for the table to leave its edit comes now.
        if (m_recoveryWantsTable && cdsCommon().state() == State::Browse)
            QMetaObject::invokeMethod(this, guard([this] { writeRecoveryCopy(); }),
                                      Qt::QueuedConnection);
        scheduleRecoveryCopy();
    });
    guardedConnect(m_editor, &RichEdit::change, this, &DocumentWindow::scheduleRecoveryCopy);
}

bool DocumentWindow::hasUnsavedChanges() const
{
    const dataset::ClientDataSet &table = m_table.cdsCommon();
    return table.isActive() && !table.isReadOnly() &&
           (table.changeCount() > 0 || m_editorModified || table.isModified());
}

// Worth a copy: changed since it was opened (a new window's first item is
// a change of its own, but nothing to recover).
bool DocumentWindow::recoveryWorthy() const
{
    const dataset::ClientDataSet &table = m_table.cdsCommon();
    return hasUnsavedChanges() && (table.changeCount() != m_recoveryOpenChanges ||
                                   m_editorModified || table.isModified() || m_recovered);
}

void DocumentWindow::scheduleRecoveryCopy()
{
    if (!m_recovery || m_closed || m_recoveryTimer.isActive())
        return;
    if (recoveryWorthy())
        m_recoveryTimer.start(m_recovery->intervalMs());
}

void DocumentWindow::writeRecoveryCopy()
{
    if (!m_recovery || m_closed)
        return;
    if (!recoveryWorthy()) {
        removeRecoveryCopy();
        return;
    }
    dataset::ClientDataSet &table = cdsCommon();
    if (m_recoveryKey.isEmpty())
        m_recoveryKey = m_recovery->newKey();
    m_recovery->ensureFolder();
    const QString tablePath = m_recovery->tablePath(m_recoveryKey);
    // The table is written as posted; a pending edit is never posted for it
    // (the user is typing), its document goes into the description below.
    if (table.state() == State::Browse) {
        table.saveToFile(tablePath, dataset::ClientDataSet::FileFormat::Binary);
        m_recoveryTableWritten = true;
        m_recoveryWantsTable = false;
    } else if (!m_recoveryTableWritten && table.changeCount() == 0 &&
               QFileInfo(m_caption).isFile()) {
        // Nothing posted yet: the file as it is on disk is the table.
        copyAtomically(m_caption, tablePath);
        m_recoveryTableWritten = true;
    } else if (!m_recoveryTableWritten && m_caption.startsWith(kUntitledPrefix) &&
               table.changeCount() <= 1) {
        // A new file with only its first item posted.
        NotesTable fresh;
        fresh.createNewContent();
        fresh.cdsCommon().saveToFile(tablePath, dataset::ClientDataSet::FileFormat::Binary);
        m_recoveryTableWritten = true;
    } else {
        // Posted changes not in a copy yet: written when the edit ends.
        m_recoveryWantsTable = true;
    }
    if (!m_recoveryTableWritten)
        return;

    RecoveryEntry entry;
    entry.key = m_recoveryKey;
    entry.fileName = m_caption;
    entry.time = QDateTime::currentDateTime();
    entry.pid = qint64(::getpid());
    if (m_editorModified && (table.state() == State::Edit || table.state() == State::Insert)) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        m_editor->saveToStream(&buffer, StreamFormat::Rtf);
        entry.hasEditorText = true;
        entry.editorRtf = buffer.data();
        entry.editorItem = table.asInteger(kFieldId);
    }
    m_recovery->writeInfo(entry);
}

void DocumentWindow::removeRecoveryCopy()
{
    m_recoveryTimer.stop();
    if (m_recovery && !m_recoveryKey.isEmpty())
        m_recovery->remove(m_recoveryKey);
    m_recoveryTableWritten = false;
    m_recoveryWantsTable = false;
}

void DocumentWindow::afterSaveForRecovery()
{
    m_recoveryOpenChanges = cdsCommon().changeCount();
    m_recovered = false;
    if (!hasUnsavedChanges())
        removeRecoveryCopy();
}

void DocumentWindow::loadRecoveryCopy(const RecoveryEntry &entry)
{
    // Every record of the copy is inserted into a new table, so the window
    // is modified: closing asks, and Save asks where to write it.
    NotesTable source;
    source.loadFromFile(entry.tablePath);
    dataset::ClientDataSet &from = source.cdsCommon();
    dataset::ClientDataSet &to = cdsCommon();
    to.close();
    to.createDataSet();
    for (from.first(); !from.eof(); from.next()) {
        to.append();
        for (const QString &field : {kFieldId, kFieldParent, kFieldName, kFieldDescription})
            to.setFieldValue(field, from.fieldValue(field));
        to.post();
    }
    if (!entry.hasEditorText)
        return;
    // The text that was being typed goes into its item, or into a new item
    // when that item had not been posted.
    if (!to.isEmpty() && to.locate(kFieldId, entry.editorItem)) {
        to.edit();
    } else {
        to.append(); // the table gives the ID
        to.setFieldValue(kFieldParent, to.fieldValue(kFieldId));
        to.setFieldValue(kFieldName, kRecoveredItemName);
    }
    to.setBytes(kFieldDescription, entry.editorRtf);
    to.post();
}

} // namespace bw::notes
