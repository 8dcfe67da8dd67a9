#pragma once
// Font dialog with colour, underline, strike-out and an Apply button, which
// Qt's own font dialog lacks.

#include <QColor>
#include <QDialog>
#include <QFont>

class QCheckBox;
class QFontComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace bw {

class FontDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FontDialog(QWidget *parent = nullptr);

    void setChoice(const QFont &font, const QColor &color);
    QFont chosenFont() const;
    QColor chosenColor() const { return m_color; }

signals:
    void applied();

private:
    void updateSample();
    void pickColor();

    QFontComboBox *m_family;
    QSpinBox *m_size;
    QCheckBox *m_bold;
    QCheckBox *m_italic;
    QCheckBox *m_underline;
    QCheckBox *m_strikeOut;
    QPushButton *m_colorButton;
    QLabel *m_sample;
    QColor m_color;
};

} // namespace bw
