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
    virtual QImage &canvas() = 0;
    virtual QColor backColor() const = 0;
    // Puts the canvas on screen.
    virtual void refresh() = 0;
};
