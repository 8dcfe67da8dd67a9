#include "document/document_bars.h"

#include "commands/command_menus.h"
#include "document/color_menu.h"
#include "document/document_strings.h"
#include "platform/guarded_dispatch.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace bw::notes {

namespace {

constexpr const char *kSeparator = "-";
constexpr const char *kFontNameBox = "btnFormatFontName";
constexpr const char *kFontSizeBox = "btnFormatFontSize";

struct BarRow
{
    const char *name;
    QStringList items;
};

// Buttons hidden in the form for good are left out; buttons of hidden
// commands follow their command's visibility.
const QList<BarRow> &barRows()
{
    static const QList<BarRow> rows{
        {"Bar_ChildRecord1",
         {"actRecordInsert", "actRecordInsertChild", "actRecordMoveUp", "actRecordDelete",
          "actRecordEdit", "actRecordPost"}},
        {"Bar_ChildRecord2",
         {"actRecordBack", "actRecordForward", "actRecordGoUp", kSeparator, "actRecordImport",
          "actRecordExportNodes", "actRecordExportHtmlGrid", "actRecordExportHtmlTree",
          "actRecordExportXmlData"}},
        {"Bar_ChildEdit",
         {"actFileRTFOpen",
          "actFileRTFSave",
          "actFileRTFSaveSelected",
          "actEditUndo",
          "actEditRedo",
          kSeparator,
          "actEditCut",
          "actEditCopy",
          "actEditPaste",
          "actEditPasteSpecial",
          "actEditDelete",
          "actEditSelectAll",
          kSeparator,
          "actInsertFile",
          "actInsertDateTime",
          "actInsertPicture",
          "actInsertObject",
          "actInsertHorizontalLine",
          kSeparator,
          "actSearchFind",
          "actSearchFindNext",
          "actSearchReplace"}},
        {"Bar_ChildFormat1",
         {kFontNameBox, kFontSizeBox, "actFormatFont", "actFormatIncreaseFontSize",
          "actFormatDecreaseFontSize", kSeparator, "actFormatCharChangeType", "actFormatParagraph",
          kSeparator, "actFormatFColor", kSeparator, "actFormatBColor"}},
        {"Bar_ChildFormat2",
         {"actFormatBold", "actFormatItalic", "actFormatUnderline", "actFormatStrikeOut",
          kSeparator, "actFormatAlignLeft", "actFormatAlignCenter", "actFormatAlignJustify",
          "actFormatAlignRight", kSeparator, "actFormatNumberingSymbols",
          "actFormatNumberingNumber", "actFormatNumberingLetterLC", "actFormatNumberingLetterUC",
          "actFormatNumberingRomanLC", "actFormatNumberingRomanUC", kSeparator,
          "actFormatSuperScript", "actFormatSubScript"}},
    };
    return rows;
}

} // namespace

DocumentBars::DocumentBars(const CommandLookup &lookup, QWidget *parent) : QObject(parent)
{
    buildColorMenus(parent);
    buildFontBoxes(parent, lookup);
    Bar_ChildRecord1 = buildBar("Bar_ChildRecord1", kRecordBar1Caption, lookup, parent);
    Bar_ChildRecord2 = buildBar("Bar_ChildRecord2", kRecordBar2Caption, lookup, parent);
    Bar_ChildEdit = buildBar("Bar_ChildEdit", kEditBarCaption, lookup, parent);
    Bar_ChildFormat1 = buildBar("Bar_ChildFormat1", kFormatBar1Caption, lookup, parent);
    Bar_ChildFormat2 = buildBar("Bar_ChildFormat2", kFormatBar2Caption, lookup, parent);
    Bar_ChildRecord2->hide();
    buildViewMenu(parent, lookup);
    for (QToolBar *bar : allBars()) {
        bar->setContextMenuPolicy(Qt::CustomContextMenu);
        guardedConnect(bar, &QWidget::customContextMenuRequested, this,
                       [this, bar](const QPoint &pos) { popupView(bar->mapToGlobal(pos)); });
    }
}

QStringList DocumentBars::barItems(const QString &barName)
{
    for (const BarRow &row : barRows())
        if (barName == QLatin1String(row.name))
            return row.items;
    return {};
}

QToolBar *DocumentBars::buildBar(const QString &name, const QString &caption,
                                 const CommandLookup &lookup, QWidget *parent)
{
    auto *bar = new QToolBar(caption, parent);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const QString &item : barItems(name))
        addItem(bar, item, lookup);
    return bar;
}

void DocumentBars::addItem(QToolBar *bar, const QString &item, const CommandLookup &lookup)
{
    if (item == QLatin1String(kSeparator)) {
        bar->addSeparator();
    } else if (item == QLatin1String(kFontNameBox)) {
        bar->addWidget(btnFormatFontName);
    } else if (item == QLatin1String(kFontSizeBox)) {
        bar->addWidget(btnFormatFontSize);
    } else if (item == QLatin1String("actFormatFColor")) {
        btnFormatFColor = addColorButton(bar, lookup(item), pmFontColor);
        btnFormatFColor->setObjectName(QStringLiteral("btnFormatFColor"));
    } else if (item == QLatin1String("actFormatBColor")) {
        btnFormatBColor = addColorButton(bar, lookup(item), pmBackgroundColor);
        btnFormatBColor->setObjectName(QStringLiteral("btnFormatBColor"));
    } else if (QAction *action = lookup(item)) {
        bar->addAction(action);
    }
}

QToolButton *DocumentBars::addColorButton(QToolBar *bar, QAction *action, QMenu *menu)
{
    auto *button = new QToolButton(bar);
    button->setDefaultAction(action);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setAutoRaise(true);
    // Like every other button of a bar it is worked by the mouse: a flat
    // button shows no focus, so it would be a Tab stop nobody can see.
    button->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(button);
    return button;
}

void DocumentBars::buildColorMenus(QWidget *parent)
{
    pmFontColor = createColorMenu(QStringLiteral("pmFontColor"), parent);
    pmBackgroundColor = createColorMenu(QStringLiteral("pmBackgroundColor"), parent);
}

void DocumentBars::buildFontBoxes(QWidget *parent, const CommandLookup &lookup)
{
    btnFormatFontName = new QFontComboBox(parent);
    btnFormatFontName->setObjectName(QString::fromLatin1(kFontNameBox));
    btnFormatFontName->setMaximumWidth(160);
    btnFormatFontSize = new QComboBox(parent);
    btnFormatFontSize->setObjectName(QString::fromLatin1(kFontSizeBox));
    btnFormatFontSize->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        btnFormatFontSize->addItem(QString::number(size));
    btnFormatFontSize->setCurrentText(QStringLiteral("8"));
    btnFormatFontSize->setMinimumContentsLength(3);
    pmFont = buildPopupMenu(QLatin1String(kFontMenu), lookup, parent);
    // The text part of a box is a widget of its own with its own edit menu:
    // it opens the font popup too.
    for (QComboBox *box : {static_cast<QComboBox *>(btnFormatFontName), btnFormatFontSize}) {
        for (QWidget *part :
             {static_cast<QWidget *>(box), static_cast<QWidget *>(box->lineEdit())}) {
            part->setContextMenuPolicy(Qt::CustomContextMenu);
            guardedConnect(
                part, &QWidget::customContextMenuRequested, this,
                [this, part](const QPoint &pos) { pmFont->popup(part->mapToGlobal(pos)); });
        }
    }
}

void DocumentBars::buildViewMenu(QWidget *parent, const CommandLookup &lookup)
{
    pmView = buildPopupMenu(QLatin1String(kViewMenu), lookup, parent);
}

QList<QToolBar *> DocumentBars::flatBars() const
{
    return {Bar_ChildRecord1, Bar_ChildEdit, Bar_ChildFormat1, Bar_ChildFormat2};
}

QList<QToolBar *> DocumentBars::allBars() const
{
    return {Bar_ChildRecord1, Bar_ChildRecord2, Bar_ChildEdit, Bar_ChildFormat1, Bar_ChildFormat2};
}

void DocumentBars::setFlat(bool flat)
{
    for (QToolBar *bar : flatBars())
        for (QToolButton *button : bar->findChildren<QToolButton *>())
            button->setAutoRaise(flat);
}

void DocumentBars::popupView(const QPoint &globalPos) const
{
    pmView->popup(globalPos);
}

} // namespace bw::notes
