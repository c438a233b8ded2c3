#include "winsvc/ScreenAwake.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace {

QDBusMessage screenSaverCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

// Plain calls rather than an interface object, which would first ask the service to describe
// itself and give up where it does not answer that.
class ScreenSaverInhibitor : public IdleInhibitor
{
public:
    bool hold() override
    {
        QDBusMessage call = screenSaverCall(QStringLiteral("Inhibit"));
        call << QStringLiteral("Lunetta") << QStringLiteral("スライドショーの表示中");
        const QDBusReply<uint> reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 1000);
        if (!reply.isValid())
            return false;
        m_cookie = reply.value();
        return true;
    }

    void release() override
    {
        QDBusMessage call = screenSaverCall(QStringLiteral("UnInhibit"));
        call << m_cookie;
        // Blocking, so that the release has reached the service before the program ends.
        QDBusConnection::sessionBus().call(call, QDBus::Block, 1000);
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
