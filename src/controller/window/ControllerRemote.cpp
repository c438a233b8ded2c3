#include "controller/window/ControllerRemote.h"

#include "controller/window/ControllerMenus.h"
#include "controller/window/ControllerToolBars.h"
#include "core/AppContext.h"
#include "engine/Slideshow.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>

#include <cmath>

ControllerRemote::ControllerRemote(const ControllerParts &parts, AppContext &context,
                                   Slideshow &slideshow)
    : m_parts(parts)
    , m_ctx(context)
    , m_slideshow(slideshow)
{ }

bool ControllerRemote::reachable() const
{
    return !m_ctx.closing && m_parts.window.isEnabled() && !QApplication::activeModalWidget();
}

void ControllerRemote::press(const QString &button)
{
    if (!reachable())
        return;
    // A disabled button ignores the trigger, as it ignores a click.
    if (QAction *action = m_parts.toolBars.mainButton(button))
        action->trigger();
}

void ControllerRemote::choose(const QString &menuItem)
{
    if (!reachable())
        return;
    if (QAction *action = m_parts.menus.action(menuItem))
        action->trigger();
}

void ControllerRemote::playPause()
{
    press(m_slideshow.isRunning() ? QStringLiteral("pause") : QStringLiteral("play"));
}

void ControllerRemote::play()
{
    if (!m_slideshow.isRunning())
        press(QStringLiteral("play"));
    else if (m_slideshow.isPaused())
        press(QStringLiteral("pause"));
}

void ControllerRemote::pause()
{
    if (m_slideshow.isRunning() && !m_slideshow.isPaused())
        press(QStringLiteral("pause"));
}

void ControllerRemote::stop()
{
    press(QStringLiteral("stop"));
}

void ControllerRemote::next()
{
    press(QStringLiteral("forward"));
}

void ControllerRemote::previous()
{
    press(QStringLiteral("reverse"));
}

void ControllerRemote::raise()
{
    // Also under a modal dialog: the controller comes back with the dialog over it.
    if (!m_ctx.closing)
        if (QAction *action = m_parts.menus.action(QStringLiteral("mnuTasktray_ResizeWindow")))
            action->trigger();
}

void ControllerRemote::quit()
{
    choose(QStringLiteral("mnuFile_Exit"));
}

RemoteControlTarget::Status ControllerRemote::status() const
{
    if (!m_slideshow.isRunning())
        return Status::Stopped;
    return m_slideshow.isPaused() ? Status::Paused : Status::Playing;
}

RemoteControlTarget::Track ControllerRemote::track() const
{
    const int index = m_slideshow.currentIndex;
    if (!m_slideshow.isRunning() || index < 1 || index > m_slideshow.playList.count())
        return {};
    Track track { index, m_slideshow.playList.path(index), 0 };
    if (m_slideshow.mediaKind != MediaKind::Picture && m_slideshow.movieDuration > 0)
        track.lengthMicroseconds = std::llround(m_slideshow.movieDuration * 1e6);
    return track;
}
