#pragma once

class QScreen;

// Stored window geometry and column widths are in twips, 1440 to the logical inch.
namespace Twips {
// Twips per pixel on `screen` (the primary screen when null): 15 at 96 DPI.
double perPixel(const QScreen *screen);
} // namespace Twips
