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

    // What the boxes and the alignment hold, in points.
    struct Values
    {
        int left = 0;
        int right = 0;
        int first = 0;
        int spaceBefore = 0;
        int spaceAfter = 0;
        int lineSpacing = 0;
        int alignmentItem = 0;
    };
    Values values() const;

    // Takes the boxes' texts as typed before closing: OK with the focus
    // still in a box counts what it shows.
    void accept() override;

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
