#include "editor/link_finder.h"

#include <QRegularExpression>

namespace bw {

namespace {

const QRegularExpression &linkPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral(R"((?<![\w@.])(?:(?:https?|ftp|file|mailto|news|nntp|telnet|gopher|wais|)"
                       R"(prospero|notes):[^\s<>"]+|www\.[^\s<>"]+))"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

// Punctuation that ends a sentence is not part of the link before it. The
// link is searched for an opening bracket once, not once per character
// trimmed: a long run of closing brackets stays linear.
int trimmedLength(const QString &text, int start, int length)
{
    const bool opens = QStringView(text).mid(start, length).contains(u'(');
    while (length > 0) {
        const QChar last = text.at(start + length - 1);
        if (QStringLiteral(".,;:!?'").contains(last))
            --length;
        else if (last == u')' && !opens)
            --length;
        else
            break;
    }
    return length;
}

} // namespace

QList<LinkRange> findLinks(const QString &text)
{
    QList<LinkRange> links;
    if (!text.contains(u':') && !text.contains(QLatin1String("www."), Qt::CaseInsensitive))
        return links;
    auto it = linkPattern().globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        const int length = trimmedLength(text, match.capturedStart(), match.capturedLength());
        // A bare scheme ("http:") is no link.
        if (length > 0 && !text.mid(match.capturedStart(), length).endsWith(u':'))
            links.append({int(match.capturedStart()), length});
    }
    return links;
}

} // namespace bw
