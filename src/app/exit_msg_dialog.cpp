#include "exit_msg_dialog.h"

#include "app/app_strings.h"
#include "app/options_access.h"
#include "platform/prompt_service.h"
#include "settings/core/encodings.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace bw {

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

TfrmExitMsg::TfrmExitMsg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmExitMsg"));
    setWindowTitle(QStringLiteral("Confirm"));
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this);
    imgIcon = picture(this, icon.pixmap(kIconSize, kIconSize), QStringLiteral("imgIcon"));
    lbMessage = new QLabel(loadStr(StrId::ExitQuestion), this);
    lbMessage->setObjectName(QStringLiteral("lbMessage"));
    imgQuestion = picture(this, QPixmap(QStringLiteral(":/dialogs/question_mark.png")),
                          QStringLiteral("imgQuestion"));
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

void TfrmExitMsg::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

// "&No" is the cancel button: Esc answers No, while the window's close
// button ends the dialog without an answer.
void TfrmExitMsg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnNo->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmExitMsg::FormShow()
{
    lbMessage->adjustSize();
    const int rowHeight = qMax(kIconSize, qMax(lbMessage->height(), imgQuestion->height()));
    imgIcon->move(kMargin, kMargin);
    lbMessage->move(kTextLeft, kMargin + (rowHeight - lbMessage->height()) / 2);
    imgQuestion->move(lbMessage->x() + lbMessage->width(),
                      kMargin + (rowHeight - imgQuestion->height()) / 2);

    cbDontShowThisMsgAgain->adjustSize();
    // A wide font must not cut the check box off.
    const int width = qMax(imgQuestion->x() + imgQuestion->width() + kRightSpace,
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
}

bool confirmExit(PromptService &prompts, QWidget *parent, OptionsAccess &options)
{
    const settings::Key key = settings::Key::CommonDisplayExitConfirm_Checked;
    if (!options.isChecked(key))
        return true;
    TfrmExitMsg dialog(parent);
    const int result = prompts.exec(&dialog);
    options.writeImmediate(key, settings::encodeBool(!dialog.cbDontShowThisMsgAgain->isChecked()));
    return result != TfrmExitMsg::ResultNo;
}

} // namespace bw
