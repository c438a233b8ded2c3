#pragma once

class QScreen;
class QString;

// Stored window geometry and column widths are in twips, 1440 to the logical inch.
namespace Twips {
// Twips per pixel on `screen` (the primary screen when null): 15 at 96 DPI.
double perPixel(const QScreen *screen);
// A stored length or position in pixels: `fallback` twips when the text is no number (absent,
// damaged or hand-edited), and one beyond any screen kept within reach so that it converts.
int storedToPixels(const QString &stored, double fallback, double twipsPerPixel);
} // namespace Twips
