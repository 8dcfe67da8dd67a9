#pragma once
// Document windows for the window tests: a scripted prompt service (or one
// of its subclasses), a settings file in a temporary folder and a frame of
// their own; windows are shown, and by default active with the editor
// focused. Deleted with the fixture, after the windows.

#include "document/document_window.h"
#include "document/editor_commands.h"
#include "document/editor_file_commands.h"
#include "document/search_commands.h"
#include "document/standalone_frame_services.h"
#include "editor/rich_edit.h"
#include "notes/notes_table.h"
#include "scripted_prompt_service.h"
#include "settings/registry.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace bw::test {

template <class Prompts> class BasicDocumentWindowFixture
{
public:
    // Plain: shown as a window just opened is. Active: also active, with the
    // editor focused.
    enum class Show { Plain, Active };

    BasicDocumentWindowFixture()
        : m_registry(m_dir.filePath(QStringLiteral("registry.ini"))),
          m_frame(prompts, m_registry, registryRoot(), 4040)
    {
        if (!m_dir.isValid())
            qFatal("no temporary folder");
    }
    ~BasicDocumentWindowFixture()
    {
        for (const auto &window : m_windows)
            delete window.data();
    }

    notes::DocumentWindow *open(const QString &name = QStringLiteral("NoName1"),
                                Show show = Show::Active)
    {
        auto *window = new notes::DocumentWindow(m_frame, name);
        m_windows.append(window);
        m_frame.addWindow(window);
        window->resize(900, 600);
        window->show();
        if (show == Show::Plain)
            return window;
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("the document window did not become active");
        window->editor()->setFocus();
        return window;
    }

    // Gives the current item a plain-text document, posted.
    static void setText(notes::DocumentWindow *window, const QString &text)
    {
        auto &table = window->cdsCommon();
        table.edit();
        table.setFieldValue(notes::kFieldDescription, text);
        table.post();
        window->editor()->setFocus();
    }

    // Runs the window's update handlers, as the idle update does before a
    // click, then the command.
    static void run(notes::DocumentWindow *window, const char *name)
    {
        window->aclEditUpdate();
        window->editorCommands()->aclInsertUpdate();
        window->editorFileCommands()->aclFileUpdate();
        window->searchCommands()->aclSearchUpdate();
        window->action(QString::fromLatin1(name))->trigger();
    }

    // The program's settings key, as the frame reads and writes it.
    static QString registryRoot()
    {
        return QStringLiteral("Software\\ORV\\Bramblewick 2000\\4.0.4.0");
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }
    notes::StandaloneFrameServices &frame() { return m_frame; }
    settings::Registry &registry() { return m_registry; }

    Prompts prompts;

private:
    QTemporaryDir m_dir;
    settings::Registry m_registry;
    notes::StandaloneFrameServices m_frame;
    QList<QPointer<notes::DocumentWindow>> m_windows;
};

using DocumentWindowFixture = BasicDocumentWindowFixture<ScriptedPromptService>;

// The document window's timers, found by their object names: the automatic
// save's and the recovery copy's.
inline QTimer &autoSaveTimer(notes::DocumentWindow *window)
{
    return *window->findChild<QTimer *>(QStringLiteral("Timer1"));
}
inline QTimer &recoveryTimer(notes::DocumentWindow *window)
{
    return *window->findChild<QTimer *>(QStringLiteral("RecoveryTimer"));
}

} // namespace bw::test
