#include "core/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QString>

#include <algorithm>
#include <cmath>

double Twips::perPixel(const QScreen *screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int Twips::storedToPixels(const QString &stored, double fallback, double twipsPerPixel)
{
    bool ok = false;
    double twips = stored.toDouble(&ok);
    if (!ok || !std::isfinite(twips))
        twips = fallback;
    return int(std::lround(std::clamp(twips, -1e7, 1e7) / twipsPerPixel));
}
