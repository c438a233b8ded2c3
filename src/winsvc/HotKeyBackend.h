#pragma once

#include <QHash>
#include <QPointer>

#include <memory>

class QObject;

// Grabs system-wide key combinations for a window. `virtualKey` is a virtual-key code of the
// hot key page's key table, `mask` the modifier bits (Alt 1, Ctrl 2, Shift 4, Windows 8). Each
// press of a grabbed combination is posted to its window as a clsMessage::WM_HOTKEY message
// with the id in wParam and MAKELONG(mask, virtualKey) in lParam.
class HotKeyBackend
{
public:
    virtual ~HotKeyBackend() = default;
    // False when the combination cannot be had, another program holding it included.
    bool registerHotKey(QObject *window, int id, int virtualKey, int mask);
    void unregisterHotKey(int id);

    // The X11 backend when the program runs on X11, otherwise one that refuses every grab.
    static std::unique_ptr<HotKeyBackend> create();

protected:
    virtual bool grab(int id, int virtualKey, int mask) = 0;
    virtual void ungrab(int id) = 0;
    // Called by a backend when the combination grabbed under `id` is pressed.
    void pressed(int id);

private:
    struct Registration
    {
        QPointer<QObject> window;
        int virtualKey = 0;
        int mask = 0;
    };
    QHash<int, Registration> m_registrations;
};

// Where there is no X11 (Wayland, offscreen) no program may grab keys for the whole desktop.
class RefusingHotKeyBackend : public HotKeyBackend
{
protected:
    bool grab(int, int, int) override { return false; }
    void ungrab(int) override { }
};
