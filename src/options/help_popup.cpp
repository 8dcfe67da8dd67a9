#include "help_popup.h"

#include "platform/guarded_dispatch.h"

#include <QKeyEvent>
#include <QLabel>

namespace bw {

namespace {

constexpr int kTextMargin = 4;
constexpr int kShadowOffset = 4;
const QColor kFrameGrey(0x80, 0x80, 0x80);
const QColor kShadowGrey(0xA0, 0xA0, 0xA0);

QLabel *greyLabel(QWidget *parent, const QColor &grey)
{
    auto *label = new QLabel(parent);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, grey);
    label->setPalette(palette);
    return label;
}

} // namespace

HelpPopup::HelpPopup(const QString &caption, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(caption);
    setupWindow();
}

void HelpPopup::setupWindow()
{
    setObjectName(QStringLiteral("frmHelpPopup"));
    m_shadow = greyLabel(this, kShadowGrey);
    m_frame = greyLabel(this, kFrameGrey);
    LabelHelpHintPopup = new QLabel(this);
    LabelHelpHintPopup->setObjectName(QStringLiteral("LabelHelpHintPopup"));
    LabelHelpHintPopup->setAutoFillBackground(true);
    LabelHelpHintPopup->setTextFormat(Qt::PlainText);
    LabelHelpHintPopup->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LabelHelpHintPopup->setMargin(kTextMargin);
}

void HelpPopup::setHelpText(const QString &text, const QColor &color)
{
    m_text = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    LabelHelpHintPopup->setText(shown);
    QPalette palette = LabelHelpHintPopup->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::WindowText, QPalette().color(QPalette::ToolTipText));
    LabelHelpHintPopup->setPalette(palette);
    LabelHelpHintPopup->adjustSize();

    // The text one pixel in from the frame; the shadow below and right of it.
    const QSize size = LabelHelpHintPopup->size();
    LabelHelpHintPopup->move(1, 1);
    m_frame->setGeometry(0, 0, size.width() + 2, size.height() + 2);
    m_shadow->setGeometry(1 + kShadowOffset, 1 + kShadowOffset, size.width(), size.height());
    LabelHelpHintPopup->raise();
    setFixedSize(1 + kShadowOffset + size.width(), 1 + kShadowOffset + size.height());
}

QColor HelpPopup::hintColor() const
{
    return LabelHelpHintPopup->palette().color(QPalette::Window);
}

void HelpPopup::showAt(const QPoint &topLeft, QWidget *owner)
{
    QWidget *window = owner ? owner->window() : nullptr;
    if (window && parentWidget() != window)
        setParent(window, windowFlags());
    move(topLeft);
    show();
    raise();
    activateWindow();
}

void HelpPopup::release()
{
    hide();
    if (parentWidget())
        setParent(nullptr, windowFlags());
}

void HelpPopup::keyPressEvent(QKeyEvent *event)
{
    guarded([&] {
        event->accept();
        onKeyPress();
    });
}

void HelpPopup::mousePressEvent(QMouseEvent *event)
{
    guarded([&] {
        event->accept();
        closeEvents();
    });
}

void HelpPopup::mouseReleaseEvent(QMouseEvent *event)
{
    guarded([&] {
        event->accept();
        closeEvents();
    });
}

void HelpPopup::onKeyPress()
{
    close();
}

void HelpPopup::closeEvents()
{
    close();
}

} // namespace bw
