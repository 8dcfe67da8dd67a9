#include "document/recovery_copy.h"

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

RecoveryCopy::RecoveryCopy(DocumentWindow &window, RecoveryStore &store)
    : QObject(&window), m_window(window), m_store(store)
{
    m_timer.setSingleShot(true);
    m_timer.setParent(this);
    m_timer.setObjectName(QStringLiteral("RecoveryTimer"));
    guardedConnect(&m_timer, &QTimer::timeout, this, &RecoveryCopy::write);
    using DS = dataset::ClientDataSet;
    DS *table = &window.cdsCommon();
    guardedConnect(table, &DS::dataSetChanged, this, &RecoveryCopy::schedule);
    guardedConnect(table, &DS::fieldChanged, this, &RecoveryCopy::schedule);
    guardedConnect(table, &DS::stateChanged, this, [this] {
        // A copy that waited for the table to leave its edit comes now.
        if (m_wantsTable && m_window.cdsCommon().state() == State::Browse)
            QMetaObject::invokeMethod(this, guard([this] { write(); }), Qt::QueuedConnection);
        schedule();
    });
    guardedConnect(window.editor(), &RichEdit::change, this, &RecoveryCopy::schedule);
}

void RecoveryCopy::opened(bool fromRecoveryCopy)
{
    const dataset::ClientDataSet &table = m_window.cdsCommon();
    m_openChanges = table.isActive() ? table.changeCount() : 0;
    m_recovered = fromRecoveryCopy;
}

// Worth a copy: changed since it was opened (a new window's first item is
// a change of its own, but nothing to recover).
bool RecoveryCopy::worthy() const
{
    const dataset::ClientDataSet &table = m_window.cdsCommon();
    return m_window.hasUnsavedChanges() &&
           (table.changeCount() != m_openChanges || m_window.editorModified() ||
            table.isModified() || m_recovered);
}

void RecoveryCopy::schedule()
{
    if (m_window.isClosed() || m_timer.isActive())
        return;
    if (worthy())
        m_timer.start(m_store.intervalMs());
}

void RecoveryCopy::write()
{
    if (m_window.isClosed())
        return;
    if (!worthy()) {
        remove();
        return;
    }
    dataset::ClientDataSet &table = m_window.cdsCommon();
    const QString caption = m_window.caption();
    if (m_key.isEmpty())
        m_key = m_store.newKey();
    m_store.ensureFolder();
    const QString tablePath = m_store.tablePath(m_key);
    // The table is written as posted; a pending edit is never posted for it
    // (the user is typing), its document goes into the description below.
    if (table.state() == State::Browse) {
        table.saveToFile(tablePath, dataset::ClientDataSet::FileFormat::Binary);
        m_tableWritten = true;
        m_wantsTable = false;
    } else if (!m_tableWritten && table.changeCount() == 0 && QFileInfo(caption).isFile()) {
        // Nothing posted yet: the file as it is on disk is the table.
        copyAtomically(caption, tablePath);
        m_tableWritten = true;
    } else if (!m_tableWritten && caption.startsWith(kUntitledPrefix) && table.changeCount() <= 1) {
        // A new file with only its first item posted.
        NotesTable fresh;
        fresh.createNewContent();
        fresh.cdsCommon().saveToFile(tablePath, dataset::ClientDataSet::FileFormat::Binary);
        m_tableWritten = true;
    } else {
        // Posted changes not in a copy yet: written when the edit ends.
        m_wantsTable = true;
    }
    if (!m_tableWritten)
        return;

    RecoveryEntry entry;
    entry.key = m_key;
    entry.fileName = caption;
    entry.time = QDateTime::currentDateTime();
    entry.pid = qint64(::getpid());
    if (m_window.editorModified() &&
        (table.state() == State::Edit || table.state() == State::Insert)) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        m_window.editor()->saveToStream(&buffer, StreamFormat::Rtf);
        entry.hasEditorText = true;
        entry.editorRtf = buffer.data();
        entry.editorItem = table.asInteger(kFieldId);
    }
    m_store.writeInfo(entry);
}

void RecoveryCopy::remove()
{
    m_timer.stop();
    if (!m_key.isEmpty())
        m_store.remove(m_key);
    m_tableWritten = false;
    m_wantsTable = false;
}

void RecoveryCopy::saved()
{
    m_openChanges = m_window.cdsCommon().changeCount();
    m_recovered = false;
    if (!m_window.hasUnsavedChanges())
        remove();
}

void RecoveryCopy::load(const RecoveryEntry &entry, dataset::ClientDataSet &to)
{
    // Every record of the copy is inserted into a new table, so the window
    // is modified: closing asks, and Save asks where to write it.
    NotesTable source;
    source.loadFromFile(entry.tablePath);
    dataset::ClientDataSet &from = source.cdsCommon();
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
