#include "tree/folder_tree_view.h"

#include "notes/notes_table.h"
#include "options/palette_color_binding.h"
#include "platform/guarded_dispatch.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QValidator>

namespace bw::notes {

namespace {

// Refuses characters a Name does not take (control characters) with a beep.
class NameValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        for (const QChar c : input)
            if (c.category() == QChar::Other_Control) {
                QApplication::beep();
                return Invalid;
            }
        return Acceptable;
    }
};

} // namespace

// The in-place editor, and the hot-tracked look of the node under the mouse.
class FolderTreeDelegate : public QStyledItemDelegate
{
public:
    explicit FolderTreeDelegate(FolderTreeView *view) : QStyledItemDelegate(view), m_view(view) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        auto *editor =
            qobject_cast<QLineEdit *>(QStyledItemDelegate::createEditor(parent, option, index));
        if (!editor)
            editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("dbTreeViewEditor"));
        editor->setMaxLength(kNameWidth);
        editor->setValidator(new NameValidator(editor));
        m_view->editorCreated(editor);
        return editor;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        if (m_view->look().hotTrack && (opt.state & QStyle::State_MouseOver)) {
            opt.font.setUnderline(true);
            opt.palette.setColor(QPalette::Text, opt.palette.color(QPalette::Link));
        }
        QStyledItemDelegate::paint(painter, opt, index);
    }

private:
    FolderTreeView *m_view;
};

FolderTreeView::FolderTreeView(FolderTreeLink &link, QWidget *parent)
    : QTreeView(parent), m_link(link), m_colors(new PaletteColorBinding(this))
{
    setObjectName(QStringLiteral("dbTreeView"));
    setModel(&link.model());
    setSelectionModel(&link.selectionModel());
    setItemDelegate(new FolderTreeDelegate(this));
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setIndentation(kIndent);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setDragEnabled(false); // our own drag, with its cursors
    setAutoScroll(false);
    // The selection stays visible when the tree loses the focus: the
    // inactive group takes the active highlight.
    m_colors->bind(QPalette::Highlight, ColorValue::system(ColorValue::kHighlight));
    m_colors->bind(QPalette::HighlightedText, ColorValue::system(ColorValue::kHighlightText));
    m_colors->bind(QPalette::Text, m_look.color);
    m_colors->bind(QPalette::Base, m_look.background);

    FolderTreeModel *model = &link.model();
    guardedConnect(this, &QTreeView::expanded, this, [model](const QModelIndex &index) {
        model->setExpanded(model->nodeOf(index), true);
    });
    guardedConnect(this, &QTreeView::collapsed, this, [model](const QModelIndex &index) {
        model->setExpanded(model->nodeOf(index), false);
    });
    guardedConnect(model, &QAbstractItemModel::modelReset, this, &FolderTreeView::restoreExpanded);
    guardedConnect(&link, &FolderTreeLink::scrollToNode, this,
                   [this](int id) { scrollTo(m_link.model().indexOf(id)); });
    guardedConnect(&link, &FolderTreeLink::expandNode, this,
                   [this](int id) { expand(m_link.model().indexOf(id)); });
    guardedConnect(&link, &FolderTreeLink::renamingCancelled, this, [this] { endRenaming(false); });
    guardedConnect(&link, &FolderTreeLink::selectionChanged, this,
                   &FolderTreeView::selectionChangedByLink);
}

int FolderTreeView::nodeAt(const QPoint &viewportPos) const
{
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() ? m_link.model().nodeOf(index) : FolderTreeLink::kNoNode;
}

void FolderTreeView::restoreExpanded()
{
    const FolderTreeModel &model = m_link.model();
    model.forEachInDisplayOrder([&](int id, int) {
        if (model.node(id).expanded)
            setExpanded(model.indexOf(id), true);
        return true;
    });
}

void FolderTreeView::collapseAllNodes()
{
    collapseAll();
    FolderTreeModel &model = m_link.model();
    model.forEachInDisplayOrder([&](int id, int) {
        model.setExpanded(id, false);
        return true;
    });
}

// Auto-expand: the selected node opens and the others close.
void FolderTreeView::selectionChangedByLink(int id)
{
    if (!m_look.autoExpand || !m_link.model().isNode(id))
        return;
    collapseAllNodes();
    for (int at = id; at != FolderTreeLink::kNoNode; at = m_link.model().node(at).parent)
        expand(m_link.model().indexOf(at));
}

void FolderTreeView::applyLook(const TreeLook &look, const std::function<QIcon(int)> &images)
{
    m_link.setAttached(false);
    setUpdatesEnabled(false);
    m_look = look;
    QFont treeFont = font();
    treeFont.setFamily(look.font.family());
    treeFont.setPointSize(look.font.pointSize() > 0 ? look.font.pointSize() : 8);
    treeFont.setBold(look.font.bold());
    treeFont.setItalic(look.font.italic());
    setFont(treeFont);
    m_colors->bind(QPalette::Text, look.color);
    m_colors->bind(QPalette::Base, look.background);
    setMouseTracking(look.hotTrack);
    viewport()->setAttribute(Qt::WA_Hover, look.hotTrack);
    QIcon normal = images ? images(look.iconIndex) : QIcon();
    QIcon selected = images ? images(look.iconIndex + 1) : QIcon();
    if (normal.isNull())
        normal = style()->standardIcon(QStyle::SP_DirClosedIcon);
    if (selected.isNull())
        selected = style()->standardIcon(QStyle::SP_DirOpenIcon);
    m_link.model().setImages(normal, selected);
    setUpdatesEnabled(true);
    m_link.setAttached(true);
}

bool FolderTreeView::startRename()
{
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return false;
    scrollTo(index);
    return edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

bool FolderTreeView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        if (!QTreeView::edit(index, trigger, event))
            return false;
        if (state() == QAbstractItemView::EditingState)
            m_link.beginRename(m_link.model().nodeOf(index));
        return true;
    });
}

void FolderTreeView::endRenaming(bool keepText)
{
    QWidget *editor = m_editor;
    if (!editor)
        return;
    if (keepText)
        commitData(editor);
    closeEditor(editor,
                keepText ? QAbstractItemDelegate::NoHint : QAbstractItemDelegate::RevertModelCache);
}

void FolderTreeView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor == m_editor)
        m_editor = nullptr;
    QTreeView::closeEditor(editor, hint);
}

bool FolderTreeView::viewportEvent(QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        if (event->type() == QEvent::ToolTip)
            return showToolTip(static_cast<QHelpEvent *>(event));
        return QTreeView::viewportEvent(event);
    });
}

// A tooltip shows a node's text only when the text does not fit.
bool FolderTreeView::showToolTip(QHelpEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid()) {
        QToolTip::hideText();
        return true;
    }
    const QString text = index.data().toString();
    const QRect rect = visualRect(index);
    const int iconWidth = iconSize().isValid() ? iconSize().width() : 16;
    const int needed = rect.left() + iconWidth + 8 + fontMetrics().horizontalAdvance(text);
    if (needed > viewport()->width())
        QToolTip::showText(event->globalPos(), text, viewport(), rect);
    else
        QToolTip::hideText();
    return true;
}

} // namespace bw::notes
