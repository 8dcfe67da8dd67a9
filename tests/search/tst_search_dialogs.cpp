// The search window's dialogs (filter "Super Search", record view, lookup
// "Lookup"), its rich-text box bound to Description and the editor window
// "RichEdit Editor", each driven from the window's buttons and menus.

#include "search_fixture.h"

#include "search/db_rich_edit.h"
#include "search/navigator_dialogs.h"
#include "search/rich_edit_editor.h"
#include "search/rich_text_actions.h"
#include "search/search_grid_model.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QToolButton>

using namespace bw;
using namespace bw::test;
using bw::search::RecordFilter;
using State = bw::dataset::ClientDataSet::State;

class tst_SearchDialogs : public QObject
{
    Q_OBJECT

private:
    SearchFixture f;

    QList<int> shownIds()
    {
        auto &table = f.window->wwClientDataSet();
        QList<int> ids;
        for (int row = 1; row <= table.recordCount(); ++row)
            ids << table.fieldValueAt(row, "ID").toInt();
        return ids;
    }

    void check(QListWidget *list, const QString &field)
    {
        list->findItems(field, Qt::MatchExactly).first()->setCheckState(Qt::Checked);
    }

private slots:
    void init()
    {
        f.create();
        f.window->show();
        f.open(f.sampleFile());
    }
    void cleanup()
    {
        f.prompts.verifyAllAnswersUsed();
        QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
        f.window.reset();
    }

    void filter_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("range");
        QTest::addColumn<QString>("value"); // or "from;to"
        QTest::addColumn<int>("match");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("nonMatching");
        QTest::addColumn<QList<int>>("ids");
        const int exact = 0, beginning = 1, anywhere = 2;
        QTest::newRow("exact, any case")
            << "Name" << false << "DELTA" << exact << false << false << QList<int>{3};
        QTest::newRow("exact, case")
            << "Name" << false << "DELTA" << exact << true << false << QList<int>{};
        QTest::newRow("beginning")
            << "Name" << false << "ch" << beginning << false << false << QList<int>{2};
        QTest::newRow("anywhere in description")
            << "Description" << false << "colour" << anywhere << false << false << QList<int>{0, 1};
        QTest::newRow("non-matching")
            << "Description" << false << "colour" << anywhere << false << true << QList<int>{2, 3};
        QTest::newRow("ID range") << "ID" << true << "1;2" << 0 << false << false
                                  << QList<int>{1, 2};
        QTest::newRow("open-ended range")
            << "ID" << true << "2;" << 0 << false << false << QList<int>{2, 3};
        QTest::newRow("name range")
            << "Name" << true << "b;c" << 0 << false << false << QList<int>{1};
    }

    void filter()
    {
        QFETCH(QString, field);
        QFETCH(bool, range);
        QFETCH(QString, value);
        QFETCH(int, match);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, nonMatching);
        QFETCH(QList<int>, ids);
        f.prompts.answerDialog([&](QDialog *d) {
            auto *dialog = qobject_cast<search::FilterDialog *>(d);
            [&] { QCOMPARE(d->windowTitle(), QStringLiteral("Super Search")); }();
            check(dialog->fieldList(), field);
            if (range) {
                dialog->rangeButton()->setChecked(true);
                dialog->rangeFrom()->setText(value.section(';', 0, 0));
                dialog->rangeTo()->setText(value.section(';', 1, 1));
            } else {
                dialog->valueEdit()->setText(value);
                dialog->matchButton(RecordFilter::Match(match))->setChecked(true);
            }
            dialog->caseBox()->setChecked(caseSensitive);
            dialog->nonMatchingBox()->setChecked(nonMatching);
            return int(QDialog::Accepted);
        });
        f.click("wwDBNavigator1FilterDialog");
        auto &table = f.window->wwClientDataSet();
        QList<int> shown;
        for (int row = 0; row < table.recordCount(); ++row)
            shown << table.fieldValueAt(row + 1, "ID").toInt();
        QCOMPARE(shown, ids);
        QCOMPARE(f.window->gridModel()->rowCount(), ids.size());
        QCOMPARE(f.window->statusPanelText(0),
                 QStringLiteral("Current/All: %1/%2").arg(ids.isEmpty() ? 0 : 1).arg(ids.size()));
        // The dialog shows the filter again, and Clear removes it.
        f.prompts.answerDialog([&](QDialog *d) {
            auto *dialog = qobject_cast<search::FilterDialog *>(d);
            [&] {
                QCOMPARE(
                    dialog->fieldList()->findItems(field, Qt::MatchExactly).first()->checkState(),
                    Qt::Checked);
            }();
            dialog->done(search::FilterDialog::Cleared);
            return d->result();
        });
        f.click("wwDBNavigator1FilterDialog");
        QCOMPARE(table.recordCount(), 4);
    }

    // The filter compares a description by the words it shows, not by its
    // RTF: control words, font names and a format change inside a word do
    // not count; \'hh is the character it stands for.
    void descriptionFilterComparesTheText_data()
    {
        QTest::addColumn<QString>("value"); // or "from;to" for a range
        QTest::addColumn<int>("match");     // -1 for a range
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("nonMatching");
        QTest::addColumn<QList<int>>("ids");
        const int exact = 0, beginning = 1, anywhere = 2, range = -1;
        QTest::newRow("a word split by a format change")
            << "needle" << anywhere << false << false << QList<int>{1};
        QTest::newRow("control word par") << "par" << anywhere << false << false << QList<int>{};
        QTest::newRow("control word ansi") << "ansi" << anywhere << false << false << QList<int>{};
        QTest::newRow("font name") << "Verdana" << anywhere << false << false << QList<int>{};
        QTest::newRow("escaped character, any case")
            << "CAFÉ" << anywhere << false << false << QList<int>{2};
        QTest::newRow("escaped character, case")
            << "CAFÉ" << anywhere << true << false << QList<int>{};
        QTest::newRow("exact text") << "plain words" << exact << false << false << QList<int>{3};
        QTest::newRow("beginning, RTF or not")
            << "plain" << beginning << false << false << QList<int>{3, 4};
        QTest::newRow("non-matching")
            << "needle" << anywhere << false << true << QList<int>{2, 3, 4, 5};
        QTest::newRow("range of texts") << "a;b" << range << false << false << QList<int>{1};
    }

    void descriptionFilterComparesTheText()
    {
        QFETCH(QString, value);
        QFETCH(int, match);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, nonMatching);
        QFETCH(QList<int>, ids);
        f.open(writeNotesFile(
            f.path("texts.cds"),
            {{1, -1, "one",
              "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil Verdana;}}\\f0\\fs16 a "
              "ne\\b ed\\b0 le here\\par}"},
             {2, -1, "two", "{\\rtf1\\ansi caf\\'e9 au lait\\par}"},
             {3, -1, "three", "{\\rtf1 plain words\\par}"},
             {4, -1, "four", "plain bytes, no RTF"},
             {5, -1, "five", QByteArray()}}));
        f.prompts.answerDialog([&](QDialog *d) {
            auto *dialog = qobject_cast<search::FilterDialog *>(d);
            check(dialog->fieldList(), "Description");
            if (match < 0) {
                dialog->rangeButton()->setChecked(true);
                dialog->rangeFrom()->setText(value.section(';', 0, 0));
                dialog->rangeTo()->setText(value.section(';', 1, 1));
            } else {
                dialog->valueEdit()->setText(value);
                dialog->matchButton(RecordFilter::Match(match))->setChecked(true);
            }
            dialog->caseBox()->setChecked(caseSensitive);
            dialog->nonMatchingBox()->setChecked(nonMatching);
            return int(QDialog::Accepted);
        });
        f.click("wwDBNavigator1FilterDialog");
        QCOMPARE(shownIds(), ids);
    }

    // Sorted by Name, a filter set and cleared gives back the order; a
    // description changed (and changed back) is compared
    // as it reads now, not as the last filter read it.
    void filterFollowsOrderAndChanges()
    {
        f.open(writeNotesFile(f.path("order.cds"), {{1, -1, "pear", "{\\rtf1 ripe\\par}"},
                                                    {2, -1, "apple", "{\\rtf1 green\\par}"},
                                                    {3, -1, "Fig", "{\\rtf1 ripe\\par}"},
                                                    {4, -1, "apple", "{\\rtf1 red\\par}"},
                                                    {5, -1, "kiwi", "{\\rtf1 brown\\par}"}}));
        f.window->wwDBGridTitleButtonClick("Name");
        f.window->wwDBGridTitleButtonClick("Name"); // descending
        auto &table = f.window->wwClientDataSet();
        const QList<int> order = shownIds();
        QCOMPARE(order, (QList<int>{1, 5, 2, 4, 3}));
        RecordFilter ripe;
        ripe.fields = {"Description"};
        ripe.value = "ripe";
        f.window->applyFilter(ripe);
        QCOMPARE(shownIds(), (QList<int>{1, 3}));
        f.window->applyFilter({});
        QCOMPARE(shownIds(), order);
        QVERIFY(table.locate("ID", 5));
        table.edit();
        table.setBytes("Description", "{\\rtf1 ri\\i pe\\i0\\par}");
        table.post();
        f.window->applyFilter(ripe);
        QCOMPARE(shownIds(), (QList<int>{1, 5, 3}));
        f.click("wwDBNavBtnCancelAll");
        f.window->applyFilter(ripe);
        QCOMPARE(shownIds(), (QList<int>{1, 3}));
    }

    void recordViewWritesChangedFields()
    {
        auto &table = f.window->wwClientDataSet();
        table.last(); // ID 3
        f.prompts.answerDialog([](QDialog *d) {
            auto *dialog = qobject_cast<search::RecordViewDialog *>(d);
            [&] {
                QCOMPARE(dialog->lineEdit("Name")->text(), QStringLiteral("delta"));
                QCOMPARE(dialog->memoEdit("Description")->toPlainText(),
                         QStringLiteral("{\\rtf1 plain words\\par}"));
            }();
            dialog->lineEdit("Name")->setText("Echo");
            dialog->lineEdit("Parent")->setText("7");
            return dialog->apply() ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        f.click("wwDBNavigator1RecordViewDialog");
        QCOMPARE(table.state(), State::Browse);
        QCOMPARE(table.asString("Name"), QStringLiteral("Echo"));
        QCOMPARE(table.asInteger("Parent"), 7);
        QCOMPARE(table.changeCount(), 1);
    }

    // A value the table refuses is reported; nothing changes.
    void recordViewRefusesBadValues()
    {
        auto &table = f.window->wwClientDataSet();
        f.prompts.answerDialog([](QDialog *d) {
            auto *dialog = qobject_cast<search::RecordViewDialog *>(d);
            dialog->lineEdit("ID")->setText("twelve");
            const bool first = dialog->apply();
            dialog->lineEdit("ID")->setText("");
            const bool second = dialog->apply();
            return first || second ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        f.prompts.answerMessage(PromptService::Ok);
        f.prompts.answerMessage(PromptService::Ok);
        f.click("wwDBNavigator1RecordViewDialog");
        QCOMPARE(f.prompts.messages(), (QStringList{"'twelve' is not a valid integer value",
                                                    "Field 'ID' must have a value"}));
        QCOMPARE(table.state(), State::Browse);
        QCOMPARE(table.changeCount(), 0);
        QCOMPARE(f.currentId(), 0);
    }

    // Lookup finds while typing in the chosen order; OK keeps the record
    // found, Cancel goes back, and the window's order returns in both.
    void lookupFindsWhileTyping()
    {
        auto &table = f.window->wwClientDataSet();
        f.prompts.answerDialog([&](QDialog *d) {
            auto *dialog = qobject_cast<search::LookupDialog *>(d);
            [&] { QCOMPARE(d->windowTitle(), QStringLiteral("Lookup")); }();
            dialog->indexBox()->setCurrentIndex(dialog->indexBox()->findData("idxNameAsc"));
            [&] { QCOMPARE(table.indexName(), QStringLiteral("idxNameAsc")); }();
            QTest::keyClicks(dialog->valueEdit(), "c");
            [&] { QCOMPARE(table.asString("Name"), QStringLiteral("charlie")); }();
            QTest::keyClicks(dialog->valueEdit(), "x");
            [&] { QCOMPARE(table.asString("Name"), QStringLiteral("charlie")); }();
            dialog->accept();
            return d->result();
        });
        f.click("wwDBNavigator1SearchDialog");
        QCOMPARE(table.indexName(), QStringLiteral("idxIDParentAsc"));
        QCOMPARE(f.currentId(), 2);
        f.prompts.answerDialog([&](QDialog *d) {
            auto *dialog = qobject_cast<search::LookupDialog *>(d);
            QTest::keyClicks(dialog->valueEdit(), "3");
            [&] { QCOMPARE(f.currentId(), 3); }();
            dialog->reject();
            return d->result();
        });
        f.click("wwDBNavigator1SearchDialog");
        QCOMPARE(f.currentId(), 2);
    }

    // Typing into the box puts the record into edit state; posting stores
    // the document in Description as rich text.
    void richTextBoxEditsDescription()
    {
        auto &table = f.window->wwClientDataSet();
        search::BoundRichEdit *box = f.window->wwDBRichEdit();
        QCOMPARE(box->toPlainText(), QStringLiteral("colour blue"));
        QVERIFY(!box->isReadOnly());
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, " sky");
        QCOMPARE(table.state(), State::Edit);
        f.click("wwDBNavigator1Post");
        QVERIFY(table.asString("Description").startsWith("{\\rtf"));
        QVERIFY(table.asString("Description").contains("colour blue sky"));
        QCOMPARE(table.changeCount(), 1);
        // Moving on shows the next record's text; Cancel drops typing.
        f.click("wwDBNavigator1Next");
        QCOMPARE(box->toPlainText(), QStringLiteral("the Colour red"));
        QTest::keyClicks(box, "zz");
        f.click("wwDBNavigator1Cancel");
        QCOMPARE(box->toPlainText(), QStringLiteral("the Colour red"));
        QCOMPARE(table.changeCount(), 1);
    }

    void popupMenuOffersTheCommands()
    {
        QMenu *menu = f.window->wwDBRichEdit()->popupMenu();
        QStringList texts;
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                texts << a->text().remove('&');
        QCOMPARE(texts, (QStringList{"Edit...", "Cut", "Copy", "Paste", "Bold", "Italic",
                                     "Underline", "Font...", "Bullets", "Paragraph...", "Tabs...",
                                     "Find...", "Replace...", "Insert Object..."}));
        // Bold from the menu changes the text: the record goes into edit state.
        search::BoundRichEdit *box = f.window->wwDBRichEdit();
        box->selectAll();
        box->commands()->action("Bold")->trigger();
        QCOMPARE(f.window->wwClientDataSet().state(), State::Edit);
        QVERIFY(box->selectionCharFormat().bold);
    }

    // The popup's commands as the menu shows them: name -> enabled.
    QMap<QString, bool> popupCommandsEnabled()
    {
        search::BoundRichEdit *box = f.window->wwDBRichEdit();
        QMenu *menu = box->popupMenu();
        menu->popup(box->mapToGlobal(QPoint(4, 4)));
        QMap<QString, bool> enabled;
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                enabled.insert(a->text().remove('&'), a->isEnabled());
        menu->hide();
        return enabled;
    }

    void noRecordToChange_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("no table open") << "closed";
        QTest::newRow("new, empty table") << "new";
        QTest::newRow("every record deleted") << "deleted";
    }

    // Given a box with no record behind it (no table, or an empty one), when
    // the user types or opens its popup, then nothing that would be thrown
    // away is offered; after Insert the same commands and typing work.
    void noRecordToChange()
    {
        QFETCH(QString, how);
        if (how == "closed") {
            f.create();
            f.window->show();
        } else if (how == "new") {
            f.window->btnNew()->click();
        } else {
            for (int i = 0; i < 4; ++i) {
                f.prompts.answerMessage(PromptService::Ok);
                f.click("wwDBNavigator1Delete");
            }
        }
        auto &table = f.window->wwClientDataSet();
        QVERIFY(table.isEmpty());
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        search::BoundRichEdit *box = f.window->wwDBRichEdit();
        box->setFocus();
        QTest::keyClicks(box, "lost");
        QCOMPARE(box->toPlainText(), QString());
        QVERIFY(box->isReadOnly());
        const QMap<QString, bool> enabled = popupCommandsEnabled();
        for (const char *name :
             {"Edit...", "Cut", "Paste", "Bold", "Italic", "Underline", "Font...", "Bullets",
              "Paragraph...", "Tabs...", "Replace...", "Insert Object..."})
            QVERIFY2(!enabled.value(QLatin1String(name), true), name);
        // Nor do the dialogs open when asked some other way (no answer is scripted).
        search::RichTextActions *commands = box->commands();
        f.prompts.clear();
        commands->font();
        commands->paragraph();
        commands->tabs();
        QCOMPARE(f.prompts.asked.size(), 0);
        if (how == "closed")
            return;
        f.click("wwDBNavigator1Insert");
        QVERIFY(!box->isReadOnly());
        const QMap<QString, bool> now = popupCommandsEnabled();
        for (const char *name :
             {"Edit...", "Paste", "Bold", "Font...", "Paragraph...", "Tabs...", "Insert Object..."})
            QVERIFY2(now.value(QLatin1String(name)), name);
        QTest::keyClicks(box, "kept");
        table.setFieldValue("ID", 9);
        table.setFieldValue("Parent", 9);
        table.setFieldValue("Name", "new");
        f.click("wwDBNavigator1Post");
        QVERIFY(table.asString("Description").contains("kept"));
    }

    // The editor window edits a copy: Exit keeps the box as it was, "Save
    // and Exit" brings the text back into the record.
    void editorWindowSavesBackOnSaveAndExit()
    {
        auto &table = f.window->wwClientDataSet();
        QAction *edit = f.window->wwDBRichEdit()->popupMenu()->actions().first();
        f.prompts.answerDialog([](QDialog *d) {
            auto *editor = qobject_cast<search::RichTextEditorDialog *>(d);
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("RichEdit Editor"));
                QCOMPARE(editor->editor()->toPlainText(), QStringLiteral("colour blue"));
            }();
            editor->editor()->selectAll();
            QTest::keyClicks(editor->editor(), "lost");
            QTest::keyClick(d, Qt::Key_Escape);
            return d->result();
        });
        edit->trigger();
        QCOMPARE(table.state(), State::Browse);
        QCOMPARE(f.window->wwDBRichEdit()->toPlainText(), QStringLiteral("colour blue"));
        f.prompts.answerDialog([](QDialog *d) {
            auto *editor = qobject_cast<search::RichTextEditorDialog *>(d);
            editor->editor()->selectAll();
            QTest::keyClicks(editor->editor(), "kept");
            [&] {
                const QMarginsF margins =
                    editor->printer()->pageLayout().margins(QPageLayout::Millimeter);
                QCOMPARE(qRound(margins.left()), 10);
                QCOMPARE(qRound(margins.bottom()), 10);
            }();
            editor->findChild<QAction *>("miSaveExit")->trigger();
            return d->result();
        });
        edit->trigger();
        QCOMPARE(table.state(), State::Edit);
        QCOMPARE(f.window->wwDBRichEdit()->toPlainText(), QStringLiteral("kept"));
        f.click("wwDBNavigator1Post");
        QVERIFY(table.asString("Description").contains("kept"));
    }
};

QTEST_MAIN(tst_SearchDialogs)
#include "tst_search_dialogs.moc"
