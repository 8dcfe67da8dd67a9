// The window's commands, the View commands that show and hide its bars, the
// status bar's panels and the options applied to the window.

#include "document/document_window.h"

#include "document/document_bars.h"
#include "document/document_strings.h"
#include "document/frame_services.h"
#include "document/item_commands.h"
#include "document/ruler.h"
#include "document/status_bar.h"
#include "editor/rich_edit.h"
#include "options/palette_color_binding.h"
#include "platform/desktop_font.h"
#include "platform/guarded_dispatch.h"
#include "settings/encodings.h"

#include <QAction>
#include <QToolBar>

#include <stdexcept>

namespace bw::notes {

namespace {

using settings::Key;

struct ViewCommand
{
    const char *command;
    Key setting;
};

const ViewCommand kViewCommands[] = {
    {"actViewBar_ChildRecord1", Key::ViewBar_ChildRecord1_Checked},
    {"actViewBar_ChildEdit", Key::ViewBar_ChildEdit_Checked},
    {"actViewBar_ChildFormat1", Key::ViewBar_ChildFormat1_Checked},
    {"actViewBar_ChildFormat2", Key::ViewBar_ChildFormat2_Checked},
    {"actViewBar_ChildRuler", Key::ViewBar_ChildRuler_Checked},
    {"actViewBar_ChildStatus", Key::ViewBar_ChildStatus_Checked},
};

// Commands that never show, whatever builds them.
const char *const kHiddenCommands[] = {"actFileRTFOpen", "actFileRTFSave", "actFileRTFSaveSelected",
                                       "actFileRTFSendMail"};

} // namespace

QAction *DocumentWindow::action(const QString &name)
{
    if (auto *found = findChild<QAction *>(name, Qt::FindDirectChildrenOnly))
        return found;
    // A misspelt name would otherwise become a command nothing can reach.
    throw std::logic_error("The document window has no command " + name.toStdString());
}

void DocumentWindow::setupCommands()
{
    m_frame.createChildCommands(this);
    for (const char *name : kHiddenCommands)
        action(QString::fromLatin1(name))->setVisible(false);
    guardedConnect(action(QStringLiteral("actFileCDSSave")), &QAction::triggered, this,
                   [this] { doTableCommand(TableCommand::Save); });
    guardedConnect(action(QStringLiteral("actFileCDSSaveAs")), &QAction::triggered, this,
                   [this] { doTableCommand(TableCommand::SaveAs); });
    guardedConnect(action(QStringLiteral("actFileCDSSaveAll")), &QAction::triggered, this,
                   &DocumentWindow::saveAll);
    setupEditCommands();
    setupViewCommands();
}

void DocumentWindow::setupViewCommands()
{
    // Tree View has no visible menu item or button; its key works while the
    // focus is anywhere in this window. The window gets only this command:
    // Del, Enter and Esc stay with the folder tree.
    QAction *treeView = action(QStringLiteral("actViewTreeView"));
    treeView->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(treeView);
    for (const ViewCommand &view : kViewCommands) {
        const QString name = QString::fromLatin1(view.command);
        QAction *command = action(name);
        command->setCheckable(true);
        guardedConnect(command, &QAction::triggered, this,
                       [this, name](bool checked) { viewCommandToggled(name, checked); });
    }
}

QWidget *DocumentWindow::viewTarget(const QString &command) const
{
    if (command == QLatin1String("actViewBar_ChildRecord1"))
        return m_bars->Bar_ChildRecord1;
    if (command == QLatin1String("actViewBar_ChildEdit"))
        return m_bars->Bar_ChildEdit;
    if (command == QLatin1String("actViewBar_ChildFormat1"))
        return m_bars->Bar_ChildFormat1;
    if (command == QLatin1String("actViewBar_ChildFormat2"))
        return m_bars->Bar_ChildFormat2;
    if (command == QLatin1String("actViewBar_ChildRuler"))
        return m_ruler;
    if (command == QLatin1String("actViewBar_ChildStatus"))
        return m_statusBar;
    return nullptr;
}

void DocumentWindow::viewCommandToggled(const QString &command, bool checked)
{
    // Only this window's bar changes now; the others follow at the next apply.
    if (QWidget *target = viewTarget(command))
        target->setVisible(checked);
    for (const ViewCommand &view : kViewCommands)
        if (command == QLatin1String(view.command))
            m_frame.writeOption(view.setting, settings::encodeBool(checked));
}

void DocumentWindow::dsCommonDataChange()
{
    drawStatusPanel(0);
}

void DocumentWindow::dsCommonStateChange()
{
    updateEditorReadOnly();
    drawStatusPanel(1);
}

void DocumentWindow::refreshStatusBar()
{
    updateEditorReadOnly();
    for (int panel = 0; panel < StatusBar::kPanelCount; ++panel)
        drawStatusPanel(panel);
}

void DocumentWindow::drawStatusPanel(int panel)
{
    const dataset::ClientDataSet &table = cdsCommon();
    if (!table.isActive()) {
        m_statusBar->setPanel(panel, QString());
        return;
    }
    switch (panel) {
    case 0:
        m_statusBar->setPanel(0, kStatusItems.arg(table.recordCount()), m_frame.statusBarImage(0));
        break;
    case 1: {
        using State = dataset::ClientDataSet::State;
        switch (table.state()) {
        case State::Browse:
            m_statusBar->setPanel(1, kStatusBrowse, m_frame.statusBarImage(2));
            break;
        case State::Edit:
            m_statusBar->setPanel(1, kStatusEdit, m_frame.statusBarImage(3));
            break;
        case State::Insert:
            m_statusBar->setPanel(1, kStatusInsert, m_frame.statusBarImage(4));
            break;
        default:
            m_statusBar->setPanel(1, kStatusOther, m_frame.statusBarImage(8));
            break;
        }
        break;
    }
    case 2:
        m_statusBar->setPanel(2, m_capsText);
        break;
    case 3:
        m_statusBar->setPanel(3, m_lineColumnText);
        break;
    default:
        break;
    }
}

QString DocumentWindow::statusText(int panel) const
{
    return m_statusBar->panelText(panel);
}

void DocumentWindow::applyOptions()
{
    // The tree's rebuild walks the table: typed text goes into the item first.
    if (m_editorModified)
        storeEditorDocument();
    if (const auto flat =
            settings::decodeBool(m_frame.optionText(Key::CommonDisplayFlatToolBars_Checked)))
        m_bars->setFlat(*flat);
    startAutoSaveFromSettings();
    if (m_itemCommands)
        m_itemCommands->applyOptions();
    applyEditorOptions();
    applyBarVisibility();
}

void DocumentWindow::applyEditorOptions()
{
    auto option = [this](Key key) { return m_frame.optionText(key); };
    auto flag = [&option](Key key, bool current) {
        return settings::decodeBool(option(key)).value_or(current);
    };
    m_editor->setWantTabs(flag(Key::RichEditUseTabCharacter_Checked, m_editor->wantTabs()));
    m_editor->setAutoUrlDetect(flag(Key::RichEditAutoURLDetect_Checked, m_editor->autoUrlDetect()));
    m_editor->setWordWrap(flag(Key::RichEditWordWrap_Checked, m_editor->wordWrap()));

    // New text is set in the configured font only when it is installed: the
    // font box then names the font that is drawn. Stored documents keep
    // the names they carry.
    QFont font = m_editor->defaultFont();
    font.setFamily(installedFontFamily(option(Key::RichEditFontName_FontName)));
    font.setPointSize(settings::numberOr(option(Key::RichEditFontSize_Text), 8));
    font.setBold(flag(Key::RichEditFontBold_Checked, font.bold()));
    font.setItalic(flag(Key::RichEditFontItalic_Checked, font.italic()));
    m_editor->setDefaultFont(font);
    // System colours follow the desktop's palette from here on.
    m_editorColors->bind(QPalette::Text,
                         ColorValue::fromText(option(Key::RichEditFontColor_Color)));
    m_editorColors->bind(QPalette::Base,
                         ColorValue::fromText(option(Key::RichEditBackgroundColor_Selected)));

    // Typed text is kept before the document is loaded again in the new look.
    if (m_editorModified)
        storeEditorDocument();
    refreshEditorFromRecord(true);
}

void DocumentWindow::applyBarVisibility()
{
    for (const ViewCommand &view : kViewCommands) {
        const auto shown = settings::decodeBool(m_frame.optionText(view.setting));
        if (!shown)
            continue;
        const QString name = QString::fromLatin1(view.command);
        action(name)->setChecked(*shown);
        if (QWidget *target = viewTarget(name))
            target->setVisible(*shown);
    }
}

} // namespace bw::notes
