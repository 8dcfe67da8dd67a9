#pragma once
// The Insert Object dialog: a new, empty file of a chosen type, or a file
// embedded or linked. Its controls carry object names so tests can set them.

#include "editor/embedded_object.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace bw {

class PromptService;

class InsertObjectDialog : public QDialog
{
    Q_OBJECT
public:
    InsertObjectDialog(PromptService &prompts, QWidget *parent = nullptr);

    // The object chosen (after OK); throws when the file cannot be read.
    EmbeddedObject object() const;
    bool createsNew() const;

    struct NewType
    {
        QString caption;
        QString fileName; // the new file's name, extension included
        QString mimeType;
    };
    static const QList<NewType> &newTypes();

private:
    void browse();
    void updateControls();

    PromptService &m_prompts;
    QRadioButton *m_createNew;
    QRadioButton *m_fromFile;
    QListWidget *m_types;
    QLineEdit *m_fileName;
    QCheckBox *m_link;
};

} // namespace bw
