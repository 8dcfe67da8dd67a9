#include "options_dialog_controls.h"

#include "options/system_colors.h"
#include "platform/guarded_dispatch.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace bw {

RadioGroup::RadioGroup(const QString &caption, const QStringList &items, QWidget *parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
        layout->addWidget(button);
    }
    connect(m_group, &QButtonGroup::idClicked, this, &RadioGroup::itemIndexChanged);
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

int RadioGroup::count() const
{
    return m_group->buttons().size();
}

void RadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (QAbstractButton *button = m_group->button(index)) {
        button->setChecked(true);
    } else if (QAbstractButton *checked = m_group->checkedButton()) {
        // An exclusive group keeps one button checked unless told otherwise.
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
    emit itemIndexChanged(itemIndex());
}

TextComboBox::TextComboBox(QWidget *parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentTextChanged, this, &TextComboBox::textChanged);
}

void TextComboBox::setText(const QString &text)
{
    const int index = findText(text);
    if (index >= 0)
        setCurrentIndex(index);
    if (isEditable())
        setEditText(text);
}

FontNameComboBox::FontNameComboBox(QWidget *parent) : QComboBox(parent)
{
    addItems(QFontDatabase::families());
    setMaxVisibleItems(16);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(18);
    connect(this, &QComboBox::currentTextChanged, this, &FontNameComboBox::fontNameChanged);
}

void FontNameComboBox::setFontName(const QString &name)
{
    int index = findText(name, Qt::MatchFixedString);
    if (index < 0 || itemText(index) != name) {
        index = findText(name, Qt::MatchExactly);
        if (index < 0) {
            // Keep the list in order with the foreign name in its place.
            index = 0;
            while (index < count() && itemText(index).compare(name, Qt::CaseInsensitive) < 0)
                ++index;
            insertItem(index, name);
        }
    }
    setCurrentIndex(index);
}

ColorListBox::ColorListBox(QWidget *parent) : QComboBox(parent)
{
    setMaxVisibleItems(16);
    for (const NamedColor &c : paletteColors())
        addColor(QString::fromLatin1(c.name), ColorValue(c.value));
    for (const NamedColor &c : systemColors())
        addColor(QString::fromLatin1(c.name), ColorValue(c.value));
    guardedConnect(this, &QComboBox::currentIndexChanged, this,
                   [this] { emit selectedChanged(colorValue()); });
}

void ColorListBox::addColor(const QString &name, ColorValue value)
{
    QPixmap swatch(16, 12);
    swatch.fill(toQColor(value));
    QPainter(&swatch).drawRect(0, 0, swatch.width() - 1, swatch.height() - 1);
    addItem(QIcon(swatch), name, value.raw());
}

ColorValue ColorListBox::selected() const
{
    return currentIndex() < 0 ? ColorValue() : ColorValue(currentData().toInt());
}

void ColorListBox::setSelected(ColorValue value)
{
    int index = findData(value.raw());
    if (index < 0) {
        const QColor c = toQColor(value);
        addColor(QStringLiteral("Custom (%1)").arg(c.name(QColor::HexRgb).toUpper()), value);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 12);
        layout->addWidget(b);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    guardedConnect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    guardedConnect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setBuddy(QLineEdit *edit)
{
    m_buddy = edit;
    edit->installEventFilter(this);
}

int UpDown::position() const
{
    if (!m_buddy)
        return m_position;
    bool ok = false;
    const int value = m_buddy->text().trimmed().toInt(&ok);
    return ok ? value : m_min;
}

void UpDown::setPosition(int position)
{
    position = qBound(m_min, position, m_max);
    const bool changed = position != this->position();
    m_position = position;
    if (m_buddy)
        m_buddy->setText(QString::number(position));
    if (changed)
        emit positionChanged(position);
}

void UpDown::stepBy(int steps)
{
    if (!isEnabled())
        return;
    int next = position() + steps * m_increment;
    if (next > m_max)
        next = m_wrap ? m_min : m_max;
    else if (next < m_min)
        next = m_wrap ? m_max : m_min;
    setPosition(next);
}

bool UpDown::eventFilter(QObject *watched, QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        if (watched == m_buddy && m_buddy->isEnabled()) {
            if (event->type() == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent *>(event)->key();
                if (key == Qt::Key_Up || key == Qt::Key_Down) {
                    stepBy(key == Qt::Key_Up ? 1 : -1);
                    return true;
                }
            } else if (event->type() == QEvent::Wheel) {
                const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
                if (dy != 0)
                    stepBy(dy > 0 ? 1 : -1);
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    });
}

PageControl::PageControl(QWidget *parent) : QStackedWidget(parent)
{
    guardedConnect(this, &QStackedWidget::currentChanged, this,
                   [this] { emit activePageChanged(activePage()); });
}

QString PageControl::activePage() const
{
    return currentWidget() ? currentWidget()->objectName() : QString();
}

void PageControl::setActivePage(const QString &name)
{
    for (int i = 0; i < count(); ++i) {
        if (widget(i)->objectName() == name) {
            setCurrentIndex(i);
            return;
        }
    }
}

PaintBox::PaintBox(QSize size, QWidget *parent) : QWidget(parent)
{
    setFixedSize(size);
}

void PaintBox::paintEvent(QPaintEvent *)
{
    guarded([&] {
        QPainter painter(this);
        if (m_paint)
            m_paint(painter);
    });
}

HeaderPanel::HeaderPanel(QWidget *parent)
    : QFrame(parent), m_caption(new QLabel(this)), m_image(new PaintBox(QSize(32, 32), this))
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    m_caption->setObjectName(QStringLiteral("LMDPanelFill1_Caption"));
    QFont font = m_caption->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    m_caption->setFont(font);
    QPalette palette = m_caption->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    m_caption->setPalette(palette);
    m_image->setObjectName(QStringLiteral("TPaintBox1"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(m_caption, 1);
    layout->addWidget(m_image);
}

QString HeaderPanel::caption() const
{
    return m_caption->text();
}

void HeaderPanel::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

void HeaderPanel::paintEvent(QPaintEvent *event)
{
    guarded([&] {
        QPainter painter(this);
        QLinearGradient gradient(rect().topLeft(), rect().topRight());
        gradient.setColorAt(0, palette().color(QPalette::Highlight).darker(130));
        gradient.setColorAt(1, palette().color(QPalette::Highlight).lighter(160));
        painter.fillRect(rect(), gradient);
        painter.end();
        QFrame::paintEvent(event);
    });
}

} // namespace bw
