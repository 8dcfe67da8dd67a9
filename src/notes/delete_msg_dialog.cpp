#include "notes/delete_msg_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace bw::notes {

TfrmDeleteMsg::TfrmDeleteMsg(QWidget *parent)
    : QuestionCheckDialog({QStringLiteral("frmDeleteMsg"), QStringLiteral("imgMsgDlgType"),
                           QStringLiteral("lbMsgText"), QStringLiteral("imgQuestionMark")},
                          QStyle::SP_MessageBoxQuestion, kDeleteQuestion.arg(QStringLiteral("ITEM")),
                          ResultYes, ResultNo, parent),
      imgMsgDlgType(iconLabel()), lbMsgText(messageLabel()), imgQuestionMark(questionMarkLabel())
{
    lbMsgText->setTextFormat(Qt::PlainText);
    FormShow();
}

void TfrmDeleteMsg::setItemText(const QString &text)
{
    lbMsgText->setText(kDeleteQuestion.arg(text));
}

void TfrmDeleteMsg::placeDialog()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace bw::notes
