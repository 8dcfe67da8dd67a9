#include "platform/question_check_dialog.h"

#include "platform/guarded_dispatch.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

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

QuestionCheckDialog::QuestionCheckDialog(const Names &names, QStyle::StandardPixmap iconKind,
                                         const QString &message, int yesResult, int noResult,
                                         QWidget *parent)
    : QDialog(parent)
{
    setObjectName(names.dialog);
    setWindowTitle(QStringLiteral("Confirm"));
    const QIcon icon = style()->standardIcon(iconKind, nullptr, this);
    m_icon = picture(this, icon.pixmap(kIconSize, kIconSize), names.icon);
    m_message = new QLabel(message, this);
    m_message->setObjectName(names.message);
    m_questionMark =
        picture(this, QPixmap(QStringLiteral(":/dialogs/question_mark.png")), names.questionMark);
    btnYes = new QPushButton(QStringLiteral("&Yes"), this);
    btnYes->setObjectName(QStringLiteral("btnYes"));
    btnYes->setDefault(true);
    btnNo = new QPushButton(QStringLiteral("&No"), this);
    btnNo->setObjectName(QStringLiteral("btnNo"));
    imgCheck = picture(this, QPixmap(QStringLiteral(":/dialogs/check_mark.png")),
                       QStringLiteral("imgCheck"));
    cbDontShowThisMsgAgain = new QCheckBox(QStringLiteral("Don't Show This Message Again"), this);
    cbDontShowThisMsgAgain->setObjectName(QStringLiteral("cbDontShowThisMsgAgain"));
    guardedConnect(btnYes, &QPushButton::clicked, this, [this, yesResult] { done(yesResult); });
    guardedConnect(btnNo, &QPushButton::clicked, this, [this, noResult] { done(noResult); });
}

void QuestionCheckDialog::showEvent(QShowEvent *event)
{
    guarded([&] {
        onShow();
        QDialog::showEvent(event);
    });
}

// "&No" is the cancel button: Esc answers No, while the window's close
// button gives QDialog::Rejected.
void QuestionCheckDialog::keyPressEvent(QKeyEvent *event)
{
    guarded([&] {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            btnNo->click();
            return;
        }
        QDialog::keyPressEvent(event);
    });
}

// The question mark ends the message; buttons sit either side of the centre.
void QuestionCheckDialog::onShow()
{
    m_message->adjustSize();
    const int rowHeight = qMax(kIconSize, qMax(m_message->height(), m_questionMark->height()));
    m_icon->move(kMargin, kMargin);
    m_message->move(kTextLeft, kMargin + (rowHeight - m_message->height()) / 2);
    m_questionMark->move(m_message->x() + m_message->width(),
                         kMargin + (rowHeight - m_questionMark->height()) / 2);

    cbDontShowThisMsgAgain->adjustSize();
    // A wide font must not cut the check box off.
    const int width = qMax(m_questionMark->x() + m_questionMark->width() + kRightSpace,
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
    placeDialog();
}

} // namespace bw
