#pragma once
// The logon dialog. It previews every key before the focused control sees it
// (an event filter on its controls): Esc cancels, Enter confirms, and Enter or
// Space on a focused button clicks that button.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace bw {

class PromptService;

class PasswordDialog : public QDialog
{
    Q_OBJECT
public:
    // Result codes: OK and Cancel; any other ending (the window's close
    // button) gives QDialog::Rejected and counts as a failed attempt.
    enum Result { ResultOk = QDialog::Accepted, ResultCancel = 2 };

    explicit PasswordDialog(QWidget *parent = nullptr);

    // Empties both boxes and gives the user name box the focus; runs before
    // every showing.
    void onShow();
    void btnOkClick();
    void btnCancelClick();

    QLabel *lbUsername = nullptr;
    QLabel *lbPassword = nullptr;
    QLineEdit *edUsername = nullptr;
    QLineEdit *edPassword = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool onKeyDown(QObject *focused, int key);
    void createControls();
    void layOutControls();
};

// Runs the logon: at most three attempts, no message between them. True when
// the user name and password match the expected ones; false after Cancel
// (Esc) or three failed attempts.
bool logon(PromptService &prompts);

} // namespace bw
