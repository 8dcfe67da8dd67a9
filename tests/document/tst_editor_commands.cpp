// The editor's document commands through the document window: undo in and
// out of edit state, the inserts, document files, paste special, objects,
// Do Again, links, mail and printing.

#include "document/editor_commands.h"
#include "document/editor_file_commands.h"
#include "document/editor_strings.h"
#include "document/format_commands.h"
#include "document/item_commands.h"
#include "editor/object_properties_dialog.h"
#include "editor/open_confirmation.h"
#include "editor/paste_special_dialog.h"
#include "editor/picture_file.h"
#include "platform/guarded_dispatch.h"
#include "tree/folder_tree_link.h"
#include "tree/folder_tree_view.h"
#include "window_test_fixture.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextImageFormat>
#include <QUrlQuery>

#include <sys/stat.h>

using namespace bw;
using namespace bw::notes;
using State = dataset::ClientDataSet::State;

namespace {

// Clipboard contents that count how often they are asked about, as every
// question to another program's clipboard is a round trip to it.
class CountingMimeData : public QMimeData
{
public:
    mutable int reads = 0;

    bool hasFormat(const QString &type) const override
    {
        ++reads;
        return QMimeData::hasFormat(type);
    }
    QStringList formats() const override
    {
        ++reads;
        return QMimeData::formats();
    }

protected:
    QVariant retrieveData(const QString &type, QMetaType metaType) const override
    {
        ++reads;
        return QMimeData::retrieveData(type, metaType);
    }
};

} // namespace

class tst_EditorCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void undoAfterPostEditsTheItem_data();
    void undoAfterPostEditsTheItem();
    void undoDisabledWhenItemCannotChange();
    void dateTimeBecomesLineOfSelectionEnd_data();
    void dateTimeBecomesLineOfSelectionEnd();
    void insertsNeedFocusedEditor();
    void horizontalLineFollowsSetting();
    void iconPictureDrawnOnWhite();
    void pictureDialogOffersOnlyReadableFiles();
    void jpegPictureKeepsItsBytes();
    void insertFileAppendsTextWithoutFormat();
    void openDocumentFileAsksAboutChanges_data();
    void openDocumentFileAsksAboutChanges();
    void saveAsProposesItemNameAndChoosesFormat_data();
    void saveAsProposesItemNameAndChoosesFormat();
    void saveUsesFileNamedAfterItem();
    void saveAsRefusesSpecialFiles_data();
    void saveAsRefusesSpecialFiles();
    void saveSelectedWritesSelectionOnly();
    void fileCommandsFollowTextAndSelection();
    void pictureOnlyClipboardEnablesPasteSpecialOnly();
    void clipboardReadOnceAfterEachChange();
    void altWithLetterTypesNothing_data();
    void altWithLetterTypesNothing();
    void objectPropertiesRunVerbs();
    void doAgainRepeatsLastFormat();
    void linkOpensOnLeftClickOnly();
    void linkAsksUnlessWebOrMail_data();
    void linkAsksUnlessWebOrMail();
    void objectDoubleClickAsksByType_data();
    void objectDoubleClickAsksByType();
    void editedObjectComesBack_data();
    void editedObjectComesBack();
    void editedObjectWithoutItsObjectIsKept();
    void sendMailHandsBodyToMailProgram();
    void printToPdfMatchesItem();

private:
    std::unique_ptr<test::DocumentWindowFixture> m_fixture;
    QList<QUrl> m_opened;
};

void tst_EditorCommands::init()
{
    m_fixture = std::make_unique<test::DocumentWindowFixture>();
    m_opened.clear();
    QApplication::clipboard()->clear();
}

void tst_EditorCommands::cleanup()
{
    m_fixture.reset();
}

void tst_EditorCommands::undoAfterPostEditsTheItem_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("command") << false;
    QTest::newRow("Ctrl+Z") << true;
}

// Given "xyz" typed and posted, when Undo runs and the item is posted again,
// then the item no longer holds "xyz".
void tst_EditorCommands::undoAfterPostEditsTheItem()
{
    QFETCH(bool, byKey);
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, "xyz");
    window->cdsCommon().post();
    QVERIFY(window->cdsCommon().asString(kFieldDescription).contains("xyz"));
    QCOMPARE(window->cdsCommon().state(), State::Browse);

    if (byKey) {
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    } else {
        window->aclEditUpdate();
        QVERIFY(window->action("actEditUndo")->isEnabled());
        test::DocumentWindowFixture::run(window, "actEditUndo");
    }
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QVERIFY(!editor->toPlainText().contains("xyz"));
    window->cdsCommon().post();
    QVERIFY(!window->cdsCommon().asString(kFieldDescription).contains("xyz"));

    // Redo brings it back into the item the same way.
    if (byKey)
        QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    else
        test::DocumentWindowFixture::run(window, "actEditRedo");
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    window->cdsCommon().post();
    QVERIFY(window->cdsCommon().asString(kFieldDescription).contains("xyz"));
}

void tst_EditorCommands::undoDisabledWhenItemCannotChange()
{
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, "xyz");
    window->cdsCommon().post();
    window->cdsCommon().setReadOnly(true);
    window->aclEditUpdate();
    QVERIFY(editor->canUndo());
    QVERIFY(!window->action("actEditUndo")->isEnabled());
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    editor->undo(); // the control itself refuses while read-only
    QVERIFY(editor->toPlainText().endsWith("xyz"));
    QCOMPARE(window->cdsCommon().state(), State::Browse);
}

void tst_EditorCommands::dateTimeBecomesLineOfSelectionEnd_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("expected");
    const QDate date(2003, 12, 8);
    QTest::newRow("afternoon") << QDateTime(date, QTime(14, 5, 9)) << QStringLiteral("8.12.2003 ");
    QTest::newRow("midnight") << QDateTime(date, QTime(0, 0)) << QStringLiteral("8.12.2003");
}

// Given four lines with the caret in the third, the date becomes the third
// line and the former third line moves down.
void tst_EditorCommands::dateTimeBecomesLineOfSelectionEnd()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, expected);
    DocumentWindow *window = m_fixture->open();
    test::DocumentWindowFixture::setText(window, "one\ntwo\nthree\nfour");
    window->editorCommands()->setClock([when] { return when; });
    RichEdit *editor = window->editor();
    editor->setSelection(9, 11); // "hr" of three
    test::DocumentWindowFixture::run(window, "actInsertDateTime");
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    const QStringList lines = editor->toPlainText().split('\n');
    QCOMPARE(lines.size(), 5);
    QVERIFY2(lines.at(2).startsWith(expected), qPrintable(lines.at(2)));
    // The time in the system's long format, left out at midnight.
    QCOMPARE(lines.at(2).contains(":05:09"), when.time().hour() != 0);
    if (when.time().hour() == 0)
        QCOMPARE(lines.at(2), expected);
    QCOMPARE(lines.at(3), QStringLiteral("three"));
    QCOMPARE(EditorCommands::dateTimeText(when).section(' ', 0, 0), QStringLiteral("8.12.2003"));
}

void tst_EditorCommands::insertsNeedFocusedEditor()
{
    DocumentWindow *window = m_fixture->open();
    const QString before = window->editor()->toPlainText();
    window->itemCommands()->dbTreeView()->setFocus();
    QVERIFY(!window->editor()->hasFocus());
    QVERIFY(window->action("actInsertDateTime")->isEnabled());
    test::DocumentWindowFixture::run(window, "actInsertDateTime");
    test::DocumentWindowFixture::run(window, "actInsertHorizontalLine");
    test::DocumentWindowFixture::run(window, "actInsertPicture");
    QCOMPARE(window->editor()->toPlainText(), before);
    QCOMPARE(window->cdsCommon().state(), State::Browse);
    QCOMPARE(m_fixture->prompts.asked.size(), 0);
}

void tst_EditorCommands::horizontalLineFollowsSetting()
{
    DocumentWindow *window = m_fixture->open();
    window->editor()->setSelection(0, 0);
    test::DocumentWindowFixture::run(window, "actInsertHorizontalLine");
    QCOMPARE(window->editor()->toPlainText().section('\n', 0, 0), QString(68, u'-'));
    m_fixture->frame().writeOption(settings::Key::RichEditHorizontalLine_Text, "=====");
    window->editor()->setSelection(0, 0);
    test::DocumentWindowFixture::run(window, "actInsertHorizontalLine");
    QCOMPARE(window->editor()->toPlainText().section('\n', 0, 1), "=====\n" + QString(68, u'-'));
}

namespace {

// The first picture or object of the editor's document.
QTextImageFormat firstImage(const RichEdit *editor)
{
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return it.fragment().charFormat().toImageFormat();
    return {};
}

} // namespace

// Given logo.ico with a transparent corner, the inserted picture shows white
// there and the clipboard holds the bitmap and the icon's own data.
void tst_EditorCommands::iconPictureDrawnOnWhite()
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            icon.setPixelColor(x, y, Qt::red);
    const QString file = m_fixture->path("logo.ico");
    QVERIFY(icon.save(file, "ICO"));

    DocumentWindow *window = m_fixture->open();
    m_fixture->prompts.answerFile(file);
    test::DocumentWindowFixture::run(window, "actInsertPicture");
    QCOMPARE(m_fixture->prompts.asked.last().file.filter.left(26),
             QStringLiteral("All Picture Files (*.gif;*"));
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    const QTextImageFormat format = firstImage(window->editor());
    QVERIFY(format.isValid());
    const QImage shown = qvariant_cast<QImage>(
        window->editor()->document()->resource(QTextDocument::ImageResource, QUrl(format.name())));
    QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::white));
    QCOMPARE(shown.pixelColor(8, 8), QColor(Qt::red));
    const QMimeData *clipboard = QApplication::clipboard()->mimeData();
    QVERIFY(clipboard->hasImage());
    QVERIFY(clipboard->hasFormat(kIconMimeType));
}

// Given the Insert Picture dialog, every kind of file it offers is one the
// editor can read (a metafile would be offered and then refused).
void tst_EditorCommands::pictureDialogOffersOnlyReadableFiles()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QString file = m_fixture->path("dot.bmp");
    QVERIFY(image.save(file, "BMP"));
    DocumentWindow *window = m_fixture->open();
    m_fixture->prompts.answerFile(file);
    test::DocumentWindowFixture::run(window, "actInsertPicture");
    const QStringList parts = m_fixture->prompts.asked.last().file.filter.split(u'|');
    QVERIFY(parts.size() >= 4);
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    for (int i = 1; i < parts.size(); i += 2) {
        for (const QString &pattern : parts.at(i).split(u';')) {
            if (pattern == QLatin1String("*.*"))
                continue;
            QVERIFY2(readable.contains(pattern.mid(2).toLatin1()), qPrintable(pattern));
        }
    }
}

void tst_EditorCommands::jpegPictureKeepsItsBytes()
{
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(QColor(20, 120, 200));
    const QString file = m_fixture->path("photo.jpg");
    QVERIFY(image.save(file, "JPEG"));
    DocumentWindow *window = m_fixture->open();
    m_fixture->prompts.answerFile(file);
    test::DocumentWindowFixture::run(window, "actInsertPicture");
    window->cdsCommon().post();
    QVERIFY(window->cdsCommon().asString(kFieldDescription).contains("\\jpegblip"));
    QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(kJpegMimeType));
}

// Given an RTF file with a bold heading, its text is appended after an empty
// line, without the bold.
void tst_EditorCommands::insertFileAppendsTextWithoutFormat()
{
    const QString file = m_fixture->path("bold.rtf");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("{\\rtf1\\ansi{\\b Heading\\par}Body text\\par}");
    out.close();
    DocumentWindow *window = m_fixture->open();
    m_fixture->prompts.answerFile(file);
    test::DocumentWindowFixture::run(window, "actInsertFile");
    QCOMPARE(
        m_fixture->prompts.asked.last().file.filter,
        QStringLiteral("Rich Text (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|All Files (*.*)|*.*"));
    RichEdit *editor = window->editor();
    QVERIFY2(editor->toPlainText().startsWith(
                 "This is a description for your first item.\n\nHeading\nBody text"),
             qPrintable(editor->toPlainText()));
    QTextCursor cursor(editor->document());
    cursor.setPosition(editor->toPlainText().indexOf("Heading") + 1);
    QVERIFY(cursor.charFormat().fontWeight() < QFont::Bold);
    QCOMPARE(window->cdsCommon().state(), State::Edit);
}

void tst_EditorCommands::openDocumentFileAsksAboutChanges_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Cancel") << int(PromptService::Cancel);
    QTest::newRow("No") << int(PromptService::No);
    QTest::newRow("Yes") << int(PromptService::Yes);
}

// Given unposted typing, opening a document file names the item; Cancel
// leaves everything, No drops the typing, Yes posts it, then the file loads.
void tst_EditorCommands::openDocumentFileAsksAboutChanges()
{
    QFETCH(int, answer);
    const QString file = m_fixture->path("doc.txt");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("From the file");
    out.close();
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, " typed");
    m_fixture->prompts.answerMessage(answer);
    if (answer != PromptService::Cancel)
        m_fixture->prompts.answerFile(file);
    window->editorFileCommands()->actFileRTFOpenExecute();
    QCOMPARE(m_fixture->prompts.messages(),
             QStringList{"Do you want to save changes to \"This Is Your First Item\"?"});
    if (answer == PromptService::Cancel) {
        QCOMPARE(m_fixture->prompts.count("open"), 0);
        QVERIFY(editor->toPlainText().endsWith(" typed"));
        QCOMPARE(window->cdsCommon().state(), State::Edit);
        return;
    }
    QCOMPARE(editor->toPlainText(), QStringLiteral("From the file"));
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    // The loaded text is not posted: cancelling it shows what was posted.
    window->cdsCommon().cancel();
    QCOMPARE(editor->toPlainText().endsWith(" typed"), answer == PromptService::Yes);
}

void tst_EditorCommands::saveAsProposesItemNameAndChoosesFormat_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("notes.txt") << "notes.txt"
                               << "notes.txt" << false;
    QTest::newRow("no extension") << "notes"
                                  << "notes.rtf" << true;
    QTest::newRow("other extension") << "notes.doc"
                                     << "notes.doc" << true;
}

void tst_EditorCommands::saveAsProposesItemNameAndChoosesFormat()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(bool, rtf);
    DocumentWindow *window = m_fixture->open();
    m_fixture->prompts.answerFile(m_fixture->path(typed));
    test::DocumentWindowFixture::run(window, "actFileRTFSaveAs");
    const PromptService::FileRequest request = m_fixture->prompts.asked.last().file;
    QCOMPARE(request.fileName, QStringLiteral("This Is Your First Item"));
    QCOMPARE(request.defaultExt, QStringLiteral("rtf"));
    QCOMPARE(request.filterIndex, 1);
    QFile file(m_fixture->path(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.startsWith("{\\rtf"), rtf);
    QVERIFY(bytes.contains("This is a description for your first item."));
}

void tst_EditorCommands::saveAsRefusesSpecialFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("pipe") << "fifo";
    QTest::newRow("folder") << "folder";
    QTest::newRow("two links") << "chain";
}

void tst_EditorCommands::saveAsRefusesSpecialFiles()
{
    // Given a pipe or a folder under the chosen name, Save As refuses it with
    // one error naming it; a chain of two links is followed to the regular
    // file at its end, which is replaced, and the links stay.
    QFETCH(QString, kind);
    DocumentWindow *window = m_fixture->open();
    const QString path = m_fixture->path("item.rtf");
    const QString end = m_fixture->path("end.rtf");
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else {
        QFile old(end);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        QVERIFY(QFile::link("end.rtf", m_fixture->path("middle.rtf")));
        QVERIFY(QFile::link("middle.rtf", path));
    }
    m_fixture->prompts.answerFile(path);
    QStringList errors;
    ExceptionHandlerScope handler(
        [&](std::exception_ptr error) { errors << exceptionText(error); });
    test::DocumentWindowFixture::run(window, "actFileRTFSaveAs");
    const QFileInfo info(path);
    if (kind == "chain") {
        QCOMPARE(errors, QStringList());
        QVERIFY(info.isSymLink() && QFileInfo(m_fixture->path("middle.rtf")).isSymLink());
        QFile written(end);
        QVERIFY(written.open(QIODevice::ReadOnly) && written.readAll().startsWith("{\\rtf"));
        return;
    }
    QCOMPARE(errors, QStringList{"Cannot write the file " + path + ": it is not a regular file"});
    QVERIFY(kind == "folder" ? info.isDir() : !info.isFile() && !info.isDir());
}

void tst_EditorCommands::saveUsesFileNamedAfterItem()
{
    const QString old = QDir::currentPath();
    QDir::setCurrent(m_fixture->path(QString()));
    DocumentWindow *window = m_fixture->open();
    QFile existing(m_fixture->path("This Is Your First Item.txt"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    window->editorFileCommands()->actFileRTFSaveExecute();
    QDir::setCurrent(old);
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("This is a description for your first item."));
    QCOMPARE(m_fixture->prompts.count("save"), 0);
}

void tst_EditorCommands::saveSelectedWritesSelectionOnly()
{
    DocumentWindow *window = m_fixture->open();
    window->editor()->setSelection(10, 21); // "description"
    m_fixture->prompts.answerFile(m_fixture->path("part.txt"));
    window->editorFileCommands()->actFileRTFSaveSelectedExecute();
    QFile file(m_fixture->path("part.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("description"));
    // The whole document is saved again afterwards.
    m_fixture->prompts.answerFile(m_fixture->path("whole.txt"));
    window->editorFileCommands()->actFileRTFSaveAsExecute();
    QFile whole(m_fixture->path("whole.txt"));
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QVERIFY(whole.readAll().startsWith("This is"));
}

void tst_EditorCommands::fileCommandsFollowTextAndSelection()
{
    DocumentWindow *window = m_fixture->open();
    EditorFileCommands *files = window->editorFileCommands();
    window->editor()->setSelection(0, 4);
    files->aclFileUpdate();
    // Qt keeps hidden commands disabled: only the two shown ones can be seen.
    for (const char *name : {"actFileRTFSaveAs", "actFilePrint"})
        QVERIFY2(window->action(name)->isEnabled(), name);
    for (const char *name :
         {"actFileRTFOpen", "actFileRTFSave", "actFileRTFSaveSelected", "actFileRTFSendMail"})
        QVERIFY2(!window->action(name)->isVisible(), name);

    test::DocumentWindowFixture::setText(window, QString());
    files->aclFileUpdate();
    for (const char *name : {"actFileRTFSaveAs", "actFilePrint"})
        QVERIFY2(!window->action(name)->isEnabled(), name);
}

// Given only a picture on the clipboard, Paste is off and Paste Special on;
// pasting it as a bitmap inserts the picture and edits the item.
void tst_EditorCommands::pictureOnlyClipboardEnablesPasteSpecialOnly()
{
    DocumentWindow *window = m_fixture->open();
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::green);
    QApplication::clipboard()->setImage(image);
    window->aclEditUpdate();
    QVERIFY(!window->action("actEditPaste")->isEnabled());
    QVERIFY(window->action("actEditPasteSpecial")->isEnabled());
    QStringList offered;
    m_fixture->prompts.answerDialog([&offered](QDialog *dialog) {
        const auto *list = dialog->findChild<QListWidget *>("lbFormats");
        for (int row = 0; list && row < list->count(); ++row)
            offered << list->item(row)->text();
        qobject_cast<PasteSpecialDialog *>(dialog)->setFormat("Windows Bitmap");
        return int(QDialog::Accepted);
    });
    window->editor()->setSelection(0, 0);
    test::DocumentWindowFixture::run(window, "actEditPasteSpecial");
    QCOMPARE(offered, QStringList{"Windows Bitmap"});
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QVERIFY(firstImage(window->editor()).isValid());
    QVERIFY(window->editor()->hasFocus());
}

void tst_EditorCommands::objectPropertiesRunVerbs()
{
    const QString source = m_fixture->path("notes.md");
    QFile out(source);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("# Object bytes");
    out.close();
    DocumentWindow *window = m_fixture->open();
    // Insert Object, embedding the file: the object is inserted and selected.
    window->editor()->setSelection(0, 0);
    m_fixture->prompts.answerDialog([&source](QDialog *dialog) {
        dialog->findChild<QRadioButton *>("rbCreateFromFile")->setChecked(true);
        dialog->findChild<QLineEdit *>("edFileName")->setText(source);
        return int(QDialog::Accepted);
    });
    test::DocumentWindowFixture::run(window, "actInsertObject");
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QVERIFY(window->editor()->selectedObject().has_value());
    window->aclEditUpdate();
    QVERIFY(window->action("actEditObjectProperties")->isEnabled());

    // The popup's object items: "%s Properties" and the verbs' submenu.
    QMenu popup;
    window->editorCommands()->addObjectMenuItems(popup);
    QStringList items;
    for (QAction *item : popup.actions())
        items << item->text();
    QCOMPARE(items, (QStringList{QString(), "notes.md Properties", "notes.md"}));
    QCOMPARE(popup.actions().last()->menu()->actions().size(), 2);

    // Save As from the properties dialog writes the object's bytes.
    QString caption;
    m_fixture->prompts.answerDialog([&caption](QDialog *dialog) {
        caption = dialog->windowTitle();
        return ObjectPropertiesDialog::verbResult(1);
    });
    m_fixture->prompts.answerFile(m_fixture->path("copy.md"));
    test::DocumentWindowFixture::run(window, "actEditObjectProperties");
    QCOMPARE(caption, QStringLiteral("notes.md Properties"));
    QFile copy(m_fixture->path("copy.md"));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("# Object bytes"));

    window->editor()->setSelection(1, 5);
    window->aclEditUpdate();
    QVERIFY(!window->action("actEditObjectProperties")->isEnabled());
}

void tst_EditorCommands::doAgainRepeatsLastFormat()
{
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    window->aclEditUpdate();
    QVERIFY(!window->action("actEditDoAgain")->isEnabled());
    QVERIFY(window->ensureEditState());
    editor->setSelection(0, 4); // "This"
    CharFormat bold;
    bold.mask = CharFormat::Bold;
    bold.bold = true;
    editor->setSelectionCharFormat(bold);
    editor->setSelection(8, 9); // "a"
    window->aclEditUpdate();
    QVERIFY(window->action("actEditDoAgain")->isEnabled());
    test::DocumentWindowFixture::run(window, "actEditDoAgain");
    QTextCursor cursor(editor->document());
    cursor.setPosition(9);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    cursor.setPosition(12);
    QVERIFY(cursor.charFormat().fontWeight() < QFont::Bold);
}

// A left click on a link opens it; a right click opens nothing.
void tst_EditorCommands::linkOpensOnLeftClickOnly()
{
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    editor->setAutoUrlDetect(true);
    editor->setContextMenuPolicy(Qt::NoContextMenu);
    editor->setUrlOpener([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
    test::DocumentWindowFixture::setText(window, "see www.example.org today");
    QTextCursor cursor(editor->document());
    cursor.setPosition(8);
    const QPoint at = editor->cursorRect(cursor).center();
    QTest::mouseClick(editor->viewport(), Qt::RightButton, {}, at);
    QVERIFY(m_opened.isEmpty());
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_opened, QList<QUrl>{QUrl("http://www.example.org")});
}

void tst_EditorCommands::linkAsksUnlessWebOrMail_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("shown"); // named in the question; empty: no question
    QTest::addColumn<int>("answer");

    QTest::newRow("web") << "www.example.org" << QUrl("http://www.example.org") << QString() << 0;
    QTest::newRow("mail") << "mailto:someone@example.org" << QUrl("mailto:someone@example.org")
                          << QString() << 0;
    QTest::newRow("shell, refused")
        << "file:///bin/sh" << QUrl("file:///bin/sh") << "/bin/sh" << int(PromptService::No);
    QTest::newRow("shell, agreed")
        << "file:///bin/sh" << QUrl("file:///bin/sh") << "/bin/sh" << int(PromptService::Yes);
    QTest::newRow("launcher") << "file:///tmp/x.desktop" << QUrl("file:///tmp/x.desktop")
                              << "/tmp/x.desktop" << int(PromptService::No);
    QTest::newRow("script") << "file:///tmp/evil.sh" << QUrl("file:///tmp/evil.sh")
                            << "/tmp/evil.sh" << int(PromptService::No);
    QTest::newRow("telnet") << "telnet://example.org" << QUrl("telnet://example.org")
                            << "telnet://example.org" << int(PromptService::No);
}

// Given a link in the item, when it is clicked, then web and mail links open
// at once and anything else only after a Yes to a question naming it.
void tst_EditorCommands::linkAsksUnlessWebOrMail()
{
    QFETCH(QString, link);
    QFETCH(QUrl, url);
    QFETCH(QString, shown);
    QFETCH(int, answer);
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    editor->setAutoUrlDetect(true);
    editor->setUrlOpener([this](const QUrl &opened) {
        m_opened << opened;
        return true;
    });
    test::DocumentWindowFixture::setText(window, "see " + link + " today");
    if (answer)
        m_fixture->prompts.answerMessage(answer);
    QTextCursor cursor(editor->document());
    cursor.setPosition(6);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, editor->cursorRect(cursor).center());
    if (shown.isEmpty()) {
        QCOMPARE(m_fixture->prompts.count("message"), 0);
    } else {
        QCOMPARE(m_fixture->prompts.messages(), QStringList{kOpenLinkQuestion.arg(shown)});
        QCOMPARE(m_fixture->prompts.asked.last().buttons, PromptService::Yes | PromptService::No);
    }
    const bool opens = shown.isEmpty() || answer == PromptService::Yes;
    QCOMPARE(m_opened, opens ? QList<QUrl>{url} : QList<QUrl>{});
}

void tst_EditorCommands::objectDoubleClickAsksByType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("askedType"); // empty: no question
    QTest::addColumn<int>("answer");

    QTest::newRow("text") << "notes.txt" << QByteArray("plain") << QString() << 0;
    QTest::newRow("launcher, refused") << "x.desktop" << QByteArray("[Desktop Entry]\nExec=sh\n")
                                       << "application/x-desktop" << int(PromptService::No);
    QTest::newRow("script, refused") << "evil.sh" << QByteArray("#!/bin/sh\n")
                                     << "application/x-shellscript" << int(PromptService::No);
    QTest::newRow("script, agreed") << "evil.sh" << QByteArray("#!/bin/sh\n")
                                    << "application/x-shellscript" << int(PromptService::Yes);
}

// Given an embedded object, when it is double-clicked, then a plain document
// opens at once and a launcher or script only after a Yes.
void tst_EditorCommands::objectDoubleClickAsksByType()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, data);
    QFETCH(QString, askedType);
    QFETCH(int, answer);
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    editor->setUrlOpener([this](const QUrl &opened) {
        m_opened << opened;
        return true;
    });
    QVERIFY(window->ensureEditState());
    editor->setSelection(0, 0);
    // The document claims a harmless type; the name decides.
    editor->insertObject(EmbeddedObject{name, QStringLiteral("text/plain"), data, {}});
    if (answer)
        m_fixture->prompts.answerMessage(answer);
    QTextCursor cursor(editor->document());
    cursor.setPosition(0);
    const QPoint at = editor->cursorRect(cursor).center() + QPoint(8, 0);
    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, at);
    if (askedType.isEmpty()) {
        QCOMPARE(m_fixture->prompts.count("message"), 0);
    } else {
        const QString kind = QMimeDatabase().mimeTypeForName(askedType).comment();
        QCOMPARE(m_fixture->prompts.messages(), QStringList{kOpenObjectQuestion.arg(name, kind)});
    }
    const bool opens = askedType.isEmpty() || answer == PromptService::Yes;
    QCOMPARE(m_opened.size(), opens ? 1 : 0);
    if (opens)
        QCOMPARE(QFileInfo(m_opened.first().toLocalFile()).fileName(), name);
}

void tst_EditorCommands::editedObjectComesBack_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("written in place") << R"(printf 'typed by the user\n' > "$1")";
    QTest::newRow("saved by rename")
        << R"(printf 'typed by the user\n' > "$1.tmp" && mv "$1.tmp" "$1")";
}

// Given Insert > Object > Text Document, when the program it opens saves
// the copy, then the object holds the saved bytes as one undo step, the item
// is modified and its stored RTF carries them; the copy goes with the window.
void tst_EditorCommands::editedObjectComesBack()
{
    QFETCH(QString, script);
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    // The stand-in for the desktop's editor: a program of its own that saves
    // the file it is given.
    QProcess program;
    QString copy;
    editor->setUrlOpener([&](const QUrl &url) {
        copy = url.toLocalFile();
        program.start(QStringLiteral("sh"), {"-c", script, "editor", copy});
        return true;
    });
    editor->setSelection(0, 0);
    m_fixture->prompts.answerDialog([](QDialog *) { return int(QDialog::Accepted); });
    test::DocumentWindowFixture::run(window, "actInsertObject");
    QVERIFY(QFileInfo(copy).isFile());
    QVERIFY(program.waitForFinished());
    QCOMPARE(program.exitCode(), 0);
    // The item as it was after the insert, posted: the edit must mark it again.
    window->cdsCommon().post();
    QVERIFY(!window->editorModified());
    QCOMPARE(editor->objectAt(0)->data, QByteArray());

    const QByteArray typed("typed by the user\n");
    QTRY_COMPARE(editor->objectAt(0)->data, typed);
    QCOMPARE(editor->objectAt(0)->name, QStringLiteral("New Text Document.txt"));
    QVERIFY(window->editorModified());
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    editor->undo();
    QCOMPARE(editor->objectAt(0)->data, QByteArray());
    editor->redo();
    QCOMPARE(editor->objectAt(0)->data, typed);

    window->cdsCommon().post();
    RichEdit stored;
    QBuffer rtf;
    rtf.setData(window->cdsCommon().asBytes(kFieldDescription));
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    stored.loadFromStream(&rtf, StreamFormat::Rtf);
    QCOMPARE(stored.objectAt(0)->data, typed);
    QVERIFY(m_fixture->prompts.messages().isEmpty());

    delete window;
    QVERIFY(!QFileInfo::exists(copy));
}

// Given an opened object deleted from the item, when its program saves, then
// nothing in the item changes and the saved copy is kept where the message says.
void tst_EditorCommands::editedObjectWithoutItsObjectIsKept()
{
    DocumentWindow *window = m_fixture->open();
    RichEdit *editor = window->editor();
    QString copy;
    editor->setUrlOpener([&copy](const QUrl &url) {
        copy = url.toLocalFile();
        return true;
    });
    QVERIFY(window->ensureEditState());
    editor->setSelection(0, 0);
    editor->insertObject(EmbeddedObject{"plan.txt", "text/plain", "old plan", {}});
    editor->openObject(0);
    editor->setSelection(0, 1);
    editor->deleteSelection();
    const QString before = editor->toPlainText();

    m_fixture->prompts.answerMessage(PromptService::Ok);
    QFile file(copy);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("new plan");
    file.close();
    QTRY_COMPARE(m_fixture->prompts.count("message"), 1);
    QCOMPARE(editor->toPlainText(), before);
    const QString text = m_fixture->prompts.messages().first();
    const QString prefix = kObjectCopyNotPutBack.section(u'"', 0, 0);
    QVERIFY2(text.startsWith(prefix + "\"plan.txt\""), qPrintable(text));
    const QString kept = text.section(u'"', -2, -2);
    QVERIFY(kept != copy);
    QFile keptFile(kept);
    QVERIFY(keptFile.open(QIODevice::ReadOnly));
    QCOMPARE(keptFile.readAll(), QByteArray("new plan"));
    QCOMPARE(text, kObjectCopyNotPutBack.arg("plan.txt", kept));
    keptFile.close();
    QVERIFY(QDir(QFileInfo(kept).absolutePath()).removeRecursively());
}

void tst_EditorCommands::sendMailHandsBodyToMailProgram()
{
    DocumentWindow *window = m_fixture->open();
    test::DocumentWindowFixture::setText(window, "first line\nsecond & more");
    bool works = true;
    window->editor()->setUrlOpener([this, &works](const QUrl &url) {
        m_opened << url;
        return works;
    });
    window->editorFileCommands()->actFileRTFSendMailExecute();
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.first().scheme(), QStringLiteral("mailto"));
    QCOMPARE(m_opened.first().path(), QString());
    QCOMPARE(QUrlQuery(m_opened.first()).queryItemValue("body", QUrl::FullyDecoded),
             QStringLiteral("first line\r\nsecond & more\r\n"));
    QVERIFY(m_fixture->prompts.messages().isEmpty());

    works = false;
    m_fixture->prompts.answerMessage(PromptService::Ok);
    window->editorFileCommands()->actFileRTFSendMailExecute();
    QCOMPARE(m_fixture->prompts.messages(), QStringList{"Error sending mail!"});
    QCOMPARE(m_fixture->prompts.asked.last().icon, PromptService::Icon::Error);
}

void tst_EditorCommands::printToPdfMatchesItem()
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils, from scripts/install-deps) is not installed");
    DocumentWindow *window = m_fixture->open();
    test::DocumentWindowFixture::setText(window, "Printed opening line\nÜmlaut second line");
    const QString pdf = m_fixture->path("item.pdf");
    m_fixture->prompts.printToFile = pdf;
    m_fixture->prompts.printAnswers.enqueue(true);
    test::DocumentWindowFixture::run(window, "actFilePrint");
    QCOMPARE(m_fixture->prompts.count("print"), 1);
    QProcess process;
    process.start(pdftotext, {pdf, "-"});
    QVERIFY(process.waitForFinished(20000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(text.contains("Printed opening line"), qPrintable(text));
    QVERIFY2(text.contains("Ümlaut second line"), qPrintable(text));
    process.start("pdfinfo", {pdf});
    if (process.waitForFinished(20000) && process.exitCode() == 0)
        QVERIFY(
            QString::fromUtf8(process.readAllStandardOutput()).contains("This Is Your First Item"));
}

// Given copied files on the clipboard and two windows, when their commands
// are updated again and again, the clipboard is asked about once; a change
// of the clipboard is read at the next update.
void tst_EditorCommands::clipboardReadOnceAfterEachChange()
{
    DocumentWindow *first = m_fixture->open(QStringLiteral("NoName1"));
    DocumentWindow *second = m_fixture->open(QStringLiteral("NoName2"));
    auto *files = new CountingMimeData;
    files->setUrls({QUrl::fromLocalFile(m_fixture->path(QStringLiteral("copied.txt")))});
    QApplication::clipboard()->setMimeData(files);
    QVERIFY(QApplication::clipboard()->mimeData() == files);
    first->aclEditUpdate();
    const int reads = files->reads;
    QVERIFY(reads > 0);
    for (int update = 0; update < 5; ++update) {
        for (DocumentWindow *window : {first, second}) {
            window->aclEditUpdate();
            window->editorCommands()->aclInsertUpdate();
            window->formatCommands()->aclFormatUpdate();
        }
    }
    QCOMPARE(files->reads, reads);
    QVERIFY(second->action("actEditPasteSpecial")->isEnabled()); // Embedded Object, Link Source

    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::green);
    QApplication::clipboard()->setImage(image);
    second->aclEditUpdate();
    QVERIFY(!second->action("actEditPaste")->isEnabled());
    QVERIFY(second->action("actEditPasteSpecial")->isEnabled());
    QApplication::clipboard()->clear();
    second->aclEditUpdate();
    QVERIFY(!second->action("actEditPasteSpecial")->isEnabled());
    QApplication::clipboard()->setText(QStringLiteral("text"));
    first->aclEditUpdate();
    QVERIFY(first->action("actEditPaste")->isEnabled());
}

void tst_EditorCommands::altWithLetterTypesNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier);
    QTest::newRow("Alt+Shift+O") << int(Qt::Key_O) << int(Qt::AltModifier | Qt::ShiftModifier);
    QTest::newRow("Alt+1") << int(Qt::Key_1) << int(Qt::AltModifier);
}

// Given an item being typed into, when Alt and a key that opens no menu is
// pressed, then nothing is typed.
void tst_EditorCommands::altWithLetterTypesNothing()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    DocumentWindow *window = m_fixture->open();
    test::DocumentWindowFixture::setText(window, QStringLiteral("text"));
    RichEdit *editor = window->editor();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral(" ab"));
    QCOMPARE(window->cdsCommon().state(), State::Edit);
    QTest::keyClick(editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(editor->toPlainText(), QStringLiteral("text ab"));
}

QTEST_MAIN(tst_EditorCommands)
#include "tst_editor_commands.moc"
