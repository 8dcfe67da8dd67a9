// Recovery copies: a modified window writes its table and the editor's
// unposted text at most once per interval, removes the copy when saved or
// closed, and a copy left by a process that is gone opens as a modified
// untitled window holding the typed text.

#include "editor/rich_edit.h"
#include "notes/core/notes_strings.h"
#include "notes/document_window.h"
#include "notes/recovery_store.h"
#include "notes/standalone_frame_services.h"
#include "scripted_prompt_service.h"
#include "settings/core/registry.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace bw;
using namespace bw::notes;

namespace {
const QString kRoot = QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0");
constexpr int kVersion = 4040;
} // namespace

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
    TfrmMDIChild *open(const QString &name);
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void writeFile(const QString &file);
    QStringList copies() const;
    // Rewrites the copy's owner as a process that has ended.
    void orphan(const QString &infoFile);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<test::ScriptedPromptService> m_prompts;
    std::unique_ptr<StandaloneFrameServices> m_frame;
    std::unique_ptr<RecoveryStore> m_store;
    QList<QPointer<TfrmMDIChild>> m_windows;
};

void tst_Recovery::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_registry = std::make_unique<settings::Registry>(m_dir->filePath("registry.ini"));
    m_prompts = std::make_unique<test::ScriptedPromptService>();
    m_frame = std::make_unique<StandaloneFrameServices>(*m_prompts, *m_registry, kRoot, kVersion);
    m_store = std::make_unique<RecoveryStore>(m_dir->filePath("state/recovery"), 50);
    m_frame->setRecoveryStore(m_store.get());
}

void tst_Recovery::cleanup()
{
    for (const auto &window : m_windows)
        delete window.data();
    m_windows.clear();
    m_frame.reset();
    m_store.reset();
    m_prompts.reset();
    m_registry.reset();
    m_dir.reset();
}

TfrmMDIChild *tst_Recovery::open(const QString &name)
{
    auto *window = new TfrmMDIChild(*m_frame, name);
    m_windows.append(window);
    m_frame->addWindow(window);
    window->resize(900, 600);
    window->show();
    return window;
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
    TfrmMDIChild *window = open(path("a.cds"));
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
    TfrmMDIChild *window = open(path("s.cds"));
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "words");
    QTRY_COMPARE(copies().size(), 2);
    QVERIFY(window->DoTableCommand(TfrmMDIChild::TableCommand::Save));
    QVERIFY(copies().isEmpty());
    // Nothing changed since: no copy comes back.
    QTest::qWait(200);
    QVERIFY(copies().isEmpty());
}

void tst_Recovery::closingWithoutSavingRemovesCopy()
{
    writeFile(path("c.cds"));
    TfrmMDIChild *window = open(path("c.cds"));
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
    TfrmMDIChild *window = open(path("r.cds"));
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "words");
    QTRY_COMPARE(copies().size(), 2);
    QVERIFY(m_store->pending().isEmpty());
}

void tst_Recovery::copyOfEndedProcessOpensAsModifiedWindow()
{
    writeFile(path("k.cds"));
    TfrmMDIChild *window = open(path("k.cds"));
    window->editor()->setFocus();
    window->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->editor(), " unsaved words");
    QTRY_COMPARE(copies().size(), 2);
    const QString info = m_store->folder() + "/" + copies().filter(".info").first();
    // Stop the window writing, as a killed process would.
    window->recoveryTimer().stop();
    window->recoveryTimer().blockSignals(true);
    orphan(info);

    const QList<RecoveryEntry> pending = m_store->pending();
    QCOMPARE(pending.size(), 1);
    QCOMPARE(pending.first().fileName, path("k.cds"));
    QVERIFY(pending.first().time.isValid());
    QVERIFY(pending.first().hasEditorText);

    m_frame->setRecoveryToOpen(&pending.first());
    TfrmMDIChild *recovered = open("NoName7");
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
