#include "StartupWarmup.h"

#include <QDBusConnection>
#include <QThreadPool>

#include <fontconfig/fontconfig.h>

StartupWarmup::StartupWarmup()
    : m_fonts(std::async(std::launch::async, [] { FcInit(); }))
{ }

StartupWarmup::~StartupWarmup()
{
    waitForFonts();
}

void StartupWarmup::connectSessionBus()
{
    // The application waits for the global pool's work before it ends.
    QThreadPool::globalInstance()->start([] { QDBusConnection::sessionBus(); });
}

void StartupWarmup::waitForFonts()
{
    if (m_fonts.valid())
        m_fonts.get();
}
