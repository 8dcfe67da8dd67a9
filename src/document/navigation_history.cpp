#include "document/navigation_history.h"

namespace bw::notes {

QString NavigationHistory::entryText(const QString &nodeText, int position)
{
    return nodeText + QString::number(position);
}

void NavigationHistory::visit(const QString &text)
{
    int found = -1;
    for (int i = 0; i < m_entries.size() && found < 0; ++i)
        if (m_entries.at(i).compare(text, Qt::CaseInsensitive) == 0)
            found = i;
    if (found >= 0) {
        m_position = found;
        return;
    }
    if (m_position >= 0 && m_position < m_entries.size() - 1)
        m_entries.erase(m_entries.begin() + m_position + 1, m_entries.end());
    m_entries.append(text);
    m_position = int(m_entries.size()) - 1;
}

std::optional<QString> NavigationHistory::backEntry() const
{
    if (!canGoBack())
        return std::nullopt;
    return m_entries.at(m_position - 1);
}

std::optional<QString> NavigationHistory::forwardEntry() const
{
    if (!canGoForward())
        return std::nullopt;
    return m_entries.at(m_position + 1);
}

} // namespace bw::notes
