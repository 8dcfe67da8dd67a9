#pragma once
// DeleteMessageDialog, the confirmation asked before an item is deleted. It is
// created once at start-up and reused, so its check box "Don't Show This
// Message Again" keeps its state from one showing to the next. Each showing
// lays the dialog out around its message.

#include "platform/question_check_dialog.h"

class QLabel;

namespace bw::notes {

inline const QString kDeleteQuestion = QStringLiteral("Do you want to delete the item \"%1\"");

class DeleteMessageDialog : public QuestionCheckDialog
{
    Q_OBJECT
public:
    enum Result { ResultNo = 0, ResultYes = 1 };

    explicit DeleteMessageDialog(QWidget *parent = nullptr);

    // Puts the question about the item named text into the message label.
    void setItemText(const QString &text);

    QLabel *imgMsgDlgType = nullptr;
    QLabel *lbMsgText = nullptr;
    QLabel *imgQuestionMark = nullptr;

protected:
    // Centres the dialog on the screen.
    void placeDialog() override;
};

} // namespace bw::notes
