// The formatting commands of a document window inside the main window: the
// colour menus at the end of the Format menu, the catalogue's tags and
// groups, and the font dialog's Apply through the data module.

#include "commands/command_catalogue.h"
#include "document/document_bars.h"
#include "document/document_window.h"
#include "document/format_commands.h"
#include "editor/rich_edit.h"
#include "main_window_fixture.h"

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace bw;
using notes::DocumentWindow;

class tst_FormatCommandsFrame : public QObject, private test::MainWindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void colorMenusEndFormatMenu();
    void catalogueGroupsAndTags();
    void fontDialogApplyGoesToFocusedEditor();

private:
    DocumentWindow *newFile();
    void focusEditor(DocumentWindow *window);
};

void tst_FormatCommandsFrame::init()
{
    buildMainWindow(nullptr);
    if (QTest::currentTestFailed())
        return;
    m_options->writeImmediate(settings::Key::CommonDisplayExitConfirm_Checked, "False");
    showMainWindow();
    if (QTest::currentTestFailed())
        return;
    m_prompts->clear();
}

void tst_FormatCommandsFrame::cleanup()
{
    for (QMdiSubWindow *sub : m_main->mdiArea()->subWindowList())
        delete sub;
    destroyMainWindow();
}

DocumentWindow *tst_FormatCommandsFrame::newFile()
{
    m_main->updateCommands();
    m_main->action("actFileCDSNew")->trigger();
    return qobject_cast<DocumentWindow *>(m_main->activeDocumentWindow());
}

void tst_FormatCommandsFrame::focusEditor(DocumentWindow *window)
{
    window->editor()->setFocus();
    QTRY_VERIFY(window->editor()->hasFocus());
}

void tst_FormatCommandsFrame::colorMenusEndFormatMenu()
{
    DocumentWindow *window = newFile();
    QVERIFY(window);
    auto *format = window->findChild<QMenu *>("miFormat", Qt::FindDirectChildrenOnly);
    QVERIFY(format);
    const QList<QAction *> items = format->actions();
    QVERIFY(items.size() >= 2);
    QCOMPARE(items.at(items.size() - 2), window->bars()->pmFontColor->menuAction());
    QCOMPARE(items.last(), window->bars()->pmBackgroundColor->menuAction());
    QCOMPARE(items.at(items.size() - 2)->text(), QStringLiteral("Font &Color..."));
    QCOMPARE(items.last()->text(), QStringLiteral("Background C&olor..."));
    // The roots follow their commands' state.
    focusEditor(window);
    window->formatCommands()->aclFormatUpdate();
    QVERIFY(items.last()->isEnabled());
    window->action("actFormatBColor")->setEnabled(false);
    QVERIFY(!items.last()->isEnabled());
}

void tst_FormatCommandsFrame::catalogueGroupsAndTags()
{
    DocumentWindow *window = newFile();
    QVERIFY(window);
    QAction *center = window->action("actFormatAlignCenter");
    QCOMPARE(commandTag(center), 32);
    QVERIFY(center->actionGroup());
    focusEditor(window);
    RichEdit *editor = window->editor();
    // With the catalogue's groups and auto-check: Bullet twice, Centre.
    m_main->updateCommands();
    window->action("actFormatNumberingSymbols")->trigger();
    QCOMPARE(editor->paraFormat().numbering, 1);
    QCOMPARE(editor->paraFormat().offset, 200);
    window->action("actFormatNumberingSymbols")->trigger();
    QCOMPARE(editor->paraFormat().numbering, 0);
    QVERIFY(!window->action("actFormatNumberingSymbols")->isChecked());
    center->trigger();
    QCOMPARE(editor->paraFormat().alignment, int(ParaFormat::Center));
    QVERIFY(center->isChecked());
    QVERIFY(!window->action("actFormatAlignLeft")->isChecked());
    editor->setSelection(2, 2);
    window->action("actFormatSuperScript")->trigger();
    QVERIFY(editor->selectionCharFormat(FormatTarget::SelectionWord).superscript);
    QVERIFY(window->action("actFormatSuperScript")->isChecked());
    window->action("actFormatSubScript")->trigger();
    QVERIFY(window->action("actFormatSubScript")->isChecked());
    QVERIFY(!window->action("actFormatSuperScript")->isChecked());
}

void tst_FormatCommandsFrame::fontDialogApplyGoesToFocusedEditor()
{
    DocumentWindow *window = newFile();
    QVERIFY(window);
    RichEdit *editor = window->editor();
    focusEditor(window);
    QVERIFY(window->ensureEditState());
    editor->setSelection(0, 4);
    QSignalSpy beeped(m_dataModule.get(), &DataModule::beeped);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(16);
    font.setBold(true);
    m_dataModule->fontDialogApply({font, QColor(0, 0, 255)});
    QCOMPARE(beeped.count(), 0);
    const CharFormat applied = editor->selectionCharFormat();
    QCOMPARE(applied.face, QStringLiteral("Courier New"));
    QCOMPARE(applied.sizePoints(), 16);
    QVERIFY(applied.bold);
    QCOMPARE(applied.color, QColor(0, 0, 255));

    // The tree is the window's focused control: Apply beeps, nothing changes.
    window->treePane()->setFocus();
    QTRY_VERIFY(!editor->hasFocus());
    font.setPointSize(30);
    m_dataModule->fontDialogApply({font, QColor()});
    QCOMPARE(beeped.count(), 1);
    QCOMPARE(editor->selectionCharFormat().sizePoints(), 16);
}

QTEST_MAIN(tst_FormatCommandsFrame)
#include "tst_format_commands_frame.moc"
