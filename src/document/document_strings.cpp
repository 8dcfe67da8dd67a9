#include "document/document_strings.h"

#include <QStringList>

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

namespace {

QString itemsWithout(int count, const QString &what)
{
    return (count == 1 ? QStringLiteral("1 item without ")
                       : QStringLiteral("%1 items without ").arg(count)) +
           what;
}

} // namespace

QString unsafeKeysReadOnly(const QString &file, const QList<qint32> &sharedIds, int withoutId,
                           int withoutParent)
{
    QStringList ids;
    for (qint32 id : sharedIds)
        ids.append(QString::number(id));
    if (withoutId == 0 && withoutParent == 0)
        return kDuplicateIdsReadOnly.arg(file, ids.join(QStringLiteral(", ")));
    QStringList found;
    if (!ids.isEmpty())
        found.append(
            QStringLiteral("items that share an ID (%1)").arg(ids.join(QStringLiteral(", "))));
    if (withoutId > 0)
        found.append(itemsWithout(withoutId, QStringLiteral("an ID")));
    if (withoutParent > 0)
        found.append(itemsWithout(withoutParent, QStringLiteral("a Parent")));
    const QString last = found.takeLast();
    const QString list =
        found.isEmpty() ? last : found.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return kMissingKeysReadOnly.arg(file, list);
}

} // namespace bw::notes
