#pragma once

#include "viewer/picture/FrameSource.h"
#include "viewer/plugins/PluginBlock.h"
#include "viewer/plugins/PluginCall.h"
#include "viewer/plugins/windows/WindowsPluginHost.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class HostChannel;

// The plug-in access library: loads Lunetta's own plug-ins with dlopen, starts a host process
// under Wine for a Windows plug-in ("*.spi", "*.sph"), and forwards the standard plug-in calls
// to them. A handle is non-zero on success. A plug-in stays loaded from its first use to the
// end of the run: reloading a codec library for every file would cost milliseconds per plug-in
// per file, and a Wine start a good part of a second. Freeing a handle only forgets the handle.
// A Windows plug-in's calls run on its host's own thread, and a decode by one of Lunetta's own
// plug-ins on a worker: the functions below wait for them (see setWaiter), the `begin` ones do
// not. The library itself is used from one thread, the user-interface thread.
class SplayLibrary
{
public:
    SplayLibrary();
    ~SplayLibrary();
    SplayLibrary(const SplayLibrary &) = delete;
    SplayLibrary &operator=(const SplayLibrary &) = delete;

    int32_t VBGetSplaySubsetVersion() const { return 1; }
    // 0 when the file does not load or lacks GetPluginInfo, IsSupported or GetPicture.
    int32_t VBLoadPlugin(const QString &path);
    void VBFreePlugin(int32_t &handle);
    // Info text `infoNo` into `buffer` (at most `bufferLength` bytes, cut at the first NUL);
    // non-zero when the plug-in filled it.
    int32_t VBGetPluginInfoOrg(int32_t handle, int32_t infoNo, QByteArray &buffer,
                               int32_t bufferLength);
    // 0 on success; -1 when the plug-in has no settings dialog, -2 for a bad handle.
    int32_t VBConfigurationDlgOrg(int32_t handle, uintptr_t parent, int32_t fnc);
    // Non-zero when the plug-in accepts the file; `head` is the file's first bytes.
    int32_t VBIsSupportedOrg(int32_t handle, const QString &path, const QByteArray &head);
    // 0 on success, with both blocks owned by the caller.
    int32_t VBGetPictureOrg(int32_t handle, const QString &path, long offset, unsigned flag,
                            PluginBlock &info, PluginBlock &bits);

    // The frames of `path` through the plug-in's optional animation functions; empty when it
    // has none (a Windows plug-in never has).
    FrameSourceOpener animationOf(int32_t handle, const QString &path);

    // How the functions above wait for a call made elsewhere; blocking unless set. Every call
    // ends within its host's time limit; one still under way when the waiter returns has failed.
    using Waiter = std::function<void(PluginCall &call)>;
    void setWaiter(Waiter waiter) { m_waiter = std::move(waiter); }
    // The last start or settings dialog asked through the functions above ended a host for not
    // answering within its limit.
    bool lastCallUnanswered() const { return m_unanswered; }

    // For callers that must not wait. The handle of the plug-in, loading it when needed: a
    // Windows plug-in's host is started by its first call, on its own thread. 0 when the file
    // does not load, was given up, or its host never greeted.
    int32_t openPlugin(const QString &path);
    // Always a call; not loaded for a bad handle. A call of Lunetta's own plug-ins is answered at
    // once, but for a decode.
    PluginCallPtr beginIsSupported(int32_t handle, const QString &path, const QByteArray &head);
    // The picture comes converted for drawing.
    PluginCallPtr beginDecode(int32_t handle, const QString &path);

    // Loads the codec libraries of the native plug-ins among `paths` on a worker thread, so that
    // their first use finds them in memory; a start-up with a picture does this while its
    // windows are built. Nothing is decided there: the loading proper happens on first use.
    static void preload(const QStringList &paths);

    // The file head as plug-ins receive it: the first 2 KB of the file, zero-padded; nothing
    // when it is no regular file or cannot be opened.
    static std::optional<QByteArray> readHead(const QString &path);

    // The command that starts a Windows plug-in's host (kind, plug-in path); empty when it
    // cannot run here. Wine by default.
    using HostCommand = std::function<QStringList(int kind, const QString &path)>;
    void setHostCommand(HostCommand command) { m_hostCommand = std::move(command); }
    // The time limits of the hosts started from now on; WineHostLauncher's unless set.
    void setHostLimits(const WindowsPluginHost::Limits &limits) { m_hostLimits = limits; }
    const WindowsPluginHost::Limits &hostLimits() const { return m_hostLimits; }
    // At most this many hosts run at once; the one unused longest is ended (and started again
    // when it is needed), so a folder of a hundred plug-ins does not keep a hundred processes.
    static constexpr int maxRunningHosts = 8;
    // The hosts running now and started so far, for the figures and the tests.
    int runningHosts() const;

private:
    struct Plugin;
    Plugin *plugin(int32_t handle);
    // The plug-in's host, after making room for it among the running ones.
    HostChannel &host(Plugin *p);
    void wait(PluginCall &call);
    // Both return the loading's handle: 0 for a file kept out until it changes, else the new one.
    int32_t refuse(const QString &path);
    int32_t keep(const QString &path, std::unique_ptr<Plugin> plugin);

    std::vector<std::unique_ptr<Plugin>> m_plugins; // index + 1 is the handle
    QHash<QString, int32_t> m_byPath;
    // Files that did not load, with the modification time they had then, so that a broken
    // plug-in in the list is not read again for every file of a show.
    QHash<QString, qint64> m_failed;
    HostCommand m_hostCommand;
    WindowsPluginHost::Limits m_hostLimits;
    Waiter m_waiter;
    bool m_unanswered = false;
    quint64 m_useCount = 0;
    // Lunetta's own plug-ins decode here, one file at a time. Last: it finishes its work before
    // anything else goes.
    QThreadPool m_decoder;
};
