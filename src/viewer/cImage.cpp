#include "viewer/cImage.h"

#include "viewer/PictureBuffer.h"
#include "viewer/PictureTarget.h"

#include <QImageReader>
#include <QPainter>

namespace {

// Qt refuses pictures above 128 MB by default; a 48-megapixel photo needs about 190 MB.
constexpr int decodeLimitMegabytes = 1024;

} // namespace

cImage::cImage(PictureTarget *target, PictureBuffer *back, QObject *parent)
    : QObject(parent)
    , m_target(target)
    , m_back(back)
{
    if (QImageReader::allocationLimit() < decodeLimitMegabytes)
        QImageReader::setAllocationLimit(decodeLimitMegabytes);
}

void cImage::setVisible(bool visible)
{
    m_visible = visible;
    if (visible)
        RefreshImage();
    else
        clearTarget();
}

void cImage::setStretch(bool stretch)
{
    m_stretch = stretch;
    RefreshImage();
}

void cImage::setLeft(int left)
{
    m_left = left;
    RefreshImage();
}

void cImage::setTop(int top)
{
    m_top = top;
    RefreshImage();
}

void cImage::setWidth(int width)
{
    m_width = width;
    RefreshImage();
}

void cImage::setHeight(int height)
{
    m_height = height;
    RefreshImage();
}

void cImage::Cls()
{
    LoadPic(QString());
}

void cImage::Move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                  std::optional<int> height)
{
    if (left)
        m_left = *left;
    if (top)
        m_top = *top;
    if (width)
        m_width = *width;
    if (height)
        m_height = *height;
    RefreshImage();
}

bool cImage::LoadPic(const QString &fileName)
{
    if (!m_back)
        return false;
    if (fileName.isEmpty()) {
        m_back->clear();
        return true;
    }
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    m_back->setImage(std::move(image));
    if (m_back->isEmpty())
        return false;
    m_width = m_back->size().width();
    m_height = m_back->size().height();
    return true;
}

bool cImage::RefreshImage()
{
    if (!m_visible)
        return true;
    if (draw())
        return true;
    emit drawingFailed();
    return false;
}

bool cImage::draw()
{
    if (!m_target || !m_back)
        return false;
    const QSize size = m_target->targetSize();
    if (size.isEmpty()) {
        m_target->refresh();
        return true;
    }
    QImage &canvas = m_target->canvas();
    if (canvas.isNull() || canvas.size() != size)
        return false;

    QPainter painter;
    if (!painter.begin(&canvas))
        return false;
    painter.fillRect(canvas.rect(), m_target->backColor());
    painter.setBrushOrigin(0, 0);
    const QImage &source = m_back->image();
    if (!source.isNull() && m_width > 0 && m_height > 0) {
        if (!m_stretch) {
            painter.drawImage(QPoint(m_left, m_top), source, QRect(0, 0, m_width, m_height));
        } else if (m_width == source.width() && m_height == source.height()) {
            painter.drawImage(QPoint(m_left, m_top), source);
        } else if (m_width <= source.width() && m_height <= source.height()) {
            // Shrinking: an area-averaging scale (kept for the next redraw) then a plain copy;
            // sampling the source directly would alias fine detail.
            const QImage &scaled = m_back->downscaled(QSize(m_width, m_height));
            if (scaled.isNull())
                return false;
            painter.drawImage(QPoint(m_left, m_top), scaled);
        } else {
            // Enlarging: the painter scales only what falls inside the canvas.
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRect(m_left, m_top, m_width, m_height), source);
        }
    }
    if (!painter.end())
        return false;
    m_target->refresh();
    return true;
}

void cImage::clearTarget()
{
    if (!m_target)
        return;
    QImage &canvas = m_target->canvas();
    if (!canvas.isNull())
        canvas.fill(m_target->backColor());
    m_target->refresh();
}
