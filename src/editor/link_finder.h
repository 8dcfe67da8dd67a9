#pragma once
// Recognition of links in plain text: URLs with a known scheme and
// addresses starting with "www.", as the editor underlines and reports them.

#include <QList>
#include <QString>

namespace bw {

struct LinkRange
{
    int start = 0;
    int length = 0;
    bool operator==(const LinkRange &) const = default;
};

// Every link in the text, in order.
QList<LinkRange> findLinks(const QString &text);

} // namespace bw
