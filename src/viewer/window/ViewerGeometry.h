#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The viewer window's arithmetic, free of widgets so that it can be checked without a screen.
// Window positions and sizes are in twips where the stored geometry uses them, everything
// inside the window in pixels. A work area's right() and bottom() are its last pixels.
namespace ViewerGeometry {

// Nearest integer, halves to even (2.5 → 2, 3.5 → 4).
int roundHalfEven(double value);
// Screen twips per pixel for a logical DPI: 15 at 96 DPI.
int twipsPerPixel(double logicalDpi);

// What the window adds around its display area, and where it may grow to.
struct ViewerMetrics
{
    int twipsPerPixelX = 15;
    int twipsPerPixelY = 15;
    int viewAreaWidth = 0;
    int viewAreaHeight = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    QRect workArea;
};

// The options that bound the window's outer size for a file.
struct SizeLimitOptions
{
    bool maxWidthOn = false; // chkMaxWidth
    int maxWidth = 0; // txtMaxWidth
    bool maxHeightOn = false; // chkMaxHeight
    int maxHeight = 0; // txtMaxHeight
    bool fixFormOn = false; // chkFixForm
    int fixLocation = 0; // cmbFixFormLocation
    int fixX = 0; // txtFixX
    int fixY = 0; // txtFixY
};

// Largest outer width and height (pixels) for a window whose top-left is at windowTopLeft.
QSize sizeLimits(const SizeLimitOptions &options, const QRect &workArea,
                 const QPoint &windowTopLeft);
// A window's top left moved into the work area, so that no part of it (its title bar first)
// lies under a panel or tray the desktop keeps out of the work area.
QPoint topLeftInside(QPoint topLeft, const QRect &workArea);

struct WindowFit
{
    int width = 0; // outer size, pixels
    int height = 0;
    // Set when the content has to be stretched to this size to keep its aspect ratio.
    std::optional<QSize> contentSize;
};

// Outer window size for content of `content` pixels: the content plus the frame, clipped to
// the limits; room for a scroll bar when only one axis is clipped, or, when stretching, the
// clipped axis scales the other by the aspect ratio (height ÷ width).
WindowFit fitWindowToContent(QSize content, int maxWidth, int maxHeight, int frameWidth,
                             int frameHeight, int hBarHeight, int vBarWidth, bool stretch,
                             double aspectRatio);

// Outer top-left in twips for a fixed location index (0 the coordinates, 1 top left,
// 2 bottom left, 3 top right, 4 bottom right); nothing for any other index.
std::optional<QPoint> fixedPosition(int location, int fixX, int fixY, const QRect &workArea,
                                    int twipsPerPixelX, int twipsPerPixelY, QSize outerTwips);

struct ScrollBarLayout
{
    bool needH = false;
    bool needV = false;
    QRect hBar; // valid when needH
    QRect vBar; // valid when needV
    int hMax = 0;
    int vMax = 0;
    int hLargeChange = 0; // 0: leave the bar's large change as it is
    int vLargeChange = 0;
    QSize picView;
};

// Which bars content of `content` pixels needs in a display area of `area` pixels, where they
// go, their ranges, and what is left of the area for the picture.
ScrollBarLayout layoutScrollBars(QSize content, QSize area, int hBarHeight, int vBarWidth);

// The size content takes in an area, keeping the aspect ratio when asked.
QSize fitContentToArea(int areaWidth, int areaHeight, bool keepRatio, double aspectRatio);

// Content smaller than the picture area along an axis is centred on it; other axes keep their
// offset.
QPoint centreContent(const QRect &content, QSize picView);
// Content at least as large as the area along an axis starts at 0; smaller axes are centred.
QPoint placeContent(const QRect &content, QSize picView);

// The zoomed size of content, each side rounded half to even.
QSize zoomed(QSize natural, double factor);

// Whether a screen pixel lies inside a window whose outer rectangle is given in twips.
bool isCursorOverViewer(QPoint cursor, const QRect &outerTwips, int twipsPerPixelX,
                        int twipsPerPixelY);

} // namespace ViewerGeometry
