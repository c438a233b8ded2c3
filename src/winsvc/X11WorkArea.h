#pragma once

#include <QSize>

// The size of the desktop's work area (the screen less the panels) as the window manager
// publishes it on the X server, read over a connection of its own: it can be asked before the
// application is made, and from any thread. Invalid where no X display answers.
class X11WorkArea
{
public:
    static QSize read();
};
