// Loading and saving RTF and plain text; pictures and objects through RTF.

#include "editor_fixture.h"
#include "scripted_prompt_service.h"

#include "rtf/text_properties.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QImageWriter>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QtTest>

using namespace bw;
using namespace bw::test;

namespace {

QByteArray saved(const RichEdit &edit, StreamFormat format, bool selectionOnly = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    edit.saveToStream(&buffer, format, selectionOnly);
    return bytes;
}

void load(RichEdit &edit, QByteArray bytes, StreamFormat format)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    edit.loadFromStream(&buffer, format);
}

// The formats of the document's object characters, in order.
QList<QTextCharFormat> objectFormats(const QTextDocument *document)
{
    QList<QTextCharFormat> formats;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(QChar::ObjectReplacementCharacter))
                formats << it.fragment().charFormat();
    return formats;
}

} // namespace

class tst_RichEditStream : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void plainTextDecoding_data();
    void plainTextDecoding();
    void askedFormatFallsBackToTheOther();
    void failuresThrowTheExactTexts();
    void loadStartsAFreshHistory();
    void caretLineAskedDuringALoad();
    void loadOfProtectedTextAsksFirst();
    void destroyedAfterLoadingLinks();
    void saveWholeOrSelection();
    void saveToFileKeepsTheOldFileOnFailure();
    void firstItemOfANewFile();
    void formatsRoundTrip();
    void picturesFromFiles_data();
    void picturesFromFiles();
    void pictureRoundTrip();
    void pictureThroughTheClipboard();
    void objectsRoundTrip();
    void objectVerbs();
    void insertObjectDialog();
    void textWithoutAFontSavedInTheEditorsFont();

private:
    std::unique_ptr<RichEdit> m_edit;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_RichEditStream::init()
{
    m_edit = std::make_unique<RichEdit>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void tst_RichEditStream::cleanup()
{
    m_edit.reset();
    m_dir.reset();
}

void tst_RichEditStream::plainTextDecoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-8") << QByteArray("gr\xc3\xbc\xc3\x9f dich") << QStringLiteral("grüß dich");
    QTest::newRow("Windows-1252") << QByteArray("\x80 5, caf\xe9") << QStringLiteral("€ 5, café");
    // The bytes Windows-1252 leaves undefined read as the import and the
    // export of items read them, as their own code points.
    QTest::newRow("Windows-1252, undefined bytes")
        << QByteArray("\x81\x8d\x8f\x90\x9d \xe9")
        << QStringLiteral("\u0081\u008d\u008f\u0090\u009d é");
    QTest::newRow("CR LF lines") << QByteArray("one\r\ntwo\rthree") << "one\ntwo\nthree";
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbfhi") << QStringLiteral("hi");
    QTest::newRow("RTF asked as text stays text")
        << QByteArray("{\\rtf1 x}") << QStringLiteral("{\\rtf1 x}");
}

void tst_RichEditStream::plainTextDecoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    load(*m_edit, bytes, StreamFormat::PlainText);
    QCOMPARE(m_edit->toPlainText(), text);
}

void tst_RichEditStream::askedFormatFallsBackToTheOther()
{
    load(*m_edit, "not rich at all", StreamFormat::Rtf);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("not rich at all"));
    load(*m_edit, "{\\rtf1\\ansi {\\b bold} text\\par}", StreamFormat::Rtf);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("bold text"));
    QCOMPARE(formatAt(*m_edit, 0).fontWeight(), int(QFont::Bold));
}

void tst_RichEditStream::failuresThrowTheExactTexts()
{
    m_edit->setPlainText(QStringLiteral("kept"));
    // Bytes that are neither RTF nor text.
    QByteArray binary("\x89PNG\r\n\x1a\n\0\0\0", 11);
    QBuffer buffer(&binary);
    buffer.open(QIODevice::ReadOnly);
    try {
        m_edit->loadFromStream(&buffer, StreamFormat::Rtf);
        QFAIL("binary bytes loaded");
    } catch (const StreamError &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Failed to Load Stream"));
    }
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("kept"));

    QBuffer closed;
    QVERIFY_THROWS_EXCEPTION(StreamError, m_edit->loadFromStream(&closed, StreamFormat::PlainText));
    try {
        m_edit->saveToStream(&closed, StreamFormat::Rtf);
        QFAIL("saved to a closed device");
    } catch (const StreamError &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Failed to Save Stream"));
    }
    try {
        m_edit->loadFromFile(m_dir->filePath(QStringLiteral("missing.rtf")), StreamFormat::Rtf);
        QFAIL("loaded a missing file");
    } catch (const StreamError &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Failed to Load Stream"));
    }
}

void tst_RichEditStream::loadStartsAFreshHistory()
{
    QTest::keyClicks(m_edit.get(), QStringLiteral("typed"));
    QVERIFY(m_edit->canUndo());
    QSignalSpy changes(m_edit.get(), &RichEdit::change);
    load(*m_edit, "{\\rtf1 loaded www.example.com\\par}", StreamFormat::Rtf);
    QCoreApplication::processEvents(); // nothing left to change later
    QCOMPARE(changes.count(), 1);
    QVERIFY(!m_edit->canUndo());
    QVERIFY(!m_edit->document()->isModified());
    QCOMPARE(m_edit->undoKind(), UndoKind::None);
    QTest::keyClick(m_edit.get(), Qt::Key_X);
    QCOMPARE(m_edit->undoKind(), UndoKind::Typing);
    QCOMPARE(changes.count(), 2);
}

void tst_RichEditStream::caretLineAskedDuringALoad()
{
    // Given a slot asking for the caret's line on every selection change,
    // when longer RTF documents are loaded, then the line comes from the
    // document being shown, not from the one it replaces.
    m_edit->setWordWrap(false);
    m_edit->setPlainText(QStringLiteral("short"));
    QList<int> lines;
    connect(m_edit.get(), &RichEdit::selectionChange, this,
            [&] { lines << m_edit->lineFromChar(m_edit->selectionStart()); });
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < 200; ++i)
        rtf += "paragraph " + QByteArray::number(i) + "\\par ";
    rtf += "}";
    for (int round = 0; round < 2; ++round) {
        QTextCursor end = m_edit->textCursor();
        end.movePosition(QTextCursor::End);
        m_edit->setTextCursor(end);
        lines.clear();
        load(*m_edit, rtf, StreamFormat::Rtf);
        QCOMPARE(lines, QList<int>{0});
    }
    QCOMPARE(m_edit->lineFromChar(m_edit->textLength()), m_edit->lineCount() - 1);
}

void tst_RichEditStream::destroyedAfterLoadingLinks()
{
    // Given a loaded document with display formats, when the control is
    // destroyed, then removing those formats reaches no destroyed part.
    auto edit = std::make_unique<RichEdit>();
    load(*edit, "{\\rtf1 see www.example.com {\\v hidden}\\par}", StreamFormat::Rtf);
    QCOMPARE(edit->linkAt(5), QStringLiteral("www.example.com"));
    edit.reset();
}

void tst_RichEditStream::loadOfProtectedTextAsksFirst()
{
    appendRuns(*m_edit, {{"LOCKED", propertyFormat(rtf::Protected)}});
    bool moving = false;
    m_edit->setProtectedHandler([&](int, int) { return moving; });
    load(*m_edit, "other", StreamFormat::PlainText);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("LOCKED"));
    moving = true;
    load(*m_edit, "other", StreamFormat::PlainText);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("other"));
}

void tst_RichEditStream::saveWholeOrSelection()
{
    m_edit->setPlainText(QStringLiteral("first ünïcode\nsecond"));
    m_edit->setSelection(0, 5);
    QCOMPARE(saved(*m_edit, StreamFormat::PlainText),
             QStringLiteral("first ünïcode\nsecond").toUtf8());
    QCOMPARE(saved(*m_edit, StreamFormat::PlainText, true), QByteArray("first"));
    const QByteArray rtf = saved(*m_edit, StreamFormat::Rtf, true);
    QVERIFY(rtf.startsWith("{\\rtf1"));
    RichEdit other;
    load(other, rtf, StreamFormat::Rtf);
    QCOMPARE(other.toPlainText(), QStringLiteral("first"));
}

void tst_RichEditStream::saveToFileKeepsTheOldFileOnFailure()
{
    const QString path = m_dir->filePath(QStringLiteral("notes.txt"));
    m_edit->setPlainText(QStringLiteral("version one"));
    m_edit->saveToFile(path, streamFormatForFile(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("version one"));
    QCOMPARE(streamFormatForFile(QStringLiteral("a.TXT")), StreamFormat::PlainText);
    QCOMPARE(streamFormatForFile(QStringLiteral("a.doc")), StreamFormat::Rtf);
    QVERIFY_THROWS_EXCEPTION(
        StreamError,
        m_edit->saveToFile(m_dir->filePath(QStringLiteral("no/such/dir.rtf")), StreamFormat::Rtf));
}

void tst_RichEditStream::firstItemOfANewFile()
{
    load(*m_edit,
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
         "Verdana;}{\\f1\\fnil Verdana;}}\\viewkind4\\uc1\\pard\\f0\\fs16 This is a description "
         "for your first item.\\par}",
         StreamFormat::Rtf);
    QCOMPARE(m_edit->document()->blockCount(), 1);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("This is a description for your first item."));
    m_edit->setSelection(0, -1);
    const CharFormat f = m_edit->selectionCharFormat();
    QVERIFY(f.has(CharFormat::Face | CharFormat::Size));
    QCOMPARE(f.face, QStringLiteral("Verdana"));
    QCOMPARE(f.sizePoints(), 8);
}

void tst_RichEditStream::formatsRoundTrip()
{
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setFontItalic(true);
    appendRuns(*m_edit, {{"bold ", boldFormat()},
                         {"red ", red},
                         {"locked ", propertyFormat(rtf::Protected)},
                         {"hidden ", propertyFormat(rtf::Hidden)},
                         {"greyed", propertyFormat(rtf::Disabled)}});
    RichEdit copy;
    load(copy, saved(*m_edit, StreamFormat::Rtf), StreamFormat::Rtf);
    QCOMPARE(copy.toPlainText(), m_edit->toPlainText());
    for (int position : {0, 5, 9, 16, 23}) {
        m_edit->setSelection(position, position + 3);
        copy.setSelection(position, position + 3);
        const CharFormat a = m_edit->selectionCharFormat();
        const CharFormat b = copy.selectionCharFormat();
        QCOMPARE(b.bold, a.bold);
        QCOMPARE(b.italic, a.italic);
        QCOMPARE(b.color, a.color);
        QCOMPARE(b.protectedText, a.protectedText);
        QCOMPARE(b.hidden, a.hidden);
        QCOMPARE(b.disabled, a.disabled);
    }
}

void tst_RichEditStream::picturesFromFiles_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("stored");
    QTest::newRow("bmp") << "bmp"
                         << "png";
    QTest::newRow("gif") << "gif"
                         << "png";
    QTest::newRow("jpeg") << "jpg"
                          << "jpeg";
    QTest::newRow("png") << "png"
                         << "png";
    QTest::newRow("icon") << "ico"
                          << "png";
}

void tst_RichEditStream::picturesFromFiles()
{
    QFETCH(QString, suffix);
    QFETCH(QString, stored);
    QImage image(16, 12, QImage::Format_ARGB32);
    image.fill(QColor(0, 0, 255, suffix == QLatin1String("ico") ? 0 : 255));
    const QString path = m_dir->filePath(QStringLiteral("picture.") + suffix);
    QSize size(16, 12);
    if (suffix == QLatin1String("gif")) {
        // Qt writes no GIF: a 1 x 1 red GIF made by hand.
        QFile gif(path);
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write(QByteArray::fromHex("47494638396101000100800000ff000000000021f90401000000002c"
                                      "00000000010001000002024401003b"));
        size = QSize(1, 1);
    } else {
        QImageWriter writer(path, suffix == QLatin1String("jpg") ? "jpeg" : suffix.toLatin1());
        QVERIFY(writer.write(image));
    }
    const Picture picture = loadPictureFile(path);
    QCOMPARE(picture.format, stored);
    QCOMPARE(picture.image.size(), size);
    if (suffix == QLatin1String("ico")) // drawn on white
        QCOMPARE(picture.image.pixelColor(3, 3), QColor(Qt::white));
    m_edit->insertPicture(picture);
    QCOMPARE(m_edit->textLength(), 1);
    QVERIFY(formatAt(*m_edit, 0).isImageFormat());
}

void tst_RichEditStream::pictureRoundTrip()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::green);
    m_edit->setPlainText(QStringLiteral("ab"));
    m_edit->setSelection(1, 1);
    m_edit->insertPicture(pictureFromImage(image));
    RichEdit copy;
    load(copy, saved(*m_edit, StreamFormat::Rtf), StreamFormat::Rtf);
    QCOMPARE(copy.textLength(), 3);
    const QTextCharFormat f = formatAt(copy, 1);
    QVERIFY(f.isImageFormat());
    QCOMPARE(f.toImageFormat().width(), 20.0);
    const QVariant resource =
        copy.document()->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()));
    QCOMPARE(qvariant_cast<QImage>(resource).pixelColor(5, 5), QColor(Qt::green));

    QVERIFY_THROWS_EXCEPTION(PictureError,
                             loadPictureFile(m_dir->filePath(QStringLiteral("none.gif"))));
    QFile fake(m_dir->filePath(QStringLiteral("fake.emf")));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write("not a metafile");
    fake.close();
    QVERIFY_THROWS_EXCEPTION(PictureError, loadPictureFile(fake.fileName()));
}

void tst_RichEditStream::pictureThroughTheClipboard()
{
    // As the insert picture command does it: the file onto the clipboard, then paste.
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString path = m_dir->filePath(QStringLiteral("photo.jpeg"));
    QVERIFY(image.save(path, "JPEG"));
    QApplication::clipboard()->setMimeData(pictureMimeData(path));
    QVERIFY(m_edit->canPaste());
    QVERIFY(m_edit->pasteSpecialFormats().contains(QStringLiteral("Windows Bitmap")));
    m_edit->paste();
    QCOMPARE(m_edit->undoKind(), UndoKind::Paste);
    const QTextCharFormat f = formatAt(*m_edit, 0);
    QVERIFY(f.isImageFormat());
    QCOMPARE(f.stringProperty(rtf::PictureFormat), QStringLiteral("jpeg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(f.property(rtf::PictureData).toByteArray(), file.readAll()); // the file's own bytes
    QCOMPARE(m_edit->selectionType(), 0);
    m_edit->setSelection(0, 1);
    QCOMPARE(m_edit->selectionType(), int(SelectionObject));
}

void tst_RichEditStream::objectsRoundTrip()
{
    const QString path = m_dir->filePath(QStringLiteral("Résumé notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("embedded bytes");
    file.close();
    m_edit->setPlainText(QStringLiteral("see  and "));
    m_edit->setSelection(4, 4);
    m_edit->insertObject(objectFromFile(path, false));
    m_edit->setSelection(10, 10);
    m_edit->insertObject(objectFromFile(path, true));

    RichEdit copy;
    load(copy, saved(*m_edit, StreamFormat::Rtf), StreamFormat::Rtf);
    QCOMPARE(copy.textLength(), m_edit->textLength());
    const auto embedded = copy.objectAt(4);
    QVERIFY(embedded);
    QCOMPARE(embedded->name, QStringLiteral("Résumé notes.txt"));
    QCOMPARE(embedded->mimeType, QStringLiteral("text/plain"));
    QCOMPARE(embedded->data, QByteArray("embedded bytes"));
    QVERIFY(!embedded->isLink());
    const auto linked = copy.objectAt(10);
    QVERIFY(linked);
    QCOMPARE(linked->linkPath, QFileInfo(path).absoluteFilePath());
    QCOMPARE(linked->contents(), QByteArray("embedded bytes"));
    QCOMPARE(objectFormats(copy.document()).size(), 2);
}

void tst_RichEditStream::objectVerbs()
{
    m_edit->insertObject(
        EmbeddedObject{QStringLiteral("plan.txt"), QStringLiteral("text/plain"), "the plan", {}});
    QUrl opened;
    m_edit->setUrlOpener([&](const QUrl &url) {
        opened = url;
        return true;
    });
    m_edit->openObject(0);
    QVERIFY(opened.isLocalFile());
    QCOMPARE(QFileInfo(opened.toLocalFile()).fileName(), QStringLiteral("plan.txt"));
    QFile copy(opened.toLocalFile());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("the plan"));

    ScriptedPromptService prompts;
    prompts.cancelFile();
    QVERIFY(!m_edit->saveObjectAs(0, prompts));
    const QString target = m_dir->filePath(QStringLiteral("saved.txt"));
    prompts.answerFile(target);
    QVERIFY(m_edit->saveObjectAs(0, prompts));
    QCOMPARE(prompts.asked.last().file.fileName, QStringLiteral("plan.txt"));
    QFile saved(target);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("the plan"));

    m_edit->setUrlOpener([](const QUrl &) { return false; });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_edit->openObject(0));
}

void tst_RichEditStream::insertObjectDialog()
{
    QList<QUrl> opened;
    m_edit->setUrlOpener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    ScriptedPromptService prompts;
    // Cancel inserts nothing.
    prompts.answerDialog([](QDialog *) { return int(QDialog::Rejected); });
    QVERIFY(!m_edit->insertObjectDialog(prompts));
    QCOMPARE(prompts.asked.last().kind, QStringLiteral("exec"));
    QCOMPARE(prompts.asked.last().text, QStringLiteral("InsertObjectDialog"));
    QCOMPARE(m_edit->textLength(), 0);

    // Create new: an empty file of the chosen type, opened for editing.
    QString title;
    prompts.answerDialog([&](QDialog *dialog) {
        title = dialog->windowTitle();
        dialog->findChild<QListWidget *>(QStringLiteral("lbObjectType"))->setCurrentRow(2);
        return int(QDialog::Accepted);
    });
    QVERIFY(m_edit->insertObjectDialog(prompts));
    QCOMPARE(title, QStringLiteral("Insert Object"));
    auto object = m_edit->selectedObject();
    QVERIFY(object);
    QCOMPARE(object->name, QStringLiteral("New Page.html"));
    QCOMPARE(object->mimeType, QStringLiteral("text/html"));
    QCOMPARE(opened.size(), 1);

    // From a file, linked, through Browse.
    const QString path = m_dir->filePath(QStringLiteral("linked.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("linked");
    file.close();
    prompts.answerFile(path);
    prompts.answerDialog([](QDialog *dialog) {
        dialog->findChild<QPushButton *>()->click(); // Browse
        dialog->findChild<QCheckBox *>(QStringLiteral("cbLink"))->setChecked(true);
        return int(QDialog::Accepted);
    });
    m_edit->setSelection(m_edit->textLength(), -1);
    QVERIFY(m_edit->insertObjectDialog(prompts));
    object = m_edit->selectedObject();
    QVERIFY(object);
    QVERIFY(object->isLink());
    QCOMPARE(object->contents(), QByteArray("linked"));
    QCOMPARE(opened.size(), 1); // only new objects are opened
}

// Given the editor's font from the settings, when a document without a font
// table, or text typed into a new one, is saved, then its text names the
// editor's font, not Qt's default family.
void tst_RichEditStream::textWithoutAFontSavedInTheEditorsFont()
{
    m_edit->setDefaultFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    load(*m_edit, "{\\rtf1 plain\\par}", StreamFormat::Rtf);
    QByteArray rtf = saved(*m_edit, StreamFormat::Rtf);
    QVERIFY2(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}"), rtf.constData());
    load(*m_edit, "", StreamFormat::PlainText);
    m_edit->QTextEdit::insertPlainText(QStringLiteral("typed"));
    rtf = saved(*m_edit, StreamFormat::Rtf);
    QVERIFY2(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}"), rtf.constData());
}

QTEST_MAIN(tst_RichEditStream)
#include "tst_rich_edit_stream.moc"
