#pragma once

#include <functional>
#include <memory>

// Grabs system-wide key combinations. `virtualKey` is a virtual-key code of the hot key page's
// key table, `mask` the modifier bits (Alt 1, Ctrl 2, Shift 4, Windows 8).
class HotKeyBackend
{
public:
    virtual ~HotKeyBackend() = default;
    // False when the combination cannot be had, another program holding it included.
    virtual bool grab(int id, int virtualKey, int mask) = 0;
    virtual void ungrab(int id) = 0;

    // Called with the id of a grabbed combination when it is pressed.
    std::function<void(int id)> pressed;

    // The X11 backend when the program runs on X11, otherwise one that refuses every grab.
    static std::unique_ptr<HotKeyBackend> create();
};

// Where there is no X11 (Wayland, offscreen) no program may grab keys for the whole desktop.
class RefusingHotKeyBackend : public HotKeyBackend
{
public:
    bool grab(int, int, int) override { return false; }
    void ungrab(int) override { }
};
