#include "controller/window/ControllerStateDisplay.h"

#include "controller/window/ControllerMenus.h"
#include "controller/window/ControllerToolBars.h"
#include "controller/window/ControllerTray.h"
#include "controller/window/MovieBar.h"
#include "core/Options.h"
#include "viewer/window/frmView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QToolBar>

ControllerStateDisplay::ControllerStateDisplay(const ControllerParts &parts, Options &options)
    : m_parts(parts)
    , m_options(options)
{ }

void ControllerStateDisplay::MoviebarEnable(bool enabled)
{
    m_moviebarEnabled = enabled;
    m_parts.movieBar.setEnabled(enabled);
}

bool ControllerStateDisplay::isTrayIconShown() const
{
    return m_parts.tray.isIconShown();
}

void ControllerStateDisplay::setTrayTip(const QString &tip)
{
    m_parts.tray.setTip(tip);
}

void ControllerStateDisplay::fileShown()
{
    if (onFileChanged)
        onFileChanged();
}

void ControllerStateDisplay::setTrayImage(TrayImage image)
{
    if (!isTrayIconShown())
        return;
    switch (image) {
    case TrayImage::Stop:
        m_parts.tray.setImage(QStringLiteral("Stop"));
        break;
    case TrayImage::Pause:
        m_parts.tray.setImage(QStringLiteral("Pause"));
        break;
    case TrayImage::Play:
        m_parts.tray.setImage(QStringLiteral("Play"));
        break;
    }
}

void ControllerStateDisplay::setRunningDisplay(bool running)
{
    ControllerMenus &menus = m_parts.menus;
    menus.action(QStringLiteral("mnuOparation_Stop"))
        ->setText(running ? QStringLiteral("中止(&S)") : QStringLiteral("開始(&S)"));
    for (const QString &name :
         { QStringLiteral("mnuPopup_Stop"), QStringLiteral("mnuTasktray_Stop") })
        menus.action(name)->setText(running ? QStringLiteral("中止") : QStringLiteral("開始"));
    m_parts.toolBars.mainButton(QStringLiteral("play"))->setChecked(running);
    if (!running)
        m_parts.toolBars.mainButton(QStringLiteral("pause"))->setChecked(false);
    // The profile cannot change under a running show.
    m_parts.toolBars.profileBox()->setEnabled(!running);
    if (onShowStateChanged)
        onShowStateChanged();
}

void ControllerStateDisplay::setPausedDisplay(bool paused)
{
    checkTriple(QStringLiteral("Pause"), paused);
    m_parts.toolBars.mainButton(QStringLiteral("pause"))->setChecked(paused);
    if (onShowStateChanged)
        onShowStateChanged();
}

void ControllerStateDisplay::setFastForwardChecked(bool checked)
{
    checkTriple(QStringLiteral("Nonestop"), checked);
}

void ControllerStateDisplay::setReverseChecked(bool checked)
{
    checkTriple(QStringLiteral("Reverse"), checked);
}

void ControllerStateDisplay::setHideItemsChecked(bool checked)
{
    checkTriple(QStringLiteral("Hide"), checked);
}

void ControllerStateDisplay::checkTriple(const QString &suffix, bool checked)
{
    for (QAction *a : m_parts.menus.triple(suffix))
        a->setChecked(checked);
}

void ControllerStateDisplay::restoreController()
{
    QMainWindow &window = m_parts.window;
    if (m_parts.tray.isInTray()) {
        m_parts.tray.restoreFromTray();
        return;
    }
    if (!window.isVisible())
        window.show();
    if (window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        window.setWindowState(window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        m_parts.tray.removeIcon();
    }
}

bool ControllerStateDisplay::setTopmost(QWidget *window, bool on)
{
    if (!window)
        return false;
    if (bool(window->windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return true;
    // Changing a window flag re-creates the native window: keep its place and visibility.
    const bool visible = window->isVisible();
    const QRect frame = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        window->setGeometry(frame);
        window->show();
    }
    return bool(window->windowFlags() & Qt::WindowStaysOnTopHint) == on;
}

bool ControllerStateDisplay::applyControllerTopmost(QWidget &window, QAction &alwaysOnTop)
{
    const bool on = alwaysOnTop.isChecked();
    if (bool(window.windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return true;
    const bool wasVisible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible)
        window.show();
    const bool ok = bool(window.windowFlags() & Qt::WindowStaysOnTopHint) == on;
    if (!ok)
        alwaysOnTop.setChecked(!on);
    return ok;
}

void ControllerStateDisplay::applyViewerTopmost()
{
    // Setting the option back below re-enters through the option pages' hook.
    if (m_applyingTopmost)
        return;
    m_applyingTopmost = true;
    if (m_options.isChecked(Opt::chkAlwaysOnTop)) {
        if (!setTopmost(&m_parts.viewer, true))
            m_options.setCheck(Opt::chkAlwaysOnTop, 0);
    } else {
        if (!setTopmost(&m_parts.viewer, false))
            m_options.setCheck(Opt::chkAlwaysOnTop, 1);
        QAction *item = m_parts.menus.action(QStringLiteral("mnuView_AlwaysOnTop"));
        if (item->isChecked())
            applyControllerTopmost(m_parts.window, *item);
    }
    if (m_parts.window.isVisible() && m_parts.window.windowState() == Qt::WindowNoState)
        m_parts.window.activateWindow();
    m_applyingTopmost = false;
}

void ControllerStateDisplay::closePageJump()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"frmJump")
            w->close();
    }
}

void ControllerStateDisplay::SetMovieSlider(int value)
{
    m_parts.movieBar.setSliderValue(value);
}

void ControllerStateDisplay::setMovieDuration(double seconds)
{
    m_parts.movieBar.setDuration(seconds);
    if (onFileChanged)
        onFileChanged();
}

void ControllerStateDisplay::setClipPlayState(ClipPlayState state)
{
    m_parts.movieBar.setClipPlayState(int(state));
}
