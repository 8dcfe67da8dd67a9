#include "search/rich_text_dialogs.h"

#include "editor/para_format.h"
#include "editor/rich_edit.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

namespace bw::search {

namespace {

QDoubleSpinBox *cmBox(QWidget *parent, int twips, double min = -30)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setRange(min, 60);
    box->setDecimals(2);
    box->setSingleStep(0.25);
    box->setSuffix(QStringLiteral(" cm"));
    box->setValue(twips / kTwipsPerCm);
    return box;
}

int toTwips(const QDoubleSpinBox *box)
{
    return int(std::lround(box->value() * kTwipsPerCm));
}

QDialogButtonBox *okCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

ParagraphDialog::ParagraphDialog(const ParaFormat &format, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ParagraphDialog"));
    setWindowTitle(tr("Paragraph"));
    auto *form = new QFormLayout(this);
    m_alignment = new QComboBox(this);
    m_alignment->addItems({tr("Left"), tr("Right"), tr("Center"), tr("Justify")});
    m_alignment->setCurrentIndex(format.alignment);
    // The first line starts at startIndent; the other lines at startIndent + offset.
    m_left = cmBox(this, format.startIndent + format.offset, 0);
    m_first = cmBox(this, -format.offset);
    m_right = cmBox(this, format.rightIndent, 0);
    m_before = cmBox(this, format.spaceBefore, 0);
    m_after = cmBox(this, format.spaceAfter, 0);
    form->addRow(tr("&Alignment:"), m_alignment);
    form->addRow(tr("&Left indent:"), m_left);
    form->addRow(tr("&First line:"), m_first);
    form->addRow(tr("&Right indent:"), m_right);
    form->addRow(tr("Space &before:"), m_before);
    form->addRow(tr("Space &after:"), m_after);
    form->addRow(okCancel(this));
}

ParaFormat ParagraphDialog::format() const
{
    ParaFormat f;
    f.mask = ParaFormat::Alignment | ParaFormat::StartIndent | ParaFormat::Offset |
             ParaFormat::RightIndent | ParaFormat::SpaceBefore | ParaFormat::SpaceAfter;
    f.alignment = m_alignment->currentIndex();
    f.offset = -toTwips(m_first);
    f.startIndent = toTwips(m_left) - f.offset;
    f.rightIndent = toTwips(m_right);
    f.spaceBefore = toTwips(m_before);
    f.spaceAfter = toTwips(m_after);
    return f;
}

TabsDialog::TabsDialog(const QList<double> &stops, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TabsDialog"));
    setWindowTitle(tr("Tabs"));
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    m_position = cmBox(this, 0, 0);
    auto *add = new QPushButton(tr("&Set"), this);
    auto *remove = new QPushButton(tr("C&lear"), this);
    auto *clearAll = new QPushButton(tr("Clear &All"), this);
    row->addWidget(m_position);
    row->addWidget(add);
    row->addWidget(remove);
    row->addWidget(clearAll);
    m_list = new QListWidget(this);
    for (double stop : stops)
        m_list->addItem(QString::number(stop, 'f', 2));
    layout->addLayout(row);
    layout->addWidget(m_list);
    layout->addWidget(okCancel(this));
    guardedConnect(add, &QPushButton::clicked, this, &TabsDialog::addStop);
    guardedConnect(remove, &QPushButton::clicked, this, [this] { delete m_list->currentItem(); });
    connect(clearAll, &QPushButton::clicked, m_list, &QListWidget::clear);
}

void TabsDialog::addStop()
{
    const QString text = QString::number(m_position->value(), 'f', 2);
    if (m_list->findItems(text, Qt::MatchExactly).isEmpty())
        m_list->addItem(text);
}

QList<double> TabsDialog::stops() const
{
    QList<double> result;
    for (int i = 0; i < m_list->count(); ++i)
        result << m_list->item(i)->text().toDouble();
    std::sort(result.begin(), result.end());
    return result;
}

QList<double> tabStopsAtCaret(const RichEdit &editor)
{
    QList<double> stops;
    for (const QTextOption::Tab &tab : editor.textCursor().blockFormat().tabPositions())
        stops << tab.position * kTwipsPerPixel / kTwipsPerCm;
    return stops;
}

void setTabStops(RichEdit &editor, const QList<double> &stopsCm)
{
    QList<QTextOption::Tab> tabs;
    for (double cm : stopsCm)
        tabs << QTextOption::Tab(cm * kTwipsPerCm / kTwipsPerPixel, QTextOption::LeftTab);
    QTextCursor cursor = editor.textCursor();
    QTextBlockFormat format;
    format.setTabPositions(tabs);
    cursor.mergeBlockFormat(format);
}

FindReplaceDialog::FindReplaceDialog(RichEdit &editor, PromptService &prompts, bool replace,
                                     QWidget *parent)
    : QDialog(parent), m_editor(editor), m_prompts(prompts)
{
    setObjectName(replace ? QStringLiteral("ReplaceDialog") : QStringLiteral("FindDialog"));
    setWindowTitle(replace ? tr("Replace") : tr("Find"));
    auto *form = new QFormLayout(this);
    m_find = new QLineEdit(this);
    form->addRow(tr("Fi&nd what:"), m_find);
    if (replace) {
        m_replace = new QLineEdit(this);
        form->addRow(tr("Re&place with:"), m_replace);
    }
    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_wholeWord = new QCheckBox(tr("Match &whole word only"), this);
    form->addRow(m_matchCase);
    form->addRow(m_wholeWord);
    auto *buttons = new QDialogButtonBox(this);
    auto *next = buttons->addButton(tr("&Find Next"), QDialogButtonBox::ActionRole);
    next->setDefault(true);
    guardedConnect(next, &QPushButton::clicked, this, [this] { findNext(); });
    if (replace) {
        guardedConnect(buttons->addButton(tr("&Replace"), QDialogButtonBox::ActionRole),
                       &QPushButton::clicked, this, &FindReplaceDialog::replaceOne);
        guardedConnect(buttons->addButton(tr("Replace &All"), QDialogButtonBox::ActionRole),
                       &QPushButton::clicked, this, [this] { replaceAll(); });
    }
    guardedConnect(buttons->addButton(QDialogButtonBox::Close), &QPushButton::clicked, this,
                   &QDialog::reject);
    form->addRow(buttons);
}

bool FindReplaceDialog::findNext()
{
    const QString text = m_find->text();
    if (text.isEmpty())
        return false;
    FindOptions options;
    options.matchCase = m_matchCase->isChecked();
    options.wholeWord = m_wholeWord->isChecked();
    if (m_editor.findText(text, m_editor.selectionEnd(), options) >= 0)
        return true;
    m_prompts.message(this, windowTitle(), tr("Cannot find \"%1\"").arg(text),
                      PromptService::Icon::Information, PromptService::Ok);
    return false;
}

bool FindReplaceDialog::selectionIsMatch() const
{
    const Qt::CaseSensitivity cs =
        m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return !m_find->text().isEmpty() &&
           m_editor.selectedPlainText().compare(m_find->text(), cs) == 0;
}

void FindReplaceDialog::replaceOne()
{
    if (m_replace && selectionIsMatch() && !m_editor.isReadOnly())
        m_editor.replaceSelection(m_replace->text());
    findNext();
}

int FindReplaceDialog::replaceAll()
{
    if (!m_replace || m_find->text().isEmpty() || m_editor.isReadOnly())
        return 0;
    FindOptions options;
    options.matchCase = m_matchCase->isChecked();
    options.wholeWord = m_wholeWord->isChecked();
    int count = 0;
    int from = 0;
    // Each search starts after the text just put in, so a replacement that
    // holds the find text is never searched again.
    while (m_editor.findText(m_find->text(), from, options) >= 0) {
        m_editor.replaceSelection(m_replace->text());
        from = m_editor.selectionEnd();
        ++count;
    }
    m_prompts.message(this, windowTitle(), tr("%1 occurrence(s) replaced.").arg(count),
                      PromptService::Icon::Information, PromptService::Ok);
    return count;
}

} // namespace bw::search
