// A file whose items share an ID opens read-only with a message naming the
// file and the IDs: the tree shows one node per ID, so no command may change
// or delete the items behind it that the user was not shown.

#include "notes/notes_strings.h"
#include "document/item_commands.h"
#include "document/document_strings.h"
#include "window_test_fixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTest>

#include <memory>

using namespace bw;
using namespace bw::notes;

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class tst_DuplicateIds : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sharedIdOpensReadOnly_data();
    void sharedIdOpensReadOnly();
    void uniqueIdsOpenForEditing();

private:
    DocumentWindow *open(const QString &name)
    {
        return m_fixture->open(name, test::DocumentWindowFixture::Show::Plain);
    }
    QString path(const QString &name) const { return m_fixture->path(name); }
    // The first item (ID 0), then records with the IDs given (each its own parent).
    void writeFile(const QString &file, const QList<int> &ids,
                   dataset::ClientDataSet::FileFormat format);

    std::unique_ptr<test::DocumentWindowFixture> m_fixture;
    test::ScriptedPromptService *m_prompts = nullptr;
};

void tst_DuplicateIds::init()
{
    m_fixture = std::make_unique<test::DocumentWindowFixture>();
    m_prompts = &m_fixture->prompts;
}

void tst_DuplicateIds::cleanup()
{
    m_prompts = nullptr;
    m_fixture.reset();
}

void tst_DuplicateIds::writeFile(const QString &file, const QList<int> &ids,
                                 dataset::ClientDataSet::FileFormat format)
{
    NotesTable table;
    table.createNewContent();
    dataset::ClientDataSet &cds = table.cdsCommon();
    int n = 0;
    for (int id : ids) {
        cds.append();
        cds.setFieldValue(kFieldId, id);
        cds.setFieldValue(kFieldParent, id);
        cds.setFieldValue(kFieldName, QStringLiteral("Item %1").arg(++n));
        cds.post();
    }
    cds.saveToFile(file, format);
}

void tst_DuplicateIds::sharedIdOpensReadOnly_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("binary") << int(dataset::ClientDataSet::FileFormat::Binary);
    QTest::newRow("xml") << int(dataset::ClientDataSet::FileFormat::Xml);
}

void tst_DuplicateIds::sharedIdOpensReadOnly()
{
    // The smallest case: the first item (ID 0) and a second record with ID 0.
    QFETCH(int, format);
    const QString file = path("dup.cds");
    writeFile(file, {0, 5, 5}, dataset::ClientDataSet::FileFormat(format));
    const QByteArray before = fileBytes(file);

    m_prompts->answerMessage(PromptService::Ok);
    DocumentWindow *window = open(file);
    QCOMPARE(m_prompts->messages(), QStringList{kDuplicateIdsReadOnly.arg(file, "0, 5")});
    QCOMPARE(m_prompts->asked.first().icon, PromptService::Icon::Warning);
    dataset::ClientDataSet &table = window->cdsCommon();
    QVERIFY(table.isActive());
    QVERIFY(!table.canModify());
    QCOMPARE(table.recordCount(), 4);

    // Delete, Insert and Edit are off; running Delete anyway deletes nothing.
    ItemCommands *commands = window->itemCommands();
    QVERIFY(commands);
    commands->aclRecordUpdate();
    QAction *del = window->action("actRecordDelete");
    QVERIFY(!del->isEnabled());
    QVERIFY(!window->action("actRecordInsert")->isEnabled());
    QVERIFY(!window->action("actRecordEdit")->isEnabled());
    // No answer is scripted: a confirmation asked here would fail the test.
    del->trigger();
    QCOMPARE(table.recordCount(), 4);
    QCOMPARE(table.changeCount(), 0);

    // Typing changes nothing either; closing asks nothing and writes nothing.
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "x");
    QCOMPARE(table.changeCount(), 0);
    m_prompts->clear();
    QVERIFY(window->close());
    QCOMPARE(m_prompts->asked.size(), 0);
    QCOMPARE(fileBytes(file), before);
}

void tst_DuplicateIds::uniqueIdsOpenForEditing()
{
    writeFile(path("ok.cds"), {1, 2}, dataset::ClientDataSet::FileFormat::Binary);
    DocumentWindow *window = open(path("ok.cds"));
    QVERIFY(m_prompts->messages().isEmpty());
    QVERIFY(window->cdsCommon().canModify());
}

QTEST_MAIN(tst_DuplicateIds)
#include "tst_duplicate_ids.moc"
