#include "editor/insert_object_dialog.h"

#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bw {

const QList<InsertObjectDialog::NewType> &InsertObjectDialog::newTypes()
{
    static const QList<NewType> types{
        {tr("Text Document"), QStringLiteral("New Text Document.txt"),
         QStringLiteral("text/plain")},
        {tr("Rich Text Document"), QStringLiteral("New Document.rtf"),
         QStringLiteral("application/rtf")},
        {tr("HTML Document"), QStringLiteral("New Page.html"), QStringLiteral("text/html")},
        {tr("CSV Table"), QStringLiteral("New Table.csv"), QStringLiteral("text/csv")},
        {tr("Markdown Document"), QStringLiteral("New Document.md"),
         QStringLiteral("text/markdown")},
    };
    return types;
}

InsertObjectDialog::InsertObjectDialog(PromptService &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_createNew(new QRadioButton(tr("Create &New"))),
      m_fromFile(new QRadioButton(tr("Create from &File"))), m_types(new QListWidget),
      m_fileName(new QLineEdit), m_link(new QCheckBox(tr("&Link")))
{
    setWindowTitle(tr("Insert Object"));
    setObjectName(QStringLiteral("InsertObjectDialog"));
    m_createNew->setObjectName(QStringLiteral("rbCreateNew"));
    m_fromFile->setObjectName(QStringLiteral("rbCreateFromFile"));
    m_types->setObjectName(QStringLiteral("lbObjectType"));
    m_fileName->setObjectName(QStringLiteral("edFileName"));
    m_link->setObjectName(QStringLiteral("cbLink"));
    for (const NewType &type : newTypes())
        m_types->addItem(type.caption);
    m_types->setCurrentRow(0);
    m_createNew->setChecked(true);

    auto *browse = new QPushButton(tr("&Browse..."));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_createNew, 0, 0);
    grid->addWidget(m_types, 1, 0, 1, 2);
    grid->addWidget(m_fromFile, 2, 0);
    grid->addWidget(m_fileName, 3, 0);
    grid->addWidget(browse, 3, 1);
    grid->addWidget(m_link, 4, 0);
    grid->addWidget(buttons, 5, 0, 1, 2);

    guardedConnect(browse, &QPushButton::clicked, this, &InsertObjectDialog::browse);
    guardedConnect(m_createNew, &QRadioButton::toggled, this, &InsertObjectDialog::updateControls);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateControls();
}

void InsertObjectDialog::updateControls()
{
    m_types->setEnabled(m_createNew->isChecked());
    m_fileName->setEnabled(!m_createNew->isChecked());
    m_link->setEnabled(!m_createNew->isChecked());
}

void InsertObjectDialog::browse()
{
    PromptService::FileRequest request;
    request.caption = tr("Browse");
    request.fileName = m_fileName->text();
    request.filter = QStringLiteral("All Files (*.*)|*.*");
    if (const auto answer = m_prompts.openFile(this, request)) {
        m_fileName->setText(answer->fileName);
        m_fromFile->setChecked(true);
    }
}

bool InsertObjectDialog::createsNew() const
{
    return m_createNew->isChecked();
}

EmbeddedObject InsertObjectDialog::object() const
{
    if (createsNew()) {
        const NewType &type = newTypes().value(qMax(0, m_types->currentRow()));
        return newObject(type.fileName, type.mimeType);
    }
    return objectFromFile(m_fileName->text(), m_link->isChecked());
}

} // namespace bw
