#include "search/rich_edit_editor.h"

#include "editor/char_format.h"
#include "editor/para_format.h"
#include "editor/rich_edit.h"
#include "files/file_checks.h"
#include "platform/desktop_font.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"
#include "search/rich_text_actions.h"
#include "search/rich_text_dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>

namespace bw::search {

namespace {

const QString kDocumentFilter =
    QStringLiteral("Rich Text Files (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");

// A ruler in centimetres over the editor's text, with the caret paragraph's
// indents and tab stops marked.
class CmRuler : public QWidget
{
public:
    CmRuler(RichEdit *editor, QWidget *parent) : QWidget(parent), m_editor(editor)
    {
        setObjectName(QStringLiteral("Ruler"));
        setFixedHeight(22);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        p.setPen(palette().windowText().color());
        const double pxPerCm = kTwipsPerCm / kTwipsPerPixel;
        const int left = m_editor->geometry().left() + m_editor->textRect().left() + 2;
        p.drawLine(left, height() - 4, width(), height() - 4);
        QFont f = font();
        f.setPointSize(7);
        p.setFont(f);
        for (int half = 0; left + half * pxPerCm / 2 < width(); ++half) {
            const int x = left + int(half * pxPerCm / 2);
            if (half % 2 == 0) {
                p.drawLine(x, height() - 9, x, height() - 4);
                if (half > 0)
                    p.drawText(QRect(x - 10, 0, 20, 12), Qt::AlignCenter,
                               QString::number(half / 2));
            } else {
                p.drawLine(x, height() - 6, x, height() - 4);
            }
        }
        const ParaFormat para = m_editor->paraFormat();
        p.setBrush(palette().highlight());
        auto marker = [&](int twips, bool top) {
            const int x = left + twips / kTwipsPerPixel;
            const int y = top ? height() - 9 : height() - 4;
            p.drawPolygon(
                QPolygon({QPoint(x - 3, y), QPoint(x + 3, y), QPoint(x, top ? y + 4 : y - 4)}));
        };
        marker(para.startIndent, true);
        marker(para.startIndent + para.offset, false);
        for (double stop : tabStopsAtCaret(*m_editor))
            p.drawText(left + int(stop * pxPerCm) - 3, height() - 5, QStringLiteral("L"));
    }

private:
    RichEdit *m_editor;
};

} // namespace

RichTextEditorDialog::RichTextEditorDialog(PromptService &prompts, Guard guard, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_guard(std::move(guard))
{
    setObjectName(QStringLiteral("RichEditEditor"));
    setWindowTitle(QStringLiteral("RichEdit Editor"));
    setSizeGripEnabled(true);
    resize(680, 480);
    m_editor = new RichEdit(this);
    m_editor->setPromptService(&prompts);
    m_editor->setObjectName(QStringLiteral("Editor"));
    m_editor->setAutoUrlDetect(true);
    m_editor->setWantTabs(true);
    // New text in Verdana when it is installed, else in the desktop's font.
    QFont font(installedFontFamily(QStringLiteral("Verdana")));
    font.setPointSize(8);
    m_editor->setDefaultFont(font);
    m_commands = new RichTextActions(*m_editor, prompts, m_guard, this);
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_position = new QLabel(this);
    m_statusBar->addPermanentWidget(m_position);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenus(this);
    buildBars();
    auto *ruler = new CmRuler(m_editor, this);
    layout->addWidget(ruler);
    layout->addWidget(m_editor, 1);
    layout->addWidget(m_statusBar);
    guardedConnect(m_editor, &RichEdit::selectionChange, this, [this, ruler] {
        updateStatus();
        syncFormatBar();
        ruler->update();
    });
    updateStatus();
}

RichTextEditorDialog::~RichTextEditorDialog() = default;

void RichTextEditorDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_guard([this] {
        syncFormatBar();
        m_editor->setFocus();
    });
}

void RichTextEditorDialog::buildMenus(QWidget *menuHost)
{
    auto *bar = new QMenuBar(menuHost);
    layout()->setMenuBar(bar);
    auto item = [this](QMenu *menu, const QString &name, const QString &text, const QString &hint,
                       std::function<void()> run) {
        QAction *a = menu->addAction(text);
        a->setObjectName(name);
        a->setStatusTip(hint);
        guardedConnect(a, &QAction::triggered, this,
                       [this, run = std::move(run)] { m_guard(run); });
        return a;
    };
    QMenu *file = bar->addMenu(tr("&File"));
    item(file, "miLoad", tr("&Load..."), tr("Load a document file"), [this] { loadFile(); });
    item(file, "miSaveAs", tr("Save &As..."), tr("Save the text to a file"),
         [this] { saveFileAs(); });
    file->addSeparator();
    item(file, "miPrint", tr("&Print..."), tr("Print the text"), [this] { printDocument(); });
    item(file, "miPageSetup", tr("Page Set&up..."), tr("Choose the paper and printer"),
         [this] { pageSetup(); });
    file->addSeparator();
    item(file, "miSaveExit", tr("&Save and Exit"), tr("Keep the changes and close"),
         [this] { saveAndExit(); });
    item(file, "miExit", tr("E&xit"), tr("Close without keeping the changes"),
         [this] { reject(); });
    QMenu *edit = bar->addMenu(tr("&Edit"));
    for (const char *name : {"Undo", "Cut", "Copy", "Paste", "Find", "Replace"})
        edit->addAction(m_commands->action(QLatin1String(name)));
    QMenu *format = bar->addMenu(tr("F&ormat"));
    for (const char *name : {"Font", "Bold", "Italic", "Underline", "Bullets", "Paragraph", "Tabs"})
        format->addAction(m_commands->action(QLatin1String(name)));
    QMenu *insert = bar->addMenu(tr("&Insert"));
    insert->addAction(m_commands->action(QStringLiteral("InsertObject")));
    for (QMenu *menu : {edit, format, insert})
        guardedConnect(menu, &QMenu::aboutToShow, m_commands, &RichTextActions::update);
    addActions(m_commands->findChildren<QAction *>());
}

void RichTextEditorDialog::buildBars()
{
    auto *tools = new QToolBar(tr("Tool Bar"), this);
    tools->setObjectName(QStringLiteral("ToolBar"));
    tools->setIconSize(QSize(16, 16));
    auto *formatBar = new QToolBar(tr("Format Bar"), this);
    formatBar->setObjectName(QStringLiteral("FormatBar"));
    formatBar->setIconSize(QSize(16, 16));
    const QStringList toolNames = {"Cut",  "Copy",    "Paste",       "Undo",
                                   "Find", "Replace", "InsertObject"};
    for (const QString &name : toolNames) {
        QAction *a = m_commands->action(name);
        a->setToolTip(a->text().remove(QLatin1Char('&')).remove(QStringLiteral("...")));
        a->setStatusTip(a->toolTip());
        tools->addAction(a);
    }
    m_fontName = new QFontComboBox(formatBar);
    m_fontName->setObjectName(QStringLiteral("FontName"));
    m_fontSize = new QComboBox(formatBar);
    m_fontSize->setObjectName(QStringLiteral("FontSize"));
    m_fontSize->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
        m_fontSize->addItem(QString::number(size));
    formatBar->addWidget(m_fontName);
    formatBar->addWidget(m_fontSize);
    for (const char *name : {"Bold", "Italic", "Underline", "Bullets", "Paragraph"})
        formatBar->addAction(m_commands->action(QLatin1String(name)));
    auto applyFont = [this](quint32 mask) {
        m_guard([&] {
            CharFormat f;
            f.mask = mask;
            f.face = m_fontName->currentText();
            f.setSizePoints(std::max(1, m_fontSize->currentText().toInt()));
            f.mask = mask;
            m_editor->setSelectionCharFormat(f);
            m_editor->setFocus();
        });
    };
    guardedConnect(m_fontName, &QComboBox::activated, this,
                   [applyFont] { applyFont(CharFormat::Face); });
    guardedConnect(m_fontSize, &QComboBox::activated, this,
                   [applyFont] { applyFont(CharFormat::Size); });
    for (QToolBar *bar : {tools, formatBar})
        layout()->addWidget(bar);
}

void RichTextEditorDialog::syncFormatBar()
{
    const CharFormat f = m_editor->selectionCharFormat();
    QSignalBlocker a(m_fontName), b(m_fontSize);
    m_fontName->setCurrentText(f.has(CharFormat::Face) ? f.face : QString());
    m_fontSize->setCurrentText(f.has(CharFormat::Size) ? QString::number(f.sizePoints())
                                                       : QString());
    m_commands->update();
}

void RichTextEditorDialog::updateStatus()
{
    const QTextCursor cursor = m_editor->textCursor();
    m_position->setText(
        tr("Line %1, Col %2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1));
}

QPrinter *RichTextEditorDialog::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>();
        m_printer->setPageMargins(
            QMarginsF(kPrintMarginMm, kPrintMarginMm, kPrintMarginMm, kPrintMarginMm),
            QPageLayout::Millimeter);
    }
    return m_printer.get();
}

void RichTextEditorDialog::loadFile()
{
    PromptService::FileRequest request;
    request.filter = kDocumentFilter;
    const auto answer = m_prompts.openFile(this, request);
    if (!answer || answer->fileName.isEmpty())
        return;
    m_editor->loadFromFile(answer->fileName, streamFormatForFile(answer->fileName));
}

void RichTextEditorDialog::saveFileAs()
{
    PromptService::FileRequest request;
    request.filter = kDocumentFilter;
    request.defaultExt = QStringLiteral("rtf");
    request.mustExist = false;
    const auto answer = m_prompts.saveFile(this, request);
    if (!answer || answer->fileName.isEmpty())
        return;
    // Only a regular file (or a new name) at the end of any links is replaced.
    m_editor->saveToFile(files::replaceableTarget(answer->fileName),
                         streamFormatForFile(answer->fileName));
}

void RichTextEditorDialog::printDocument()
{
    if (m_prompts.print(this, printer()))
        m_editor->print(printer());
}

void RichTextEditorDialog::pageSetup()
{
    m_prompts.pageSetup(this, printer());
}

void RichTextEditorDialog::saveAndExit()
{
    m_saved = true;
    accept();
}

} // namespace bw::search
