#include "winsvc/MprisRootAdaptor.h"

#include "winsvc/MprisPlayerState.h"

MprisRootAdaptor::MprisRootAdaptor(QObject *exported, MprisPlayerState &state)
    : QDBusAbstractAdaptor(exported)
    , m_state(state)
{ }

void MprisRootAdaptor::Raise()
{
    m_state.runCommand([](RemoteControlTarget &target) { target.raise(); });
}

void MprisRootAdaptor::Quit()
{
    m_state.runCommand([](RemoteControlTarget &target) { target.quit(); });
}
