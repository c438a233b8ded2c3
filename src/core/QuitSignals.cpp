#include "core/QuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int watched[] = { SIGTERM, SIGHUP, SIGINT };
// A signal handler may only write to a pipe; the event loop reads the other end.
int pipeEnds[2] = { -1, -1 };

} // namespace

QuitSignals::QuitSignals(std::function<void()> onSignal, QObject *parent)
    : QObject(parent)
    , m_onSignal(std::move(onSignal))
{
    if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::receive);
    struct sigaction action = {};
    action.sa_handler = &QuitSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : watched)
        sigaction(signal, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    for (int signal : watched)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitSignals::handle(int signal)
{
    const int savedErrno = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

void QuitSignals::receive()
{
    char bytes[16];
    bool received = false;
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0)
        received = true;
    if (!received)
        return;
    // A second signal, should closing hang on a question or a list being built, ends the
    // program at once, as it did before.
    for (int signal : watched)
        std::signal(signal, SIG_DFL);
    if (m_onSignal)
        m_onSignal();
}
