#pragma once
// RichEdit: the rich-text control of the editor. A QTextEdit with the
// operations the editor's commands rely on: character and paragraph formats
// of the selection, display lines, find, RTF and plain-text streams, undo
// kinds, protected, hidden and disabled text, automatic links, pictures and
// embedded objects. Positions count one character per paragraph break.

#include "editor/char_format.h"
#include "editor/embedded_object.h"
#include "editor/line_index.h"
#include "editor/para_format.h"
#include "editor/picture_file.h"
#include "editor/text_finder.h"
#include "editor/undo_kind_tracker.h"

#include <QTextEdit>

class QPrinter;

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace bw {

class DisplayFormatter;
class ObjectCopies;
class ObjectRenderer;
class PromptService;

inline constexpr char kLoadStreamFailed[] = "Failed to Load Stream";
inline constexpr char kSaveStreamFailed[] = "Failed to Save Stream";

// A stream that could not be loaded or saved; what() is one of the two texts
// above.
class StreamError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

enum class StreamFormat { Rtf, PlainText };

// The stream format of a document file by its extension: "txt" is plain
// text, everything else RTF.
StreamFormat streamFormatForFile(const QString &fileName);

// True when the editor can insert what `source` holds (the rich-text forms
// only when `richText`); local files alone are no content (see filesDropped).
bool canInsertMimeData(const QMimeData *source, bool richText);
// The formats Paste Special offers for `data`, under the names shown.
QStringList pasteSpecialFormatsOf(const QMimeData *data);

// How a character format command finds its text when nothing is selected.
enum class FormatTarget {
    Selection,     // the selection, or the caret's insertion format
    SelectionWord, // as Selection, but the whole word when the caret is inside one
};

// What the selection holds (flags; 0 when empty).
enum SelectionTypeFlag {
    SelectionText = 1,
    SelectionObject = 2,
    SelectionMultiChar = 4,
    SelectionMultiObject = 8
};

// A list number the control draws itself (Qt counts every list from 1): the
// marker of a paragraph in a list that starts elsewhere, in viewport pixels.
struct ListMarker
{
    QString text;
    QRectF rect;
    QFont font;
    QColor color;
};

struct LinkEvent
{
    QString text;
    int start = 0;
    int end = 0;
    Qt::MouseButton button = Qt::NoButton;
    bool released = false; // false: the button went down
};

class RichEdit : public QTextEdit
{
    Q_OBJECT
public:
    // Decides whether a change of [start, end) that touches protected text
    // goes ahead. Without a handler such changes are refused.
    using ProtectedHandler = std::function<bool(int start, int end)>;
    using UrlOpener = std::function<bool(const QUrl &)>;
    static constexpr int kUndoLimit = 200;

    explicit RichEdit(QWidget *parent = nullptr);
    ~RichEdit() override;

    // Character and paragraph formats
    CharFormat selectionCharFormat(FormatTarget target = FormatTarget::Selection) const;
    void setSelectionCharFormat(const CharFormat &format,
                                FormatTarget target = FormatTarget::Selection);
    ParaFormat paraFormat() const;
    void setParaFormat(const ParaFormat &format);
    // Sets or removes numbering, see bw::setNumbering.
    void setNumbering(int numbering, int minimumOffset);
    FormatDefaults formatDefaults() const;
    // The last character or paragraph format change, repeated on the
    // current selection (Do Again); false when there was none yet.
    bool canRepeatFormat() const { return m_lastFormat.has_value(); }
    void repeatLastFormat();

    // Selection and text
    int selectionStart() const;
    int selectionEnd() const;
    // start < 0 drops the selection; end < 0 means the end of the text.
    void setSelection(int start, int end);
    QString selectedPlainText() const;
    void replaceSelection(const QString &text);
    QString textRange(int start, int end) const;
    int textLength() const;

    // Display lines (wrapped lines count separately), from 0.
    int lineCount() const;
    int lineFromChar(int position) const; // < 0: the selection start's line
    int lineIndex(int line) const;        // < 0: the caret's line; -1 beyond the end
    int lineLength(int position) const;   // of the line holding position
    QString lineText(int line) const;

    // Editing
    void cut();
    void paste();
    void deleteSelection();
    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;
    bool canPaste() const;
    UndoKind undoKind() const { return m_undo.undoKind(); }
    UndoKind redoKind() const { return m_undo.redoKind(); }
    int undoLimit() const { return m_undo.limit(); }
    void setUndoLimit(int limit) { m_undo.setLimit(limit); }
    int selectionType() const;

    // Search: selects and shows the match; returns its start or -1.
    int findText(const QString &text, int start, const FindOptions &options, int limit = -1);

    // Streams. Loading replaces the document (or the selection) and tries the
    // other format when the asked one fails; failures throw StreamError.
    void loadFromStream(QIODevice *device, StreamFormat format, bool selectionOnly = false);
    void saveToStream(QIODevice *device, StreamFormat format, bool selectionOnly = false) const;
    void loadFromFile(const QString &fileName, StreamFormat format);
    void saveToFile(const QString &fileName, StreamFormat format, bool selectionOnly = false) const;

    // Printing: a copy of the document as it shows, hidden text left out and
    // disabled text in the disabled colour.
    std::unique_ptr<QTextDocument> printableDocument() const;
    void print(QPrinter *printer) const;

    // Layout and appearance
    QRect textRect() const; // in viewport coordinates
    void setTextRect(const QRect &rect);
    bool wordWrap() const;
    void setWordWrap(bool wrap);
    bool wantTabs() const { return !tabChangesFocus(); }
    void setWantTabs(bool want) { setTabChangesFocus(!want); }
    QFont defaultFont() const;
    void setDefaultFont(const QFont &font);
    void setDefaultTextColor(const QColor &color);
    void setDefaultBackgroundColor(const QColor &color);

    // Notifications
    void setProtectedHandler(ProtectedHandler handler) { m_protectedHandler = std::move(handler); }
    bool autoUrlDetect() const;
    void setAutoUrlDetect(bool detect);
    // The text of the link at a position, empty when there is none.
    QString linkAt(int position, int *start = nullptr, int *end = nullptr) const;

    // Pictures and objects, inserted at the selection
    void insertPicture(const Picture &picture);
    void insertObject(const EmbeddedObject &object);
    std::optional<EmbeddedObject> objectAt(int position) const;
    // The one object the selection holds, with its position.
    std::optional<EmbeddedObject> selectedObject(int *position = nullptr) const;
    // Asks for an object (a new one, or a file embedded or linked) and
    // inserts it, selected; a new one is opened for editing. False on Cancel.
    bool insertObjectDialog(PromptService &prompts);
    QStringList objectVerbs() const;
    void runObjectVerb(int verb, int position, PromptService &prompts);
    // Opens the object with the desktop's program, an embedded one through a
    // watched copy (see objectCopyChanged). An object whose type may run a
    // program is opened only when the user agrees.
    void openObject(int position);
    bool saveObjectAs(int position, PromptService &prompts);
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    // Opens a URL the way objects and links are opened; false on failure.
    bool openUrl(const QUrl &url) const { return m_openUrl(url); }
    // Opens a link the user clicked: web and mail links at once, anything
    // else when the user agrees. False when it was not opened.
    bool openLink(const QUrl &url);
    // Where the control's own questions go; without one, to the desktop's
    // dialogs.
    void setPromptService(PromptService *prompts) { m_prompts = prompts; }

    // The copy of an opened embedded object at `path` was changed by its
    // program. applyObjectCopy puts its bytes into the object, as one undo
    // step; false when the object is no longer in the document or may not
    // change. keepObjectCopy then saves the copy from the control's cleanup
    // and returns where it now is.
    bool applyObjectCopy(const QString &path);
    QString keepObjectCopy(const QString &path);
    QString objectCopyName(const QString &path) const;
    // Looks at every copy now rather than after its program settles.
    void checkObjectCopies();
    QStringList pasteSpecialFormats() const;

    // The list markers the control draws over the visible part of the text.
    std::vector<ListMarker> visibleListMarkers() const;
    void pasteSpecial(const QString &formatName);

signals:
    void change();
    void selectionChange();
    void link(const bw::LinkEvent &event);
    // The button went down and up again on the same link.
    void linkClicked(const QString &text, Qt::MouseButton button);
    // Local files dropped onto the control (they are not inserted).
    void filesDropped(const QStringList &fileNames);
    // The program editing an opened object's copy changed it (see
    // applyObjectCopy).
    void objectCopyChanged(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    void attachDocument(QTextDocument *document);
    void adoptDocument(QTextDocument *document);
    void prepareDocument(QTextDocument *document) const;
    void applyTextMargins(QTextDocument *document) const;
    void onContentsChange(int position, int removed, int added);
    // Switches the document to wrapping anywhere once a long run without a
    // space crosses [start, end) (see kLongRun in rich_edit.cpp).
    void noteLongRuns(int start, int end);
    void onCursorMoved();
    void updateDisplayColors();

    bool touchesProtected(int start, int end) const;
    bool allowChange(int start, int end) const;
    bool allowSelectionChange() const;
    bool allowParagraphChange() const;
    bool keyChangeRange(QKeyEvent *event, int *start, int *end, UndoKind *kind) const;
    std::pair<int, int> wordRange() const;
    bool hiddenBefore(int position) const;
    void stepOverHidden(bool forward, bool select);
    void insertMime(const QMimeData *source, QTextCursor &cursor);
    void insertPlainText(QTextCursor &cursor, const QString &text);
    void insertPictureAt(QTextCursor &cursor, const Picture &picture);

    static void printListMarkers(QTextDocument &copy);
    void loadDocument(const QByteArray &bytes, StreamFormat format);
    void loadIntoSelection(const QByteArray &bytes, StreamFormat format);
    QByteArray streamBytes(StreamFormat format, bool selectionOnly) const;
    void openObjectFile(int position);
    bool confirmOpen(const QString &question);
    PromptService &prompts();
    int linkHit(const QPoint &viewportPos, LinkEvent *event) const;

    struct FormatChange
    {
        std::optional<CharFormat> character;
        FormatTarget target = FormatTarget::Selection;
        std::optional<ParaFormat> paragraph;
        std::optional<std::pair<int, int>> numbering; // value, minimum offset
    };

    UndoKindTracker m_undo{kUndoLimit};
    std::optional<FormatChange> m_lastFormat;
    mutable LineIndex m_lines;
    DisplayFormatter *m_display = nullptr;
    ObjectRenderer *m_objects = nullptr;
    ProtectedHandler m_protectedHandler;
    UrlOpener m_openUrl;
    QMargins m_textMargins{2, 2, 2, 0};
    QFont m_defaultFont;
    ObjectCopies *m_objectCopies = nullptr;
    PromptService *m_prompts = nullptr;
    int m_pictureCount = 0;
    bool m_longRuns = false; // the document wraps anywhere
    int m_quiet = 0;         // while above 0 the change signal is not sent
    friend class QuietChanges;
    int m_lastAnchor = -1;
    int m_lastPosition = -1;
    QString m_pressedLink;
    int m_pressedLinkStart = -1;
};

} // namespace bw
