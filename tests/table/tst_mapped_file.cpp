// A file read through the memory map while another program shortens it: the
// pages it lost read as zeros and the view says so, the process goes on.

#include "files/mapped_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using bw::files::MappedFile;

class tst_MappedFile : public QObject
{
    Q_OBJECT

private slots:
    // Given a mapped file of three pages, when another program cuts it to
    // one and the view is read past the cut, then those bytes are zeros,
    // the view is torn, and the first page still reads as written.
    void pagesCutOffReadAsZeros()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("cut.bin");
        const qint64 page = sysconf(_SC_PAGESIZE);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(3 * page, 'x'));
        file.close();
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        const std::shared_ptr<MappedFile> mapped = MappedFile::map(fd);
        ::close(fd);
        QVERIFY(mapped);
        QCOMPARE(mapped->size(), 3 * page);
        const volatile unsigned char *bytes = mapped->data();
        QCOMPARE(bytes[2 * page + 10], 'x');
        QVERIFY(!mapped->torn());

        QVERIFY(::truncate(QFile::encodeName(path).constData(), page) == 0);
        mapped->releasePages(); // the page read before is no longer resident
        QCOMPARE(bytes[2 * page + 10], 0);
        QCOMPARE(bytes[page + 1], 0);
        QVERIFY(mapped->torn());
        QCOMPARE(bytes[page - 1], 'x');
    }

    void emptyOrMissingFileIsNotMapped()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("empty"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(!MappedFile::map(int(file.handle())));
        QVERIFY(!MappedFile::map(-1));
    }
};

QTEST_GUILESS_MAIN(tst_MappedFile)
#include "tst_mapped_file.moc"
