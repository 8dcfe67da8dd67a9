// Undo kinds and limit, clipboard, and changes to protected text.

#include "editor_fixture.h"

#include "rtf/text_properties.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

using namespace bw;
using namespace bw::test;

Q_DECLARE_METATYPE(bw::UndoKind)

class tst_RichEditEditing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void undoKindsFollowOperations();
    void typingAfterPasteIsItsOwnStep();
    void undoLimit();
    void undoShortcutUsesTheLimit();
    void selectionType();
    void protectedChange_data();
    void protectedChange();
    void protectedInsertionPoint();
    void changeAndSelectionSignals();
    void readOnlyRefusesUndoAndRedo();
    void repeatLastFormatOnOtherSelection();

private:
    std::unique_ptr<RichEdit> m_edit;
};

void tst_RichEditEditing::init()
{
    m_edit = std::make_unique<RichEdit>();
    QApplication::clipboard()->clear();
}

void tst_RichEditEditing::cleanup()
{
    m_edit.reset();
}

void tst_RichEditEditing::undoKindsFollowOperations()
{
    QCOMPARE(m_edit->undoKind(), UndoKind::None);
    QTest::keyClicks(m_edit.get(), QStringLiteral("two words"));
    QCOMPARE(m_edit->undoKind(), UndoKind::Typing);
    QTest::keyClick(m_edit.get(), Qt::Key_Backspace);
    QCOMPARE(m_edit->undoKind(), UndoKind::Delete);
    m_edit->setSelection(0, 3);
    m_edit->cut();
    QCOMPARE(m_edit->undoKind(), UndoKind::Cut);
    m_edit->setSelection(m_edit->textLength(), -1);
    m_edit->paste();
    QCOMPARE(m_edit->toPlainText(), QStringLiteral(" wordtwo"));
    QCOMPARE(m_edit->undoKind(), UndoKind::Paste);
    m_edit->setSelection(0, 1);
    m_edit->deleteSelection();
    QCOMPARE(m_edit->undoKind(), UndoKind::Delete);
    CharFormat bold;
    bold.mask = CharFormat::Bold;
    bold.bold = true;
    m_edit->setSelection(0, 2);
    m_edit->setSelectionCharFormat(bold);
    QCOMPARE(m_edit->undoKind(), UndoKind::None);
    QVERIFY(m_edit->canUndo());

    const QList<UndoKind> expected{UndoKind::None, UndoKind::Delete, UndoKind::Paste,
                                   UndoKind::Cut,  UndoKind::Delete, UndoKind::Typing};
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(m_edit->undoKind(), expected[i]);
        m_edit->undo();
        QCOMPARE(m_edit->redoKind(), expected[i]);
    }
    QVERIFY(!m_edit->canUndo());
    QCOMPARE(m_edit->undoKind(), UndoKind::None);
    QCOMPARE(m_edit->toPlainText(), QString());
    m_edit->redo();
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("two words"));
    QCOMPARE(m_edit->undoKind(), UndoKind::Typing);
    // A new change drops what could be redone.
    QTest::keyClick(m_edit.get(), Qt::Key_X);
    QVERIFY(!m_edit->canRedo());
    QCOMPARE(m_edit->redoKind(), UndoKind::None);
}

void tst_RichEditEditing::typingAfterPasteIsItsOwnStep()
{
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    m_edit->paste();
    QTest::keyClicks(m_edit.get(), QStringLiteral("typed"));
    QCOMPARE(m_edit->undoKind(), UndoKind::Typing);
    m_edit->undo();
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("pasted"));
    QCOMPARE(m_edit->undoKind(), UndoKind::Paste);
}

void tst_RichEditEditing::undoLimit()
{
    QCOMPARE(m_edit->undoLimit(), 200);
    for (int i = 0; i < 205; ++i) {
        m_edit->setSelection(0, 0);
        m_edit->replaceSelection(QStringLiteral("x"));
    }
    int undone = 0;
    while (m_edit->canUndo()) {
        m_edit->undo();
        ++undone;
    }
    QCOMPARE(undone, 200);
    QCOMPARE(m_edit->textLength(), 5);
    m_edit->undo(); // nothing beyond the limit
    QCOMPARE(m_edit->textLength(), 5);
}

void tst_RichEditEditing::undoShortcutUsesTheLimit()
{
    m_edit->setUndoLimit(1);
    QTest::keyClicks(m_edit.get(), QStringLiteral("ab"));
    QTest::keyClick(m_edit.get(), Qt::Key_Backspace);
    QTest::keyClick(m_edit.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("ab"));
    QTest::keyClick(m_edit.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("ab"));
}

void tst_RichEditEditing::selectionType()
{
    m_edit->setPlainText(QStringLiteral("ab"));
    m_edit->setSelection(1, 1);
    m_edit->insertObject(newObject(QStringLiteral("notes.txt"), QStringLiteral("text/plain")));
    QCOMPARE(m_edit->selectionType(), int(SelectionObject));
    QVERIFY(m_edit->selectedObject());
    m_edit->setSelection(0, 1);
    QCOMPARE(m_edit->selectionType(), int(SelectionText));
    m_edit->setSelection(0, -1);
    QCOMPARE(m_edit->selectionType(), SelectionText | SelectionMultiChar | SelectionObject);
    QVERIFY(!m_edit->selectedObject());
    m_edit->setSelection(1, 1);
    QCOMPARE(m_edit->selectionType(), 0);
}

void tst_RichEditEditing::protectedChange_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("allow");
    for (const char *op : {"type", "backspace", "delete", "enter", "paste", "cut", "clear", "bold",
                           "alignment", "replace", "load selection"}) {
        QTest::addRow("%s refused", op) << QString::fromLatin1(op) << false;
        QTest::addRow("%s allowed", op) << QString::fromLatin1(op) << true;
    }
}

void tst_RichEditEditing::protectedChange()
{
    QFETCH(QString, operation);
    QFETCH(bool, allow);
    appendRuns(*m_edit, {{"free ", QTextCharFormat()},
                         {"LOCKED", propertyFormat(rtf::Protected)},
                         {" free", QTextCharFormat()}});
    QList<std::pair<int, int>> asked;
    m_edit->setProtectedHandler([&](int start, int end) {
        asked.append({start, end});
        return allow;
    });
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    const QString before = m_edit->toPlainText();
    m_edit->setSelection(6, 8); // inside LOCKED
    const QTextCharFormat formatBefore = formatAt(*m_edit, 7);

    if (operation == "type")
        QTest::keyClick(m_edit.get(), Qt::Key_Q);
    else if (operation == "backspace")
        QTest::keyClick(m_edit.get(), Qt::Key_Backspace);
    else if (operation == "delete")
        QTest::keyClick(m_edit.get(), Qt::Key_Delete);
    else if (operation == "enter")
        QTest::keyClick(m_edit.get(), Qt::Key_Return);
    else if (operation == "paste")
        QTest::keyClick(m_edit.get(), Qt::Key_V, Qt::ControlModifier);
    else if (operation == "cut")
        m_edit->cut();
    else if (operation == "clear")
        m_edit->deleteSelection();
    else if (operation == "replace")
        m_edit->replaceSelection(QStringLiteral("new"));
    else if (operation == "bold") {
        CharFormat bold;
        bold.mask = CharFormat::Bold;
        bold.bold = true;
        m_edit->setSelectionCharFormat(bold);
    } else if (operation == "alignment") {
        ParaFormat center;
        center.mask = ParaFormat::Alignment;
        center.alignment = ParaFormat::Center;
        m_edit->setParaFormat(center);
    } else if (operation == "load selection") {
        QByteArray bytes("inserted");
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        m_edit->loadFromStream(&buffer, StreamFormat::PlainText, true);
    }

    QVERIFY(!asked.isEmpty());
    QVERIFY(asked.first().first <= 7 && asked.first().second >= 7);
    const bool changed =
        m_edit->toPlainText() != before || formatAt(*m_edit, 7) != formatBefore ||
        m_edit->document()->firstBlock().blockFormat().alignment() == Qt::AlignHCenter;
    QCOMPARE(changed, allow);
    if (!allow && operation == "cut")
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clip"));
}

void tst_RichEditEditing::protectedInsertionPoint()
{
    appendRuns(*m_edit, {{"free", QTextCharFormat()}, {"LOCK", propertyFormat(rtf::Protected)}});
    int asked = 0;
    m_edit->setProtectedHandler([&](int, int) {
        ++asked;
        return false;
    });
    // Before the protected run the typed text is unprotected: no question.
    m_edit->setSelection(4, 4);
    QTest::keyClick(m_edit.get(), Qt::Key_A);
    QCOMPARE(asked, 0);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("freeaLOCK"));
    // After it the typed text would be protected: refused.
    m_edit->setSelection(9, 9);
    QTest::keyClick(m_edit.get(), Qt::Key_B);
    QCOMPARE(asked, 1);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("freeaLOCK"));
    // Deleting the character before the run does not touch it.
    m_edit->setSelection(5, 5);
    QTest::keyClick(m_edit.get(), Qt::Key_Backspace);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("freeLOCK"));
    QCOMPARE(asked, 1);
    // Without a handler protected text stays as it is.
    m_edit->setProtectedHandler({});
    m_edit->setSelection(0, -1);
    QTest::keyClick(m_edit.get(), Qt::Key_Delete);
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("freeLOCK"));
}

void tst_RichEditEditing::changeAndSelectionSignals()
{
    QSignalSpy changes(m_edit.get(), &RichEdit::change);
    QSignalSpy selections(m_edit.get(), &RichEdit::selectionChange);
    QTest::keyClicks(m_edit.get(), QStringLiteral("abc"));
    QCOMPARE(changes.count(), 3);
    QCOMPARE(selections.count(), 3);
    m_edit->setSelection(0, 1);
    QCOMPARE(selections.count(), 4);
    QCOMPARE(changes.count(), 3);
    m_edit->setSelection(0, 1);
    QCOMPARE(selections.count(), 4); // nothing moved
}

void tst_RichEditEditing::readOnlyRefusesUndoAndRedo()
{
    QTest::keyClicks(m_edit.get(), QStringLiteral("abc"));
    m_edit->setReadOnly(true);
    m_edit->undo();
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("abc"));
    m_edit->setReadOnly(false);
    m_edit->undo();
    QCOMPARE(m_edit->toPlainText(), QString());
    m_edit->setReadOnly(true);
    m_edit->redo();
    QCOMPARE(m_edit->toPlainText(), QString());
}

// The last format change, character or paragraph, is applied again to
// another selection; nothing to repeat before the first one.
void tst_RichEditEditing::repeatLastFormatOnOtherSelection()
{
    m_edit->setPlainText(QStringLiteral("one two\nthree"));
    QVERIFY(!m_edit->canRepeatFormat());
    m_edit->setSelection(0, 3);
    CharFormat italic;
    italic.mask = CharFormat::Italic;
    italic.italic = true;
    m_edit->setSelectionCharFormat(italic);
    m_edit->setSelection(4, 7);
    m_edit->repeatLastFormat();
    QVERIFY(test::formatAt(*m_edit, 5).fontItalic());
    QVERIFY(!test::formatAt(*m_edit, 8).fontItalic());

    ParaFormat centred;
    centred.mask = ParaFormat::Alignment;
    centred.alignment = ParaFormat::Center;
    m_edit->setParaFormat(centred);
    m_edit->setSelection(9, 9);
    m_edit->repeatLastFormat();
    QCOMPARE(m_edit->paraFormat().alignment, int(ParaFormat::Center));
    QVERIFY(!test::formatAt(*m_edit, 10).fontItalic());
}

QTEST_MAIN(tst_RichEditEditing)
#include "tst_rich_edit_editing.moc"
