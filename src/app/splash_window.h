#pragma once
// The splash window: a borderless picture centred on the screen, shown while
// the program's long-lived windows are created.

#include <QPixmap>
#include <QWidget>

namespace bw {

class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize kSize{410, 307};

    explicit SplashWindow(QWidget *parent = nullptr);

    // Shows the window and paints it at once, so it is on screen before the
    // slow work that follows starts.
    void showNow();

    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

} // namespace bw
