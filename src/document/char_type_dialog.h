#pragma once
// CharTypeDialog, "Change Character Type": a choice of lowercase, UPPERCASE or
// Word Case for the selected text.

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace bw::notes {

class CharTypeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CharTypeDialog(QWidget *parent = nullptr);

    // The chosen item: 0 lowercase, 1 UPPERCASE, 2 Word Case.
    int itemIndex() const;
    void setItemIndex(int index);

    QGroupBox *rgCharType = nullptr;
    QButtonGroup *items = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};

} // namespace bw::notes
