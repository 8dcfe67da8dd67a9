#pragma once
// ExportDialog: asks for the kind of files and the folder of an export of the
// items: ".TXT (as Text File)" or ".RTF (as Rich Text)", and a folder chosen
// with the folder dialog (the folder edit itself is read-only).

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;

namespace bw {
class PromptService;
}

namespace bw::io {

class ExportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ExportDialog(PromptService &prompts, QWidget *parent = nullptr);

    QGroupBox *rgFileExt = nullptr;
    QRadioButton *rbTxt = nullptr;
    QRadioButton *rbRtf = nullptr;
    QLineEdit *edFolderName = nullptr;
    QPushButton *btnBrowse = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

    // 0 for ".TXT (as Text File)", 1 for ".RTF (as Rich Text)".
    int itemIndex() const;
    void setItemIndex(int index);
    QString folderName() const;

private:
    void btnBrowseClick();

    PromptService &m_prompts;
};

} // namespace bw::io
