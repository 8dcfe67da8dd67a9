#include "search/db_navigator.h"

#include "table/client_dataset.h"

#include <QGridLayout>
#include <QToolButton>

namespace bw::search {

const QList<RecordNavigator::ButtonDef> &RecordNavigator::buttonDefs()
{
    static const QList<ButtonDef> defs = {
        {"wwDBNavigator1First", "Move to first record", "", true, false},
        {"wwDBNavigator1PriorPage", "Move backward 10 records", "", true, false},
        {"wwDBNavigator1Prior", "Move to prior record", "", true, false},
        {"wwDBNavigator1Next", "Move to next record", "", true, false},
        {"wwDBNavigator1NextPage", "Move forward 10 records", "", true, false},
        {"wwDBNavigator1Last", "Move to last record", "", true, false},
        // Insert and Delete act once per press: a held Delete would ask and
        // delete again and again.
        {"wwDBNavigator1Insert", "Insert", "Inserts new record", false, false},
        {"wwDBNavigator1Delete", "Delete", "Deletes current record", false, false},
        {"wwDBNavigator1Edit", "Edit", "Edit current record", true, false},
        {"wwDBNavigator1Post", "Post", "Post changes of current record", true, false},
        {"wwDBNavigator1Cancel", "Cancel", "Cancel changes made to current record", true, false},
        {"wwDBNavigator1Refresh", "Refresh", "Refresh the contents of the dataset", true, false},
        {"wwDBNavigator1SaveBookmark", "Bookmark current record", "", true, true},
        {"wwDBNavigator1RestoreBookmark", "Go back to saved bookmark", "", true, true},
        // The dialogs and Save ask questions: a held button must not open them again.
        {"wwDBNavigator1FilterDialog", "Filter the dataset", "", false, true},
        {"wwDBNavigator1RecordViewDialog", "View current record", "", false, true},
        {"wwDBNavigator1LocateDialog", "Locate a specific record", "", false, true},
        {"wwDBNavigator1SearchDialog", "Search the dataset", "", false, true},
        {"wwDBNavBtnSave", "Apply Changes", "Save changes to the dataset.", false, true},
        {"wwDBNavBtnCancel", "Undo Last Change", "Undo previous change from the dataset.", true,
         true},
        {"wwDBNavBtnCancelAll", "Undo All Change", "Undo all changes from the dataset.", false,
         true},
        {"wwDBNavBtnFind", "Find", "Finds text in the dataset.", false, true},
        {"wwDBNavBtnFindNext", "Find Next", "Repeats the last find.", false, true},
    };
    return defs;
}

RecordNavigator::RecordNavigator(const QList<QIcon> &icons, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("wwDBNavigator1"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    int column[2] = {0, 0};
    const QList<ButtonDef> &defs = buttonDefs();
    for (int i = 0; i < defs.size(); ++i) {
        const ButtonDef &def = defs[i];
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(def.name));
        b->setAutoRaise(true);
        b->setIconSize(QSize(16, 16));
        if (i < icons.size())
            b->setIcon(icons[i]);
        const QString tip = QString::fromUtf8(def.toolTip);
        const QString status = QString::fromUtf8(def.statusText);
        b->setToolTip(tip);
        b->setStatusTip(status.isEmpty() ? tip : status);
        // The hint as one text: tool tip, "|" and the status text.
        b->setProperty("hint", status.isEmpty() ? tip : tip + QLatin1Char('|') + status);
        b->setText(tip);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setAutoRepeat(def.repeats);
        b->setAutoRepeatDelay(kRepeatDelay);
        b->setAutoRepeatInterval(kRepeatInterval);
        const int row = def.secondRow ? 1 : 0;
        grid->addWidget(b, row, column[row]++);
        m_buttons << b;
    }
    grid->setColumnStretch(std::max(column[0], column[1]), 1);
}

QToolButton *RecordNavigator::button(const QString &name) const
{
    for (QToolButton *b : m_buttons)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

void RecordNavigator::updateButtons(const dataset::ClientDataSet &table)
{
    using State = dataset::ClientDataSet::State;
    const bool active = table.isActive();
    const State state = table.state();
    const bool editing = state == State::Edit || state == State::Insert;
    const bool browsing = active && !editing;
    const int recNo = table.recNo();
    const int count = table.recordCount();
    // Moving posts a pending edit first, so the moving buttons stay on while editing.
    const bool back = active && state != State::Insert && recNo > 1;
    const bool forward = active && state != State::Insert && recNo < count;
    const bool canModify = table.canModify();
    auto enable = [this](const char *name, bool on) {
        if (QToolButton *b = button(QLatin1String(name)))
            b->setEnabled(on);
    };
    enable("wwDBNavigator1First", back);
    enable("wwDBNavigator1PriorPage", back);
    enable("wwDBNavigator1Prior", back);
    enable("wwDBNavigator1Next", forward);
    enable("wwDBNavigator1NextPage", forward);
    enable("wwDBNavigator1Last", forward);
    enable("wwDBNavigator1Insert", canModify);
    enable("wwDBNavigator1Delete", canModify && count > 0);
    enable("wwDBNavigator1Edit", canModify && !editing && count > 0);
    enable("wwDBNavigator1Post", canModify && editing);
    enable("wwDBNavigator1Cancel", canModify && editing);
    enable("wwDBNavigator1Refresh", browsing);
    enable("wwDBNavigator1SaveBookmark", browsing && count > 0);
    enable("wwDBNavigator1RestoreBookmark", browsing && count > 0);
    enable("wwDBNavigator1FilterDialog", browsing);
    enable("wwDBNavigator1RecordViewDialog", active && count > 0);
    enable("wwDBNavigator1LocateDialog", browsing);
    enable("wwDBNavigator1SearchDialog", browsing);
}

} // namespace bw::search
