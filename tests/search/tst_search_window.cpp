// The search window: opening, sorting, status bar, Find and Find Next,
// change tracking with Save and Undo, New and Save with ".cds", and the
// close query (an opened file with changes is asked about too).

#include "program_cursor.h"
#include "search_fixture.h"

#include "search/db_navigator.h"
#include "search/locate_dialog.h"
#include "search/search_grid_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>

using namespace bw;
using namespace bw::test;
using bw::search::RecordNavigator;
using bw::search::SearchWindow;
using State = bw::dataset::ClientDataSet::State;

class tst_SearchWindow : public QObject
{
    Q_OBJECT

private:
    SearchFixture f;

    QString gridCell(int row, int column)
    {
        auto *model = f.window->gridModel();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }
    void clickTitle(int section)
    {
        emit f.window->wwDBGrid()->horizontalHeader()->sectionClicked(section);
    }

    // Types text into a grid cell through the view's own editor and presses Enter.
    void typeIntoCell(const QModelIndex &index, const QString &text)
    {
        QTableView *grid = f.window->wwDBGrid();
        grid->setCurrentIndex(index);
        grid->edit(index);
        auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(index));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid->indexWidget(index)); // the delegate commits through a queued call
    }

private slots:
    void init()
    {
        f.create();
        f.window->show();
    }
    void cleanup()
    {
        f.prompts.verifyAllAnswersUsed();
        QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
        f.window.reset();
    }

    void showsEmptyAndClosedAtFirst()
    {
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Search"));
        // The splitter between the grid and the editor shows the program's cursor.
        auto *splitter = f.window->findChild<QSplitter *>(QStringLiteral("Splitter1"));
        QVERIFY(splitter && test::showsProgramCursor(splitter->handle(1), kCrVSplit));
        QCOMPARE(f.window->statusPanelText(0), QStringLiteral("Current/All: ..."));
        QCOMPARE(f.window->statusPanelText(1), QStringLiteral("State: Inactive"));
        QCOMPARE(f.window->statusPanelImage(1), 1);
        for (const char *name :
             {"wwDBNavBtnFind", "wwDBNavBtnFindNext", "wwDBNavBtnSave", "wwDBNavBtnCancel",
              "wwDBNavBtnCancelAll", "wwDBNavigator1Next", "wwDBNavigator1Insert"})
            QVERIFY2(!f.button(name)->isEnabled(), name);
    }

    // Every navigator button carries its hint; the moving ones repeat while held.
    void navigatorButtonsHaveHintsAndRepeat()
    {
        const auto &defs = RecordNavigator::buttonDefs();
        QCOMPARE(defs.size(), 23);
        QToolButton *insert = f.button("wwDBNavigator1Insert");
        QCOMPARE(insert->toolTip(), QStringLiteral("Insert"));
        QCOMPARE(insert->statusTip(), QStringLiteral("Inserts new record"));
        QCOMPARE(insert->property("hint").toString(), QStringLiteral("Insert|Inserts new record"));
        QToolButton *first = f.button("wwDBNavigator1First");
        QCOMPARE(first->property("hint").toString(), QStringLiteral("Move to first record"));
        QVERIFY(first->autoRepeat());
        QCOMPARE(first->autoRepeatDelay(), 500);
        QCOMPARE(first->autoRepeatInterval(), 100);
        QCOMPARE(f.button("wwDBNavBtnCancelAll")->toolTip(), QStringLiteral("Undo All Change"));
        QVERIFY(!f.button("wwDBNavigator1FilterDialog")->autoRepeat());
    }

    void holdingAButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("questions"); // "Delete record?", each answered OK
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("inserts");
        QTest::addColumn<int>("state"); // the table's state after the button goes up
        QTest::addColumn<bool>("repeated");
        QTest::newRow("Delete") << "wwDBNavigator1Delete" << 1 << 24 << 0 << int(State::Browse)
                                << false;
        QTest::newRow("Insert") << "wwDBNavigator1Insert" << 0 << 25 << 1 << int(State::Insert)
                                << false;
        QTest::newRow("Next") << "wwDBNavigator1Next" << 0 << 25 << 0 << int(State::Browse) << true;
    }

    // Given a button held down past the repeat delay, a button that asks or
    // inserts acts once; a moving button repeats.
    void holdingAButton()
    {
        QFETCH(QString, button);
        QFETCH(int, questions);
        QList<NoteRow> rows;
        for (int i = 0; i < 25; ++i)
            rows.append({i, -1, QStringLiteral("n%1").arg(i), {}});
        f.open(writeNotesFile(f.path("held.cds"), rows));
        for (int i = 0; i < questions; ++i)
            f.prompts.answerMessage(PromptService::Ok);
        auto &table = f.window->wwClientDataSet();
        QSignalSpy inserts(&table, &dataset::ClientDataSet::afterInsert);
        QToolButton *held = f.window->navButton(button);
        QVERIFY(held && held->isEnabled());
        QTest::mousePress(held, Qt::LeftButton);
        QTest::qWait(RecordNavigator::kRepeatDelay + 4 * RecordNavigator::kRepeatInterval);
        QTest::mouseRelease(held, Qt::LeftButton);
        QCOMPARE(f.prompts.count("message"), questions);
        QTEST(table.recordCount(), "records");
        QTEST(int(inserts.count()), "inserts");
        QTEST(int(table.state()), "state");
        QTEST(f.currentId() > 1, "repeated");
        if (table.state() == State::Insert)
            f.click("wwDBNavigator1Cancel");
    }

    void openShowsIdOrderMarkerAndStatus()
    {
        const QString file = f.sampleFile();
        f.open(file);
        QCOMPARE(f.prompts.count("open"), 1);
        QCOMPARE(f.prompts.asked[0].file.filter, search::kCdsFilter);
        QCOMPARE(f.prompts.asked[0].file.filterIndex, 1);
        QVERIFY(f.prompts.asked[0].file.fileName.isEmpty());
        QCOMPARE(f.window->edFileName()->text(), file);
        QCOMPARE(f.window->wwClientDataSet().indexName(), QStringLiteral("idxIDParentAsc"));
        QCOMPARE(gridCell(0, 0), QStringLiteral("0"));
        QCOMPARE(gridCell(3, 2), QStringLiteral("delta"));
        QCOMPARE(f.window->wwDBGridCalcTitleImage("ID"), 0);
        QCOMPARE(f.window->wwDBGridCalcTitleImage("Name"), -1);
        QCOMPARE(f.window->statusPanelText(0), QStringLiteral("Current/All: 1/4"));
        QCOMPARE(f.window->statusPanelText(1), QStringLiteral("State: Browsing"));
        QVERIFY(!f.window->isNewFile());
        QVERIFY(!f.window->isModified());
        QVERIFY(f.button("wwDBNavBtnFind")->isEnabled());
        QVERIFY(!f.button("wwDBNavBtnSave")->isEnabled());
        // The grid's columns: 10, 10 and 45 characters.
        const int ch = f.window->wwDBGrid()->fontMetrics().averageCharWidth();
        QVERIFY(f.window->wwDBGrid()->columnWidth(2) >= 45 * ch);
        QVERIFY(f.window->wwDBGrid()->columnWidth(0) < 12 * ch + 8);
    }

    // A file that cannot be read is reported; the table stays closed and
    // the file name box names nothing.
    void unreadableFileIsReportedAndLeavesTableClosed()
    {
        QFile bad(f.path("bad.cds"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a notes file");
        bad.close();
        f.open(bad.fileName());
        QCOMPARE(f.errors.size(), 1);
        f.errors.clear();
        QVERIFY(!f.window->wwClientDataSet().isActive());
        QVERIFY(f.window->edFileName()->text().isEmpty());
        QVERIFY(!f.button("wwDBNavBtnFind")->isEnabled());
    }

    void titleClicks_data()
    {
        QTest::addColumn<QList<int>>("sections");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<int>("image");
        QTest::addColumn<QString>("firstName");
        QTest::newRow("Name once") << QList<int>{2} << "idxNameAsc"
                                   << "Name" << 0 << "alpha";
        QTest::newRow("Name twice") << QList<int>{2, 2} << "idxNameDesc"
                                    << "Name" << 1 << "delta";
        QTest::newRow("Name three times") << QList<int>{2, 2, 2} << "idxNameAsc"
                                          << "Name" << 0 << "alpha";
        QTest::newRow("ID after open") << QList<int>{0} << "idxIDParentDesc"
                                       << "ID" << 1 << "delta";
        QTest::newRow("Name then Parent") << QList<int>{2, 2, 1} << "idxParentIDAsc"
                                          << "Parent" << 0 << "alpha";
    }

    void titleClicks()
    {
        QFETCH(QList<int>, sections);
        QFETCH(QString, index);
        QFETCH(QString, marked);
        QFETCH(int, image);
        QFETCH(QString, firstName);
        f.open(f.sampleFile());
        for (int section : sections)
            clickTitle(section);
        QCOMPARE(f.window->wwClientDataSet().indexName(), index);
        QCOMPARE(f.window->sortField(), marked);
        for (const QString field : {"ID", "Parent", "Name"})
            QCOMPARE(f.window->wwDBGridCalcTitleImage(field), field == marked ? image : -1);
        QCOMPARE(gridCell(0, 2), firstName);
        const QVariant decoration = f.window->gridModel()->headerData(
            f.window->gridModel()->columnOf(marked), Qt::Horizontal, Qt::DecorationRole);
        Q_UNUSED(decoration); // no images in this fixture; the index above decides
    }

    // Find with the defaults looks anywhere in the stored description without
    // regard to case; Find Next goes on, and says when there is no more.
    void findAndFindNext()
    {
        f.open(f.sampleFile());
        f.prompts.answerDialog([](QDialog *d) {
            auto *form = qobject_cast<search::LocateDialogForm *>(d);
            [&] {
                QCOMPARE(d->windowTitle(), QStringLiteral("Locate Field Value"));
                QCOMPARE(form->fieldBox()->currentText(), QStringLiteral("Description"));
                QCOMPARE(form->fieldBox()->itemText(0), QStringLiteral("Description"));
                QVERIFY(form->matchButton(search::LocateDialog::Match::Anywhere)->isChecked());
                QVERIFY(!form->caseBox()->isChecked());
                QVERIFY(form->nextButton()->isDefault());
            }();
            form->valueEdit()->setText("colour");
            form->firstButton()->click();
            return d->result();
        });
        f.click("wwDBNavBtnFind");
        QCOMPARE(f.currentId(), 0); // "colour blue"
        f.click("wwDBNavBtnFindNext");
        QCOMPARE(f.currentId(), 1); // "the Colour red"
        f.prompts.answerMessage(PromptService::Ok);
        f.click("wwDBNavBtnFindNext");
        QCOMPARE(f.currentId(), 1);
        QCOMPARE(f.prompts.messages(), QStringList{search::kNoMoreMatchesFound});
    }

    // No match leaves the dialog open with "No matches found".
    void findWithoutMatchKeepsDialogOpen()
    {
        f.open(f.sampleFile());
        f.prompts.answerDialog([](QDialog *d) {
            auto *form = qobject_cast<search::LocateDialogForm *>(d);
            form->valueEdit()->setText("nowhere");
            form->firstButton()->click();
            const int afterFirst = d->result();
            form->nextButton()->click();
            [&] { QCOMPARE(afterFirst, int(QDialog::Rejected)); }();
            return QDialog::Rejected;
        });
        f.prompts.answerMessage(PromptService::Ok);
        f.prompts.answerMessage(PromptService::Ok);
        f.click("wwDBNavBtnFindNext"); // no value yet: the dialog opens
        QCOMPARE(f.prompts.messages(),
                 (QStringList{search::kNoMatchesFound, search::kNoMoreMatchesFound}));
        QCOMPARE(f.currentId(), 0);
        QCOMPARE(f.window->wwLocateDialog().FieldValue, QStringLiteral("nowhere"));
    }

    // Editing a name in the grid and posting enables Save and both Undo
    // buttons; Undo All Changes brings back the loaded data.
    void editPostAndUndoAll()
    {
        f.open(f.sampleFile());
        auto *model = f.window->gridModel();
        QVERIFY(model->setData(model->index(1, 2), "Bravissimo", Qt::EditRole));
        QCOMPARE(f.window->wwClientDataSet().state(), State::Edit);
        QCOMPARE(f.window->statusPanelText(1), QStringLiteral("State: Editing"));
        QCOMPARE(model->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(),
                 QStringLiteral("I"));
        f.click("wwDBNavigator1Post");
        QVERIFY(f.window->isModified());
        for (const char *name : {"wwDBNavBtnSave", "wwDBNavBtnCancel", "wwDBNavBtnCancelAll"})
            QVERIFY2(f.button(name)->isEnabled(), name);
        QCOMPARE(gridCell(1, 2), QStringLiteral("Bravissimo"));
        f.click("wwDBNavBtnCancelAll");
        QCOMPARE(gridCell(1, 2), QStringLiteral("bravo"));
        QVERIFY(!f.window->isModified());
        for (const char *name : {"wwDBNavBtnSave", "wwDBNavBtnCancel", "wwDBNavBtnCancelAll"})
            QVERIFY2(!f.button(name)->isEnabled(), name);
    }

    void badIntegerInGridIsRefusedAndGridStaysEditable_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("ID") << 0 << "'4x' is not a valid integer value for field 'ID'";
        QTest::newRow("Parent") << 1 << "'4x' is not a valid integer value for field 'Parent'";
    }

    // Given an inserted record, when "4x" is typed into an integer cell, the
    // value is refused with its message and a later edit of another cell lands.
    void badIntegerInGridIsRefusedAndGridStaysEditable()
    {
        QFETCH(int, column);
        QFETCH(QString, refusal);
        f.open(f.sampleFile());
        f.click("wwDBNavigator1Insert");
        auto *model = f.window->gridModel();
        const int row = model->currentRow();
        f.prompts.answerMessage(PromptService::Ok);
        typeIntoCell(model->index(row, column), "4x");
        QCOMPARE(f.prompts.messages(), QStringList{refusal});
        QCOMPARE(f.prompts.asked.last().icon, PromptService::Icon::Error);
        auto &table = f.window->wwClientDataSet();
        QCOMPARE(table.state(), State::Insert);
        QVERIFY(table.fieldValue(model->fieldAt(column)).isNull());

        typeIntoCell(model->index(row, 2), "Zulu");
        QCOMPARE(table.fieldValue("Name").toString(), QStringLiteral("Zulu"));
        typeIntoCell(model->index(row, column), "42");
        QCOMPARE(table.fieldValue(model->fieldAt(column)).toInt(), 42);
        QCOMPARE(f.prompts.messages().size(), 1);
    }

    void undoLastChangeRevertsNewestAndFollowsIt()
    {
        f.open(f.sampleFile());
        auto *model = f.window->gridModel();
        model->setData(model->index(0, 2), "first", Qt::EditRole);
        f.click("wwDBNavigator1Post");
        model->setData(model->index(2, 2), "third", Qt::EditRole);
        f.click("wwDBNavigator1First"); // leaving the record posts it
        QCOMPARE(f.window->wwClientDataSet().changeCount(), 2);
        f.click("wwDBNavBtnCancel");
        QCOMPARE(f.currentId(), 2);
        QCOMPARE(gridCell(2, 2), QStringLiteral("charlie"));
        QCOMPARE(gridCell(0, 2), QStringLiteral("first"));
        QVERIFY(f.button("wwDBNavBtnCancel")->isEnabled());
    }

    void saveWritesTheOpenedFile()
    {
        const QString file = f.sampleFile();
        f.open(file);
        auto *model = f.window->gridModel();
        model->setData(model->index(3, 2), "Echo", Qt::EditRole);
        f.click("wwDBNavigator1Post");
        f.click("wwDBNavBtnSave");
        QCOMPARE(f.prompts.count("save"), 0);
        QCOMPARE(namesIn(file).value(3), QStringLiteral("Echo"));
        QVERIFY(!f.window->isModified());
        QVERIFY(!f.button("wwDBNavBtnSave")->isEnabled());
    }

    void newTableSaveAppendsCds_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("written");
        QTest::newRow("first filter") << "notes" << 1 << "notes.cds";
        QTest::newRow("second filter") << "notes" << 2 << "notes";
        QTest::newRow("own extension") << "notes.bin" << 1 << "notes.bin";
    }

    void newTableSaveAppendsCds()
    {
        QFETCH(QString, typed);
        QFETCH(int, filterIndex);
        QFETCH(QString, written);
        f.window->btnNew()->click();
        QVERIFY(f.window->isNewFile());
        QCOMPARE(f.window->statusPanelText(0), QStringLiteral("Current/All: 0/0"));
        f.click("wwDBNavigator1Insert");
        QCOMPARE(f.window->gridModel()->rowCount(), 1);
        auto &table = f.window->wwClientDataSet();
        table.setFieldValue("ID", 7);
        table.setFieldValue("Parent", -1);
        table.setFieldValue("Name", "Seven");
        f.click("wwDBNavigator1Post");
        f.prompts.answerFile(f.path(typed), filterIndex);
        f.click("wwDBNavBtnSave");
        const Asked &asked = f.prompts.asked.last();
        QCOMPARE(asked.kind, QStringLiteral("save"));
        QCOMPARE(asked.file.fileName, QStringLiteral("NoName"));
        QCOMPARE(asked.file.defaultExt, QStringLiteral("cds"));
        QCOMPARE(asked.file.filter, search::kCdsFilter);
        QVERIFY(QFileInfo::exists(f.path(written)));
        QCOMPARE(namesIn(f.path(written)).value(7), QStringLiteral("Seven"));
        QVERIFY(!f.window->isNewFile());
        // A second Save writes the same file without asking.
        table.edit();
        table.setFieldValue("Name", "Seventy");
        f.click("wwDBNavigator1Post");
        f.click("wwDBNavBtnSave");
        QCOMPARE(f.prompts.count("save"), 1);
        QCOMPARE(namesIn(f.path(written)).value(7), QStringLiteral("Seventy"));
    }

    void failedSaveKeepsChanges_data()
    {
        QTest::addColumn<bool>("newTable");
        QTest::newRow("opened file") << false;
        QTest::newRow("new table") << true;
    }

    // Given unsaved changes, when Save cannot write the file (a folder stands
    // where it goes), then Save and both Undo buttons stay on and closing asks.
    void failedSaveKeepsChanges()
    {
        QFETCH(bool, newTable);
        auto &table = f.window->wwClientDataSet();
        const QString target = f.path(newTable ? "blocked-new.cds" : "blocked-opened.cds");
        if (newTable) {
            f.window->btnNew()->click();
            f.click("wwDBNavigator1Insert");
            table.setFieldValue("ID", 1);
            table.setFieldValue("Parent", 1);
            table.setFieldValue("Name", "One");
            f.prompts.answerFile(target);
        } else {
            f.open(writeNotesFile(target, {{0, -1, "zero", {}}}));
            QVERIFY(QFile::remove(target));
            f.click("wwDBNavigator1Edit");
            table.setFieldValue("Name", "Changed");
        }
        f.click("wwDBNavigator1Post");
        QVERIFY(QDir().mkdir(target));
        f.click("wwDBNavBtnSave");
        QCOMPARE(f.errors.size(), 1);
        f.errors.clear();
        QVERIFY(table.changeCount() > 0);
        for (const char *name : {"wwDBNavBtnSave", "wwDBNavBtnCancel", "wwDBNavBtnCancelAll"})
            QVERIFY2(f.button(name)->isEnabled(), name);
        f.prompts.answerMessage(PromptService::No);
        QVERIFY(f.window->close());
        const QString name = newTable ? QStringLiteral("New File") : target;
        QCOMPARE(f.prompts.messages(), QStringList{bw::kSaveChangesQuestion.arg(name)});
    }

    void unsavedChangesAskedBeforeOpenOrNew_data()
    {
        QTest::addColumn<bool>("openOther"); // else New
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goesOn"); // the other file or the new table replaces the first
        QTest::addColumn<QString>("savedName"); // Name of ID 3 in the first file afterwards
        QTest::newRow("Open, Yes") << true << int(PromptService::Yes) << true << "Changed";
        QTest::newRow("Open, No") << true << int(PromptService::No) << true << "delta";
        QTest::newRow("Open, Cancel") << true << int(PromptService::Cancel) << false << "delta";
        QTest::newRow("New, Yes") << false << int(PromptService::Yes) << true << "Changed";
        QTest::newRow("New, No") << false << int(PromptService::No) << true << "delta";
        QTest::newRow("New, Cancel") << false << int(PromptService::Cancel) << false << "delta";
    }

    // Given an opened file with a pending change, when another file is opened
    // or a new table started, then the change is asked about as closing does.
    void unsavedChangesAskedBeforeOpenOrNew()
    {
        QFETCH(bool, openOther);
        QFETCH(int, answer);
        QFETCH(bool, goesOn);
        QFETCH(QString, savedName);
        const QString file = f.sampleFile();
        const QString other = writeNotesFile(f.path("other.cds"), {{9, -1, "other", {}}});
        f.open(file);
        auto &table = f.window->wwClientDataSet();
        table.last();
        f.click("wwDBNavigator1Edit");
        table.setFieldValue("Name", "Changed"); // still in edit state: it is posted first
        f.prompts.answerMessage(answer);
        if (openOther)
            f.open(other);
        else
            f.window->btnNew()->click();
        QCOMPARE(f.prompts.messages(), QStringList{bw::kSaveChangesQuestion.arg(file)});
        QCOMPARE(f.prompts.asked.last().buttons,
                 PromptService::Yes | PromptService::No | PromptService::Cancel);
        if (!goesOn) {
            QCOMPARE(f.window->fileName(), file);
            QCOMPARE(table.asString("Name"), QStringLiteral("Changed"));
            QVERIFY(f.button("wwDBNavBtnSave")->isEnabled());
        } else if (openOther) {
            QCOMPARE(f.window->fileName(), other);
            QCOMPARE(table.recordCount(), 1);
        } else {
            QVERIFY(f.window->isNewFile());
            QCOMPARE(table.recordCount(), 0);
        }
        QCOMPARE(namesIn(file).value(3), savedName);
        if (!goesOn) {
            f.prompts.answerMessage(PromptService::No); // the close at the end of the test
            QVERIFY(f.window->close());
        }
    }

    void closeQuery_data()
    {
        QTest::addColumn<bool>("newTable");
        QTest::addColumn<bool>("change");
        QTest::addColumn<int>("answer"); // 0: no question expected
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("tableOpen");
        QTest::addColumn<QString>("savedName"); // Name of ID 3 in the file afterwards
        QTest::newRow("new, No") << true << true << int(PromptService::No) << true << false << "";
        QTest::newRow("new, Cancel")
            << true << true << int(PromptService::Cancel) << false << true << "";
        QTest::newRow("new, untouched") << true << false << 0 << true << false << "";
        QTest::newRow("opened, untouched") << false << false << 0 << true << false << "delta";
        QTest::newRow("opened, No")
            << false << true << int(PromptService::No) << true << false << "delta";
        QTest::newRow("opened, Yes")
            << false << true << int(PromptService::Yes) << true << true << "Changed";
        QTest::newRow("opened, Cancel")
            << false << true << int(PromptService::Cancel) << false << true << "delta";
    }

    // Closing asks about unsaved changes, for a new table ("New File") and,
    // mended, for an opened file (its path) too.
    void closeQuery()
    {
        QFETCH(bool, newTable);
        QFETCH(bool, change);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, tableOpen);
        QFETCH(QString, savedName);
        const QString file = f.sampleFile();
        auto &table = f.window->wwClientDataSet();
        if (newTable) {
            f.window->btnNew()->click();
            if (change) {
                f.click("wwDBNavigator1Insert");
                table.setFieldValue("ID", 3);
                table.setFieldValue("Parent", 3);
                table.setFieldValue("Name", "Changed"); // still in insert state: close posts it
            }
        } else {
            f.open(file);
            if (change) {
                table.last();
                f.click("wwDBNavigator1Edit");
                table.setFieldValue("Name", "Changed");
            }
        }
        if (answer)
            f.prompts.answerMessage(answer);
        QCOMPARE(f.window->close(), closes);
        QCOMPARE(f.window->isVisible(), !closes);
        QCOMPARE(table.isActive(), tableOpen);
        if (answer) {
            QCOMPARE(f.prompts.messages().size(), 1);
            const QString name = newTable ? QStringLiteral("New File") : file;
            QCOMPARE(f.prompts.messages().first(), bw::kSaveChangesQuestion.arg(name));
            QCOMPARE(f.prompts.asked.last().buttons,
                     PromptService::Yes | PromptService::No | PromptService::Cancel);
        } else {
            QCOMPARE(f.prompts.count("message"), 0);
        }
        if (!savedName.isEmpty())
            QCOMPARE(namesIn(file).value(3), savedName);
        // A closed window has nothing left to ask about when the program ends.
        if (closes)
            QVERIFY(f.window->mayDiscardChanges());
    }

    // Showing again starts with an empty name box and clear flags; a table
    // kept open by a save on closing stays open.
    void showingAgainClearsTheFlags()
    {
        f.window->btnNew()->click();
        f.click("wwDBNavigator1Insert");
        auto &table = f.window->wwClientDataSet();
        table.setFieldValue("ID", 1);
        table.setFieldValue("Parent", 1);
        table.setFieldValue("Name", "One");
        f.prompts.answerMessage(PromptService::Yes);
        f.prompts.answerFile(f.path("kept"));
        QVERIFY(f.window->close());
        QVERIFY(table.isActive());
        f.window->show();
        QVERIFY(f.window->edFileName()->text().isEmpty());
        QVERIFY(!f.window->isNewFile());
        QVERIFY(!f.window->isModified());
        QCOMPARE(f.window->statusPanelText(0), QStringLiteral("Current/All: 1/1"));
        QVERIFY(QFileInfo::exists(f.path("kept.cds")));
    }

    // Mended: a new table whose save dialog is cancelled after Yes keeps the
    // window open with its changes.
    void cancelledSaveOnCloseKeepsWindow()
    {
        f.window->btnNew()->click();
        f.click("wwDBNavigator1Insert");
        auto &table = f.window->wwClientDataSet();
        table.setFieldValue("ID", 1);
        table.setFieldValue("Parent", 1);
        table.setFieldValue("Name", "One");
        f.prompts.answerMessage(PromptService::Yes);
        f.prompts.cancelFile();
        QVERIFY(!f.window->close());
        QVERIFY(f.window->isVisible());
        QCOMPARE(table.recordCount(), 1);
        QVERIFY(f.window->isNewFile());
        QCOMPARE(f.prompts.messages().size(), 1);
        // Then No drops it.
        f.prompts.answerMessage(PromptService::No);
        QVERIFY(f.window->close());
    }

    // A record that cannot be posted keeps the window open and says why.
    void unpostableRecordKeepsWindowOpen()
    {
        f.window->btnNew()->click();
        f.click("wwDBNavigator1Insert");
        f.window->wwClientDataSet().setFieldValue("Name", "no key");
        f.prompts.answerMessage(PromptService::Ok);
        QVERIFY(!f.window->close());
        QCOMPARE(f.prompts.messages(), QStringList{"Field 'ID' must have a value"});
        QCOMPARE(f.window->wwClientDataSet().state(), State::Insert);
        f.click("wwDBNavigator1Cancel");
        // The insert and its cancel changed the table's state: a new table asks.
        f.prompts.answerMessage(PromptService::No);
        QVERIFY(f.window->close());
    }

    void navigatorMovesAndBookmarks()
    {
        QList<NoteRow> rows;
        for (int i = 0; i < 25; ++i)
            rows.append({i, -1, QStringLiteral("n%1").arg(i), {}});
        f.open(writeNotesFile(f.path("many.cds"), rows));
        QVERIFY(!f.button("wwDBNavigator1Prior")->isEnabled());
        f.click("wwDBNavigator1NextPage");
        QCOMPARE(f.currentId(), 10);
        f.click("wwDBNavigator1Next");
        QCOMPARE(f.currentId(), 11);
        f.click("wwDBNavigator1SaveBookmark");
        f.click("wwDBNavigator1Last");
        QCOMPARE(f.currentId(), 24);
        QVERIFY(!f.button("wwDBNavigator1Next")->isEnabled());
        QCOMPARE(f.window->statusPanelText(0), QStringLiteral("Current/All: 25/25"));
        QCOMPARE(f.window->wwDBGrid()->currentIndex().row(), 24);
        f.click("wwDBNavigator1PriorPage");
        QCOMPARE(f.currentId(), 14);
        f.click("wwDBNavigator1RestoreBookmark");
        QCOMPARE(f.currentId(), 11);
        f.click("wwDBNavigator1First");
        QCOMPARE(f.currentId(), 0);
        // Moving in the grid moves the table.
        QTableView *grid = f.window->wwDBGrid();
        grid->setCurrentIndex(grid->model()->index(5, 2));
        QCOMPARE(f.currentId(), 5);
        f.prompts.answerMessage(PromptService::Ok);
        f.click("wwDBNavigator1Delete");
        QCOMPARE(f.prompts.messages(), QStringList{"Delete record?"});
        QCOMPARE(f.window->wwClientDataSet().recordCount(), 24);
        QVERIFY(f.button("wwDBNavBtnSave")->isEnabled());
    }
};

QTEST_MAIN(tst_SearchWindow)
#include "tst_search_window.moc"
