#pragma once
// The document window's status bar: four panels (90, 110, 40 and 130 pixels
// wide, wider where a text needs it, the last one reaching to the right edge)
// whose picture and text the window sets; the bar draws them.

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>

namespace bw::notes {

class StatusBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kPanelCount = 4;
    static constexpr std::array<int, kPanelCount> kPanelWidths{90, 110, 40, 130};

    explicit StatusBar(QWidget *parent = nullptr);

    // A panel shows its picture at its top-left corner and its text 20 pixels
    // further right (or at its left edge when there is no picture).
    void setPanel(int index, const QString &text, const QPixmap &picture = QPixmap());
    void clearPanels();
    QString panelText(int index) const;
    bool panelHasPicture(int index) const;
    QRect panelRect(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Panel
    {
        QString text;
        QPixmap picture;
    };
    void drawPanel(QPainter &painter, int index) const;
    int panelWidth(int index) const;

    std::array<Panel, kPanelCount> m_panels;
};

} // namespace bw::notes
