#include "StartupWarmup.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <fontconfig/fontconfig.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The warm-up gives way to the first picture's decode and to the windows being built: on a
// machine with few processors it would otherwise take their time and be waited for first.
// What it starts (the bus's launcher, where no session bus runs) inherits the priority.
void giveWay()
{
    constexpr int lowerBy = 10;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), lowerBy);
}

// On its own thread, which ends with it: a pooled thread would keep the lower priority.
std::future<void> &busConnection()
{
    static std::future<void> connecting;
    return connecting;
}

void waitForBusConnection()
{
    if (busConnection().valid())
        busConnection().wait();
}

} // namespace

StartupWarmup::StartupWarmup()
    : m_fonts(std::async(std::launch::async, [] {
        giveWay();
        FcInit();
    }))
{ }

StartupWarmup::~StartupWarmup()
{
    waitForFonts();
}

void StartupWarmup::connectSessionBus()
{
    busConnection() = std::async(std::launch::async, [] {
        giveWay();
        QDBusConnection::sessionBus();
    });
    // Before the application is taken down, whichever way the start ends.
    qAddPostRoutine(waitForBusConnection);
}

void StartupWarmup::waitForFonts()
{
    if (m_fonts.valid())
        m_fonts.get();
}
