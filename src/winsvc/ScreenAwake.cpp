#include "winsvc/ScreenAwake.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <utility>
#include <vector>

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

// The desktop portal's inhibition of idleness, where no screen saver service answers (sandboxed
// desktops, some Wayland ones): released by closing the request it returns.
class PortalInhibitor : public IdleInhibitor
{
public:
    bool hold() override
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
        constexpr uint idle = 8;
        call << QString() << idle
             << QVariantMap { { QStringLiteral("reason"),
                                QStringLiteral("スライドショーの表示中") } };
        const QDBusReply<QDBusObjectPath> reply
            = QDBusConnection::sessionBus().call(call, QDBus::Block, 1000);
        if (!reply.isValid())
            return false;
        m_request = reply.value().path();
        return true;
    }

    void release() override
    {
        QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.portal.Desktop"), m_request,
                QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close")),
            QDBus::Block, 1000);
    }

private:
    QString m_request;
};

// An X11 session without either service: the X server's own screen saver and power saving are
// suspended; the suspension also ends when the program's connection does.
class XScreenSaverInhibitor : public IdleInhibitor
{
public:
    bool hold() override
    {
        auto *x11
            = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        m_display = x11 ? x11->display() : nullptr;
        int event = 0;
        int error = 0;
        if (!m_display || !XScreenSaverQueryExtension(m_display, &event, &error))
            return false;
        XScreenSaverSuspend(m_display, True);
        XFlush(m_display);
        return true;
    }

    void release() override
    {
        if (!m_display)
            return;
        XScreenSaverSuspend(m_display, False);
        XFlush(m_display);
    }

private:
    Display *m_display = nullptr;
};

// The first way of the list that takes the hold.
class FirstAvailableInhibitor : public IdleInhibitor
{
public:
    explicit FirstAvailableInhibitor(std::vector<std::unique_ptr<IdleInhibitor>> ways)
        : m_ways(std::move(ways))
    { }

    bool hold() override
    {
        for (auto &way : m_ways) {
            if (way->hold()) {
                m_holding = way.get();
                return true;
            }
        }
        return false;
    }

    void release() override
    {
        if (m_holding)
            std::exchange(m_holding, nullptr)->release();
    }

private:
    std::vector<std::unique_ptr<IdleInhibitor>> m_ways;
    IdleInhibitor *m_holding = nullptr;
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
    std::vector<std::unique_ptr<IdleInhibitor>> ways;
    ways.push_back(std::make_unique<ScreenSaverInhibitor>());
    ways.push_back(std::make_unique<PortalInhibitor>());
    ways.push_back(std::make_unique<XScreenSaverInhibitor>());
    return std::make_unique<FirstAvailableInhibitor>(std::move(ways));
}
