#pragma once

#include <QString>

// What the engine needs of the controller window: its captions, check marks, tool bar buttons
// and tray icon follow the slideshow's state through these calls.
class ControllerPort
{
public:
    virtual ~ControllerPort() = default;

    enum class TrayImage { Stop, Pause, Play };

    // Enables or disables the movie tool bar and its menus.
    virtual void MoviebarEnable(bool enabled) = 0;
    virtual bool isMoviebarEnabled() const = 0;
    virtual bool isTrayIconShown() const = 0;
    virtual void setTrayTip(const QString &tip) = 0;
    // A new file is on screen (after its caption and tray tip are set).
    virtual void fileShown() = 0;
    // Changes the tray icon's image; nothing happens while no icon is shown.
    virtual void setTrayImage(TrayImage image) = 0;

    // Start/stop items: "中止(&S)"/"中止" while running, "開始(&S)"/"開始" when stopped; the
    // tool bar's "play" button pressed or released; the profile box locked while running.
    virtual void setRunningDisplay(bool running) = 0;
    // The three pause items and the tool bar's "pause" button.
    virtual void setPausedDisplay(bool paused) = 0;
    virtual void setFastForwardChecked(bool checked) = 0;
    virtual void setReverseChecked(bool checked) = 0;
    // Check marks of the three "hide" menu items.
    virtual void setHideItemsChecked(bool checked) = 0;

    // Brings the controller back when the show stops: shown, in normal state, out of the tray.
    virtual void restoreController() = 0;
    // Puts the viewer into or out of the always-on-top band as the options say.
    virtual void applyViewerTopmost() = 0;
    // Closes the page jump dialog if it is open.
    virtual void closePageJump() = 0;
    // Moves the movie position slider (whole seconds) to follow playback. The slider's change
    // handler tells this apart from the user's move through Slideshow::sliderUpdating.
    virtual void SetMovieSlider(int value) = 0;
    // The length of the clip on screen: the slider's maximum is its rounded value, and the
    // slider is usable only while it is above 0.
    virtual void setMovieDuration(double seconds) = 0;

    enum class ClipPlayState { Playing, Paused, Stopped };
    // The movie bar's play and pause buttons and items follow the clip's play state.
    virtual void setClipPlayState(ClipPlayState state) = 0;
};
