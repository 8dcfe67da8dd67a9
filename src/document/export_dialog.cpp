#include "document/export_dialog.h"

#include "document/io_strings.h"
#include "platform/guarded_dispatch.h"
#include "platform/prompt_service.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bw::io {

ExportDialog::ExportDialog(PromptService &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(kExportCaption);

    rgFileExt = new QGroupBox(QStringLiteral("Choose Export File Type"), this);
    rgFileExt->setObjectName(QStringLiteral("rgFileExt"));
    rbTxt = new QRadioButton(QStringLiteral(".TXT (as Text File)"), rgFileExt);
    rbRtf = new QRadioButton(QStringLiteral(".RTF (as Rich Text)"), rgFileExt);
    rbTxt->setChecked(true);
    auto *columns = new QGridLayout(rgFileExt);
    columns->addWidget(rbTxt, 0, 0);
    columns->addWidget(rbRtf, 0, 1);

    auto *folderLabel = new QLabel(QStringLiteral("Folder:"), this);
    edFolderName = new QLineEdit(this);
    edFolderName->setObjectName(QStringLiteral("edFolderName"));
    edFolderName->setReadOnly(true);
    edFolderName->setMinimumWidth(280);
    folderLabel->setBuddy(edFolderName);
    btnBrowse = new QPushButton(QStringLiteral("Browse..."), this);
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    btnBrowse->setAutoDefault(false);
    guardedConnect(btnBrowse, &QPushButton::clicked, this, &ExportDialog::btnBrowseClick);

    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects too

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(edFolderName, 1);
    folderRow->addWidget(btnBrowse);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(rgFileExt);
    layout->addLayout(folderRow);
    layout->addLayout(buttons);
}

int ExportDialog::itemIndex() const
{
    return rbRtf->isChecked() ? 1 : 0;
}

void ExportDialog::setItemIndex(int index)
{
    (index == 1 ? rbRtf : rbTxt)->setChecked(true);
}

QString ExportDialog::folderName() const
{
    return edFolderName->text();
}

void ExportDialog::btnBrowseClick()
{
    if (const auto folder = m_prompts.chooseDirectory(this, kBrowseForFolderCaption,
                                                      kChooseFolderTitle, edFolderName->text()))
        edFolderName->setText(*folder);
    edFolderName->setFocus();
}

} // namespace bw::io
