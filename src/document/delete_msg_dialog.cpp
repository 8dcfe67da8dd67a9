#include "document/delete_msg_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace bw::notes {

DeleteMessageDialog::DeleteMessageDialog(QWidget *parent)
    : QuestionCheckDialog({QStringLiteral("frmDeleteMsg"), QStringLiteral("imgMsgDlgType"),
                           QStringLiteral("lbMsgText"), QStringLiteral("imgQuestionMark")},
                          QStyle::SP_MessageBoxQuestion,
                          kDeleteQuestion.arg(QStringLiteral("ITEM")), ResultYes, ResultNo, parent),
      imgMsgDlgType(iconLabel()), lbMsgText(messageLabel()), imgQuestionMark(questionMarkLabel())
{
    lbMsgText->setTextFormat(Qt::PlainText);
    onShow();
}

void DeleteMessageDialog::setItemText(const QString &text)
{
    lbMsgText->setText(kDeleteQuestion.arg(text));
}

void DeleteMessageDialog::placeDialog()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace bw::notes
