#pragma once
// The modeless Find and Replace dialogs of an editor: the find text, the
// replace text (Replace only), direction, match case and whole word. The
// dialog only collects the choice and reports its buttons; the window runs
// the search. Closing hides it, so it keeps its texts and options.

#include "editor/text_finder.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace bw {

class FindDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Find, Replace };

    explicit FindDialog(Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    QString findText() const;
    void setFindText(const QString &text);
    QString replaceText() const;
    void setReplaceText(const QString &text);
    FindOptions options() const;
    void setOptions(const FindOptions &options);

    // The buttons, also for tests (the dialog's own buttons call them).
    void clickFindNext();
    void clickReplace();
    void clickReplaceAll();

signals:
    void findNext();
    void replace();
    void replaceAll();

private:
    void updateButtons();

    Mode m_mode;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QPushButton *m_findNext = nullptr;
    QPushButton *m_replaceOne = nullptr;
    QPushButton *m_replaceAll = nullptr;
};

} // namespace bw
