#pragma once
// The Paste Special dialog: the clipboard's formats under the names the
// control gives them; the chosen one is pasted by the caller.

#include <QDialog>

class QListWidget;

namespace bw {

class PasteSpecialDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PasteSpecialDialog(const QStringList &formats, QWidget *parent = nullptr);

    QString format() const;
    void setFormat(const QString &format);

private:
    QListWidget *m_formats;
};

} // namespace bw
