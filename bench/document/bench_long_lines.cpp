// A description of 1, 4 or 20 MB in one paragraph, through the document
// window: one line without a space (a pasted log, a minified file, base64)
// or ordinary words. Each case shows it (the item's description loaded, laid
// out and painted), types one character at its end (with the idle updates and
// the status bar's line), and saves the notes file. Prints the CPU seconds of
// each step; run by hand, with QT_QPA_PLATFORM=offscreen:
//
//   bench_long_lines [MB...]      the sizes to run (default 1 4 20)

#include "document/document_window.h"
#include "document/standalone_frame_services.h"
#include "editor/rich_edit.h"
#include "long_paragraph.h"
#include "notes/notes_table.h"
#include "platform/prompt_service.h"
#include "process_figures.h"
#include "settings/registry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

using namespace bw;
using namespace bw::notes;

namespace {

// Lets the window do what it does when idle, and paints the editor.
void settle(DocumentWindow &window)
{
    QApplication::processEvents();
    QApplication::processEvents();
    (void)window.editor()->viewport()->grab();
}

void runCase(Kind kind, int megabytes, const QString &folder)
{
    settings::Registry registry(folder + QStringLiteral("/registry.ini"));
    DialogPromptService prompts;
    StandaloneFrameServices frame(prompts, registry, QStringLiteral("Software\\Bench"), 1);
    DocumentWindow window(frame, QStringLiteral("NoName1"));
    frame.addWindow(&window);
    window.resize(1000, 700);
    window.show();
    settle(window);
    const QByteArray description = makeDescription(kind, megabytes);
    dataset::ClientDataSet &table = window.cdsCommon();
    RichEdit *editor = window.editor();

    const double show = cpuSeconds([&] {
        table.edit();
        table.setBytes(kFieldDescription, description);
        table.post();
        settle(window);
        (void)editor->lineFromChar(-1);
    });
    const double type = cpuSeconds([&] {
        editor->setFocus();
        editor->setSelection(editor->textLength(), -1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(editor, &press);
        settle(window);
        (void)editor->lineFromChar(-1);
    });
    const double save = cpuSeconds([&] {
        table.post();
        table.saveToFile(folder + QStringLiteral("/long.cds"),
                         dataset::ClientDataSet::FileFormat::Binary);
    });
    std::printf("%2d MB %-9s show %7.2f s   type %7.2f s   save %7.2f s\n", megabytes,
                kind == Kind::OneLine ? "one line" : "words", show, type, save);
    std::fflush(stdout);
    table.edit();
    table.setBytes(kFieldDescription, QByteArray());
    table.post();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {1, 4, 20};
    QTemporaryDir dir;
    for (int megabytes : sizes)
        for (Kind kind : {Kind::OneLine, Kind::Words})
            runCase(kind, megabytes, dir.path());
    return 0;
}
