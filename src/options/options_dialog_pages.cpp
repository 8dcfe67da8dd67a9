// The eight pages of the Options dialog and their controls. Every editing
// control carries the name under which its value is stored.

#include "options_dialog.h"

#include "options/color_button.h"
#include "options/control_property.h"
#include "options/options_dialog_controls.h"
#include "platform/guarded_dispatch.h"
#include "settings/settings_catalogue.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

using settings::Key;

namespace {

constexpr int kMinutesMin = 5;
constexpr int kMinutesMax = 120;
constexpr int kMinutesStep = 5;
constexpr int kMinutesMaxLength = 3;
constexpr int kMaxFontSize = 1638;

const QStringList kFontSizes{"8",  "9",  "10", "11", "12", "14", "16", "18",
                             "20", "22", "24", "26", "28", "36", "48", "72"};
const QStringList kTreeIcons{"0", "2", "4", "6", "8", "10"};

QWidget *newPage(const char *name)
{
    auto *page = new QWidget;
    page->setObjectName(QLatin1String(name));
    new QVBoxLayout(page);
    return page;
}

QVBoxLayout *pageLayout(QWidget *page)
{
    return static_cast<QVBoxLayout *>(page->layout());
}

void addHeading(QWidget *page, const QString &text)
{
    auto *label = new QLabel(text, page);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    auto *line = new QFrame(page);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    pageLayout(page)->addWidget(label);
    pageLayout(page)->addWidget(line);
}

QFormLayout *addForm(QWidget *page)
{
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->setContentsMargins(12, 0, 0, 0);
    pageLayout(page)->addLayout(form);
    return form;
}

void addIndented(QWidget *page, QWidget *w)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(12, 0, 0, 0);
    row->addWidget(w);
    row->addStretch(1);
    pageLayout(page)->addLayout(row);
}

} // namespace

QWidget *OptionsDialog::checkBox(QWidget *parent, const QString &name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    if (name != QLatin1String("ChildAutoSave"))
        guardedConnect(box, &QCheckBox::toggled, this, &OptionsDialog::optionsChanged);
    return box;
}

ColorButton *OptionsDialog::colorButton(QWidget *parent, const QString &name)
{
    auto *button = new ColorButton(parent);
    button->setObjectName(name);
    button->setPromptService(&m_prompts);
    guardedConnect(button, &ColorButton::colorChanged, this, &OptionsDialog::optionsChanged);
    m_colorButtons << button;
    return button;
}

void OptionsDialog::createPages()
{
    for (QWidget *page :
         {createStartupPage(), createCommonPage(), createMainPage(), createNotesPage(),
          createTreeViewPage(), createEditorPage(), createViewsPage(), createShortcutsPage()}) {
        pageLayout(page)->addStretch(1);
        m_pages->addWidget(page);
    }
    // The controls start with the values that a new settings root holds.
    for (Key key : settings::keysOf(settings::Section::Options)) {
        const settings::Setting &s = settings::setting(key);
        if (!s.isNamedValue())
            settings::setControlText(control(key), QLatin1String(s.property), s.kind,
                                     settings::defaultText(key));
    }
}

QWidget *OptionsDialog::createStartupPage()
{
    QWidget *page = newPage("tsStartup");
    addHeading(page, tr("Startup Options"));
    addIndented(page, checkBox(page, QStringLiteral("DisplayTipOfTheDayAtStartup"),
                               tr("Display Tip of the Day at startup")));
    auto *taskBar =
        new RadioGroup(tr("Show the Application in:"), {tr("Taskbar"), tr("System Tray")}, page);
    taskBar->setObjectName(QStringLiteral("TaskBarType"));
    taskBar->setMinimumWidth(220);
    guardedConnect(taskBar, &RadioGroup::itemIndexChanged, this, &OptionsDialog::optionsChanged);
    addIndented(page, taskBar);
    pageLayout(page)->addSpacing(12);
    auto *restore = new QPushButton(tr("Restore Default Settings"), page);
    restore->setObjectName(QStringLiteral("btnRestoreDefaultSettings"));
    guardedConnect(restore, &QPushButton::clicked, this,
                   &OptionsDialog::btnRestoreDefaultSettingsClick);
    addIndented(page, restore);
    return page;
}

QWidget *OptionsDialog::createCommonPage()
{
    QWidget *page = newPage("tsCommon");
    addHeading(page, tr("Common Options"));
    addIndented(page, checkBox(page, QStringLiteral("CommonDisplayExitConfirm"),
                               tr("Display Confirmation When Exiting Program:")));
    addIndented(page,
                checkBox(page, QStringLiteral("CommonDisplayToolTips"), tr("Display Tooltips")));
    addIndented(page, checkBox(page, QStringLiteral("CommonDisplayFlatToolBars"),
                               tr("Display Flat Style Toolbars")));
    addForm(page)->addRow(tr("Hint Color:"), colorButton(page, QStringLiteral("CommonHintColor")));
    return page;
}

QWidget *OptionsDialog::createMainPage()
{
    QWidget *page = newPage("tsMain");
    addHeading(page, tr("Main Window"));
    addForm(page)->addRow(tr("Background Color:"),
                          colorButton(page, QStringLiteral("MainBackgroundColor")));
    return page;
}

QWidget *OptionsDialog::createNotesPage()
{
    QWidget *page = newPage("tsNotes");
    addHeading(page, tr("Notes Settings"));
    addIndented(page, checkBox(page, QStringLiteral("ChildDisplayDeleteConfirm"),
                               tr("Display Delete Confirmation")));
    auto *group = new QGroupBox(tr("AutoSave"), page);
    group->setObjectName(QStringLiteral("ChildAutoSave_GroupBox"));
    auto *row = new QHBoxLayout(group);
    QWidget *autoSave = checkBox(group, QStringLiteral("ChildAutoSave"), tr("Save Changes Every"));
    guardedConnect(static_cast<QCheckBox *>(autoSave), &QCheckBox::toggled, this,
                   &OptionsDialog::childAutoSaveClick);
    auto *minutes = new QLineEdit(group);
    minutes->setObjectName(QStringLiteral("ChildAutoSaveMinutes"));
    minutes->setReadOnly(true);
    minutes->setMaxLength(kMinutesMaxLength);
    minutes->setAlignment(Qt::AlignRight);
    minutes->setFixedWidth(minutes->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    auto *upDown = new UpDown(group);
    upDown->setObjectName(QStringLiteral("ChildAutoSaveMinutes_UpDown"));
    upDown->setRange(kMinutesMin, kMinutesMax);
    upDown->setIncrement(kMinutesStep);
    upDown->setWrap(true);
    upDown->setBuddy(minutes);
    guardedConnect(upDown, &UpDown::positionChanged, this, &OptionsDialog::optionsChanged);
    auto *label = new QLabel(tr("Minutes"), group);
    label->setObjectName(QStringLiteral("ChildAutoSaveMinutes_Label"));
    row->addWidget(autoSave);
    row->addWidget(minutes);
    row->addWidget(upDown);
    row->addWidget(label);
    row->addStretch(1);
    addIndented(page, group);
    return page;
}

QWidget *OptionsDialog::createTreeViewPage()
{
    QWidget *page = newPage("tsTreeView");
    addHeading(page, tr("ItemTree Appearance"));
    addIndented(page, checkBox(page, QStringLiteral("TreeViewAutoExpand"), tr("AutoExpand:")));
    addIndented(page, checkBox(page, QStringLiteral("TreeViewHotTrack"), tr("HotTrack:")));
    auto *icon = new TextComboBox(page);
    icon->setObjectName(QStringLiteral("TreeViewIcon"));
    for (const QString &item : kTreeIcons) {
        const int n = item.toInt();
        icon->addItem(n < m_context.treeIcons.size() ? m_context.treeIcons[n] : QIcon(), item);
    }
    // The drop-down must show "10" whole, not an elided "...".
    icon->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    icon->view()->setMinimumWidth(icon->view()->sizeHintForColumn(0) + 24);
    guardedConnect(icon, &TextComboBox::textChanged, this, &OptionsDialog::optionsChanged);
    addForm(page)->addRow(tr("Icon:"), icon);
    pageLayout(page)->addSpacing(6);
    createFontGroup(page, QStringLiteral("TreeView"));
    return page;
}

QWidget *OptionsDialog::createEditorPage()
{
    QWidget *page = newPage("tsEditor");
    addHeading(page, tr("Editor Settings"));
    addIndented(page, checkBox(page, QStringLiteral("RichEditUseTabCharacter"),
                               tr("Use Tab Character i Editor:")));
    addIndented(page, checkBox(page, QStringLiteral("RichEditAutoURLDetect"),
                               tr("Open Default Browser on URL Click:")));
    addIndented(page,
                checkBox(page, QStringLiteral("RichEditWordWrap"), tr("Wrap Word in Editor:")));
    auto *line = new QLineEdit(page);
    line->setObjectName(QStringLiteral("RichEditHorizontalLine"));
    line->setMinimumWidth(260);
    guardedConnect(line, &QLineEdit::textChanged, this, &OptionsDialog::optionsChanged);
    addForm(page)->addRow(tr("Horizontal Line:"), line);
    pageLayout(page)->addSpacing(6);
    createFontGroup(page, QStringLiteral("RichEdit"));
    return page;
}

void OptionsDialog::createFontGroup(QWidget *page, const QString &prefix)
{
    addHeading(page, tr("Default Font"));
    QFormLayout *form = addForm(page);
    auto *name = new FontNameComboBox(page);
    name->setObjectName(prefix + QStringLiteral("FontName"));
    guardedConnect(name, &FontNameComboBox::fontNameChanged, this, &OptionsDialog::optionsChanged);
    auto *size = new TextComboBox(page);
    size->setObjectName(prefix + QStringLiteral("FontSize"));
    size->setEditable(true);
    size->setInsertPolicy(QComboBox::NoInsert);
    size->addItems(kFontSizes);
    size->setValidator(new QIntValidator(1, kMaxFontSize, size));
    guardedConnect(size, &QComboBox::editTextChanged, this, &OptionsDialog::optionsChanged);
    auto *styles = new QHBoxLayout;
    styles->addWidget(checkBox(page, prefix + QStringLiteral("FontBold"), tr("Bold:")));
    styles->addWidget(checkBox(page, prefix + QStringLiteral("FontItalic"), tr("Italic:")));
    styles->addStretch(1);
    auto *background = new ColorListBox(page);
    background->setObjectName(prefix + QStringLiteral("BackgroundColor"));
    guardedConnect(background, &ColorListBox::selectedChanged, this,
                   &OptionsDialog::optionsChanged);
    form->addRow(tr("Name:"), name);
    form->addRow(tr("Size:"), size);
    form->addRow(tr("Color:"), colorButton(page, prefix + QStringLiteral("FontColor")));
    form->addRow(styles);
    form->addRow(tr("Background Color:"), background);
}

QWidget *OptionsDialog::createViewsPage()
{
    QWidget *page = newPage("tsViews");
    addHeading(page, tr("View - Toolbars (Main Window)"));
    addIndented(page, checkBox(page, QStringLiteral("ViewBar_MainMain"), tr("Main bar")));
    addIndented(page, checkBox(page, QStringLiteral("ViewBar_MainStatus"), tr("Status bar")));
    pageLayout(page)->addSpacing(6);
    addHeading(page, tr("View - Toolbars (Notes Window)"));
    const std::pair<const char *, QString> bars[] = {
        {"ViewBar_ChildRecord1", tr("Folder bar")},  {"ViewBar_ChildEdit", tr("Edit bar")},
        {"ViewBar_ChildFormat1", tr("Format bar1")}, {"ViewBar_ChildFormat2", tr("Format bar2")},
        {"ViewBar_ChildRuler", tr("Ruler")},         {"ViewBar_ChildStatus", tr("Status bar")}};
    for (const auto &[name, caption] : bars)
        addIndented(page, checkBox(page, QLatin1String(name), caption));
    return page;
}

QWidget *OptionsDialog::createShortcutsPage()
{
    QWidget *page = newPage("tsShortcuts");
    addHeading(page, tr("Click on Desire Button to Create Shortcuts"));
    const std::tuple<const char *, QString, ShellFolder> buttons[] = {
        {"btnAddStartUp", tr("Run the Application at Startup"), ShellFolder::Startup},
        {"btnAddStartMenu", tr("Add Start Menu Icon"), ShellFolder::StartMenu},
        {"btnAddDesktop", tr("Add Desktop Icon"), ShellFolder::Desktop},
        {"btnAddQuickLaunch", tr("Add Quick Launch Icon"), ShellFolder::QuickLaunch}};
    for (const auto &[name, caption, folder] : buttons) {
        auto *button = new QPushButton(caption, page);
        button->setObjectName(QLatin1String(name));
        button->setMinimumWidth(240);
        guardedConnect(button, &QPushButton::clicked, this,
                       [this, folder = folder] { btnAddShortCut(folder); });
        addIndented(page, button);
    }
    return page;
}

} // namespace bw
