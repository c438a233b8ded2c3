#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

// A private X display with a window manager and, on demand, a system tray, for tests that
// must see what users see: window states, the tray icon and its menu. Set up before the
// QApplication exists, since the platform is chosen when it is made. Where the tools are
// missing the tests run offscreen and say what is missing.
class DesktopSession
{
public:
    DesktopSession();
    ~DesktopSession();
    DesktopSession(const DesktopSession &) = delete;
    DesktopSession &operator=(const DesktopSession &) = delete;

    bool isReady() const { return m_missing.isEmpty(); }
    QString missing() const { return m_missing; }
    bool startTray();
    void stopTray();
    // Runs xdotool on the display and waits for it; false when it failed.
    bool xdotool(const QStringList &args) const;

private:
    pid_t m_server = 0;
    pid_t m_windowManager = 0;
    pid_t m_tray = 0;
    QString m_display;
    QString m_missing;
};
