#include "password_dialog.h"

#include "app/app_strings.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

namespace {
constexpr int kMaxAttempts = 3;
}

PasswordDialog::PasswordDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("Logon"));
    createControls();
    // Fixed size; with no owner the window manager centres a dialog on screen.
    setFixedSize(sizeHint());
}

void PasswordDialog::createControls()
{
    lbUsername = new QLabel(QStringLiteral("Username:"), this);
    lbPassword = new QLabel(QStringLiteral("Password:"), this);
    edUsername = new QLineEdit(this);
    edPassword = new QLineEdit(this);
    edPassword->setEchoMode(QLineEdit::Password);
    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setVisible(false);
    lbUsername->setBuddy(edUsername);
    lbPassword->setBuddy(edPassword);
    lbUsername->setObjectName(QStringLiteral("lbUsername"));
    lbPassword->setObjectName(QStringLiteral("lbPassword"));
    edUsername->setObjectName(QStringLiteral("edUsername"));
    edPassword->setObjectName(QStringLiteral("edPassword"));
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    edUsername->setMinimumWidth(180);

    // The key preview decides what Enter does, so no button is a default one.
    for (QPushButton *b : {btnOk, btnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    guardedConnect(btnOk, &QPushButton::clicked, this, &PasswordDialog::btnOkClick);
    guardedConnect(btnCancel, &QPushButton::clicked, this, &PasswordDialog::btnCancelClick);
    layOutControls();
}

void PasswordDialog::layOutControls()
{
    auto *grid = new QGridLayout;
    grid->addWidget(lbUsername, 0, 0);
    grid->addWidget(edUsername, 0, 1);
    grid->addWidget(lbPassword, 1, 0);
    grid->addWidget(edPassword, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(edUsername, edPassword);
    setTabOrder(edPassword, btnOk);
    setTabOrder(btnOk, btnCancel);
    for (QWidget *w : {static_cast<QWidget *>(edUsername), static_cast<QWidget *>(edPassword),
                       static_cast<QWidget *>(btnOk), static_cast<QWidget *>(btnCancel)})
        w->installEventFilter(this);
    installEventFilter(this);
}

void PasswordDialog::onShow()
{
    edUsername->clear();
    edPassword->clear();
    edUsername->setFocus(Qt::OtherFocusReason);
}

// The dialog is the program's first window: no window of the program has
// the keyboard yet to hand it over, and a window manager leaves it with the
// window that had it. It asks for the keyboard itself (Qt asks once the
// window is mapped), so that the first keys typed reach the user name box.
void PasswordDialog::showEvent(QShowEvent *event)
{
    guarded([&] {
        QDialog::showEvent(event);
        raise();
        activateWindow();
        edUsername->setFocus(Qt::ActiveWindowFocusReason);
    });
}

void PasswordDialog::btnOkClick()
{
    done(ResultOk);
    QCoreApplication::processEvents();
}

void PasswordDialog::btnCancelClick()
{
    done(ResultCancel);
    QCoreApplication::processEvents();
}

bool PasswordDialog::eventFilter(QObject *watched, QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        if (event->type() != QEvent::KeyPress)
            return QDialog::eventFilter(watched, event);
        return onKeyDown(watched, static_cast<QKeyEvent *>(event)->key());
    });
}

// Returns true when the key ended the dialog: it is then used up, so that the
// dialog's own Esc handling cannot overwrite the result.
bool PasswordDialog::onKeyDown(QObject *focused, int key)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool space = key == Qt::Key_Space;
    if ((enter || space) && focused == btnOk) {
        btnOkClick();
        return true;
    }
    if ((enter || space) && focused == btnCancel) {
        btnCancelClick();
        return true;
    }
    if (key == Qt::Key_Escape) {
        done(ResultCancel);
        return true;
    }
    if (enter) {
        done(ResultOk);
        return true;
    }
    return false;
}

bool logon(PromptService &prompts)
{
    PasswordDialog form;
    const QString expectedUser = loadStr(StrId::LogonUserName);
    const QString expectedPassword = loadStr(StrId::LogonPassword);
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        form.onShow();
        const int result = prompts.exec(&form);
        if (result == PasswordDialog::ResultCancel)
            return false;
        if (result == PasswordDialog::ResultOk && form.edUsername->text() == expectedUser &&
            form.edPassword->text() == expectedPassword)
            return true;
    }
    return false;
}

} // namespace bw
