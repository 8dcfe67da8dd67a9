#pragma once
// The order of String fields in indexes: the collation of the user's locale
// (QLocale()), as one shared collator, so that sorting with sort keys and
// comparing two values (binary search in an index) always agree.

#include <QCollator>

namespace bw::dataset {

// The collator of the current default locale; rebuilt when that changes.
const QCollator &textCollator();

} // namespace bw::dataset
