#include "editor/display_formatter.h"

#include "editor/link_finder.h"
#include "platform/guarded_dispatch.h"
#include "rtf/text_properties.h"

#include <QTextBlock>
#include <QTextFragment>

#include <vector>

namespace bw {

DisplayFormatter::DisplayFormatter(QObject *parent)
    : QSyntaxHighlighter(parent), m_disabled(Qt::gray), m_link(Qt::blue)
{
}

void DisplayFormatter::setLinksEnabled(bool enabled)
{
    if (m_links == enabled)
        return;
    m_links = enabled;
    rehighlight();
}

void DisplayFormatter::setColors(const QColor &disabledText, const QColor &link)
{
    if (m_disabled == disabledText && m_link == link)
        return;
    m_disabled = disabledText;
    m_link = link;
    rehighlight();
}

QTextCharFormat DisplayFormatter::hiddenFormat()
{
    // A tiny font whose letters advance by 0 % of their width: no room
    // horizontally or vertically, and nothing drawn.
    QTextCharFormat format;
    format.setFontPointSize(0.01);
    format.setFontLetterSpacingType(QFont::PercentageSpacing);
    format.setFontLetterSpacing(0);
    format.setForeground(Qt::transparent);
    format.setFontUnderline(false);
    format.setFontStrikeOut(false);
    format.setBackground(Qt::transparent);
    return format;
}

QTextCharFormat DisplayFormatter::formatFor(quint8 flags) const
{
    if (flags & Hidden)
        return hiddenFormat();
    QTextCharFormat format;
    if (flags & Link) {
        format.setFontUnderline(true);
        format.setForeground(m_link);
    }
    if (flags & Disabled)
        format.setForeground(m_disabled);
    return format;
}

void DisplayFormatter::highlightBlock(const QString &text)
{
    // Called from the document's layout: nothing may be thrown back into it.
    guarded([&] { formatBlock(text); });
}

void DisplayFormatter::formatBlock(const QString &text)
{
    const QTextBlock block = currentBlock();
    if (m_formatted)
        m_formatted(block.blockNumber());
    std::vector<quint8> flags;
    const auto mark = [&](int start, int length, quint8 flag) {
        if (flags.empty())
            flags.assign(text.size(), 0);
        for (int i = qMax(0, start); i < qMin(int(text.size()), start + length); ++i)
            flags[i] |= flag;
    };
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const int start = fragment.position() - block.position();
        if (format.boolProperty(rtf::Hidden))
            mark(start, fragment.length(), Hidden);
        if (format.boolProperty(rtf::Disabled))
            mark(start, fragment.length(), Disabled);
    }
    if (m_links) {
        for (const LinkRange &link : findLinks(text))
            mark(link.start, link.length, Link);
    }
    for (int i = 0; i < int(flags.size());) {
        int end = i + 1;
        while (end < int(flags.size()) && flags[end] == flags[i])
            ++end;
        if (flags[i])
            setFormat(i, end - i, formatFor(flags[i]));
        i = end;
    }
}

} // namespace bw
