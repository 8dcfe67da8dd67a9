#include "document/paragraph_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace bw::notes {

namespace {

// A number box whose text, when it is no whole number (an emptied box, a
// lone sign), counts as 0 instead of the value it had before.
class NumberBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    void fixup(QString &input) const override
    {
        bool number = false;
        locale().toInt(input.trimmed(), &number);
        if (!number)
            input = locale().toString(0);
        QSpinBox::fixup(input);
    }
};

QSpinBox *numberBox(const char *name, int minimum, QWidget *parent)
{
    auto *box = new NumberBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    // The indents have no bounds of their own; the control keeps twips, so
    // a length is at most what fits in twips.
    box->setRange(minimum, ParagraphDialog::kMaxPoints);
    box->setValue(0);
    box->setMinimumWidth(90);
    return box;
}

} // namespace

ParagraphDialog::ParagraphDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmParagraph"));
    setWindowTitle(QStringLiteral("Paragraph"));

    gbIndentation = new QGroupBox(QStringLiteral(" Indentation "), this);
    LeftIndent = numberBox("LeftIndent", -kMaxPoints, gbIndentation);
    RightIndent = numberBox("RightIndent", -kMaxPoints, gbIndentation);
    FirstIndent = numberBox("FirstIndent", -kMaxPoints, gbIndentation);
    auto *indents = new QFormLayout(gbIndentation);
    indents->addRow(QStringLiteral("&Left: "), LeftIndent);
    indents->addRow(QStringLiteral("&Right: "), RightIndent);
    indents->addRow(QStringLiteral("&First line: "), FirstIndent);

    gbSpacing = new QGroupBox(QStringLiteral(" Spacing "), this);
    SpaceBefore = numberBox("SpaceBefore", 0, gbSpacing);
    SpaceAfter = numberBox("SpaceAfter", 0, gbSpacing);
    LineSpacing = numberBox("LineSpacing", 0, gbSpacing);
    LineSpacing->setSingleStep(5);
    auto *spacing = new QFormLayout(gbSpacing);
    spacing->addRow(QStringLiteral("Space &before: "), SpaceBefore);
    spacing->addRow(QStringLiteral("Space &after: "), SpaceAfter);
    spacing->addRow(QStringLiteral("Li&ne spacing: "), LineSpacing);

    rgAlignment = new QGroupBox(QStringLiteral("Alignment"), this);
    rgAlignment->setObjectName(QStringLiteral("rgAlignment"));
    alignmentItems = new QButtonGroup(this);
    auto *alignLayout = new QHBoxLayout(rgAlignment);
    const QStringList captions{QStringLiteral("Left"), QStringLiteral("Center"),
                               QStringLiteral("Justify"), QStringLiteral("Right")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *button = new QRadioButton(captions[i], rgAlignment);
        alignmentItems->addButton(button, i);
        alignLayout->addWidget(button);
    }
    alignmentItems->button(0)->setChecked(true);

    auto *buttons = new QDialogButtonBox(this);
    btnOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    btnCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOK->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *groups = new QHBoxLayout;
    groups->addWidget(gbIndentation);
    groups->addWidget(gbSpacing);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(rgAlignment);
    layout->addWidget(buttons);
}

ParagraphDialog::Values ParagraphDialog::values() const
{
    return Values{LeftIndent->value(),  RightIndent->value(), FirstIndent->value(),
                  SpaceBefore->value(), SpaceAfter->value(),  LineSpacing->value(),
                  alignmentItem()};
}

void ParagraphDialog::accept()
{
    for (QSpinBox *box :
         {LeftIndent, RightIndent, FirstIndent, SpaceBefore, SpaceAfter, LineSpacing})
        box->interpretText();
    QDialog::accept();
}

int ParagraphDialog::alignmentItem() const
{
    return alignmentItems->checkedId();
}

void ParagraphDialog::setAlignmentItem(int index)
{
    if (auto *button = alignmentItems->button(index))
        button->setChecked(true);
}

} // namespace bw::notes
