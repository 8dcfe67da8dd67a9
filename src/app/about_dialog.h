#pragma once
// The About box: the program's title, version and copyright from its version
// information, the author's e-mail address (a click writes a mail) and a
// short description.

#include <QDialog>

class QLabel;
class QPushButton;

namespace bw {

class UrlOpener;
struct VersionFields;

class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    AboutDialog(const VersionFields &version, UrlOpener &opener, QWidget *parent = nullptr);

    void lbCommentsClick();

    QLabel *imgIcon = nullptr;
    QLabel *lbProductName = nullptr;
    QLabel *lbFileVersion = nullptr;
    QLabel *lbLegalCopyright = nullptr;
    QLabel *lbComments = nullptr;
    QLabel *lbProductDescription = nullptr;
    QPushButton *btnOk = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setupWindow(const VersionFields &version);
    void layOutControls();
    QWidget *createDescriptionPanel();

    UrlOpener &m_opener;
    QString m_applicationTitle;
};

} // namespace bw
