#pragma once
// The keys that switch between the document windows of the frame, as MDI
// programs offer them: Ctrl+Tab and Ctrl+F6 go to the next document window,
// Ctrl+Shift+Tab and Ctrl+Shift+F6 to the previous one, wherever the focus is
// in the frame (a tree, an editor, a bar's box, or nowhere after a Window
// command). The window switched to gets back the focus it had.

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QMdiArea;
class QWidget;

namespace bw {

class WindowSwitchKeys : public QObject
{
    Q_OBJECT
public:
    enum class Step { None, Next, Previous };

    // Watches the key input of the application for frame; removed when destroyed.
    WindowSwitchKeys(QWidget *frame, QMdiArea *area);
    ~WindowSwitchKeys() override;

    static Step stepOf(const QKeyEvent *event);
    // Activates the next or previous document window and gives the focus
    // back to the control of it that had it last.
    void switchWindow(Step step);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isFrameInput(QObject *watched) const;

    QPointer<QWidget> m_frame;
    QPointer<QMdiArea> m_area;
};

} // namespace bw
