#include "controller/window/ControllerTray.h"

#include "controller/window/ControllerMenus.h"
#include "core/AppContext.h"
#include "core/EventPump.h"
#include "core/Options.h"
#include "engine/Slideshow.h"
#include "winsvc/TrayIcon.h"

#include <QAction>
#include <QCursor>
#include <QMainWindow>
#include <QMenu>

ControllerTray::ControllerTray(QMainWindow &window, AppContext &context, ControllerMenus &menus)
    : QObject(&window)
    , m_window(window)
    , m_ctx(context)
    , m_menus(menus)
    , m_icon(new TrayIcon(this))
{
    // Queued: the tray menu must not run inside the icon's own mouse event, since a command
    // chosen from it may remove the icon and with it the window that event is delivered to.
    connect(
        m_icon, &TrayIcon::mouseEvent, this, [this](int code) { mouseEvent(code); },
        Qt::QueuedConnection);
    connect(m_icon, &TrayIcon::availabilityChanged, this, &ControllerTray::availabilityChanged);
}

bool ControllerTray::isIconShown() const
{
    return m_icon->isShown();
}

void ControllerTray::addIcon()
{
    QString image = QStringLiteral("Stop");
    if (m_slideshow && m_slideshow->isRunning())
        image = m_slideshow->isPaused() ? QStringLiteral("Play") : QStringLiteral("Pause");
    if (m_icon->addTrayIcon(image, QStringLiteral("Lunetta"))) {
        m_inTray = true;
        m_window.hide();
    }
}

void ControllerTray::removeIcon()
{
    m_inTray = false;
    m_icon->removeTrayIcon();
}

void ControllerTray::restoreFromTray()
{
    removeIcon();
    // The window system reported the hidden window as no longer minimised, but its native
    // window still holds the minimised state and would be mapped iconic again. Going through
    // the minimised state once more puts both back in step; those changes are no user's.
    m_restoring = true;
    m_window.setWindowState(m_window.windowState() | Qt::WindowMinimized);
    m_window.setWindowState(m_window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    m_restoring = false;
    m_window.show();
    m_window.raise();
    // Asking for the focus also makes the window manager take the window out of its iconic
    // state, should it still hold it.
    m_window.activateWindow();
    m_sinceRestore.start();
    // Restoring the window pauses a running show, as a restore by the user does.
    if (m_slideshow && m_slideshow->isRunning())
        m_slideshow->pauseSlideshow();
}

void ControllerTray::minimiseWindow()
{
    m_sinceRestore.invalidate();
    // Not showMinimized(): it shows the window again after the minimising has put it into the
    // tray.
    m_window.setWindowState(m_window.windowState() | Qt::WindowMinimized);
}

void ControllerTray::availabilityChanged(bool available)
{
    if (!available && m_inTray) {
        // The tray has gone and the icon with it: the window becomes an ordinary minimised
        // window again, so the program is never left without a way back to it.
        removeIcon();
        m_restoring = true;
        m_window.setWindowState(m_window.windowState() | Qt::WindowMinimized);
        m_window.show();
        m_restoring = false;
    } else if (available && m_window.isVisible() && m_window.isMinimized() && !isIconShown()
               && m_ctx.options.isChecked(Opt::chkShowTaskTray)) {
        addIcon();
    }
}

void ControllerTray::setTip(const QString &tip)
{
    if (isIconShown())
        m_icon->setTip(tip);
}

void ControllerTray::setImage(const QString &image)
{
    if (isIconShown())
        m_icon->setImage(image);
}

bool ControllerTray::followWindowState()
{
    if (m_restoring)
        return false;
    // Hiding the window into the tray unmaps it, and the window system then reports it as no
    // longer minimised: that is no restore by the user, who brings it back through the icon.
    if (m_inTray && !m_window.isVisible())
        return false;
    const bool minimised = m_window.windowState() & Qt::WindowMinimized;
    // Just after a return from the tray the window manager may still answer the minimise
    // that sent the window there; the window stays where the user asked for it.
    if (minimised && m_sinceRestore.isValid() && m_sinceRestore.elapsed() < 2000) {
        m_restoring = true;
        m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
        m_restoring = false;
        m_window.activateWindow();
        return false;
    }
    m_sinceRestore.invalidate();
    if (minimised && !isIconShown() && m_ctx.options.isChecked(Opt::chkShowTaskTray))
        addIcon();
    else if (!minimised && isIconShown())
        removeIcon();
    return true;
}

void ControllerTray::mouseEvent(int code)
{
    // A click queued just before the icon went away is no longer the icon's.
    if (!isIconShown())
        return;
    switch (code) {
    case TrayIcon::LeftButtonUp:
        if (m_slideshow && m_slideshow->isRunning()) {
            if (m_slideshow->isPaused())
                m_slideshow->resumeSlideshow();
            else
                m_slideshow->pauseSlideshow();
        }
        break;
    case TrayIcon::LeftDoubleClick:
        if (m_showController)
            m_showController();
        break;
    case TrayIcon::RightButtonDown: {
        // The interval does not run on while the user picks from the menu.
        m_window.raise();
        m_ctx.events->processPendingEvents();
        if (m_slideshow)
            m_slideshow->suspendIntervalClock(true);
        QMenu *menu = m_menus.mnuTasktray();
        menu->setDefaultAction(m_menus.action(QStringLiteral("mnuTasktray_ResizeWindow")));
        menu->exec(QCursor::pos());
        if (!m_ctx.closing && m_slideshow && m_slideshow->isRunning() && !m_slideshow->isPaused()
            && !m_slideshow->isHidden())
            m_slideshow->suspendIntervalClock(false);
        break;
    }
    default:
        break;
    }
}
