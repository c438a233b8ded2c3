#include "viewer/movie/VideoSurface.h"

#include <QMediaPlayer>
#include <QPainter>
#include <QVideoSink>

VideoSurface::VideoSurface(QWidget *parent)
    : MouseReportingWidget(parent)
{
    // Every pixel is painted in paintEvent.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QVideoSink *VideoSurface::videoSink()
{
    if (!m_sink) {
        m_sink = new QVideoSink(this);
        connect(m_sink, &QVideoSink::videoFrameChanged, this, &VideoSurface::onFrame);
    }
    return m_sink;
}

void VideoSurface::showFramesOf(QMediaPlayer &player)
{
    player.setVideoSink(videoSink());
    connect(&player, &QMediaPlayer::metaDataChanged, this,
            [this, &player] { noteCodecs(player.metaData(), m_codecs); });
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
    m_frame = QVideoFrame();
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
    if (!m_frame.isValid())
        return;
    QRectF target = rect();
    // Only a fitted surface scales; then the frames may keep their shape.
    if (m_displaySize == 4 && m_keepAspect) {
        const QSizeF fitted = QSizeF(m_frame.size()).scaled(target.size(), Qt::KeepAspectRatio);
        target = QRectF(
            QPointF((target.width() - fitted.width()) / 2, (target.height() - fitted.height()) / 2),
            fitted);
    } else if (m_displaySize != 4) {
        target = QRectF(QPointF(0, 0), QSizeF(m_frame.size()));
    }
    QVideoFrame frame = m_frame;
    frame.paint(&painter, target, QVideoFrame::PaintOptions());
}

void VideoSurface::onFrame(const QVideoFrame &frame)
{
    // An invalid frame ends a stream; the last picture stays until the file is closed.
    if (!frame.isValid())
        return;
    m_frame = frame;
    if (isVisible())
        update();
    const QSize size = frame.size();
    if (size == m_frameSize || size.isEmpty())
        return;
    m_frameSize = size;
    if (m_autoSize)
        resize(size);
    emit frameSizeChanged(size);
}
