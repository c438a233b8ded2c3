#include "controller/window/ControllerStateDisplay.h"

#include "controller/window/ControllerMenus.h"
#include "controller/window/frmOptions.h"
#include "core/Options.h"

#include <QAction>
#include <QComboBox>
#include <QToolBar>

ControllerStateDisplay::ControllerStateDisplay(frmOptions &window, Options &options)
    : m_window(window)
    , m_options(options)
{ }

void ControllerStateDisplay::MoviebarEnable(bool enabled)
{
    m_moviebarEnabled = enabled;
    m_window.MoviebarEnable(enabled);
}

bool ControllerStateDisplay::isTrayIconShown() const
{
    return m_window.isTrayIconShown();
}

void ControllerStateDisplay::setTrayTip(const QString &tip)
{
    m_window.setTrayTip(tip);
}

void ControllerStateDisplay::setTrayImage(TrayImage image)
{
    if (!isTrayIconShown())
        return;
    switch (image) {
    case TrayImage::Stop:
        m_window.setTrayImage(QStringLiteral("Stop"));
        break;
    case TrayImage::Pause:
        m_window.setTrayImage(QStringLiteral("Pause"));
        break;
    case TrayImage::Play:
        m_window.setTrayImage(QStringLiteral("Play"));
        break;
    }
}

void ControllerStateDisplay::setRunningDisplay(bool running)
{
    ControllerMenus &menus = m_window.menus();
    menus.action(QStringLiteral("mnuOparation_Stop"))
        ->setText(running ? QStringLiteral("中止(&S)") : QStringLiteral("開始(&S)"));
    for (const QString &name :
         { QStringLiteral("mnuPopup_Stop"), QStringLiteral("mnuTasktray_Stop") })
        menus.action(name)->setText(running ? QStringLiteral("中止") : QStringLiteral("開始"));
    m_window.toolButton(m_window.mainToolBar(), QStringLiteral("play"))->setChecked(running);
    if (!running)
        m_window.toolButton(m_window.mainToolBar(), QStringLiteral("pause"))->setChecked(false);
    // The profile cannot change under a running show.
    if (auto *box = m_window.findChild<QComboBox *>(QStringLiteral("cmbSetting")))
        box->setEnabled(!running);
}

void ControllerStateDisplay::setPausedDisplay(bool paused)
{
    checkTriple(QStringLiteral("Pause"), paused);
    m_window.toolButton(m_window.mainToolBar(), QStringLiteral("pause"))->setChecked(paused);
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
    for (QAction *a : m_window.menus().triple(suffix))
        a->setChecked(checked);
}

void ControllerStateDisplay::restoreController()
{
    if (m_window.isInTray()) {
        m_window.restoreFromTray();
        return;
    }
    if (!m_window.isVisible())
        m_window.show();
    if (m_window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        m_window.setWindowState(m_window.windowState()
                                & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        m_window.removeTrayIcon();
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

void ControllerStateDisplay::applyViewerTopmost()
{
    // Setting the option back below re-enters through the option pages' hook.
    if (m_applyingTopmost)
        return;
    m_applyingTopmost = true;
    if (m_options.isChecked(Opt::chkAlwaysOnTop)) {
        if (!setTopmost(m_viewer, true))
            m_options.setCheck(Opt::chkAlwaysOnTop, 0);
    } else {
        if (!setTopmost(m_viewer, false))
            m_options.setCheck(Opt::chkAlwaysOnTop, 1);
        if (m_window.menus().action(QStringLiteral("mnuView_AlwaysOnTop"))->isChecked())
            m_window.applyControllerTopmost();
    }
    if (m_window.isVisible() && m_window.windowState() == Qt::WindowNoState)
        m_window.activateWindow();
    m_applyingTopmost = false;
}

void ControllerStateDisplay::closePageJump()
{
    m_window.closePageJump();
}

void ControllerStateDisplay::SetMovieSlider(int value)
{
    m_window.SetMovieSlider(value);
}

void ControllerStateDisplay::setMovieDuration(double seconds)
{
    m_window.setMovieDuration(seconds);
}

void ControllerStateDisplay::setClipPlayState(ClipPlayState state)
{
    m_window.setClipPlayState(int(state));
}
