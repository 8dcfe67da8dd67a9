// libFuzzer harness of the RTF library: every input is read into a fresh
// document and pasted into the middle of a small one (undone and redone);
// what was read is written, read back and written again, and the two writes
// must be equal; a part of it is written as a selection and read back.

#include "rtf/rtf.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

using namespace bw::rtf;

namespace {

[[noreturn]] void fault(const char *what, const QByteArray &first, const QByteArray &second)
{
    // Written whole: the RTF may hold NUL bytes (kept foreign objects).
    std::fprintf(stderr, "%s\n--- first (%lld bytes)\n", what,
                 static_cast<long long>(first.size()));
    std::fwrite(first.constData(), 1, std::size_t(first.size()), stderr);
    std::fprintf(stderr, "\n--- second (%lld bytes)\n", static_cast<long long>(second.size()));
    std::fwrite(second.constData(), 1, std::size_t(second.size()), stderr);
    std::fputc('\n', stderr);
    std::abort();
}

void checkRoundTrip(const QTextDocument &document)
{
    const QByteArray first = writeRtf(&document);
    QTextDocument again;
    readRtf(first, &again);
    const QByteArray second = writeRtf(&again);
    if (second != first)
        fault("RTF round trip differs: write -> read -> write gave other bytes", first, second);
}

// A selection of the document, at places taken from the input's size, is
// written and read back as a copy and paste does.
void checkRange(const QTextDocument &document, std::size_t seed)
{
    const int characters = document.characterCount();
    const int from = int(seed % std::size_t(characters));
    const int to = int((seed * 7 + 3) % std::size_t(characters));
    QTextDocument copy;
    readRtf(writeRtf(&document, from, to), &copy);
}

void readWhole(const QByteArray &rtf)
{
    QTextDocument document;
    try {
        readRtf(rtf, &document);
    } catch (const RtfError &) {
        return;
    }
    checkRoundTrip(document);
    checkRange(document, std::size_t(rtf.size()));
}

// The paste is one undo step: undo gives the text before, redo the paste.
void pasteInMiddle(const QByteArray &rtf)
{
    const QString before = QStringLiteral("first line\nsecond line");
    QTextDocument document;
    document.setUndoRedoEnabled(true);
    document.setPlainText(before);
    QTextCursor cursor(&document);
    cursor.setPosition(4);
    try {
        insertRtf(rtf, cursor);
    } catch (const RtfError &) {
        return;
    }
    const QByteArray pasted = writeRtf(&document);
    document.undo();
    if (document.toPlainText() != before)
        fault("Undo of a paste left other text", before.toUtf8(), document.toPlainText().toUtf8());
    document.redo();
    if (writeRtf(&document) != pasted)
        fault("Redo of a paste gave another document", pasted, writeRtf(&document));
    checkRoundTrip(document);
}

} // namespace

// Fontconfig keeps its caches until exit; they are not ours to free.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

// Text documents need a GUI application (fonts, images); one for the run.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    static int argc = 1;
    static char name[] = "rtf_reader_fuzzer";
    static char *argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    readWhole(rtf);
    pasteInMiddle(rtf);
    return 0;
}
