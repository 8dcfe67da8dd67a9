#pragma once
// The Tip of the Day dialog. The index of the next tip and the start-up
// switch live in the Options section, so each showing goes on where the last
// one stopped.

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;

namespace bw {

class OptionsAccess;
class PromptService;

class TipDialog : public QDialog
{
    Q_OBJECT
public:
    // Fills the tips and reads the stored index (setupWindow).
    explicit TipDialog(OptionsAccess &options, QWidget *parent = nullptr);
    // Writes the index of the next tip (FormDestroy).
    ~TipDialog() override;

    // Shows the tip at the index and moves the index on; runs right before
    // the dialog is shown.
    void onShow();
    void btnNextClick();
    void btnOkClick();

    int index() const { return m_index; }
    int shownTip() const { return m_shown; }

    QLabel *imgBulb = nullptr;
    QLabel *lbHeading = nullptr;
    QLabel *lbTip = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnNext = nullptr;
    QCheckBox *DisplayTipOfTheDayAtStartup = nullptr;

private:
    void createControls();
    QWidget *createTipPanel();
    void showTip();

    OptionsAccess &m_options;
    QStringList m_tips;
    int m_index = 0;
    int m_shown = -1;
};

// The Help command and the start-up offer: the dialog's check box starts as
// the Options check box; however the dialog ends, its state is copied back
// and written at once, and the index of the next tip is written.
void showTipOfTheDay(PromptService &prompts, QWidget *parent, OptionsAccess &options);

} // namespace bw
