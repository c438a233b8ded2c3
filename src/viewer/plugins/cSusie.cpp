#include "viewer/plugins/cSusie.h"

#include "core/MessageService.h"
#include "core/Options.h"
#include "core/SettingsStore.h"
#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/DibImage.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/windows/WinePrefix.h"

#include "lunetta_plugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <new>

namespace {

const QString folderSection = QStringLiteral("Susie");
const QString folderKey = QStringLiteral("Path");
const QString windowsFolderKey = QStringLiteral("WindowsPath");

QString text(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes);
}

// Keeps a plug-in loaded for the span of one operation, as the library's callers must.
class Loaded
{
public:
    Loaded(SplayLibrary &library, const QString &path)
        : m_library(library)
        , m_handle(library.VBLoadPlugin(path))
    { }
    ~Loaded() { m_library.VBFreePlugin(m_handle); }
    Loaded(const Loaded &) = delete;
    Loaded &operator=(const Loaded &) = delete;
    int32_t handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != 0; }

private:
    SplayLibrary &m_library;
    int32_t m_handle;
};

} // namespace

cSusie::cSusie(Options &options, PictureBuffer *picBack, MessageService &messages,
               const SettingsStore &store)
    : m_options(options)
    , m_picBack(picBack)
    , m_messages(messages)
    , m_store(store)
    , m_library(std::make_unique<SplayLibrary>())
{ }

cSusie::~cSusie() = default;

QStringList cSusie::lstSusie() const
{
    return m_options.susiePlugins();
}

QString cSusie::progressText(int num, int denom)
{
    if (num == 0)
        return QStringLiteral("展開開始");
    if (num == denom)
        return QStringLiteral("展開完了 (100%)");
    const qint64 percent = denom != 0 ? qint64(num) * 100 / denom : 0;
    return QStringLiteral("展開中 (") + QString::number(percent) + QStringLiteral("%)");
}

int cSusie::ProgressCallback(int num, int denom, intptr_t)
{
    if (m_caption)
        m_caption(progressText(num, denom));
    return 0;
}

int32_t cSusie::GetSplayVersion() const
{
    return m_library->VBGetSplaySubsetVersion();
}

QString cSusie::installedPluginFolder()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("plugins"));
    if (QFileInfo(beside).isDir())
        return beside + u'/';
    return QDir::cleanPath(programFolder.filePath(QStringLiteral(LUNETTA_PLUGIN_INSTALL_RELDIR)))
        + u'/';
}

QString cSusie::GetSusiePluginFolder() const
{
    const QString stored = m_store.GetSetting(folderSection, folderKey);
    return stored.isEmpty() ? installedPluginFolder() : stored;
}

QStringList cSusie::pluginSearchFolders() const
{
    QStringList folders { GetSusiePluginFolder() };
    const QString prefix = WinePrefix::folder();
    const QString registry = WinePrefix::susiePluginPath(prefix);
    for (QString folder :
         { m_store.GetSetting(folderSection, windowsFolderKey),
           registry.isEmpty() ? QString() : WinePrefix::toUnixPath(prefix, registry) }) {
        if (folder.isEmpty())
            continue;
        if (!folder.endsWith(u'/'))
            folder += u'/';
        if (!folders.contains(folder))
            folders.append(folder);
    }
    return folders;
}

int32_t cSusie::GetPluginFileName(const QString &folder, QStringList &paths)
{
    QString base = folder;
    if (!base.endsWith(u'/'))
        base += u'/';
    // "*.sph" are the 64-bit Windows plug-ins; the file's contents tell what each really is.
    const QStringList names
        = QDir(base).entryList({ QStringLiteral("*.spi"), QStringLiteral("*.sph") },
                               QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : names) {
        const QString path = base + name;
        if (IsPlugin(path))
            paths.append(path);
    }
    return int32_t(paths.size()) - 1;
}

bool cSusie::IsPlugin(const QString &path)
{
    return bool(Loaded(*m_library, path));
}

QString cSusie::GetPluginAPIVersion(const QString &path)
{
    Loaded plugin(*m_library, path);
    if (!plugin)
        return {};
    QByteArray buffer;
    if (!m_library->VBGetPluginInfoOrg(plugin.handle(), 0, buffer, 8))
        return {};
    return text(buffer).trimmed().toUpper();
}

int32_t cSusie::GetPluginCorrespondExtension(const QString &path, QStringList &extensions,
                                             QStringList &fileTypes)
{
    Loaded plugin(*m_library, path);
    if (!plugin)
        return 0;
    int32_t count = 0;
    // A plug-in that never answers empty would loop forever; no real one states that many.
    for (int32_t i = 0; i < 1000; ++i) {
        QByteArray pattern;
        if (!m_library->VBGetPluginInfoOrg(plugin.handle(), 2 * i + 2, pattern, 255))
            break;
        QByteArray type;
        m_library->VBGetPluginInfoOrg(plugin.handle(), 2 * i + 3, type, 255);
        extensions.append(text(pattern));
        fileTypes.append(text(type));
        ++count;
    }
    return count;
}

QString cSusie::ShowAbout(const QString &path)
{
    if (path.isEmpty())
        return {};
    Loaded plugin(*m_library, path);
    if (!plugin)
        return {};
    QByteArray buffer;
    if (!m_library->VBGetPluginInfoOrg(plugin.handle(), 1, buffer, 1024))
        return {};
    const QString about = text(buffer);
    m_messages.show({ about, MsgIcon::None, MsgButtons::Ok, MsgResult::Ok,
                      QStringLiteral("Susie Plugin情報") });
    return about;
}

int32_t cSusie::ShowConfigurationDlg(const QString &path, int32_t fnc, uintptr_t parent)
{
    if (path.isEmpty())
        return -2;
    Loaded plugin(*m_library, path);
    if (!plugin)
        return -2;
    return m_library->VBConfigurationDlgOrg(plugin.handle(), parent, fnc);
}

QString cSusie::GetSupportPlugin(const QString &file)
{
    try {
        // The head is read once for all plug-ins; each gets the same bytes.
        const std::optional<QByteArray> head = SplayLibrary::readHead(file);
        if (!head)
            return {};
        for (const QString &entry : lstSusie()) {
            Loaded plugin(*m_library, entry);
            if (plugin && m_library->VBIsSupportedOrg(plugin.handle(), file, *head))
                return entry;
        }
    } catch (const std::exception &) { }
    return {};
}

bool cSusie::LoadPicture(const QString &file)
{
    try {
        const QString entry = GetSupportPlugin(file);
        if (entry.isEmpty() || !m_picBack)
            return false;
        Loaded plugin(*m_library, entry);
        if (!plugin)
            return false;
        PluginBlock info;
        PluginBlock bits;
        if (m_library->VBGetPictureOrg(plugin.handle(), file, 0, LUNETTA_SPI_INPUT_FILE, info, bits)
            != LUNETTA_SPI_OK)
            return false;
        QImage image = DibImage::fromBlocks(info.data.get(), info.size, bits.data.get(), bits.size,
                                            LUNETTA_PICTURE_BYTES_LIMIT);
        // The plug-in's blocks go before the picture is converted for drawing.
        info = PluginBlock();
        bits = PluginBlock();
        if (image.isNull())
            return false;
        // A plug-in that told the picture's colours has it shown in the display's.
        m_picBack->setImage(ColourConversion::toDisplay(std::move(image)));
        m_picBack->setFrames(m_library->animationOf(plugin.handle(), file));
        return !m_picBack->isEmpty();
    } catch (const std::bad_alloc &) {
        return false;
    }
}
