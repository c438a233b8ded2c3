#include "viewer/plugins/SplayLibrary.h"

#include "core/UserFileReader.h"

#include "viewer/plugins/PluginFileKind.h"
#include "viewer/plugins/PluginFrameSource.h"
#include "viewer/plugins/windows/HostChannel.h"
#include "viewer/plugins/windows/WindowsPluginHost.h"
#include "viewer/plugins/windows/WineHostLauncher.h"

#include "lunetta_plugin.h"

#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include <dlfcn.h>
#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

using GetPluginInfoFn = int (*)(int, char *, int);
using IsSupportedFn = int (*)(const char *, const void *);
using GetPictureFn = int (*)(const char *, long, unsigned int, void **, void **,
                             LunettaProgressCallback, intptr_t);
using ConfigurationDlgFn = int (*)(uintptr_t, int);

qint64 modifiedStamp(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toMSecsSinceEpoch() ^ info.size() : -1;
}

} // namespace

struct SplayLibrary::Plugin
{
    void *library = nullptr;
    GetPluginInfoFn getPluginInfo = nullptr;
    IsSupportedFn isSupported = nullptr;
    GetPictureFn getPicture = nullptr;
    ConfigurationDlgFn configurationDlg = nullptr;
    PluginFrameSource::Functions animation;
    // A Windows plug-in: its host process instead of the functions above.
    std::unique_ptr<HostChannel> host;
    quint64 lastUse = 0;
    // Its file did not load after all (a host that never greeted); the handle is no more.
    bool dropped = false;
    // The library is never closed: codec libraries keep thread pools and thread-local data
    // whose clean-up code must stay mapped until the process ends.
};

SplayLibrary::SplayLibrary()
    : m_hostCommand([](int kind, const QString &path) {
        return WineHostLauncher::command(PluginFileKind::Kind(kind), path);
    })
    , m_hostLimits(WineHostLauncher::limits())
{
    // One decode at a time: a plug-in's codec library need not decode two pictures at once.
    m_decoder.setMaxThreadCount(1);
}

SplayLibrary::~SplayLibrary()
{
    m_decoder.clear();
    m_decoder.waitForDone();
}

void SplayLibrary::wait(PluginCall &call)
{
    // The owner's way of waiting may stop early (the program quits): the call then has failed.
    if (m_waiter)
        m_waiter(call);
    else
        call.wait();
}

void SplayLibrary::preload(const QStringList &paths)
{
    QThreadPool::globalInstance()->start([paths] {
        for (const QString &path : paths) {
            // The same checks as the loading proper: a pipe or a Windows file is not opened.
            if (QFileInfo(path).isFile() && PluginFileKind::of(path) == PluginFileKind::Native)
                // Kept open for the run, as every loaded plug-in is; the loading proper opens
                // the same library again and finds it mapped.
                dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        }
    });
}

int32_t SplayLibrary::VBLoadPlugin(const QString &path)
{
    m_unanswered = false;
    const int32_t handle = openPlugin(path);
    Plugin *p = plugin(handle);
    if (!p || !p->host)
        return handle;
    // Loading means the host answered with the plug-in loaded.
    const PluginCallPtr started = host(p).start();
    wait(*started);
    const PluginCall::Answer answer = started->answer();
    m_unanswered = answer.unanswered;
    if (answer.loaded)
        return handle;
    openPlugin(path); // forgets a plug-in whose host never greeted
    return 0;
}

int32_t SplayLibrary::openPlugin(const QString &path)
{
    if (path.isEmpty())
        return 0;
    if (const auto it = m_byPath.constFind(path); it != m_byPath.cend()) {
        Plugin *p = m_plugins[size_t(*it) - 1].get();
        if (!p->host)
            return *it;
        const HostChannel::State state = p->host->state();
        // A host that never greeted keeps its plug-in out until the file changes, as a file
        // that does not load.
        if (state.neverGreets() && state.busy == 0) {
            p->dropped = true;
            m_byPath.remove(path);
            return refuse(path);
        }
        // A Windows plug-in that failed too often is skipped for the rest of the run.
        return state.givenUp ? 0 : *it;
    }
    if (const auto it = m_failed.constFind(path);
        it != m_failed.cend() && *it == modifiedStamp(path))
        return 0;
    // Only regular files: dlopen on a pipe would wait for a writer.
    if (!QFileInfo(path).isFile())
        return refuse(path);

    auto p = std::make_unique<Plugin>();
    const PluginFileKind::Kind kind = PluginFileKind::of(path);
    if (kind == PluginFileKind::Windows32 || kind == PluginFileKind::Windows64) {
        const QStringList command = m_hostCommand ? m_hostCommand(kind, path) : QStringList();
        if (command.isEmpty())
            return refuse(path);
        // Started by its first call, on its own thread.
        p->host = std::make_unique<HostChannel>(command, m_hostLimits);
        return keep(path, std::move(p));
    }
    // Local symbols: every plug-in exports the same names.
    if (kind == PluginFileKind::Native)
        p->library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (p->library) {
        p->getPluginInfo = reinterpret_cast<GetPluginInfoFn>(dlsym(p->library, "GetPluginInfo"));
        p->isSupported = reinterpret_cast<IsSupportedFn>(dlsym(p->library, "IsSupported"));
        p->getPicture = reinterpret_cast<GetPictureFn>(dlsym(p->library, "GetPicture"));
        p->configurationDlg
            = reinterpret_cast<ConfigurationDlgFn>(dlsym(p->library, "ConfigurationDlg"));
        p->animation.open
            = reinterpret_cast<decltype(p->animation.open)>(dlsym(p->library, "OpenAnimation"));
        p->animation.frame = reinterpret_cast<decltype(p->animation.frame)>(
            dlsym(p->library, "GetAnimationFrame"));
        p->animation.close
            = reinterpret_cast<decltype(p->animation.close)>(dlsym(p->library, "CloseAnimation"));
    }
    if (!p->library || !p->getPluginInfo || !p->isSupported || !p->getPicture)
        return refuse(path);
    return keep(path, std::move(p));
}

int32_t SplayLibrary::refuse(const QString &path)
{
    m_failed.insert(path, modifiedStamp(path));
    return 0;
}

int32_t SplayLibrary::keep(const QString &path, std::unique_ptr<Plugin> plugin)
{
    m_plugins.push_back(std::move(plugin));
    const auto handle = int32_t(m_plugins.size());
    m_byPath.insert(path, handle);
    return handle;
}

void SplayLibrary::VBFreePlugin(int32_t &handle)
{
    handle = 0;
}

SplayLibrary::Plugin *SplayLibrary::plugin(int32_t handle)
{
    if (handle < 1 || size_t(handle) > m_plugins.size())
        return nullptr;
    Plugin *p = m_plugins[size_t(handle) - 1].get();
    return p->dropped || (p->host && p->host->state().givenUp) ? nullptr : p;
}

HostChannel &SplayLibrary::host(Plugin *p)
{
    p->lastUse = ++m_useCount;
    if (!p->host->state().running && runningHosts() >= maxRunningHosts) {
        // The one unused longest ends after the calls asked of it.
        Plugin *oldest = nullptr;
        for (const auto &other : m_plugins) {
            if (other->host && other.get() != p && other->host->state().running
                && (!oldest || other->lastUse < oldest->lastUse))
                oldest = other.get();
        }
        if (oldest)
            oldest->host->stop();
    }
    return *p->host;
}

int SplayLibrary::runningHosts() const
{
    int running = 0;
    for (const auto &p : m_plugins)
        running += p->host && p->host->state().running;
    return running;
}

int32_t SplayLibrary::VBGetPluginInfoOrg(int32_t handle, int32_t infoNo, QByteArray &buffer,
                                         int32_t bufferLength)
{
    buffer.clear();
    Plugin *p = plugin(handle);
    if (!p || bufferLength <= 0)
        return 0;
    if (p->host) {
        // The host sent every text when it started.
        const QList<QByteArray> infos = p->host->state().infos;
        if (infoNo < 0 || infoNo >= infos.size())
            return 0;
        buffer = infos[infoNo].left(bufferLength - 1);
        return buffer.isEmpty() ? 0 : 1;
    }
    // One byte more than offered, always NUL, so a plug-in that forgets the NUL cannot make
    // the text run past the buffer.
    QByteArray raw(bufferLength + 1, '\0');
    const int written = p->getPluginInfo(infoNo, raw.data(), bufferLength);
    if (written <= 0)
        return 0;
    buffer = QByteArray(raw.constData()); // cut at the first NUL
    return buffer.isEmpty() ? 0 : 1;
}

int32_t SplayLibrary::VBConfigurationDlgOrg(int32_t handle, uintptr_t parent, int32_t fnc)
{
    Plugin *p = plugin(handle);
    if (!p)
        return -2;
    if (p->host) {
        const PluginCallPtr call = host(p).configurationDlg(fnc);
        wait(*call);
        const PluginCall::Answer answer = call->answer();
        m_unanswered = answer.unanswered;
        return call->isDone() ? answer.result : -2;
    }
    if (!p->configurationDlg)
        return LUNETTA_SPI_NOT_IMPLEMENTED;
    return p->configurationDlg(parent, fnc);
}

int32_t SplayLibrary::VBIsSupportedOrg(int32_t handle, const QString &path, const QByteArray &head)
{
    const PluginCallPtr call = beginIsSupported(handle, path, head);
    wait(*call);
    const PluginCall::Answer answer = call->answer();
    return answer.loaded && answer.result != 0 ? 1 : 0;
}

PluginCallPtr SplayLibrary::beginIsSupported(int32_t handle, const QString &path,
                                             const QByteArray &head)
{
    Plugin *p = plugin(handle);
    if (!p)
        return PluginCall::answered({});
    if (p->host)
        return host(p).isSupported(path, head);
    // The plug-in looks at the head in memory: no reason to leave this thread.
    QByteArray padded = head.left(LUNETTA_PLUGIN_HEAD_SIZE);
    padded.append(LUNETTA_PLUGIN_HEAD_SIZE - padded.size(), '\0');
    PluginCall::Answer answer;
    answer.loaded = true;
    answer.result
        = p->isSupported(QFile::encodeName(path).constData(), padded.constData()) != 0 ? 1 : 0;
    return PluginCall::answered(std::move(answer));
}

PluginCallPtr SplayLibrary::beginDecode(int32_t handle, const QString &path)
{
    Plugin *p = plugin(handle);
    if (!p)
        return PluginCall::answered({});
    if (p->host)
        return host(p).getPicture(path);
    auto call = std::make_shared<PluginCall>();
    m_decoder.start([call, getPicture = p->getPicture, name = QFile::encodeName(path)] {
        PluginCall::Answer answer;
        if (!call->isCancelled()) {
            call->setPhase(PluginCall::Phase::Calling);
            answer.loaded = true;
            try {
                void *infoBlock = nullptr;
                void *bitsBlock = nullptr;
                answer.result = getPicture(name.constData(), 0, LUNETTA_SPI_INPUT_FILE, &infoBlock,
                                           &bitsBlock, nullptr, 0);
                // Whatever the result, blocks handed out are ours to free.
                PluginBlock info = adoptPluginBlock(infoBlock);
                PluginBlock bits = adoptPluginBlock(bitsBlock);
                if (answer.result == LUNETTA_SPI_OK) {
                    answer.picture = PluginCall::pictureOf(info, bits);
                    if (answer.picture.isNull())
                        answer.result = LUNETTA_SPI_INTERNAL_ERROR;
                }
            } catch (const std::bad_alloc &) {
                answer.result = LUNETTA_SPI_INTERNAL_ERROR;
                answer.picture = QImage();
            }
        }
        call->finish(std::move(answer));
    });
    return call;
}

int32_t SplayLibrary::VBGetPictureOrg(int32_t handle, const QString &path, long offset,
                                      unsigned flag, PluginBlock &info, PluginBlock &bits)
{
    info = PluginBlock();
    bits = PluginBlock();
    Plugin *p = plugin(handle);
    if (!p)
        return LUNETTA_SPI_INTERNAL_ERROR;
    if (p->host) {
        // The host reads files only; the offset and flag are always 0 here.
        if (offset != 0 || flag != LUNETTA_SPI_INPUT_FILE)
            return LUNETTA_SPI_INTERNAL_ERROR;
        auto blocks = std::make_shared<HostChannel::Blocks>();
        const PluginCallPtr call = host(p).getPicture(path, blocks);
        wait(*call);
        const PluginCall::Answer answer = call->answer();
        if (!answer.loaded || answer.result < 0)
            return LUNETTA_SPI_INTERNAL_ERROR;
        info = std::move(blocks->info);
        bits = std::move(blocks->bits);
        return answer.result;
    }
    void *infoBlock = nullptr;
    void *bitsBlock = nullptr;
    const int result = p->getPicture(QFile::encodeName(path).constData(), offset, flag, &infoBlock,
                                     &bitsBlock, nullptr, 0);
    // Whatever the result, blocks handed out are ours to free.
    info = adoptPluginBlock(infoBlock);
    bits = adoptPluginBlock(bitsBlock);
    return result;
}

FrameSourceOpener SplayLibrary::animationOf(int32_t handle, const QString &path)
{
    // A Windows plug-in hands out single pictures only.
    const Plugin *p = plugin(handle);
    return p && !p->host ? PluginFrameSource::opener(p->animation, path) : FrameSourceOpener();
}

std::optional<QByteArray> SplayLibrary::readHead(const QString &path)
{
    auto head = UserFileReader::readStart(path, LUNETTA_PLUGIN_HEAD_SIZE);
    if (head)
        head->append(LUNETTA_PLUGIN_HEAD_SIZE - head->size(), '\0');
    return head;
}
