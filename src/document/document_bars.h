#pragma once
// The document window's toolbars, built from command names: the two record
// bars, the edit bar and the two format bars with the font name and size
// boxes and the two colour buttons with their drop-down colour menus; and the
// view pop-up `pmView` that every bar, the tree header and the ruler open.

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QComboBox;
class QFontComboBox;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

namespace bw::notes {

class DocumentBars : public QObject
{
    Q_OBJECT
public:
    using CommandLookup = std::function<QAction *(const QString &name)>;

    // Builds every bar as a child of parent, taking the commands from lookup.
    DocumentBars(const CommandLookup &lookup, QWidget *parent);

    QToolBar *Bar_ChildRecord1 = nullptr;
    QToolBar *Bar_ChildRecord2 = nullptr; // hidden for good
    QToolBar *Bar_ChildEdit = nullptr;
    QToolBar *Bar_ChildFormat1 = nullptr;
    QToolBar *Bar_ChildFormat2 = nullptr;
    QFontComboBox *btnFormatFontName = nullptr;
    QComboBox *btnFormatFontSize = nullptr;
    QToolButton *btnFormatFColor = nullptr;
    QToolButton *btnFormatBColor = nullptr;
    QMenu *pmFontColor = nullptr;
    QMenu *pmBackgroundColor = nullptr;
    QMenu *pmView = nullptr;
    QMenu *pmFont = nullptr;

    // The four bars that follow the flat-toolbar setting.
    QList<QToolBar *> flatBars() const;
    void setFlat(bool flat);
    // Every bar, in layout order.
    QList<QToolBar *> allBars() const;
    // The names of the commands whose buttons a bar shows, in order ("-" for a
    // separator, "btnFormatFontName" and "btnFormatFontSize" for the boxes).
    static QStringList barItems(const QString &barName);

    // Shows pmView at a global position.
    void popupView(const QPoint &globalPos) const;

private:
    QToolBar *buildBar(const QString &name, const QString &caption, const CommandLookup &lookup,
                       QWidget *parent);
    void addItem(QToolBar *bar, const QString &item, const CommandLookup &lookup);
    QToolButton *addColorButton(QToolBar *bar, QAction *action, QMenu *menu);
    void buildColorMenus(QWidget *parent);
    void buildFontBoxes(QWidget *parent, const CommandLookup &lookup);
    void buildViewMenu(QWidget *parent, const CommandLookup &lookup);
};

} // namespace bw::notes
