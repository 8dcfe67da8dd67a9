#pragma once
// The recent-files list: the notes files most recently opened through Open
// File, at most five, oldest first. It shows itself as a "&Reopen" submenu put
// into a menu before a given separator, and is read from the settings at
// setRoot() and written back when it is destroyed.

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QFont;

namespace bw {

namespace settings {
class Registry;
}

class MRUFileList : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxCount = 5;
    static constexpr int kCaptionWidth = 200; // pixels of the menu font

    // menu: the menu that receives the items, inserted just before
    // beforeAction (the menu's separator miFileMRUSeparator). Connect to
    // mruFileListCreateMruItem before setRoot() to see every created item.
    MRUFileList(QMenu *menu, QAction *beforeAction, settings::Registry &registry,
                QObject *parent = nullptr);
    // Saves the list when a settings root was set.
    ~MRUFileList() override;

    // The settings root the list lives below (key "MRUFileList"); loads the list.
    void setRoot(const QString &root);
    QString root() const { return m_root; }

    void add(const QString &path);
    void load();
    void save();
    void clear();
    void removeObsolete();

    QStringList items() const { return m_items; }
    // The "&Reopen" submenu; null while the list is empty.
    QMenu *reopenMenu() const { return m_reopenMenu; }

    // "/home/ann/notes/work/plan.cds" as at most maxWidth pixels of font:
    // leading folders give way to "..." ("/.../work/plan.cds"), then the root
    // (".../plan.cds"); the file name itself is never cut.
    static QString shortenPath(const QString &path, const QFont &font, int maxWidth);

signals:
    // Every menu item the list creates ("&Reopen", each entry, "&Clear MRU
    // List", "&Remove Obsolete"), so the owner can give them images and hints.
    void mruFileListCreateMruItem(QAction *item);
    // An entry was chosen; the list itself does not change.
    void mruFileListMruItemClick(const QString &path);

private:
    void rebuildMenu();
    void removeMenu();
    QAction *addItem(const QString &text, const QString &name);

    QPointer<QMenu> m_menu;
    QPointer<QAction> m_beforeAction;
    settings::Registry &m_registry;
    QString m_root;
    QStringList m_items;
    QPointer<QAction> m_separator;
    QPointer<QMenu> m_reopenMenu;
};

} // namespace bw
