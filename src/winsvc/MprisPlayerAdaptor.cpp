#include "winsvc/MprisPlayerAdaptor.h"

#include "winsvc/MprisPlayerState.h"

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject *exported, MprisPlayerState &state)
    : QDBusAbstractAdaptor(exported)
    , m_state(state)
{ }

QString MprisPlayerAdaptor::playbackStatus() const
{
    return m_state.playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return m_state.metadata();
}

void MprisPlayerAdaptor::PlayPause()
{
    m_state.runCommand([](RemoteControlTarget &target) { target.playPause(); });
}

void MprisPlayerAdaptor::Play()
{
    m_state.runCommand([](RemoteControlTarget &target) { target.play(); });
}

void MprisPlayerAdaptor::Pause()
{
    m_state.runCommand([](RemoteControlTarget &target) { target.pause(); });
}

void MprisPlayerAdaptor::Stop()
{
    m_state.runCommand([](RemoteControlTarget &target) { target.stop(); });
}

void MprisPlayerAdaptor::Next()
{
    m_state.runCommand([](RemoteControlTarget &target) { target.next(); });
}

void MprisPlayerAdaptor::Previous()
{
    m_state.runCommand([](RemoteControlTarget &target) { target.previous(); });
}

// CanSeek is false and no file can be opened from outside: these three do nothing, as MPRIS
// asks of a player that cannot.
void MprisPlayerAdaptor::Seek(qlonglong) { }

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &, qlonglong) { }

void MprisPlayerAdaptor::OpenUri(const QString &) { }
