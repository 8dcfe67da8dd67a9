// A sample plug-in that greets the user in a message box.

#include "bramblewick_plugin.h"

#include <QApplication>
#include <QMessageBox>

extern "C" {

void InitPlugin(void *instance)
{
    (void)instance;
}

const char *GetPluginSignature(void)
{
    return "Bramblewick sample: Hello";
}

const char *GetPluginMenuCaption(void)
{
    return "&Hello, World!";
}

void SetPluginOnClick(void)
{
    try {
        QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Hello"),
                                 QStringLiteral("Hello from a Bramblewick plug-in."));
    } catch (...) {
        // Nothing may cross back into the program.
    }
}

} // extern "C"
