#pragma once
// OpenDocuments, the registry of the frame's open document windows: the
// sub-windows of its MDI area in the order they were last active, the one
// that is active, a window by its file name, and the numbers of the
// untitled windows ("NoName1", "NoName2"…).

#include <QList>
#include <QString>
#include <bitset>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace bw {

class OpenDocuments
{
public:
    static constexpr int kMaxUntitled = 255;

    // The frame's area of sub-windows; none until the frame made it.
    void setArea(QMdiArea *area) { m_area = area; }

    // While any document window exists one of them is the active one, also
    // while the frame itself is not the active window.
    QWidget *active() const;
    // Least recently active first.
    QList<QWidget *> windows() const;
    // The window of a file: a file is open once, under whichever name it is
    // asked for; a path in other letter case is another file.
    QWidget *find(const QString &caption) const;
    QMdiSubWindow *subWindowOf(const QWidget *window) const;
    // Shows the window (restored when minimised) as the active one.
    void bringToFront(QWidget *window);

    // The lowest free number of an untitled window, now taken; 1 again when
    // all are taken.
    int takeUntitledNumber();
    void releaseUntitledNumber(int number);
    bool untitledNumberTaken(int number) const;
    int untitledNumbersTaken() const { return int(m_untitled.count()); }

private:
    QMdiArea *m_area = nullptr;
    std::bitset<kMaxUntitled + 1> m_untitled;
};

} // namespace bw
