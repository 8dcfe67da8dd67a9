// SearchWindow: creation of the table and the controls, the grid and its
// sorting, the status bar and the table's notifications.

#include "search/search_window.h"

#include "notes/notes_table.h"
#include "platform/cursors.h"
#include "platform/guarded_dispatch.h"
#include "search/db_navigator.h"
#include "search/db_rich_edit.h"
#include "search/description_texts.h"
#include "search/locate_dialog.h"
#include "search/search_grid_model.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace bw::search {

namespace {

using State = dataset::ClientDataSet::State;

// A status bar panel drawn by the window.
class DrawnPanel : public QWidget
{
public:
    DrawnPanel(SearchWindow *window, int panel, int width)
        : QWidget(window), m_window(window), m_panel(panel)
    {
        setObjectName(QStringLiteral("StatusBar1Panel%1").arg(panel));
        setFixedWidth(width);
        setMinimumHeight(18);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_window->drawStatusPanel(m_panel, painter, rect());
    }

private:
    SearchWindow *m_window;
    int m_panel;
};

struct IndexDefRow
{
    const char *name;
    const char *fields;
    bool descending;
};

constexpr IndexDefRow kIndexes[] = {
    {"idxIDAsc", "ID", false},
    {"idxIDDesc", "ID", true},
    {"idxParentAsc", "Parent", false},
    {"idxParentDesc", "Parent", true},
    {"idxNameAsc", "Name", false},
    {"idxNameDesc", "Name", true},
    {"idxIDParentAsc", "ID;Parent", false},
    {"idxIDParentDesc", "ID;Parent", true},
    {"idxParentIDAsc", "Parent;ID", false},
    {"idxParentIDDesc", "Parent;ID", true},
};

// The ascending and descending index a title click selects for a field.
struct SortIndexes
{
    const char *field;
    const char *ascending;
    const char *descending;
};

constexpr SortIndexes kSortIndexes[] = {
    {"ID", "idxIDParentAsc", "idxIDParentDesc"},
    {"Parent", "idxParentIDAsc", "idxParentIDDesc"},
    {"Name", "idxNameAsc", "idxNameDesc"},
};

const SortIndexes *sortIndexesOf(const QString &field)
{
    for (const SortIndexes &s : kSortIndexes)
        if (field == QLatin1String(s.field))
            return &s;
    return nullptr;
}

} // namespace

SearchWindow::SearchWindow(SearchWindowContext context, QWidget *parent)
    : QWidget(parent, Qt::Window), m_context(std::move(context)), m_prompts(*m_context.prompts),
      m_texts(std::make_shared<DescriptionTexts>())
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("Search"));
    // Open or not, this window never keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(640, 560);
    createTable();
    m_locate = std::make_unique<LocateDialog>(*m_table, m_prompts);
    createControls();
    connectTable();
    connectNavigator();
    updateSearchButtons();
    updateNavigator();
}

SearchWindow::~SearchWindow()
{
    // The bound controls must not hear the table go.
    m_table->disconnect();
    // The grid and the bound boxes read the table and this window while they
    // are hidden and destroyed, so they go first, while both still exist.
    QList<QPointer<QObject>> children;
    for (QObject *child : this->children())
        children.append(child);
    for (const QPointer<QObject> &child : children)
        delete child.data();
}

void SearchWindow::createTable()
{
    m_table = std::make_unique<dataset::ClientDataSet>();
    m_table->setObjectName(QStringLiteral("wwClientDataSet"));
    notes::defineNotesFields(*m_table);
    for (const IndexDefRow &index : kIndexes)
        m_table->addIndexDef(QLatin1String(index.name), QLatin1String(index.fields),
                             index.descending);
}

void SearchWindow::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(createNavigatorPanel());
    createGrid();
    m_richEdit = new BoundRichEdit(
        *m_table, notes::kFieldDescription, m_prompts,
        [](const std::function<void()> &h) { guarded(h); }, this);
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->addWidget(m_grid);
    m_splitter->addWidget(m_richEdit);
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 2);
    m_splitter->setChildrenCollapsible(false);
    useProgramSplitCursors(m_splitter);
    layout->addWidget(m_splitter, 1);
    createStatusBar();
    layout->addWidget(m_statusBar);
}

QWidget *SearchWindow::createNavigatorPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlNavigator"));
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    auto *fileRow = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Select a File:"), panel);
    m_edFileName = new QLineEdit(panel);
    m_edFileName->setObjectName(QStringLiteral("edFileName"));
    m_edFileName->setReadOnly(true); // shows the path; typing into it has no effect
    label->setBuddy(m_edFileName);
    m_btnBrowse = new QPushButton(tr("&Open..."), panel);
    m_btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    m_btnBrowse->setToolTip(tr("Open a notes file"));
    m_btnNew = new QPushButton(tr("&New"), panel);
    m_btnNew->setObjectName(QStringLiteral("btnNew"));
    m_btnNew->setToolTip(tr("Start a new, empty table"));
    fileRow->addWidget(label);
    fileRow->addWidget(m_edFileName, 1);
    fileRow->addWidget(m_btnBrowse);
    fileRow->addWidget(m_btnNew);
    column->addLayout(fileRow);
    m_navigator = new RecordNavigator(m_context.navigatorImages, panel);
    column->addWidget(m_navigator);
    guardedConnect(m_btnBrowse, &QPushButton::clicked, this, [this] { btnBrowseClick(); });
    guardedConnect(m_btnNew, &QPushButton::clicked, this, [this] { btnNewClick(); });
    return panel;
}

void SearchWindow::createGrid()
{
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("wwDBGrid"));
    m_model = new SearchGridModel(*m_table,
                                  {notes::kFieldId, notes::kFieldParent, notes::kFieldName}, this);
    m_model->setTitleImage([this](const QString &field) {
        const int image = wwDBGridCalcTitleImage(field);
        return image >= 0 ? m_context.gridHeaderSortImages.value(image) : QIcon();
    });
    // A value typed into a cell that its field cannot hold is refused as the
    // record dialogs refuse it.
    m_model->setRefusal([this](const QString &message) {
        m_prompts.message(this, windowTitle(), message, PromptService::Icon::Error,
                          PromptService::Ok);
    });
    m_grid->setModel(m_model);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->setWordWrap(false);
    QHeaderView *rows = m_grid->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_grid->fontMetrics().height() + 4);
    rows->setMinimumWidth(16);
    QHeaderView *titles = m_grid->horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setStretchLastSection(false);
    const int charWidth = m_grid->fontMetrics().averageCharWidth();
    const int widths[] = {10, 10, 45};
    for (int column = 0; column < 3; ++column)
        m_grid->setColumnWidth(column, widths[column] * charWidth + 8);
    guardedConnect(titles, &QHeaderView::sectionClicked, this,
                   [this](int section) { wwDBGridTitleButtonClick(m_model->fieldAt(section)); });
    guardedConnect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                   [this](const QModelIndex &current) {
                       if (m_syncing || !current.isValid() ||
                           current.row() == m_model->currentRow())
                           return;
                       guarded([this, current] { m_table->setRecNo(current.row() + 1); });
                       syncGridToTable();
                   });
}

void SearchWindow::createStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(true);
    m_panels[0] = new DrawnPanel(this, 0, kStatusPanel0Width);
    m_panels[1] = new DrawnPanel(this, 1, kStatusPanel1Width);
    m_statusBar->addWidget(m_panels[0]);
    m_statusBar->addWidget(m_panels[1]);
}

void SearchWindow::connectTable()
{
    using DS = dataset::ClientDataSet;
    DS *table = m_table.get();
    auto onData = [this] { wwDataSourceDataChange(); };
    guardedConnect(table, &DS::stateChanged, this, [this] { wwDataSourceStateChange(); });
    guardedConnect(table, &DS::afterScroll, this, onData);
    guardedConnect(table, &DS::fieldChanged, this, onData);
    guardedConnect(table, &DS::dataSetChanged, this, [this] {
        m_model->reset();
        guarded([this] { wwDataSourceDataChange(); });
    });
    guardedConnect(table, &DS::afterPost, this, [this] { updateSearchButtons(); });
    guardedConnect(table, &DS::afterOpen, this, [this] {
        m_texts->clear();
        m_model->reset();
    });
    // The texts kept for filters follow every change of a description.
    guardedConnect(table, &DS::beforePost, this, [this] { m_texts->forget(m_table->bookmark()); });
    guardedConnect(table, &DS::beforeClose, this, [this] {
        m_texts->clear();
        QMetaObject::invokeMethod(this, guard([this] { m_model->reset(); }), Qt::QueuedConnection);
    });
    guardedConnect(table, &DS::afterDelete, this, [this] {
        m_model->reset();
        updateSearchButtons();
        guarded([this] { wwDataSourceDataChange(); });
    });
}

QToolButton *SearchWindow::navButton(const QString &name) const
{
    return m_navigator->button(name);
}

// ------------------------------------------------------------------ grid

void SearchWindow::wwDBGridTitleButtonClick(const QString &fieldName)
{
    const SortIndexes *indexes = sortIndexesOf(fieldName);
    if (!m_sortAscending || fieldName != m_sortField) {
        if (indexes)
            m_table->setIndexName(QLatin1String(indexes->ascending));
        m_sortAscending = true;
        m_sortDescending = false;
    } else {
        if (indexes)
            m_table->setIndexName(QLatin1String(indexes->descending));
        m_sortAscending = false;
        m_sortDescending = true;
    }
    m_sortField = fieldName;
    m_model->refreshTitles();
    syncGridToTable();
}

int SearchWindow::wwDBGridCalcTitleImage(const QString &fieldName) const
{
    const SortIndexes *indexes = sortIndexesOf(fieldName);
    if (!indexes)
        return -1;
    const QString index = m_table->indexName();
    if (m_sortAscending)
        return index == QLatin1String(indexes->ascending) ? 0 : -1;
    return index == QLatin1String(indexes->descending) ? 1 : -1;
}

// Puts the grid's current cell on the table's current record.
void SearchWindow::syncGridToTable()
{
    const int row = m_model->currentRow();
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    m_syncing = true;
    const QModelIndex target = m_model->index(row, current.isValid() ? current.column() : 0);
    m_grid->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    m_grid->scrollTo(target);
    m_syncing = false;
}

// ------------------------------------------------------------------ table notifications

void SearchWindow::wwDataSourceStateChange()
{
    const State state = m_table->state();
    // An insert adds a row to the grid and its end takes it away again.
    if (state == State::Insert || m_lastState == State::Insert || state == State::Inactive ||
        m_lastState == State::Inactive)
        m_model->reset();
    else
        m_model->refreshCurrentRow();
    m_lastState = state;
    m_panels[1]->update();
    m_modified = true;
    updateSearchButtons();
    updateNavigator();
    syncGridToTable();
}

void SearchWindow::wwDataSourceDataChange()
{
    m_model->refreshCurrentRow();
    // Panel 0 is 150 pixels wide, wider when a large count needs the room.
    const int needed = 20 + m_panels[0]->fontMetrics().horizontalAdvance(statusPanelText(0)) + 6;
    m_panels[0]->setFixedWidth(std::max(kStatusPanel0Width, needed));
    m_panels[0]->update();
    updateNavigator();
    syncGridToTable();
}

void SearchWindow::updateNavigator()
{
    m_navigator->updateButtons(*m_table);
    if (QToolButton *restore = navButton(QStringLiteral("wwDBNavigator1RestoreBookmark")))
        restore->setEnabled(restore->isEnabled() && m_table->bookmarkValid(m_savedBookmark));
}

// ------------------------------------------------------------------ status bar

QString SearchWindow::statusPanelText(int panel) const
{
    if (panel == 0) {
        if (!m_table->isActive())
            return QStringLiteral("Current/All: ...");
        return QStringLiteral("Current/All: %1/%2")
            .arg(m_table->recNo())
            .arg(m_table->recordCount());
    }
    switch (m_table->state()) {
    case State::Inactive:
        return QStringLiteral("State: Inactive");
    case State::Browse:
        return QStringLiteral("State: Browsing");
    case State::Edit:
        return QStringLiteral("State: Editing");
    case State::Insert:
        return QStringLiteral("State: Inserting");
    case State::SetKey:
        return QStringLiteral("State: SetKey");
    case State::CalcFields:
        return QStringLiteral("State: CalcFields");
    case State::Filter:
        return QStringLiteral("State: Filtering");
    }
    return QStringLiteral("State: ...");
}

int SearchWindow::statusPanelImage(int panel) const
{
    if (panel == 0)
        return 0;
    switch (m_table->state()) {
    case State::Inactive:
        return 1;
    case State::Browse:
        return 2;
    case State::Edit:
        return 3;
    case State::Insert:
        return 4;
    case State::SetKey:
        return 5;
    case State::CalcFields:
        return 6;
    case State::Filter:
        return 7;
    }
    return 8;
}

void SearchWindow::drawStatusPanel(int panel, QPainter &painter, const QRect &rect)
{
    const QPixmap image = m_context.statusBarImages.value(statusPanelImage(panel));
    if (!image.isNull())
        painter.drawPixmap(rect.topLeft(), image);
    painter.setPen(palette().windowText().color());
    const QRect textRect = rect.adjusted(20, 1, 0, 0);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, statusPanelText(panel));
}

// ------------------------------------------------------------------ showing and closing

// The status texts of the navigator go where the program shows its hints.
bool SearchWindow::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip && m_context.hintHandler) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        guarded([this, tip] { m_context.hintHandler(tip); });
        return true;
    }
    return QWidget::event(event);
}

void SearchWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { onShow(); });
}

void SearchWindow::closeEvent(QCloseEvent *event)
{
    bool mayClose = false;
    guarded([&] { mayClose = canClose(); });
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

} // namespace bw::search
