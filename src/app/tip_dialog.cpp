#include "tip_dialog.h"

#include "app/app_strings.h"
#include "app/options_access.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"
#include "settings/encodings.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

namespace {
constexpr int kTipWidth = 300;
constexpr int kTipBorder = 10;
constexpr int kLastTip = kTipCount - 1;

// The side panel and the divider: the grey of an inactive title bar.
QColor panelColor(const QWidget *w)
{
    return w->palette().color(QPalette::Inactive, QPalette::Mid);
}
} // namespace

TipDialog::TipDialog(OptionsAccess &options, QWidget *parent) : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("frmTipOfTheDay"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    for (int i = 0; i < kTipCount; ++i)
        m_tips << tipOfTheDay(i);
    m_index = settings::decodeTipIndex(m_options.readValue(settings::Key::TipOfTheDayState));
    createControls();
    setFixedSize(sizeHint());
}

TipDialog::~TipDialog()
{
    // A destructor never throws: a failed write is reported.
    guarded([this] {
        m_options.writeValue(settings::Key::TipOfTheDayState, QString::number(m_index));
    });
}

void TipDialog::createControls()
{
    auto *side = new QFrame(this);
    side->setAutoFillBackground(true);
    QPalette sidePalette = side->palette();
    sidePalette.setColor(QPalette::Window, panelColor(this));
    side->setPalette(sidePalette);
    imgBulb = new QLabel(side);
    imgBulb->setPixmap(QPixmap(QStringLiteral(":/dialogs/tip_bulb.png")));
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->addWidget(imgBulb);
    sideLayout->addStretch();

    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnNext = new QPushButton(QStringLiteral("&Next Tip"), this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    DisplayTipOfTheDayAtStartup =
        new QCheckBox(QStringLiteral("Show Tip of the Day at startup"), this);
    DisplayTipOfTheDayAtStartup->setObjectName(QStringLiteral("DisplayTipOfTheDayAtStartup"));
    DisplayTipOfTheDayAtStartup->setChecked(true);
    guardedConnect(btnOk, &QPushButton::clicked, this, &TipDialog::btnOkClick);
    guardedConnect(btnNext, &QPushButton::clicked, this, &TipDialog::btnNextClick);

    auto *top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(side);
    top->addWidget(createTipPanel(), 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(DisplayTipOfTheDayAtStartup);
    bottom->addStretch();
    bottom->addWidget(btnNext);
    bottom->addWidget(btnOk);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
}

// The right side on window colour: heading, divider and the tip text.
QWidget *TipDialog::createTipPanel()
{
    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setBackgroundRole(QPalette::Base);
    panel->setAutoFillBackground(true);
    lbHeading = new QLabel(QStringLiteral("   Did you know..."), panel);
    lbHeading->setObjectName(QStringLiteral("lbHeading"));
    QFont headingFont = lbHeading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    lbHeading->setFont(headingFont);
    auto *divider = new QFrame(panel);
    divider->setFixedHeight(2);
    divider->setBackgroundRole(QPalette::Window); // not the panel's Base
    divider->setAutoFillBackground(true);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::Window, panelColor(this));
    divider->setPalette(dividerPalette);
    lbTip = new QLabel(panel);
    lbTip->setObjectName(QStringLiteral("lbTip"));
    lbTip->setWordWrap(true);
    lbTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbTip->setContentsMargins(kTipBorder, kTipBorder, kTipBorder, kTipBorder);
    lbTip->setFixedWidth(kTipWidth);
    lbTip->setMinimumHeight(lbTip->fontMetrics().lineSpacing() * 5 + 2 * kTipBorder);

    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->addWidget(lbHeading);
    layout->addWidget(divider);
    layout->addWidget(lbTip, 1);
    return panel;
}

void TipDialog::showTip()
{
    m_shown = m_index;
    lbTip->setText(m_tips.value(m_index));
    ++m_index;
}

void TipDialog::onShow()
{
    showTip();
}

void TipDialog::btnNextClick()
{
    if (m_index > kLastTip)
        m_index = 0;
    showTip();
}

void TipDialog::btnOkClick()
{
    accept();
}

void showTipOfTheDay(PromptService &prompts, QWidget *parent, OptionsAccess &options)
{
    const settings::Key startup = settings::Key::DisplayTipOfTheDayAtStartup_Checked;
    TipDialog dialog(options, parent);
    dialog.DisplayTipOfTheDayAtStartup->setChecked(options.isChecked(startup));
    dialog.onShow();
    prompts.exec(&dialog);
    options.writeImmediate(startup,
                           settings::encodeBool(dialog.DisplayTipOfTheDayAtStartup->isChecked()));
}

} // namespace bw
