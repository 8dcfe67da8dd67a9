// The formatting commands of the document window, driven through the
// window's own commands: character formats of the word at the caret and of
// selections, the font dialog and boxes, colours, script, masks, character
// type and count, alignment, numbering, the paragraph dialog and the ruler.

#include "document/char_type_dialog.h"
#include "document/color_menu.h"
#include "document/document_bars.h"
#include "document/document_window.h"
#include "document/editor_format_keys.h"
#include "document/format_commands.h"
#include "document/paragraph_dialog.h"
#include "document/ruler.h"
#include "document/ruler_controller.h"
#include "document/ruler_marker.h"
#include "editor/rich_edit.h"
#include "notes/notes_table.h"
#include "platform/guarded_dispatch.h"
#include "window_test_fixture.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <limits>

#include <memory>

using namespace bw;
using namespace bw::notes;
using State = dataset::ClientDataSet::State;

namespace {

// A prompt service that also keeps the font the dialog was primed with and
// can press Apply while the dialog is open.
class FontPrompts : public test::ScriptedPromptService
{
public:
    std::optional<FontAnswer> primed;
    std::optional<FontAnswer> applyWith;

    std::optional<FontAnswer>
    chooseFont(QWidget *parent, const FontAnswer &initial,
               const std::function<void(const FontAnswer &)> &apply) override
    {
        primed = initial;
        if (applyWith && apply)
            apply(*std::exchange(applyWith, std::nullopt));
        return ScriptedPromptService::chooseFont(parent, initial, apply);
    }
};

using Fixture = test::BasicDocumentWindowFixture<FontPrompts>;

QString rtf(const QString &body)
{
    return QStringLiteral(
               "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
               "\\f0\\fs16 %1\\par}")
        .arg(body);
}

} // namespace

class tst_FormatCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void boldOnWordAtCaretEditsAndPosts();
    void italicOnMixedSelectionWritesStylesRead();
    void sizeSteps_data();
    void sizeSteps();
    void fontBoxesFollowCaretWithoutWriting();
    void fontBoxesWriteTarget();
    void typedFontValueAppliesOnce_data();
    void typedFontValueAppliesOnce();
    void fontBoxTextOpensFontPopup();
    void newTextUsesAnInstalledFont();
    void colorMenus();
    void automaticColorOnRedText();
    void script_data();
    void script();
    void protectedTextRefusesBoldUntilUnprotected();
    void changeCharacterType_data();
    void changeCharacterType();
    void changeCharacterTypeCancelledKeepsFormats();
    void countCharacters();
    void enablingFollowsFocusAndText();
    void updatingFormatControlsBlocksCommands();
    void fontDialogWritesTargetAndApplyTheSelection();
    void alignment_data();
    void alignment();
    void numbering();
    void removingNumberingKeepsIndents_data();
    void removingNumberingKeepsIndents();
    void paragraphDialog_data();
    void paragraphDialog();
    void paragraphDialogWritesOnlyChanges_data();
    void paragraphDialogWritesOnlyChanges();
    void paragraphDialogEmptiedBoxIsZero();
    void paragraphDialogIndentsAtTheBounds_data();
    void paragraphDialogIndentsAtTheBounds();
    void rulerScale_data();
    void rulerScale();
    void rulerMarkerCentres();
    void rulerDragLeftToFarLeft();
    void rulerDragFirstAndRight();
    void formattingSurvivesSaveAndReopen();
    void changingCommandsDisabledWhenItemCannotChange_data();
    void changingCommandsDisabledWhenItemCannotChange();
    void editorKeysRunFormatCommands_data();
    void editorKeysRunFormatCommands();
    void editorKeysLeaveProtectedTextAndCatalogueKeys();

private:
    DocumentWindow *open(const QString &name);
    // Replaces the first item's document and puts the caret at position.
    void setDocument(DocumentWindow *window, const QString &rtfText, int caret = 0);
    void focusEditor(DocumentWindow *window);
    void run(DocumentWindow *window, const char *command);
    CharFormat formatAt(DocumentWindow *window, int from, int to);
    // A format value of the whole text, by name ("bold", "align", ...).
    int formatValue(DocumentWindow *window, const QString &field);
    QString path(const QString &name) const { return m_fixture->path(name); }

    std::unique_ptr<Fixture> m_fixture;
    FontPrompts *m_prompts = nullptr;
};

void tst_FormatCommands::init()
{
    m_fixture = std::make_unique<Fixture>();
    m_prompts = &m_fixture->prompts;
}

void tst_FormatCommands::cleanup()
{
    m_prompts = nullptr;
    m_fixture.reset();
}

DocumentWindow *tst_FormatCommands::open(const QString &name)
{
    DocumentWindow *window = m_fixture->open(name, Fixture::Show::Plain);
    [&] { QVERIFY(QTest::qWaitForWindowActive(window)); }();
    return window;
}

void tst_FormatCommands::setDocument(DocumentWindow *window, const QString &rtfText, int caret)
{
    dataset::ClientDataSet &table = window->cdsCommon();
    table.edit();
    table.setBytes(kFieldDescription, rtfText.toLatin1());
    table.post();
    window->editor()->setSelection(caret, caret);
}

void tst_FormatCommands::focusEditor(DocumentWindow *window)
{
    window->activateWindow();
    window->editor()->setFocus();
    QTRY_VERIFY(window->editor()->hasFocus());
}

void tst_FormatCommands::run(DocumentWindow *window, const char *command)
{
    window->action(QString::fromLatin1(command))->trigger();
}

CharFormat tst_FormatCommands::formatAt(DocumentWindow *window, int from, int to)
{
    RichEdit *editor = window->editor();
    return commonCharFormat(editor->document(), from, to, editor->formatDefaults());
}

void tst_FormatCommands::boldOnWordAtCaretEditsAndPosts()
{
    // Given the caret inside "world", when Bold runs, then the whole word
    // (and nothing else) is bold, the item is in edit state, and after the
    // post the item's RTF holds the bold word.
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("hello world again"), 8);
    focusEditor(window);
    QCOMPARE(window->cdsCommon().state(), State::Browse);
    run(window, "actFormatBold");
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QVERIFY(formatAt(window, 6, 11).bold);
    QVERIFY(formatAt(window, 6, 11).has(CharFormat::Bold));
    QVERIFY(!formatAt(window, 0, 5).bold);
    QVERIFY(!formatAt(window, 12, 17).bold);
    QVERIFY(window->action("actFormatBold")->isChecked());

    window->cdsCommon().post();
    RichEdit stored;
    QBuffer buffer;
    buffer.setData(window->cdsCommon().asBytes(kFieldDescription));
    buffer.open(QIODevice::ReadOnly);
    stored.loadFromStream(&buffer, StreamFormat::Rtf);
    QCOMPARE(stored.toPlainText(), QStringLiteral("hello world again"));
    const CharFormat word = commonCharFormat(stored.document(), 6, 11, stored.formatDefaults());
    QVERIFY(word.has(CharFormat::Bold) && word.bold);
    QVERIFY(!commonCharFormat(stored.document(), 0, 5, stored.formatDefaults()).bold);
}

void tst_FormatCommands::italicOnMixedSelectionWritesStylesRead()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\b bold\\b0  plain"));
    focusEditor(window);
    window->editor()->setSelection(0, 10);
    const bool boldRead = window->formatCommands()->currentAttributes().bold;
    run(window, "actFormatItalic");
    const CharFormat after = formatAt(window, 0, 10);
    QVERIFY(after.has(CharFormat::Italic) && after.italic);
    // The bold bit as read is written back for the whole selection.
    QVERIFY(after.has(CharFormat::Bold));
    QCOMPARE(after.bold, boldRead);
}

void tst_FormatCommands::sizeSteps_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("expected");
    QTest::newRow("increase at 8") << 8 << QByteArray("actFormatIncreaseFontSize") << 9;
    QTest::newRow("decrease at 9") << 9 << QByteArray("actFormatDecreaseFontSize") << 8;
    // The command asks for 0 points; the control keeps 1 and the box shows it.
    QTest::newRow("decrease at 1") << 1 << QByteArray("actFormatDecreaseFontSize") << 1;
}

void tst_FormatCommands::sizeSteps()
{
    QFETCH(int, size);
    QFETCH(QByteArray, command);
    QFETCH(int, expected);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf(QStringLiteral("\\fs%1 word").arg(size * 2)), 2);
    focusEditor(window);
    run(window, command.constData());
    QCOMPARE(formatAt(window, 0, 4).sizePoints(), expected);
    QCOMPARE(window->bars()->btnFormatFontSize->currentText(), QString::number(expected));
}

void tst_FormatCommands::fontBoxesFollowCaretWithoutWriting()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window,
                QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                               "\\f0\\fs20 alpha \\f1\\fs28 beta\\par}"),
                2);
    focusEditor(window);
    QCOMPARE(window->bars()->btnFormatFontName->currentText(), QStringLiteral("Arial"));
    QCOMPARE(window->bars()->btnFormatFontSize->currentText(), QStringLiteral("10"));
    window->editor()->setSelection(8, 8);
    QCOMPARE(window->bars()->btnFormatFontName->currentText(), QStringLiteral("Courier New"));
    QCOMPARE(window->bars()->btnFormatFontSize->currentText(), QStringLiteral("14"));
    // Filling the boxes wrote nothing.
    QCOMPARE(window->cdsCommon().state(), State::Browse);
    QVERIFY(!window->editorModified());
    QCOMPARE(formatAt(window, 0, 5).face, QStringLiteral("Arial"));
}

void tst_FormatCommands::fontBoxesWriteTarget()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("one two"), 5);
    focusEditor(window);
    window->bars()->btnFormatFontSize->setCurrentText(QStringLiteral("14"));
    run(window, "actFormatFontSize");
    QCOMPARE(formatAt(window, 4, 7).sizePoints(), 14);
    QCOMPARE(formatAt(window, 0, 3).sizePoints(), 8);
    // A size of 0 or text that is no number writes nothing.
    for (const QString &text : {QStringLiteral("0"), QStringLiteral("x")}) {
        window->bars()->btnFormatFontSize->setCurrentText(text);
        run(window, "actFormatFontSize");
        QCOMPARE(formatAt(window, 4, 7).sizePoints(), 14);
    }
    window->bars()->btnFormatFontName->setEditText(QStringLiteral("Courier New"));
    run(window, "actFormatFontName");
    QCOMPARE(formatAt(window, 4, 7).face, QStringLiteral("Courier New"));
    QCOMPARE(formatAt(window, 4, 7).sizePoints(), 14);
    QCOMPARE(formatAt(window, 0, 3).face, QStringLiteral("Arial"));
}

void tst_FormatCommands::typedFontValueAppliesOnce_data()
{
    QTest::addColumn<bool>("sizeBox");
    QTest::addColumn<QString>("typed");
    QTest::newRow("size in the list") << true << "14";
    QTest::newRow("size not in the list") << true << "13";
    QTest::newRow("installed font") << false << "Liberation Mono";
}

void tst_FormatCommands::typedFontValueAppliesOnce()
{
    // Given the caret in "two", when a value is typed into a font box and
    // Enter pressed, then the word takes it and one Undo gives the old look
    // back; a value typed and left by moving the focus away writes nothing.
    QFETCH(bool, sizeBox);
    QFETCH(QString, typed);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("one two"), 5);
    focusEditor(window);
    DocumentBars *bars = window->bars();
    QComboBox *box =
        sizeBox ? static_cast<QComboBox *>(bars->btnFormatFontSize) : bars->btnFormatFontName;
    auto value = [&] {
        const CharFormat word = formatAt(window, 4, 7);
        return sizeBox ? QString::number(word.sizePoints()) : word.face;
    };
    const QString before = value();
    auto type = [&](const QString &text) {
        box->lineEdit()->setFocus();
        QTRY_VERIFY(box->lineEdit()->hasFocus());
        box->lineEdit()->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), text);
    };
    type(typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(value(), typed);
    QVERIFY(window->editor()->hasFocus());
    run(window, "actEditUndo");
    QCOMPARE(value(), before);
    QCOMPARE(box->currentText(), before);

    type(typed);
    window->editor()->setFocus();
    QTRY_VERIFY(window->editor()->hasFocus());
    QCOMPARE(value(), before);
    QCOMPARE(box->currentText(), before);
}

void tst_FormatCommands::fontBoxTextOpensFontPopup()
{
    // Given the font boxes, when the text part of one is right-clicked, then
    // the font popup opens, not the text's edit menu.
    DocumentWindow *window = open("NoName1");
    DocumentBars *bars = window->bars();
    for (QComboBox *box :
         {static_cast<QComboBox *>(bars->btnFormatFontName), bars->btnFormatFontSize}) {
        QPointer<QWidget> shown;
        QTimer closer;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                shown = popup;
                popup->close();
            }
        });
        closer.start();
        QLineEdit *edit = box->lineEdit();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4),
                                edit->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(edit, &click);
        QTRY_VERIFY(shown);
        QCOMPARE(shown.data(), static_cast<QWidget *>(bars->pmFont));
    }
}

void tst_FormatCommands::newTextUsesAnInstalledFont()
{
    // Given the default text font "MS Sans Serif", which is not installed,
    // when text is typed into an empty item, then it is set in the desktop's
    // font and the font box names that font; a stored document keeps the
    // name of its font.
    if (QFontDatabase::families().contains(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive))
        QSKIP("MS Sans Serif is installed here");
    const QString desktop = QFontInfo(QGuiApplication::font()).family();
    DocumentWindow *window = open("NoName1");
    setDocument(window, QString());
    focusEditor(window);
    QTest::keyClicks(window->editor(), QStringLiteral("typed"));
    QCOMPARE(window->editor()->toPlainText(), QStringLiteral("typed"));
    QCOMPARE(formatAt(window, 0, 5).face, desktop);
    QCOMPARE(QFontInfo(window->editor()->document()->defaultFont()).family(), desktop);
    QCOMPARE(window->bars()->btnFormatFontName->currentText(), desktop);

    window->cdsCommon().post();
    setDocument(window, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Verdana;}}\\f0 old\\par}"), 1);
    QCOMPARE(window->editor()->toPlainText(), QStringLiteral("old"));
    QCOMPARE(window->bars()->btnFormatFontName->currentText(), QStringLiteral("Verdana"));
}

void tst_FormatCommands::colorMenus()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("plain \\cf1 red\\cf0"), 2);
    focusEditor(window);
    for (QMenu *menu : {window->bars()->pmFontColor, window->bars()->pmBackgroundColor}) {
        const QList<QAction *> items = menu->actions();
        QCOMPARE(items.size(), kColorMenuItemCount);
        QCOMPARE(items.first()->text(), QStringLiteral("Black"));
        QCOMPARE(items.at(1)->text(), QStringLiteral("Maroon"));
        QCOMPARE(items.at(15)->text(), QStringLiteral("White"));
        QCOMPARE(items.last()->text(), QStringLiteral("Automatic"));
        for (QAction *item : items)
            QVERIFY(item->isCheckable());
    }
    QCOMPARE(colorMenuCaption(QColor(128, 0, 0)), QStringLiteral("Maroon"));
    QCOMPARE(colorMenuCaption(QColor()), QStringLiteral("Automatic"));

    // Checks follow the target: automatic on plain text, Red on red text.
    QMenu *fore = window->bars()->pmFontColor;
    window->formatCommands()->aclFormatUpdate();
    QVERIFY(fore->actions().last()->isChecked());
    window->editor()->setSelection(7, 7);
    window->formatCommands()->pmFontColorPopup();
    QVERIFY(fore->actions().at(9)->isChecked());
    const QList<QAction *> items = fore->actions();
    QCOMPARE(std::count_if(items.begin(), items.end(), [](QAction *a) { return a->isChecked(); }),
             1);

    // The button's main part applies nothing.
    window->editor()->setSelection(2, 2);
    run(window, "actFormatFColor");
    run(window, "actFormatBColor");
    QCOMPARE(window->cdsCommon().state(), State::Browse);

    // An item applies its colour to the word at the caret.
    fore->actions().at(12)->trigger(); // Blue
    QCOMPARE(formatAt(window, 0, 5).color, QColor(0, 0, 255));
    QVERIFY(!formatAt(window, 0, 5).autoColor);
    window->bars()->pmBackgroundColor->actions().at(11)->trigger(); // Yellow
    QCOMPARE(formatAt(window, 0, 5).backColor, QColor(255, 255, 0));
    window->formatCommands()->aclFormatUpdate();
    QVERIFY(window->bars()->pmBackgroundColor->actions().at(11)->isChecked());
}

void tst_FormatCommands::automaticColorOnRedText()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\cf1 red\\cf0  text"), 1);
    focusEditor(window);
    QCOMPARE(formatAt(window, 0, 3).color, QColor(255, 0, 0));
    window->bars()->pmFontColor->actions().last()->trigger();
    QVERIFY(formatAt(window, 0, 3).autoColor);
    // Automatic text follows the window text colour.
    window->editor()->setDefaultTextColor(QColor(0, 0, 128));
    QCOMPARE(formatAt(window, 0, 3).color, QColor(0, 0, 128));
}

void tst_FormatCommands::script_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<bool>("superscript");
    QTest::addColumn<bool>("subscript");
    QTest::newRow("plain, Superscript")
        << "word" << QByteArray("actFormatSuperScript") << true << false;
    QTest::newRow("superscript, Superscript")
        << "\\super word\\nosupersub" << QByteArray("actFormatSuperScript") << false << false;
    QTest::newRow("superscript, Subscript")
        << "\\super word\\nosupersub" << QByteArray("actFormatSubScript") << false << true;
    QTest::newRow("subscript, Subscript")
        << "\\sub word\\nosupersub" << QByteArray("actFormatSubScript") << false << false;
}

void tst_FormatCommands::script()
{
    QFETCH(QString, body);
    QFETCH(QByteArray, command);
    QFETCH(bool, superscript);
    QFETCH(bool, subscript);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf(body), 2);
    focusEditor(window);
    window->formatCommands()->aclFormatUpdate();
    run(window, command.constData());
    const CharFormat after = formatAt(window, 0, 4);
    QCOMPARE(after.superscript, superscript);
    QCOMPARE(after.subscript, subscript);
    QCOMPARE(window->action("actFormatSuperScript")->isChecked(), superscript);
    QCOMPARE(window->action("actFormatSubScript")->isChecked(), subscript);
}

void tst_FormatCommands::protectedTextRefusesBoldUntilUnprotected()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("keep this"));
    focusEditor(window);
    window->editor()->setSelection(0, 4);
    run(window, "actFormatProtected");
    QVERIFY(formatAt(window, 0, 4).protectedText);
    QVERIFY(window->action("actFormatProtected")->isChecked());
    run(window, "actFormatBold");
    QVERIFY(!formatAt(window, 0, 4).bold);
    run(window, "actFormatHidden");
    QVERIFY(!formatAt(window, 0, 4).hidden);
    run(window, "actFormatProtected");
    QVERIFY(!formatAt(window, 0, 4).protectedText);
    run(window, "actFormatBold");
    QVERIFY(formatAt(window, 0, 4).bold);
    run(window, "actFormatHidden");
    QVERIFY(formatAt(window, 0, 4).hidden);
    run(window, "actFormatDisabled");
    QVERIFY(formatAt(window, 0, 4).disabled);
}

void tst_FormatCommands::changeCharacterType_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("lowercase") << 0 << "MiXed Text"
                               << "mixed text";
    QTest::newRow("UPPERCASE") << 1 << "MiXed äö"
                               << "MIXED ÄÖ";
    QTest::newRow("Word Case") << 2 << "hello wORLD\nnew line"
                               << "Hello World\nnew Line";
}

void tst_FormatCommands::changeCharacterType()
{
    QFETCH(int, item);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    DocumentWindow *window = open("NoName1");
    QString body = text;
    body.replace(QStringLiteral("\n"), QStringLiteral("\\par "));
    body.replace(QStringLiteral("ä"), QStringLiteral("\\'e4"))
        .replace(QStringLiteral("ö"), QStringLiteral("\\'f6"));
    setDocument(window, rtf(body));
    focusEditor(window);
    window->editor()->setSelection(0, int(text.size()));
    QString title;
    m_prompts->answerDialog([&](QDialog *dialog) {
        auto *charType = qobject_cast<CharTypeDialog *>(dialog);
        title = dialog->windowTitle();
        // The first item is chosen when the dialog opens.
        if (!charType || charType->itemIndex() != 0)
            return int(QDialog::Rejected);
        charType->setItemIndex(item);
        return int(QDialog::Accepted);
    });
    run(window, "actFormatCharChangeType");
    QCOMPARE(title, QStringLiteral("Change Character Type"));
    QCOMPARE(window->editor()->toPlainText().left(int(expected.size())), expected);
    QCOMPARE(window->cdsCommon().state(), State::Edit);
}

void tst_FormatCommands::changeCharacterTypeCancelledKeepsFormats()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\b Bold\\b0  plain"));
    focusEditor(window);
    window->editor()->setSelection(0, 10);
    m_prompts->answerDialog([](QDialog *) { return int(QDialog::Rejected); });
    run(window, "actFormatCharChangeType");
    QCOMPARE(m_prompts->count("exec"), 1);
    QCOMPARE(window->editor()->toPlainText(), QStringLiteral("Bold plain"));
    QVERIFY(formatAt(window, 0, 4).bold);
    QVERIFY(!formatAt(window, 5, 10).bold);
    QCOMPARE(window->cdsCommon().state(), State::Browse);
}

void tst_FormatCommands::countCharacters()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("12345\\par 789"));
    m_prompts->answerMessage(PromptService::Ok);
    run(window, "actFormatCountChars");
    QCOMPARE(m_prompts->messages(), QStringList{"The document has 9 characters."});
    QCOMPARE(m_prompts->asked.last().caption, QStringLiteral("Information"));
    QCOMPARE(m_prompts->asked.last().icon, PromptService::Icon::Information);
    QCOMPARE(m_prompts->asked.last().buttons, PromptService::Ok);

    // With an empty document the command is disabled.
    setDocument(window, QString());
    window->formatCommands()->aclFormatUpdate();
    QVERIFY(!window->action("actFormatCountChars")->isEnabled());
    run(window, "actFormatCountChars");
    QCOMPARE(m_prompts->count("message"), 1);
}

void tst_FormatCommands::enablingFollowsFocusAndText()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("some words"), 2);
    FormatCommands *commands = window->formatCommands();
    window->itemCommands(); // the tree has the focus after showing
    QTRY_VERIFY(!window->editor()->hasFocus());
    commands->aclFormatUpdate();
    QVERIFY(!window->action("actFormatBold")->isEnabled());
    QVERIFY(!window->action("actFormatParagraph")->isEnabled());
    QVERIFY(!window->action("actFormatCharChangeType")->isEnabled());
    QVERIFY(window->action("actFormatCountChars")->isEnabled());
    // Without the focus Bold does nothing.
    run(window, "actFormatBold");
    QVERIFY(!formatAt(window, 0, 4).bold);

    window->editor()->setSelection(0, 4);
    commands->aclFormatUpdate();
    QVERIFY(window->action("actFormatCharChangeType")->isEnabled());
    focusEditor(window);
    commands->aclFormatUpdate();
    for (const char *name :
         {"actFormatBold", "actFormatFont", "actFormatAlignLeft", "actFormatNumberingSymbols",
          "actFormatParagraph", "actFormatFColor", "actFormatProtected"})
        QVERIFY2(window->action(name)->isEnabled(), name);
}

void tst_FormatCommands::updatingFormatControlsBlocksCommands()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("word"), 2);
    focusEditor(window);
    FormatCommands *commands = window->formatCommands();
    {
        const ScopedFlag updating = window->whileUpdatingFormatControls();
        commands->toggleStyle(CharFormat::Bold);
        commands->stepFontSize(1);
        commands->actFormatAlignAll(window->action("actFormatAlignCenter"));
        commands->actFormatNumberingAll(window->action("actFormatNumberingSymbols"));
        commands->actFormatProtectedExecute();
        window->bars()->btnFormatFontSize->setCurrentText(QStringLiteral("20"));
        commands->btnFormatFontSizeChange();
    }
    QCOMPARE(window->cdsCommon().state(), State::Browse);
    QVERIFY(!formatAt(window, 0, 4).bold);
    QCOMPARE(window->editor()->paraFormat().numbering, 0);
}

void tst_FormatCommands::fontDialogWritesTargetAndApplyTheSelection()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\b\\cf1 alpha\\b0\\cf0  beta"), 2);
    focusEditor(window);
    QFont chosen(QStringLiteral("Courier New"));
    chosen.setPointSize(14);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    m_prompts->fontAnswers.enqueue(PromptService::FontAnswer{chosen, QColor(0, 128, 0)});
    run(window, "actFormatFont");
    // Primed from the selection's format (here the caret's: bold, red).
    QVERIFY(m_prompts->primed);
    QVERIFY(m_prompts->primed->font.bold());
    QCOMPARE(m_prompts->primed->color, QColor(255, 0, 0));
    QCOMPARE(m_prompts->primed->font.pointSize(), 8);
    // Written to the word at the caret.
    const CharFormat word = formatAt(window, 0, 5);
    QCOMPARE(word.face, QStringLiteral("Courier New"));
    QCOMPARE(word.sizePoints(), 14);
    QVERIFY(word.italic && word.underline && !word.bold);
    QCOMPARE(word.color, QColor(0, 128, 0));
    QCOMPARE(window->bars()->btnFormatFontSize->currentText(), QStringLiteral("14"));
    QCOMPARE(formatAt(window, 6, 10).sizePoints(), 8);
    QVERIFY(window->editor()->hasFocus());

    // Apply with the caret in a word writes the selection only (nothing
    // selected: the insertion format), and the dialog's Cancel writes nothing.
    window->editor()->setSelection(6, 10);
    QFont applied(QStringLiteral("Arial"));
    applied.setPointSize(20);
    m_prompts->applyWith = PromptService::FontAnswer{applied, QColor()};
    m_prompts->fontAnswers.enqueue(std::nullopt);
    run(window, "actFormatFont");
    QCOMPARE(formatAt(window, 6, 10).sizePoints(), 20);
    QVERIFY(formatAt(window, 6, 10).autoColor);

    // Apply while the editor is not the window's focused control: refused.
    window->itemCommands();
    window->bars()->btnFormatFontName->setFocus();
    QTRY_VERIFY(!window->editor()->hasFocus());
    QVERIFY(!window->formatCommands()->fontDialogApply({applied, QColor()}));
}

void tst_FormatCommands::alignment_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("alignment");
    QTest::newRow("left") << QByteArray("actFormatAlignLeft") << int(ParaFormat::Left);
    QTest::newRow("center") << QByteArray("actFormatAlignCenter") << int(ParaFormat::Center);
    QTest::newRow("justify") << QByteArray("actFormatAlignJustify") << int(ParaFormat::Justify);
    QTest::newRow("right") << QByteArray("actFormatAlignRight") << int(ParaFormat::Right);
}

void tst_FormatCommands::alignment()
{
    QFETCH(QByteArray, command);
    QFETCH(int, alignment);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\qc first\\par\\pard second"), 2);
    focusEditor(window);
    run(window, command.constData());
    QCOMPARE(window->editor()->paraFormat().alignment, alignment);
    QVERIFY(window->action(command.constData())->isChecked());
    int checked = 0;
    for (const char *name : {"actFormatAlignLeft", "actFormatAlignCenter", "actFormatAlignJustify",
                             "actFormatAlignRight"})
        checked += window->action(name)->isChecked() ? 1 : 0;
    QCOMPARE(checked, 1);
    // The other paragraph keeps its alignment.
    window->editor()->setSelection(8, 8);
    QCOMPARE(window->editor()->paraFormat().alignment, int(ParaFormat::Left));
}

void tst_FormatCommands::numbering()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("one\\par two\\par three"), 1);
    focusEditor(window);
    RichEdit *editor = window->editor();
    // Bullet on a paragraph with left indent 0: 10 points and a bullet.
    run(window, "actFormatNumberingSymbols");
    QCOMPARE(editor->paraFormat().numbering, 1);
    QCOMPARE(editor->paraFormat().offset, 200);
    QVERIFY(window->action("actFormatNumberingSymbols")->isChecked());
    // Bullet again: numbering none and left indent 0.
    run(window, "actFormatNumberingSymbols");
    QCOMPARE(editor->paraFormat().numbering, 0);
    QCOMPARE(editor->paraFormat().offset, 0);
    QVERIFY(!window->action("actFormatNumberingSymbols")->isChecked());
    // Number on a bulleted paragraph: arabic, the 10 points unchanged.
    run(window, "actFormatNumberingSymbols");
    run(window, "actFormatNumberingNumber");
    QCOMPARE(editor->paraFormat().numbering, 2);
    QCOMPARE(editor->paraFormat().offset, 200);
    QVERIFY(window->action("actFormatNumberingNumber")->isChecked());
    QVERIFY(!window->action("actFormatNumberingSymbols")->isChecked());
    // No Numbering and Unicode Sequence write numbering none.
    run(window, "actFormatNumberingNoNumbering");
    QCOMPARE(editor->paraFormat().numbering, 0);
    run(window, "actFormatNumberingRomanUC");
    QCOMPARE(editor->paraFormat().numbering, 6);
    run(window, "actFormatNumberingUnicodeSeq");
    QCOMPARE(editor->paraFormat().numbering, 0);

    // Three paragraphs numbered together.
    editor->setSelection(0, -1);
    run(window, "actFormatNumberingNumber");
    for (int position : {0, 5, 9}) {
        editor->setSelection(position, position);
        QCOMPARE(editor->paraFormat().numbering, 2);
    }
    QCOMPARE(window->cdsCommon().state(), State::Edit);
}

void tst_FormatCommands::removingNumberingKeepsIndents_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("No Numbering") << QByteArray("actFormatNumberingNoNumbering");
    QTest::newRow("Unicode Sequence") << QByteArray("actFormatNumberingUnicodeSeq");
    QTest::newRow("Bullet again") << QByteArray("actFormatNumberingSymbols");
}

void tst_FormatCommands::removingNumberingKeepsIndents()
{
    // Given a paragraph whose other lines are 5 points in: a command that
    // removes numbering leaves it as it is, however often it runs, and No
    // Numbering stays checked; Bullet brings the lines to 10 points, and
    // removing the bullet puts them back at 5.
    QFETCH(QByteArray, command);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\fi-100\\li100 one\\par\\pard two"), 1);
    focusEditor(window);
    RichEdit *editor = window->editor();
    QCOMPARE(editor->paraFormat().offset, 100);
    const bool removesOnly = command != "actFormatNumberingSymbols";
    for (int press = 0; removesOnly && press < 2; ++press) {
        run(window, command.constData());
        QCOMPARE(editor->paraFormat().numbering, 0);
        QCOMPARE(editor->paraFormat().offset, 100);
        QVERIFY(window->action("actFormatNumberingNoNumbering")->isChecked());
        QVERIFY(!window->action("actFormatNumberingUnicodeSeq")->isChecked());
    }
    run(window, "actFormatNumberingSymbols");
    QCOMPARE(editor->paraFormat().numbering, 1);
    QCOMPARE(editor->paraFormat().offset, 200);
    QVERIFY(!window->action("actFormatNumberingNoNumbering")->isChecked());
    run(window, command.constData());
    QCOMPARE(editor->paraFormat().numbering, 0);
    QCOMPARE(editor->paraFormat().offset, 100);
    QCOMPARE(editor->paraFormat().startIndent, 0);
    QVERIFY(window->action("actFormatNumberingNoNumbering")->isChecked());
    // The other paragraph was never touched.
    editor->setSelection(5, 5);
    QCOMPARE(editor->paraFormat().offset, 0);
}

void tst_FormatCommands::paragraphDialog_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("lineSpacing");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("alignment");
    QTest::newRow("single spacing")
        << 0 << 0 << 0 << int(ParaFormat::Single) << int(ParaFormat::Left);
    QTest::newRow("at least 18") << 5 << 18 << 1 << int(ParaFormat::AtLeast)
                                 << int(ParaFormat::Center);
    QTest::newRow("left indent -20")
        << -20 << 0 << 3 << int(ParaFormat::Single) << int(ParaFormat::Right);
}

void tst_FormatCommands::paragraphDialog()
{
    QFETCH(int, left);
    QFETCH(int, lineSpacing);
    QFETCH(int, item);
    QFETCH(int, rule);
    QFETCH(int, alignment);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\qj\\fi-100\\li300\\ri40\\sb60\\sa80 text"), 1);
    focusEditor(window);
    bool filled = false;
    m_prompts->answerDialog([&](QDialog *dialog) {
        auto *paragraph = qobject_cast<ParagraphDialog *>(dialog);
        if (!paragraph)
            return int(QDialog::Rejected);
        // Filled from the paragraph in points: the first line at 10, the
        // other lines 5 further in.
        filled = paragraph->windowTitle() == QLatin1String("Paragraph") &&
                 paragraph->LeftIndent->value() == 5 && paragraph->FirstIndent->value() == 10 &&
                 paragraph->RightIndent->value() == 2 && paragraph->SpaceBefore->value() == 3 &&
                 paragraph->SpaceAfter->value() == 4 && paragraph->alignmentItem() == 2 &&
                 paragraph->LineSpacing->singleStep() == 5;
        paragraph->LeftIndent->setValue(left);
        paragraph->LineSpacing->setValue(lineSpacing);
        paragraph->setAlignmentItem(item);
        return int(QDialog::Accepted);
    });
    run(window, "actFormatParagraph");
    QVERIFY(filled);
    const ParaFormat after = window->editor()->paraFormat();
    QCOMPARE(after.offset, left * 20);
    QCOMPARE(after.lineSpacingRule, rule);
    QCOMPARE(after.lineSpacing, lineSpacing * 20);
    QCOMPARE(after.alignment, alignment);
    QCOMPARE(after.startIndent, 200);
    QCOMPARE(after.spaceBefore, 60);
    QVERIFY(window->editor()->hasFocus());
}

void tst_FormatCommands::paragraphDialogWritesOnlyChanges_data()
{
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<int>("typed"); // in the line spacing box; -1: left alone
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("lineSpacing");
    QTest::newRow("1.5 lines") << "\\sl360\\slmult1" << -1 << int(ParaFormat::OneAndHalf) << 30;
    QTest::newRow("double") << "\\sl480\\slmult1" << -1 << int(ParaFormat::Double) << 40;
    QTest::newRow("3 lines") << "\\sl720\\slmult1" << -1 << int(ParaFormat::Multiple) << 60;
    QTest::newRow("exactly 14 pt") << "\\sl-280\\slmult0" << -1 << int(ParaFormat::Exactly) << 280;
    QTest::newRow("exactly 14 pt, 16 typed")
        << "\\sl-280\\slmult0" << 16 << int(ParaFormat::Exactly) << 320;
    QTest::newRow("1.5 lines, 18 typed")
        << "\\sl360\\slmult1" << 18 << int(ParaFormat::AtLeast) << 360;
    QTest::newRow("1.5 lines, 0 typed") << "\\sl360\\slmult1" << 0 << int(ParaFormat::Single) << 0;
}

void tst_FormatCommands::paragraphDialogWritesOnlyChanges()
{
    // Given a paragraph with a line spacing the dialog cannot show and a
    // first line 0.75 points in, when only the alignment (and perhaps the
    // line spacing) is changed in the dialog, then only that is written.
    QFETCH(QString, spacing);
    QFETCH(int, typed);
    QFETCH(int, rule);
    QFETCH(int, lineSpacing);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf(spacing + QStringLiteral("\\li15\\sa30 text")), 1);
    focusEditor(window);
    m_prompts->answerDialog([&](QDialog *dialog) {
        auto *paragraph = qobject_cast<ParagraphDialog *>(dialog);
        if (!paragraph)
            return int(QDialog::Rejected);
        paragraph->setAlignmentItem(1);
        if (typed >= 0)
            paragraph->LineSpacing->setValue(typed);
        return int(QDialog::Accepted);
    });
    run(window, "actFormatParagraph");
    const ParaFormat after = window->editor()->paraFormat();
    QCOMPARE(after.alignment, int(ParaFormat::Center));
    QCOMPARE(after.lineSpacingRule, rule);
    QCOMPARE(after.lineSpacing, lineSpacing);
    QCOMPARE(after.startIndent, 15);
    QCOMPARE(after.offset, 0);
    QCOMPARE(after.spaceAfter, 30);
}

void tst_FormatCommands::paragraphDialogEmptiedBoxIsZero()
{
    // Given a paragraph with 3 points before it, when the Space before box
    // is emptied and OK clicked, then the space before is 0.
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\sb60 text"), 1);
    focusEditor(window);
    m_prompts->answerDialog([&](QDialog *dialog) {
        auto *paragraph = qobject_cast<ParagraphDialog *>(dialog);
        if (!paragraph)
            return int(QDialog::Rejected);
        dialog->show();
        QSpinBox *box = paragraph->SpaceBefore;
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::mouseClick(paragraph->btnOK, Qt::LeftButton);
        return dialog->result();
    });
    run(window, "actFormatParagraph");
    QCOMPARE(window->editor()->paraFormat().spaceBefore, 0);
}

void tst_FormatCommands::paragraphDialogIndentsAtTheBounds_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("largest") << ParagraphDialog::kMaxPoints;
    QTest::newRow("smallest") << -ParagraphDialog::kMaxPoints;
}

void tst_FormatCommands::paragraphDialogIndentsAtTheBounds()
{
    // Given the first line and the other lines both at the dialog's bound,
    // then the other lines stop at the largest length the control keeps
    // instead of wrapping round to the other side.
    QFETCH(int, points);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("text"), 1);
    focusEditor(window);
    m_prompts->answerDialog([&](QDialog *dialog) {
        auto *paragraph = qobject_cast<ParagraphDialog *>(dialog);
        if (!paragraph)
            return int(QDialog::Rejected);
        paragraph->FirstIndent->setValue(points);
        paragraph->LeftIndent->setValue(points);
        return int(QDialog::Accepted);
    });
    run(window, "actFormatParagraph");
    const ParaFormat after = window->editor()->paraFormat();
    QCOMPARE(after.startIndent, points * 20);
    const qint64 lines = qint64(after.startIndent) + after.offset;
    QCOMPARE(lines, points > 0 ? qint64(std::numeric_limits<int>::max())
                               : qint64(std::numeric_limits<int>::min()));
    const qreal margin = window->editor()->textCursor().blockFormat().leftMargin();
    QVERIFY2(points > 0 ? margin > 0 : margin < 0, qPrintable(QString::number(margin)));
}

void tst_FormatCommands::rulerScale_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("toPixels");
    QTest::newRow("3 points") << 3 << 4 << true;
    QTest::newRow("4 points") << 4 << 5 << true;
    QTest::newRow("4 pixels") << 3 << 4 << false;
    QTest::newRow("7 pixels") << 5 << 7 << false;
    QTest::newRow("-5 points") << -5 << -6 << true;
}

void tst_FormatCommands::rulerScale()
{
    QFETCH(int, points);
    QFETCH(int, pixels);
    QFETCH(bool, toPixels);
    if (toPixels)
        QCOMPARE(RulerController::pointsToPixels(points), pixels);
    else
        QCOMPARE(RulerController::pixelsToPoints(pixels), points);
}

void tst_FormatCommands::rulerMarkerCentres()
{
    DocumentWindow *window = open("NoName1");
    // First indent 12 points, left indent 6 points, right indent 0.
    setDocument(window, rtf("\\fi-120\\li360 text"), 1);
    RichEdit *editor = window->editor();
    editor->setTextRect(QRect(9, 0, 491, editor->viewport()->height()));
    window->editorSelectionChange();
    RulerController *ruler = window->formatCommands()->ruler();
    auto centre = [&](RulerMarker *marker) {
        return ruler->rulerToEditorX(marker->x() + marker->width() / 2);
    };
    QCOMPARE(editor->paraFormat().startIndent, 240);
    QCOMPARE(editor->paraFormat().offset, 120);
    QCOMPARE(centre(ruler->FirstInd), 25);
    QCOMPARE(centre(ruler->LeftInd), 33);
    QCOMPARE(centre(ruler->RightInd), 500);
    QCOMPARE(ruler->FirstInd->size(), QSize(10, 9));
    QCOMPARE(ruler->LeftInd->size(), QSize(10, 11));
    QCOMPARE(ruler->RightInd->size(), QSize(9, 12));
    QCOMPARE(window->ruler()->height(), 26);
}

void tst_FormatCommands::rulerDragLeftToFarLeft()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\fi-120\\li360 text"), 1);
    RulerController *ruler = window->formatCommands()->ruler();
    RulerMarker *marker = ruler->LeftInd;
    QTest::mousePress(marker, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(ruler->rulerDragging());
    QVERIFY(ruler->guideLineShown());
    QTest::mouseMove(marker, QPoint(-400, 5));
    QCOMPARE(marker->x(), 0);
    QTest::mouseRelease(marker, Qt::LeftButton, {}, QPoint(0, 5));
    QVERIFY(!ruler->rulerDragging());
    QVERIFY(!ruler->guideLineShown());
    // The other lines start at the text rectangle's left edge.
    const ParaFormat after = window->editor()->paraFormat();
    QCOMPARE(after.startIndent, 240);
    QCOMPARE(after.offset, -240);
    QCOMPARE(window->cdsCommon().state(), State::Edit);
}

void tst_FormatCommands::rulerDragFirstAndRight()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\li150 text"), 1);
    RichEdit *editor = window->editor();
    RulerController *ruler = window->formatCommands()->ruler();
    const int leftBefore = ruler->LeftInd->x();
    // The first line's marker moved 40 pixels right: the first indent follows
    // it, the other lines stay under the left marker, which has not moved.
    RulerMarker *first = ruler->FirstInd;
    using Side = RulerController::Side;
    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(5, 4));
    QTest::mouseMove(first, QPoint(45, 4));
    QCOMPARE(ruler->guideLineX(), ruler->rulerToEditorX(first->x() + 5));
    const int expectedFirst = ruler->rulerXToIndent(first->x() + 5, Side::Left);
    // 7 points are 9 pixels; 40 more are 49 pixels, 36 points.
    QCOMPARE(expectedFirst, 36);
    const int expectedLines = ruler->rulerXToIndent(leftBefore + 5, Side::Left);
    QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(5, 4));
    const ParaFormat afterFirst = editor->paraFormat();
    QCOMPARE(afterFirst.startIndent, expectedFirst * 20);
    QCOMPARE(afterFirst.startIndent + afterFirst.offset, expectedLines * 20);
    QCOMPARE(ruler->LeftInd->x(), ruler->indentToRulerX(expectedLines, Side::Left) - 5);

    // Right marker dragged 20 pixels left of the right edge: 15 points.
    RulerMarker *right = ruler->RightInd;
    QTest::mousePress(right, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseMove(right, QPoint(-16, 4));
    QTest::mouseRelease(right, Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(editor->paraFormat().rightIndent, 15 * 20);
    // Dragged right beyond the edge: the indent stays at least 0.
    QTest::mousePress(right, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseMove(right, QPoint(300, 4));
    QTest::mouseRelease(right, Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(editor->paraFormat().rightIndent, 0);
    QVERIFY(right->x() <= window->ruler()->width() - 8);
}

void tst_FormatCommands::formattingSurvivesSaveAndReopen()
{
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("a bold word\\par centred\\par one\\par two\\par three"), 3);
    focusEditor(window);
    run(window, "actFormatBold");
    window->bars()->pmFontColor->actions().at(9)->trigger(); // Red
    window->bars()->btnFormatFontSize->setCurrentText(QStringLiteral("14"));
    run(window, "actFormatFontSize");
    window->editor()->setSelection(13, 13);
    run(window, "actFormatAlignCenter");
    window->editor()->setSelection(21, 34);
    run(window, "actFormatNumberingNumber");
    m_prompts->answerFile(path("formatted.cds"));
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(window->close());

    DocumentWindow *reopened = open(path("formatted.cds"));
    RichEdit *editor = reopened->editor();
    QCOMPARE(editor->toPlainText(), QStringLiteral("a bold word\ncentred\none\ntwo\nthree"));
    const CharFormat word = formatAt(reopened, 2, 6);
    QVERIFY(word.bold);
    QCOMPARE(word.color, QColor(255, 0, 0));
    QCOMPARE(word.sizePoints(), 14);
    QVERIFY(!formatAt(reopened, 0, 1).bold);
    editor->setSelection(13, 13);
    QCOMPARE(editor->paraFormat().alignment, int(ParaFormat::Center));
    for (int position : {21, 25, 29}) {
        editor->setSelection(position, position);
        QCOMPARE(editor->paraFormat().numbering, 2);
    }
}

int tst_FormatCommands::formatValue(DocumentWindow *window, const QString &field)
{
    RichEdit *editor = window->editor();
    const CharFormat text = formatAt(window, 0, editor->textLength());
    const ParaFormat paragraph = editor->paraFormat();
    if (field == QLatin1String("bold"))
        return text.bold;
    if (field == QLatin1String("italic"))
        return text.italic;
    if (field == QLatin1String("underline"))
        return text.underline;
    if (field == QLatin1String("superscript"))
        return text.superscript;
    if (field == QLatin1String("subscript"))
        return text.subscript;
    if (field == QLatin1String("size"))
        return text.sizePoints();
    if (field == QLatin1String("align"))
        return paragraph.alignment;
    if (field == QLatin1String("spacing"))
        return paragraph.lineSpacingRule;
    qFatal("unknown format field");
}

void tst_FormatCommands::changingCommandsDisabledWhenItemCannotChange_data()
{
    QTest::addColumn<bool>("unreadable");
    QTest::newRow("read-only file") << false;
    QTest::newRow("unreadable description") << true;
}

// Given an item that cannot change, with the editor focused, text selected
// and text on the clipboard, then every command that would change the
// document is disabled and its keys change nothing; Copy and Count
// Characters, which change nothing, stay enabled.
void tst_FormatCommands::changingCommandsDisabledWhenItemCannotChange()
{
    QFETCH(bool, unreadable);
    QStringList errors;
    ExceptionHandlerScope handler(
        [&errors](std::exception_ptr error) { errors << exceptionText(error); });
    DocumentWindow *window = open("NoName1");
    dataset::ClientDataSet &table = window->cdsCommon();
    setDocument(window, rtf("some words"));
    if (unreadable) {
        table.edit();
        table.setBytes(kFieldDescription, QByteArray(1, '\0'));
        table.post();
        QCOMPARE(errors, QStringList{QString::fromLatin1(kLoadStreamFailed)});
    } else {
        table.setReadOnly(true);
    }
    const QByteArray stored = table.asBytes(kFieldDescription);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    focusEditor(window);
    RichEdit *editor = window->editor();
    editor->selectAll();
    window->aclEditUpdate();
    window->formatCommands()->aclFormatUpdate();
    for (const char *name :
         {"actEditCut", "actEditPaste", "actEditDelete", "actEditPasteSpecial", "actEditUndo",
          "actFormatBold", "actFormatFont", "actFormatIncreaseFontSize", "actFormatAlignCenter",
          "actFormatNumberingSymbols", "actFormatSuperScript", "actFormatProtected",
          "actFormatParagraph", "actFormatFColor", "actFormatCharChangeType"})
        QVERIFY2(!window->action(name)->isEnabled(), name);
    QVERIFY(!window->bars()->btnFormatFontName->isEnabled());
    QVERIFY(!window->bars()->btnFormatFontSize->isEnabled());
    if (!unreadable) {
        QVERIFY(window->action("actEditCopy")->isEnabled());
        QVERIFY(window->action("actFormatCountChars")->isEnabled());
    }

    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(table.state(), State::Browse);
    QCOMPARE(table.asBytes(kFieldDescription), stored);
    QCOMPARE(editor->toPlainText(), unreadable ? QString() : QStringLiteral("some words"));
}

void tst_FormatCommands::editorKeysRunFormatCommands_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QByteArray>("command"); // checked afterwards; empty: none
    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const QString line = QStringLiteral("one line");
    QTest::newRow("Ctrl+B") << line << int(Qt::Key_B) << ctrl << "bold" << 1
                            << QByteArray("actFormatBold");
    QTest::newRow("Ctrl+I") << line << int(Qt::Key_I) << ctrl << "italic" << 1
                            << QByteArray("actFormatItalic");
    QTest::newRow("Ctrl+U") << line << int(Qt::Key_U) << ctrl << "underline" << 1
                            << QByteArray("actFormatUnderline");
    QTest::newRow("Ctrl+L") << "\\qc " + line << int(Qt::Key_L) << ctrl << "align"
                            << int(ParaFormat::Left) << QByteArray("actFormatAlignLeft");
    QTest::newRow("Ctrl+E") << line << int(Qt::Key_E) << ctrl << "align" << int(ParaFormat::Center)
                            << QByteArray("actFormatAlignCenter");
    QTest::newRow("Ctrl+R") << line << int(Qt::Key_R) << ctrl << "align" << int(ParaFormat::Right)
                            << QByteArray("actFormatAlignRight");
    QTest::newRow("Ctrl+J") << line << int(Qt::Key_J) << ctrl << "align" << int(ParaFormat::Justify)
                            << QByteArray("actFormatAlignJustify");
    // Shift with the "=" key reports "+".
    QTest::newRow("Ctrl+Shift+=") << line << int(Qt::Key_Plus) << ctrlShift << "superscript" << 1
                                  << QByteArray("actFormatSuperScript");
    QTest::newRow("Ctrl+=") << line << int(Qt::Key_Equal) << ctrl << "subscript" << 1
                            << QByteArray("actFormatSubScript");
    QTest::newRow("Ctrl+]") << line << int(Qt::Key_BracketRight) << ctrl << "size" << 9
                            << QByteArray();
    QTest::newRow("Ctrl+[") << line << int(Qt::Key_BracketLeft) << ctrl << "size" << 7
                            << QByteArray();
    QTest::newRow("Ctrl+1") << "\\sl480\\slmult1 " + line << int(Qt::Key_1) << ctrl << "spacing"
                            << int(ParaFormat::Single) << QByteArray();
    QTest::newRow("Ctrl+2") << line << int(Qt::Key_2) << ctrl << "spacing"
                            << int(ParaFormat::Double) << QByteArray();
    QTest::newRow("Ctrl+5") << line << int(Qt::Key_5) << ctrl << "spacing"
                            << int(ParaFormat::OneAndHalf) << QByteArray();
}

// Given a selected line of an item not being edited, when a key is pressed
// in the editor, then the format changes as its command would change it: the
// item is in edit state, the text is kept, the command's check mark shows
// the format, and one Undo (Ctrl+Z) takes the change back.
void tst_FormatCommands::editorKeysRunFormatCommands()
{
    QFETCH(QString, body);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, field);
    QFETCH(int, expected);
    QFETCH(QByteArray, command);
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf(body));
    focusEditor(window);
    RichEdit *editor = window->editor();
    const QString text = editor->toPlainText();
    editor->setSelection(0, editor->textLength());
    const int before = formatValue(window, field);
    QVERIFY(before != expected);

    QTest::keyClick(editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QCOMPARE(formatValue(window, field), expected);
    QCOMPARE(editor->toPlainText(), text);
    if (!command.isEmpty())
        QVERIFY(window->action(command.constData())->isChecked());

    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(formatValue(window, field), before);
    QCOMPARE(editor->toPlainText(), text);
}

void tst_FormatCommands::editorKeysLeaveProtectedTextAndCatalogueKeys()
{
    // Protected text refuses the key as it refuses the command.
    DocumentWindow *window = open("NoName1");
    setDocument(window, rtf("\\protect keep\\protect0  free"));
    focusEditor(window);
    RichEdit *editor = window->editor();
    editor->setSelection(0, 4);
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(!formatAt(window, 0, 4).bold);
    editor->setSelection(5, 9);
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(formatAt(window, 5, 9).bold);

    // No key of the editor is a shortcut of the catalogue today; one that
    // became one would stay the catalogue's.
    QCOMPARE(editorFormatKeys().size(), 14);
    CommandRow bold = *findCommandRow(CommandScope::Child, QStringLiteral("actFormatBold"));
    bold.shortcut = "Ctrl+B";
    const CommandRow rows[] = {bold};
    const QList<EditorFormatKey> left = editorFormatKeys(rows);
    QCOMPARE(left.size(), 13);
    for (const EditorFormatKey &key : left)
        QVERIFY(key.key != QKeyCombination(Qt::ControlModifier, Qt::Key_B));
}

QTEST_MAIN(tst_FormatCommands)
#include "tst_format_commands.moc"
