#pragma once

#include "winsvc/HotKeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>

#include <cstdint>

struct xcb_connection_t;
typedef struct _XCBKeySymbols xcb_key_symbols_t;

// Passive key grabs on the root window. Each combination is grabbed once for every state of
// NumLock and CapsLock, which X11 counts as modifiers.
class XcbHotKeyBackend : public HotKeyBackend, public QAbstractNativeEventFilter
{
public:
    XcbHotKeyBackend(xcb_connection_t *connection, uint32_t root);
    ~XcbHotKeyBackend() override;
    // On the application's X display; none when the program does not run on X11.
    static std::unique_ptr<HotKeyBackend> forApplication();

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // The keysym of a virtual-key code; 0 for a code the key table does not hold.
    static uint32_t keysymOf(int virtualKey);
    static uint16_t modifiersOf(int mask);

protected:
    bool grab(int id, int virtualKey, int mask, const QString &name) override;
    void ungrab(int id) override;

private:
    struct Grab
    {
        QList<uint8_t> keycodes;
        uint16_t modifiers = 0;
    };
    void release(const Grab &g);

    xcb_connection_t *m_connection;
    uint32_t m_root;
    xcb_key_symbols_t *m_symbols = nullptr;
    QHash<int, Grab> m_grabs;
};
