#pragma once
// The search window's navigator: two rows of flat buttons, each named after
// its button (`wwDBNavigator1First` ...), with its hint (tool tip, and the
// status text as the long hint) and its picture. Buttons that move or act
// on the current edit repeat while held (after 500 ms, then every 100 ms);
// those that ask, insert or delete act once per press. The standard buttons
// are enabled by the table's state (updateButtons); the window connects
// every button's click and enables its own buttons itself.

#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

class QToolButton;

namespace bw::dataset {
class ClientDataSet;
}

namespace bw::search {

class RecordNavigator : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kRepeatDelay = 500;
    static constexpr int kRepeatInterval = 100;
    static constexpr int kPageSize = 10;

    struct ButtonDef
    {
        const char *name;
        const char *toolTip;
        const char *statusText; // "" where there is none
        bool repeats;
        bool secondRow;
    };
    // Every button, in order.
    static const QList<ButtonDef> &buttonDefs();

    // icons: the pictures of the buttons in order (may be short).
    explicit RecordNavigator(const QList<QIcon> &icons, QWidget *parent = nullptr);

    QToolButton *button(const QString &name) const;
    QList<QToolButton *> buttons() const { return m_buttons; }

    // Enables the standard buttons from the table's state and position.
    void updateButtons(const dataset::ClientDataSet &table);

private:
    QList<QToolButton *> m_buttons;
};

} // namespace bw::search
