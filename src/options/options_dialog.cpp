#include "options_dialog.h"

#include "options/color_button.h"
#include "options/control_property.h"
#include "options/help_popup.h"
#include "options/options_dialog_controls.h"
#include "options/palette_color_binding.h"
#include "options/registry_rxl.h"
#include "platform/guarded_dispatch.h"
#include "settings/encodings.h"
#include "settings/registry.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace bw {

using settings::Key;

namespace {

// Categories in tree order; a node's absolute position is its page's index.
struct Category
{
    const char *text;
    int depth;
};
constexpr Category kCategories[OptionsDialog::kCategoryCount] = {
    {"Startup", 0},  {"Common", 0}, {"Main", 0},  {"Notes", 0},
    {"ItemTree", 1}, {"Editor", 1}, {"Views", 0}, {"Shortcuts", 0},
};

constexpr int kTreeWidth = 150;
constexpr QSize kMinimumSize(600, 470);

} // namespace

OptionsDialog::OptionsDialog(PromptService &prompts, const Context &context,
                             settings::Registry *registry, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_context(context)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Options"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setUpStore(registry);
    setupWindow();
}

OptionsDialog::~OptionsDialog()
{
    // The popup outlives the dialog.
    if (m_helpPopup && m_helpPopup->parentWidget() == this)
        m_helpPopup->release();
    settings::writeColorButtonColors(m_store->registry(), m_context.registryRoot,
                                     m_sharedColors->customColors());
    m_store->registry().sync();
}

void OptionsDialog::setUpStore(settings::Registry *registry)
{
    m_store = new RegistryRXL(this, registry, this);
    m_store->setRoot(m_context.registryRoot);
    m_store->setVersion(m_context.storageVersion);
    m_store->bindSection(settings::Section::Options);
    m_store->setPlacement(RegistryRXL::Placement::FixedSize);
}

void OptionsDialog::setupWindow()
{
    auto *top = new QHBoxLayout;
    auto *right = new QVBoxLayout;
    right->addWidget(createHeader());
    m_pages = new PageControl(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    right->addWidget(m_pages, 1);
    top->addWidget(createCategoryTree());
    top->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(createButtons());
    createPages();

    // The tool tip colours belong to the application, not to a window; the
    // dialog lives as long as the program and carries them.
    m_tipColors = new PaletteColorBinding(this, [](QPalette::ColorRole role, const QColor &color) {
        QPalette tips = QToolTip::palette();
        tips.setColor(role, color);
        QToolTip::setPalette(tips);
    });
    m_tipColors->watchApplication();

    // Holds the custom colours that the four colour buttons share.
    m_sharedColors = new ColorButton(this);
    m_sharedColors->setObjectName(QStringLiteral("dfsColorButton1"));
    m_sharedColors->hide();
    m_sharedColors->setCustomColors(
        settings::readColorButtonColors(m_store->registry(), m_context.registryRoot));
    for (ColorButton *button : std::as_const(m_colorButtons)) {
        button->setCustomColors(m_sharedColors->customColors());
        guardedConnect(button, &ColorButton::entered, this,
                       [this, button] { dfsColorButtonEnter(button); });
        guardedConnect(button, &ColorButton::exited, this,
                       [this, button] { dfsColorButtonExit(button); });
    }
    setUpHelp();
    updateAutoSaveControls();
    // The dialog keeps one size; only its position is stored.
    setFixedSize(sizeHint().expandedTo(kMinimumSize));
}

QWidget *OptionsDialog::createCategoryTree()
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("TreeViewCategory"));
    m_tree->setHeaderHidden(true);
    m_tree->setFixedWidth(kTreeWidth);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setIconSize(QSize(16, 16));
    QTreeWidgetItem *parent = nullptr;
    for (int i = 0; i < kCategoryCount; ++i) {
        const Category &c = kCategories[i];
        auto *item = c.depth == 0 ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parent);
        item->setText(0, QString::fromLatin1(c.text));
        item->setIcon(0, categoryIcon(i, 16));
        item->setData(0, Qt::UserRole, i);
        if (c.depth == 0)
            parent = item;
    }
    guardedConnect(m_tree, &QTreeWidget::currentItemChanged, this,
                   &OptionsDialog::treeViewCategoryChange);
    return m_tree;
}

QWidget *OptionsDialog::createHeader()
{
    m_header = new HeaderPanel(this);
    m_header->setObjectName(QStringLiteral("LMDPanelFill1"));
    m_header->setCaption(QStringLiteral(" Options"));
    m_header->imageBox()->setPaintHandler([this](QPainter &p) { paintHeaderImage(p); });
    return m_header;
}

QWidget *OptionsDialog::createButtons()
{
    auto *box = new QDialogButtonBox(this);
    m_btnOk = box->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
    m_btnCancel = box->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    m_btnApply = box->addButton(tr("&Apply"), QDialogButtonBox::ApplyRole);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnApply->setObjectName(QStringLiteral("btnApply"));
    m_btnOk->setDefault(true);
    const std::pair<QPushButton *, int> tags[] = {
        {m_btnOk, kOkTag}, {m_btnCancel, kCancelTag}, {m_btnApply, kApplyTag}};
    for (const auto &[button, tag] : tags) {
        button->setProperty("tag", tag);
        guardedConnect(button, &QPushButton::clicked, this,
                       [this, tag = tag] { btnOkCancelApply(tag); });
    }
    return box;
}

QIcon OptionsDialog::categoryIcon(int index, int size) const
{
    const QList<QIcon> &icons = size > 16 ? m_context.categoryIcons32 : m_context.categoryIcons16;
    if (index >= 0 && index < icons.size() && !icons[index].isNull())
        return icons[index];
    return QIcon(QStringLiteral(":/options/category%1_%2.png").arg(index).arg(size));
}

void OptionsDialog::showEvent(QShowEvent *event)
{
    guarded([&] {
        if (!event->spontaneous())
            onShow();
        QDialog::showEvent(event);
    });
}

void OptionsDialog::onShow()
{
    loadOptions();
    m_btnApply->setEnabled(false);
    m_tree->expandAll();
    // The tree shows the category of the page that opens.
    selectCategory(m_pages->currentIndex());
}

void OptionsDialog::treeViewCategoryChange()
{
    const int index = categoryIndex();
    if (index < 0)
        return;
    m_header->setCaption(QLatin1Char(' ') + m_tree->currentItem()->text(0));
    m_header->imageBox()->update();
    m_pages->setCurrentIndex(index);
}

void OptionsDialog::paintHeaderImage(QPainter &painter)
{
    const int index = categoryIndex();
    if (index >= 0)
        categoryIcon(index, 32).paint(&painter, QRect(0, 0, 32, 32));
}

int OptionsDialog::categoryIndex() const
{
    const QTreeWidgetItem *item = m_tree->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

void OptionsDialog::selectCategory(int index)
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() == index) {
            m_tree->setCurrentItem(*it);
            return;
        }
    }
}

QString OptionsDialog::headerCaption() const
{
    return m_header->caption();
}

void OptionsDialog::optionsChanged()
{
    m_btnApply->setEnabled(true);
}

void OptionsDialog::childAutoSaveClick()
{
    updateAutoSaveControls();
    optionsChanged();
}

void OptionsDialog::updateAutoSaveControls()
{
    const bool on = childAutoSave();
    for (const char *name :
         {"ChildAutoSaveMinutes", "ChildAutoSaveMinutes_UpDown", "ChildAutoSaveMinutes_Label"})
        findChild<QWidget *>(QLatin1String(name))->setEnabled(on);
}

void OptionsDialog::btnOkCancelApply(int tag)
{
    switch (tag) {
    case kOkTag:
        applyOptions();
        saveOptions();
        m_btnApply->setEnabled(false);
        accept();
        break;
    case kCancelTag:
        // Every control returns to its stored value; the page is kept for next time.
        writeValue(Key::PageControl_ActivePage, m_pages->activePage());
        loadOptions();
        reject();
        break;
    case kApplyTag:
        applyOptions();
        saveOptions();
        m_btnApply->setEnabled(false);
        break;
    }
}

void OptionsDialog::done(int result)
{
    // A colour button that still has the focus gives its custom colours back.
    if (auto *button = qobject_cast<ColorButton *>(focusWidget()); m_colorButtons.contains(button))
        guarded([&] { dfsColorButtonExit(button); });
    QDialog::done(result);
    if (m_helpPopup)
        m_helpPopup->hide();
    // Whatever way the dialog closes, the values are stored.
    guarded([this] { saveOptions(); });
}

void OptionsDialog::keyPressEvent(QKeyEvent *event)
{
    guarded([&] {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            m_btnCancel->click();
            return;
        }
        if (event->key() == Qt::Key_F1) {
            showHelp(focusHelpContext());
            return;
        }
        QDialog::keyPressEvent(event);
    });
}

void OptionsDialog::loadOptions()
{
    m_store->restore();
}

void OptionsDialog::saveOptions()
{
    m_store->save();
}

QString OptionsDialog::readValue(Key key) const
{
    return m_store->readValue(key);
}

void OptionsDialog::writeValue(Key key, const QString &text)
{
    m_store->writeValue(key, text);
}

void OptionsDialog::dfsColorButtonEnter(ColorButton *button)
{
    button->setCustomColors(m_sharedColors->customColors());
}

void OptionsDialog::dfsColorButtonExit(ColorButton *button)
{
    m_sharedColors->setCustomColors(button->customColors());
}

} // namespace bw
