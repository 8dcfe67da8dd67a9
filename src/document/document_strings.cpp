#include "document/document_strings.h"

namespace bw::notes {

QString lineColumnText(int line, int column)
{
    return QStringLiteral("Line: %1  Col: %2").arg(line, 3).arg(column, 3);
}

QString undoTypeName(int kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("typing");
    case 2:
        return QStringLiteral("delete");
    case 3:
        return QStringLiteral("drag and drop");
    case 4:
        return QStringLiteral("cut");
    case 5:
        return QStringLiteral("paste");
    default:
        return QString();
    }
}

} // namespace bw::notes
