#include "winsvc/X11WorkArea.h"

#include "winsvc/X11RootProperty.h"

#include <QRect>

#include <xcb/xcb.h>

#include <cstring>
#include <memory>

namespace {

struct Disconnect
{
    void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
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
    // One rectangle per virtual desktop: Qt's available geometry takes the first.
    const auto area
        = X11RootProperty::read(c.get(), screen->root, "_NET_WORKAREA", XCB_ATOM_CARDINAL, 32, 4);
    if (!area || area->size() < 16)
        return whole.size();
    uint32_t v[4];
    std::memcpy(v, area->constData(), sizeof v);
    return (QRect(int(v[0]), int(v[1]), int(v[2]), int(v[3])) & whole).size();
}
