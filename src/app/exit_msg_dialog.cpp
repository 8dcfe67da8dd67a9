#include "exit_msg_dialog.h"

#include "app/app_strings.h"
#include "app/options_access.h"
#include "platform/prompt_service.h"
#include "settings/core/encodings.h"

#include <QCheckBox>

namespace bw {

TfrmExitMsg::TfrmExitMsg(QWidget *parent)
    : QuestionCheckDialog({QStringLiteral("frmExitMsg"), QStringLiteral("imgIcon"),
                           QStringLiteral("lbMessage"), QStringLiteral("imgQuestion")},
                          QStyle::SP_MessageBoxWarning, loadStr(StrId::ExitQuestion), ResultYes,
                          ResultNo, parent),
      imgIcon(iconLabel()), lbMessage(messageLabel()), imgQuestion(questionMarkLabel())
{
    FormShow();
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
