#include "data_module.h"

#include "options/system_colors.h"
#include "settings/encodings.h"
#include "settings/settings_catalogue.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>

namespace bw {

namespace {

constexpr const char *kFileNotFound = "%1\nFile not found.\nCheck the file name and try again.";
constexpr const char *kPathNotFound = "%1\nPath does not exist.\nCheck the path and try again.";
constexpr const char *kBrowseCaption = "Browse For Folder";
constexpr const char *kBrowseTitle = "Choose a Folder:";
constexpr const char *kPictureFilter =
    "All (*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.ico)|*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.ico|"
    "GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
    "PNG Image (*.png)|*.png|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico";

} // namespace

// ---- FileDialog ----

FileDialog::FileDialog(const QString &name, Mode mode, PromptService &prompts, QObject *parent)
    : QObject(parent), m_prompts(prompts), m_mode(mode)
{
    setObjectName(name);
    m_title = mode == Mode::Open ? QStringLiteral("Open") : QStringLiteral("Save As");
}

std::optional<QString> FileDialog::rejectReason(const QString &file) const
{
    const QFileInfo info(file);
    if (m_mode == Mode::Open && !info.isFile())
        return QString::fromLatin1(kFileNotFound).arg(QDir::toNativeSeparators(file));
    if (m_mode == Mode::Save && !info.absoluteDir().exists())
        return QString::fromLatin1(kPathNotFound).arg(QDir::toNativeSeparators(file));
    return std::nullopt;
}

bool FileDialog::execute(QWidget *parent)
{
    PromptService::FileRequest request;
    request.caption = m_title;
    request.initialDir = m_initialDir;
    request.fileName = m_fileName;
    request.filter = m_filter;
    request.filterIndex = m_filterIndex;
    request.defaultExt = m_defaultExt;
    request.mustExist = m_mode == Mode::Open;
    request.promptOverwrite = m_mode == Mode::Save;
    for (;;) {
        const auto answer = m_mode == Mode::Open ? m_prompts.openFile(parent, request)
                                                 : m_prompts.saveFile(parent, request);
        if (!answer || answer->fileName.isEmpty())
            return false;
        // Like the system dialog, a name that cannot be used is reported and asked again.
        if (const auto reason = rejectReason(answer->fileName)) {
            m_prompts.message(parent, m_title, *reason, PromptService::Icon::Warning,
                              PromptService::Ok);
            request.fileName = answer->fileName;
            continue;
        }
        m_fileName = QFileInfo(answer->fileName).absoluteFilePath();
        m_filterIndex = answer->filterIndex;
        m_initialDir = QFileInfo(m_fileName).absolutePath();
        return true;
    }
}

// ---- ColorDialog ----

ColorDialog::ColorDialog(PromptService &prompts, QObject *parent)
    : QObject(parent), m_prompts(prompts),
      m_color(ColorValue::fromText(settings::defaultText(settings::Key::ColorDialog_Color))),
      m_customColors(settings::defaultCustomColors())
{
    setObjectName(QStringLiteral("ColorDialog"));
}

bool ColorDialog::execute(QWidget *parent)
{
    QList<QColor> custom;
    for (const QString &entry : std::as_const(m_customColors)) {
        const ColorValue c = settings::parseCustomColorEntry(entry).value_or(ColorValue(-1));
        custom << (c.raw() == -1 ? QColor(Qt::white) : toQColor(c));
    }
    const auto chosen = m_prompts.chooseColor(parent, toQColor(m_color), &custom);
    QStringList entries;
    for (int i = 0; i < custom.size() && i < 16; ++i)
        entries << settings::customColorEntry(i, colorValueFromQColor(custom[i]));
    if (entries.size() == 16)
        m_customColors = entries;
    if (!chosen)
        return false;
    m_color = colorValueFromQColor(*chosen);
    return true;
}

// ---- DataModule ----

DataModule::DataModule(PromptService &prompts, settings::Registry *registry,
                       const VersionResource &resource, QObject *parent)
    : QObject(parent), m_prompts(prompts), m_registry(registry)
{
    setObjectName(QStringLiteral("frmDataModule"));
    frmDataModuleCreate(resource);
    // A change of the desktop's palette reaches the application object.
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

DataModule::~DataModule()
{
    releaseResources();
}

void DataModule::readVersionInfo(const VersionResource &resource)
{
    m_version = readVersionFields(resource);
}

void DataModule::frmDataModuleCreate(const VersionResource &resource)
{
    readVersionInfo(resource);
    createDialogs();
    createImageLists();
    m_store = std::make_unique<RegistryRXL>(this, m_registry);
    m_store->setRoot(registryRoot());
    m_store->setVersion(storageVersion());
    m_store->bindSection(settings::Section::DataModule);
    m_store->restore();
}

void DataModule::releaseResources()
{
    // Runs from the destructor: a failure to write must not end the program.
    try {
        if (m_store)
            m_store->save();
    } catch (...) {
    }
}

void DataModule::createDialogs()
{
    using settings::Key;
    m_openDialog =
        new FileDialog(QStringLiteral("OpenDialog"), FileDialog::Mode::Open, m_prompts, this);
    m_saveDialog =
        new FileDialog(QStringLiteral("SaveDialog"), FileDialog::Mode::Save, m_prompts, this);
    m_openPictureDialog = new FileDialog(QStringLiteral("OpenPictureDialog1"),
                                         FileDialog::Mode::Open, m_prompts, this);
    m_savePictureDialog = new FileDialog(QStringLiteral("SavePictureDialog1"),
                                         FileDialog::Mode::Save, m_prompts, this);
    m_openPictureDialog->setFilter(QString::fromLatin1(kPictureFilter));
    m_savePictureDialog->setFilter(QString::fromLatin1(kPictureFilter));
    m_openDialog->setInitialDir(settings::defaultText(Key::OpenDialog_InitialDir));
    m_saveDialog->setInitialDir(settings::defaultText(Key::SaveDialog_InitialDir));
    m_openPictureDialog->setInitialDir(settings::defaultText(Key::OpenPictureDialog1_InitialDir));
    m_savePictureDialog->setInitialDir(settings::defaultText(Key::SavePictureDialog1_InitialDir));
    m_colorDialog = new ColorDialog(m_prompts, this);
}

bool DataModule::firstTime() const
{
    return settings::decodeBool(m_store->namedValue(settings::valueName(settings::Key::FirstTime)))
        .value_or(true);
}

void DataModule::setFirstTime(bool value)
{
    m_store->setNamedValue(settings::valueName(settings::Key::FirstTime),
                           settings::encodeBool(value));
}

bool DataModule::printDialogExecute(QWidget *parent, QPrinter *printer)
{
    printer->setCollateCopies(true);
    return m_prompts.print(parent, printer);
}

bool DataModule::printerSetupDialogExecute(QWidget *parent, QPrinter *printer)
{
    return m_prompts.pageSetup(parent, printer);
}

std::optional<QString> DataModule::browseDirectory(QWidget *parent, const QString &initialDir)
{
    return m_prompts.chooseDirectory(parent, QString::fromLatin1(kBrowseCaption),
                                     QString::fromLatin1(kBrowseTitle), initialDir);
}

std::optional<PromptService::FontAnswer>
DataModule::fontDialogExecute(QWidget *parent, const PromptService::FontAnswer &initial)
{
    return m_prompts.chooseFont(parent, initial,
                                [this](const PromptService::FontAnswer &f) { fontDialogApply(f); });
}

void DataModule::fontDialogApply(const PromptService::FontAnswer &font)
{
    if (m_fontApply && m_fontApply(font))
        return;
    QApplication::beep();
    emit beeped();
}

} // namespace bw
