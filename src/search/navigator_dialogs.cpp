#include "search/navigator_dialogs.h"

#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bw::search {

using dataset::ClientDataSet;

// ------------------------------------------------------------------ filter

FilterDialog::FilterDialog(const QStringList &fields, const RecordFilter &current, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("wwFilterDialog"));
    setWindowTitle(QStringLiteral("Super Search"));
    auto *layout = new QGridLayout(this);
    m_fields = new QListWidget(this);
    m_fields->setObjectName(QStringLiteral("lbFields"));
    for (const QString &field : fields) {
        auto *item = new QListWidgetItem(field, m_fields);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(current.fields.contains(field) ? Qt::Checked : Qt::Unchecked);
    }
    auto *fieldColumn = new QVBoxLayout;
    auto *fieldLabel = new QLabel(tr("Search in &fields:"), this);
    fieldLabel->setBuddy(m_fields);
    fieldColumn->addWidget(fieldLabel);
    fieldColumn->addWidget(m_fields, 1);
    layout->addLayout(fieldColumn, 0, 0, 4, 1);

    auto *valueGroup = new QGroupBox(this);
    auto *valueLayout = new QFormLayout(valueGroup);
    m_byValue = new QRadioButton(tr("Match a &value"), valueGroup);
    m_value = new QLineEdit(current.value, valueGroup);
    valueLayout->addRow(m_byValue);
    valueLayout->addRow(tr("Value:"), m_value);
    const QString captions[3] = {tr("E&xact match"), tr("Match at &beginning"),
                                 tr("Match &anywhere")};
    auto *matchGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_match[i] = new QRadioButton(captions[i], valueGroup);
        matchGroup->addButton(m_match[i]);
        valueLayout->addRow(m_match[i]);
    }
    m_match[int(current.match)]->setChecked(true);
    layout->addWidget(valueGroup, 0, 1, 2, 1);

    auto *rangeGroup = new QGroupBox(this);
    auto *rangeLayout = new QFormLayout(rangeGroup);
    m_range = new QRadioButton(tr("Values in a &range"), rangeGroup);
    m_from = new QLineEdit(current.rangeFrom, rangeGroup);
    m_to = new QLineEdit(current.rangeTo, rangeGroup);
    rangeLayout->addRow(m_range);
    rangeLayout->addRow(tr("From:"), m_from);
    rangeLayout->addRow(tr("To:"), m_to);
    layout->addWidget(rangeGroup, 2, 1);
    auto *kindGroup = new QButtonGroup(this);
    kindGroup->addButton(m_byValue);
    kindGroup->addButton(m_range);
    (current.kind == RecordFilter::Kind::Range ? m_range : m_byValue)->setChecked(true);

    m_case = new QCheckBox(tr("&Case-sensitive"), this);
    m_case->setChecked(current.caseSensitive);
    m_nonMatching = new QCheckBox(tr("Show &non-matching records"), this);
    m_nonMatching->setChecked(current.nonMatching);
    auto *checks = new QVBoxLayout;
    checks->addWidget(m_case);
    checks->addWidget(m_nonMatching);
    layout->addLayout(checks, 3, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *clear = buttons->addButton(tr("C&lear"), QDialogButtonBox::ResetRole);
    clear->setObjectName(QStringLiteral("btnClear"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    guardedConnect(clear, &QPushButton::clicked, this, [this] { done(Cleared); });
    layout->addWidget(buttons, 4, 0, 1, 2);
}

RecordFilter FilterDialog::filter() const
{
    RecordFilter f;
    for (int i = 0; i < m_fields->count(); ++i)
        if (m_fields->item(i)->checkState() == Qt::Checked)
            f.fields << m_fields->item(i)->text();
    f.kind = m_range->isChecked() ? RecordFilter::Kind::Range : RecordFilter::Kind::Value;
    f.value = m_value->text();
    for (int i = 0; i < 3; ++i)
        if (m_match[i]->isChecked())
            f.match = RecordFilter::Match(i);
    f.caseSensitive = m_case->isChecked();
    f.nonMatching = m_nonMatching->isChecked();
    f.rangeFrom = m_from->text();
    f.rangeTo = m_to->text();
    return f;
}

// ------------------------------------------------------------------ record view

RecordViewDialog::RecordViewDialog(ClientDataSet &table, PromptService &prompts, QWidget *parent)
    : QDialog(parent), m_table(table), m_prompts(prompts)
{
    setObjectName(QStringLiteral("wwRecordViewDialog"));
    setWindowTitle(tr("Record View"));
    resize(460, 360);
    auto *form = new QFormLayout(this);
    for (const dataset::FieldDef &def : table.fieldDefs()) {
        const QString text = table.asString(def.name);
        m_original.insert(def.name, text);
        if (def.type == dataset::FieldType::Memo) {
            auto *memo = new QPlainTextEdit(text, this);
            memo->setObjectName(QStringLiteral("ed") + def.name);
            m_memos.insert(def.name, memo);
            form->addRow(def.name + QLatin1Char(':'), memo);
        } else {
            auto *line = new QLineEdit(text, this);
            line->setObjectName(QStringLiteral("ed") + def.name);
            if (def.type == dataset::FieldType::String)
                line->setMaxLength(def.size);
            m_lines.insert(def.name, line);
            form->addRow(def.name + QLatin1Char(':'), line);
        }
    }
    const bool writable = table.canModify();
    for (QLineEdit *line : std::as_const(m_lines))
        line->setReadOnly(!writable);
    for (QPlainTextEdit *memo : std::as_const(m_memos))
        memo->setReadOnly(!writable);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    guardedConnect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (apply())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QString RecordViewDialog::textOf(const QString &field) const
{
    if (QLineEdit *line = m_lines.value(field))
        return line->text();
    if (QPlainTextEdit *memo = m_memos.value(field))
        return memo->toPlainText();
    return {};
}

bool RecordViewDialog::apply()
{
    QStringList changed;
    for (auto it = m_original.cbegin(); it != m_original.cend(); ++it)
        if (textOf(it.key()) != it.value())
            changed << it.key();
    if (changed.isEmpty() || !m_table.canModify())
        return true;
    const bool wasBrowsing = m_table.state() == ClientDataSet::State::Browse;
    try {
        if (wasBrowsing)
            m_table.edit();
        for (const QString &field : changed) {
            const QString text = textOf(field);
            if (m_table.fieldDef(field).type == dataset::FieldType::Integer) {
                bool ok = false;
                const int number = text.trimmed().toInt(&ok);
                if (!ok && !text.trimmed().isEmpty())
                    throw dataset::DataSetError(tr("'%1' is not a valid integer value").arg(text));
                m_table.setFieldValue(field, ok ? QVariant(number) : QVariant());
            } else if (text.isEmpty()) {
                m_table.clearField(field);
            } else {
                m_table.setBytes(field, text.toUtf8());
            }
        }
        m_table.post();
    } catch (const dataset::DataSetError &error) {
        if (wasBrowsing && m_table.state() == ClientDataSet::State::Edit)
            m_table.cancel();
        m_prompts.message(this, windowTitle(), error.message(), PromptService::Icon::Error,
                          PromptService::Ok);
        return false;
    }
    return true;
}

// ------------------------------------------------------------------ lookup

LookupDialog::LookupDialog(ClientDataSet &table, QWidget *parent)
    : QDialog(parent), m_table(table), m_savedIndex(table.indexName()), m_start(table.bookmark())
{
    setObjectName(QStringLiteral("wwSearchDialog"));
    setWindowTitle(QStringLiteral("Lookup"));
    setMinimumWidth(360);
    auto *form = new QFormLayout(this);
    m_index = new QComboBox(this);
    m_index->setObjectName(QStringLiteral("cbIndex"));
    for (const dataset::IndexDef &def : table.indexDefs()) {
        const QString label = def.fields.join(QStringLiteral(", ")) +
                              (def.descending ? tr(" (descending)") : tr(" (ascending)"));
        m_index->addItem(label, def.name);
    }
    const int current = m_index->findData(m_savedIndex);
    m_index->setCurrentIndex(current >= 0 ? current : 0);
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("edSearch"));
    form->addRow(tr("Search &order:"), m_index);
    form->addRow(tr("Search &for:"), m_value);
    m_value->setFocus(); // typing goes to the text at once
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    guardedConnect(m_index, &QComboBox::currentIndexChanged, this, [this] {
        chooseIndex();
        lookUp(m_value->text());
    });
    guardedConnect(m_value, &QLineEdit::textChanged, this, &LookupDialog::lookUp);
    chooseIndex();
}

LookupDialog::~LookupDialog()
{
    if (!m_restored && m_table.isActive()) {
        try {
            m_table.setIndexName(m_savedIndex);
        } catch (const dataset::DataSetError &) {
            // The order was the window's own, so it exists; nothing to report.
        }
    }
}

void LookupDialog::chooseIndex()
{
    const QString name = m_index->currentData().toString();
    if (m_table.isActive() && m_table.indexName() != name)
        m_table.setIndexName(name);
}

bool LookupDialog::lookUp(const QString &text)
{
    if (!m_table.isActive() || text.isEmpty())
        return false;
    const auto defs = m_table.indexDefs();
    const QString name = m_index->currentData().toString();
    for (const dataset::IndexDef &def : defs) {
        if (def.name == name)
            return m_table.locate(def.fields.first(), text,
                                  ClientDataSet::PartialKey | ClientDataSet::CaseInsensitive);
    }
    return false;
}

void LookupDialog::done(int result)
{
    guarded([&] {
        if (m_table.isActive()) {
            m_table.setIndexName(m_savedIndex);
            if (result != QDialog::Accepted && m_table.bookmarkValid(m_start))
                m_table.gotoBookmark(m_start);
        }
    });
    m_restored = true;
    QDialog::done(result);
}

} // namespace bw::search
