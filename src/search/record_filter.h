#pragma once
// RecordFilter: what the filter dialog asks for, as a predicate the table
// engine runs on each record. A record passes when every chosen field
// matches the value (exactly, at the beginning or anywhere; with or without
// regard to case) or lies in the range; "non-matching" passes the others.

#include "table/client_dataset.h"

#include <QString>
#include <QStringList>

namespace bw::search {

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
    // True when the record the table is filtering passes.
    bool accepts(const dataset::ClientDataSet &table) const;
    dataset::ClientDataSet::FilterPredicate predicate() const;
};

} // namespace bw::search
