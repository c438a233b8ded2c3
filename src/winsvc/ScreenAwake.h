#pragma once

#include <functional>
#include <memory>

// One way of keeping the screen from blanking: a hold is taken and later released.
class IdleInhibitor
{
public:
    virtual ~IdleInhibitor() = default;
    // True when the desktop took the hold.
    virtual bool hold() = 0;
    virtual void release() = 0;
};

// Keeps the screen awake while a show runs and is not paused: one hold per running stretch,
// released at pause, stop and when the program ends. A hold the desktop refused is not
// retried until the show's state changes again.
class ScreenAwake
{
public:
    explicit ScreenAwake(std::unique_ptr<IdleInhibitor> inhibitor);
    ~ScreenAwake();
    ScreenAwake(const ScreenAwake &) = delete;
    ScreenAwake &operator=(const ScreenAwake &) = delete;

    void setShowActive(bool active);
    bool isHeld() const { return m_held; }

    // The session's screen saver service on D-Bus, else the desktop portal's inhibition, else
    // on X11 the suspension of the X server's screen saver; each hold also ends with the
    // program's connection, so a killed program releases it too.
    static std::unique_ptr<IdleInhibitor> sessionInhibitor();

private:
    std::unique_ptr<IdleInhibitor> m_inhibitor;
    bool m_active = false;
    bool m_held = false;
};
