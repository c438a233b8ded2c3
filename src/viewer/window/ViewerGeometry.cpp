#include "viewer/window/ViewerGeometry.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ViewerGeometry {

namespace {

// Results that feed window and widget sizes; a division by a zero extent must not turn into
// an undefined conversion.
int toPixels(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double limit = double(std::numeric_limits<int>::max());
    return roundHalfEven(std::clamp(value, -limit, limit));
}

} // namespace

int roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    double result = diff < 0.5 ? floor : floor + 1;
    if (diff == 0.5)
        result = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    // Values from number fields can be far out of range; clamp rather than wrap around.
    if (!(result >= double(std::numeric_limits<int>::min())))
        return std::numeric_limits<int>::min();
    if (result > double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(result);
}

int twipsPerPixel(double logicalDpi)
{
    if (logicalDpi <= 0)
        return 15;
    return std::max(1, qRound(1440.0 / logicalDpi));
}

QSize sizeLimits(const SizeLimitOptions &o, const QRect &workArea, const QPoint &windowTopLeft)
{
    int maxWidth;
    if (o.maxWidthOn)
        maxWidth = o.maxWidth;
    else if (o.fixFormOn)
        maxWidth = o.fixLocation == 0 ? workArea.right() - o.fixX + 1 : workArea.right() + 1;
    else
        maxWidth = workArea.right() - windowTopLeft.x() + 1;

    int maxHeight;
    if (o.maxHeightOn)
        maxHeight = o.maxHeight;
    else if (o.fixFormOn)
        maxHeight = o.fixLocation == 0 ? workArea.bottom() - o.fixY + 1 : workArea.bottom() + 1;
    else
        maxHeight = workArea.bottom() - windowTopLeft.y() + 1;
    return QSize(maxWidth, maxHeight);
}

QPoint topLeftInside(QPoint topLeft, const QRect &workArea)
{
    if (!workArea.isValid())
        return topLeft;
    return QPoint(std::clamp(topLeft.x(), workArea.left(), workArea.right()),
                  std::clamp(topLeft.y(), workArea.top(), workArea.bottom()));
}

WindowFit fitWindowToContent(QSize content, int maxWidth, int maxHeight, int frameWidth,
                             int frameHeight, int hBarHeight, int vBarWidth, bool stretch,
                             double aspectRatio)
{
    const int w = content.width();
    const int h = content.height();
    WindowFit fit;
    // Zoomed content can be close to the largest int: add in 64 bits.
    const qint64 framedW = qint64(w) + frameWidth;
    const qint64 framedH = qint64(h) + frameHeight;
    const bool clippedW = maxWidth < framedW;
    const bool clippedH = maxHeight < framedH;
    fit.width = clippedW ? maxWidth : int(framedW);
    fit.height = clippedH ? maxHeight : int(framedH);

    if (!stretch) {
        // The clipped axis gets a scroll bar, which takes room from the other one.
        if (clippedW && !clippedH)
            fit.height = fit.height + hBarHeight >= maxHeight ? maxHeight : fit.height + hBarHeight;
        else if (clippedH && !clippedW)
            fit.width = fit.width + vBarWidth >= maxWidth ? maxWidth : fit.width + vBarWidth;
    } else if (clippedW || clippedH) {
        const double rw = double(fit.width - frameWidth) / w;
        const double rh = double(fit.height - frameHeight) / h;
        int cw, ch;
        if (rh > rw) {
            cw = fit.width - frameWidth;
            ch = toPixels(aspectRatio * cw);
            fit.height = ch + frameHeight;
        } else {
            ch = fit.height - frameHeight;
            cw = toPixels(ch / aspectRatio);
            fit.width = cw + frameWidth;
        }
        fit.contentSize = QSize(std::max(0, cw), std::max(0, ch));
    }

    fit.width = std::max(frameWidth, fit.width);
    fit.height = std::max(frameHeight, fit.height);
    return fit;
}

std::optional<QPoint> fixedPosition(int location, int fixX, int fixY, const QRect &workArea,
                                    int tppX, int tppY, QSize outerTwips)
{
    const int right = (workArea.right() + 1) * tppX - outerTwips.width();
    const int bottom = (workArea.bottom() + 1) * tppY - outerTwips.height();
    switch (location) {
    case 0:
        return QPoint(fixX * tppX, fixY * tppY);
    case 1:
        return QPoint(0, 0);
    case 2:
        return QPoint(0, bottom);
    case 3:
        return QPoint(right, 0);
    case 4:
        return QPoint(right, bottom);
    default:
        return std::nullopt;
    }
}

ScrollBarLayout layoutScrollBars(QSize content, QSize area, int bh, int bw)
{
    const int w = content.width();
    const int h = content.height();
    const int W = area.width();
    const int H = area.height();
    ScrollBarLayout l;
    l.needH = W < w;
    l.needV = H < h;
    // One bar can make the other necessary.
    if (l.needV && !l.needH)
        l.needH = W - bw < w;
    if (l.needH && !l.needV)
        l.needV = H - bh < h;
    // A bar thicker than the area never shows.
    if (bh > H)
        l.needH = false;
    if (bw > W)
        l.needV = false;

    if (l.needH) {
        l.hBar = QRect(0, H - bh, W - (l.needV ? bw : 0), bh);
        l.hMax = w - W + (l.needV ? bw : 0);
        l.hLargeChange = W > 0 ? W : 0;
    }
    if (l.needV) {
        l.vBar = QRect(W - bw, 0, bw, H - (l.needH ? bh : 0));
        l.vMax = h - H + (l.needH ? bh : 0);
        l.vLargeChange = H > 0 ? H : 0;
    }
    l.picView = QSize(l.needV ? W - bw : W, l.needH ? H - bh : H);
    return l;
}

QSize fitContentToArea(int aw, int ah, bool keepRatio, double aspectRatio)
{
    if (keepRatio) {
        const float r = float(ah) / float(aw);
        if (r >= aspectRatio)
            ah = toPixels(aw * aspectRatio);
        else
            aw = toPixels(ah / aspectRatio);
    }
    return QSize(aw, ah);
}

QPoint centreContent(const QRect &content, QSize picView)
{
    // Content exactly as large as the area has one place, at 0: an offset kept from a larger
    // area (a window resized while minimised) would leave it partly outside.
    QPoint at = content.topLeft();
    if (content.width() <= picView.width())
        at.setX((picView.width() - content.width()) / 2);
    if (content.height() <= picView.height())
        at.setY((picView.height() - content.height()) / 2);
    return at;
}

QPoint placeContent(const QRect &content, QSize picView)
{
    QRect placed = content;
    if (content.width() >= picView.width())
        placed.moveLeft(0);
    if (content.height() >= picView.height())
        placed.moveTop(0);
    if (content.width() < picView.width() || content.height() < picView.height())
        return centreContent(placed, picView);
    return placed.topLeft();
}

QSize zoomed(QSize natural, double factor)
{
    return QSize(toPixels(natural.width() * factor), toPixels(natural.height() * factor));
}

bool isCursorOverViewer(QPoint cursor, const QRect &outerTwips, int tppX, int tppY)
{
    const int left = outerTwips.x();
    const int top = outerTwips.y();
    const int right = left + outerTwips.width();
    const int bottom = top + outerTwips.height();
    return left / tppX <= cursor.x() && cursor.x() < right / tppX && top / tppY <= cursor.y()
        && cursor.y() < bottom / tppY;
}

} // namespace ViewerGeometry
