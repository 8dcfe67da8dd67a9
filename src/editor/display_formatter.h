#pragma once
// Display-only formats laid over the document without changing it (the way
// a syntax highlighter colours code): hidden text is shrunk to nothing and
// made transparent, disabled text takes the disabled text colour, and
// recognised links are underlined in the link colour. The document and its
// RTF keep the text and its own formats untouched.

#include <QColor>
#include <QSyntaxHighlighter>

#include <functional>

namespace bw {

class DisplayFormatter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    explicit DisplayFormatter(QObject *parent);

    void setLinksEnabled(bool enabled);
    bool linksEnabled() const { return m_links; }
    void setColors(const QColor &disabledText, const QColor &link);
    // Called with the number of every block whose display formats are redone.
    void setBlockFormatted(std::function<void(int)> callback) { m_formatted = std::move(callback); }

    // The format that makes hidden text take no room.
    static QTextCharFormat hiddenFormat();

protected:
    void highlightBlock(const QString &text) override;

private:
    enum Flag : quint8 { Hidden = 1, Disabled = 2, Link = 4 };
    QTextCharFormat formatFor(quint8 flags) const;
    void formatBlock(const QString &text);

    bool m_links = true;
    QColor m_disabled;
    QColor m_link;
    std::function<void(int)> m_formatted;
};

} // namespace bw
