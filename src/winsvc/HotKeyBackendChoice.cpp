// HotKeyBackend::create() lives apart from the interface, so that the interface knows no
// backend.
#include "winsvc/HotKeyBackend.h"
#include "winsvc/PortalHotKeyBackend.h"
#include "winsvc/XcbHotKeyBackend.h"

#include <QDBusConnection>

namespace {

bool runsUnderWayland()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE").compare(u"wayland", Qt::CaseInsensitive) == 0;
}

} // namespace

std::unique_ptr<HotKeyBackend> HotKeyBackend::create()
{
    // Under Wayland the program reaches X11 through XWayland, whose root window sees keys only
    // while an X11 program has the focus: a grab there would succeed and then mostly do
    // nothing. The desktop's portal is asked instead; where it has none, every key is refused.
    if (runsUnderWayland())
        return std::make_unique<PortalHotKeyBackend>(QDBusConnection::sessionBus());
    if (std::unique_ptr<HotKeyBackend> x11 = XcbHotKeyBackend::forApplication())
        return x11;
    return std::make_unique<RefusingHotKeyBackend>();
}
