#include "document/document_window.h"
#include "files/file_checks.h"

#include "document/document_bars.h"
#include "document/document_strings.h"
#include "document/document_window_splitter.h"
#include "document/editor_commands.h"
#include "document/editor_file_commands.h"
#include "document/format_commands.h"
#include "document/frame_services.h"
#include "document/item_commands.h"
#include "document/recovery_copy.h"
#include "document/recovery_store.h"
#include "document/ruler.h"
#include "document/search_commands.h"
#include "document/status_bar.h"
#include "editor/rich_edit.h"
#include "notes/notes_strings.h"
#include "options/palette_color_binding.h"
#include "options/registry_rxl.h"
#include "platform/guarded_dispatch.h"
#include "settings/encodings.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace bw::notes {

namespace {
constexpr int kDefaultAutoSaveMinutes = 5;
constexpr int kMillisecondsPerMinute = 60000;
constexpr int kMaxUntitledNumber = 255;
} // namespace

DocumentWindow::DocumentWindow(FrameServices &frame, const QString &fileName, QWidget *parent)
    : QWidget(parent), m_frame(frame), m_caption(fileName)
{
    setObjectName(QStringLiteral("frmMDIChild"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_autoSaveTimer.setParent(this);
    m_autoSaveTimer.setObjectName(QStringLiteral("Timer1"));
    m_autoSaveTimer.setInterval(kMillisecondsPerMinute);
    guardedConnect(&m_autoSaveTimer, &QTimer::timeout, this, &DocumentWindow::onAutosaveTimeout);
    setupCommands();
    buildLayout();
    setupEditor();
    connectTable();
    if (RecoveryStore *store = m_frame.recoveryStore())
        m_recoveryCopy = new RecoveryCopy(*this, *store);
    // The folder tree, its item commands and the navigation history.
    m_itemCommands = new ItemCommands(*this, m_frame, m_treePane);
    m_formatCommands = new FormatCommands(*this, m_frame);
    m_editorCommands = new EditorCommands(*this, m_frame);
    m_editorFileCommands = new EditorFileCommands(*this, m_frame);
    m_searchCommands = new SearchCommands(*this, m_frame);
    setupWindow();
}

DocumentWindow::~DocumentWindow()
{
    m_autoSaveTimer.stop();
    if (m_editor) {
        m_editor->setAcceptDrops(false);
        // The editor's last signals come while it is torn down.
        m_editor->disconnect(this);
    }
    // A destructor never throws: what fails here is reported and the rest goes on.
    if (m_store && !m_closed)
        guarded([this] { m_store->save(RegistryRXL::SaveReason::Destroying); });
    // A window freed without closing (the program ending) keeps no copy.
    if (!m_closed && m_recoveryCopy)
        guarded([this] { m_recoveryCopy->remove(); });
    // A window whose table could not be made may be freed without closing.
    if (m_closeRequested && !m_closed)
        guarded([this] { releaseUntitledNumber(); });
    // The editor and tree go before the table, so no signal reaches them late.
    m_table.cdsCommon().disconnect(this);
}

void DocumentWindow::setupWindow()
{
    m_ruler->buildRulerTicks();
    editorSelectionChange();
    bindSettingsStore();
    setWindowTitle(m_caption);
    openTable();
    startAutoSaveFromSettings();
}

void DocumentWindow::buildLayout()
{
    m_bars = new DocumentBars([this](const QString &name) { return action(name); }, this);
    m_splitter = new CollapsibleSplitter(this);
    m_splitter->setObjectName(QStringLiteral("SplitterMain"));
    m_splitter->addWidget(buildLeftPane());
    m_splitter->addWidget(buildRightPane());
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({289, 600});
    m_statusBar = new StatusBar(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(m_statusBar);
}

QWidget *DocumentWindow::buildLeftPane()
{
    m_leftPane = new QWidget(this);
    m_treeHeader = new QFrame(m_leftPane);
    m_treeHeader->setObjectName(QStringLiteral("pnlTreeViewHeader"));
    static_cast<QFrame *>(m_treeHeader)->setFrameShape(QFrame::StyledPanel);
    auto *headerLabel = new QLabel(kFoldersHeader, m_treeHeader);
    m_treeHeaderClose = new QToolButton(m_treeHeader);
    m_treeHeaderClose->setObjectName(QStringLiteral("btnTreeViewHeader"));
    m_treeHeaderClose->setText(QStringLiteral("\u2715"));
    m_treeHeaderClose->setAutoRaise(true);
    m_treeHeaderClose->setFocusPolicy(Qt::NoFocus); // a flat button shows no focus
    m_treeHeaderClose->setFixedSize(16, 16);
    guardedConnect(m_treeHeaderClose, &QToolButton::clicked, this,
                   &DocumentWindow::btnTreeViewHeaderClick);
    auto *headerLayout = new QHBoxLayout(m_treeHeader);
    headerLayout->setContentsMargins(2, 1, 2, 1);
    headerLayout->addWidget(headerLabel, 1);
    headerLayout->addWidget(m_treeHeaderClose);
    m_treeHeader->setContextMenuPolicy(Qt::CustomContextMenu);
    guardedConnect(
        m_treeHeader, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { m_bars->popupView(m_treeHeader->mapToGlobal(pos)); });

    m_treePane = new QWidget(m_leftPane);
    m_treePane->setObjectName(QStringLiteral("treePane"));
    auto *treeLayout = new QVBoxLayout(m_treePane);
    treeLayout->setContentsMargins(0, 0, 0, 0);

    auto *layout = new QVBoxLayout(m_leftPane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_bars->Bar_ChildRecord1);
    layout->addWidget(m_bars->Bar_ChildRecord2);
    layout->addWidget(m_treeHeader);
    layout->addWidget(m_treePane, 1);
    return m_leftPane;
}

QWidget *DocumentWindow::buildRightPane()
{
    auto *pane = new QWidget(this);
    m_ruler = new Ruler(pane);
    guardedConnect(m_ruler, &Ruler::contextMenuWanted, m_bars, &DocumentBars::popupView);
    m_editor = new RichEdit(pane);
    m_editor->setObjectName(QStringLiteral("Editor"));
    m_editorColors = new PaletteColorBinding(
        m_editor, [editor = m_editor](QPalette::ColorRole role, const QColor &color) {
            if (role == QPalette::Text)
                editor->setDefaultTextColor(color);
            else
                editor->setDefaultBackgroundColor(color);
        });
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_bars->Bar_ChildEdit);
    layout->addWidget(m_bars->Bar_ChildFormat1);
    layout->addWidget(m_bars->Bar_ChildFormat2);
    layout->addWidget(m_ruler);
    layout->addWidget(m_editor, 1);
    return pane;
}

void DocumentWindow::bindSettingsStore()
{
    m_store = std::make_unique<RegistryRXL>(this, &m_frame.registry());
    m_store->setRoot(m_frame.settingsRoot());
    m_store->setVersion(m_frame.storageVersion());
    m_store->setPlacement(RegistryRXL::Placement::Child);
    m_store->bindSection(settings::Section::Child);
}

void DocumentWindow::openTable()
{
    QString unsafeKeys;
    bool recovered = false;
    try {
        dataset::ControlsDisabler disabled(cdsCommon());
        if (const RecoveryEntry *entry = m_frame.recoveryToOpen()) {
            RecoveryCopy::load(*entry, cdsCommon());
            recovered = true;
        } else if (QFileInfo::exists(m_caption)) {
            try {
                m_table.loadFromFile(m_caption);
                m_fileStamp = files::fileStamp(m_caption);
                unsafeKeys = checkKeys();
            } catch (const dataset::DataSetError &) {
                m_frame.prompts().message(this, kErrorCaption, kCannotReadWriteFile,
                                          PromptService::Icon::Error, PromptService::Ok);
            }
        } else {
            m_table.createNewContent();
        }
    } catch (const dataset::DataSetError &) {
        m_frame.prompts().message(this, kErrorCaption, kCannotReadWriteFile,
                                  PromptService::Icon::Error, PromptService::Ok);
        m_closeRequested = true;
        QMetaObject::invokeMethod(this, guard([this] { closeWindow(); }), Qt::QueuedConnection);
    }
    if (m_recoveryCopy)
        m_recoveryCopy->opened(recovered);
    if (!unsafeKeys.isEmpty())
        m_frame.prompts().message(this, kWarningCaption, unsafeKeys, PromptService::Icon::Warning,
                                  PromptService::Ok);
    refreshStatusBar();
}

// Items that share an ID show as one node, and so do items without an ID
// (read as ID 0); a delete of that node would take the hidden ones along, and
// an item without an ID or Parent cannot be posted again. Such a file opens
// read-only (docs/document-window.md); the warning to show, else nothing.
QString DocumentWindow::checkKeys()
{
    const QList<qint32> shared = cdsCommon().sharedValues(kFieldId);
    const int withoutId = cdsCommon().nullCount(kFieldId);
    const int withoutParent = cdsCommon().nullCount(kFieldParent);
    if (shared.isEmpty() && withoutId == 0 && withoutParent == 0)
        return QString();
    cdsCommon().setReadOnly(true);
    return unsafeKeysReadOnly(m_caption, shared, withoutId, withoutParent);
}

int DocumentWindow::autoSaveMinutes() const
{
    const QString text = m_frame.optionText(settings::Key::ChildAutoSaveMinutes_Text);
    return settings::numberOr(text, kDefaultAutoSaveMinutes);
}

void DocumentWindow::startAutoSaveFromSettings()
{
    const auto on = settings::decodeBool(m_frame.optionText(settings::Key::ChildAutoSave_Checked));
    m_autoSaveTimer.stop();
    const int minutes = autoSaveMinutes();
    // A zero or negative interval never ticks, rather than saving without pause.
    if (on.value_or(false) && minutes > 0 && !m_autoSavePaused) {
        m_autoSaveTimer.setInterval(minutes * kMillisecondsPerMinute);
        m_autoSaveTimer.start();
    }
}

void DocumentWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A sub-window restored from minimised shows its widget again; that is
    // not a new showing of the document window.
    if (event->spontaneous() || m_shown)
        return;
    m_shown = true;
    guarded([this] { onShow(); });
}

void DocumentWindow::onShow()
{
    m_store->restore();
    m_frame.loadAndApplyOptions();
    refreshLineColumn();
    m_editor->setAcceptDrops(true);
    // The tree takes the focus when it can, and shows its top level only.
    if (QWidget *tree = m_treePane->focusProxy();
        tree && tree->isEnabled() && tree->focusPolicy() != Qt::NoFocus)
        tree->setFocus();
    m_itemCommands->collapseTree();
}

bool DocumentWindow::placementRestored() const
{
    return m_store && m_store->placementRestored();
}

QSize DocumentWindow::sizeHint() const
{
    QSize hint = QWidget::sizeHint();
    if (!m_splitter)
        return hint;
    const QList<int> sizes = m_splitter->sizes();
    QWidget *editorPane = m_splitter->widget(1);
    if (sizes.size() == 2 && editorPane) {
        const int width = sizes[0] + m_splitter->handleWidth() + editorPane->sizeHint().width();
        hint.setWidth(std::max(hint.width(), width));
    }
    return hint;
}

void DocumentWindow::closeWindow()
{
    if (auto *sub = parentWidget(); sub && sub->inherits("QMdiSubWindow"))
        sub->close();
    else
        close();
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    // An error while asking or saving keeps the window open with its changes.
    event->ignore();
    guarded([&] {
        const bool agreed = std::exchange(m_closeAgreed, false);
        if (!m_closeRequested && !agreed && !canClose())
            return;
        onClose();
        event->accept();
    });
}

bool DocumentWindow::queryClose()
{
    m_closeAgreed = m_closeRequested || canClose();
    return m_closeAgreed;
}

bool DocumentWindow::canClose()
{
    dataset::ClientDataSet &table = cdsCommon();
    if (!table.isActive())
        return true;
    // What an object's program saved a moment ago is in the item before the
    // question, and before its copy goes with the window.
    m_editor->checkObjectCopies();
    using State = dataset::ClientDataSet::State;
    const State state = table.state();
    if ((state == State::Edit || state == State::Insert || state == State::SetKey) &&
        table.canModify()) {
        if (!m_editor->hasFocus())
            m_itemCommands->endTreeRenaming();
        table.post();
    }
    if (table.changeCount() <= 0)
        return true;
    const int answer = m_frame.prompts().askSaveChanges(this, kConfirmCaption, m_caption);
    if (answer == PromptService::Yes) {
        m_frame.activateDocumentWindow(this);
        setFocus();
        // A save dialog cancelled keeps the window and its changes.
        return doTableCommand(TableCommand::Save);
    }
    return answer == PromptService::No;
}

bool DocumentWindow::hasUnsavedChanges() const
{
    const dataset::ClientDataSet &table = m_table.cdsCommon();
    return table.isActive() && !table.isReadOnly() &&
           (table.changeCount() > 0 || m_editorModified || table.isModified());
}

void DocumentWindow::onClose()
{
    if (m_closed)
        return;
    m_closed = true;
    m_autoSaveTimer.stop();
    // Closed saved, or with its changes discarded: the copy goes.
    if (m_recoveryCopy)
        guarded([this] { m_recoveryCopy->remove(); });
    m_store->save();
    releaseUntitledNumber();
    m_frame.documentWindowClosed(this);
}

void DocumentWindow::releaseUntitledNumber()
{
    if (!m_caption.startsWith(kUntitledPrefix))
        return;
    bool isNumber = false;
    const int number = m_caption.mid(kUntitledPrefix.size()).toInt(&isNumber);
    // A caption such as "NoNameList.cds" names no number and frees nothing.
    if (isNumber && number >= 0 && number <= kMaxUntitledNumber)
        m_frame.releaseUntitledNumber(number);
}

void DocumentWindow::btnTreeViewHeaderClick()
{
    m_splitter->collapseFirst();
}

void DocumentWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    guarded([this] {
        applyEditorMargins();
        editorSelectionChange();
    });
}

} // namespace bw::notes
