#include "mru_file_list.h"

#include "platform/guarded_dispatch.h"
#include "settings/registry.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>

namespace bw {

MRUFileList::MRUFileList(QMenu *menu, QAction *beforeAction, settings::Registry &registry,
                         QObject *parent)
    : QObject(parent), m_menu(menu), m_beforeAction(beforeAction), m_registry(registry)
{
}

MRUFileList::~MRUFileList()
{
    // A destructor never throws: a failed save is reported.
    if (!m_root.isEmpty())
        guarded([this] { save(); });
    guarded([this] { removeMenu(); });
}

void MRUFileList::setRoot(const QString &root)
{
    m_root = root;
    load();
}

void MRUFileList::load()
{
    m_items = m_root.isEmpty() ? QStringList() : settings::readMruList(m_registry, m_root);
    rebuildMenu();
}

void MRUFileList::save()
{
    settings::writeMruList(m_registry, m_root, m_items);
}

// A path already listed in another letter case moves to the end under the
// spelling just opened: on Linux the two spellings may name different files,
// and the one just opened is known to exist.
void MRUFileList::add(const QString &path)
{
    if (path.isEmpty())
        return;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].compare(path, Qt::CaseInsensitive) == 0) {
            m_items.removeAt(i);
            break;
        }
    }
    m_items.append(path);
    while (m_items.size() > kMaxCount)
        m_items.removeFirst();
    rebuildMenu();
}

void MRUFileList::clear()
{
    m_items.clear();
    rebuildMenu();
}

void MRUFileList::removeObsolete()
{
    bool removed = false;
    for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
        if (!QFileInfo::exists(m_items[i])) {
            m_items.removeAt(i);
            removed = true;
        }
    }
    if (removed)
        rebuildMenu();
}

void MRUFileList::removeMenu()
{
    delete m_separator.data();
    delete m_reopenMenu.data();
}

QAction *MRUFileList::addItem(const QString &text, const QString &name)
{
    QAction *item = m_reopenMenu->addAction(text);
    item->setObjectName(name);
    emit mruFileListCreateMruItem(item);
    return item;
}

void MRUFileList::rebuildMenu()
{
    removeMenu();
    if (m_items.isEmpty() || !m_menu)
        return;
    m_separator = new QAction(m_menu);
    m_separator->setSeparator(true);
    m_menu->insertAction(m_beforeAction, m_separator);
    m_reopenMenu = new QMenu(QStringLiteral("&Reopen"), m_menu);
    m_reopenMenu->setObjectName(QStringLiteral("miMRUReopen"));
    m_reopenMenu->menuAction()->setObjectName(QStringLiteral("miMRUReopenItem"));
    m_menu->insertMenu(m_beforeAction, m_reopenMenu);
    emit mruFileListCreateMruItem(m_reopenMenu->menuAction());

    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const QString path = m_items[i];
        QString shown =
            shortenPath(QDir::toNativeSeparators(path), m_reopenMenu->font(), kCaptionWidth);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&")); // no stray mnemonics
        QAction *item = addItem(QStringLiteral("&%1 %2").arg(i + 1).arg(shown),
                                QStringLiteral("miMRUItem%1").arg(i));
        item->setData(path);
        guardedConnect(item, &QAction::triggered, this,
                       [this, path] { emit mruFileListMruItemClick(path); });
    }
    m_reopenMenu->addSeparator();
    guardedConnect(addItem(QStringLiteral("&Clear MRU List"), QStringLiteral("miMRUClear")),
                   &QAction::triggered, this, &MRUFileList::clear, Qt::QueuedConnection);
    guardedConnect(addItem(QStringLiteral("&Remove Obsolete"), QStringLiteral("miMRURemove")),
                   &QAction::triggered, this, &MRUFileList::removeObsolete, Qt::QueuedConnection);
}

QString MRUFileList::shortenPath(const QString &path, const QFont &font, int maxWidth)
{
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(path) <= maxWidth)
        return path;
    const QChar sep = QDir::separator();
    const qsizetype nameStart = path.lastIndexOf(sep) + 1;
    const QString name = path.mid(nameStart);
    const bool rooted = path.startsWith(sep);
    QStringList folders = path.left(nameStart).split(sep, Qt::SkipEmptyParts);
    QString shown = path;
    while (!folders.isEmpty() && metrics.horizontalAdvance(shown) > maxWidth) {
        folders.removeFirst();
        QString dir = QStringLiteral("...") + sep;
        for (const QString &f : std::as_const(folders))
            dir += f + sep;
        shown = (rooted ? QString(sep) : QString()) + dir + name;
    }
    if (metrics.horizontalAdvance(shown) > maxWidth && nameStart > 0)
        shown = QStringLiteral("...") + sep + name;
    return shown;
}

} // namespace bw
