#include "winsvc/DisplayProfile.h"

#include "winsvc/X11RootProperty.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

QByteArray DisplayProfile::read()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return {};
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen)
        return {};
    // A profile is a few kilobytes; 16 MB (in 4-byte units) bounds a broken one.
    return X11RootProperty::read(c, screen->root, "_ICC_PROFILE", XCB_GET_PROPERTY_TYPE_ANY, 8,
                                 4 * 1024 * 1024)
        .value_or(QByteArray());
}
