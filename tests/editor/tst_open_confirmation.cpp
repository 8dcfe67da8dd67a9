// Which links and objects open at once and which ask first, judged as the
// desktop's opener would judge them.

#include "editor/open_confirmation.h"

#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QtTest>

using namespace bw;

class tst_OpenConfirmation : public QObject
{
    Q_OBJECT
private slots:
    void links_data();
    void links();
    void embeddedObjects_data();
    void embeddedObjects();
    void linkedObjects();
};

void tst_OpenConfirmation::links_data()
{
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("question"); // empty: opens at once

    const auto asks = [](const QString &shown) { return kOpenLinkQuestion.arg(shown); };
    QTest::newRow("web") << QUrl("http://www.example.org") << QString();
    QTest::newRow("secure web, upper case") << QUrl("HTTPS://example.org/a?b=c") << QString();
    QTest::newRow("mail") << QUrl("mailto:someone@example.org") << QString();
    QTest::newRow("shell") << QUrl("file:///bin/sh") << asks("/bin/sh");
    QTest::newRow("launcher") << QUrl("file:///tmp/x.desktop") << asks("/tmp/x.desktop");
    QTest::newRow("script, non-ASCII")
        << QUrl::fromLocalFile("/home/ü/run.sh") << asks(QString::fromUtf8("/home/ü/run.sh"));
    QTest::newRow("telnet") << QUrl("telnet://example.org") << asks("telnet://example.org");
    QTest::newRow("ftp") << QUrl("ftp://example.org/f") << asks("ftp://example.org/f");
    QTest::newRow("unknown scheme") << QUrl("notes://server/db") << asks("notes://server/db");
    QTest::newRow("no scheme") << QUrl("relative/run.sh") << asks("relative/run.sh");
}

void tst_OpenConfirmation::links()
{
    QFETCH(QUrl, url);
    QFETCH(QString, question);
    QCOMPARE(!opensWithoutQuestion(url), !question.isEmpty());
    if (!question.isEmpty())
        QCOMPARE(openQuestion(url), question);
}

void tst_OpenConfirmation::embeddedObjects_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("claimedType"); // as the document states it
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("askedType"); // empty: opens at once

    QTest::newRow("text") << "notes.txt"
                          << "text/plain" << QByteArray("hello") << QString();
    QTest::newRow("new text document") << "New Text Document.txt"
                                       << "text/plain" << QByteArray() << QString();
    QTest::newRow("picture") << "pic.png"
                             << "image/png" << QByteArray("\x89PNG\r\n\x1a\n") << QString();
    QTest::newRow("pdf") << "doc.pdf"
                         << "application/pdf" << QByteArray("%PDF-1.4") << QString();
    QTest::newRow("launcher") << "x.desktop"
                              << "application/x-desktop" << QByteArray("[Desktop Entry]\nExec=sh\n")
                              << "application/x-desktop";
    QTest::newRow("script") << "evil.sh"
                            << "application/x-shellscript" << QByteArray("#!/bin/sh\nrm -rf ~\n")
                            << "application/x-shellscript";
    QTest::newRow("script claiming text")
        << "evil.sh"
        << "text/plain" << QByteArray("#!/bin/sh\n") << "application/x-shellscript";
    QTest::newRow("program without extension") << "evil"
                                               << "text/plain"
                                               << QByteArray("\x7f"
                                                             "ELF\x02\x01\x01",
                                                             7)
                                               << "application/x-executable";
    QTest::newRow("web page") << "page.html"
                              << "text/html" << QByteArray("<script>") << "text/html";
}

void tst_OpenConfirmation::embeddedObjects()
{
    QFETCH(QString, name);
    QFETCH(QString, claimedType);
    QFETCH(QByteArray, data);
    QFETCH(QString, askedType);
    const EmbeddedObject object{name, claimedType, data, {}};
    QCOMPARE(!opensWithoutQuestion(object), !askedType.isEmpty());
    if (askedType.isEmpty())
        return;
    const QMimeType type = QMimeDatabase().mimeTypeForName(askedType);
    QVERIFY(type.isValid());
    QCOMPARE(openQuestion(object), kOpenObjectQuestion.arg(name, type.comment()));
}

// A linked file is judged by the file itself: a text file made executable
// asks, the same file without the bit does not.
void tst_OpenConfirmation::linkedObjects()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("readme.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("plain words");
    file.close();
    const EmbeddedObject object{"readme.txt", "text/plain", {}, path};
    QVERIFY(opensWithoutQuestion(object));
    QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
    QVERIFY(!opensWithoutQuestion(object));
    QVERIFY(openQuestion(object).startsWith(QStringLiteral("Open the object \"%1\" (").arg(path)));
    QVERIFY(!opensWithoutQuestion(EmbeddedObject{"bin", "", {}, dir.path()}));
}

QTEST_MAIN(tst_OpenConfirmation)
#include "tst_open_confirmation.moc"
