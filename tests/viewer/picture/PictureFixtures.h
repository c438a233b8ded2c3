#pragma once

#include "viewer/picture/PictureTarget.h"

#include <QColor>
#include <QImage>
#include <QPainter>

// A canvas that counts how often it was put on screen.
class CanvasTarget : public PictureTarget
{
public:
    explicit CanvasTarget(QSize size)
        : image(size, QImage::Format_RGB32)
    {
        image.fill(Qt::black);
    }
    QSize targetSize() const override { return size; }
    QImage &canvas() override { return image; }
    void showInstead(QImage picture) override { instead = std::move(picture); }
    void showBackground() override
    {
        instead = QImage();
        image.fill(back);
    }
    const QImage &shown() const { return instead.isNull() ? image : instead; }
    QColor backColor() const override { return back; }
    void refresh() override { ++refreshes; }

    QImage image; // the canvas of its own
    QImage instead; // a picture shown in its place
    QSize size = image.size();
    QColor back = QColor(0x20, 0x40, 0x60);
    int refreshes = 0;
};

// 40 × 40: red, green / blue, yellow quadrants.
inline QImage quadrants()
{
    QImage image(40, 40, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 20, 20, Qt::red);
    p.fillRect(20, 0, 20, 20, Qt::green);
    p.fillRect(0, 20, 20, 20, Qt::blue);
    p.fillRect(20, 20, 20, 20, Qt::yellow);
    return image;
}

inline QColor at(const CanvasTarget &t, int x, int y)
{
    return t.shown().pixelColor(x, y);
}

inline bool allOf(const QImage &image, const QColor &color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != color)
                return false;
    return true;
}
