// The document window's saves of a large file, whose descriptions are read
// from it when needed, after another program changed it on disk; and saves
// that have nothing to write.

#include "document/document_window.h"
#include "outside_change.h"
#include "window_test_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace bw;
using namespace bw::notes;
using Command = DocumentWindow::TableCommand;

namespace {

// Just over the size from which descriptions stay in the file (4 MiB).
constexpr int kItems = 140;
constexpr int kDescriptionBytes = 30000;

QString descriptionOf(int i)
{
    return QStringLiteral("{\\rtf1 item %1 %2}")
        .arg(i)
        .arg(QString(kDescriptionBytes, QChar('a' + i % 26)));
}

void writeLargeFile(const QString &path)
{
    NotesTable notes;
    notes.createNewContent();
    dataset::ClientDataSet &table = notes.cdsCommon();
    for (int i = 1; i < kItems; ++i) {
        table.append();
        table.setFieldValue(kFieldParent, 0);
        table.setFieldValue(kFieldName, QStringLiteral("Item %1").arg(i));
        table.setFieldValue(kFieldDescription, descriptionOf(i));
        table.post();
    }
    table.saveToFile(path, dataset::ClientDataSet::FileFormat::Binary);
}

// "ID|Name|Description" of every item, in stored order.
QStringList itemsOf(const QString &path)
{
    NotesTable notes;
    notes.loadFromFile(path);
    dataset::ClientDataSet &table = notes.cdsCommon();
    QStringList items;
    for (table.first(); !table.eof(); table.next())
        items.append(QStringLiteral("%1|%2|%3")
                         .arg(table.asInteger(kFieldId))
                         .arg(table.asString(kFieldName), table.asString(kFieldDescription)));
    return items;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Another program changes the window's file (see outside_change.h); "replace"
// renames a new notes file over it.
void changeByAnotherProgram(const QString &path, const QString &change)
{
    test::changeByAnotherProgram(path, change, [](const QString &other) {
        NotesTable notes;
        notes.createNewContent();
        notes.cdsCommon().saveToFile(other, dataset::ClientDataSet::FileFormat::Binary);
    });
}

// Inode and modification time to the nanosecond: a file written anew
// (replaced through a temporary file) or in place shows in one of them.
QByteArray inodeAndTime(const QString &path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(qulonglong(info.st_ino)) + ' ' +
           QByteArray::number(qlonglong(info.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(info.st_mtim.tv_nsec));
}

void writeSmallFile(const QString &path, const QString &firstName)
{
    NotesTable notes;
    notes.createNewContent();
    dataset::ClientDataSet &table = notes.cdsCommon();
    table.edit();
    table.setFieldValue(kFieldName, firstName);
    table.post();
    for (int i = 1; i < 4; ++i) {
        table.append();
        table.setFieldValue(kFieldParent, 0);
        table.setFieldValue(kFieldName, QStringLiteral("Ünïtem %1").arg(i));
        table.setFieldValue(kFieldDescription, QStringLiteral("{\\rtf1 item %1}").arg(i));
        table.post();
    }
    table.saveToFile(path, dataset::ClientDataSet::fileFormatForName(path));
}

} // namespace

class tst_DocumentWindowSave : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<test::DocumentWindowFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void largeFileChangedByAnotherProgram_data();
    void largeFileChangedByAnotherProgram();
    void saveWithNothingChangedWritesNothing_data();
    void saveWithNothingChangedWritesNothing();

private:
    std::unique_ptr<test::DocumentWindowFixture> m_fixture;
};

void tst_DocumentWindowSave::largeFileChangedByAnotherProgram_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("beforeFirstChange");
    for (const char *command : {"save, yes", "save, no", "save as .cds", "save as .xml"}) {
        QTest::addRow("records deleted in place, %s", command) << "delete" << command << false;
        QTest::addRow("names and descriptions changed in place, %s", command)
            << "update" << command << false;
        QTest::addRow("replaced by rename, %s", command) << "replace" << command << false;
        QTest::addRow("changed in place before the first change, %s", command)
            << "update" << command << true;
    }
}

void tst_DocumentWindowSave::largeFileChangedByAnotherProgram()
{
    // Given the first item of a large file renamed and rewritten in its
    // window, when another program changes the file and the window is saved,
    // then the window's items are written whole, with the descriptions as
    // loaded (onto the file once the user says Yes, or elsewhere): a file
    // replaced by rename still reads as loaded, and one changed in place
    // after the window's first change is read from the copy made then. A
    // file changed in place before that is reported before any question or
    // dialog and nothing is written: never the window's names with the other
    // program's descriptions.
    QFETCH(QString, change);
    QFETCH(QString, command);
    QFETCH(bool, beforeFirstChange);
    test::ScriptedPromptService &prompts = m_fixture->prompts;
    const QString file = m_fixture->path("large.cds");
    writeLargeFile(file);
    QVERIFY(QFileInfo(file).size() > 4 << 20);
    QStringList expected = itemsOf(file);
    DocumentWindow *window = m_fixture->open(file, test::DocumentWindowFixture::Show::Plain);
    dataset::ClientDataSet &table = window->cdsCommon();
    if (beforeFirstChange)
        changeByAnotherProgram(file, change);
    table.first();
    const int id = table.asInteger(kFieldId);
    table.edit();
    table.setFieldValue(kFieldName, QStringLiteral("mine"));
    table.setFieldValue(kFieldDescription, QStringLiteral("my words"));
    table.post();
    expected[0] = QStringLiteral("%1|mine|my words").arg(id);

    if (!beforeFirstChange)
        changeByAnotherProgram(file, change);
    const QByteArray theirs = readAll(file);
    const bool saveAs = command.startsWith("save as");
    const QString target = saveAs ? m_fixture->path("copy" + command.mid(8)) : file;
    if (beforeFirstChange) {
        try {
            window->doTableCommand(saveAs ? Command::SaveAs : Command::Save);
            QFAIL("the window was saved");
        } catch (const dataset::FileChangedError &error) {
            QCOMPARE(error.message(),
                     file + "\nAnother program changed this file while it was open here. The "
                            "item descriptions this window still reads from the file are gone, "
                            "so nothing was saved.");
        }
        QVERIFY(prompts.asked.isEmpty());
        QCOMPARE(readAll(file), theirs);
        QVERIFY(!QFile::exists(target) || target == file);
        QVERIFY(table.changeCount() > 0);
        return;
    }
    if (saveAs)
        prompts.answerFile(target);
    else
        prompts.answerMessage(command == "save, yes" ? PromptService::Yes : PromptService::No);
    const bool written = command != "save, no";
    QCOMPARE(window->doTableCommand(saveAs ? Command::SaveAs : Command::Save), written);
    if (written)
        QCOMPARE(itemsOf(target), expected);
    if (target != file || !written)
        QCOMPARE(readAll(file), theirs);
    QCOMPARE(table.changeCount() == 0, written);
}

void tst_DocumentWindowSave::saveWithNothingChangedWritesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("written");
    for (const char *name : {"notes.xml", "notes.cds"}) {
        QTest::addRow("%s, nothing changed", name) << name << "nothing" << false;
        QTest::addRow("%s, a change undone", name) << name << "undone" << false;
        QTest::addRow("%s, an item renamed", name) << name << "renamed" << true;
        QTest::addRow("%s, replaced on disk, Yes", name) << name << "replaced" << true;
    }
    QTest::addRow("notes.xml, written as the window's own file by Save As") << "notes.xml"
                                                                            << "saved as" << false;
}

void tst_DocumentWindowSave::saveWithNothingChangedWritesNothing()
{
    // Given a notes file open in its window, when Ctrl+S runs with nothing
    // changed since it was read or written, then the file keeps its inode
    // and time, in either form; anything to write is written.
    QFETCH(QString, name);
    QFETCH(QString, before);
    QFETCH(bool, written);
    test::ScriptedPromptService &prompts = m_fixture->prompts;
    const QString file = m_fixture->path(name);
    writeSmallFile(file, QStringLiteral("first"));
    DocumentWindow *window =
        m_fixture->open(before == "saved as" ? QStringLiteral("NoName1") : file);
    dataset::ClientDataSet &table = window->cdsCommon();
    table.first();
    if (before == "saved as") {
        prompts.answerFile(file);
        window->action("actFileCDSSaveAs")->trigger();
        QCOMPARE(window->caption(), file);
    } else if (before == "undone") {
        table.edit();
        table.setFieldValue(kFieldName, QStringLiteral("for a moment"));
        table.post();
        table.undoLastChange(true);
        QCOMPARE(table.changeCount(), 0);
    } else if (before == "renamed") {
        table.edit();
        table.setFieldValue(kFieldName, QStringLiteral("renamed"));
        table.post();
    } else if (before == "replaced") {
        writeSmallFile(file + ".other", QStringLiteral("theirs"));
        QVERIFY(std::rename(QFile::encodeName(file + ".other").constData(),
                            QFile::encodeName(file).constData()) == 0);
        prompts.answerMessage(PromptService::Yes);
    }
    const QByteArray stamp = inodeAndTime(file);
    const QStringList items = itemsOf(file);
    prompts.clear();

    window->action("actFileCDSSave")->trigger();
    QCOMPARE(prompts.count("message"), before == "replaced" ? 1 : 0);
    QCOMPARE(inodeAndTime(file) != stamp, written);
    QCOMPARE(table.changeCount(), 0);
    if (!written)
        QCOMPARE(itemsOf(file), items);
    else
        QCOMPARE(itemsOf(file).first().section('|', 1, 1),
                 before == "renamed" ? QStringLiteral("renamed") : QStringLiteral("first"));
}

QTEST_MAIN(tst_DocumentWindowSave)
#include "tst_document_window_save.moc"
