// rtf_resave IN OUT: reads IN and writes it as our RTF to OUT.

#include "rtf/rtf.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: rtf_resave IN OUT\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot open the files\n");
        return 1;
    }
    try {
        QTextDocument document;
        bw::rtf::readRtf(in.readAll(), &document);
        out.write(bw::rtf::writeRtf(&document));
    } catch (const bw::rtf::RtfError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
