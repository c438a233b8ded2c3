#include "winsvc/XcbHotKeyBackend.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace {

// NumLock is Mod2 on every common keyboard map; CapsLock is Lock.
constexpr uint16_t lockVariants[]
    = { 0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 };
constexpr uint16_t relevantModifiers
    = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

} // namespace

std::unique_ptr<HotKeyBackend> XcbHotKeyBackend::forApplication()
{
    if (auto *x11
        = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (xcb_connection_t *c = x11->connection()) {
            const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
            if (screen)
                return std::make_unique<XcbHotKeyBackend>(c, screen->root);
        }
    }
    return nullptr;
}

XcbHotKeyBackend::XcbHotKeyBackend(xcb_connection_t *connection, uint32_t root)
    : m_connection(connection)
    , m_root(root)
    , m_symbols(xcb_key_symbols_alloc(connection))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XcbHotKeyBackend::~XcbHotKeyBackend()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const Grab &g : std::as_const(m_grabs))
        release(g);
    xcb_flush(m_connection);
    if (m_symbols)
        xcb_key_symbols_free(m_symbols);
}

uint32_t XcbHotKeyBackend::keysymOf(int vk)
{
    if (vk >= 112 && vk <= 123)
        return 0xffbe + uint32_t(vk - 112); // F1 …
    if (vk >= 'A' && vk <= 'Z')
        return uint32_t(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9')
        return uint32_t(vk);
    switch (vk) {
    case 8:
        return 0xff08; // BackSpace
    case 9:
        return 0xff09; // Tab
    case 19:
        return 0xff13; // Pause
    case 27:
        return 0xff1b; // Escape
    case 32:
        return 0x20; // space
    case 33:
        return 0xff55; // Prior
    case 34:
        return 0xff56; // Next
    case 35:
        return 0xff57; // End
    case 36:
        return 0xff50; // Home
    case 37:
        return 0xff51; // Left
    case 38:
        return 0xff52; // Up
    case 39:
        return 0xff53; // Right
    case 40:
        return 0xff54; // Down
    case 42:
        return 0xff61; // Print
    case 45:
        return 0xff63; // Insert
    case 46:
        return 0xffff; // Delete
    case 144:
        return 0xff7f; // Num_Lock
    case 145:
        return 0xff14; // Scroll_Lock
    default:
        return 0;
    }
}

uint16_t XcbHotKeyBackend::modifiersOf(int mask)
{
    uint16_t m = 0;
    if (mask & 1)
        m |= XCB_MOD_MASK_1;
    if (mask & 2)
        m |= XCB_MOD_MASK_CONTROL;
    if (mask & 4)
        m |= XCB_MOD_MASK_SHIFT;
    if (mask & 8)
        m |= XCB_MOD_MASK_4;
    return m;
}

bool XcbHotKeyBackend::grab(int id, int virtualKey, int mask, const QString &)
{
    const uint32_t keysym = keysymOf(virtualKey);
    if (!keysym || m_grabs.contains(id) || !m_symbols)
        return false;
    Grab g;
    g.modifiers = modifiersOf(mask);
    if (xcb_keycode_t *codes = xcb_key_symbols_get_keycode(m_symbols, keysym)) {
        for (xcb_keycode_t *c = codes; *c != XCB_NO_SYMBOL; ++c) {
            if (!g.keycodes.contains(*c))
                g.keycodes << *c;
        }
        std::free(codes);
    }
    if (g.keycodes.isEmpty())
        return false;
    // Every variant is checked at once: a BadAccess means another client holds the key, and
    // the grabs made so far are given back.
    QList<xcb_void_cookie_t> cookies;
    for (uint8_t code : std::as_const(g.keycodes)) {
        for (uint16_t lock : lockVariants)
            cookies << xcb_grab_key_checked(m_connection, 1, m_root, g.modifiers | lock, code,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    bool ok = true;
    for (const xcb_void_cookie_t &cookie : std::as_const(cookies)) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            ok = false;
            std::free(error);
        }
    }
    if (!ok) {
        release(g);
        xcb_flush(m_connection);
        return false;
    }
    m_grabs.insert(id, g);
    return true;
}

void XcbHotKeyBackend::release(const Grab &g)
{
    for (uint8_t code : g.keycodes) {
        for (uint16_t lock : lockVariants)
            xcb_ungrab_key(m_connection, code, m_root, g.modifiers | lock);
    }
}

void XcbHotKeyBackend::ungrab(int id)
{
    const auto it = m_grabs.constFind(id);
    if (it == m_grabs.cend())
        return;
    release(*it);
    m_grabs.erase(it);
    xcb_flush(m_connection);
}

bool XcbHotKeyBackend::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
    if (key->event != m_root)
        return false;
    const uint16_t modifiers = key->state & relevantModifiers;
    for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
        if (it->modifiers == modifiers && it->keycodes.contains(key->detail)) {
            pressed(it.key());
            return true;
        }
    }
    return false;
}
