#include "winsvc/MprisService.h"

#include "winsvc/MprisPlayerAdaptor.h"
#include "winsvc/MprisPlayerState.h"
#include "winsvc/MprisRootAdaptor.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

const QString MprisService::objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString MprisService::serviceName = QStringLiteral("org.mpris.MediaPlayer2.Lunetta");

MprisService::MprisService(RemoteControlTarget &target, QObject *parent)
    : QObject(parent)
    , m_state(new MprisPlayerState(target, this))
    , m_bus(QString())
{
    new MprisRootAdaptor(this, *m_state);
    new MprisPlayerAdaptor(this, *m_state);
    connect(m_state, &MprisPlayerState::changed, this, &MprisService::announce);
}

MprisService::~MprisService()
{
    if (!m_published)
        return;
    m_bus.unregisterService(m_name);
    m_bus.unregisterObject(objectPath);
}

bool MprisService::publish(QDBusConnection bus)
{
    if (m_published || !bus.isConnected())
        return false;
    if (!bus.registerObject(objectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    // Without queueing: a name that another run holds is not waited for, this run takes its
    // own, as MPRIS names a second instance.
    const QString own = serviceName + QStringLiteral(".instance")
        + QString::number(QCoreApplication::applicationPid());
    for (const QString &name : { serviceName, own }) {
        if (bus.interface()
                ->registerService(name, QDBusConnectionInterface::DontQueueService)
                .value()
            == QDBusConnectionInterface::ServiceRegistered) {
            m_bus = bus;
            m_name = name;
            m_published = true;
            return true;
        }
    }
    bus.unregisterObject(objectPath);
    return false;
}

void MprisService::refresh()
{
    m_state->refresh();
}

void MprisService::announce(const QVariantMap &changed)
{
    if (!m_published)
        return;
    QDBusMessage signal
        = QDBusMessage::createSignal(objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                     QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    m_bus.send(signal);
}
