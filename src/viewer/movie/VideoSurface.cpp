#include "viewer/movie/VideoSurface.h"

#include "viewer/movie/MediaPlayer.h"

#include <QPainter>

VideoSurface::VideoSurface(QWidget *parent)
    : MouseReportingWidget(parent)
{
    // Every pixel is painted in paintEvent.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoSurface::showFramesOf(MediaPlayer &player)
{
    m_player = &player;
    player.receiveVideo();
    connect(&player, &MediaPlayer::videoFrameChanged, this, &VideoSurface::onFrame);
    // Qt 6.4's GStreamer backend replaces the codec names a source reports first with the
    // first names of its codec lists ("MPEG1", "MP3") once playback runs: the first are kept.
    connect(&player, &MediaPlayer::metaDataChanged, this, [this, &player] {
        if (m_codecs.videoCodec.isEmpty())
            m_codecs.videoCodec = player.videoCodec();
        if (m_codecs.audioCodec.isEmpty())
            m_codecs.audioCodec = player.audioCodec();
    });
}

void VideoSurface::Move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                        std::optional<int> height)
{
    setGeometry(left.value_or(x()), top.value_or(y()), width.value_or(QWidget::width()),
                height.value_or(QWidget::height()));
}

void VideoSurface::setFitToSize()
{
    m_autoSize = false;
    setDisplaySize(4);
}

void VideoSurface::setAutoSize(bool on)
{
    m_autoSize = on;
    if (on && m_frameSize.isValid())
        resize(m_frameSize);
}

void VideoSurface::setDisplaySize(int size)
{
    m_displaySize = size;
    update();
}

void VideoSurface::setKeepAspectRatio(bool keep)
{
    m_keepAspect = keep;
    update();
}

void VideoSurface::setBackColor(const QColor &color)
{
    m_backColor = color;
    update();
}

void VideoSurface::forgetFrames()
{
    m_codecs = PlaybackInfo();
    m_frameSize = QSize();
    if (m_player)
        m_player->forgetFrame();
    update();
}

PlaybackInfo VideoSurface::surfaceInfo() const
{
    PlaybackInfo info;
    info.videoCodec = m_codecs.videoCodec;
    info.audioCodec = m_codecs.audioCodec;
    info.size = m_frameSize;
    return info;
}

void VideoSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    const QSize frameSize = m_player ? m_player->frameSize() : QSize();
    if (frameSize.isEmpty())
        return;
    QRectF target = rect();
    // Only a fitted surface scales; then the frames may keep their shape.
    if (m_displaySize == 4 && m_keepAspect) {
        const QSizeF fitted = QSizeF(frameSize).scaled(target.size(), Qt::KeepAspectRatio);
        target = QRectF(
            QPointF((target.width() - fitted.width()) / 2, (target.height() - fitted.height()) / 2),
            fitted);
    } else if (m_displaySize != 4) {
        target = QRectF(QPointF(0, 0), QSizeF(frameSize));
    }
    m_player->paintFrame(painter, target);
}

void VideoSurface::onFrame()
{
    if (isVisible())
        update();
    const QSize size = m_player->frameSize();
    if (size == m_frameSize || size.isEmpty())
        return;
    m_frameSize = size;
    if (m_autoSize)
        resize(size);
    emit frameSizeChanged(size);
}
