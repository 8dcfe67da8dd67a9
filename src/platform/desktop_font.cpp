#include "platform/desktop_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

namespace bw {

QString installedFontFamily(const QString &family)
{
    if (!family.isEmpty() && QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return family;
    return QFontInfo(QGuiApplication::font()).family();
}

} // namespace bw
