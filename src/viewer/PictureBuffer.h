#pragma once

#include <QImage>
#include <QSize>

// The holding buffer of the image surface: the current picture decoded once at its natural
// size, in a format that draws without conversion. Keeps the last smooth downscale so that
// moving or scrolling a stretched picture does not scale it again.
class PictureBuffer
{
public:
    const QImage &image() const { return m_image; }
    QSize size() const { return m_image.size(); }
    bool isEmpty() const { return m_image.isNull(); }

    // Takes a decoded picture (from the built-in loader or a plug-in).
    void setImage(QImage image);
    void clear();

    // The picture scaled down to `size` with an area-averaging filter; null when it cannot be
    // made (no memory).
    const QImage &downscaled(QSize size);

private:
    QImage m_image;
    QImage m_scaled;
};
