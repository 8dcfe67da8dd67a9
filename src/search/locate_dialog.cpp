#include "search/locate_dialog.h"

#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bw::search {

using dataset::ClientDataSet;

LocateDialog::LocateDialog(ClientDataSet &table, PromptService &prompts)
    : m_table(table), m_prompts(prompts)
{
}

ClientDataSet::LocateOptions LocateDialog::options() const
{
    ClientDataSet::LocateOptions o;
    if (MatchType == Match::Beginning)
        o |= ClientDataSet::PartialKey;
    if (MatchType == Match::Anywhere)
        o |= ClientDataSet::PartialAnywhere;
    if (!CaseSensitive)
        o |= ClientDataSet::CaseInsensitive;
    return o;
}

QStringList LocateDialog::offeredFields() const
{
    QStringList names;
    // Every field type the table knows is text or a number; a memo is offered.
    for (const dataset::FieldDef &def : m_table.fieldDefs())
        names << def.name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

bool LocateDialog::findFirst()
{
    return m_table.locate(SearchField, FieldValue, options());
}

bool LocateDialog::findNext()
{
    return m_table.locateNext(SearchField, FieldValue, options());
}

bool LocateDialog::execute(QWidget *parent, bool defaultNext)
{
    LocateDialogForm form(*this, defaultNext, parent);
    return m_prompts.exec(&form) == QDialog::Accepted;
}

LocateDialogForm::LocateDialogForm(LocateDialog &locate, bool defaultNext, QWidget *parent)
    : QDialog(parent), m_locate(locate)
{
    setObjectName(QStringLiteral("wwLocateDialog"));
    setWindowTitle(locate.Caption);
    setMinimumWidth(380);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("cbField"));
    m_field->addItems(locate.offeredFields());
    m_field->setCurrentText(locate.SearchField);
    m_value = new QLineEdit(locate.FieldValue, this);
    m_value->setObjectName(QStringLiteral("edValue"));
    form->addRow(tr("Field &Value:"), m_value);
    form->addRow(tr("&Search Field:"), m_field);
    layout->addLayout(form);
    auto *group = new QGroupBox(tr("Match Type"), this);
    auto *groupLayout = new QVBoxLayout(group);
    const QString captions[3] = {QStringLiteral("&Exact Match"),
                                 QStringLiteral("&Partial Match at Beginning"),
                                 QStringLiteral("Partial Match &Anywhere")};
    for (int i = 0; i < 3; ++i) {
        m_match[i] = new QRadioButton(captions[i], group);
        groupLayout->addWidget(m_match[i]);
    }
    m_match[int(locate.MatchType)]->setChecked(true);
    layout->addWidget(group);
    m_case = new QCheckBox(QStringLiteral("&Case-sensitive"), this);
    m_case->setChecked(locate.CaseSensitive);
    layout->addWidget(m_case);
    auto *buttons = new QDialogButtonBox(this);
    m_first = buttons->addButton(QStringLiteral("Fi&rst"), QDialogButtonBox::ActionRole);
    m_next = buttons->addButton(QStringLiteral("&Next"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    m_first->setAutoDefault(false);
    m_next->setAutoDefault(false);
    (defaultNext ? m_next : m_first)->setDefault(true);
    layout->addWidget(buttons);
    guardedConnect(m_first, &QPushButton::clicked, this, [this] { search(true); });
    guardedConnect(m_next, &QPushButton::clicked, this, [this] { search(false); });
    guardedConnect(buttons, &QDialogButtonBox::rejected, this, [this] {
        takeSettings();
        reject();
    });
    m_value->setFocus();
}

QRadioButton *LocateDialogForm::matchButton(LocateDialog::Match match) const
{
    return m_match[int(match)];
}

void LocateDialogForm::takeSettings()
{
    m_locate.SearchField = m_field->currentText();
    m_locate.FieldValue = m_value->text();
    for (int i = 0; i < 3; ++i)
        if (m_match[i]->isChecked())
            m_locate.MatchType = LocateDialog::Match(i);
    m_locate.CaseSensitive = m_case->isChecked();
}

// An error of the search (a field that is gone) must not leave the modal
// dialog by an exception: it is reported like a failed search.
void LocateDialogForm::search(bool fromFirst)
{
    takeSettings();
    bool found = false;
    QString failure;
    try {
        found = fromFirst ? m_locate.findFirst() : m_locate.findNext();
    } catch (const dataset::DataSetError &error) {
        failure = error.message();
    }
    if (found) {
        accept();
        return;
    }
    if (!failure.isEmpty()) {
        m_locate.prompts().message(this, windowTitle(), failure, PromptService::Icon::Error,
                                   PromptService::Ok);
        return;
    }
    m_locate.prompts().message(this, QStringLiteral("Information"),
                               fromFirst ? kNoMatchesFound : kNoMoreMatchesFound,
                               PromptService::Icon::Information, PromptService::Ok);
}

} // namespace bw::search
