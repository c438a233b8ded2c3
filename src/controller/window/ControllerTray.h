#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

struct AppContext;
class ControllerMenus;
class QMainWindow;
class Slideshow;
class TrayIcon;

// The tray icon that stands in for the minimised controller window: it puts the window into the
// tray and back, follows a tray that comes and goes, and answers the icon's clicks (a click
// pauses or resumes the show, a double click shows the controller, the right button opens the
// tray menu).
class ControllerTray : public QObject
{
    Q_OBJECT
public:
    ControllerTray(QMainWindow &window, AppContext &context, ControllerMenus &menus);

    void setSlideshow(Slideshow *slideshow) { m_slideshow = slideshow; }
    // What a double click on the icon does.
    void setShowController(std::function<void()> show) { m_showController = std::move(show); }
    TrayIcon *icon() const { return m_icon; }

    bool isIconShown() const;
    void addIcon();
    void removeIcon();
    // True while the window is hidden behind its icon.
    bool isInTray() const { return m_inTray; }
    // Shows the window again from the tray in the normal state; a running show pauses, as it
    // does whenever the window is restored.
    void restoreFromTray();
    // Minimises the window on the program's own account (a show starting).
    void minimiseWindow();
    void setTip(const QString &tip);
    void setImage(const QString &image);
    // Follows a change of the window's state: into the tray when it is minimised, out of it when
    // it is restored. False when the change was the tray's own doing, which nothing else may
    // answer.
    bool followWindowState();

private:
    // Follows a tray that appears or disappears while the program runs.
    void availabilityChanged(bool available);
    void mouseEvent(int code);

    QMainWindow &m_window;
    AppContext &m_ctx;
    ControllerMenus &m_menus;
    TrayIcon *m_icon = nullptr;
    Slideshow *m_slideshow = nullptr;
    std::function<void()> m_showController;
    bool m_inTray = false;
    bool m_restoring = false;
    QElapsedTimer m_sinceRestore;
};
