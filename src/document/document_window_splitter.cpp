#include "document/document_window_splitter.h"

#include "platform/cursors.h"
#include "platform/guarded_dispatch.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace bw::notes {

namespace {

constexpr int kDefaultPaneWidth = 289;

class ButtonHandle : public QSplitterHandle
{
public:
    ButtonHandle(CollapsibleSplitter *splitter) : QSplitterHandle(Qt::Horizontal, splitter)
    {
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("SplitterMainButton"));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus); // a flat button shows no focus
        button->setArrowType(Qt::LeftArrow);
        button->setFixedSize(CollapsibleSplitter::kHandleWidth, 32);
        button->setCursor(Qt::ArrowCursor);
        useProgramSplitCursor(this);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addStretch(1);
        layout->addWidget(button);
        layout->addStretch(1);
        guardedConnect(button, &QToolButton::clicked, splitter, &CollapsibleSplitter::toggleFirst);
        guardedConnect(splitter, &QSplitter::splitterMoved, button, [splitter, button] {
            button->setArrowType(splitter->firstCollapsed() ? Qt::RightArrow : Qt::LeftArrow);
        });
    }
};

} // namespace

CollapsibleSplitter::CollapsibleSplitter(QWidget *parent) : QSplitter(Qt::Horizontal, parent)
{
    setHandleWidth(kHandleWidth);
    setChildrenCollapsible(true);
}

QSplitterHandle *CollapsibleSplitter::createHandle()
{
    return new ButtonHandle(this);
}

bool CollapsibleSplitter::firstCollapsed() const
{
    return count() > 1 && sizes().value(0) == 0;
}

void CollapsibleSplitter::collapseFirst()
{
    const QList<int> current = sizes();
    if (current.size() < 2 || current[0] == 0)
        return;
    m_restoreWidth = current[0];
    setSizes({0, current[0] + current[1]});
    emit splitterMoved(0, 1);
}

void CollapsibleSplitter::restoreFirst()
{
    const QList<int> current = sizes();
    if (current.size() < 2)
        return;
    const int total = current[0] + current[1];
    const int width = m_restoreWidth > 0 ? m_restoreWidth : kDefaultPaneWidth;
    setSizes({width, std::max(0, total - width)});
    emit splitterMoved(width, 1);
}

void CollapsibleSplitter::toggleFirst()
{
    if (firstCollapsed())
        restoreFirst();
    else
        collapseFirst();
}

} // namespace bw::notes
