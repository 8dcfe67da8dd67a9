#pragma once
// DescriptionTexts: the text of each record's Description (the words its
// rich text shows, not the RTF), decoded once and kept for the filters that
// compare it. A file's descriptions may stay in the file until needed, so
// reading them all is the cost of a filter on Description; kept, a second
// filter reads none. The texts are kept compactly, as UTF-8 in one buffer.

#include "table/client_dataset.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace bw::search {

// The text of a stored Description: the body text of its RTF, or the value
// itself (UTF-8) when it is no RTF.
QString descriptionText(const QByteArray &value);

class DescriptionTexts
{
public:
    // Given how many records were read of how many, whether to go on.
    using Progress = std::function<bool(int done, int total)>;
    static constexpr int kProgressStep = 1000;

    // The text of the record the table is on, or of the record it is
    // filtering; read and kept when it is not kept yet.
    QString textOf(const dataset::ClientDataSet &table);
    // The number of records of the table, filtered out or not, whose text
    // is not kept.
    int missing(const dataset::ClientDataSet &table) const;
    // Reads and keeps the texts missing, telling `progress` every
    // kProgressStep records. False when progress stopped it; what was read
    // is kept.
    bool read(const dataset::ClientDataSet &table, const Progress &progress);

    // The record's Description changed.
    void forget(dataset::ClientDataSet::Bookmark record);
    // The table was opened, closed or changed back.
    void clear();
    int size() const { return m_kept; }

private:
    struct Entry
    {
        qint64 offset = -1; // into m_buffer; -1 when not kept
        qint32 length = 0;
    };
    const Entry *entryOf(quint64 id) const;
    Entry &place(quint64 id);
    QString keep(quint64 id, const QByteArray &value);

    QByteArray m_buffer;
    std::vector<Entry> m_entries; // record id - m_firstId -> its text
    quint64 m_firstId = 0;
    int m_kept = 0;
};

} // namespace bw::search
