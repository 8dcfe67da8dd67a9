#pragma once
// The editing controls of the Options dialog that Qt lacks in the form the
// settings need: each exposes its stored value as a Qt property that the
// settings store restores and saves by the control's name (currentIndex,
// text, fontName, colorValue, activePage).

#include "options/color_button.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QStackedWidget>
#include <QWidget>
#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPainter;
class QToolButton;

namespace bw {

// A group box of radio buttons; itemIndex is -1 when none is checked.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ itemIndex WRITE setItemIndex NOTIFY itemIndexChanged)
public:
    RadioGroup(const QString &caption, const QStringList &items, QWidget *parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    int count() const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup *m_group;
};

// A combo box whose value is its text (a drop-down list selects the matching
// item; an editable one takes any typed text).
class TextComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
public:
    explicit TextComboBox(QWidget *parent = nullptr);

    QString text() const { return currentText(); }
    void setText(const QString &text);

signals:
    void textChanged(const QString &text);
};

// The installed font families. A stored name that is not installed (the
// defaults name Windows fonts) is kept as an item of its own, so it is never
// replaced by a substitute unless the user picks another font.
class FontNameComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString fontName READ fontName WRITE setFontName NOTIFY fontNameChanged)
    // Replaces QComboBox's own, which ignores names that are not in the list.
    Q_PROPERTY(QString currentText READ fontName WRITE setFontName NOTIFY fontNameChanged)
public:
    explicit FontNameComboBox(QWidget *parent = nullptr);

    QString fontName() const { return currentText(); }
    void setFontName(const QString &name);

signals:
    void fontNameChanged(const QString &name);
};

// A drop-down of the named standard colours and the desktop's colours, each
// with its swatch. A stored value that is in neither list gets an item of its own.
class ColorListBox : public QComboBox
{
    Q_OBJECT
    // The raw colour value of the selected item.
    Q_PROPERTY(int colorValue READ colorValue WRITE setColorValue NOTIFY selectedChanged)
public:
    explicit ColorListBox(QWidget *parent = nullptr);

    ColorValue selected() const;
    void setSelected(ColorValue value);
    int colorValue() const { return selected().raw(); }
    void setColorValue(int raw) { setSelected(ColorValue(raw)); }

signals:
    void selectedChanged(int value);

private:
    void addColor(const QString &name, ColorValue value);
};

// Up and down arrows that step the number in a line edit between a minimum
// and a maximum, wrapping around at either end when asked to.
class UpDown : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int position READ position WRITE setPosition NOTIFY positionChanged)
public:
    explicit UpDown(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum) { m_min = minimum, m_max = maximum; }
    void setIncrement(int increment) { m_increment = increment; }
    void setWrap(bool wrap) { m_wrap = wrap; }
    // The edit whose text shows the position; its Up and Down keys and the
    // mouse wheel over it step too.
    void setBuddy(QLineEdit *edit);

    int position() const;
    void setPosition(int position);
    void stepBy(int steps);

signals:
    void positionChanged(int position);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
    QLineEdit *m_buddy = nullptr;
    int m_min = 0;
    int m_max = 100;
    int m_increment = 1;
    int m_position = 0;
    bool m_wrap = false;
};

// The page area: pages without tabs, switched by the category tree.
class PageControl : public QStackedWidget
{
    Q_OBJECT
    Q_PROPERTY(QString activePage READ activePage WRITE setActivePage NOTIFY activePageChanged)
public:
    explicit PageControl(QWidget *parent = nullptr);

    QString activePage() const;
    // Unknown names leave the page as it is.
    void setActivePage(const QString &name);

signals:
    void activePageChanged(const QString &name);
};

// A fixed-size area painted by a handler.
class PaintBox : public QWidget
{
    Q_OBJECT
public:
    explicit PaintBox(QSize size, QWidget *parent = nullptr);
    void setPaintHandler(std::function<void(QPainter &)> handler) { m_paint = std::move(handler); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::function<void(QPainter &)> m_paint;
};

// The page header: a raised caption on a gradient with an image box
// (TPaintBox1) at its right edge.
class HeaderPanel : public QFrame
{
    Q_OBJECT
public:
    explicit HeaderPanel(QWidget *parent = nullptr);

    QString caption() const;
    void setCaption(const QString &caption);
    PaintBox *imageBox() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_caption;
    PaintBox *m_image;
};

} // namespace bw
