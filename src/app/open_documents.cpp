#include "app/open_documents.h"

#include "notes/notes_table.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace bw {

QWidget *OpenDocuments::active() const
{
    if (!m_area)
        return nullptr;
    QMdiSubWindow *sub = m_area->currentSubWindow();
    if (!sub) {
        const QList<QMdiSubWindow *> used = m_area->subWindowList(QMdiArea::ActivationHistoryOrder);
        sub = used.isEmpty() ? nullptr : used.last();
    }
    return sub ? sub->widget() : nullptr;
}

QList<QWidget *> OpenDocuments::windows() const
{
    QList<QWidget *> windows;
    if (!m_area)
        return windows;
    for (QMdiSubWindow *sub : m_area->subWindowList(QMdiArea::ActivationHistoryOrder))
        if (sub->widget())
            windows.append(sub->widget());
    return windows;
}

QWidget *OpenDocuments::find(const QString &caption) const
{
    for (QWidget *window : windows())
        if (notes::isSameFile(window->windowTitle(), caption))
            return window;
    return nullptr;
}

QMdiSubWindow *OpenDocuments::subWindowOf(const QWidget *window) const
{
    if (!window || !m_area)
        return nullptr;
    for (QMdiSubWindow *sub : m_area->subWindowList())
        if (sub->widget() == window)
            return sub;
    return nullptr;
}

void OpenDocuments::bringToFront(QWidget *window)
{
    QMdiSubWindow *sub = subWindowOf(window);
    if (!sub)
        return;
    if (sub->isMinimized())
        sub->showNormal();
    m_area->setActiveSubWindow(sub);
    window->setFocus();
}

int OpenDocuments::takeUntitledNumber()
{
    for (int n = 1; n <= kMaxUntitled; ++n) {
        if (!m_untitled.test(size_t(n))) {
            m_untitled.set(size_t(n));
            return n;
        }
    }
    return 1; // all taken: another "NoName1"
}

void OpenDocuments::releaseUntitledNumber(int number)
{
    if (number >= 0 && number <= kMaxUntitled)
        m_untitled.reset(size_t(number));
}

bool OpenDocuments::untitledNumberTaken(int number) const
{
    return number >= 0 && number <= kMaxUntitled && m_untitled.test(size_t(number));
}

} // namespace bw
