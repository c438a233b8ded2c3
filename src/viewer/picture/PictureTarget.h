#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

// Where the image surface draws: a canvas as large as the display area, kept between redraws,
// filled with the background colour where no picture is.
class PictureTarget
{
public:
    virtual ~PictureTarget() = default;
    // The size the canvas should have; the canvas is null when it could not be allocated.
    virtual QSize targetSize() const = 0;
    // The canvas of the target's own, to draw on.
    virtual QImage &canvas() = 0;
    // Shows `image`, of exactly the target's size, in place of the canvas without copying it:
    // a picture that covers the whole area. A null image shows the canvas again.
    virtual void showInstead(QImage image) = 0;
    // Shows only the background colour. The canvas may be dropped meanwhile: the next call to
    // canvas() gives one filled with the background.
    virtual void showBackground() = 0;
    virtual QColor backColor() const = 0;
    // Puts the canvas on screen.
    virtual void refresh() = 0;
};
