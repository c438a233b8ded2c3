#pragma once

#include <QByteArray>

#include <xcb/xcb.h>

#include <optional>

// A property of an X screen's root window, as desktop services publish their settings there.
class X11RootProperty
{
public:
    // The property's bytes when it is set with items of `format` bits and of `type` (any type
    // for XCB_GET_PROPERTY_TYPE_ANY); at most `maxLongs` 4-byte units are read. Nothing where
    // the name is unknown to the server, the property is not set or has another form.
    static std::optional<QByteArray> read(xcb_connection_t *c, xcb_window_t root, const char *name,
                                          xcb_atom_t type, uint8_t format, uint32_t maxLongs);
};
