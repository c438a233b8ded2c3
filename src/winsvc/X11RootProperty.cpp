#include "winsvc/X11RootProperty.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Free
{
    void operator()(void *reply) const { std::free(reply); }
};

} // namespace

std::optional<QByteArray> X11RootProperty::read(xcb_connection_t *c, xcb_window_t root,
                                                const char *name, xcb_atom_t type, uint8_t format,
                                                uint32_t maxLongs)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, Free> atom(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return std::nullopt;
    const std::unique_ptr<xcb_get_property_reply_t, Free> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, atom->atom, type, 0, maxLongs), nullptr));
    if (!reply || reply->format != format
        || (type != XCB_GET_PROPERTY_TYPE_ANY && reply->type != type))
        return std::nullopt;
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}
