#pragma once
// NavigationHistory: the texts of the nodes a document window's tree has
// selected (each node's text followed by its position in the whole tree) and
// the position of the current entry, for the Back and Forward commands.

#include <QString>
#include <QStringList>
#include <optional>

namespace bw::notes {

class NavigationHistory
{
public:
    // The history text of a node: its text immediately followed by its
    // position in display order, in decimal.
    static QString entryText(const QString &nodeText, int position);

    // A node is about to be selected. A text already listed (compared without
    // regard to case) becomes current; otherwise the entries after the
    // current one are dropped and the text is appended as the current one.
    void visit(const QString &text);

    // The entry before or after the current one, if there is one.
    std::optional<QString> backEntry() const;
    std::optional<QString> forwardEntry() const;
    bool canGoBack() const { return !m_entries.isEmpty() && m_position > 0; }
    bool canGoForward() const { return !m_entries.isEmpty() && m_position < m_entries.size() - 1; }

    const QStringList &entries() const { return m_entries; }
    int position() const { return m_position; }

private:
    QStringList m_entries;
    int m_position = -1;
};

} // namespace bw::notes
