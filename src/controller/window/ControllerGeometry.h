#pragma once

#include <QPoint>
#include <QSize>

// Window arithmetic of the controller, in twips, kept apart from the widgets.
namespace ControllerGeometry {

// Heights (twips) of the parts that the view levels show.
struct Parts
{
    double mainBar = 0; // always shown
    double movieBar = 0; // level 2 and up
    double player = 0; // level 3 and up
    double tabs = 0; // level 4
    double frame = 0; // window height minus client height
};

// 1 tool bar only, 2 + movie bar, 3 + music player, 4 + option tabs.
int windowHeightForLevel(int level, const Parts &parts);
// The level the window opens with from "ShowMoviebar", "ShowPlayer" and "ShowSetting".
int initialViewLevel(bool showMoviebar, bool showPlayer, bool showSetting);
// A stored position that would put the window wholly off the screen is reset to 0 on that axis.
QPoint correctOffScreen(QPoint topLeft, QSize window, QSize screen);
// The new top that keeps the bottom edge in place when the height changes.
int topKeepingBottom(int top, int oldHeight, int newHeight);

} // namespace ControllerGeometry
