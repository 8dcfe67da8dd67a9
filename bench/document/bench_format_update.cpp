// Timings of the format commands' update handler, which runs whenever the
// program is idle: the character and paragraph format of a selection read
// over a large document (every paragraph with several runs of their own
// format), and Bold over the whole of it.

#include "document/document_window.h"
#include "document/format_commands.h"
#include "document/standalone_frame_services.h"
#include "editor/rich_edit.h"
#include "notes/notes_table.h"
#include "platform/prompt_service.h"
#include "settings/registry.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace bw;
using namespace bw::notes;

namespace {

constexpr int kParagraphs = 5000;
constexpr int kUpdates = 50;

QByteArray largeDocument()
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                     "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs20 ";
    for (int i = 0; i < kParagraphs; ++i)
        rtf += "Plain words \\b bold words\\b0  then \\i italic\\i0 , \\cf1 red\\cf0  and "
               "\\f1 code\\f0  to the end of paragraph " +
               QByteArray::number(i) + ".\\par ";
    return rtf + "}";
}

double msPer(int runs, const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i)
        work();
    return double(timer.nsecsElapsed()) / 1e6 / runs;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    settings::Registry registry(dir.filePath("registry.ini"));
    DialogPromptService prompts;
    StandaloneFrameServices frame(prompts, registry, QStringLiteral("Software\\Bench"), 1);
    DocumentWindow window(frame, QStringLiteral("NoName1"));
    frame.addWindow(&window);
    window.resize(1000, 700);
    window.show();
    dataset::ClientDataSet &table = window.cdsCommon();
    table.edit();
    table.setBytes(kFieldDescription, largeDocument());
    table.post();
    RichEdit *editor = window.editor();
    FormatCommands *commands = window.formatCommands();
    std::printf("document: %d paragraphs, %d characters\n", kParagraphs, editor->textLength());

    editor->setSelection(10, 10);
    std::printf("update, caret in a word:        %8.3f ms\n",
                msPer(kUpdates, [&] { commands->aclFormatUpdate(); }));
    editor->setSelection(0, 2000);
    std::printf("update, 2,000 characters:       %8.3f ms\n",
                msPer(kUpdates, [&] { commands->aclFormatUpdate(); }));
    editor->selectAll();
    std::printf("update, whole document:         %8.3f ms\n",
                msPer(kUpdates, [&] { commands->aclFormatUpdate(); }));
    const int revision = editor->document()->revision();
    std::printf("Bold over the whole document:   %8.3f ms\n",
                msPer(1, [&] { commands->toggleStyle(CharFormat::Bold); }));
    std::printf("revision %d -> %d, bold %d\n", revision, editor->document()->revision(),
                int(commands->currentAttributes().bold));
    std::printf("Center over the whole document: %8.3f ms\n", msPer(1, [&] {
                    commands->actFormatAlignAll(window.action("actFormatAlignCenter"));
                }));
    return 0;
}
