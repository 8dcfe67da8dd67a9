#pragma once
// The program-wide input hook, an event filter on the application that sees
// every event before its receiver: it closes the option help popup on user
// input (the first input after the popup appeared is swallowed, the next one
// closes it), suppresses tool tips while they are switched off, and takes
// files dropped onto the frame's empty client area.

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QWidget;

namespace bw {

class MessageHook : public QObject
{
    Q_OBJECT
public:
    // Installs itself on the application; removed when destroyed.
    explicit MessageHook(QObject *parent = nullptr);
    ~MessageHook() override;

    void setHelpPopup(QWidget *popup) { m_helpPopup = popup; }
    QWidget *helpPopup() const { return m_helpPopup; }
    bool helpPopupArmed() const { return m_helpPopupArmed; }
    void setHelpPopupArmed(bool armed) { m_helpPopupArmed = armed; }

    void setToolTipsEnabled(bool enabled) { m_toolTips = enabled; }
    bool toolTipsEnabled() const { return m_toolTips; }

    // The widgets that take dropped files, and what happens with them.
    using DropTarget = std::function<bool(const QObject *receiver)>;
    using DropHandler = std::function<void(const QStringList &paths)>;
    void setDropHandling(DropTarget target, DropHandler handler);

    // Key, mouse-button, wheel, non-client and activation events count as
    // user input; plain mouse moves do not. A shortcut question is part of
    // its key press.
    static bool isUserInput(const QObject *receiver, const QEvent *event);
    // The local files a drag or drop carries.
    static QStringList droppedFiles(const QEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool helpPopupInput(QObject *watched, QEvent *event);
    bool fileDrop(QObject *watched, QEvent *event);

    QPointer<QWidget> m_helpPopup;
    bool m_helpPopupArmed = false;
    bool m_toolTips = true;
    DropTarget m_dropTarget;
    DropHandler m_dropHandler;
};

} // namespace bw
