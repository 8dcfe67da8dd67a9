// The document window's controls as the user meets them: the Tab stops, the
// status bar's item count, and the program's cursors over links, splitters
// and ruler markers.

#include "document/document_window_splitter.h"
#include "document/item_commands.h"
#include "document/ruler.h"
#include "document/ruler_marker.h"
#include "document/status_bar.h"
#include "program_cursor.h"
#include "tree/folder_tree_link.h"
#include "tree/folder_tree_model.h"
#include "tree/folder_tree_view.h"
#include "window_test_fixture.h"

#include <QComboBox>
#include <QFontComboBox>
#include <QMouseEvent>
#include <QTest>

using namespace bw;
using namespace bw::notes;

class tst_DocumentWindowControls : public QObject, private test::DocumentWindowFixture
{
    Q_OBJECT

private slots:
    void tabStopsAreVisibleControls();
    void itemCountShowsWhole_data();
    void itemCountShowsWhole();
    void programCursors();
    void treeDragCursors();
};

namespace {

// The named control a focused widget belongs to (a combo box's line edit
// belongs to its box).
QString controlName(QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        if (qobject_cast<QComboBox *>(w) || qobject_cast<FolderTreeView *>(w) ||
            w->objectName() == QLatin1String("Editor"))
            return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                             : w->objectName();
        if (w->isWindow())
            break;
    }
    return QStringLiteral("<%1 %2>").arg(
        QString::fromLatin1(w ? w->metaObject()->className() : "none"),
        w ? w->objectName() : QString());
}

} // namespace

// Given the tree focused, when Tab is pressed, then the focus goes through
// the two font boxes to the editor and nowhere else.
void tst_DocumentWindowControls::tabStopsAreVisibleControls()
{
    DocumentWindow *window = open();
    QWidget *tree = window->treePane()->focusProxy();
    QVERIFY(tree);
    tree->setFocus();
    QStringList stops{controlName(QApplication::focusWidget())};
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops << controlName(QApplication::focusWidget());
    }
    QCOMPARE(stops.mid(1), (QStringList{"btnFormatFontName", "btnFormatFontSize", "Editor"}));
}

void tst_DocumentWindowControls::itemCountShowsWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("picture");
    QTest::newRow("short") << "Items: 1" << true;
    QTest::newRow("six digits") << "Items: 100000" << true;
    QTest::newRow("nine digits") << "Items: 123456789" << true;
    QTest::newRow("no picture") << "Items: 100000" << false;
}

// The panel's text fits between its picture and its right edge, and a short
// text keeps the panel at its own width.
void tst_DocumentWindowControls::itemCountShowsWhole()
{
    QFETCH(QString, text);
    QFETCH(bool, picture);
    StatusBar bar;
    bar.resize(600, bar.sizeHint().height());
    QPixmap image(14, 14);
    image.fill(Qt::green);
    bar.setPanel(0, text, picture ? image : QPixmap());
    bar.setPanel(1, QStringLiteral("State: Browse"), image);
    const int textLeft = bar.panelRect(0).left() + 1 + (picture ? 20 : 0);
    const int textRight = textLeft + bar.fontMetrics().horizontalAdvance(text);
    QVERIFY2(textRight < bar.panelRect(0).right(), qPrintable(QString::number(textRight)));
    QVERIFY(bar.panelRect(0).width() >= StatusBar::kPanelWidths[0]);
    QVERIFY(bar.panelRect(1).left() > bar.panelRect(0).right());
    if (text == QLatin1String("Items: 1"))
        QCOMPARE(bar.panelRect(0).width(), StatusBar::kPanelWidths[0]);
}

void tst_DocumentWindowControls::programCursors()
{
    DocumentWindow *window = open();
    // The splitter between tree and editor.
    QVERIFY(test::showsProgramCursor(window->splitter()->handle(1), kCrHSplit));
    // The ruler's markers.
    const QList<RulerMarker *> markers = window->ruler()->findChildren<RulerMarker *>();
    QVERIFY(!markers.isEmpty());
    for (const RulerMarker *marker : markers)
        QVERIFY2(test::showsProgramCursor(marker, kCrSizeWE), qPrintable(marker->objectName()));
    // A link in the editor shows the hand; plain text the text cursor.
    setText(window, QStringLiteral("see http://example.org/page here"));
    RichEdit *editor = window->editor();
    editor->setAutoUrlDetect(true);
    const QTextCursor at = [&] {
        QTextCursor c(editor->document());
        c.setPosition(10);
        return c;
    }();
    const QPoint overLink = editor->cursorRect(at).center();
    const auto moveTo = [editor](const QPoint &pos) {
        QMouseEvent move(QEvent::MouseMove, pos, editor->viewport()->mapToGlobal(pos), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &move);
    };
    moveTo(overLink);
    QVERIFY(test::showsProgramCursor(editor->viewport(), kCrHandPoint));
    moveTo(QPoint(editor->viewport()->width() - 5, editor->viewport()->height() - 5));
    QCOMPARE(editor->viewport()->cursor().shape(), Qt::IBeamCursor);
}

// Dragging a node shows the drag cursor and over empty space the no-drop
// cursor, both from the program's table.
void tst_DocumentWindowControls::treeDragCursors()
{
    DocumentWindow *window = open();
    ItemCommands *items = window->itemCommands();
    FolderTreeView *tree = items->dbTreeView();
    items->aclRecordExecute(ItemCommands::Insert);
    tree->endRenaming(true);
    QCOMPARE(items->link().model().nodeCount(), 2);
    tree->setFocus();
    const QModelIndex first = tree->model()->index(0, 0);
    const QModelIndex second = tree->model()->index(1, 0);
    tree->setCurrentIndex(first);
    QWidget *viewport = tree->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, tree->visualRect(first).center());
    QMouseEvent overSecond(QEvent::MouseMove, tree->visualRect(second).center(),
                           viewport->mapToGlobal(tree->visualRect(second).center()), Qt::NoButton,
                           Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &overSecond);
    QVERIFY(tree->isDragging());
    QVERIFY(test::showsProgramCursor(viewport, kCrDrag));
    const QPoint empty(5, viewport->height() - 3);
    QMouseEvent overEmpty(QEvent::MouseMove, empty, viewport->mapToGlobal(empty), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &overEmpty);
    QVERIFY(test::showsProgramCursor(viewport, kCrNoDrop));
    QTest::keyClick(tree, Qt::Key_Escape);
    QVERIFY(!tree->isDragging());
}

QTEST_MAIN(tst_DocumentWindowControls)
#include "tst_document_window_controls.moc"
