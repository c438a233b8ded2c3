#include "winsvc/HotKeyBackend.h"

#include "winsvc/clsMessage.h"

bool HotKeyBackend::registerHotKey(QObject *window, int id, int virtualKey, int mask,
                                   const QString &name)
{
    if (!window || m_registrations.contains(id) || !grab(id, virtualKey, mask, name))
        return false;
    m_registrations.insert(id, { window, virtualKey, mask });
    return true;
}

void HotKeyBackend::unregisterHotKey(int id)
{
    if (m_registrations.remove(id))
        ungrab(id);
}

void HotKeyBackend::pressed(int id)
{
    const auto it = m_registrations.constFind(id);
    if (it == m_registrations.cend())
        return;
    // Posted, as the key press arrives in the middle of the window system's own event
    // handling; the window's hook hands it to its listeners from the event loop.
    clsMessage::postMessage(it->window, clsMessage::WM_HOTKEY, id,
                            clsMessage::MAKELONG(it->mask, it->virtualKey));
}
