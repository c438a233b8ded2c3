#include "viewer/picture/cImage.h"

#include "viewer/picture/PictureAhead.h"
#include "viewer/picture/PictureAnimation.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/picture/PictureTarget.h"

#include <QPainter>
#include <QRegion>

cImage::cImage(PictureTarget *target, PictureBuffer *back, QObject *parent)
    : QObject(parent)
    , m_target(target)
    , m_back(back)
    , m_ahead(std::make_unique<PictureAhead>())
    , m_animation(new PictureAnimation([this](QImage frame) { showFrame(std::move(frame)); }, this))
{
    m_animation->setPrepare(&PictureAhead::forDrawing);
    if (m_back)
        m_back->setReleaser([this](QImage image) { m_ahead->release(std::move(image)); });
    adoptAhead();
}

void cImage::adoptAhead()
{
    // Called on the worker; the picture is completed on this object's thread.
    m_ahead->setRestReady([this] {
        QMetaObject::invokeMethod(
            this, [this] { completePicture(); }, Qt::QueuedConnection);
    });
}

void cImage::completePicture()
{
    // A notice for a rest replaced since is not this picture's.
    if (!m_back || !m_back->isPartial() || !m_ahead->isRestReady())
        return;
    PictureAhead::Picture whole = m_ahead->takeRest(m_back->sourcePath());
    if (whole.image.size() == m_back->size())
        m_back->setImage(std::move(whole.image));
    else if (!restoreFullSize())
        return;
    RefreshImage();
}

cImage::~cImage()
{
    // The buffer outlives this object.
    if (m_back)
        m_back->setReleaser({});
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

bool cImage::LoadPic(const QString &fileName, QSize bound, QSize visible)
{
    m_animation->clear();
    m_animationLoaded = false;
    if (!m_back)
        return false;
    if (fileName.isEmpty()) {
        m_back->clear();
        return true;
    }
    PictureAhead::Picture picture = m_ahead->take(fileName);
    // Shown at natural size, a large picture is drawn first from what the window shows of it.
    if (picture.image.isNull() && !bound.isValid() && visible.isValid())
        picture = PictureAhead::decodePart(fileName, visible);
    // Drawn stretched, a part is of no use: the whole is on its way already.
    if (picture.partial && bound.isValid())
        picture = m_ahead->takeRest(fileName);
    if (picture.image.isNull())
        picture = PictureAhead::decode(fileName, bound);
    if (picture.image.isNull())
        return false;
    const bool partial = picture.partial;
    if (partial)
        m_back->setPartialImage(std::move(picture.image), picture.natural, fileName);
    else if (picture.isReduced())
        m_back->setReducedImage(std::move(picture.image), picture.natural, fileName);
    else
        m_back->setImage(std::move(picture.image));
    m_back->keepDownscaled(std::move(picture.downscaled));
    if (picture.frames)
        m_back->setFrames(std::move(picture.frames));
    // Only now that the picture before has gone to be freed does the whole of this one follow.
    if (partial)
        m_ahead->decodeRest(fileName);
    if (m_back->isEmpty())
        return false;
    m_width = m_back->size().width();
    m_height = m_back->size().height();
    return true;
}

void cImage::decodeAhead(const QString &fileName, QSize bound, QSize visible,
                         std::function<QSize(QSize)> drawnSize)
{
    // At natural size only the part a window shows of a large picture is decoded ahead: the
    // whole beside the one on screen would double the memory.
    if (!bound.isValid() && visible.isValid())
        m_ahead->startPart(fileName, visible);
    else
        m_ahead->start(fileName, bound, QSize(), std::move(drawnSize));
}

void cImage::dropDecodeAhead()
{
    m_ahead->drop();
}

void cImage::setPictureAhead(std::unique_ptr<PictureAhead> ahead)
{
    if (ahead) {
        m_ahead = std::move(ahead);
        adoptAhead();
    }
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
    // A reduced picture serves only while it is drawn no larger than it is, a part only while
    // the picture is drawn at full scale.
    if (m_back->isReduced()
        && (!m_stretch || m_width > m_back->image().width() || m_height > m_back->image().height())
        && !restoreFullSize())
        return false;
    if (m_back->isPartial() && m_stretch && !restoreFullSize())
        return false;

    const QImage &source = m_back->image();
    if (QImage view = coveringView(source, size); !view.isNull()) {
        m_target->showInstead(std::move(view));
        m_target->refresh();
        return true;
    }
    m_target->showInstead(QImage());
    QImage &canvas = m_target->canvas();
    if (canvas.isNull() || canvas.size() != size)
        return false;
    QPainter painter;
    if (!painter.begin(&canvas))
        return false;
    const bool drawn = !source.isNull() && m_width > 0 && m_height > 0;
    // The background only where an opaque picture leaves the canvas bare.
    const QRect covered = !drawn || source.hasAlphaChannel() ? QRect() : drawnRect(source);
    for (const QRect &bare : QRegion(canvas.rect()).subtracted(covered))
        painter.fillRect(bare, m_target->backColor());
    painter.setBrushOrigin(0, 0);
    if (drawn) {
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

QRect cImage::drawnRect(const QImage &source) const
{
    if (m_stretch)
        return QRect(m_left, m_top, m_width, m_height);
    return QRect(m_left, m_top, qMin(m_width, source.width()), qMin(m_height, source.height()));
}

QImage cImage::coveringView(const QImage &source, QSize size) const
{
    // An opaque picture drawn unscaled over the whole canvas: the canvas can be the part of it
    // that shows, with nothing allocated, filled or copied.
    if (source.format() != QImage::Format_RGB32 || m_width <= 0 || m_height <= 0)
        return {};
    if (m_stretch && (m_width != source.width() || m_height != source.height()))
        return {};
    if (!drawnRect(source).contains(QRect(QPoint(0, 0), size)))
        return {};
    // The view keeps the whole picture alive until the next draw; only for one about the size
    // of the canvas, so that the pictures around a step never add up to more memory.
    if (qint64(source.width()) * source.height() > 2 * qint64(size.width()) * size.height())
        return {};
    const uchar *first
        = source.constBits() + qsizetype(-m_top) * source.bytesPerLine() + qsizetype(-m_left) * 4;
    return QImage(
        first, size.width(), size.height(), source.bytesPerLine(), QImage::Format_RGB32,
        [](void *kept) { delete static_cast<QImage *>(kept); }, new QImage(source));
}

bool cImage::restoreFullSize()
{
    const QSize natural = m_back->size();
    PictureAhead::Picture full = PictureAhead::decode(m_back->sourcePath());
    // A file changed since to other dimensions no longer fits the layout made for it.
    if (full.image.size() != natural)
        return false;
    m_back->setImage(std::move(full.image));
    return true;
}

void cImage::playAnimation(bool play)
{
    if (!m_animationLoaded && play && m_back && m_back->frames()) {
        m_animation->load(m_back->frames());
        m_animationLoaded = true;
    }
    m_animation->setPlaying(play);
}

bool cImage::animationMoves() const
{
    return m_back && m_back->frames() && (!m_animationLoaded || m_animation->moves());
}

bool cImage::animationPlayedThrough() const
{
    return !animationMoves() || m_animation->playedThrough();
}

void cImage::showFrame(QImage frame)
{
    if (!m_back)
        return;
    m_back->setFrame(std::move(frame));
    RefreshImage();
}

void cImage::clearTarget()
{
    if (!m_target)
        return;
    m_target->showBackground();
    m_target->refresh();
}
