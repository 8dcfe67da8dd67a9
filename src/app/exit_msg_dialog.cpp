#include "exit_msg_dialog.h"

#include "app/app_strings.h"
#include "app/options_access.h"
#include "platform/prompt_service.h"
#include "settings/encodings.h"

#include <QCheckBox>

namespace bw {

ExitMessageDialog::ExitMessageDialog(QWidget *parent)
    : QuestionCheckDialog({QStringLiteral("frmExitMsg"), QStringLiteral("imgIcon"),
                           QStringLiteral("lbMessage"), QStringLiteral("imgQuestion")},
                          QStyle::SP_MessageBoxWarning, loadStr(StrId::ExitQuestion), ResultYes,
                          ResultNo, parent),
      imgIcon(iconLabel()), lbMessage(messageLabel()), imgQuestion(questionMarkLabel())
{
    onShow();
}

bool confirmExit(PromptService &prompts, QWidget *parent, OptionsAccess &options)
{
    const settings::Key key = settings::Key::CommonDisplayExitConfirm_Checked;
    if (!options.isChecked(key))
        return true;
    ExitMessageDialog dialog(parent);
    const int result = prompts.exec(&dialog);
    options.writeImmediate(key, settings::encodeBool(!dialog.cbDontShowThisMsgAgain->isChecked()));
    return result != ExitMessageDialog::ResultNo;
}

} // namespace bw
