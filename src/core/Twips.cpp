#include "core/Twips.h"

#include <QGuiApplication>
#include <QScreen>

double Twips::perPixel(const QScreen *screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}
