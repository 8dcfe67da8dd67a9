// RichEdit on formatted descriptions of 20 KB to 2 MB: loading one and
// showing it (layout and first paint), and typing one character with the
// caret's line asked for, as the status bar does. Run by hand:
//   QT_QPA_PLATFORM=offscreen build/bin/bench_rich_edit

#include "editor/rich_edit.h"

#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QPixmap>

#include <benchmark/benchmark.h>

namespace {

QByteArray makeDescription(qsizetype size)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
        "Verdana;}{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;"
        "\\red0\\green0\\blue255;}\\viewkind4\\uc1";
    static const char *kAlign[] = {"", "\\qc", "\\qr", "\\qj"};
    for (int i = 0; rtf.size() < size; ++i) {
        rtf += "\\pard";
        rtf += kAlign[i % 4];
        rtf += "\\li" + QByteArray::number((i % 4) * 180) + "\\f" + QByteArray::number(i % 2) +
               "\\fs" + QByteArray::number(16 + (i % 3) * 4) + " Note " + QByteArray::number(i) +
               " with {\\b bold}, {\\i italic}, {\\cf1 red} and {\\cf2\\ul blue underlined} words, "
               "a link www.example.org/page" +
               QByteArray::number(i) +
               " and caf\\'e9 au lait to fill the line so that it wraps once or twice.\\par\n";
    }
    return rtf + "}";
}

void load(bw::RichEdit &edit, const QByteArray &rtf)
{
    QByteArray bytes = rtf;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    edit.loadFromStream(&buffer, bw::StreamFormat::Rtf);
}

void BM_LoadAndShow(benchmark::State &state)
{
    const QByteArray rtf = makeDescription(state.range(0) * 1024);
    bw::RichEdit edit;
    edit.resize(800, 600);
    edit.show();
    for (auto _ : state) {
        load(edit, rtf);
        benchmark::DoNotOptimize(edit.viewport()->grab()); // layout and paint of the view
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void BM_TypeAtEnd(benchmark::State &state)
{
    bw::RichEdit edit;
    edit.resize(800, 600);
    edit.show();
    load(edit, makeDescription(state.range(0) * 1024));
    edit.lineCount();
    edit.setSelection(edit.textLength(), -1);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&edit, &press);
        benchmark::DoNotOptimize(edit.lineFromChar(-1));
        benchmark::DoNotOptimize(edit.lineIndex(-1));
    }
}

} // namespace

BENCHMARK(BM_LoadAndShow)->Arg(20)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAtEnd)->Arg(20)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
