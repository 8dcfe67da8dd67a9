#include "editor/find_dialog.h"

#include "platform/guarded_dispatch.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bw {

FindDialog::FindDialog(Mode mode, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_find(new QLineEdit), m_wholeWord(new QCheckBox),
      m_matchCase(new QCheckBox), m_up(new QRadioButton), m_down(new QRadioButton),
      m_findNext(new QPushButton)
{
    const bool replacing = mode == Mode::Replace;
    setObjectName(replacing ? QStringLiteral("ReplaceDialog") : QStringLiteral("FindDialog"));
    setWindowTitle(replacing ? tr("Replace") : tr("Find"));
    setModal(false);
    // A small tool window: no minimise or maximise, its size fixed by its controls.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    m_find->setObjectName(QStringLiteral("edFindWhat"));
    m_wholeWord->setObjectName(QStringLiteral("cbWholeWord"));
    m_wholeWord->setText(tr("Match &whole word only"));
    m_matchCase->setObjectName(QStringLiteral("cbMatchCase"));
    m_matchCase->setText(tr("Match &case"));
    m_up->setObjectName(QStringLiteral("rbUp"));
    m_up->setText(tr("&Up"));
    m_down->setObjectName(QStringLiteral("rbDown"));
    m_down->setText(tr("&Down"));
    m_down->setChecked(true);
    m_findNext->setObjectName(QStringLiteral("btnFindNext"));
    m_findNext->setText(tr("&Find Next"));
    m_findNext->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto *fields = new QGridLayout;
    auto *findLabel = new QLabel(tr("Fi&nd what:"));
    findLabel->setBuddy(m_find);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_find, 0, 1);
    if (replacing) {
        m_replace = new QLineEdit;
        m_replace->setObjectName(QStringLiteral("edReplaceWith"));
        auto *replaceLabel = new QLabel(tr("Re&place with:"));
        replaceLabel->setBuddy(m_replace);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(m_replace, 1, 1);
    }

    auto *direction = new QGroupBox(tr("Direction"));
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);
    auto *checks = new QVBoxLayout;
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    checks->addStretch();
    auto *optionsRow = new QHBoxLayout;
    optionsRow->addLayout(checks);
    optionsRow->addWidget(direction);

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(optionsRow);
    left->addStretch();

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    if (replacing) {
        m_replaceOne = new QPushButton(tr("&Replace"));
        m_replaceOne->setObjectName(QStringLiteral("btnReplace"));
        m_replaceAll = new QPushButton(tr("Replace &All"));
        m_replaceAll->setObjectName(QStringLiteral("btnReplaceAll"));
        buttons->addWidget(m_replaceOne);
        buttons->addWidget(m_replaceAll);
        guardedConnect(m_replaceOne, &QPushButton::clicked, this, &FindDialog::clickReplace);
        guardedConnect(m_replaceAll, &QPushButton::clicked, this, &FindDialog::clickReplaceAll);
    }
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    m_find->setMinimumWidth(220);

    guardedConnect(m_findNext, &QPushButton::clicked, this, &FindDialog::clickFindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    guardedConnect(m_find, &QLineEdit::textChanged, this, &FindDialog::updateButtons);
    updateButtons();
}

QString FindDialog::findText() const
{
    return m_find->text();
}

void FindDialog::setFindText(const QString &text)
{
    m_find->setText(text);
    m_find->selectAll();
}

QString FindDialog::replaceText() const
{
    return m_replace ? m_replace->text() : QString();
}

void FindDialog::setReplaceText(const QString &text)
{
    if (m_replace)
        m_replace->setText(text);
}

FindOptions FindDialog::options() const
{
    return FindOptions{m_down->isChecked(), m_matchCase->isChecked(), m_wholeWord->isChecked()};
}

void FindDialog::setOptions(const FindOptions &options)
{
    m_down->setChecked(options.down);
    m_up->setChecked(!options.down);
    m_matchCase->setChecked(options.matchCase);
    m_wholeWord->setChecked(options.wholeWord);
}

// The buttons that search do nothing while there is nothing to find.
void FindDialog::updateButtons()
{
    const bool any = !m_find->text().isEmpty();
    m_findNext->setEnabled(any);
    if (m_replaceOne)
        m_replaceOne->setEnabled(any);
    if (m_replaceAll)
        m_replaceAll->setEnabled(any);
}

void FindDialog::clickFindNext()
{
    if (!findText().isEmpty())
        emit findNext();
}

void FindDialog::clickReplace()
{
    if (!findText().isEmpty())
        emit replace();
}

void FindDialog::clickReplaceAll()
{
    if (!findText().isEmpty())
        emit replaceAll();
}

} // namespace bw
