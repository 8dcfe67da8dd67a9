#include "editor/object_properties_dialog.h"

#include "platform/guarded_dispatch.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

QString objectPropertiesCaption(const EmbeddedObject &object)
{
    return QObject::tr("%1 Properties").arg(object.name);
}

ObjectPropertiesDialog::ObjectPropertiesDialog(const EmbeddedObject &object,
                                               const QStringList &verbs, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ObjectPropertiesDialog"));
    setWindowTitle(objectPropertiesCaption(object));
    const QMimeType type = QMimeDatabase().mimeTypeForName(object.mimeType);
    const QString typeText = type.isValid() && !type.comment().isEmpty()
                                 ? QStringLiteral("%1 (%2)").arg(type.comment(), object.mimeType)
                                 : object.mimeType;
    auto *form = new QFormLayout;
    auto addRow = [form](const QString &label, const QString &text, const char *name) {
        auto *value = new QLabel(text);
        value->setObjectName(QLatin1String(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label, value);
    };
    addRow(tr("Name:"), object.name, "lbName");
    addRow(tr("Type:"), typeText, "lbType");
    addRow(tr("Size:"), QLocale().formattedDataSize(object.contents().size()), "lbSize");
    addRow(tr("Location:"),
           object.isLink() ? tr("Linked to %1").arg(object.linkPath)
                           : tr("Embedded in the document"),
           "lbLocation");

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    for (int verb = 0; verb < verbs.size(); ++verb) {
        QPushButton *button = buttons->addButton(verbs.at(verb), QDialogButtonBox::ActionRole);
        button->setObjectName(QStringLiteral("btnVerb%1").arg(verb));
        guardedConnect(button, &QPushButton::clicked, this,
                       [this, verb] { done(verbResult(verb)); });
    }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

} // namespace bw
