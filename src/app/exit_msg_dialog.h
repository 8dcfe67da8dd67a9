#pragma once
// The exit confirmation "Do you want to eXit" with its "Don't Show This
// Message Again" check box, and the question of the main window's close
// query built on it.

#include "platform/question_check_dialog.h"

class QLabel;

namespace bw {

class OptionsAccess;
class PromptService;

class ExitMessageDialog : public QuestionCheckDialog
{
    Q_OBJECT
public:
    // "&Yes" and "&No" (also Esc); the window's close button gives
    // QDialog::Rejected.
    enum Result { ResultYes = QDialog::Accepted, ResultNo = 2 };

    explicit ExitMessageDialog(QWidget *parent = nullptr);

    QLabel *imgIcon = nullptr;
    QLabel *lbMessage = nullptr;
    QLabel *imgQuestion = nullptr;
};

// The close query's question: nothing is asked when the Options check box
// "Display Confirmation When Exiting Program" is off. Otherwise the dialog is
// shown, the opposite of its check box is copied into that option and written
// at once, and the result is false only for "&No".
bool confirmExit(PromptService &prompts, QWidget *parent, OptionsAccess &options);

} // namespace bw
