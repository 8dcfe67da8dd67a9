#include "editor/rich_edit.h"

#include "editor/display_formatter.h"
#include "platform/guarded_dispatch.h"
#include "rtf/text_properties.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextLayout>

#include <optional>

namespace bw {

// Keeps the change signal back while the document changes for reasons that
// are no edit (a load, links shown or hidden).
class QuietChanges
{
public:
    explicit QuietChanges(RichEdit &edit) : m_edit(edit) { ++m_edit.m_quiet; }
    ~QuietChanges() { --m_edit.m_quiet; }
    QuietChanges(const QuietChanges &) = delete;
    QuietChanges &operator=(const QuietChanges &) = delete;

private:
    RichEdit &m_edit;
};

namespace {

// Qt breaks a word wider than the view where it meets the edge, but finds
// that it has to by scanning to the word's end again for every line: a
// paragraph of one long run (a pasted log, base64, a minified file) takes
// time that grows with the square of its length. A document holding such a
// run wraps anywhere instead, which Qt lays out in linear time; words then
// may break at the edge too. A run this long is far wider than any view.
constexpr int kLongRun = 2000;

bool hasLongRun(QStringView text)
{
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run >= kLongRun)
            return true;
    }
    return false;
}

bool hasLongRun(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.length() > kLongRun && hasLongRun(block.text()))
            return true;
    return false;
}

QTextOption::WrapMode wrapModeFor(bool longRuns)
{
    return longRuns ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
}

// Qt drops a paragraph's shaping data once the paragraph is laid out and
// builds it again, over the whole paragraph, the next time the caret is
// placed or a line drawn: for a paragraph of megabytes that doubles the cost
// of showing it and of every keystroke. Paragraphs this long keep it; it
// takes the memory the first caret placement would take again anyway.
constexpr int kKeptShaping = 10000;

void keepShaping(QTextBlock block, const QTextBlock &end)
{
    for (; block.isValid() && block != end; block = block.next())
        if (block.length() > kKeptShaping)
            block.layout()->setCacheEnabled(true);
}

// A document without a page size is not laid out: its changes cost nothing.
void stopLayout(QTextDocument *document)
{
    document->setPageSize(QSizeF(0, 0));
}

// Shows the vertical scroll bar for the guard's life when it is shown as
// needed, then lets it show as needed again.
class VerticalBarShown
{
public:
    explicit VerticalBarShown(QAbstractScrollArea &area)
        : m_area(area), m_policy(area.verticalScrollBarPolicy())
    {
        if (m_policy == Qt::ScrollBarAsNeeded)
            m_area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    ~VerticalBarShown() { m_area.setVerticalScrollBarPolicy(m_policy); }
    VerticalBarShown(const VerticalBarShown &) = delete;
    VerticalBarShown &operator=(const VerticalBarShown &) = delete;

private:
    QAbstractScrollArea &m_area;
    Qt::ScrollBarPolicy m_policy;
};

// More characters than any view shows without a vertical scroll bar.
constexpr int kLongDocument = 100000;

} // namespace

RichEdit::RichEdit(QWidget *parent)
    : QTextEdit(parent), m_display(new DisplayFormatter(this)), m_objects(new ObjectRenderer(this)),
      m_openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    m_defaultFont = font();
    viewport()->setMouseTracking(true);
    m_display->setBlockFormatted([this](int block) { m_lines.invalidateFrom(block); });
    updateDisplayColors();
    guardedConnect(this, &QTextEdit::cursorPositionChanged, this, &RichEdit::onCursorMoved);
    guardedConnect(this, &QTextEdit::selectionChanged, this, &RichEdit::onCursorMoved);
    setWordWrapMode(wrapModeFor(false));
    prepareDocument(document());
    QuietChanges quiet(*this);
    attachDocument(document());
    m_display->setDocument(document());
}

RichEdit::~RichEdit()
{
    // The display formats go while the control can still take the signals
    // their removal sends, and without laying the document out again.
    disconnect(document(), nullptr, this, nullptr);
    stopLayout(document());
    m_display->setDocument(nullptr);
}

void RichEdit::prepareDocument(QTextDocument *document) const
{
    document->setDefaultFont(m_defaultFont);
    document->setUndoRedoEnabled(true);
    applyTextMargins(document);
}

void RichEdit::attachDocument(QTextDocument *document)
{
    document->setUndoRedoEnabled(true);
    applyTextMargins(document);
    guardedConnect(document, &QTextDocument::contentsChange, this, &RichEdit::onContentsChange);
    guardedConnect(document, &QTextDocument::contentsChanged, this, [this] {
        if (m_quiet == 0)
            emit change();
    });
    guardedConnect(document, &QTextDocument::undoCommandAdded, this,
                   [this] { m_undo.commandAdded(); });
    guardedConnect(document, &QTextDocument::undoAvailable, this, [this](bool available) {
        if (!available)
            m_undo.clearUndo();
    });
    guardedConnect(document, &QTextDocument::redoAvailable, this, [this](bool available) {
        if (!available)
            m_undo.clearRedo();
    });
    document->documentLayout()->registerHandler(QTextFormat::ImageObject, m_objects);
    m_lines.setDocument(document);
    m_undo.clear();
}

// Shows a document built elsewhere (a load) in place of the current one.
void RichEdit::adoptDocument(QTextDocument *fresh)
{
    QuietChanges quiet(*this);
    // The control deletes its own first document itself when replaced.
    QPointer<QTextDocument> old = document();
    disconnect(old, nullptr, this, nullptr);
    // The old document goes: removing its display formats need not lay it
    // out again. The new one is laid out once the control has it (below).
    stopLayout(old);
    stopLayout(fresh);
    m_display->setDocument(nullptr);
    fresh->setParent(this);
    // Display formats first, while the new document has no layout yet: laid
    // out, every formatted paragraph would be laid out again.
    m_display->setDocument(fresh);
    m_display->rehighlight();
    keepShaping(fresh->begin(), fresh->end());
    // The options and margins the control would set, set before it lays out.
    m_longRuns = hasLongRun(*fresh);
    const QTextOption::WrapMode mode = wrapModeFor(m_longRuns);
    QTextOption option = old->defaultTextOption();
    if (option.wrapMode() != QTextOption::NoWrap)
        option.setWrapMode(mode);
    fresh->setDefaultTextOption(option);
    applyTextMargins(fresh);
    // setDocument moves the caret and deletes the control's own first
    // document: the line index must already count the new one.
    m_lines.setDocument(fresh);
    // The control applies its wrap mode to the document it shows, and again
    // to each one it is given: switched over an empty document, neither the
    // old document nor the new one is laid out in the other mode.
    // The control changes the document it is given before it sets the page
    // size: each change would lay out the whole document at some other
    // width. Then the scroll bar a long document calls for appears and
    // narrows the view, which lays it out once more. Without a page size and
    // with the bar already there, a paragraph of megabytes is laid out once;
    // the bar is shown over the empty document, as the view it narrows lays
    // out the document it shows.
    const bool longDocument = fresh->characterCount() > kLongDocument;
    QTextDocument blank;
    if (wordWrapMode() != mode || longDocument) {
        const QSignalBlocker quietSwitch(this);
        setDocument(&blank);
        setWordWrapMode(mode);
    }
    {
        std::optional<VerticalBarShown> bar;
        if (longDocument)
            bar.emplace(*this);
        setDocument(fresh);
    }
    attachDocument(fresh);
    fresh->setModified(false);
    if (old && old->parent() == this)
        old->deleteLater();
    onCursorMoved();
}

void RichEdit::applyTextMargins(QTextDocument *document) const
{
    QTextFrameFormat format = document->rootFrame()->frameFormat();
    if (format.leftMargin() == m_textMargins.left() &&
        format.rightMargin() == m_textMargins.right() &&
        format.topMargin() == m_textMargins.top() &&
        format.bottomMargin() == m_textMargins.bottom())
        return;
    format.setLeftMargin(m_textMargins.left());
    format.setRightMargin(m_textMargins.right());
    format.setTopMargin(m_textMargins.top());
    format.setBottomMargin(m_textMargins.bottom());
    document->rootFrame()->setFrameFormat(format);
}

void RichEdit::onContentsChange(int position, int, int added)
{
    const QTextBlock first = document()->findBlock(position);
    m_lines.invalidateFrom(first.blockNumber());
    keepShaping(first, document()->findBlock(position + added).next());
    noteLongRuns(position, position + added);
}

void RichEdit::noteLongRuns(int start, int end)
{
    if (m_longRuns)
        return;
    // A run crossing the changed range may start or end up to a long run's
    // length outside it.
    QTextCursor range(document());
    range.setPosition(std::max(0, start - kLongRun));
    range.setPosition(std::min(end + kLongRun, document()->characterCount() - 1),
                      QTextCursor::KeepAnchor);
    if (!hasLongRun(range.selectedText()))
        return;
    m_longRuns = true;
    setWordWrapMode(wrapModeFor(true));
    m_lines.invalidateAll();
}

void RichEdit::onCursorMoved()
{
    const QTextCursor cursor = textCursor();
    if (cursor.anchor() == m_lastAnchor && cursor.position() == m_lastPosition)
        return;
    m_lastAnchor = cursor.anchor();
    m_lastPosition = cursor.position();
    emit selectionChange();
}

QRect RichEdit::textRect() const
{
    return viewport()->rect().marginsRemoved(m_textMargins);
}

void RichEdit::setTextRect(const QRect &rect)
{
    const QRect area = viewport()->rect();
    const QMargins margins(qMax(0, rect.left() - area.left()), qMax(0, rect.top() - area.top()),
                           qMax(0, area.right() - rect.right()),
                           qMax(0, area.bottom() - rect.bottom()));
    if (margins == m_textMargins)
        return;
    m_textMargins = margins;
    applyTextMargins(document());
    m_lines.invalidateAll();
}

bool RichEdit::wordWrap() const
{
    return lineWrapMode() != QTextEdit::NoWrap;
}

void RichEdit::setWordWrap(bool wrap)
{
    setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    m_lines.invalidateAll();
}

QFont RichEdit::defaultFont() const
{
    return m_defaultFont;
}

void RichEdit::setDefaultFont(const QFont &font)
{
    m_defaultFont = font;
    setFont(font);
    document()->setDefaultFont(font);
    m_lines.invalidateAll();
}

void RichEdit::setDefaultTextColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Text, color);
    p.setColor(QPalette::Inactive, QPalette::Text, color);
    setPalette(p);
    updateDisplayColors();
}

void RichEdit::setDefaultBackgroundColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Base, color);
    p.setColor(QPalette::Inactive, QPalette::Base, color);
    setPalette(p);
}

void RichEdit::updateDisplayColors()
{
    QuietChanges quiet(*this);
    m_display->setColors(palette().color(QPalette::Disabled, QPalette::Text),
                         palette().color(QPalette::Link));
}

FormatDefaults RichEdit::formatDefaults() const
{
    return FormatDefaults{m_defaultFont, palette().color(QPalette::Text),
                          palette().color(QPalette::Base)};
}

bool RichEdit::autoUrlDetect() const
{
    return m_display->linksEnabled();
}

void RichEdit::setAutoUrlDetect(bool detect)
{
    QuietChanges quiet(*this);
    m_display->setLinksEnabled(detect);
}

// --- Protected text -------------------------------------------------------

bool RichEdit::touchesProtected(int start, int end) const
{
    if (start == end) {
        // Inserted text takes the format at the insertion point.
        QTextCursor cursor(document());
        cursor.setPosition(qBound(0, start, textLength()));
        return cursor.charFormat().boolProperty(rtf::Protected);
    }
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            if (fragment.charFormat().boolProperty(rtf::Protected))
                return true;
        }
    }
    return false;
}

bool RichEdit::allowChange(int start, int end) const
{
    if (!touchesProtected(start, end))
        return true;
    return m_protectedHandler && m_protectedHandler(start, end);
}

bool RichEdit::allowSelectionChange() const
{
    const QTextCursor cursor = textCursor();
    return allowChange(cursor.selectionStart(), cursor.selectionEnd());
}

} // namespace bw
