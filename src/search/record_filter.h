#pragma once
// RecordFilter: what the filter dialog asks for, as a predicate the table
// engine runs on each record. A record passes when every chosen field
// matches the value (exactly, at the beginning or anywhere; with or without
// regard to case) or lies in the range; "non-matching" passes the others.
// Description is compared by the text its rich text shows, not by its RTF.

#include "table/client_dataset.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace bw::search {

class DescriptionTexts;

struct RecordFilter
{
    enum class Match { Exact, Beginning, Anywhere };
    enum class Kind { Value, Range };

    QStringList fields; // the chosen fields; none means the filter passes everything
    Kind kind = Kind::Value;
    QString value;
    Match match = Match::Anywhere;
    bool caseSensitive = false;
    bool nonMatching = false;
    // Range: either end may be empty (open). Integer fields compare as numbers,
    // text fields as text (with the case setting).
    QString rangeFrom;
    QString rangeTo;

    bool isEmpty() const { return fields.isEmpty(); }
    bool comparesDescription() const;
    // True when the record the table is filtering passes. The texts of
    // descriptions come from `texts` (read and kept there), else are read
    // from the record each time.
    bool accepts(const dataset::ClientDataSet &table, DescriptionTexts *texts = nullptr) const;
    dataset::ClientDataSet::FilterPredicate
    predicate(std::shared_ptr<DescriptionTexts> texts = {}) const;
};

} // namespace bw::search
