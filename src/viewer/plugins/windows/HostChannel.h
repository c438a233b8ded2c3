#pragma once

#include "viewer/plugins/PluginCall.h"
#include "viewer/plugins/windows/WindowsPluginHost.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <mutex>

// A Windows plug-in's host, reached without waiting: its start and every call run on a thread of
// the host's own, one at a time and in the order asked (the host's pipe carries one call at a
// time), and the asking thread hears the answer through its event loop. The host's own time
// limits end every call. What a call changes of the host's state is published after it, for the
// user-interface thread to read.
class HostChannel
{
public:
    HostChannel(QStringList command, WindowsPluginHost::Limits limits);
    // Drops the calls not begun, makes the one under way fail at once and ends the host.
    ~HostChannel();
    HostChannel(const HostChannel &) = delete;
    HostChannel &operator=(const HostChannel &) = delete;

    struct State
    {
        bool running = false;
        // The host has greeted once in this run: its plug-in loads.
        bool greeted = false;
        bool givenUp = false;
        int failures = 0;
        int starts = 0;
        // A start was tried; with no greeting, the plug-in does not load.
        bool triedStart = false;
        // Calls asked and not yet answered.
        int busy = 0;
        QList<QByteArray> infos;
        bool hasConfigure = false;
        // The first start failed: the host is not started again, and its plug-in does not load.
        bool neverGreets() const { return triedStart && !greeted && !running; }
    };
    State state() const;
    const WindowsPluginHost::Limits &limits() const { return m_limits; }

    // Starts the host unless it runs; answers loaded when it greeted.
    PluginCallPtr start();
    // Each starts the host first when it does not run; answers not loaded when it does not start.
    // A call cancelled while its host was starting is not made.
    PluginCallPtr isSupported(const QString &path, const QByteArray &head);
    struct Blocks
    {
        PluginBlock info;
        PluginBlock bits;
    };
    // The picture comes converted for drawing, made on the host's thread; with `blocks`, the
    // plug-in's blocks are put there instead.
    PluginCallPtr getPicture(const QString &path, std::shared_ptr<Blocks> blocks = {});
    PluginCallPtr configurationDlg(int32_t fnc);
    // Ends the host after the calls asked before, without counting a failure.
    void stop();

private:
    using Work = std::function<PluginCall::Answer(WindowsPluginHost &, PluginCall &)>;
    PluginCallPtr queue(Work work);
    // Starts the host for a call when it does not run; false when it did not start.
    bool startFor(PluginCall &call);
    void publish(int busyChange);

    const WindowsPluginHost::Limits m_limits;
    // Used on the pool's thread only, but for abort().
    WindowsPluginHost m_host;
    // On the pool's thread.
    bool m_greeted = false;
    bool m_triedStart = false;
    mutable std::mutex m_lock;
    State m_state;
    QThreadPool m_pool;
};
