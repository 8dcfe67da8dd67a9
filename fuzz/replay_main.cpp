// Replays a harness's inputs without libFuzzer, as an ordinary test: every
// file named, or found in a folder named, on the command line is given to the
// harness once (hidden files are skipped). A fault aborts, so the test fails;
// otherwise it prints how many inputs it ran. No input at all fails too.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString name = QFile::decodeName(argv[i]);
        if (!QFileInfo::exists(name))
            continue; // a harness without findings yet
        if (!QFileInfo(name).isDir()) {
            files.append(name);
            continue;
        }
        const QDir folder(name);
        for (const QString &entry : folder.entryList(QDir::Files, QDir::Name))
            files.append(folder.filePath(entry));
    }
    int count = 0;
    for (const QString &name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        std::fprintf(stderr, "%s\n", qPrintable(name));
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                               size_t(bytes.size()));
        ++count;
    }
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
