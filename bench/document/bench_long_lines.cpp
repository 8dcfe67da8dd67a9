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
#include "notes/notes_table.h"
#include "platform/prompt_service.h"
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

enum class Kind { OneLine, Words };

// A paragraph of `size` bytes: letters and digits without a place to break
// the line, or words of two to nine letters.
QByteArray makeText(Kind kind, qsizetype size)
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray text;
    text.reserve(size + 64);
    quint32 seed = 12345;
    while (text.size() < size) {
        seed = seed * 1103515245u + 12345u;
        if (kind == Kind::OneLine) {
            text += kLetters[(seed >> 16) % 62];
        } else {
            const int length = 2 + int((seed >> 16) % 8);
            for (int i = 0; i < length; ++i)
                text += char('a' + (seed >> (i + 3)) % 26);
            text += ' ';
        }
    }
    return text;
}

QByteArray makeDescription(Kind kind, qsizetype megabytes)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}"
           "\\viewkind4\\uc1\\pard\\f0\\fs20 " +
           makeText(kind, megabytes * 1024 * 1024) + "\\par\n}";
}

double cpuSeconds(const std::function<void()> &work)
{
    const auto now = [] {
        timespec time;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
        return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
    };
    const double start = now();
    work();
    return now() - start;
}

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
