#pragma once

#include "viewer/picture/FrameSource.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

// The holding buffer of the image surface: the current picture decoded once, in a format that
// draws without conversion; at its natural size, or reduced when it is only ever drawn smaller
// (then the file it came from is kept, to decode it at full size when that is needed). Keeps
// the last smooth downscale so that moving or scrolling a stretched picture does not scale it
// again.
class PictureBuffer
{
public:
    const QImage &image() const { return m_image; }
    // The picture's natural size, whatever the size of the image held.
    QSize size() const { return m_natural; }
    bool isEmpty() const { return m_image.isNull(); }
    bool isReduced() const
    {
        return !m_partial && !m_image.isNull() && m_image.size() != m_natural;
    }
    // Only the top left part of the picture is held, at full scale; the rest is on its way.
    bool isPartial() const { return m_partial; }
    QString sourcePath() const { return m_source; }

    // Takes a decoded picture (from the built-in loader or a plug-in) at its natural size.
    void setImage(QImage image);
    // Takes a picture of the file `source` decoded smaller than its natural size.
    void setReducedImage(QImage image, QSize natural, const QString &source);
    // Takes the top left part of the picture of the file `source`, at full scale.
    void setPartialImage(QImage image, QSize natural, const QString &source);
    // The frames of the picture held, when it may move; set after the picture, cleared with it.
    void setFrames(FrameSourceOpener frames) { m_frames = std::move(frames); }
    const FrameSourceOpener &frames() const { return m_frames; }
    // Puts a later frame of the animation in place of the one held.
    void setFrame(QImage frame);
    // The picture in the form the buffer holds; a picture already in it is returned as it is,
    // so a worker thread can convert ahead of time.
    static QImage drawingForm(QImage image);
    void clear();

    // Where the pictures this buffer lets go are sent, so that a worker frees them: giving back
    // the memory of a large picture takes longer than drawing the next one. Unset, they are
    // freed at once.
    void setReleaser(std::function<void(QImage)> releaser) { m_releaser = std::move(releaser); }

    // The picture scaled down to `size` with an area-averaging filter; null when it cannot be
    // made (no memory).
    const QImage &downscaled(QSize size);
    // Takes the picture held, already scaled down on a worker, as the last downscale.
    void keepDownscaled(QImage scaled);
    // The area-averaging downscale that drawing a picture smaller than it is uses.
    static QImage shrunk(const QImage &image, QSize size);

private:
    QImage m_image;
    QImage m_scaled;
    QSize m_natural;
    QString m_source;
    bool m_partial = false;
    FrameSourceOpener m_frames;
    std::function<void(QImage)> m_releaser;
};
