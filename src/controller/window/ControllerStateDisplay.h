#pragma once

#include "controller/window/ControllerParts.h"
#include "engine/ControllerPort.h"

#include <functional>

class Options;
class QAction;
class QWidget;

// Shows the slideshow's state in the controller window: captions, check marks, tool bar
// buttons, the movie bar and the tray icon; also puts the two windows into or out of the
// always-on-top band.
class ControllerStateDisplay : public ControllerPort
{
public:
    ControllerStateDisplay(const ControllerParts &parts, Options &options);
    // Told after the show starts, stops, pauses or resumes.
    std::function<void()> onShowStateChanged;
    // Told when a new file is on screen or the length of the clip on screen becomes known.
    std::function<void()> onFileChanged;

    void MoviebarEnable(bool enabled) override;
    bool isMoviebarEnabled() const override { return m_moviebarEnabled; }
    bool isTrayIconShown() const override;
    void setTrayTip(const QString &tip) override;
    void fileShown() override;
    void setTrayImage(TrayImage image) override;
    void setRunningDisplay(bool running) override;
    void setPausedDisplay(bool paused) override;
    void setFastForwardChecked(bool checked) override;
    void setReverseChecked(bool checked) override;
    void setHideItemsChecked(bool checked) override;
    void restoreController() override;
    void applyViewerTopmost() override;
    void closePageJump() override;
    void SetMovieSlider(int value) override;
    void setMovieDuration(double seconds) override;
    void setClipPlayState(ClipPlayState state) override;

    // Puts a window into or out of the topmost band without moving it; true when the window
    // system took it.
    static bool setTopmost(QWidget *window, bool on);
    // Puts the controller into the band or out of it as its menu item says; when the window
    // system refuses, the item goes back.
    static bool applyControllerTopmost(QWidget &window, QAction &alwaysOnTop);

private:
    void checkTriple(const QString &suffix, bool checked);

    ControllerParts m_parts;
    Options &m_options;
    bool m_moviebarEnabled = false;
    bool m_applyingTopmost = false;
};
