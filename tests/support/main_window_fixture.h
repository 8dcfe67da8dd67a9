#pragma once
// MainWindowFixture, the set-up shared by the tests that drive the main
// window: a registry in a temporary folder, the data module, the options
// dialog and the main window, all over one scripted prompt service. A test
// class derives from it and calls the steps from its init() and cleanup().
// Header-only, because only tests that link bw_app include it.

#include "app/data_module.h"
#include "app/main_window.h"
#include "options/options_dialog.h"
#include "scripted_prompt_service.h"
#include "settings/registry.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace bw::test {

class MainWindowFixture
{
protected:
    static constexpr char kRoot[] = "Software\\ORV\\Bramblewick 2000\\4.0.4.0";

    // Builds everything, with no tip of the day at start. factory: the
    // maker of document windows, the notes windows' when null. A failure is
    // reported through QTest::currentTestFailed().
    void buildMainWindow(std::unique_ptr<DocumentWindowFactory> factory)
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_registry = std::make_unique<settings::Registry>(m_dir->path() + "/registry.ini");
        m_prompts = std::make_unique<ScriptedPromptService>();
        m_dataModule = std::make_unique<DataModule>(*m_prompts, m_registry.get());
        OptionsDialog::Context context;
        context.registryRoot = kRoot;
        context.storageVersion = 4040;
        context.productName = "Bramblewick 2000";
        m_options = std::make_unique<OptionsDialog>(*m_prompts, context, m_registry.get());
        m_main = std::make_unique<MainWindow>(*m_dataModule, *m_prompts, std::move(factory));
        m_main->setOptionsDialog(m_options.get());
        m_options->writeImmediate(settings::Key::DisplayTipOfTheDayAtStartup_Checked, "False");
    }

    void showMainWindow()
    {
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    // Tears down in the reverse order of creation.
    void destroyMainWindow()
    {
        m_main.reset();
        m_options.reset();
        m_dataModule.reset();
        m_prompts.reset();
        m_registry.reset();
        m_dir.reset();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<ScriptedPromptService> m_prompts;
    std::unique_ptr<DataModule> m_dataModule;
    std::unique_ptr<OptionsDialog> m_options;
    std::unique_ptr<MainWindow> m_main;
};

} // namespace bw::test
