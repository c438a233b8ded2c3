#pragma once

#include <QHash>
#include <QPointer>
#include <QString>

#include <memory>

class QObject;

// Grabs system-wide key combinations for a window. `virtualKey` is a virtual-key code of the
// hot key page's key table, `mask` the modifier bits (Alt 1, Ctrl 2, Shift 4, Windows 8). Each
// press of a grabbed combination is posted to its window as a clsMessage::WM_HOTKEY message
// with the id in wParam and MAKELONG(mask, virtualKey) in lParam. `name` says what the key does,
// for a desktop that shows the user the keys a program asks for.
class HotKeyBackend
{
public:
    virtual ~HotKeyBackend() = default;
    // False when the combination cannot be had, another program holding it included.
    bool registerHotKey(QObject *window, int id, int virtualKey, int mask,
                        const QString &name = QString());
    void unregisterHotKey(int id);

    // By the session: the desktop portal's global shortcuts under Wayland, the X11 backend on
    // X11, otherwise one that refuses every grab.
    static std::unique_ptr<HotKeyBackend> create();

protected:
    virtual bool grab(int id, int virtualKey, int mask, const QString &name) = 0;
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

// Where there is neither X11 nor a portal (offscreen) no program may grab keys for the whole
// desktop.
class RefusingHotKeyBackend : public HotKeyBackend
{
protected:
    bool grab(int, int, int, const QString &) override { return false; }
    void ungrab(int) override { }
};
