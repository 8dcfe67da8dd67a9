#include "search/description_texts.h"

#include "notes/notes_table.h"
#include "rtf/rtf.h"
#include "rtf/rtf_text.h"

#include <QStringEncoder>
#include <algorithm>

namespace bw::search {

QString descriptionText(const QByteArray &value)
{
    if (rtf::looksLikeRtf(value)) {
        try {
            return rtf::rtfText(value);
        } catch (const rtf::RtfError &) {
            // Not RTF after all: the text box shows the value as it is.
        }
    }
    return QString::fromUtf8(value);
}

const DescriptionTexts::Entry *DescriptionTexts::entryOf(quint64 id) const
{
    if (id < m_firstId || id - m_firstId >= m_entries.size())
        return nullptr;
    const Entry &entry = m_entries[size_t(id - m_firstId)];
    return entry.offset >= 0 ? &entry : nullptr;
}

// Record ids only grow while a table is open, and a table's records come
// with ids in a row: the entries stay one dense vector.
DescriptionTexts::Entry &DescriptionTexts::place(quint64 id)
{
    if (m_entries.empty())
        m_firstId = id;
    if (id < m_firstId) {
        m_entries.insert(m_entries.begin(), size_t(m_firstId - id), Entry{});
        m_firstId = id;
    }
    if (id - m_firstId >= m_entries.size())
        m_entries.resize(size_t(id - m_firstId + 1));
    return m_entries[size_t(id - m_firstId)];
}

QString DescriptionTexts::keep(quint64 id, const QByteArray &value)
{
    const QString text = descriptionText(value);
    if (id == 0)
        return text; // a record being inserted: no record to keep it for yet
    Entry &entry = place(id);
    if (entry.offset < 0)
        ++m_kept;
    // Encoded straight into the buffer, with no copy on the way.
    QStringEncoder utf8(QStringEncoder::Utf8);
    const qsizetype start = m_buffer.size();
    const qsizetype room = utf8.requiredSpace(text.size());
    if (m_buffer.capacity() < start + room)
        m_buffer.reserve(std::max(start + room, m_buffer.capacity() * 2));
    m_buffer.resize(start + room);
    char *end = utf8.appendToBuffer(m_buffer.data() + start, text);
    m_buffer.resize(end - m_buffer.constData());
    entry.offset = start;
    entry.length = qint32(m_buffer.size() - start);
    return text;
}

QString DescriptionTexts::textOf(const dataset::ClientDataSet &table)
{
    const quint64 id =
        table.state() == dataset::ClientDataSet::State::Insert ? 0 : table.bookmark().id;
    if (const Entry *entry = entryOf(id))
        return QString::fromUtf8(m_buffer.constData() + entry->offset, entry->length);
    return keep(id, table.asBytes(notes::kFieldDescription));
}

int DescriptionTexts::missing(const dataset::ClientDataSet &table) const
{
    int count = 0;
    for (const dataset::ClientDataSet::Bookmark record : table.storedBookmarks())
        count += entryOf(record.id) ? 0 : 1;
    return count;
}

// In stored order, whatever the order shown: the descriptions left in the
// file are read from one place after the other.
bool DescriptionTexts::read(const dataset::ClientDataSet &table, const Progress &progress)
{
    const std::vector<dataset::ClientDataSet::Bookmark> records = table.storedBookmarks();
    int total = 0;
    for (const dataset::ClientDataSet::Bookmark record : records)
        total += entryOf(record.id) ? 0 : 1;
    // One check of the file for the whole walk instead of one per value.
    dataset::FileReadOperation reads(table);
    int done = 0;
    for (const dataset::ClientDataSet::Bookmark record : records) {
        if (entryOf(record.id))
            continue;
        keep(record.id, table.fieldValueOf(record, notes::kFieldDescription).toByteArray());
        if (++done % kProgressStep == 0 && progress && !progress(done, total))
            return false;
    }
    try {
        reads.finish();
    } catch (...) {
        // Another program changed the file meanwhile: what was read may not
        // be what the table holds.
        clear();
        throw;
    }
    return true;
}

void DescriptionTexts::forget(dataset::ClientDataSet::Bookmark record)
{
    if (entryOf(record.id)) {
        m_entries[size_t(record.id - m_firstId)].offset = -1;
        --m_kept;
    }
}

void DescriptionTexts::clear()
{
    m_buffer = QByteArray();
    m_entries = {};
    m_kept = 0;
}

} // namespace bw::search
