// A file whose items share an ID, or lack an ID or a Parent, opens read-only
// with a message naming the file and what was found: the tree shows one node
// per ID (a missing ID reads as 0), so no command may change or delete the
// items behind it that the user was not shown.

#include "document/document_strings.h"
#include "document/item_commands.h"
#include "notes/notes_strings.h"
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
    void missingIdOrParentOpensReadOnly_data();
    void missingIdOrParentOpensReadOnly();

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

namespace {
// Records as another program may write them: a null QVariant is a missing value.
void writeLooseFile(const QString &file, const QList<QPair<QVariant, QVariant>> &idsAndParents,
                    dataset::ClientDataSet::FileFormat format)
{
    dataset::ClientDataSet table;
    table.addFieldDef({kFieldId, dataset::FieldType::Integer, 0, false});
    table.addFieldDef({kFieldParent, dataset::FieldType::Integer, 0, false});
    table.addFieldDef({kFieldName, dataset::FieldType::String, kNameWidth, true});
    table.addFieldDef({kFieldDescription, dataset::FieldType::Memo, kDescriptionSize, false});
    table.createDataSet();
    int n = 0;
    for (const auto &[id, parent] : idsAndParents) {
        table.append();
        table.setFieldValue(kFieldId, id);
        table.setFieldValue(kFieldParent, parent);
        table.setFieldValue(kFieldName, QStringLiteral("Item %1").arg(++n));
        table.post();
    }
    table.saveToFile(file, format);
}
} // namespace

void tst_DuplicateIds::missingIdOrParentOpensReadOnly_data()
{
    using Records = QList<QPair<QVariant, QVariant>>;
    QTest::addColumn<int>("format");
    QTest::addColumn<Records>("records");
    QTest::addColumn<QString>("found"); // what the warning names
    const QVariant none;
    const Records noIds{{none, -1}, {none, -1}, {none, -1}, {none, -1}};
    const Records zeroAndNoIds{{0, -1}, {none, 0}, {none, 0}, {none, 0}};
    const Records noParent{{0, -1}, {1, none}, {2, 0}};
    const Records all{{5, 5}, {5, 5}, {none, 5}, {6, none}};
    for (const auto format :
         {dataset::ClientDataSet::FileFormat::Binary, dataset::ClientDataSet::FileFormat::Xml}) {
        const char *form = format == dataset::ClientDataSet::FileFormat::Xml ? "xml" : "binary";
        QTest::addRow("four without an ID, %s", form)
            << int(format) << noIds << QString("4 items without an ID");
        QTest::addRow("ID 0 and three without, %s", form)
            << int(format) << zeroAndNoIds << QString("3 items without an ID");
        QTest::addRow("one without a Parent, %s", form)
            << int(format) << noParent << QString("1 item without a Parent");
        QTest::addRow("shared, without ID and Parent, %s", form)
            << int(format) << all
            << QString("items that share an ID (5), 1 item without an ID and 1 item without a "
                       "Parent");
    }
}

void tst_DuplicateIds::missingIdOrParentOpensReadOnly()
{
    // Given a file whose items lack an ID (they all read as ID 0 and showed
    // as one node, whose delete took them all), when it is opened, then it
    // opens read-only with the warning, and nothing can delete them.
    using Records = QList<QPair<QVariant, QVariant>>;
    QFETCH(int, format);
    QFETCH(Records, records);
    QFETCH(QString, found);
    const auto form = dataset::ClientDataSet::FileFormat(format);
    const QString file =
        path(form == dataset::ClientDataSet::FileFormat::Xml ? "loose.xml" : "loose.cds");
    writeLooseFile(file, records, form);
    const QByteArray before = fileBytes(file);

    m_prompts->answerMessage(PromptService::Ok);
    DocumentWindow *window = open(file);
    QCOMPARE(m_prompts->messages(), QStringList{kMissingKeysReadOnly.arg(file, found)});
    QCOMPARE(m_prompts->asked.first().icon, PromptService::Icon::Warning);
    dataset::ClientDataSet &table = window->cdsCommon();
    QVERIFY(table.isActive());
    QVERIFY(!table.canModify());
    QCOMPARE(table.recordCount(), records.size());

    ItemCommands *commands = window->itemCommands();
    QVERIFY(commands);
    commands->aclRecordUpdate();
    QAction *del = window->action("actRecordDelete");
    QVERIFY(!del->isEnabled());
    del->trigger(); // no answer scripted: a confirmation would fail the test
    QCOMPARE(table.recordCount(), records.size());
    QCOMPARE(table.changeCount(), 0);
    m_prompts->clear();
    QVERIFY(window->close());
    QCOMPARE(m_prompts->asked.size(), 0);
    QCOMPARE(fileBytes(file), before);
}

QTEST_MAIN(tst_DuplicateIds)
#include "tst_duplicate_ids.moc"
