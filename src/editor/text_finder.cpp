#include "editor/text_finder.h"

#include <QTextBlock>
#include <QTextDocument>

namespace bw {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isWholeWord(const QString &text, int index, int length)
{
    if (index > 0 && isWordChar(text.at(index - 1)))
        return false;
    const int after = index + length;
    return after >= text.size() || !isWordChar(text.at(after));
}

// The first (down) or last (up) match in `text` whose start lies in [from, to].
int matchInBlock(const QString &text, const QString &needle, int from, int to,
                 const FindOptions &options)
{
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (options.down) {
        for (int i = text.indexOf(needle, from, cs); i >= 0 && i <= to;
             i = text.indexOf(needle, i + 1, cs)) {
            if (!options.wholeWord || isWholeWord(text, i, needle.size()))
                return i;
        }
    } else {
        to = qMin(to, int(text.size() - needle.size()));
        for (int i = to < 0 ? -1 : text.lastIndexOf(needle, to, cs); i >= from;
             i = i > 0 ? text.lastIndexOf(needle, i - 1, cs) : -1) {
            if (!options.wholeWord || isWholeWord(text, i, needle.size()))
                return i;
        }
    }
    return -1;
}

int findDown(const QTextDocument *document, const QString &needle, int start, int limit,
             const FindOptions &options)
{
    for (QTextBlock block = document->findBlock(start); block.isValid(); block = block.next()) {
        const int base = block.position();
        if (base + needle.size() > limit)
            break;
        const int from = qMax(0, start - base);
        const int to = limit - needle.size() - base;
        const int found = matchInBlock(block.text(), needle, from, to, options);
        if (found >= 0)
            return base + found;
    }
    return -1;
}

int findUp(const QTextDocument *document, const QString &needle, int start, int limit,
           const FindOptions &options)
{
    for (QTextBlock block = document->findBlock(start); block.isValid(); block = block.previous()) {
        const int base = block.position();
        if (base + block.length() < limit)
            break;
        const int from = qMax(0, limit - base);
        const int to = start - needle.size() - base;
        const int found = matchInBlock(block.text(), needle, from, to, options);
        if (found >= 0)
            return base + found;
    }
    return -1;
}

} // namespace

int findInDocument(const QTextDocument *document, const QString &text, int start, int limit,
                   const FindOptions &options)
{
    if (text.isEmpty())
        return -1;
    const int length = document->characterCount() - 1;
    start = qBound(0, start, length);
    if (options.down) {
        limit = limit < 0 || limit > length ? length : limit;
        return findDown(document, text, start, limit, options);
    }
    limit = qBound(0, limit, start);
    return findUp(document, text, start, limit, options);
}

} // namespace bw
