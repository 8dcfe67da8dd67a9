#pragma once
// The Options dialog: a category tree, a header and eight pages whose
// controls hold the current value of every setting of the Options section.
// Its store loads and saves them; applyOptions pushes them into the main
// window and the document windows, which read them through the typed
// accessors below. It also shows the help popup, restores the defaults and
// writes program launchers.

#include "platform/shell_links.h"
#include "settings/color_value.h"
#include "settings/settings_catalogue.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QPointer>

class QLabel;
class QPainter;
class QPushButton;
class QTreeWidget;

namespace bw {

namespace settings {
class Registry;
}

class ColorButton;
class HeaderPanel;
class OptionsMainTarget;
class PageControl;
class PaletteColorBinding;
class PromptService;
class RegistryRXL;
class HelpPopup;

class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    struct Context
    {
        QString registryRoot;         // "Software\ORV\Bramblewick 2000\4.0.4.0"
        int storageVersion = 0;       // 4040
        QString productName;          // "Bramblewick 2000"
        QList<QIcon> categoryIcons16; // imlOptionsTreeView16; empty: the program's own
        QList<QIcon> categoryIcons32; // imlOptionsTreeView32; empty: the program's own
        QList<QIcon> treeIcons;       // imlTreeView, for the icon choice
        QString executablePath;       // launcher target; empty: this program
        QString launcherIcon = QStringLiteral("accessories-text-editor");
    };

    // Help context numbers of the three buttons, also their tags.
    static constexpr int kOkTag = 501;
    static constexpr int kCancelTag = 502;
    static constexpr int kApplyTag = 503;
    static constexpr int kCategoryCount = 8;
    static constexpr int kPopupLeftShift = 50; // the popup starts left of its control
    static constexpr int kPopupGap = 2;        // and this far below it

    // registry: the settings file; nullptr means the user's own.
    OptionsDialog(PromptService &prompts, const Context &context,
                  settings::Registry *registry = nullptr, QWidget *parent = nullptr);
    // Writes the colour buttons' shared custom colours.
    ~OptionsDialog() override;

    void setMainTarget(OptionsMainTarget *target) { m_main = target; }
    void setHelpPopup(HelpPopup *popup);
    HelpPopup *helpPopup() const;
    RegistryRXL &settingsStore() { return *m_store; }

    void loadOptions();
    void saveOptions();
    void applyOptions();
    QString readValue(settings::Key key) const;
    void writeValue(settings::Key key, const QString &text);
    // A setting changed outside the dialog: sets its control and writes the
    // value at once ("True", "False", ...).
    void writeImmediate(settings::Key key, const QString &text);

    // The current value of a setting's control, as stored text.
    QString optionText(settings::Key key) const;
    bool isChecked(settings::Key key) const;
    // A number kept as text; its fallback when the text is no number.
    int optionNumber(settings::Key key) const;
    ColorValue optionColor(settings::Key key) const;

    // Typed reads for the windows.
    bool displayTipOfTheDayAtStartup() const;
    int taskBarType() const; // 0 Taskbar, 1 System Tray, -1 none
    ColorValue mainBackgroundColor() const;
    bool commonDisplayExitConfirm() const;
    ColorValue commonHintColor() const;
    bool commonDisplayToolTips() const;
    bool commonDisplayFlatToolBars() const;
    bool childDisplayDeleteConfirm() const;
    bool childAutoSave() const;
    int childAutoSaveMinutes() const; // 5 when no number
    int childAutoSaveInterval() const { return childAutoSaveMinutes() * 60000; }
    bool treeViewAutoExpand() const;
    bool treeViewHotTrack() const;
    int treeViewIcon() const; // 0 when no number
    QString treeViewFontName() const;
    int treeViewFontSize() const; // 8 when no number
    ColorValue treeViewFontColor() const;
    bool treeViewFontBold() const;
    bool treeViewFontItalic() const;
    ColorValue treeViewBackgroundColor() const;
    bool richEditUseTabCharacter() const;
    bool richEditAutoURLDetect() const;
    bool richEditWordWrap() const;
    QString richEditHorizontalLine() const;
    QString richEditFontName() const;
    int richEditFontSize() const; // 8 when no number
    ColorValue richEditFontColor() const;
    bool richEditFontBold() const;
    bool richEditFontItalic() const;
    ColorValue richEditBackgroundColor() const;
    bool viewBarMainMain() const;
    bool viewBarMainStatus() const;
    bool viewBarChildRecord1() const;
    bool viewBarChildEdit() const;
    bool viewBarChildFormat1() const;
    bool viewBarChildFormat2() const;
    bool viewBarChildRuler() const;
    bool viewBarChildStatus() const;

    // Event handlers.
    void treeViewCategoryChange();
    void optionsChanged();
    void childAutoSaveClick();
    void btnOkCancelApply(int tag);
    void btnRestoreDefaultSettingsClick();
    void btnAddShortCut(ShellFolder folder);
    void dfsColorButtonEnter(ColorButton *button);
    void dfsColorButtonExit(ColorButton *button);
    // A help request for a context number: the control under the mouse
    // pointer shows its help text when its context matches.
    void showHelp(int context);

    // Help text and context number of a control (empty and 0 when it has none).
    static QString helpText(const QWidget *control);
    static int helpContext(const QWidget *control);
    // The control that answers a help request at a screen position, or null.
    QWidget *helpControlAt(const QPoint &globalPos) const;
    // Shows the help of the control at globalPos when its context is context.
    bool showHelpAt(const QPoint &globalPos, int context);

    // The absolute index (0..7) of the selected category, -1 when none.
    int categoryIndex() const;
    void selectCategory(int index);
    QString headerCaption() const;
    PageControl *pageControl() const { return m_pages; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

public slots:
    void done(int result) override;

private:
    void setupWindow();
    void onShow();
    void paintHeaderImage(QPainter &painter);
    void setUpHelp();
    int focusHelpContext() const;
    void setUpStore(settings::Registry *registry);
    QWidget *createCategoryTree();
    QWidget *createHeader();
    QWidget *createButtons();
    void createPages();
    QWidget *createStartupPage();
    QWidget *createCommonPage();
    QWidget *createMainPage();
    QWidget *createNotesPage();
    QWidget *createTreeViewPage();
    QWidget *createEditorPage();
    QWidget *createViewsPage();
    QWidget *createShortcutsPage();
    void createFontGroup(QWidget *page, const QString &prefix);
    ColorButton *colorButton(QWidget *parent, const QString &name);
    QWidget *checkBox(QWidget *parent, const QString &name, const QString &caption);
    void updateAutoSaveControls();
    QWidget *control(settings::Key key) const;
    QIcon categoryIcon(int index, int size) const;

    PromptService &m_prompts;
    Context m_context;
    RegistryRXL *m_store = nullptr;
    OptionsMainTarget *m_main = nullptr;
    QPointer<HelpPopup> m_helpPopup;
    QTreeWidget *m_tree = nullptr;
    HeaderPanel *m_header = nullptr;
    PageControl *m_pages = nullptr;
    QPushButton *m_btnOk = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QPushButton *m_btnApply = nullptr;
    ColorButton *m_sharedColors = nullptr; // dfsColorButton1, hidden
    PaletteColorBinding *m_tipColors = nullptr;
    QList<ColorButton *> m_colorButtons;
};

} // namespace bw
