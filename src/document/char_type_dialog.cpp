#include "document/char_type_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bw::notes {

CharTypeDialog::CharTypeDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCharType"));
    setWindowTitle(QStringLiteral("Change Character Type"));
    rgCharType = new QGroupBox(this);
    rgCharType->setObjectName(QStringLiteral("rgCharType"));
    items = new QButtonGroup(this);
    auto *groupLayout = new QVBoxLayout(rgCharType);
    const QStringList captions{QStringLiteral("lowercase"), QStringLiteral("UPPERCASE"),
                               QStringLiteral("Word Case")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *button = new QRadioButton(captions[i], rgCharType);
        items->addButton(button, i);
        groupLayout->addWidget(button);
    }
    items->button(0)->setChecked(true);

    auto *buttons = new QDialogButtonBox(this);
    btnOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    btnCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOK->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(rgCharType);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

int CharTypeDialog::itemIndex() const
{
    return items->checkedId();
}

void CharTypeDialog::setItemIndex(int index)
{
    if (auto *button = items->button(index))
        button->setChecked(true);
}

} // namespace bw::notes
