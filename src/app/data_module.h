#pragma once
// The shared data module: the program's identity from its version
// information, the settings root and version that every settings store binds
// to, its own settings section, the shared image lists and the shared common
// dialogs (all asked through the prompt service).

#include "app/version_info.h"
#include "options/registry_rxl.h"
#include "platform/prompt_service.h"
#include "settings/color_value.h"

#include <QFont>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QPalette;
class QPrinter;
class QWidget;

namespace bw {

// An image list of one role, by the image indices the command catalogue uses.
class ImageList
{
public:
    ImageList(const QString &name, QSize size) : m_name(name), m_size(size) {}
    QString name() const { return m_name; }
    QSize size() const { return m_size; }
    int count() const { return int(m_icons.size()); }
    QIcon icon(int index) const; // a null icon when out of range
    QPixmap pixmap(int index, QIcon::Mode mode = QIcon::Normal) const;
    int add(const QIcon &icon); // returns the new index
    void clear() { m_icons.clear(); }

private:
    QString m_name;
    QSize m_size;
    QList<QIcon> m_icons;
};

// A shared file dialog (open, save, picture open, picture save).
class FileDialog : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString initialDir READ initialDir WRITE setInitialDir)
public:
    enum class Mode { Open, Save };
    FileDialog(const QString &name, Mode mode, PromptService &prompts, QObject *parent);

    QString initialDir() const { return m_initialDir; }
    void setInitialDir(const QString &dir) { m_initialDir = dir; }
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    // The pipe form: "Text (*.txt)|*.txt|All Files (*.*)|*.*".
    QString filter() const { return m_filter; }
    void setFilter(const QString &filter) { m_filter = filter; }
    int filterIndex() const { return m_filterIndex; } // 1-based
    void setFilterIndex(int index) { m_filterIndex = index; }
    QString defaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &ext) { m_defaultExt = ext; }
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    Mode mode() const { return m_mode; }

    // Asks for a file; true with fileName() and filterIndex() set when chosen.
    // Open accepts existing files only; save needs an existing folder (the
    // overwrite question is the prompt service's). The folder of the chosen
    // file becomes the initial folder.
    bool execute(QWidget *parent = nullptr);

private:
    std::optional<QString> rejectReason(const QString &file) const;

    PromptService &m_prompts;
    Mode m_mode;
    QString m_initialDir, m_title, m_filter, m_defaultExt, m_fileName;
    int m_filterIndex = 1;
};

// The shared colour dialog: its colour and custom colours are stored.
class ColorDialog : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int colorValue READ colorValue WRITE setColorValue)
    Q_PROPERTY(QStringList customColors READ customColors WRITE setCustomColors)
public:
    ColorDialog(PromptService &prompts, QObject *parent);
    int colorValue() const { return m_color.raw(); }
    void setColorValue(int raw) { m_color = ColorValue(raw); }
    ColorValue color() const { return m_color; }
    void setColor(ColorValue color) { m_color = color; }
    // "ColorA=FFFFFFFF" ... "ColorP=C8D0D4".
    QStringList customColors() const { return m_customColors; }
    void setCustomColors(const QStringList &colors) { m_customColors = colors; }
    bool execute(QWidget *parent = nullptr);

private:
    PromptService &m_prompts;
    ColorValue m_color;
    QStringList m_customColors;
};

class DataModule : public QObject
{
    Q_OBJECT
public:
    // Runs the creation (version information, settings root, restore of the
    // section). registry: the settings file; nullptr means the user's own.
    explicit DataModule(PromptService &prompts, settings::Registry *registry = nullptr,
                        const VersionResource &resource = programVersionResource(),
                        QObject *parent = nullptr);
    // Saves the section.
    ~DataModule() override;

    // Identity and settings root (set once at creation).
    const QString &companyName() const { return m_version.companyName; }
    const QString &productName() const { return m_version.productName; }
    const QString &fileVersion() const { return m_version.fileVersion; }
    const QString &legalCopyright() const { return m_version.legalCopyright; }
    const QString &registryRoot() const { return m_version.registryRoot; }
    int storageVersion() const { return m_version.storageVersion; }

    // The data module's settings store (section DataModule).
    RegistryRXL &settingsStore() { return *m_store; }
    bool firstTime() const;
    void setFirstTime(bool value);

    // Shared dialogs.
    FileDialog *openDialog() const { return m_openDialog; }
    FileDialog *saveDialog() const { return m_saveDialog; }
    FileDialog *openPictureDialog() const { return m_openPictureDialog; }
    FileDialog *savePictureDialog() const { return m_savePictureDialog; }
    ColorDialog *colorDialog() const { return m_colorDialog; }
    bool printDialogExecute(QWidget *parent, QPrinter *printer);
    bool printerSetupDialogExecute(QWidget *parent, QPrinter *printer);
    // Folder choice "Browse For Folder"; nullopt when cancelled.
    std::optional<QString> browseDirectory(QWidget *parent, const QString &initialDir);

    // The font dialog with Apply. The handler applies the font to the active
    // document window's editor and returns false when the editor does not
    // have the focus (then the Apply only beeps).
    using FontApplyHandler = std::function<bool(const PromptService::FontAnswer &)>;
    void setFontApplyHandler(FontApplyHandler handler) { m_fontApply = std::move(handler); }
    std::optional<PromptService::FontAnswer>
    fontDialogExecute(QWidget *parent, const PromptService::FontAnswer &initial);
    void fontDialogApply(const PromptService::FontAnswer &font);

    // Image lists by role.
    enum class Images {
        Common,
        CommonDis,
        TreeView,
        OptionsTreeView16,
        OptionsTreeView32,
        Plugins,
        StatusBar,
        Search,
        GridHeaderSort,
        Colors,
    };
    ImageList &images(Images role);
    ImageList &imlCommon() { return images(Images::Common); }
    ImageList &imlCommonDis() { return images(Images::CommonDis); }
    ImageList &imlTreeView() { return images(Images::TreeView); }
    ImageList &imlOptionsTreeView16() { return images(Images::OptionsTreeView16); }
    ImageList &imlOptionsTreeView32() { return images(Images::OptionsTreeView32); }
    ImageList &imlPlugins() { return images(Images::Plugins); }
    ImageList &imlStatusBar() { return images(Images::StatusBar); }
    ImageList &imlSearch() { return images(Images::Search); }
    ImageList &imlGridHeaderSort() { return images(Images::GridHeaderSort); }
    ImageList &imlColors() { return images(Images::Colors); }

    // The icon theme for a palette: the dark variant on a dark window colour.
    static QString iconThemeFor(const QPalette &palette);
    // Picks the icon theme of the application's palette (done on each change
    // of the palette).
    void followPalette();

signals:
    // The font dialog's Apply found no editor to apply to (after the beep).
    void beeped();

private:
    void frmDataModuleCreate(const VersionResource &resource);
    void releaseResources();
    void readVersionInfo(const VersionResource &resource);
    void createDialogs();
    void createImageLists();
    void fillDisabled();
    bool eventFilter(QObject *watched, QEvent *event) override;

    PromptService &m_prompts;
    settings::Registry *m_registry;
    VersionFields m_version;
    std::unique_ptr<RegistryRXL> m_store;
    FileDialog *m_openDialog = nullptr;
    FileDialog *m_saveDialog = nullptr;
    FileDialog *m_openPictureDialog = nullptr;
    FileDialog *m_savePictureDialog = nullptr;
    ColorDialog *m_colorDialog = nullptr;
    FontApplyHandler m_fontApply;
    QList<ImageList> m_imageLists;
};

} // namespace bw
