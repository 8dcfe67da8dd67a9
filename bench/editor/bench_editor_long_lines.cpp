// RichEdit on a description of 1, 4 or 20 MB in one paragraph: one line
// without a space (a pasted log, a minified file, base64) or ordinary words.
// Each case loads it into a shown control and lets it lay out and paint with
// the caret's line asked for ("show"), types one character at its end with
// the same ("type"), and writes the RTF back ("save"). Prints the median CPU
// seconds of each step over the runs; run by hand, with
// QT_QPA_PLATFORM=offscreen:
//
//   bench_editor_long_lines [-r RUNS] [MB...]    (default 3 runs of 1 4 20)

#include "editor/rich_edit.h"
#include "long_paragraph.h"
#include "process_figures.h"

#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

// Lets the control do what it does when idle, paints it and asks for the
// caret's line, as the status bar does.
void settle(bw::RichEdit &edit)
{
    QApplication::processEvents();
    QApplication::processEvents();
    (void)edit.viewport()->grab();
    (void)edit.lineFromChar(-1);
}

struct Figures
{
    double show = 0;
    double type = 0;
    double save = 0;
};

Figures runOnce(const QByteArray &description)
{
    bw::RichEdit edit;
    edit.resize(1000, 700);
    edit.show();
    settle(edit);
    Figures figures;
    figures.show = cpuSeconds([&] {
        QByteArray bytes = description;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        edit.loadFromStream(&buffer, bw::StreamFormat::Rtf);
        settle(edit);
    });
    figures.type = cpuSeconds([&] {
        edit.setFocus();
        edit.setSelection(edit.textLength(), -1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&edit, &press);
        settle(edit);
    });
    figures.save = cpuSeconds([&] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        edit.saveToStream(&buffer, bw::StreamFormat::Rtf);
    });
    return figures;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void runCase(Kind kind, int megabytes, int runs)
{
    const QByteArray description = makeDescription(kind, megabytes);
    std::vector<double> show, type, save;
    for (int i = 0; i < runs; ++i) {
        const Figures figures = runOnce(description);
        show.push_back(figures.show);
        type.push_back(figures.type);
        save.push_back(figures.save);
    }
    std::printf("%2d MB %-9s show %7.2f s   type %7.2f s   save %7.2f s\n", megabytes,
                kind == Kind::OneLine ? "one line" : "words", median(show), median(type),
                median(save));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int runs = 3;
    QList<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "-r" && i + 1 < argc)
            runs = std::max(1, QByteArray(argv[++i]).toInt());
        else
            sizes << QByteArray(argv[i]).toInt();
    }
    if (sizes.isEmpty())
        sizes = {1, 4, 20};
    for (int megabytes : sizes)
        for (Kind kind : {Kind::OneLine, Kind::Words})
            runCase(kind, megabytes, runs);
    return 0;
}
