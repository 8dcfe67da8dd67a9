#pragma once
// The properties of one embedded or linked object: "%s Properties" with its
// type, size and place, and a button for each of its verbs. A verb button
// closes the dialog with verbResult(verb); the caller runs the verb.

#include "editor/embedded_object.h"

#include <QDialog>

namespace bw {

class ObjectPropertiesDialog : public QDialog
{
    Q_OBJECT
public:
    ObjectPropertiesDialog(const EmbeddedObject &object, const QStringList &verbs,
                           QWidget *parent = nullptr);

    // The result code of a verb's button, and the verb of a result code (-1: none).
    static int verbResult(int verb) { return kFirstVerbResult + verb; }
    static int verbOf(int result)
    {
        return result >= kFirstVerbResult ? result - kFirstVerbResult : -1;
    }

private:
    static constexpr int kFirstVerbResult = 100;
};

// The caption of an object's properties ("%s Properties").
QString objectPropertiesCaption(const EmbeddedObject &object);

} // namespace bw
