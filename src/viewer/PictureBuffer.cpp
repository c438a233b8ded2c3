#include "viewer/PictureBuffer.h"

void PictureBuffer::setImage(QImage image)
{
    // Opaque pictures as RGB32 and the rest premultiplied: the formats QPainter copies fastest.
    if (!image.isNull()) {
        const auto format
            = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
        if (image.format() != format)
            image.convertTo(format);
    }
    m_image = std::move(image);
    m_scaled = QImage();
}

void PictureBuffer::clear()
{
    m_image = QImage();
    m_scaled = QImage();
}

const QImage &PictureBuffer::downscaled(QSize size)
{
    if (m_scaled.size() != size || m_scaled.isNull())
        m_scaled = m_image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return m_scaled;
}
