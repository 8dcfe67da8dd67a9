#pragma once
// The editor's document commands of a document window that change or insert
// into the document: paste special, object properties and verbs, Do Again
// (repeats the last character or paragraph format change on the current
// selection), the insert commands and link clicks; and the editor's popup
// menu `pmRichEdit`. Owned by the window.

#include <QDateTime>
#include <QObject>
#include <QPoint>
#include <functional>

class QMenu;

namespace bw::notes {

class FrameServices;
class DocumentContext;

class EditorCommands : public QObject
{
    Q_OBJECT
public:
    EditorCommands(DocumentContext &window, FrameServices &frame);

    // Paste Special, Object Properties and Do Again (the rest of the edit
    // list is the window's own update).
    void aclEditUpdate();
    // The insert commands are always enabled.
    void aclInsertUpdate();

    // The popup's items for the one selected object: a separator, "%s
    // Properties" and a submenu named after the object with its verbs.
    // Adds nothing unless exactly one object is selected.
    void addObjectMenuItems(QMenu &menu);
    // Shows the editor's popup at a global position: the window's own edit
    // commands, so it follows their enabling and edit-state rules, then the
    // selected object's items.
    void editorPopup(const QPoint &globalPos);
    QMenu *popupMenu() const { return m_pmRichEdit; }

    void actEditPasteSpecialExecute();
    void actEditObjectPropertiesExecute();
    void actEditDoAgainExecute();
    void actInsertDateTimeExecute();
    void actInsertPictureExecute();
    void actInsertObjectExecute();
    void actInsertHorizontalLineExecute();
    void actInsertFileExecute();
    // A link was clicked: the left button opens it (asking first unless it
    // is a web or mail link), others do nothing.
    void editorUrlClick(const QString &text, Qt::MouseButton button);
    // The program editing an opened object's copy saved it.
    void onObjectCopyChanged(const QString &path);

    // The text of a date and time as Insert Date and Time writes it.
    static QString dateTimeText(const QDateTime &when);
    // The clock the date comes from (tests set a fixed one).
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

private:
    bool insertConditions() const;
    bool tableOpen() const;
    void insertLineAtSelectionEnd(const QString &text);
    void runObjectVerb(int verb, int position);
    bool eventFilter(QObject *watched, QEvent *event) override;

    DocumentContext &m_window;
    FrameServices &m_frame;
    std::function<QDateTime()> m_now;
    QMenu *m_pmRichEdit = nullptr;
};

} // namespace bw::notes
