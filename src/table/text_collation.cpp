#include "table/text_collation.h"

#include <QLocale>

namespace bw::dataset {

const QCollator &textCollator()
{
    thread_local QCollator collator{QLocale()};
    thread_local QString localeName = QLocale().name();
    const QString current = QLocale().name();
    if (current != localeName) {
        collator = QCollator(QLocale());
        localeName = current;
    }
    return collator;
}

} // namespace bw::dataset
