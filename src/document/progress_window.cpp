#include "document/progress_window.h"

#include "platform/guarded_dispatch.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace bw::io {

namespace {
// A progress bar counts in int; a longer run is shown in proportion.
constexpr int kBarRange = 10000;
constexpr qint64 kUpdateMilliseconds = 30;
} // namespace

ProgressWindow::ProgressWindow(const QString &caption, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    lbStatus = new QLabel(this);
    lbStatus->setObjectName(QStringLiteral("lbStatus"));
    lbStatus->setMinimumWidth(360);
    lbStatus->setTextFormat(Qt::PlainText);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, kBarRange);
    ProgressBar1->setValue(0);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    guardedConnect(btnCancel, &QPushButton::clicked, this, &ProgressWindow::btnCancelClick);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lbStatus);
    layout->addWidget(ProgressBar1);
    layout->addWidget(btnCancel, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

void ProgressWindow::btnCancelClick()
{
    Cancelled = true;
}

void ProgressWindow::closeEvent(QCloseEvent *event)
{
    guarded([&] {
        // The window's close button means Cancel; the running loop closes it.
        Cancelled = true;
        event->ignore();
    });
}

void ProgressWindow::setMaximum(qint64 maximum)
{
    m_maximum = maximum;
    m_position = 0;
    ProgressBar1->setValue(0);
}

void ProgressWindow::setStatus(const QString &text)
{
    m_status = text;
    if (!m_lastUpdate.isValid())
        applyStatus();
}

void ProgressWindow::applyStatus()
{
    // The label keeps one line, however long the item's name.
    lbStatus->setText(
        lbStatus->fontMetrics().elidedText(m_status, Qt::ElideRight, lbStatus->width()));
}

bool ProgressWindow::due()
{
    if (m_lastUpdate.isValid() && m_lastUpdate.elapsed() < kUpdateMilliseconds)
        return false;
    m_lastUpdate.start();
    return true;
}

void ProgressWindow::stepIt()
{
    ++m_position;
    emit stepped(m_position);
    if (!due() && m_position != m_maximum)
        return;
    applyStatus();
    const int value =
        m_maximum > 0 ? int(std::min(m_position, m_maximum) * kBarRange / m_maximum) : 0;
    if (value != ProgressBar1->value())
        ProgressBar1->setValue(value);
    repaint();
    processMessages();
}

void ProgressWindow::processMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace bw::io
