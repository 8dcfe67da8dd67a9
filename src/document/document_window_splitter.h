#pragma once
// The splitter between the folder tree and the editor (`SplitterMain`): its
// handle carries a small button that collapses the tree pane, or restores it
// to the width it had before it was collapsed.

#include <QSplitter>

namespace bw::notes {

class CollapsibleSplitter : public QSplitter
{
    Q_OBJECT
public:
    static constexpr int kHandleWidth = 8;

    explicit CollapsibleSplitter(QWidget *parent = nullptr);

    // Moves the splitter to its left limit, remembering the pane's width.
    void collapseFirst();
    // Gives the first pane back the width it had before it collapsed.
    void restoreFirst();
    bool firstCollapsed() const;
    // The button on the handle: collapses or restores.
    void toggleFirst();

protected:
    QSplitterHandle *createHandle() override;

private:
    int m_restoreWidth = 0;
};

} // namespace bw::notes
