#pragma once
// "RichEdit Editor": the full editor window of the search window's
// rich-text box. A menu (load, save as, print, page setup, save and exit,
// exit), a tool bar and a format bar of flat buttons with hints, a ruler in
// centimetres, the editor and a status bar with the caret's line and column
// and the hints. Esc closes it without taking the text back; "Save and Exit"
// accepts it. Printing uses margins of 1 cm on each side.

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPrinter;
class QStatusBar;

namespace bw {
class PromptService;
class RichEdit;
} // namespace bw

namespace bw::search {

class RichTextActions;

class RichTextEditorDialog : public QDialog
{
    Q_OBJECT
public:
    using Guard = std::function<void(const std::function<void()> &)>;
    static constexpr double kPrintMarginMm = 10.0;

    RichTextEditorDialog(PromptService &prompts, Guard guard, QWidget *parent = nullptr);
    ~RichTextEditorDialog() override;

    RichEdit *editor() const { return m_editor; }
    RichTextActions *commands() const { return m_commands; }
    QStatusBar *statusBar() const { return m_statusBar; }
    bool savedOnExit() const { return m_saved; }
    QPrinter *printer();

    void loadFile();
    void saveFileAs();
    void printDocument();
    void pageSetup();
    void saveAndExit();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus(QWidget *menuHost);
    void buildBars();
    void updateStatus();
    void syncFormatBar();

    PromptService &m_prompts;
    Guard m_guard;
    RichEdit *m_editor;
    RichTextActions *m_commands;
    QStatusBar *m_statusBar;
    QLabel *m_position;
    QComboBox *m_fontName = nullptr;
    QComboBox *m_fontSize = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    bool m_saved = false;
};

} // namespace bw::search
