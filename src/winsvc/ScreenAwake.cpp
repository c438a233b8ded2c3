#include "winsvc/ScreenAwake.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace {

class ScreenSaverInhibitor : public IdleInhibitor
{
public:
    bool hold() override
    {
        QDBusInterface saver(QStringLiteral("org.freedesktop.ScreenSaver"),
                             QStringLiteral("/org/freedesktop/ScreenSaver"),
                             QStringLiteral("org.freedesktop.ScreenSaver"),
                             QDBusConnection::sessionBus());
        if (!saver.isValid())
            return false;
        const QDBusReply<uint> reply
            = saver.call(QStringLiteral("Inhibit"), QStringLiteral("Lunetta"),
                         QStringLiteral("スライドショーの表示中"));
        if (!reply.isValid())
            return false;
        m_cookie = reply.value();
        return true;
    }

    void release() override
    {
        QDBusInterface saver(QStringLiteral("org.freedesktop.ScreenSaver"),
                             QStringLiteral("/org/freedesktop/ScreenSaver"),
                             QStringLiteral("org.freedesktop.ScreenSaver"),
                             QDBusConnection::sessionBus());
        // Blocking, so that the release has reached the service before the program ends.
        saver.call(QStringLiteral("UnInhibit"), m_cookie);
    }

private:
    uint m_cookie = 0;
};

} // namespace

ScreenAwake::ScreenAwake(std::unique_ptr<IdleInhibitor> inhibitor)
    : m_inhibitor(std::move(inhibitor))
{ }

ScreenAwake::~ScreenAwake()
{
    setShowActive(false);
}

void ScreenAwake::setShowActive(bool active)
{
    if (active == m_active || !m_inhibitor)
        return;
    m_active = active;
    if (active) {
        m_held = m_inhibitor->hold();
    } else if (m_held) {
        m_inhibitor->release();
        m_held = false;
    }
}

std::unique_ptr<IdleInhibitor> ScreenAwake::sessionInhibitor()
{
    return std::make_unique<ScreenSaverInhibitor>();
}
