#include "font_dialog.h"

#include "platform/guarded_dispatch.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace bw {

FontDialog::FontDialog(QWidget *parent)
    : QDialog(parent), m_family(new QFontComboBox(this)), m_size(new QSpinBox(this)),
      m_bold(new QCheckBox(tr("&Bold"), this)), m_italic(new QCheckBox(tr("&Italic"), this)),
      m_underline(new QCheckBox(tr("&Underline"), this)),
      m_strikeOut(new QCheckBox(tr("Stri&keout"), this)), m_colorButton(new QPushButton(this)),
      m_sample(new QLabel(tr("AaBbYyZz"), this)), m_color(Qt::black)
{
    setWindowTitle(tr("Font"));
    setObjectName(QStringLiteral("FontDialog"));
    m_size->setRange(1, 1638);
    m_sample->setMinimumHeight(60);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setFrameShape(QFrame::StyledPanel);

    auto *form = new QFormLayout;
    form->addRow(tr("&Font:"), m_family);
    form->addRow(tr("&Size:"), m_size);
    form->addRow(QString(), m_bold);
    form->addRow(QString(), m_italic);
    form->addRow(QString(), m_underline);
    form->addRow(QString(), m_strikeOut);
    form->addRow(tr("&Color:"), m_colorButton);
    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_sample);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    guardedConnect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
                   &FontDialog::applied);
    guardedConnect(m_colorButton, &QPushButton::clicked, this, &FontDialog::pickColor);
    guardedConnect(m_family, &QFontComboBox::currentFontChanged, this, &FontDialog::updateSample);
    guardedConnect(m_size, &QSpinBox::valueChanged, this, &FontDialog::updateSample);
    for (QCheckBox *box : {m_bold, m_italic, m_underline, m_strikeOut})
        guardedConnect(box, &QCheckBox::toggled, this, &FontDialog::updateSample);
    updateSample();
}

void FontDialog::setChoice(const QFont &font, const QColor &color)
{
    m_family->setCurrentFont(font);
    // The face name as the document has it, also when the desktop shows
    // another font in its place.
    m_family->setEditText(font.family());
    m_size->setValue(qMax(1, font.pointSize()));
    m_bold->setChecked(font.bold());
    m_italic->setChecked(font.italic());
    m_underline->setChecked(font.underline());
    m_strikeOut->setChecked(font.strikeOut());
    m_color = color.isValid() ? color : QColor(Qt::black);
    updateSample();
}

QFont FontDialog::chosenFont() const
{
    QFont f = m_family->currentFont();
    const QString face = m_family->currentText().trimmed();
    if (!face.isEmpty())
        f.setFamily(face);
    f.setPointSize(m_size->value());
    f.setBold(m_bold->isChecked());
    f.setItalic(m_italic->isChecked());
    f.setUnderline(m_underline->isChecked());
    f.setStrikeOut(m_strikeOut->isChecked());
    return f;
}

void FontDialog::updateSample()
{
    m_sample->setFont(chosenFont());
    QPalette p = m_sample->palette();
    p.setColor(QPalette::WindowText, m_color);
    m_sample->setPalette(p);
    QPixmap swatch(16, 12);
    swatch.fill(m_color);
    m_colorButton->setIcon(QIcon(swatch));
    m_colorButton->setText(m_color.name(QColor::HexRgb).toUpper());
}

void FontDialog::pickColor()
{
    const QColor c = QColorDialog::getColor(m_color, this);
    if (c.isValid()) {
        m_color = c;
        updateSample();
    }
}

} // namespace bw
