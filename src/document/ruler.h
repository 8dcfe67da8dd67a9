#pragma once
// The ruler panel above the editor (`Bar_ChildRuler`): 26 pixels high, Arial
// 8 point, a tick at each tab stop of its caption and a line along it. The
// indent markers are child widgets placed by the paragraph code.

#include <QFrame>
#include <QString>

namespace bw::notes {

class Ruler : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kHeight = 26;
    static constexpr int kTickCount = 100;
    static constexpr int kLineLeft = 4;
    static constexpr int kLineTop = 12;

    explicit Ruler(QWidget *parent = nullptr);

    // `buildRulerTicks`: the caption becomes 100 pairs of a tab and "|".
    void buildRulerTicks();
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // Distance between two tab stops of the caption, in pixels.
    qreal tabStopDistance() const;
    // Width of the line: the client width less its left margin on both sides.
    int rulerLineWidth() const { return width() - 2 * kLineLeft; }

signals:
    void contextMenuWanted(const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QString m_caption;
};

} // namespace bw::notes
