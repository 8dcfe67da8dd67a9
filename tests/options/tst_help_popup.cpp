#include "options/help_popup.h"

#include <QDialog>
#include <QLabel>
#include <QTest>

using bw::HelpPopup;

class tst_HelpPopup : public QObject
{
    Q_OBJECT
private slots:
    void layoutAroundText();
    void closesOnInput_data();
    void closesOnInput();
    void belongsToItsModalOwner();
};

namespace {

QLabel *greyLabel(HelpPopup &popup, int index)
{
    QList<QLabel *> labels = popup.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    labels.removeOne(popup.LabelHelpHintPopup);
    return labels.value(index);
}

} // namespace

void tst_HelpPopup::layoutAroundText()
{
    HelpPopup popup("Bramblewick 2000");
    QCOMPARE(popup.windowTitle(), "Bramblewick 2000");
    QVERIFY(popup.windowFlags() & Qt::FramelessWindowHint);

    const QString text = "Shows or hides the ruler \r\nin document window.";
    popup.setHelpText(text, QColor(255, 255, 225));
    QCOMPARE(popup.helpText(), text);
    QCOMPARE(popup.LabelHelpHintPopup->text(), "Shows or hides the ruler \nin document window.");
    QCOMPARE(popup.hintColor(), QColor(255, 255, 225));

    // Frame: 2 pixels larger, one up and left; shadow: same size, 4 down and right.
    const QRect textRect = popup.LabelHelpHintPopup->geometry();
    QLabel *shadow = greyLabel(popup, 0);
    QLabel *frame = greyLabel(popup, 1);
    QVERIFY(shadow && frame);
    QCOMPARE(frame->geometry(), textRect.adjusted(-1, -1, 1, 1));
    QCOMPARE(shadow->geometry(), textRect.translated(4, 4));
    QVERIFY(popup.rect().contains(frame->geometry()));
    QVERIFY(popup.rect().contains(shadow->geometry()));
    QVERIFY(textRect.height() > popup.LabelHelpHintPopup->fontMetrics().height());

    // A longer text makes the popup grow with it.
    const QSize small = popup.size();
    popup.setHelpText(text + "\r\n\r\nAnd a much longer third line than the others.", Qt::yellow);
    QVERIFY(popup.width() > small.width());
    QVERIFY(popup.height() > small.height());
}

void tst_HelpPopup::closesOnInput_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("key") << "key";
    QTest::newRow("mouse press on text") << "press";
    QTest::newRow("mouse release on text") << "release";
}

void tst_HelpPopup::closesOnInput()
{
    QFETCH(QString, input);
    HelpPopup popup("Bramblewick 2000");
    popup.setHelpText("Help", Qt::yellow);
    popup.showAt(QPoint(10, 20), nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    QCOMPARE(popup.pos(), QPoint(10, 20));

    QWidget *label = popup.LabelHelpHintPopup;
    if (input == "key")
        QTest::keyClick(&popup, Qt::Key_A);
    else if (input == "press")
        QTest::mousePress(label, Qt::LeftButton, {}, label->rect().center());
    else
        QTest::mouseRelease(label, Qt::LeftButton, {}, label->rect().center());
    QVERIFY(!popup.isVisible());
}

void tst_HelpPopup::belongsToItsModalOwner()
{
    // Given a modal dialog, the popup shown for it is its own window, so the
    // dialog's modality does not block the popup's input.
    QDialog owner;
    owner.setWindowModality(Qt::ApplicationModal);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    HelpPopup popup("Bramblewick 2000");
    popup.setHelpText("Help", Qt::yellow);
    popup.showAt(QPoint(0, 0), &owner);
    QCOMPARE(popup.parentWidget(), &owner);
    QVERIFY(popup.isWindow());
    QVERIFY(popup.isVisible());
    popup.release();
    QVERIFY(!popup.parentWidget());
    QVERIFY(!popup.isVisible());
}

QTEST_MAIN(tst_HelpPopup)
#include "tst_help_popup.moc"
