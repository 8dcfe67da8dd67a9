#pragma once
// A search window with scripted prompts and notes files in a temporary folder.

#include "notes/notes_table.h"
#include "platform/guarded_dispatch.h"
#include "scripted_prompt_service.h"
#include "search/search_window.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace bw::test {

struct NoteRow
{
    int id;
    int parent;
    QString name;
    QByteArray description;
};

// Writes a notes file holding the rows in the given (stored) order.
inline QString writeNotesFile(const QString &path, const QList<NoteRow> &rows)
{
    dataset::ClientDataSet table;
    notes::defineNotesFields(table);
    table.createDataSet();
    for (const NoteRow &row : rows) {
        table.append();
        table.setFieldValue("ID", row.id);
        table.setFieldValue("Parent", row.parent);
        table.setFieldValue("Name", row.name);
        if (!row.description.isNull())
            table.setBytes("Description", row.description);
        table.post();
    }
    table.mergeChangeLog();
    table.saveToFile(path);
    return path;
}

// Reads a notes file: ID -> Name.
inline QMap<int, QString> namesIn(const QString &path)
{
    dataset::ClientDataSet table;
    notes::defineNotesFields(table);
    table.loadFromFile(path);
    QMap<int, QString> names;
    for (table.first(); !table.eof(); table.next())
        names.insert(table.asInteger("ID"), table.asString("Name"));
    return names;
}

class SearchFixture
{
public:
    ScriptedPromptService prompts;
    QTemporaryDir dir;
    QStringList errors; // what reached the program's one exception handler
    std::unique_ptr<ExceptionHandlerScope> handler;
    std::unique_ptr<search::SearchWindow> window;

    void create()
    {
        window.reset();
        prompts.clear();
        errors.clear();
        handler.reset(); // first, so that the new scope does not restore the old
        handler = std::make_unique<ExceptionHandlerScope>(
            [this](std::exception_ptr error) { errors << exceptionText(error); });
        search::SearchWindowContext context;
        context.prompts = &prompts;
        window = std::make_unique<search::SearchWindow>(std::move(context));
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    // The default fixture: IDs stored as 3, 1, 2, 0.
    QString sampleFile()
    {
        return writeNotesFile(path("sample.cds"), {{3, 0, "delta", "{\\rtf1 plain words\\par}"},
                                                   {1, 0, "bravo", "{\\rtf1 the Colour red\\par}"},
                                                   {2, 1, "charlie", "{\\rtf1 no match\\par}"},
                                                   {0, -1, "alpha", "{\\rtf1 colour blue\\par}"}});
    }

    // Opens a file through the Open button, answering the open dialog.
    void open(const QString &file)
    {
        prompts.answerFile(file);
        window->btnBrowse()->click();
    }

    QToolButton *button(const char *name) { return window->navButton(QLatin1String(name)); }
    void click(const char *name)
    {
        QToolButton *b = button(name);
        QVERIFY2(b && b->isEnabled(), name);
        b->click();
    }
    int currentId() { return window->wwClientDataSet().asInteger("ID"); }
};

} // namespace bw::test
