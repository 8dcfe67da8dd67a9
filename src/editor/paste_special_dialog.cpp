#include "editor/paste_special_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

PasteSpecialDialog::PasteSpecialDialog(const QStringList &formats, QWidget *parent)
    : QDialog(parent), m_formats(new QListWidget)
{
    setObjectName(QStringLiteral("PasteSpecialDialog"));
    setWindowTitle(tr("Paste Special"));
    setMinimumWidth(360);
    m_formats->setObjectName(QStringLiteral("lbFormats"));
    m_formats->addItems(formats);
    m_formats->setCurrentRow(0);
    auto *label = new QLabel(tr("&As:"));
    label->setBuddy(m_formats);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!formats.isEmpty());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_formats);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_formats, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

QString PasteSpecialDialog::format() const
{
    const QListWidgetItem *item = m_formats->currentItem();
    return item ? item->text() : QString();
}

void PasteSpecialDialog::setFormat(const QString &format)
{
    const auto found = m_formats->findItems(format, Qt::MatchExactly);
    if (!found.isEmpty())
        m_formats->setCurrentItem(found.first());
}

} // namespace bw
