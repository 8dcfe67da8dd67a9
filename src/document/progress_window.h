#pragma once
// ProgressWindow: the small window shown while an import or an export runs,
// with a status line, a progress bar and a Cancel button. The running loop
// polls Cancelled between items; the window blocks input to the other
// windows meanwhile, so nothing changes the table under the loop.

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace bw::io {

class ProgressWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressWindow(const QString &caption, QWidget *parent = nullptr);

    bool Cancelled = false;

    QLabel *lbStatus = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *btnCancel = nullptr;

    void setMaximum(qint64 maximum);
    void setStatus(const QString &text);
    // Advances the bar by one step, repaints, and lets pending events run
    // (a click on Cancel among them).
    void stepIt();
    // The status and the bar as they are now (painted at the next step).
    QString status() const { return m_status; }
    qint64 position() const { return m_position; }
    // Lets pending events run without a step.
    static void processMessages();

signals:
    // Sent at every step, before pending events run (tests cancel through it).
    void stepped(qint64 position);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void btnCancelClick();

    // Repaints and event processing at most every few milliseconds, so that a
    // run of many small items is not slowed down by its own progress.
    bool due();
    void applyStatus();

    qint64 m_maximum = 0;
    qint64 m_position = 0;
    QString m_status;
    QElapsedTimer m_lastUpdate;
};

} // namespace bw::io
