#pragma once
// Another program changing a binary notes file while a table or a window of
// ours has it open.

#include <QFile>
#include <QString>
#include <QTest>
#include <cstdio>
#include <functional>
#include <sqlite3.h>

namespace bw::test {

// Runs SQL on the file as any SQLite program would.
inline void execSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(rc, SQLITE_OK);
}

// "delete" (the odd IDs) and "update" (every name and description) change the
// file in place; "replace" renames the file `writeOther` writes over it;
// "remove" deletes it.
inline void changeByAnotherProgram(const QString &path, const QString &change,
                                   const std::function<void(const QString &)> &writeOther)
{
    if (change == QLatin1String("delete")) {
        execSql(path, "DELETE FROM records WHERE \"ID\" % 2 = 1");
    } else if (change == QLatin1String("update")) {
        execSql(path, "UPDATE records SET \"Name\" = 'theirs ' || \"ID\","
                      " \"Description\" = CAST('theirs' AS BLOB)");
    } else if (change == QLatin1String("replace")) {
        writeOther(path + QStringLiteral(".new"));
        QVERIFY(std::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(),
                            QFile::encodeName(path).constData()) == 0);
    } else {
        QVERIFY(QFile::remove(path));
    }
}

} // namespace bw::test
