#include "viewer/picture/PictureBuffer.h"

#include <utility>

QImage PictureBuffer::drawingForm(QImage image)
{
    // Opaque pictures as RGB32 and the rest premultiplied: the formats QPainter copies fastest.
    if (!image.isNull()) {
        const auto format
            = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
        if (image.format() != format)
            image.convertTo(format);
    }
    return image;
}

void PictureBuffer::setImage(QImage image)
{
    QImage old = std::exchange(m_image, drawingForm(std::move(image)));
    QImage oldScaled = std::exchange(m_scaled, QImage());
    if (m_releaser) {
        m_releaser(std::move(old));
        m_releaser(std::move(oldScaled));
    }
    m_natural = m_image.size();
    m_source.clear();
    m_partial = false;
    m_frames = {};
}

void PictureBuffer::setFrame(QImage frame)
{
    // The frame before goes at once, not to the releaser: frames come many a second, and on the
    // releaser's worker they would pile up behind the decode of the next file.
    m_image = drawingForm(std::move(frame));
    m_scaled = QImage();
    m_natural = m_image.size();
}

void PictureBuffer::setReducedImage(QImage image, QSize natural, const QString &source)
{
    setImage(std::move(image));
    if (m_image.isNull())
        return;
    m_natural = natural;
    m_source = source;
}

void PictureBuffer::setPartialImage(QImage image, QSize natural, const QString &source)
{
    setReducedImage(std::move(image), natural, source);
    m_partial = !m_image.isNull();
}

void PictureBuffer::clear()
{
    setImage(QImage());
}

QImage PictureBuffer::shrunk(const QImage &image, QSize size)
{
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

const QImage &PictureBuffer::downscaled(QSize size)
{
    if (m_scaled.size() != size || m_scaled.isNull())
        m_scaled = shrunk(m_image, size);
    return m_scaled;
}

void PictureBuffer::keepDownscaled(QImage scaled)
{
    if (!m_image.isNull() && !scaled.isNull())
        m_scaled = std::move(scaled);
}
