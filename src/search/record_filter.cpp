#include "search/record_filter.h"

namespace bw::search {

namespace {

using dataset::ClientDataSet;
using dataset::FieldType;

bool matchesValue(const QString &text, const RecordFilter &f)
{
    const Qt::CaseSensitivity cs = f.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    switch (f.match) {
    case RecordFilter::Match::Exact:
        return text.compare(f.value, cs) == 0;
    case RecordFilter::Match::Beginning:
        return text.startsWith(f.value, cs);
    case RecordFilter::Match::Anywhere:
        return text.contains(f.value, cs);
    }
    return false;
}

bool inRange(const ClientDataSet &table, const QString &field, const RecordFilter &f)
{
    if (table.isNull(field))
        return false;
    if (table.fieldDef(field).type == FieldType::Integer) {
        const qint64 number = table.asInteger(field);
        bool ok = false;
        const qint64 from = f.rangeFrom.trimmed().toLongLong(&ok);
        if (ok && number < from)
            return false;
        const qint64 to = f.rangeTo.trimmed().toLongLong(&ok);
        return !(ok && number > to);
    }
    const Qt::CaseSensitivity cs = f.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString text = table.asString(field);
    if (!f.rangeFrom.isEmpty() && text.compare(f.rangeFrom, cs) < 0)
        return false;
    return f.rangeTo.isEmpty() || text.compare(f.rangeTo, cs) <= 0;
}

} // namespace

bool RecordFilter::accepts(const ClientDataSet &table) const
{
    if (fields.isEmpty())
        return true;
    bool all = true;
    for (const QString &field : fields) {
        const bool match = kind == Kind::Range ? inRange(table, field, *this)
                                               : matchesValue(table.asString(field), *this);
        if (!match) {
            all = false;
            break;
        }
    }
    return all != nonMatching;
}

ClientDataSet::FilterPredicate RecordFilter::predicate() const
{
    return [filter = *this](const ClientDataSet &table) { return filter.accepts(table); };
}

} // namespace bw::search
