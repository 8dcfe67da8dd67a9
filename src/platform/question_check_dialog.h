#pragma once
// QuestionCheckDialog, a question with "&Yes" and "&No" buttons and a
// "Don't Show This Message Again" check box, laid out around the width of
// its message each time it is shown. The confirmations derive from it.

#include <QDialog>
#include <QStyle>

class QCheckBox;
class QLabel;
class QPushButton;

namespace bw {

class QuestionCheckDialog : public QDialog
{
    Q_OBJECT
public:
    // Object names of the dialog and of its message row's controls.
    struct Names
    {
        QString dialog;
        QString icon;
        QString message;
        QString questionMark;
    };

    // Lays the controls out around the width of the message, then places
    // the dialog (see placeDialog()).
    void onShow();

    QPushButton *btnYes = nullptr;
    QPushButton *btnNo = nullptr;
    QLabel *imgCheck = nullptr;
    QCheckBox *cbDontShowThisMsgAgain = nullptr;

protected:
    // "&Yes" ends the dialog with yesResult, "&No" (also Esc) with noResult.
    // Derived classes call onShow() once they are built.
    QuestionCheckDialog(const Names &names, QStyle::StandardPixmap iconKind, const QString &message,
                        int yesResult, int noResult, QWidget *parent);

    QLabel *iconLabel() const { return m_icon; }
    QLabel *messageLabel() const { return m_message; }
    QLabel *questionMarkLabel() const { return m_questionMark; }

    // Called at the end of each onShow(); leaves the position alone here.
    virtual void placeDialog() {}

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_icon = nullptr;
    QLabel *m_message = nullptr;
    QLabel *m_questionMark = nullptr;
};

} // namespace bw
