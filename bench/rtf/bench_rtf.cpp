// RTF throughput on 10 MB documents of small formatted paragraphs: the
// tokenizer alone, reading into a QTextDocument, writing it back, and
// `unrtf --html` on the same file for comparison. BM_QtInsert puts the runs
// and paragraphs of the read document into a new QTextDocument through
// QTextCursor with no RTF at all: the cost of the document itself, which no
// reader can go below. Run by hand:
//   QT_QPA_PLATFORM=offscreen build/bin/bench_rtf

#include "rtf/rtf.h"
#include "rtf/rtf_tokenizer.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr qsizetype kTargetSize = 10 * 1024 * 1024;

// Paragraphs with fonts, sizes, styles, colours, alignment and indents.
enum Kind {
    Dense = 1,   // a change of format every 16 characters or so
    Typical = 0, // a few formatted phrases in a paragraph of ordinary sentences
    Short = 2,   // short paragraphs, each in a font, size, style and colour of its own
};

QByteArray makeDocument(Kind kind)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fmodern\\fcharset0 Courier New;}"
        "{\\f3\\fnil\\fcharset0 Verdana;}}\n{\\colortbl "
        ";\\red255\\green0\\blue0;\\red0\\green128\\blue0;"
        "\\red0\\green0\\blue255;\\red128\\green0\\blue128;}\n\\viewkind4\\uc1";
    static const char *kAlign[] = {"", "\\qc", "\\qr", "\\qj"};
    for (int i = 0; rtf.size() < kTargetSize; ++i) {
        const QByteArray n = QByteArray::number(i);
        rtf += "\\pard";
        rtf += kAlign[i % 4];
        rtf += "\\li" + QByteArray::number((i % 5) * 180) + "\\sa60\\f" +
               QByteArray::number(i % 4) + "\\fs" + QByteArray::number(16 + (i % 6) * 2);
        if (kind == Short)
            rtf += QByteArray(i % 2 ? "\\b" : "\\i") + (i % 3 ? "" : "\\ul") + "\\cf" +
                   QByteArray::number(i % 5) + " Entry " + n +
                   ": a short line of text in a format of its own.\\b0\\i0\\ulnone\\cf0\\par\n";
        else if (kind == Dense)
            rtf += " Paragraph " + n +
                   " has {\\b bold words}, {\\i some italic}, {\\ul underlined text}, "
                   "{\\cf" +
                   QByteArray::number(1 + i % 4) +
                   " a coloured phrase} and caf\\'e9 au lait "
                   "with {\\f2\\fs20 code()} in it.\\par\n";
        else
            rtf += " {\\b Note " + n +
                   ".} The meeting moved to the small room on the second floor, and the "
                   "minutes of the last one are in the {\\i shared folder}; please read them "
                   "before Thursday. "
                   "Bring the figures for the {\\cf" +
                   QByteArray::number(1 + i % 4) +
                   " third quarter} and "
                   "the list of open questions from the caf\\'e9 session.\\par\n";
    }
    rtf += "}";
    return rtf;
}

const QByteArray &document(std::int64_t kind)
{
    static const QByteArray kDocuments[] = {makeDocument(Typical), makeDocument(Dense),
                                            makeDocument(Short)};
    return kDocuments[kind];
}

void BM_Tokenizer(benchmark::State &state)
{
    const QByteArray &rtf = document(state.range(0));
    for (auto _ : state) {
        bw::rtf::RtfTokenizer tokenizer({rtf.constData(), std::size_t(rtf.size())});
        std::size_t count = 0;
        while (tokenizer.next().type != bw::rtf::TokenType::EndOfInput)
            ++count;
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void BM_Read(benchmark::State &state)
{
    const QByteArray &rtf = document(state.range(0));
    for (auto _ : state) {
        QTextDocument target;
        bw::rtf::readRtf(rtf, &target);
        benchmark::DoNotOptimize(target.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void BM_Write(benchmark::State &state)
{
    QTextDocument source;
    bw::rtf::readRtf(document(state.range(0)), &source);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray rtf = bw::rtf::writeRtf(&source);
        written = rtf.size();
        benchmark::DoNotOptimize(rtf.constData());
    }
    state.SetBytesProcessed(state.iterations() * written);
}

// One paragraph of a read document: its formats and its runs.
struct Paragraph
{
    QTextBlockFormat format;
    QTextCharFormat charFormat;
    std::vector<std::pair<QString, QTextCharFormat>> runs;
};

std::vector<Paragraph> paragraphsOf(const QTextDocument &document)
{
    std::vector<Paragraph> paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        Paragraph paragraph{block.blockFormat(), block.charFormat(), {}};
        for (auto it = block.begin(); !it.atEnd(); ++it)
            paragraph.runs.emplace_back(it.fragment().text(), it.fragment().charFormat());
        paragraphs.push_back(std::move(paragraph));
    }
    return paragraphs;
}

void BM_QtInsert(benchmark::State &state)
{
    const QByteArray &rtf = document(state.range(0));
    QTextDocument source;
    bw::rtf::readRtf(rtf, &source);
    const std::vector<Paragraph> paragraphs = paragraphsOf(source);
    std::size_t runs = 0;
    for (const Paragraph &paragraph : paragraphs)
        runs += paragraph.runs.size();
    for (auto _ : state) {
        QTextDocument target;
        target.setUndoRedoEnabled(false);
        QTextCursor cursor(&target);
        cursor.beginEditBlock();
        bool first = true;
        for (const Paragraph &paragraph : paragraphs) {
            if (first)
                cursor.setBlockFormat(paragraph.format);
            else
                cursor.insertBlock(paragraph.format, paragraph.charFormat);
            first = false;
            for (const auto &[text, format] : paragraph.runs)
                cursor.insertText(text, format);
        }
        cursor.endEditBlock();
        benchmark::DoNotOptimize(target.blockCount());
    }
    // Counted against the RTF's size, so the rate compares with BM_Read's.
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["paragraphs"] = double(paragraphs.size());
    state.counters["runs"] = double(runs);
}

double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_Unrtf(benchmark::State &state)
{
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty()) {
        state.SkipWithError("unrtf is not installed");
        return;
    }
    QTemporaryFile file;
    file.open();
    file.write(document(state.range(0)));
    file.flush();
    // Timed by the child's CPU time, as the other benchmarks' rates are by
    // theirs: on a busy machine wall time says more about the neighbours.
    for (auto _ : state) {
        const double before = childCpuSeconds();
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(unrtf, {QStringLiteral("--html"), file.fileName()});
        process.waitForFinished(-1);
        state.SetIterationTime(childCpuSeconds() - before);
    }
    state.SetBytesProcessed(state.iterations() * document(state.range(0)).size());
}

} // namespace

// Argument: the document's Kind (0 typical, 1 dense, 2 short paragraphs).
BENCHMARK(BM_Tokenizer)->Unit(benchmark::kMillisecond)->DenseRange(0, 2);
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond)->Iterations(3)->DenseRange(0, 2);
BENCHMARK(BM_QtInsert)->Unit(benchmark::kMillisecond)->Iterations(3)->DenseRange(0, 2);
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->Iterations(3)->DenseRange(0, 2);
BENCHMARK(BM_Unrtf)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime()
    ->DenseRange(0, 2);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // fonts for the documents
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
