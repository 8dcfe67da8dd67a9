#include "search/db_rich_edit.h"

#include "platform/desktop_font.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"
#include "search/rich_edit_editor.h"
#include "search/rich_text_actions.h"
#include "table/client_dataset.h"

#include <QAction>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QMenu>

namespace bw::search {

using State = dataset::ClientDataSet::State;

BoundRichEdit::BoundRichEdit(dataset::ClientDataSet &table, const QString &field,
                             PromptService &prompts, Guard guard, QWidget *parent)
    : RichEdit(parent), m_table(table), m_field(field), m_prompts(prompts),
      m_guard(std::move(guard))
{
    setObjectName(QStringLiteral("wwDBRichEdit"));
    setPromptService(&prompts);
    // New text in Verdana when it is installed, else in the desktop's font.
    QFont font(installedFontFamily(QStringLiteral("Verdana")));
    font.setPointSize(8);
    setDefaultFont(font);
    setAutoUrlDetect(true);
    setWantTabs(true);
    setWordWrap(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    m_commands = new RichTextActions(*this, prompts, m_guard, this);
    m_commands->setBeforeChange([this] { return ensureEdit(); });
    m_pmRichEdit = new QMenu(this);
    m_pmRichEdit->setObjectName(QStringLiteral("pmRichEdit"));
    QAction *edit = m_pmRichEdit->addAction(tr("&Edit..."));
    edit->setObjectName(QStringLiteral("pmiEdit"));
    guardedConnect(edit, &QAction::triggered, this,
                   [this] { m_guard([this] { openEditorWindow(); }); });
    m_pmRichEdit->addSeparator();
    const char *groups[][5] = {{"Cut", "Copy", "Paste", nullptr, nullptr},
                               {"Bold", "Italic", "Underline", nullptr, nullptr},
                               {"Font", "Bullets", "Paragraph", "Tabs", nullptr},
                               {"Find", "Replace", nullptr, nullptr, nullptr},
                               {"InsertObject", nullptr, nullptr, nullptr, nullptr}};
    for (const auto &group : groups) {
        for (const char *name : group)
            if (name)
                m_pmRichEdit->addAction(m_commands->action(QLatin1String(name)));
        if (&group != &groups[4])
            m_pmRichEdit->addSeparator();
    }
    // The shortcuts work while the box has the focus.
    addActions(m_commands->findChildren<QAction *>());
    guardedConnect(m_pmRichEdit, &QMenu::aboutToShow, this, [this, edit] {
        // The editor window writes back into the record: nothing to edit without one.
        edit->setEnabled(hasRecordToChange());
        m_commands->update();
    });

    guardedConnect(this, &RichEdit::change, this, [this] {
        if (m_loading)
            return;
        m_guard([this] {
            if (!ensureEdit())
                return;
            if (!m_modified) {
                // The first change marks the record changed, so leaving it posts.
                m_modified = true;
                storeIntoRecord();
            }
        });
    });
    connectTable();
    updateReadOnly();
}

void BoundRichEdit::connectTable()
{
    using DS = dataset::ClientDataSet;
    auto reload = [this] { m_guard([this] { loadFromRecord(); }); };
    auto store = [this] {
        m_guard([this] {
            if (m_modified)
                storeIntoRecord();
        });
    };
    guardedConnect(&m_table, &DS::afterScroll, this, reload);
    guardedConnect(&m_table, &DS::dataSetChanged, this, reload);
    guardedConnect(&m_table, &DS::afterOpen, this, reload);
    guardedConnect(&m_table, &DS::afterCancel, this, [this] {
        m_modified = false;
        m_guard([this] { loadFromRecord(); });
    });
    connect(&m_table, &DS::beforeScroll, this, store);
    connect(&m_table, &DS::updatingRecord, this, store);
    connect(&m_table, &DS::beforePost, this, store);
    guardedConnect(&m_table, &DS::afterPost, this, [this] { m_modified = false; });
    guardedConnect(&m_table, &DS::beforeClose, this, [this] {
        m_modified = false;
        QSignalBlocker quiet(this);
        m_loading = true;
        clear();
        m_loading = false;
        m_loadedBytes.clear();
        m_loadedRecord = 0;
    });
    guardedConnect(&m_table, &DS::stateChanged, this, [this] { updateReadOnly(); });
    guardedConnect(&m_table, &DS::afterDelete, this, [this] { updateReadOnly(); });
}

// Typing into the box is taken only while it can reach a record: a closed or
// empty table would drop it.
void BoundRichEdit::updateReadOnly()
{
    const bool readOnly = !hasRecordToChange();
    if (readOnly == isReadOnly())
        return;
    setReadOnly(readOnly);
    m_commands->update();
}

bool BoundRichEdit::hasRecordToChange() const
{
    if (!m_table.canModify())
        return false;
    switch (m_table.state()) {
    case State::Edit:
    case State::Insert:
        return true;
    case State::Browse:
        return !m_table.isEmpty();
    default:
        return false;
    }
}

void BoundRichEdit::loadBytes(RichEdit &editor, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // Plain text (as the import stores it) is shown as it stands.
    const bool rtf = bytes.trimmed().startsWith("{\\rtf");
    editor.loadFromStream(&buffer, rtf ? StreamFormat::Rtf : StreamFormat::PlainText);
}

QByteArray BoundRichEdit::documentBytes(const RichEdit &editor)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    editor.saveToStream(&buffer, StreamFormat::Rtf);
    return buffer.data();
}

void BoundRichEdit::loadFromRecord()
{
    if (m_table.controlsDisabled())
        return;
    updateReadOnly();
    const bool editing = m_table.state() == State::Edit || m_table.state() == State::Insert;
    if (editing && m_modified)
        return; // the document being typed stays until it is posted or cancelled
    const bool hasRecord = m_table.isActive() && (!m_table.isEmpty() || editing);
    const QByteArray bytes = hasRecord ? m_table.asBytes(m_field) : QByteArray();
    const quint64 record = m_table.bookmark().id;
    if (record == m_loadedRecord && bytes == m_loadedBytes && !m_modified &&
        (hasRecord || toPlainText().isEmpty()))
        return;
    m_loading = true;
    struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_loading};
    m_modified = false;
    m_loadedBytes = bytes;
    m_loadedRecord = record;
    if (bytes.isEmpty())
        clear();
    else
        loadBytes(*this, bytes);
    document()->setModified(false);
}

void BoundRichEdit::storeIntoRecord()
{
    if (m_table.state() != State::Edit && m_table.state() != State::Insert)
        return;
    const QByteArray bytes = toPlainText().isEmpty() && document()->blockCount() <= 1
                                 ? QByteArray()
                                 : documentBytes(*this);
    m_loadedBytes = bytes;
    if (bytes.isEmpty())
        m_table.clearField(m_field);
    else
        m_table.setBytes(m_field, bytes);
}

bool BoundRichEdit::ensureEdit()
{
    if (!hasRecordToChange())
        return false; // no record to change: Open, New or Insert first
    if (m_table.state() == State::Browse)
        m_table.edit();
    return m_table.state() == State::Edit || m_table.state() == State::Insert;
}

void BoundRichEdit::openEditorWindow()
{
    RichTextEditorDialog window(m_prompts, m_guard, this);
    loadBytes(*window.editor(), documentBytes(*this));
    if (m_prompts.exec(&window) != QDialog::Accepted || !window.savedOnExit())
        return;
    if (!ensureEdit())
        return;
    loadBytes(*this, documentBytes(*window.editor()));
    m_modified = true;
    storeIntoRecord();
}

void BoundRichEdit::contextMenuEvent(QContextMenuEvent *event)
{
    guarded([&] { m_pmRichEdit->exec(event->globalPos()); });
}

void BoundRichEdit::focusOutEvent(QFocusEvent *event)
{
    RichEdit::focusOutEvent(event);
    m_guard([this] {
        if (m_modified)
            storeIntoRecord();
    });
}

} // namespace bw::search
