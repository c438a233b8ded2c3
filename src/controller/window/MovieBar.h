#pragma once

#include <QObject>

class ControllerMenus;
class ControllerToolBars;
class Slideshow;

// The movie controls of the controller: the movie tool bar with its position slider and the
// movie menus of the menu bar, the viewer's pop-up menu and the tray menu. They are usable while
// a clip is on screen; the quit items take the opposite, so the program is not quit from a menu
// in the middle of a clip.
class MovieBar : public QObject
{
    Q_OBJECT
public:
    MovieBar(ControllerToolBars &bars, ControllerMenus &menus, QObject *parent = nullptr);

    // The slider's moves reach the slideshow from now on.
    void attach(Slideshow &slideshow);
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    // The slider's maximum becomes the rounded length; it is usable only for a known length.
    void setDuration(double seconds);
    // Sets the slider's value; the slideshow tells its own moves from the user's.
    void setSliderValue(int value);
    // The "play" and "pause" buttons and the movie items follow the clip's play state
    // (ControllerPort::ClipPlayState); -1 shows the state last given again.
    void setClipPlayState(int state);
    // The bar is usable only at the view levels that show it.
    void setViewLevel(int level) { m_viewLevel = level; }

private:
    ControllerToolBars &m_bars;
    ControllerMenus &m_menus;
    int m_viewLevel = 4;
    double m_duration = 0;
    bool m_enabled = false;
    int m_clipPlayState = 2;
};
