#include "search/record_filter.h"

#include "notes/notes_table.h"
#include "search/description_texts.h"

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

QString textOf(const ClientDataSet &table, const QString &field, DescriptionTexts *texts)
{
    if (field != notes::kFieldDescription)
        return table.asString(field);
    return texts ? texts->textOf(table) : descriptionText(table.asBytes(field));
}

bool inRange(const ClientDataSet &table, const QString &field, const RecordFilter &f,
             DescriptionTexts *texts)
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
    const QString text = textOf(table, field, texts);
    if (!f.rangeFrom.isEmpty() && text.compare(f.rangeFrom, cs) < 0)
        return false;
    return f.rangeTo.isEmpty() || text.compare(f.rangeTo, cs) <= 0;
}

} // namespace

bool RecordFilter::comparesDescription() const
{
    return fields.contains(notes::kFieldDescription);
}

bool RecordFilter::accepts(const ClientDataSet &table, DescriptionTexts *texts) const
{
    if (fields.isEmpty())
        return true;
    bool all = true;
    for (const QString &field : fields) {
        const bool match = kind == Kind::Range ? inRange(table, field, *this, texts)
                                               : matchesValue(textOf(table, field, texts), *this);
        if (!match) {
            all = false;
            break;
        }
    }
    return all != nonMatching;
}

ClientDataSet::FilterPredicate
RecordFilter::predicate(std::shared_ptr<DescriptionTexts> texts) const
{
    return [filter = *this, texts = std::move(texts)](const ClientDataSet &table) {
        return filter.accepts(table, texts.get());
    };
}

} // namespace bw::search
