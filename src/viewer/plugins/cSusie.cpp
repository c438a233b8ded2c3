#include "viewer/plugins/cSusie.h"

#include "core/MessageService.h"
#include "core/Options.h"
#include "core/PathFunctions.h"
#include "core/SettingsStore.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/plugins/PluginLoad.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/windows/WinePrefix.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>

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

// Waits for a plug-in call with the event loop running, so that the windows are drawn and the
// show goes on, and with the user's input held back until the call has ended, as a modal dialog
// holds it. Every call ends within its host's time limit.
void waitWithEventsRunning(PluginCall &call)
{
    if (call.isDone() || !QCoreApplication::instance()
        || QThread::currentThread() != QCoreApplication::instance()->thread())
        return;
    QEventLoop loop;
    call.onDone(&loop, [&loop] { loop.quit(); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // Also left when the program quits; the call then ends unheard.
    if (!call.isDone())
        call.cancel();
}

} // namespace

cSusie::cSusie(Options &options, PictureBuffer *picBack, MessageService &messages,
               const SettingsStore &store)
    : m_options(options)
    , m_picBack(picBack)
    , m_messages(messages)
    , m_store(store)
    , m_library(std::make_unique<SplayLibrary>())
{
    m_library->setWaiter(waitWithEventsRunning);
}

cSusie::~cSusie()
{
    // The load goes before the library whose calls it waits for.
    m_load.reset();
}

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

QString cSusie::noAnswerMessage(const QString &path)
{
    return QStringLiteral("Susie Plug-in「") + GetFileName(path)
        + QStringLiteral("」が応答しないため、終了しました。");
}

void cSusie::tellNoAnswer(const QString &path)
{
    m_messages.warning(noAnswerMessage(path));
}

QString cSusie::ShowAbout(const QString &path)
{
    if (path.isEmpty())
        return {};
    Loaded plugin(*m_library, path);
    if (!plugin) {
        if (m_library->lastCallUnanswered())
            tellNoAnswer(path);
        return {};
    }
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
    if (!plugin && !m_library->lastCallUnanswered())
        return -2;
    if (plugin) {
        const int32_t result = m_library->VBConfigurationDlgOrg(plugin.handle(), parent, fnc);
        if (!m_library->lastCallUnanswered())
            return result;
    }
    tellNoAnswer(path);
    return noAnswer;
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
    bool loaded = false;
    bool ended = false;
    const std::optional<bool> atOnce = beginLoadPicture(file, [&](bool ok) {
        loaded = ok;
        ended = true;
    });
    if (atOnce)
        return *atOnce;
    // Every call of the load ends within its limit; its answers come through the event loop.
    QEventLoop loop;
    while (!ended && !QCoreApplication::closingDown())
        loop.processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    if (!ended)
        cancelLoadPicture();
    return loaded;
}

std::optional<bool> cSusie::beginLoadPicture(const QString &file, std::function<void(bool)> done)
{
    cancelLoadPicture();
    try {
        // The head is read once for all plug-ins; each gets the same bytes.
        const std::optional<QByteArray> head = SplayLibrary::readHead(file);
        if (!head || !m_picBack)
            return false;
        m_load
            = std::make_unique<PluginLoad>(*m_library, lstSusie(), file, *head, [this, done, file] {
                  // Let go from the event loop: this runs inside the load.
                  PluginLoad *load = m_load.release();
                  const QImage picture = load->takePicture();
                  const int32_t decodedBy = load->decodedBy();
                  load->deleteLater();
                  bool ok = false;
                  try {
                      ok = adopt(picture, decodedBy, file);
                  } catch (const std::bad_alloc &) { }
                  done(ok);
              });
        m_load->run(quickAnswerMs);
        if (!m_load->isFinished())
            return std::nullopt;
        const QImage picture = m_load->takePicture();
        const int32_t decodedBy = m_load->decodedBy();
        m_load.reset();
        return adopt(picture, decodedBy, file);
    } catch (const std::bad_alloc &) {
        m_load.reset();
        return false;
    }
}

void cSusie::cancelLoadPicture()
{
    m_load.reset();
}

bool cSusie::adopt(QImage picture, int32_t decodedBy, const QString &file)
{
    if (picture.isNull() || !m_picBack)
        return false;
    m_picBack->setImage(std::move(picture));
    // The rest of an animation comes from the plug-in that decoded its first frame.
    m_picBack->setFrames(m_library->animationOf(decodedBy, file));
    return !m_picBack->isEmpty();
}
