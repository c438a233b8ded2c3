#include "viewer/plugins/windows/HostChannel.h"

#include <QElapsedTimer>

#include <new>

namespace {

// A call that failed no sooner than its limit was ended for not answering; one that failed
// earlier met a host that ended or spoke out of turn.
bool ranOut(const QElapsedTimer &clock, int limitMs)
{
    return clock.elapsed() >= limitMs;
}

} // namespace

HostChannel::HostChannel(QStringList command, WindowsPluginHost::Limits limits)
    : m_limits(limits)
    , m_host(std::move(command), limits)
{
    // One thread: the pipe carries one call at a time.
    m_pool.setMaxThreadCount(1);
}

HostChannel::~HostChannel()
{
    m_pool.clear();
    m_host.abort();
    m_pool.waitForDone();
}

HostChannel::State HostChannel::state() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_state;
}

void HostChannel::publish(int busyChange)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_state.running = m_host.isRunning();
    m_state.greeted = m_greeted;
    m_state.triedStart = m_triedStart;
    m_state.givenUp = m_host.givenUp();
    m_state.failures = m_host.failures();
    m_state.starts = m_host.starts();
    m_state.infos = m_host.infos();
    m_state.hasConfigure = m_host.hasConfigurationDlg();
    m_state.busy += busyChange;
}

PluginCallPtr HostChannel::queue(Work work)
{
    auto call = std::make_shared<PluginCall>();
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        ++m_state.busy;
    }
    m_pool.start([this, call, work = std::move(work)] {
        PluginCall::Answer answer;
        if (!call->isCancelled()) {
            try {
                answer = work(m_host, *call);
            } catch (const std::bad_alloc &) {
                answer = PluginCall::Answer();
            }
        }
        publish(-1);
        call->finish(std::move(answer));
    });
    return call;
}

bool HostChannel::startFor(PluginCall &call)
{
    if (m_host.isRunning())
        return true;
    // A host that never greeted is not waited for again: its plug-in does not load, as one
    // whose file does not.
    if (m_triedStart && !m_greeted)
        return false;
    m_triedStart = true;
    call.setPhase(PluginCall::Phase::Starting);
    const bool started = m_host.start();
    m_greeted = m_greeted || started;
    publish(0);
    return started;
}

PluginCallPtr HostChannel::start()
{
    return queue([this](WindowsPluginHost &, PluginCall &call) {
        QElapsedTimer clock;
        clock.start();
        PluginCall::Answer answer;
        answer.loaded = startFor(call);
        answer.result = answer.loaded ? 0 : -1;
        answer.unanswered = !answer.loaded && ranOut(clock, m_limits.startMs);
        return answer;
    });
}

PluginCallPtr HostChannel::isSupported(const QString &path, const QByteArray &head)
{
    return queue([this, path, head](WindowsPluginHost &host, PluginCall &call) {
        PluginCall::Answer answer;
        // A file that went on to the next loader while the host started asks no more.
        if (!startFor(call) || call.isCancelled())
            return answer;
        call.setPhase(PluginCall::Phase::Calling);
        answer.loaded = true;
        answer.result = host.isSupported(path, head);
        return answer;
    });
}

PluginCallPtr HostChannel::getPicture(const QString &path, std::shared_ptr<Blocks> blocks)
{
    return queue([this, path, blocks](WindowsPluginHost &host, PluginCall &call) {
        PluginCall::Answer answer;
        if (!startFor(call) || call.isCancelled())
            return answer;
        call.setPhase(PluginCall::Phase::Calling);
        answer.loaded = true;
        PluginBlock info, bits;
        answer.result = host.getPicture(path, info, bits);
        if (blocks) {
            blocks->info = std::move(info);
            blocks->bits = std::move(bits);
        } else if (answer.result == 0) {
            answer.picture = PluginCall::pictureOf(info, bits);
            if (answer.picture.isNull())
                answer.result = -1;
        }
        return answer;
    });
}

PluginCallPtr HostChannel::configurationDlg(int32_t fnc)
{
    return queue([this, fnc](WindowsPluginHost &host, PluginCall &call) {
        PluginCall::Answer answer;
        QElapsedTimer clock;
        clock.start();
        if (!startFor(call)) {
            answer.unanswered = ranOut(clock, m_limits.startMs);
            answer.result = -2;
            return answer;
        }
        call.setPhase(PluginCall::Phase::Calling);
        answer.loaded = true;
        clock.restart();
        answer.result = host.configurationDlg(fnc);
        answer.unanswered = answer.result == -2 && ranOut(clock, m_limits.dialogMs);
        return answer;
    });
}

void HostChannel::stop()
{
    queue([](WindowsPluginHost &host, PluginCall &) {
        host.stop();
        return PluginCall::Answer();
    });
}
