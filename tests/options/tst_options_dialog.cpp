#include "options/color_button.h"
#include "options/help_popup.h"
#include "options/options_dialog.h"
#include "options/options_dialog_controls.h"
#include "options/options_target.h"
#include "options/registry_rxl.h"
#include "options/system_colors.h"
#include "scripted_prompt_service.h"
#include "settings/encodings.h"
#include "settings/registry.h"

#include <QCheckBox>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

using namespace bw;
using settings::Key;

namespace {

const QString kRoot = "Software\\ORV\\Bramblewick 2000\\4.0.4.0";
const QString kSection = kRoot + "\\Options";
constexpr qint32 kWindowText = qint32(0x80000008u);

struct FakeChild : OptionsChildTarget
{
    QString name;
    QStringList *log = nullptr;
    ColorValue treeFontColor;
    int interval = 0;
    void applyChildOptions(const OptionsDialog &options) override
    {
        *log << name;
        treeFontColor = options.treeViewFontColor();
        interval = options.childAutoSaveInterval();
    }
};

struct FakeMain : OptionsMainTarget
{
    QStringList log;
    QList<OptionsChildTarget *> children;
    bool armed = true;
    void applyMainOptions(const OptionsDialog &) override { log << "main"; }
    QList<OptionsChildTarget *> optionsChildTargets() const override { return children; }
    void setHelpPopupArmed(bool value) override { armed = value; }
};

// The colour dialog of the "&Other" button: picks a colour and defines a custom one.
struct ColorPrompts : test::ScriptedPromptService
{
    QColor customToAdd;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial,
                                      QList<QColor> *customs) override
    {
        if (customs && customToAdd.isValid())
            (*customs)[0] = customToAdd;
        return ScriptedPromptService::chooseColor(parent, initial, customs);
    }
};

} // namespace

class tst_OptionsDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void categoryShowsItsPage_data();
    void categoryShowsItsPage();
    void cancelRestoresStoredValuesAndPage_data();
    void cancelRestoresStoredValuesAndPage();
    void closingSavesWithoutApplying();
    void restoreDefaultsThenOk();
    void okAndApplyCallTargets_data();
    void okAndApplyCallTargets();
    void childAutoSaveClick();
    void autoSaveMinutesWrap_data();
    void autoSaveMinutesWrap();
    void helpOnControl_data();
    void helpOnControl();
    void helpShowsNothing_data();
    void helpShowsNothing();
    void immediateWriteSetsControl();
    void customColorsShared();
    void otherColor();
    void shortcutButtons_data();
    void shortcutButtons();

private:
    void createDialog();
    void showDialog();
    template <class T> T *ctl(const char *name) const
    {
        T *w = m_dialog->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString stored(Key key) const
    {
        return m_registry->read(kSection, settings::valueName(key), "<missing>");
    }
    void showPageOf(QWidget *w);
    QTreeWidgetItem *categoryItem(const QString &text) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<ColorPrompts> m_prompts;
    std::unique_ptr<HelpPopup> m_popup;
    std::unique_ptr<OptionsDialog> m_dialog;
    FakeMain m_main;
    FakeChild m_first, m_second;
};

void tst_OptionsDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CONFIG_HOME", (m_dir->path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir->path() + "/data").toUtf8());
    qputenv("HOME", (m_dir->path() + "/home").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
    m_registry = std::make_unique<settings::Registry>(m_dir->path() + "/registry.ini");
    m_prompts = std::make_unique<ColorPrompts>();
    m_popup = std::make_unique<HelpPopup>("Bramblewick 2000");
    m_main = FakeMain{};
    m_first = FakeChild{};
    m_second = FakeChild{};
    m_first.name = "first";
    m_second.name = "second";
    m_first.log = m_second.log = &m_main.log;
    m_main.children = {&m_first, &m_second};
    createDialog();
    // As at the first start: the section holds every default.
    m_dialog->saveOptions();
}

void tst_OptionsDialog::createDialog()
{
    OptionsDialog::Context context;
    context.registryRoot = kRoot;
    context.storageVersion = 4040;
    context.productName = "Bramblewick 2000";
    context.executablePath = m_dir->path() + "/My Apps/bramblewick";
    m_dialog = std::make_unique<OptionsDialog>(*m_prompts, context, m_registry.get());
    m_dialog->setMainTarget(&m_main);
    m_dialog->setHelpPopup(m_popup.get());
}

void tst_OptionsDialog::cleanup()
{
    m_dialog.reset();
    m_popup.reset();
    m_prompts.reset();
    m_registry.reset();
    m_dir.reset();
}

void tst_OptionsDialog::showDialog()
{
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void tst_OptionsDialog::showPageOf(QWidget *w)
{
    PageControl *pages = m_dialog->pageControl();
    for (QWidget *p = w; p; p = p->parentWidget()) {
        if (p->parentWidget() && pages->indexOf(p) >= 0) {
            m_dialog->selectCategory(pages->indexOf(p));
            return;
        }
    }
}

QTreeWidgetItem *tst_OptionsDialog::categoryItem(const QString &text) const
{
    auto *tree = ctl<QTreeWidget>("TreeViewCategory");
    const QList<QTreeWidgetItem *> found =
        tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

void tst_OptionsDialog::categoryShowsItsPage_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("page");
    const char *rows[][2] = {{"Startup", "tsStartup"},   {"Common", "tsCommon"},
                             {"Main", "tsMain"},         {"Notes", "tsNotes"},
                             {"ItemTree", "tsTreeView"}, {"Editor", "tsEditor"},
                             {"Views", "tsViews"},       {"Shortcuts", "tsShortcuts"}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[0] << row[1];
}

void tst_OptionsDialog::categoryShowsItsPage()
{
    QFETCH(QString, category);
    QFETCH(QString, page);
    QCOMPARE(m_dialog->headerCaption(), " Options");
    showDialog();
    auto *tree = ctl<QTreeWidget>("TreeViewCategory");
    QTreeWidgetItem *item = categoryItem(category);
    QVERIFY(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    QCOMPARE(m_dialog->pageControl()->activePage(), page);
    QCOMPARE(m_dialog->headerCaption(), " " + category);
    QCOMPARE(m_dialog->pageControl()->currentWidget()->isVisible(), true);
}

void tst_OptionsDialog::cancelRestoresStoredValuesAndPage_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("Esc key") << true;
}

void tst_OptionsDialog::cancelRestoresStoredValuesAndPage()
{
    QFETCH(bool, escape);
    showDialog();
    QVERIFY(!ctl<QPushButton>("btnApply")->isEnabled());
    m_dialog->selectCategory(5); // Editor
    auto *wrap = ctl<QCheckBox>("RichEditWordWrap");
    QTest::mouseClick(wrap, Qt::LeftButton, {}, QPoint(wrap->width() - 8, wrap->height() / 2));
    QVERIFY(!wrap->isChecked());
    QVERIFY(ctl<QPushButton>("btnApply")->isEnabled());
    if (escape)
        QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    else
        QTest::mouseClick(ctl<QPushButton>("btnCancel"), Qt::LeftButton);

    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
    QVERIFY(wrap->isChecked());
    QCOMPARE(stored(Key::RichEditWordWrap_Checked), "True");
    QCOMPARE(stored(Key::PageControl_ActivePage), "tsEditor");
    QVERIFY(m_main.log.isEmpty());

    // Shown again: the stored page with its category, Apply off.
    m_dialog->selectCategory(0);
    m_dialog->pageControl()->setActivePage("tsStartup");
    showDialog();
    QCOMPARE(m_dialog->pageControl()->activePage(), "tsEditor");
    QCOMPARE(m_dialog->categoryIndex(), 5);
    QCOMPARE(m_dialog->headerCaption(), " Editor");
    QVERIFY(!ctl<QPushButton>("btnApply")->isEnabled());
}

void tst_OptionsDialog::closingSavesWithoutApplying()
{
    // Given an edit, when the dialog is closed by its title bar, then the
    // value is stored but nothing is applied.
    showDialog();
    ctl<QCheckBox>("TreeViewHotTrack")->click();
    m_dialog->close();
    QCOMPARE(stored(Key::TreeViewHotTrack_Checked), "True");
    QVERIFY(m_main.log.isEmpty());
    QVERIFY(ctl<QCheckBox>("TreeViewHotTrack")->isChecked());
}

void tst_OptionsDialog::restoreDefaultsThenOk()
{
    showDialog();
    // Window text on a new settings root; the user picks black.
    QCOMPARE(stored(Key::TreeViewFontColor_Color), QString::number(kWindowText));
    ctl<ColorButton>("TreeViewFontColor")->setColor(ColorValue(0));
    ctl<QCheckBox>("ChildAutoSave")->click();
    ctl<QCheckBox>("ViewBar_ChildRuler")->click();
    ctl<RadioGroup>("TaskBarType")->setItemIndex(1);
    ctl<TextComboBox>("TreeViewFontSize")->setText("14");
    ctl<QLineEdit>("RichEditHorizontalLine")->setText("====");
    m_dialog->saveOptions();
    m_dialog->hide();
    showDialog();
    QVERIFY(!ctl<QPushButton>("btnApply")->isEnabled());

    QTest::mouseClick(ctl<QPushButton>("btnRestoreDefaultSettings"), Qt::LeftButton);
    QVERIFY(ctl<QPushButton>("btnApply")->isEnabled());
    QVERIFY(m_main.log.isEmpty()); // nothing applied before OK
    QVERIFY(!ctl<QLineEdit>("ChildAutoSaveMinutes")->isEnabled());
    QVERIFY(!ctl<QWidget>("ChildAutoSaveMinutes_UpDown")->isEnabled());
    QVERIFY(!ctl<QLabel>("ChildAutoSaveMinutes_Label")->isEnabled());

    QTest::mouseClick(ctl<QPushButton>("btnOk"), Qt::LeftButton);
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(stored(Key::TreeViewFontColor_Color), QString::number(kWindowText));
    QCOMPARE(stored(Key::RichEditFontColor_Color), QString::number(kWindowText));
    QCOMPARE(m_first.treeFontColor, ColorValue(kWindowText));
    for (Key key : settings::keysOf(settings::Section::Options)) {
        if (settings::setting(key).restoreDefaultText)
            QCOMPARE(stored(key), settings::restoreDefaultText(key));
    }
    QCOMPARE(stored(Key::RichEditHorizontalLine_Text), QString(68, '-'));
    QCOMPARE(stored(Key::TreeViewFontName_FontName), "MS Sans Serif");
}

void tst_OptionsDialog::okAndApplyCallTargets_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("withWindows");
    QTest::newRow("OK") << "btnOk" << true;
    QTest::newRow("Apply") << "btnApply" << true;
    QTest::newRow("OK without document windows") << "btnOk" << false;
}

void tst_OptionsDialog::okAndApplyCallTargets()
{
    QFETCH(QString, button);
    QFETCH(bool, withWindows);
    if (!withWindows)
        m_main.children.clear();
    showDialog();
    ctl<QCheckBox>("ChildAutoSave")->click();
    QTest::keyClick(ctl<QLineEdit>("ChildAutoSaveMinutes"), Qt::Key_Up);
    auto *hint = ctl<ColorButton>("CommonHintColor");
    hint->setColor(ColorValue::fromRgb(255, 0, 0));
    QTest::mouseClick(m_dialog->findChild<QPushButton *>(button), Qt::LeftButton);

    // The main window first, then the document windows from the last to the first.
    QCOMPARE(m_main.log,
             withWindows ? QStringList({"main", "second", "first"}) : QStringList({"main"}));
    if (withWindows)
        QCOMPARE(m_first.interval, 10 * 60000);
    QCOMPARE(stored(Key::ChildAutoSave_Checked), "True");
    QCOMPARE(stored(Key::ChildAutoSaveMinutes_Text), "10");
    QCOMPARE(stored(Key::CommonHintColor_Color), "255");
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(255, 0, 0));
    QVERIFY(!ctl<QPushButton>("btnApply")->isEnabled());
    QCOMPARE(m_dialog->isVisible(), button == "btnApply");
}

void tst_OptionsDialog::childAutoSaveClick()
{
    showDialog();
    auto *autoSave = ctl<QCheckBox>("ChildAutoSave");
    const QList<QWidget *> dependants = {ctl<QWidget>("ChildAutoSaveMinutes"),
                                         ctl<QWidget>("ChildAutoSaveMinutes_UpDown"),
                                         ctl<QWidget>("ChildAutoSaveMinutes_Label")};
    for (QWidget *w : dependants)
        QVERIFY(!w->isEnabled());
    autoSave->click();
    for (QWidget *w : dependants)
        QVERIFY(w->isEnabled());
    QVERIFY(ctl<QPushButton>("btnApply")->isEnabled());
    autoSave->click();
    for (QWidget *w : dependants)
        QVERIFY(!w->isEnabled());

    // A stored "True" restores the box and, with it, the dependants.
    m_registry->write(kSection, settings::valueName(Key::ChildAutoSave_Checked), "TRUE");
    m_dialog->loadOptions();
    QVERIFY(autoSave->isChecked());
    for (QWidget *w : dependants)
        QVERIFY(w->isEnabled());
}

void tst_OptionsDialog::autoSaveMinutesWrap_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("arrowButton");
    QTest::addColumn<QString>("result");
    QTest::newRow("up") << "5" << int(Qt::Key_Up) << false << "10";
    QTest::newRow("below 5 wraps to 120") << "5" << int(Qt::Key_Down) << false << "120";
    QTest::newRow("above 120 wraps to 5") << "120" << int(Qt::Key_Up) << false << "5";
    QTest::newRow("up to the top") << "115" << int(Qt::Key_Up) << false << "120";
    QTest::newRow("arrow button down") << "60" << int(Qt::Key_Down) << true << "55";
    QTest::newRow("arrow button wraps") << "120" << int(Qt::Key_Up) << true << "5";
}

void tst_OptionsDialog::autoSaveMinutesWrap()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(bool, arrowButton);
    QFETCH(QString, result);
    m_registry->write(kSection, settings::valueName(Key::ChildAutoSave_Checked), "True");
    m_registry->write(kSection, settings::valueName(Key::ChildAutoSaveMinutes_Text), start);
    showDialog();
    auto *edit = ctl<QLineEdit>("ChildAutoSaveMinutes");
    QCOMPARE(edit->text(), start);
    QVERIFY(edit->isReadOnly());
    QCOMPARE(edit->maxLength(), 3);
    if (arrowButton) {
        const QList<QToolButton *> arrows =
            ctl<UpDown>("ChildAutoSaveMinutes_UpDown")->findChildren<QToolButton *>();
        QCOMPARE(arrows.size(), 2);
        QTest::mouseClick(arrows[key == Qt::Key_Up ? 0 : 1], Qt::LeftButton);
    } else {
        QTest::keyClick(edit, Qt::Key(key));
    }
    QCOMPARE(edit->text(), result);
    QVERIFY(ctl<QPushButton>("btnApply")->isEnabled());
}

void tst_OptionsDialog::helpOnControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("clicked"); // the widget clicked, when it is a part
    QTest::addColumn<QString>("text");
    QTest::newRow("check box") << "RichEditWordWrap"
                               << ""
                               << "When checked, the editor wrap text at the right \r\nmargin "
                                  "so it fits in the window.";
    QTest::newRow("button with tag") << "btnApply"
                                     << ""
                                     << "Press Apply button to apply all changes without "
                                        "\r\nexiting options.";
    QTest::newRow("radio button of the group") << "TaskBarType"
                                               << "radio" << QString();
    QTest::newRow("disabled edit") << "ChildAutoSaveMinutes"
                                   << ""
                                   << "Specify the amount of time in minutes that \r\nAutosave "
                                      "should take effect.";
    QTest::newRow("category tree") << "TreeViewCategory"
                                   << "viewport"
                                   << "All settings in this dialog box are grouped \r\nin "
                                      "categories.\r\n\r\nSelect one of the categories to view "
                                      "or change \r\ncorresponding values.";
    QTest::newRow("colour list") << "TreeViewBackgroundColor"
                                 << ""
                                 << "Select a color that should be used as \r\nbackground color "
                                    "in itemtree.";
    QTest::newRow("shortcut button") << "btnAddQuickLaunch"
                                     << ""
                                     << "This will creates a program link on your \r\nQuick "
                                        "Launch Bar.";
}

void tst_OptionsDialog::helpOnControl()
{
    QFETCH(QString, control);
    QFETCH(QString, clicked);
    QFETCH(QString, text);
    showDialog();
    m_dialog->findChild<ColorButton *>("CommonHintColor")->setColor(ColorValue::fromRgb(1, 2, 3));
    QWidget *w = m_dialog->findChild<QWidget *>(control);
    QVERIFY(w);
    showPageOf(w);
    QWidget *target = w;
    if (clicked == "radio")
        target = w->findChildren<QRadioButton *>().value(1);
    else if (clicked == "viewport")
        target = static_cast<QAbstractScrollArea *>(w)->viewport();
    const QPoint local = target->rect().center();
    // The path of a click in "What's This?" mode (the title bar's help button).
    QHelpEvent event(QEvent::WhatsThis, local, target->mapToGlobal(local));
    QApplication::sendEvent(target, &event);

    QVERIFY(m_popup->isVisible());
    if (text.isEmpty())
        text = m_dialog->helpText(w);
    QVERIFY(!text.isEmpty());
    QCOMPARE(m_popup->helpText(), text);
    QCOMPARE(m_popup->hintColor(), QColor(1, 2, 3));
    const QPoint corner = w->mapToGlobal(QPoint(0, 0));
    QCOMPARE(m_popup->pos(), QPoint(qMax(0, corner.x() - 50), corner.y() + w->height() + 2));
    QVERIFY(!m_main.armed);
}

void tst_OptionsDialog::helpShowsNothing_data()
{
    QTest::addColumn<QString>("place");
    QTest::newRow("label") << "ChildAutoSaveMinutes_Label";
    QTest::newRow("page heading") << "heading";
    QTest::newRow("empty page area") << "page";
    QTest::newRow("context of another control (F1)") << "other context";
}

void tst_OptionsDialog::helpShowsNothing()
{
    QFETCH(QString, place);
    showDialog();
    m_dialog->selectCategory(3); // Notes
    QWidget *page = m_dialog->pageControl()->currentWidget();
    QPoint global;
    int context = 0;
    if (place == "ChildAutoSaveMinutes_Label" || place == "other context") {
        QWidget *w = ctl<QWidget>(place == "other context" ? "ChildDisplayDeleteConfirm"
                                                           : "ChildAutoSaveMinutes_Label");
        global = w->mapToGlobal(w->rect().center());
        context = place == "other context" ? 501 : OptionsDialog::helpContext(w);
    } else if (place == "heading") {
        QLabel *heading = page->findChildren<QLabel *>().value(0);
        QCOMPARE(heading->text(), "Notes Settings");
        global = heading->mapToGlobal(heading->rect().center());
    } else {
        global = page->mapToGlobal(QPoint(page->width() - 5, page->height() - 5));
    }
    if (place != "other context")
        context = OptionsDialog::helpContext(m_dialog->helpControlAt(global));
    QVERIFY(!m_dialog->showHelpAt(global, context));
    QVERIFY(!m_popup->isVisible());
    QVERIFY(m_main.armed);
}

void tst_OptionsDialog::immediateWriteSetsControl()
{
    // A setting written outside the dialog reaches both the store and the control.
    m_dialog->writeImmediate(Key::CommonDisplayExitConfirm_Checked, "False");
    QVERIFY(!ctl<QCheckBox>("CommonDisplayExitConfirm")->isChecked());
    QVERIFY(!m_dialog->commonDisplayExitConfirm());
    QCOMPARE(stored(Key::CommonDisplayExitConfirm_Checked), "False");
    m_dialog->writeImmediate(Key::ViewBar_ChildRuler_Checked, "False");
    QVERIFY(!m_dialog->viewBarChildRuler());
    QCOMPARE(stored(Key::ViewBar_ChildRuler_Checked), "False");
}

void tst_OptionsDialog::customColorsShared()
{
    const QList<ColorValue> initial = settings::defaultColorButtonColors();
    auto *hint = ctl<ColorButton>("CommonHintColor");
    auto *font = ctl<ColorButton>("RichEditFontColor");
    QCOMPARE(hint->customColors(), initial);

    // A custom colour defined in one button is offered by the others.
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(hint, &in);
    QList<ColorValue> changed = initial;
    changed[3] = ColorValue::fromRgb(10, 20, 30);
    hint->setCustomColors(changed);
    QApplication::sendEvent(hint, &out);
    QApplication::sendEvent(font, &in);
    QCOMPARE(font->customColors(), changed);

    // Given the focus still in a button whose custom colours changed, closing
    // the dialog keeps them.
    showDialog();
    QApplication::setActiveWindow(m_dialog.get());
    font->setFocus(Qt::TabFocusReason);
    QCOMPARE(m_dialog->focusWidget(), font);
    changed[15] = ColorValue::fromRgb(40, 50, 60);
    font->setCustomColors(changed);
    m_dialog->close();

    // Written when the dialog goes, read when it is created.
    m_dialog.reset();
    QCOMPARE(settings::readColorButtonColors(*m_registry, kRoot), changed);
    createDialog();
    QCOMPARE(ctl<ColorButton>("MainBackgroundColor")->customColors(), changed);
}

void tst_OptionsDialog::otherColor()
{
    showDialog();
    m_dialog->selectCategory(2);
    auto *button = ctl<ColorButton>("MainBackgroundColor");
    QTest::mouseClick(button, Qt::LeftButton);
    ColorPalettePopup *popup = button->palettePopup();
    QVERIFY(popup);
    // The first palette colour: black.
    popup->pick(0);
    QCOMPARE(button->color(), ColorValue(0));
    QVERIFY(ctl<QPushButton>("btnApply")->isEnabled());

    QTest::mouseClick(button, Qt::LeftButton);
    m_prompts->customToAdd = QColor(0x12, 0x34, 0x56);
    m_prompts->colorAnswers.enqueue(QColor(0xAB, 0xCD, 0xEF));
    auto *other = button->palettePopup()->findChild<QPushButton *>("btnOther");
    QCOMPARE(other->text(), "&Other");
    QTest::mouseClick(other, Qt::LeftButton);
    QCOMPARE(m_prompts->count("color"), 1);
    QCOMPARE(button->color(), ColorValue::fromRgb(0xAB, 0xCD, 0xEF));
    QCOMPARE(button->customColors().value(0), ColorValue::fromRgb(0x12, 0x34, 0x56));
}

void tst_OptionsDialog::shortcutButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("folder");
    QTest::newRow("startup") << "btnAddStartUp"
                             << "/config/autostart";
    QTest::newRow("start menu") << "btnAddStartMenu"
                                << "/data/applications";
    QTest::newRow("desktop") << "btnAddDesktop"
                             << "/home/Desktop";
    QTest::newRow("quick launch") << "btnAddQuickLaunch"
                                  << "/data/applications";
}

void tst_OptionsDialog::shortcutButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, folder);
    showDialog();
    m_dialog->selectCategory(7);
    auto *b = m_dialog->findChild<QPushButton *>(button);
    QVERIFY(b && b->isVisible());
    const QString file = m_dir->path() + folder + "/Bramblewick 2000.desktop";
    QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(QFile::exists(file));
    QFile::remove(file);
    QFile stale(file);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("[Desktop Entry]\nExec=/old/path\n");
    stale.close();
    QTest::mouseClick(b, Qt::LeftButton); // replaces the existing one

    QFile launcher(file);
    QVERIFY(launcher.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(launcher.readAll());
    QVERIFY(text.contains("Name=Bramblewick 2000\n"));
    QVERIFY2(text.contains("Exec=\"" + m_dir->path() + "/My Apps/bramblewick\"\n"),
             qPrintable(text));
    QVERIFY(text.contains("Path=" + m_dir->path() + "/My Apps\n"));
    QVERIFY(!text.contains("/old/path"));
    QCOMPARE(m_prompts->asked.size(), 0); // nothing shown
}

QTEST_MAIN(tst_OptionsDialog)
#include "tst_options_dialog.moc"
