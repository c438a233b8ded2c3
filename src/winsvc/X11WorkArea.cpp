#include "winsvc/X11WorkArea.h"

#include <QRect>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

struct Disconnect
{
    void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};
struct Free
{
    void operator()(void *reply) const { std::free(reply); }
};

} // namespace

QSize X11WorkArea::read()
{
    int screenNumber = 0;
    const std::unique_ptr<xcb_connection_t, Disconnect> c(xcb_connect(nullptr, &screenNumber));
    if (xcb_connection_has_error(c.get()))
        return {};
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c.get()));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return {};
    const xcb_screen_t *screen = screens.data;
    const QRect whole(0, 0, screen->width_in_pixels, screen->height_in_pixels);

    static constexpr char name[] = "_NET_WORKAREA";
    const std::unique_ptr<xcb_intern_atom_reply_t, Free> atom(xcb_intern_atom_reply(
        c.get(), xcb_intern_atom(c.get(), 1, sizeof name - 1, name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return whole.size();
    // One rectangle per virtual desktop: Qt's available geometry takes the first.
    const std::unique_ptr<xcb_get_property_reply_t, Free> reply(xcb_get_property_reply(
        c.get(), xcb_get_property(c.get(), 0, screen->root, atom->atom, XCB_ATOM_CARDINAL, 0, 4),
        nullptr));
    if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32
        || xcb_get_property_value_length(reply.get()) < 16)
        return whole.size();
    const auto *v = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return (QRect(int(v[0]), int(v[1]), int(v[2]), int(v[3])) & whole).size();
}
