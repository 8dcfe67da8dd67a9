#pragma once
// ParagraphDialog, "Paragraph": indents, spacing and alignment of the
// paragraphs the selection touches, in whole points.

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QSpinBox;

namespace bw::notes {

class ParagraphDialog : public QDialog
{
    Q_OBJECT
public:
    // The largest length in points the control can keep in twips.
    static constexpr int kMaxPoints = 2147483647 / 20;

    explicit ParagraphDialog(QWidget *parent = nullptr);

    // The chosen alignment item: 0 Left, 1 Center, 2 Justify, 3 Right.
    int alignmentItem() const;
    void setAlignmentItem(int index);

    QGroupBox *gbIndentation = nullptr;
    QSpinBox *LeftIndent = nullptr;
    QSpinBox *RightIndent = nullptr;
    QSpinBox *FirstIndent = nullptr;
    QGroupBox *gbSpacing = nullptr;
    QSpinBox *SpaceBefore = nullptr;
    QSpinBox *SpaceAfter = nullptr;
    QSpinBox *LineSpacing = nullptr;
    QGroupBox *rgAlignment = nullptr;
    QButtonGroup *alignmentItems = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};

} // namespace bw::notes
