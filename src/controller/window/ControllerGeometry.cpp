#include "controller/window/ControllerGeometry.h"

#include <cmath>

namespace ControllerGeometry {

int windowHeightForLevel(int level, const Parts &parts)
{
    double h = parts.mainBar;
    if (level >= 2)
        h += parts.movieBar;
    if (level >= 3)
        h += parts.player;
    if (level == 4)
        h += parts.tabs + 240;
    return int(std::lround(h + parts.frame));
}

int initialViewLevel(bool showMoviebar, bool showPlayer, bool showSetting)
{
    if (showSetting)
        return 4;
    if (showPlayer)
        return 3;
    return showMoviebar ? 2 : 1;
}

QPoint correctOffScreen(QPoint topLeft, QSize window, QSize screen)
{
    QPoint p = topLeft;
    if (p.y() <= -window.height() || p.y() >= screen.height())
        p.setY(0);
    if (p.x() <= -window.width() || p.x() >= screen.width())
        p.setX(0);
    return p;
}

int topKeepingBottom(int top, int oldHeight, int newHeight)
{
    return top + (oldHeight - newHeight);
}

} // namespace ControllerGeometry
