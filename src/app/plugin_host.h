#pragma once
// PluginHost loads the plug-in libraries ("*.plg") of the program's folders,
// lists them in the Plug-ins submenu with their images, calls a plug-in when
// its item is picked, and frees the libraries when it goes. The interface of
// a plug-in is plugins/bramblewick_plugin.h.

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLibrary;
class QMenu;

namespace bw {

class ImageList;

// One loaded plug-in.
struct PluginEntry
{
    using OnClickProc = void (*)();

    std::shared_ptr<QLibrary> Handle;
    QString Signature;
    QString MenuCaption;
    OnClickProc OnClick = nullptr;
    QImage Image; // 16 x 16, magenta made transparent
};

class PluginHost
{
public:
    // Where each skipped file and its reason are reported.
    using Log = std::function<void(const QString &line)>;
    // Connects a menu item to its click handler (the frame's guarded route).
    using Connect = std::function<void(QAction *item, std::function<void()> click)>;

    static constexpr char kPattern[] = "*.plg";
    static constexpr int kImageSize = 16;

    explicit PluginHost(Log log = {});
    ~PluginHost();
    PluginHost(const PluginHost &) = delete;
    PluginHost &operator=(const PluginHost &) = delete;

    // The program's folder, then its plug-in folder beside it.
    static QStringList defaultFolders();

    // Loads every plug-in file of the folders, each folder's files in name
    // order; hidden files and folders are skipped, and so is a file whose name
    // was already loaded from an earlier folder.
    void loadPlugins(const QStringList &folders);
    // Loads one file; false when it was skipped (and logged).
    bool loadPlugin(const QString &path);
    // Puts one item per plug-in into menu (tag and image index = its index),
    // replacing the empty item; menu stays as it is without plug-ins.
    void buildPluginMenu(QMenu *menu, const Connect &connect);
    // Adds each plug-in's image to images, in list order, and shows them on
    // the items buildPluginMenu made.
    void loadPluginImages(ImageList &images);
    // Runs the OnClick of the plug-in at index.
    void pluginClick(int index) const;
    // Frees every library in list order and drops the list.
    void unloadPlugins();

    // Empty until the first plug-in is loaded.
    const std::optional<QList<PluginEntry>> &pluginList() const { return m_pluginList; }

private:
    void skip(const QString &path, const QString &reason) const;

    Log m_log;
    std::optional<QList<PluginEntry>> m_pluginList;
    QList<QAction *> m_items;
};

// Reads a plug-in image: BMP bytes, 16 x 16 (other sizes are scaled), with
// magenta pixels made transparent. A null image when the bytes are no BMP.
QImage pluginImageFromBmp(const QByteArray &bytes);

} // namespace bw
