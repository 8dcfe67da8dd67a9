// Recovery copies: a modified window writes its table and the editor's
// unposted text at most once per interval, removes the copy when saved or
// closed, and a copy left by a process that is gone opens as a modified
// untitled window holding the typed text.

#include "document/recovery_store.h"
#include "notes/notes_strings.h"
#include "window_test_fixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <memory>

using namespace bw;
using namespace bw::notes;

class tst_Recovery : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultFolderFollowsXdgStateHome();
    void typingWritesCopyWithinInterval();
    void savingRemovesCopy();
    void closingWithoutSavingRemovesCopy();
    void copyOfRunningProcessIsNotOffered();
    void copyOfEndedProcessOpensAsModifiedWindow();
    void untouchedWindowWritesNoCopy();

private:
    DocumentWindow *open(const QString &name)
    {
        return m_fixture->open(name, test::DocumentWindowFixture::Show::Plain);
    }
    QString path(const QString &name) const { return m_fixture->path(name); }
    void writeFile(const QString &file);
    QStringList copies() const;
    // Rewrites the copy's owner as a process that has ended.
    void orphan(const QString &infoFile);

    std::unique_ptr<test::DocumentWindowFixture> m_fixture;
    test::ScriptedPromptService *m_prompts = nullptr;
    StandaloneFrameServices *m_frame = nullptr;
    std::unique_ptr<RecoveryStore> m_store;
};

void tst_Recovery::init()
{
    m_fixture = std::make_unique<test::DocumentWindowFixture>();
    m_prompts = &m_fixture->prompts;
    m_frame = &m_fixture->frame();
    m_store = std::make_unique<RecoveryStore>(m_fixture->path("state/recovery"), 50);
    m_frame->setRecoveryStore(m_store.get());
}

void tst_Recovery::cleanup()
{
    m_fixture.reset(); // the windows and the frame, before the store they write to
    m_store.reset();
    m_prompts = nullptr;
    m_frame = nullptr;
}

void tst_Recovery::writeFile(const QString &file)
{
    NotesTable table;
    table.createNewContent();
    table.cdsCommon().saveToFile(file, dataset::ClientDataSet::FileFormat::Binary);
}

QStringList tst_Recovery::copies() const
{
    return QDir(m_store->folder()).entryList(QDir::Files, QDir::Name);
}

void tst_Recovery::orphan(const QString &infoFile)
{
    QProcess ended;
    ended.start(QStringLiteral("true"));
    QVERIFY(ended.waitForFinished(10000));
    const qint64 pid = ended.processId() ? ended.processId() : 999999;
    QFile file(infoFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    object.insert("pid", pid > 0 ? pid : 999999);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QJsonDocument(object).toJson());
}

void tst_Recovery::defaultFolderFollowsXdgStateHome()
{
    const QByteArray old = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/tmp/state-here");
    QCOMPARE(RecoveryStore::defaultFolder(),
             QStringLiteral("/tmp/state-here/bramblewick/recovery"));
    qunsetenv("XDG_STATE_HOME");
    QCOMPARE(RecoveryStore::defaultFolder(),
             QDir::homePath() + QStringLiteral("/.local/state/bramblewick/recovery"));
    if (!old.isEmpty())
        qputenv("XDG_STATE_HOME", old);
}

void tst_Recovery::typingWritesCopyWithinInterval()
{
    writeFile(path("a.cds"));
    DocumentWindow *window = open(path("a.cds"));
    QVERIFY(copies().isEmpty());
    window->editor()->setFocus();
    window->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->editor(), " typed words");
    QTRY_COMPARE(copies().size(), 2);
    // The editor is still being typed into: nothing was posted for the copy.
    QCOMPARE(window->cdsCommon().state(), dataset::ClientDataSet::State::Edit);
    QVERIFY(!window->editor()->isReadOnly());
}

void tst_Recovery::savingRemovesCopy()
{
    writeFile(path("s.cds"));
    DocumentWindow *window = open(path("s.cds"));
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "words");
    QTRY_COMPARE(copies().size(), 2);
    QVERIFY(window->doTableCommand(DocumentWindow::TableCommand::Save));
    QVERIFY(copies().isEmpty());
    // Nothing changed since: no copy comes back.
    QTest::qWait(200);
    QVERIFY(copies().isEmpty());
}

void tst_Recovery::closingWithoutSavingRemovesCopy()
{
    writeFile(path("c.cds"));
    DocumentWindow *window = open(path("c.cds"));
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "words");
    QTRY_COMPARE(copies().size(), 2);
    m_prompts->answerMessage(PromptService::No);
    QVERIFY(window->close());
    QVERIFY(copies().isEmpty());
}

void tst_Recovery::copyOfRunningProcessIsNotOffered()
{
    writeFile(path("r.cds"));
    DocumentWindow *window = open(path("r.cds"));
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "words");
    QTRY_COMPARE(copies().size(), 2);
    QVERIFY(m_store->pending().isEmpty());
}

void tst_Recovery::copyOfEndedProcessOpensAsModifiedWindow()
{
    writeFile(path("k.cds"));
    DocumentWindow *window = open(path("k.cds"));
    window->editor()->setFocus();
    window->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->editor(), " unsaved words");
    QTRY_COMPARE(copies().size(), 2);
    const QString info = m_store->folder() + "/" + copies().filter(".info").first();
    // Stop the window writing, as a killed process would.
    test::recoveryTimer(window).stop();
    test::recoveryTimer(window).blockSignals(true);
    orphan(info);

    const QList<RecoveryEntry> pending = m_store->pending();
    QCOMPARE(pending.size(), 1);
    QCOMPARE(pending.first().fileName, path("k.cds"));
    QVERIFY(pending.first().time.isValid());
    QVERIFY(pending.first().hasEditorText);

    m_frame->setRecoveryToOpen(&pending.first());
    DocumentWindow *recovered = open("NoName7");
    m_frame->setRecoveryToOpen(nullptr);
    QVERIFY(recovered->cdsCommon().isActive());
    QVERIFY(recovered->cdsCommon().changeCount() > 0);
    QVERIFY(recovered->editor()->toPlainText().contains("unsaved words"));
    QCOMPARE(recovered->caption(), QStringLiteral("NoName7"));
    // Closing asks about the changes.
    m_prompts->clear();
    m_prompts->answerMessage(PromptService::Cancel);
    QVERIFY(!recovered->close());
    QCOMPARE(m_prompts->count("message"), 1);
}

void tst_Recovery::untouchedWindowWritesNoCopy()
{
    writeFile(path("u.cds"));
    open(path("u.cds"));
    open("NoName1");
    QTest::qWait(300);
    QVERIFY(copies().isEmpty());
}

QTEST_MAIN(tst_Recovery)
#include "tst_recovery.moc"
