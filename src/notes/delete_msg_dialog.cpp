#include "notes/delete_msg_dialog.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace bw::notes {

namespace {
constexpr int kMargin = 8;
constexpr int kTextLeft = 48;
constexpr int kRightSpace = 48;
constexpr int kCheckBoxLeft = 24;
constexpr int kIconSize = 32;

QLabel *picture(QWidget *parent, const QPixmap &pixmap, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(pixmap);
    label->resize(pixmap.deviceIndependentSize().toSize());
    return label;
}
} // namespace

TfrmDeleteMsg::TfrmDeleteMsg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDeleteMsg"));
    setWindowTitle(QStringLiteral("Confirm"));
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this);
    imgMsgDlgType = picture(this, icon.pixmap(kIconSize, kIconSize), QStringLiteral("imgMsgDlgType"));
    lbMsgText = new QLabel(kDeleteQuestion.arg(QStringLiteral("ITEM")), this);
    lbMsgText->setObjectName(QStringLiteral("lbMsgText"));
    lbMsgText->setTextFormat(Qt::PlainText);
    imgQuestionMark = picture(this, QPixmap(QStringLiteral(":/dialogs/question_mark.png")),
                              QStringLiteral("imgQuestionMark"));
    btnYes = new QPushButton(QStringLiteral("&Yes"), this);
    btnYes->setObjectName(QStringLiteral("btnYes"));
    btnYes->setDefault(true);
    btnNo = new QPushButton(QStringLiteral("&No"), this);
    btnNo->setObjectName(QStringLiteral("btnNo"));
    imgCheck = picture(this, QPixmap(QStringLiteral(":/dialogs/check_mark.png")),
                       QStringLiteral("imgCheck"));
    cbDontShowThisMsgAgain = new QCheckBox(QStringLiteral("Don't Show This Message Again"), this);
    cbDontShowThisMsgAgain->setObjectName(QStringLiteral("cbDontShowThisMsgAgain"));
    connect(btnYes, &QPushButton::clicked, this, [this] { done(ResultYes); });
    connect(btnNo, &QPushButton::clicked, this, [this] { done(ResultNo); });
    FormShow();
}

void TfrmDeleteMsg::setItemText(const QString &text)
{
    lbMsgText->setText(kDeleteQuestion.arg(text));
}

void TfrmDeleteMsg::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

// "&No" is the cancel button.
void TfrmDeleteMsg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnNo->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The question mark ends the message; buttons sit either side of the centre.
void TfrmDeleteMsg::FormShow()
{
    lbMsgText->adjustSize();
    const int rowHeight = qMax(kIconSize, qMax(lbMsgText->height(), imgQuestionMark->height()));
    imgMsgDlgType->move(kMargin, kMargin);
    lbMsgText->move(kTextLeft, kMargin + (rowHeight - lbMsgText->height()) / 2);
    imgQuestionMark->move(lbMsgText->x() + lbMsgText->width(),
                          kMargin + (rowHeight - imgQuestionMark->height()) / 2);
    cbDontShowThisMsgAgain->adjustSize();
    // A wide font must not cut the check box off.
    const int width = qMax(imgQuestionMark->x() + imgQuestionMark->width() + kRightSpace,
                           kCheckBoxLeft + cbDontShowThisMsgAgain->width() + kMargin);

    const QSize button = btnYes->sizeHint().expandedTo(btnNo->sizeHint());
    btnYes->resize(button);
    btnNo->resize(button);
    const int buttonTop = kMargin + rowHeight + 2 * kMargin;
    btnYes->move(width / 2 - button.width() - kMargin, buttonTop);
    btnNo->move(btnYes->x() + btnYes->width() + kMargin, buttonTop);

    const int checkTop = buttonTop + button.height() + 2 * kMargin;
    const int checkHeight = qMax(cbDontShowThisMsgAgain->height(), imgCheck->height());
    imgCheck->move(kMargin, checkTop + (checkHeight - imgCheck->height()) / 2);
    cbDontShowThisMsgAgain->move(kCheckBoxLeft,
                                 checkTop + (checkHeight - cbDontShowThisMsgAgain->height()) / 2);
    setFixedSize(width, checkTop + checkHeight + kMargin);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace bw::notes
