#pragma once
// The help popup of the Options dialog: a borderless window showing one help
// text on the hint colour, with a grey frame and a grey shadow. It closes on a
// key press in it or a mouse press or release on it; the main window's input
// handling closes it on the next input elsewhere.

#include <QColor>
#include <QWidget>

class QLabel;

namespace bw {

class HelpPopup : public QWidget
{
    Q_OBJECT
public:
    // caption: the product name.
    explicit HelpPopup(const QString &caption, QWidget *parent = nullptr);

    // Puts text on the colour into the text label, sizes the frame and shadow
    // labels around it and the window around them.
    void setHelpText(const QString &text, const QColor &color);
    // The text as given ("\r\n" line breaks included).
    QString helpText() const { return m_text; }
    QColor hintColor() const;

    // Shows the popup at a screen position without making it modal. The popup
    // becomes a window of owner's window, so that owner's modality does not
    // block its input; the owner gives it back with release() before it goes.
    void showAt(const QPoint &topLeft, QWidget *owner);
    // Hides the popup and makes it a window of its own again.
    void release();

    QLabel *LabelHelpHintPopup;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setupWindow();
    void onKeyPress();
    void closeEvents();

    QLabel *m_frame;
    QLabel *m_shadow;
    QString m_text;
};

} // namespace bw
