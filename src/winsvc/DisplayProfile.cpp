#include "winsvc/DisplayProfile.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

QByteArray DisplayProfile::read()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return {};
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    static constexpr char name[] = "_ICC_PROFILE";
    xcb_intern_atom_reply_t *atom
        = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr);
    QByteArray profile;
    if (screen && atom && atom->atom != XCB_ATOM_NONE) {
        // A profile is a few kilobytes; 16 MB (in 4-byte units) bounds a broken one.
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            c,
            xcb_get_property(c, 0, screen->root, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0,
                             4 * 1024 * 1024),
            nullptr);
        if (reply && reply->format == 8)
            profile = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                                 xcb_get_property_value_length(reply));
        std::free(reply);
    }
    std::free(atom);
    return profile;
}
