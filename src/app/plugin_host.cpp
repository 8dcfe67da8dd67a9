#include "app/plugin_host.h"

#include "app/data_module.h"
#include "app/plugin_file_check.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QMenu>
#include <QSet>

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace bw {

namespace {

using InitProc = void (*)(void *);
using TextProc = const char *(*)();

constexpr QRgb kTransparentKey = 0xFFFF00FF;

// The text a plug-in returned, copied at once; null reads as empty.
QString copyText(const char *text)
{
    return text ? QString::fromUtf8(text, qsizetype(std::strlen(text))) : QString();
}

void *programHandle()
{
    static void *const handle = dlopen(nullptr, RTLD_LAZY);
    return handle;
}

} // namespace

QImage pluginImageFromBmp(const QByteArray &bytes)
{
    QImage image;
    if (!image.loadFromData(bytes, "BMP"))
        return {};
    if (image.size() != QSize(PluginHost::kImageSize, PluginHost::kImageSize))
        image = image.scaled(PluginHost::kImageSize, PluginHost::kImageSize);
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == kTransparentKey)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

PluginHost::PluginHost(Log log) : m_log(std::move(log))
{
    if (!m_log)
        m_log = [](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); };
}

PluginHost::~PluginHost()
{
    unloadPlugins();
}

QStringList PluginHost::defaultFolders()
{
    const QString program = QCoreApplication::applicationDirPath();
    return {program, QDir::cleanPath(program + QStringLiteral("/../lib/bramblewick"))};
}

void PluginHost::loadPlugins(const QStringList &folders)
{
    QSet<QString> seen;
    QSet<QString> scanned;
    for (const QString &folder : folders) {
        const QString canonical = QDir(folder).canonicalPath();
        if (canonical.isEmpty() || scanned.contains(canonical))
            continue;
        scanned.insert(canonical);
        const QDir dir(canonical);
        const QStringList names = dir.entryList({QString::fromLatin1(kPattern)},
                                                QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &name : names) {
            if (seen.contains(name))
                continue;
            seen.insert(name);
            loadPlugin(dir.filePath(name));
        }
    }
}

bool PluginHost::loadPlugin(const QString &path)
{
    // Checked before the loader maps it: a library cut short would end the
    // program with SIGBUS rather than fail to load.
    if (const QString problem = pluginFileProblem(path); !problem.isEmpty()) {
        skip(path, problem);
        return false;
    }
    auto library = std::make_shared<QLibrary>(path);
    if (!library->load()) {
        skip(path, library->errorString());
        return false;
    }
    const auto init = reinterpret_cast<InitProc>(library->resolve("InitPlugin"));
    const auto signature = reinterpret_cast<TextProc>(library->resolve("GetPluginSignature"));
    const auto caption = reinterpret_cast<TextProc>(library->resolve("GetPluginMenuCaption"));
    const auto onClick =
        reinterpret_cast<PluginEntry::OnClickProc>(library->resolve("SetPluginOnClick"));
    const auto *bitmap = reinterpret_cast<const char *>(library->resolve("MAINBITMAP"));
    const auto *bitmapSize =
        reinterpret_cast<const std::uint32_t *>(library->resolve("MAINBITMAP_size"));
    const char *missing = !init         ? "InitPlugin"
                          : !signature  ? "GetPluginSignature"
                          : !caption    ? "GetPluginMenuCaption"
                          : !onClick    ? "SetPluginOnClick"
                          : !bitmap     ? "MAINBITMAP"
                          : !bitmapSize ? "MAINBITMAP_size"
                                        : nullptr;
    if (missing) {
        skip(path, QStringLiteral("it has no export %1").arg(QLatin1String(missing)));
        library->unload();
        return false;
    }
    PluginEntry plugin;
    plugin.Image = pluginImageFromBmp(QByteArray::fromRawData(bitmap, qsizetype(*bitmapSize)));
    if (plugin.Image.isNull()) {
        skip(path, QStringLiteral("its MAINBITMAP is not a BMP image"));
        library->unload();
        return false;
    }
    init(programHandle());
    plugin.Signature = copyText(signature());
    plugin.MenuCaption = copyText(caption());
    plugin.OnClick = onClick;
    plugin.Handle = std::move(library);
    if (!m_pluginList)
        m_pluginList.emplace();
    m_pluginList->append(std::move(plugin));
    return true;
}

void PluginHost::buildPluginMenu(QMenu *menu, const Connect &connect)
{
    if (!m_pluginList || !menu)
        return;
    // The first plug-in enables the submenu and takes the place of its
    // disabled empty item.
    menu->menuAction()->setEnabled(true);
    menu->clear();
    m_items.clear();
    for (int i = 0; i < m_pluginList->size(); ++i) {
        auto *item = new QAction(m_pluginList->at(i).MenuCaption, menu);
        item->setData(i); // the tag
        menu->addAction(item);
        m_items.append(item);
        connect(item, [this, i] { pluginClick(i); });
    }
}

void PluginHost::loadPluginImages(ImageList &images)
{
    if (!m_pluginList)
        return;
    for (int i = 0; i < m_pluginList->size(); ++i) {
        const int index = images.add(QIcon(QPixmap::fromImage(m_pluginList->at(i).Image)));
        if (i < m_items.size())
            m_items[i]->setIcon(images.icon(index));
    }
}

void PluginHost::pluginClick(int index) const
{
    if (!m_pluginList || index < 0 || index >= m_pluginList->size())
        return;
    m_pluginList->at(index).OnClick();
}

void PluginHost::unloadPlugins()
{
    if (!m_pluginList)
        return;
    for (PluginEntry &plugin : *m_pluginList) {
        plugin.OnClick = nullptr;
        if (plugin.Handle)
            plugin.Handle->unload();
    }
    m_pluginList.reset();
    m_items.clear();
}

void PluginHost::skip(const QString &path, const QString &reason) const
{
    m_log(QStringLiteral("bramblewick: plug-in %1 skipped: %2").arg(path, reason));
}

} // namespace bw
